// Exchange and tools: ILWIS export and import, GeoTIFF import and export, the UTM frame of the
// DEM, wrapping the parameter image and adjusting the levels of the DEM window's image, the
// page layout and printing of the parameter image.
#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "core/exchange/gdal_raster.h"

namespace orvane {

class TExportGeoTiffDialog;
class TImportGdalDialog;
class TIlwisExportDialog;
class TIlwisImportDialog;
class TLevelsDialog;
class TPageLayoutDialog;
class TUtmCoordinatesDialog;
class TWorkbench;
struct TDemOpenedInfo;

class TExchangeCommands : public QObject {
  Q_OBJECT

 public:
  explicit TExchangeCommands(TWorkbench& main);

  // "Files" > "Export" > "Ilwis": the dialog, then the four files of the current DEM.
  void Ilwis1Click();
  // "Files" > "Import" > "Ilwis": a .mpr file, the element type, then the DEM file pair.
  void ImportIlwis1Click();
  // "Files" > "Import" > "GeoTIFF / GDAL raster": the file dialog, then ImportGdalFile.
  void ImportGdal1Click();
  // The import dialog, the conversion, then the opening of the DEM pair with the chosen unit
  // and the raster's pixel size; a projected raster sets the UTM frame. Also for a file named
  // outside the menu (dropped on the frame, given on the command line).
  void ImportGdalFile(const QString& path);
  // "Files" > "Export" > "GeoTIFF": the export dialog, then the save dialog and the GeoTIFF of
  // the parameter image, the drainage raster or the DEM.
  void ExportGeoTiff1Click();
  // "Values (GeoTIFF)": the save dialog, then the current result's value grid as a Float32
  // GeoTIFF, georeferenced as the imported raster or else the typed UTM frame, if either.
  void ExportValues1Click();
  // "DEM Form" > "Coord. UTM".
  void CoordUtm1Click();
  // "Surface Parameters" > " Wrapping": the parameter image into the DEM window.
  void WrapImage1Click();
  // "DEM Form" > "Histo Wrapped Image": levels of the DEM window's image, wrapped on OK.
  void Modifier1Click();
  // "Tools" > "Config. Printer": the page layout; OK stores the printer rectangle. True on OK.
  bool Configurationdelimpression1Click();
  // "Tools" > "Print": the parameter window's bitmap stretched into the stored rectangle.
  void ImprimerClick();

  // The georeference of the imported raster the current DEM came from, if it did.
  const std::optional<GeoReference>& ImportedGeoReference() const { return imported_; }

 private:
  // Opens the written pair as Open DEM does, with U and P already known. False when it
  // could not be opened (the reason was shown).
  bool OpenImportedDem(const GdalImportResult& result, int unitFactor, double pixelSize,
                       bool groundSizes, bool fillNoData);
  // The save dialog of a GeoTIFF export; ".tif" added when the name lacks it.
  std::optional<QString> AskGeoTiffPath(const QString& title);
  // The coordinate dialog's UTM frame once confirmed and sound (corners in order, a size).
  std::optional<UtmFrame> TypedUtmFrame() const;
  // Shows `status`'s message under "ERREUR" when it failed.
  void Report(const Status& status);

  TWorkbench& main_;
  TIlwisExportDialog* formIlwis_;
  TIlwisImportDialog* importForm_;
  TImportGdalDialog* importGdal_;
  TExportGeoTiffDialog* exportGeoTiff_;
  TUtmCoordinatesDialog* coordinates_;
  TLevelsDialog* levels_;
  TPageLayoutDialog* pagePrintForm_;
  std::optional<GeoReference> imported_;
};

}  // namespace orvane
