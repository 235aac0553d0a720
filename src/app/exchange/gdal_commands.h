// GeoTIFF exchange from the main frame: "Files" > "Import" > "GeoTIFF / GDAL raster" converts a
// raster to a DEM pair and opens it; "Files" > "Export" > "GeoTIFF" writes the parameter
// image, the drainage raster or the DEM with a georeference, and "Values (GeoTIFF)" the
// current result's value grid.
#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "core/exchange/gdal_raster.h"

namespace orvane {

class TExportGeoTiffDialog;
class TImportGdalDialog;
class TWorkbench;
struct TDemOpenedInfo;

class TGdalCommands : public QObject {
  Q_OBJECT

 public:
  explicit TGdalCommands(TWorkbench& main);

  // The file dialog, the import dialog, the conversion, then the opening of the DEM pair
  // with the chosen unit and the raster's pixel size; a projected raster sets the UTM frame.
  void ImportGdal1Click();
  // The same from the import dialog on, for a file named outside the menu (dropped on the
  // frame, given on the command line).
  void ImportGdalFile(const QString& path);
  // The export dialog, then the save dialog and the GeoTIFF.
  void ExportGeoTiff1Click();
  // "Values (GeoTIFF)": the save dialog, then the current result's value grid as a Float32
  // GeoTIFF, georeferenced as the imported raster or else the typed UTM frame, if either.
  void ExportValues1Click();

  TImportGdalDialog& ImportForm() { return *importForm_; }
  TExportGeoTiffDialog& ExportForm() { return *exportForm_; }
  // The georeference of the imported raster the current DEM came from, if it did.
  const std::optional<GeoReference>& ImportedGeoReference() const { return imported_; }

 private:
  // The save dialog of a GeoTIFF export; ".tif" added when the name lacks it.
  std::optional<QString> AskGeoTiffPath(const QString& title);
  // Opens the written pair as Open DEM does, with U and P already known. False when it
  // could not be opened (the reason was shown).
  bool OpenImportedDem(const GdalImportResult& result, int unitFactor, double pixelSize,
                       bool groundSizes, bool fillNoData = false);
  // The coordinate dialog's UTM frame once confirmed and sound (corners in order, a size).
  std::optional<UtmFrame> TypedUtmFrame() const;
  // Where the value grid lies: the import's georeference, else the UTM frame, else unknown.
  std::optional<GeoReference> ValuesGeoReference() const;
  // Zone and corners into the coordinate dialog, as its OK would pass them on.
  void SetUtmFrame(const GeoReference& georef);
  void DemOpened(const TDemOpenedInfo& info);

  TWorkbench& main_;
  TImportGdalDialog* importForm_;
  TExportGeoTiffDialog* exportForm_;
  std::optional<GeoReference> imported_;
};

void InstallGdalCommands(TWorkbench& main);

}  // namespace orvane
