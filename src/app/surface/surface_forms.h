// The dialogs of "Surface Parameters" and "DEM Form" and their explanatory windows, each made
// once as a child of the main frame so that its fields keep the values of the last use.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>
#include <cstdint>

#include "app/display/class_palette_dialog.h"
#include "app/display/legend_dialog.h"
#include "app/shell/result_kind.h"
#include "core/surface/aspect.h"
#include "core/surface/slope.h"
#include "core/treatment/treatment.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QBoxLayout;
class QRadioButton;
class QVBoxLayout;

namespace orvane {

class TDeclaredRadios;
class TResultPlacementBox;
class TWholeNumberEdit;
class TWorkbench;
struct ResultPlacementOptions;

// " Total Depth Visu": the ten-class palette over the window relief range of the run.
extern const ClassPaletteOptions kTotalDepthPalette;

// The slope (class table or gray tones, normalization, shading weight, result kind, smoothing,
// legend) and the aspect, which also keeps the direction counts of its last run.
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
  // The table, the normalization and the smoothing.
  TreatmentArgs Args() const;

 private:
  QComboBox* typeCombo_ = nullptr;
  QGroupBox* normalizationGroup_ = nullptr;
  std::vector<QRadioButton*> norms_;  // 90, 180, 255
  QRadioButton* slopeRadio_ = nullptr;
  int typeIndex_ = 1;
};

class TAspectDialog : public TClassTableDialog {
  Q_OBJECT

 public:
  explicit TAspectDialog(QWidget* parent = nullptr);

  // Whether the declared "palette" chosen is kAspectGrayTones rather than the painting one.
  bool GrayTones() const { return paletteIndex_ == kAspectGrayTones; }
  // The direction counts of the last aspect treatment (bins 0 .. 360 used).
  TDirectionHistogram& Histogram() { return histogram_; }
  void ChoosePalette(int palette);
  // The palette, the smoothing and the normalization of the gray tones (the painting palette's
  // classes are in degrees).
  TreatmentArgs Args() const;

 private:
  QComboBox* paletteCombo_ = nullptr;
  QGroupBox* normalizationGroup_ = nullptr;
  VisualizationChoice visual_;
  int paletteIndex_ = 0;
  TDirectionHistogram histogram_{};
};

// A treatment's modal dialog laid out in a column: its values as the declaration takes them
// (none where its handler reads them), where the result goes, and an OK that keeps it open on a
// value that cannot be computed.
class TTreatmentDialog : public QDialog {
  Q_OBJECT

 public:
  virtual TreatmentArgs Args() const { return {}; }
  // The choice of its "Parameter Image" / wrapped group; the parameter image without one.
  ResultKind Placement() const;
  // Why the values cannot be computed, with the field at fault (none for a missing choice);
  // empty when they can.
  virtual QString Refusal(QLineEdit** = nullptr) const { return {}; }
  // Says the refusal under "ERROR", the dialog staying open on the field at fault; else accepts.
  void OkClick();
  // Shows the dialog; true when the values it holds, however it was closed, can be computed,
  // else says why on `frame` under `caption`.
  bool ExecForValues(QWidget& frame, const char* caption);

 protected:
  TTreatmentDialog(const char* objectName, const char* title, QWidget* parent);
  QVBoxLayout& Column() const;
  // The "Parameter Image" / wrapped group at the end of `layout` (the column without one).
  void AddPlacement(const ResultPlacementOptions& options, QBoxLayout* layout = nullptr);

 private:
  TResultPlacementBox* placement_ = nullptr;
};

// Contour-line density: window S, hypsometric interval I (metres), dynamism, tiling.
class TContourExtractionDialog : public TTreatmentDialog {
  Q_OBJECT

 public:
  explicit TContourExtractionDialog(QWidget* parent = nullptr);
  // Before showing: the DEM's range in metres and the pixel-size text of the dynamic scale,
  // its pixel size for the km fields, and its lowest and highest truncated stored elevations
  // with U (an interval that leaves no contour level between them is refused).
  void SetDem(double minimum, double maximum, const QString& pixelText, float pixelSizeX);
  void SetLevelRange(std::int64_t lowest, std::int64_t highest, int unitDivisor);

  TreatmentArgs Args() const override;
  // No interval or window, a value outside its declared range, or an interval that crosses no
  // contour level.
  QString Refusal(QLineEdit** field = nullptr) const override;

 private:
  void UpdateKilometres();

  TWholeNumberEdit* sizeWin_ = nullptr;
  TWholeNumberEdit* interval_ = nullptr;
  TDeclaredRadios* dynamism_ = nullptr;
  TDeclaredRadios* tiling_ = nullptr;
  std::int64_t lowest_ = 0, highest_ = 0;
  int unitDivisor_ = 0;  // 0: the level range is unknown
  int demPixel_ = 0;
};

// Contour extraction: the first and last levels and the interval, in metres.
class TContourDensityDialog : public TTreatmentDialog {
  Q_OBJECT

 public:
  explicit TContourDensityDialog(QWidget* parent = nullptr);
  void SetHeights(int minimum, int maximum, const QString& pixelText);
  TreatmentArgs Args() const override;
  QString Refusal(QLineEdit** field = nullptr) const override;
};

// The circular moving window: statistic (none chosen at start, then 1 .. 6) and radius R.
class TCircularWindowDialog : public TTreatmentDialog {
  Q_OBJECT

 public:
  explicit TCircularWindowDialog(QWidget* parent = nullptr);
  // Filled by the treatment with the DEM's pixelSizeX (the surface follows it) and its size.
  void SetDem(float pixelSizeX, int columns, int lines);
  TreatmentArgs Args() const override;
  // No radius or statistic, or a disc wider than the DEM, which would leave no cell to compute.
  QString Refusal(QLineEdit** field = nullptr) const override;

 private:
  TDeclaredRadios* statistics_ = nullptr;
  TWholeNumberEdit* radius_ = nullptr;
  int demColumns_ = 0;
  int demLines_ = 0;
  void UpdateSurface();
};

// Said when the window range is empty or 0: the window would be the single centre cell.
inline constexpr const char* kNoWindowRange = "The window range must be at least 1";

// What the shape dialogs share: the window range R (SizeWinEdit, refused below 1 or outside the
// declared range), the output dynamism D (100 or 255) and where the result goes.
class TShapeRangeDialog : public TTreatmentDialog {
  Q_OBJECT

 public:
  TreatmentArgs Args() const override;
  QString Refusal(QLineEdit** field = nullptr) const override;

 protected:
  // "Size of the greater window range" in `rangeBox` (the dialog itself or a box of its own)
  // and "Output Dynamism" of `treatment` in `dynamismBox`; then "Result" and the OK button, or
  // a row of OK and a "Cancel" named `cancelName`.
  TShapeRangeDialog(const char* objectName, const char* title, const TreatmentDescriptor& treatment,
                    QWidget* parent);
  void AddFields(QWidget* rangeBox, QWidget* dynamismBox);
  void AddPlacementAndOk(const char* cancelName = nullptr);

 private:
  const TreatmentDescriptor& treatment_;
  TWholeNumberEdit* sizeWin_ = nullptr;
  TDeclaredRadios* dynamism_ = nullptr;
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

// The local fractal dimension: the declared window 12 or 24 (12 until another is chosen) and
// the adaptive factor H (a comma read as a point).
class TLocalFractalDialog : public TTreatmentDialog {
  Q_OBJECT

 public:
  explicit TLocalFractalDialog(QWidget* parent = nullptr);
  // The DEM's relief (its highest less its lowest elevation, in whole metres) and P.
  void SetRelief(std::int64_t reliefMetres, int pixelSize);
  TreatmentArgs Args() const override;
  static constexpr const char* kNoFactorH = "Give the adaptive factor H as a decimal number";
  // H missing or not above 0, or a step P x H above the relief, which makes every window flat.
  QString Refusal(QLineEdit** field = nullptr) const override;

 private:
  TDeclaredRadios* size_ = nullptr;
  QLineEdit* hEdit_ = nullptr;
  std::int64_t relief_ = -1;  // -1: unknown
  int pixelSize_ = 0;
};

// A treatment that draws its picture in its run: run on the current DEM, then the picture shown
// under `title` where `placement` says, with the run's values. Nothing after a cancel or an
// error (said).
void RunAndShow(TWorkbench& main, const TreatmentDescriptor& treatment, const TreatmentArgs& args,
                const QString& title, ResultKind placement = ResultKind::kParameterImage);

// A figure of an explanatory window named `name`: the picture `file` of the figures, at its size.
QLabel* FigureLabel(const char* name, const char* file, QWidget* parent);

// The explanatory windows, named InfoSlopeCalcForm, InfoAspectCalcForm and CWInfoForm.
QDialog* MakeSlopeInfoForm(QWidget* parent);
QDialog* MakeAspectInfoForm(QWidget* parent);
QDialog* MakeCircularWindowInfoForm(QWidget* parent);

}  // namespace orvane
