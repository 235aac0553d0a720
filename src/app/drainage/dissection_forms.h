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

#include "app/display/class_palette_dialog.h"

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

// The one instance of each, a child of the main frame, made at the first call.
TClassPaletteDialog& DensityPaletteDialogOf(QWidget& frame);
TDissectionMethodForm& DissectionMethodFormOf(QWidget& frame);

}  // namespace orvane
