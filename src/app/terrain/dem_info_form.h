// The DEM information window TDemInfoForm: size, elevation range, pixel size and unit of the
// current DEM next to a rotating wire frame of a reduced copy; OK stores a corrected pixel size.
#pragma once

#include <QDialog>
#include <QImage>
#include <memory>

#include "core/render/quick_look.h"
#include "core/terrain/dem_model.h"

class QLineEdit;
class QTimer;

namespace orvane {

class TBitmapBox;

// A quick perspective view of `model` (draped with `image` when given) on the colour of the
// buttons, as the DEM information window and the 3D viewer show it; that colour alone without
// a model. The core draws it directly: these views follow the mouse, frame after frame.
QImage DrawQuickView(const TDemModel* model, const TRasterImage* image, const TView3D& view,
                     TDrawOptions options);

class TDemInfoForm : public QDialog {
  Q_OBJECT

 public:
  // `dem` is the current DEM; it must outlive the window. `unitFactor` is U of the opening.
  TDemInfoForm(TDemModel& dem, int unitFactor, QWidget* parent = nullptr);
  ~TDemInfoForm() override;

  const TDemModel* QuickLook() const { return look_.model.get(); }
  const TView3D& View() const { return look_.view; }
  // One timer tick: half a degree more around c, and a redraw.
  void Tick();
  // A mouse button on the view: left x1.2, right /1.2 on the exaggeration.
  void ViewClick(Qt::MouseButton button);
  QLineEdit& PixelSizeEdit() const { return *pasXEdit_; }
  TBitmapBox& PaintBox() const { return *paintBox_; }
  QTimer& Timer() const { return *timer_; }

 protected:
  void done(int result) override;

 private:
  TDemModel& dem_;
  DemQuickLook look_;
  QLineEdit* pasXEdit_ = nullptr;
  TBitmapBox* paintBox_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace orvane
