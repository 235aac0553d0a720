// The relief commands of the main frame: "Shadowing" (slices, shading, cast shadows), the
// palette command (menu and tool button), the 3D viewer and the DEM information window.
#pragma once

#include <QObject>
#include <memory>

namespace orvane {

class TMainForm;
class TConstEstompForm;
class TConstHypsoForm;
class TPalForm;
class TVue3DForm;
class TImageResForm;

class TRenderCommands : public QObject {
  Q_OBJECT

 public:
  explicit TRenderCommands(TMainForm& main);
  ~TRenderCommands() override;

  void Shadowing1Click();
  void OpenPalette1Click();
  void View3D1Click();
  void DEMInfo1Click();

  TConstHypsoForm& HypsoForm() const { return *hypsoForm_; }
  TConstEstompForm& EstompForm() const { return *estompForm_; }
  TPalForm& PalForm() const { return *palForm_; }
  TVue3DForm& Vue3DForm() const { return *vue3dForm_; }
  // The result window of the last "Create", null before.
  TImageResForm* LastResult() const { return lastResult_; }

 private:
  TMainForm& main_;
  TConstEstompForm* estompForm_ = nullptr;
  TConstHypsoForm* hypsoForm_ = nullptr;
  TPalForm* palForm_ = nullptr;
  TVue3DForm* vue3dForm_ = nullptr;
  TImageResForm* lastResult_ = nullptr;
};

}  // namespace orvane
