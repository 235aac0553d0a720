// Exchange and tools: ILWIS export and import, the UTM frame of the DEM, wrapping the
// parameter image and adjusting the levels of the DEM window's image, the page layout and
// printing of the parameter image.
#pragma once

#include <QObject>

namespace orvane {

class TPageLayoutDialog;
class TUtmCoordinatesDialog;
class TIlwisExportDialog;
class TLevelsDialog;
class TIlwisImportDialog;
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

  TIlwisExportDialog& FormIlwis() { return *formIlwis_; }
  TIlwisImportDialog& ImportForm() { return *importForm_; }
  TUtmCoordinatesDialog& CoordinatesDialog() { return *coordinates_; }
  TLevelsDialog& LevelsDialog() { return *levels_; }
  TPageLayoutDialog& PagePrintForm() { return *pagePrintForm_; }

 private:
  void DemOpened(const TDemOpenedInfo& info);

  TWorkbench& main_;
  TIlwisExportDialog* formIlwis_;
  TIlwisImportDialog* importForm_;
  TUtmCoordinatesDialog* coordinates_;
  TLevelsDialog* levels_;
  TPageLayoutDialog* pagePrintForm_;
};

}  // namespace orvane
