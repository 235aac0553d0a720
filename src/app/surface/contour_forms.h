// The contour dialogs: TContourExtractionDialog (contour-line density: window, interval, tiling,
// dynamism, result kind) and TContourDensityDialog (contour extraction: first, last, interval).
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

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
  // The DEM's lowest and highest truncated stored elevations and U: an interval that leaves no
  // contour level between them is refused.
  void SetLevelRange(std::int64_t lowest, std::int64_t highest, int unitDivisor);
  void SetDemPixelSize(float pixelSizeX);
  QString WindowKilometres() const;  // the text of kilom1 (and kilom2)

  void SetWindowSize(int size);
  void SetInterval(int interval);
  void ChooseDynamism(int dynamism);
  void ChooseTiling(int tiling);
  void ChoosePlacement(ResultKind kind);
  // Why the values cannot be computed: no interval or window, a value outside its declared
  // range, or an interval that crosses no contour level; empty when they can. `field`, when
  // given, receives the field at fault.
  QString Refusal(QLineEdit** field = nullptr) const;
  // The OK button: closes only when Refusal is empty.
  void OkClick();

 private:
  void UpdateKilometres();

  std::int64_t lowest_ = 0, highest_ = 0;
  int unitDivisor_ = 0;  // 0: the level range is unknown
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
  QLineEdit* first_ = nullptr;
  QLineEdit* last_ = nullptr;
  TWholeNumberEdit* interval_ = nullptr;
};

}  // namespace orvane
