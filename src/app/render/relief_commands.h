// The relief commands of the main frame: "Shadowing" (slices, shading, cast shadows), the
// palette command (menu and tool button), the 3D viewer and the DEM information window.
#pragma once

#include <QObject>
#include <memory>

namespace orvane {

class TMainForm;
class TShadingDialog;
class TSlicesDialog;
class TPaletteDialog;
class TView3DDialog;
class TView3DResultWindow;

class TReliefCommands : public QObject {
  Q_OBJECT

 public:
  explicit TReliefCommands(TMainForm& main);
  ~TReliefCommands() override;

  void Shadowing1Click();
  void OpenPalette1Click();
  void View3D1Click();
  void DEMInfo1Click();

  TSlicesDialog& HypsoForm() const { return *hypsoForm_; }
  TShadingDialog& EstompForm() const { return *estompForm_; }
  TPaletteDialog& PalForm() const { return *palForm_; }
  TView3DDialog& Vue3DForm() const { return *vue3dForm_; }
  // The result window of the last "Create", null before.
  TView3DResultWindow* LastResult() const { return lastResult_; }

 private:
  TMainForm& main_;
  TShadingDialog* estompForm_ = nullptr;
  TSlicesDialog* hypsoForm_ = nullptr;
  TPaletteDialog* palForm_ = nullptr;
  TView3DDialog* vue3dForm_ = nullptr;
  TView3DResultWindow* lastResult_ = nullptr;
};

}  // namespace orvane
