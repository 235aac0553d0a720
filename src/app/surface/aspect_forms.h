// The aspect dialog TAspectDialog (painting palette or gray tones, normalization, shading
// weight, result kind, smoothing, legend; it holds the direction counts of the last run) and
// the explanatory window TAspectInfoForm.
#pragma once

#include <QDialog>
#include <utility>
#include <vector>

#include "app/display/legend_dialog.h"
#include "core/surface/aspect.h"

class QComboBox;
class QGroupBox;
class QRadioButton;

namespace orvane {

class TAspectDialog : public TClassTableDialog {
  Q_OBJECT

 public:
  explicit TAspectDialog(QWidget* parent = nullptr);

  // The declared "palette" chosen: kAspectPaintingPalette or kAspectGrayTones.
  int PaletteIndex() const { return paletteIndex_; }
  bool GrayTones() const { return paletteIndex_ == kAspectGrayTones; }
  TAspectParams Params() const { return TableParams<TAspectParams>(GrayTones()); }

  // The direction counts of the last aspect treatment (bins 0 .. 360 used).
  TDirectionHistogram& Histogram() { return histogram_; }
  const TDirectionHistogram& Histogram() const { return histogram_; }

  void ChoosePalette(int palette);

 private:
  QComboBox* paletteCombo_ = nullptr;
  QGroupBox* normalizationGroup_ = nullptr;
  QGroupBox* visualGroup_ = nullptr;
  QRadioButton* orientation_ = nullptr;
  QRadioButton* orientationShadow_ = nullptr;
  std::vector<std::pair<QRadioButton*, int>> normButtons_;

  int paletteIndex_ = 0;
  TDirectionHistogram histogram_{};
};

// The Sobel kernels, the two gradient components and the aspect formula.
class TAspectInfoForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAspectInfoForm(QWidget* parent = nullptr);
};

}  // namespace orvane
