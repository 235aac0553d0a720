// The window treatments of "Surface Parameters" that measure roughness and relief: local
// fractal dimension (with its diagram), total depth and surface 3D. The last two ask their
// window size in the shared filter-size dialog TWindowSizeDialog.
#pragma once

#include <QObject>

namespace orvane {

class TWorkbench;
class TLocalFractalDialog;
class TClassPaletteDialog;

class TRoughnessCommands : public QObject {
  Q_OBJECT

 public:
  explicit TRoughnessCommands(TWorkbench& main);

  TLocalFractalDialog& LocalFractalDialog() { return *localFractal_; }
  TClassPaletteDialog& TotalDepthPaletteDialog() { return *totalDepth_; }

  // "Surface Parameters" > "Local Fractal Dimension" > "Treatment".
  void LocalFractalTreatment1Click();
  // "Surface Parameters" > "Total Depth" > "Treatment".
  void TotalDepthTreatment1Click();
  // "Surface Parameters" > "Surface 3D" > "Treatment".
  void Surface3DTreatment1Click();

 private:
  TWorkbench& main_;
  TLocalFractalDialog* localFractal_;
  TClassPaletteDialog* totalDepth_;
};

void InstallRoughnessCommands(TWorkbench& main);

}  // namespace orvane
