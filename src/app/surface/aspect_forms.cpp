#include "app/surface/aspect_forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/display/class_legend.h"
#include "app/display/legend_dialog.h"
#include "app/shell/declared_fields.h"
#include "app/shell/form_parts.h"
#include "app/shell/result_placement_box.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

TAspectDialog::TAspectDialog(QWidget* parent) : TClassTableDialog("AspectFen", " ASPECT", parent) {
  QVBoxLayout* left = &Column();

  auto* paletteGroup = new QGroupBox("Type of Palette", this);
  auto* paletteLayout = new QVBoxLayout(paletteGroup);
  paletteCombo_ = new QComboBox(paletteGroup);
  paletteCombo_->setObjectName("AspectComboBox");
  FillDeclaredChoices(paletteCombo_, DeclaredParam(kAspectTreatment, "palette"));
  paletteLayout->addWidget(paletteCombo_);
  left->addWidget(paletteGroup);

  normalizationGroup_ = new QGroupBox("Normalization  of the gray tones", this);
  normalizationGroup_->setObjectName("NormalizationGroupBox");
  auto* normLayout = new QVBoxLayout(normalizationGroup_);
  const std::pair<const char*, int> norms[] = {{"18 ", 18}, {"36", 36}, {"90", 90}, {"180", 180}, {"255", 255}};
  for (const auto& [text, value] : norms) {
    auto* button = new QRadioButton(text, normalizationGroup_);
    button->setObjectName(QStringLiteral("Norm%1RadioButton").arg(value));
    normLayout->addWidget(button);
    const int n = value;
    connect(button, &QRadioButton::clicked, this, [this, n] { normalization_ = n; });
    normButtons_.emplace_back(button, value);
  }
  left->addWidget(normalizationGroup_);

  const VisualizationChoice visual =
      AddVisualizationGroup(*this, *left, "Orientation", "OrientationRadioButton",
                            "Orientation and Shadow", "OrientationShadRadioButton", weight_);
  visualGroup_ = visual.group;
  orientation_ = visual.plain;
  orientationShadow_ = visual.shadow;

  AddPlacement({.title = "Image",
                .parameterName = "ParamRadioButton",
                .wrappedName = "WrappedRadioButton",
                .parameterChecked = false});
  AddSmoothingOkAndLegend("DelBitBtn");

  connect(paletteCombo_, &QComboBox::activated, this,
          [this](int index) { ChoosePalette(paletteCombo_->itemData(index).toInt()); });
  ChoosePalette(paletteCombo_->currentData().toInt());
}

void TAspectDialog::ChoosePalette(int palette) {
  const int index = paletteCombo_->findData(palette);
  if (index < 0) return;
  if (paletteCombo_->currentIndex() != index) paletteCombo_->setCurrentIndex(index);
  if (palette == kAspectPaintingPalette) {
    table_ = AspectPaintingPalette();
    orientation_->setChecked(true);
    orientationShadow_->setEnabled(true);
    normalizationGroup_->hide();
    visualGroup_->show();
    // The painting palette's levels are the azimuth itself.
    normalization_ = DeclaredDefault(DeclaredParam(kAspectTreatment, "norm"));
  } else {
    table_.Clear();
    visualGroup_->hide();
    normalizationGroup_->show();
    orientation_->setChecked(true);
    orientationShadow_->setEnabled(false);
    weight_ = 0.0f;
    // The button still shown as checked from an earlier choice is the normalization in force.
    for (const auto& [button, value] : normButtons_) {
      if (button->isChecked()) normalization_ = value;
    }
  }
  paletteIndex_ = palette;
  RefreshLegend();
}

// --- The explanatory window.

namespace {

// A 3 x 3 kernel as a small grid of numbers with a name on its left.
void DrawKernel(QPainter& p, QPoint at, const QString& name, const int k[3][3]) {
  const int cell = 26;
  p.drawText(at + QPoint(0, cell * 3 / 2 + 5), name + " =");
  const QPoint origin = at + QPoint(48, 0);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      const QRect box(origin + QPoint(c * cell, r * cell), QSize(cell, cell));
      p.drawRect(box);
      p.drawText(box, Qt::AlignCenter, QString::number(k[r][c]));
    }
  }
}

// The two Sobel kernels and the aspect they give.
void DrawAspectFormula(QPainter& p) {
  p.setPen(Qt::black);
  const int kx[3][3] = {{-1, 0, 1}, {-2, 0, 2}, {-1, 0, 1}};
  const int ky[3][3] = {{1, 2, 1}, {0, 0, 0}, {-1, -2, -1}};
  DrawKernel(p, QPoint(10, 10), "Kx", kx);
  DrawKernel(p, QPoint(240, 10), "Ky", ky);
  const QString sum = "\u03A3(m = \u2212M .. M) \u03A3(n = \u2212N .. N)";
  p.drawText(10, 125, "Gx = (p / 8) " + sum + " Kx(m, n) \u00B7 A(i + m, j + n)");
  p.drawText(10, 155, "Gy = (p / 8) " + sum + " Ky(m, n) \u00B7 A(i + m, j + n)");
  p.drawText(10, 195, "Aspect = 180\u00B0 \u2212 atan2( \u2212Gx, Gy ) \u00D7 180 / \u03C0");
  p.drawText(10, 225, "(flat when arctan \u221A(Gx\u00B2 + Gy\u00B2) < 1\u00B0)");
}

}  // namespace

TAspectInfoForm::TAspectInfoForm(QWidget* parent) : QDialog(parent) {
  LayOutInfoWindow(*this, "InfoAspectCalcForm", " ASPECT CALCULATION",
                   {"Computation using the two components of the Sobel Filter",
                    new TPaintedFigure("FormulaPaintBox", {460, 250}, DrawAspectFormula, this),
                    "with A = altitude of the pixel (i, j), p the pixel side", "and M = N = 1"});
}

}  // namespace orvane
