// The aspect dialog TAspectDialog (painting palette or gray tones, normalization, shading
// weight, result kind, smoothing, legend; it holds the direction counts of the last run) and
// the explanatory window TAspectInfoForm.
#pragma once

#include <QDialog>

#include "app/shell/result_kind.h"
#include "core/render/class_table.h"
#include "core/surface/aspect.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace orvane {

class TClassLegendBox;
class TResultPlacementBox;

class TAspectDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TAspectDialog(QWidget* parent = nullptr);

  // The declared "palette" chosen: kAspectPaintingPalette or kAspectGrayTones.
  int PaletteIndex() const { return paletteIndex_; }
  bool GrayTones() const { return paletteIndex_ == kAspectGrayTones; }
  const TClassTable& Table() const { return table_; }
  int Normalization() const { return normalization_; }
  float ShadingWeight() const { return weight_; }
  ResultKind Placement() const;
  bool Smoothing() const;
  TAspectParams Params() const;

  // The direction counts of the last aspect treatment (bins 0 .. 360 used).
  TDirectionHistogram& Histogram() { return histogram_; }
  const TDirectionHistogram& Histogram() const { return histogram_; }

  void ChoosePalette(int palette);
  TClassLegendBox& Legend() const { return *legend_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FitToLegend();

  QComboBox* paletteCombo_ = nullptr;
  QGroupBox* normalizationGroup_ = nullptr;
  QGroupBox* visualGroup_ = nullptr;
  QRadioButton* orientation_ = nullptr;
  QRadioButton* orientationShadow_ = nullptr;
  std::vector<std::pair<QRadioButton*, int>> normButtons_;
  TResultPlacementBox* placement_ = nullptr;
  QCheckBox* smoothing_ = nullptr;
  QPushButton* ok_ = nullptr;
  TClassLegendBox* legend_ = nullptr;

  int paletteIndex_ = 0;
  TClassTable table_;
  int normalization_ = 0;
  float weight_ = 0.0f;
  TDirectionHistogram histogram_{};
};

// The Sobel kernels, the two gradient components and the aspect formula.
class TAspectInfoForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAspectInfoForm(QWidget* parent = nullptr);
};

}  // namespace orvane
