// The dialogs of the dissection density, shared with the other window treatments (total depth,
// surface 3D, dissection density 3D, ratio depth):
//   - TWindowSizeDialog (" FILTER SIZE"): the window size in pixels and the side it covers in km;
//   - the palette dialog "Dissection Density Visu" (TClassPaletteDialog): the class table (or
//     gray tones), smoothing, "Scale" over the densities' range, parameter or wrapped image;
//   - TDissectionMethodForm ("About this Parameter"): how the density is computed.
// Each exists once, as a child of the main frame, so every module reaching it through
// DDFenOf / DDPaletteFenOf sees the same values: what the user typed last persists between
// runs and between treatments.
#pragma once

#include <QDialog>
#include <QString>

#include "app/display/class_palette_dialog.h"

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

  // What the treatment can use: OK refuses a window below `minimum` or (when `maximum` > 0)
  // above it with the treatment's own message, and the dialog stays open on the field.
  void SetWindowLimits(int minimum, const QString& tooSmall, int maximum, const QString& tooLarge);
  void OkClick();

 private:
  void WindowChanged();
  int minimumWindow_ = 0;
  int maximumWindow_ = 0;
  QString tooSmall_;
  QString tooLarge_;

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

// The one instance of each, a child of the main frame, made at the first call.
TWindowSizeDialog& DDFenOf(QWidget& frame);
TClassPaletteDialog& DDPaletteFenOf(QWidget& frame);
TDissectionMethodForm& AboutVennotFormOf(QWidget& frame);

}  // namespace orvane
