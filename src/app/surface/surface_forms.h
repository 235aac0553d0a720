// The dialogs of "Surface Parameters" and "DEM Form", each made once as a child of the main frame
// so that its fields keep the values of the last use:
//   - TSlopeDialog and TAspectDialog (class table or gray tones, normalization, shading weight,
//     result kind, smoothing, legend; the aspect keeps the direction counts of its last run);
//   - TContourExtractionDialog (contour-line density: window, interval, tiling, dynamism, result
//     kind) and TContourDensityDialog (contour extraction: first, last, interval);
//   - TCircularWindowDialog (statistic, radius, result kind);
//   - TConvexityConcavityDialog and THorizontalSurfacesDialog (window range, dynamism, result);
//   - TLocalFractalDialog (window 12 or 24, adaptive factor H);
//   - the explanatory windows of the slope, the aspect and the circular window, and the palette
//     dialog of the total depth.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>

#include "app/display/class_palette_dialog.h"
#include "app/display/legend_dialog.h"
#include "app/shell/result_kind.h"
#include "core/surface/aspect.h"
#include "core/surface/slope.h"
#include "core/treatment/treatment.h"

class QBoxLayout;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace orvane {

class TDeclaredRadios;
class TResultPlacementBox;
class TWholeNumberEdit;

// " Total Depth Visu": the ten-class palette over the window relief range of the run.
extern const ClassPaletteOptions kTotalDepthPalette;

class TSlopeDialog : public TClassTableDialog {
  Q_OBJECT

 public:
  explicit TSlopeDialog(QWidget* parent = nullptr);

  // The item of "Type of the Color Table": 0, 1, 2 tables 1 to 3; 3 gray tones.
  int TypeIndex() const { return typeIndex_; }
  // The declared "table" of that item: 1, 2, 3 or kSlopeGrayTones.
  int TableChoice() const;
  bool GrayTones() const { return TableChoice() == kSlopeGrayTones; }
  void ChooseType(int index);

 private:
  QComboBox* typeCombo_ = nullptr;
  QGroupBox* normalizationGroup_ = nullptr;
  std::array<QRadioButton*, 3> norms_{};  // 90, 180, 255
  QRadioButton* slopeRadio_ = nullptr;
  int typeIndex_ = 1;
};

class TAspectDialog : public TClassTableDialog {
  Q_OBJECT

 public:
  explicit TAspectDialog(QWidget* parent = nullptr);

  // The declared "palette" chosen: kAspectPaintingPalette or kAspectGrayTones.
  int PaletteIndex() const { return paletteIndex_; }
  bool GrayTones() const { return paletteIndex_ == kAspectGrayTones; }
  // The direction counts of the last aspect treatment (bins 0 .. 360 used).
  TDirectionHistogram& Histogram() { return histogram_; }
  void ChoosePalette(int palette);

 private:
  QComboBox* paletteCombo_ = nullptr;
  QGroupBox* normalizationGroup_ = nullptr;
  VisualizationChoice visual_;
  int paletteIndex_ = 0;
  TDirectionHistogram histogram_{};
};

class TContourExtractionDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TContourExtractionDialog(QWidget* parent = nullptr);

  int WindowSize() const;  // S
  int Interval() const;    // I, metres
  ResultKind Placement() const;
  // The declared window, interval, dynamism and tiling.
  TreatmentArgs Args() const;

  // Before showing: the DEM's range in metres and the pixel-size text of the dynamic scale,
  // its pixel size for the km fields, and its lowest and highest truncated stored elevations
  // with U (an interval that leaves no contour level between them is refused).
  void SetDem(double minimum, double maximum, const QString& pixelText, float pixelSizeX);
  void SetLevelRange(std::int64_t lowest, std::int64_t highest, int unitDivisor);
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
  int demPixel_ = 0;
  TWholeNumberEdit* sizeWin_ = nullptr;
  TWholeNumberEdit* interval_ = nullptr;
  TDeclaredRadios* dynamism_ = nullptr;
  TDeclaredRadios* tiling_ = nullptr;
  TResultPlacementBox* placement_ = nullptr;
};

class TContourDensityDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TContourDensityDialog(QWidget* parent = nullptr);

  int First() const;
  int Last() const;
  int Interval() const;
  void SetHeights(int minimum, int maximum, const QString& pixelText);
  // The OK button: closes with OK unless the levels cannot be drawn (a warning says why).
  void OkClick();

 private:
  QLineEdit* first_ = nullptr;
  QLineEdit* last_ = nullptr;
  TWholeNumberEdit* interval_ = nullptr;
};

class TCircularWindowDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TCircularWindowDialog(QWidget* parent = nullptr);

  // 0 (none chosen yet) or 1 .. 6.
  int Statistic() const;
  // R: 0 while empty.
  int Radius() const;
  // "Parameter Image" or "Wrap image".
  ResultKind Placement() const;
  // Filled by the treatment with the DEM's pixelSizeX; the surface follows it.
  void SetPixelSize(float pixelSizeX);
  // The DEM's size: OK refuses a disc wider than the DEM, which would leave no cell to compute.
  void SetGridSize(int columns, int lines);
  // The OK button: closes only with a radius and a statistic.
  void OkClick();

 private:
  void UpdateSurface();
  int demColumns_ = 0;
  int demLines_ = 0;
  TDeclaredRadios* statistics_ = nullptr;
  TWholeNumberEdit* radius_ = nullptr;
  QLineEdit* pixelSize_ = nullptr;
  QLineEdit* surface_ = nullptr;
  TResultPlacementBox* placement_ = nullptr;
};

// Said when the window range is empty or 0: the window would be the single centre cell.
inline constexpr const char* kNoWindowRange = "The window range must be at least 1";

// What the shape dialogs share: the window range R (SizeWinEdit, refused below 1 on OK), the
// output dynamism D (100 or 255) and where the result goes.
class TShapeRangeDialog : public QDialog {
  Q_OBJECT

 public:
  // R: 0 while empty.
  int Range() const;
  ResultKind Placement() const;
  // The declared range and dynamism (and, for the horizontal surfaces, "binarize").
  virtual TreatmentArgs Args() const;
  // Why the range cannot be computed: below 1, or outside the declared range the command line
  // refuses too (with its message); empty when it can.
  QString Refusal() const;
  // Refuses what Refusal names (the dialog stays open on the field), else accepts.
  void OkClick();

 protected:
  // A modal column of "Size of the greater window range" in `rangeBox` (the dialog itself or a
  // box of its own) and "Output Dynamism" of `treatment` in `dynamismBox`; then "Result" and the
  // OK button, or a row of OK and a "Cancel" named `cancelName`.
  TShapeRangeDialog(const char* objectName, const char* title, const TreatmentDescriptor& treatment,
                    QWidget* parent);
  void AddFields(QWidget* rangeBox, QWidget* dynamismBox);
  void AddPlacementAndOk(const char* cancelName = nullptr);
  QBoxLayout& Layout() const;

 private:
  const TreatmentDescriptor& treatment_;
  TWholeNumberEdit* sizeWin_ = nullptr;
  TDeclaredRadios* dynamism_ = nullptr;
  TResultPlacementBox* placement_ = nullptr;
};

// Convexity and concavity: one dialog for both.
class TConvexityConcavityDialog : public TShapeRangeDialog {
  Q_OBJECT

 public:
  explicit TConvexityConcavityDialog(QWidget* parent = nullptr);
};

class THorizontalSurfacesDialog : public TShapeRangeDialog {
  Q_OBJECT

 public:
  explicit THorizontalSurfacesDialog(QWidget* parent = nullptr);

  // With "binarize" when "Selection and binarization" is checked.
  TreatmentArgs Args() const override;
};

class TLocalFractalDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TLocalFractalDialog(QWidget* parent = nullptr);

  // The declared 12 or 24. A dialog closed before any choice keeps the checked 12.
  int WindowSize() const;
  // Leading decimal number of "float value" (a comma read as a point); 0 when empty.
  double FactorH() const;
  static constexpr const char* kNoFactorH = "Give the adaptive factor H as a decimal number";

  // The height step P x H is compared with the DEM's relief (its highest less its lowest
  // elevation, in whole metres): a step above it makes every window flat.
  void SetRelief(std::int64_t reliefMetres, int pixelSize);
  // Why the values cannot be computed (H missing, not above 0, a step above the relief);
  // empty when they can.
  QString Refusal() const;
  // Refuses what Refusal names, the dialog staying open on H; else accepts.
  void OkClick();

 private:
  TDeclaredRadios* size_ = nullptr;
  QLineEdit* hEdit_ = nullptr;
  std::int64_t relief_ = -1;  // -1: unknown
  int pixelSize_ = 0;
};

// The explanatory windows, named InfoSlopeCalcForm, InfoAspectCalcForm and CWInfoForm.
QDialog* MakeSlopeInfoForm(QWidget* parent);
QDialog* MakeAspectInfoForm(QWidget* parent);
QDialog* MakeCircularWindowInfoForm(QWidget* parent);

}  // namespace orvane
