// The relief commands of the main frame: "Shadowing" (slices, shading, cast shadows), the
// palette command (menu and tool button), the 3D viewer and the DEM information window.
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "app/render/relief_forms.h"
#include "app/render/view3d_form.h"

namespace orvane {

class TWorkbench;
class TPaletteDialog;
class TView3DDialog;

class TReliefCommands : public QObject {
  Q_OBJECT

 public:
  explicit TReliefCommands(TWorkbench& main);

  void Shadowing1Click();
  void OpenPalette1Click();
  void View3D1Click();
  void DEMInfo1Click();

  TSlicesDialog& SlicesDialog() const { return *slices_; }
  TShadingDialog& ShadingDialog() const { return slices_->ShadingDialog(); }
  TPaletteDialog& PaletteDialog() const { return *palette_; }
  TView3DDialog& View3DDialog() const { return *view3d_; }
  // The result window of the last "Create", null before.
  TView3DResultWindow* LastResult() const { return lastResult_; }

 private:
  TWorkbench& main_;
  TSlicesDialog* slices_ = nullptr;  // holds the light dialog
  TPaletteDialog* palette_ = nullptr;
  TView3DDialog* view3d_ = nullptr;
  QPointer<TView3DResultWindow> lastResult_;  // null again once the window is closed
};

}  // namespace orvane
