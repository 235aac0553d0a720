// The 3D viewer TView3DDialog: a quick view of a coarse copy of the DEM, set by dragging
// (rotate, move, exaggerate, zoom), with quick and final styles, observer mode and the stereo
// base; and the result window TView3DResultWindow (" 3D RESULT") that shows and saves the picture.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QWidget>
#include <memory>

#include "core/render/view_camera.h"
#include "core/settings/settings_file.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

class QCheckBox;
class QLabel;
class QRadioButton;
class QSpinBox;
class QToolButton;

namespace orvane {

class TBitmapBox;

// The speed factor of a drag: 1; x0.1 with Alt; then x5 with Shift; then x20 with Ctrl.
double DragSpeed(Qt::KeyboardModifiers modifiers);

class TView3DDialog : public QDialog {
  Q_OBJECT

 public:
  // Reads the skeleton size and the colour smoothing from `settings` at each use (the
  // preferences may change them); the stereo base starts from its value and then follows the
  // relief control. `settings` must outlive the dialog.
  explicit TView3DDialog(const TSettings& settings, QWidget* parent = nullptr);

  // The DEM and the displayed image the next activation works on (kept by the caller).
  void SetSource(const TDemModel* dem, const TRasterImage* image);
  // Builds the quick-view data, resets the view and draws.
  void Activate();
  void Redraw();

  TView3D& View() { return view_; }
  const TView3D& View() const { return view_; }
  const TDemModel* QuickDem() const { return quickDem_.get(); }
  TBitmapBox& PaintBox() const { return *paintBox_; }
  QString PanelText(int panel) const;
  double StereoBase() const { return base_; }

  // A drag from the press at `start` to `to` with a button and modifier keys.
  void Press(QPoint start, Qt::MouseButton button);
  void MoveTo(QPoint to, Qt::KeyboardModifiers modifiers);
  void Release();
  void SetDragQuantity(DragQuantity quantity);
  void SetObserver(bool on);
  // The reset button beside a quantity's: "Rotation", "Move", "Vertical", "Zoom".
  void Reset(DragQuantity quantity);

  // Quick style: 0 points, 1 grid, 2 surface; final style likewise.
  int QuickMode() const;
  void SetQuickMode(int mode);
  int FinalMode() const;
  bool FinalStereo() const;
  void SetFinalStyle(bool surface, bool points, bool stereo);
  int Smoothing() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void InitialView();

  TView3D view_;
  TView3D dragStart_;
  QPoint pressPoint_;
  Qt::MouseButton pressButton_ = Qt::NoButton;
  bool dragging_ = false;
  DragQuantity quantity_ = DragQuantity::kRotation;

  const TSettings& settings_;
  double base_ = 10.0;
  const TDemModel* dem_ = nullptr;
  const TRasterImage* image_ = nullptr;
  std::unique_ptr<TDemModel> quickDem_;
  std::unique_ptr<TRasterImage> quickImage_;

  TBitmapBox* paintBox_ = nullptr;
  QLabel* panels_[9] = {};
  QToolButton* dragButtons_[4] = {};     // by DragQuantity
  QRadioButton* quickModes_[3] = {};     // by drawing mode (kViewPoints...)
  QCheckBox* quickStereo_ = nullptr;
  QSpinBox* relief_ = nullptr;  // the stereo base of the quick view
  QCheckBox* observer_ = nullptr;
};

// The " 3D RESULT" document window: the picture, "Save" as a bitmap, "Exit".
class TView3DResultWindow : public QWidget {
  Q_OBJECT

 public:
  TView3DResultWindow(std::unique_ptr<TRasterImage> picture, QString directory, QWidget* parent = nullptr);
  const TRasterImage& Picture() const { return *picture_; }
  void SaveClick();

 private:
  std::unique_ptr<TRasterImage> picture_;
  QString directory_;
};

}  // namespace orvane
