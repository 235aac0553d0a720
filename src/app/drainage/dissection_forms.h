// The dialogs of the dissection density (the window size is asked in the shared
// TWindowSizeDialog, app/shell/window_size_dialog.h):
//   - the palette dialog "Dissection Density Visu" (TClassPaletteDialog): the class table (or
//     gray tones), smoothing, "Scale" over the densities' range, parameter or wrapped image;
//   - TDissectionMethodForm ("About this Parameter"): how the density is computed.
// Each exists once, as a child of the main frame, so every module reaching it through
// DensityPaletteDialogOf sees the same values: what the user typed last persists between
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
TClassPaletteDialog& DensityPaletteDialogOf(QWidget& frame);
TDissectionMethodForm& DissectionMethodFormOf(QWidget& frame);

}  // namespace orvane
