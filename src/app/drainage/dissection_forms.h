// The dialogs of the dissection density, shared with the other window treatments (total depth,
// surface 3D, dissection density 3D, ratio depth):
//   - TWindowSizeDialog (" FILTER SIZE"): the window size in pixels and the side it covers in km;
//   - TDensityPaletteDialog ("Dissection Density Visu"): the class table (or gray tones), smoothing,
//     "Scale" over the densities' range, parameter or wrapped image, and the diagram bounds;
//   - TDissectionMethodForm ("About this Parameter"): how the density is computed.
// Each exists once, as a child of the main frame, so every module reaching it through
// DDFenOf / DDPaletteFenOf sees the same values: what the user typed last persists between
// runs and between treatments.
#pragma once

#include <QDialog>
#include <QString>

#include "app/shell/result_kind.h"
#include "core/render/class_table.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace orvane {

class TClassLegendBox;
class TResultPlacementBox;

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

class TDensityPaletteDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TDensityPaletteDialog(QWidget* parent = nullptr);

  // Before showing: the range of the run as text in Min and Max ("%g" form).
  void SetRange(double minimum, double maximum);
  // Diagram bounds: trunc(10 x maximum density) of the last dissection run, and the 3D bound.
  void SetDissectionBound(int bound) { ddBound_ = bound; }
  int DissectionBound() const { return ddBound_; }
  void Set3DBound(int bound) { bound3D_ = bound; }
  int Bound3D() const { return bound3D_; }

  // After it closed: 0 "Colored Palette", 1 "Gray Tones Palette", 2 "Gray Tones (0, 255)".
  int PaletteChoice() const { return paletteChoice_; }
  const TClassTable& ClassTable() const { return table_; }
  bool Smoothing() const;
  bool Scale() const;
  ResultKind Placement() const;

  // For the tests and the handlers: the controls as a user sets them.
  void SelectPalette(int index);
  void SetSmoothing(bool on);
  void SetScale(bool on);
  void SetMinMaxText(const QString& minimum, const QString& maximum);
  void ChoosePlacement(ResultKind kind);
  void OkClick();
  void DeleteClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Copies the default table of the selected item, spread over Min .. Max with "Scale".
  void RebuildTable();
  void FitLegend();

  QComboBox* combo_;
  QCheckBox* thin_;
  QCheckBox* scale_;
  QLineEdit* minEdit_;
  QLineEdit* maxEdit_;
  TClassLegendBox* legend_;
  TResultPlacementBox* placement_;
  QPushButton* ok_;
  TClassTable table_;
  int paletteChoice_ = 0;
  int ddBound_ = 0;
  int bound3D_ = 0;
};

class TDissectionMethodForm : public QDialog {
  Q_OBJECT

 public:
  explicit TDissectionMethodForm(QWidget* parent = nullptr);
};

// The one instance of each, a child of the main frame, made at the first call.
TWindowSizeDialog& DDFenOf(QWidget& frame);
TDensityPaletteDialog& DDPaletteFenOf(QWidget& frame);
TDissectionMethodForm& AboutVennotFormOf(QWidget& frame);

}  // namespace orvane
