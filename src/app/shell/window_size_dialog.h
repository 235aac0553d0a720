// The shared filter-size dialog TWindowSizeDialog (" FILTER SIZE"): the window size in pixels
// and the side it covers in km, asked by every window treatment (total depth, surface 3D, the
// dissection densities, ratio depth). It exists once, a child of the main frame, so what the
// user typed last persists between runs and between treatments.
#pragma once

#include <QDialog>
#include <QString>

#include "core/treatment/window_limits.h"

class QLineEdit;
class QWidget;

namespace orvane {

class TWindowSizeDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TWindowSizeDialog(QWidget* parent = nullptr);

  // Before showing: the DEM's pixel size in whole metres, written into PixEdit. The dialog
  // keeps that value as its pixel size whatever the field says afterwards.
  void SetPixelSize(int metres);
  // ws, read from "Size of the Window" (0 when not a number).
  int WindowSize() const { return windowSize_; }
  int PixelSize() const { return pixelSize_; }
  // pixel size x ws x 0.001, in single precision.
  float WindowSideKm() const { return side_; }
  // " %2.3f x %2.3f km" with the side twice, as the titles append it.
  QString SideText() const;

  // For the tests: type a window size.
  void SetWindowSizeText(const QString& text);

  // Shows the dialog (through Prompts()) for a DEM of `pixelSize` whole metres. OK refuses a
  // window outside `limits` with the treatment's own message, and the dialog stays open on the
  // field; the limits hold for this showing only, the dialog serving several treatments.
  // QDialog::Accepted or QDialog::Rejected.
  int Ask(int pixelSize, const WindowLimits& limits = {});
  void OkClick();

 private:
  void WindowChanged();
  WindowLimits limits_;

  QLineEdit* pixEdit_;
  QLineEdit* winSizeEdit_;
  QLineEdit* sideEdits_[2];  // the side in km, twice
  int pixelSize_ = 0;  // the DEM's, whatever is typed in its field
  int windowSize_ = 0;
  float side_ = 0.0f;
};

// The one instance, a child of the main frame, made at the first call.
TWindowSizeDialog& WindowSizeDialogOf(QWidget& frame);

}  // namespace orvane
