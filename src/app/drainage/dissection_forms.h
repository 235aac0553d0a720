// The dialogs of the dissection density, shared with the other window treatments (total depth,
// surface 3D, dissection density 3D, ratio depth):
//   - TWindowSizeDialog (" FILTER SIZE"): the window size in pixels and the side it covers in km;
//   - the palette dialog "Dissection Density Visu" (TClassPaletteDialog): the class table (or
//     gray tones), smoothing, "Scale" over the densities' range, parameter or wrapped image;
//   - TDissectionMethodForm ("About this Parameter"): how the density is computed.
// Each exists once, as a child of the main frame, so every module reaching it through
// WindowSizeDialogOf / DensityPaletteDialogOf sees the same values: what the user typed last persists between
// runs and between treatments.
#pragma once

#include <QDialog>
#include <QString>
#include <optional>

#include "app/display/class_palette_dialog.h"
#include "core/treatment/treatment.h"

class QLineEdit;
class QWidget;

namespace orvane {

// What a treatment accepts in the window-size dialog, and what OK says of a window outside.
struct WindowLimits {
  int minimum = 0;  // 0: no lower bound
  QString tooSmall;
  int maximum = 0;  // 0: no upper bound
  QString tooLarge;

  // Also refuses, with "The window is larger than the DEM", a window whose odd side
  // 2 trunc((ws - shift) / 2) + 1 does not fit in the smaller side of a columns x lines grid.
  WindowLimits& FittingIn(int columns, int lines, int shift);
};

// The lower bound of the "window" parameter `treatment` declares, raised to `stricterMinimum`
// where the dialog refuses more than the declaration, refused with the dialog's `tooSmall`.
WindowLimits DeclaredWindowLimits(const char* treatment, const QString& tooSmall,
                                  int stricterMinimum = 0);

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
  QLineEdit* kilom1_;
  QLineEdit* kilom2_;
  int demPixelSize_ = 0;
  int pixelSize_ = 0;
  int windowSize_ = 0;
  float side_ = 0.0f;
};

// "Dissection Density Visu": the ten-class palette dialog of the dissection densities (2D and
// 3D), a tool window.
extern const ClassPaletteOptions kDensityPalette;

class TDissectionMethodForm : public QDialog {
  Q_OBJECT

 public:
  explicit TDissectionMethodForm(QWidget* parent = nullptr);
};

class TWorkbench;
struct DeclaredRun;

// The second phase of a treatment drawn in the density palette: the palette dialog over the
// run's range (the treatment goes on however it is closed), then the picture drawn with its
// choices by the declaration and shown, gray tones with a margin of 1, colours with the
// session's. Empty when the picture could not be drawn (said under "ERROR"); else whether it
// was wrapped over the DEM.
std::optional<bool> ShowInDensityPalette(TWorkbench& main, DeclaredRun& run, double minimum,
                                         double maximum, const QString& title,
                                         bool wrappedAlsoParameter);

// A treatment that draws its picture in its run: run on the current DEM, then the picture shown
// under `title` where `placement` says, with the run's values. Nothing after a cancel or an
// error (said).
void RunAndShow(TWorkbench& main, const TreatmentDescriptor& treatment, const TreatmentArgs& args,
                const QString& title, ResultKind placement);

// The one instance of each, a child of the main frame, made at the first call.
TWindowSizeDialog& WindowSizeDialogOf(QWidget& frame);
TClassPaletteDialog& DensityPaletteDialogOf(QWidget& frame);
TDissectionMethodForm& DissectionMethodFormOf(QWidget& frame);

}  // namespace orvane
