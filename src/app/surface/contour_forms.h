// The contour dialogs: TContourExtractionDialog (contour-line density: window, interval, tiling,
// dynamism, result kind) and TContourDensityDialog (contour extraction: first, last, interval).
#pragma once

#include <QDialog>
#include <QString>

#include "app/shell/result_kind.h"

class QLineEdit;
class QRadioButton;

namespace orvane {

class TDeclaredRadios;
class TResultPlacementBox;
class TWholeNumberEdit;

class TContourExtractionDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TContourExtractionDialog(QWidget* parent = nullptr);

  int WindowSize() const;   // S
  int Interval() const;     // I, metres
  int Dynamism() const;     // 100 or 255
  int Tiling() const;       // 0 "Squared grid", 1 "Moving window"
  ResultKind Placement() const;

  // Filled by the treatment before the dialog shows: the DEM's range in metres, the text of
  // the pixel-size field of the dynamic scale, and the DEM's pixel size for the km fields.
  void SetDynamicScale(double minimum, double maximum, const QString& pixelText);
  void SetDemPixelSize(float pixelSizeX);
  QString WindowKilometres() const;  // the text of kilom1 (and kilom2)

  void SetWindowSize(int size);
  void SetInterval(int interval);
  void ChooseDynamism(int dynamism);
  void ChooseTiling(int tiling);
  void ChoosePlacement(ResultKind kind);
  // The OK button: closes only with an interval and a window size.
  void OkClick();

 private:
  void UpdateKilometres();

  TWholeNumberEdit* sizeWin_ = nullptr;
  QLineEdit* kilom1_ = nullptr;
  QLineEdit* kilom2_ = nullptr;
  TDeclaredRadios* dynamism_ = nullptr;
  QRadioButton* grid_ = nullptr;
  QRadioButton* moving_ = nullptr;
  TWholeNumberEdit* interval_ = nullptr;
  QLineEdit* minDyn_ = nullptr;
  QLineEdit* maxDyn_ = nullptr;
  QLineEdit* pix_ = nullptr;
  TResultPlacementBox* placement_ = nullptr;
  int demPixel_ = 0;
};

class TContourDensityDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TContourDensityDialog(QWidget* parent = nullptr);

  int First() const;
  int Last() const;
  int Interval() const;
  void SetHeights(int minimum, int maximum, const QString& pixelText);

  void SetFirst(int first);
  void SetLast(int last);
  void SetInterval(int interval);
  // The OK button: closes with OK unless the levels cannot be drawn (a warning says why).
  void OkClick();

 private:
  QLineEdit* min_ = nullptr;
  QLineEdit* max_ = nullptr;
  QLineEdit* pixelSize_ = nullptr;
  TWholeNumberEdit* first_ = nullptr;
  TWholeNumberEdit* last_ = nullptr;
  TWholeNumberEdit* interval_ = nullptr;
};

}  // namespace orvane
