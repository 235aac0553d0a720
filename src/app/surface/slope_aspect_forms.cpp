#include "app/surface/surface_forms.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "app/shell/declared_fields.h"
#include "app/shell/form_parts.h"
#include "app/shell/result_placement_box.h"
#include "core/surface/slope.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

namespace {

// A group of normalization radios, one per (caption, value), setting `normalization` when
// clicked; they are named Norm<value>RadioButton.
std::vector<QRadioButton*> AddNormalizationGroup(QGroupBox* group, QVBoxLayout& column,
                                                 std::initializer_list<std::pair<const char*, int>> norms,
                                                 int& normalization) {
  group->setObjectName("NormalizationGroupBox");
  auto* layout = new QVBoxLayout(group);
  std::vector<QRadioButton*> buttons;
  for (const auto& [caption, value] : norms) {
    buttons.push_back(AddRadio(caption, QStringLiteral("Norm%1RadioButton").arg(value), group, layout));
    QObject::connect(buttons.back(), &QRadioButton::clicked, group,
                     [&normalization, value] { normalization = value; });
  }
  column.addWidget(group);
  return buttons;
}

}  // namespace

TSlopeDialog::TSlopeDialog(QWidget* parent) : TClassTableDialog("PentesForm", " SLOPES", parent) {
  normalization_ = 90;
  QVBoxLayout* left = &Column();
  left->addWidget(new QLabel("Type of the Color Table", this));
  typeCombo_ = new QComboBox(this);
  typeCombo_->setObjectName("TypeComboBox");
  FillDeclaredChoices(typeCombo_, DeclaredParam(kSlopeTreatment, "table"));
  left->addWidget(typeCombo_);

  normalizationGroup_ = new QGroupBox("Normalization", this);
  const auto norms = AddNormalizationGroup(normalizationGroup_, *left,
                                           {{"90\xC2\xB0", 90},
                                            {"180\xC2\xB0 (only for gray tones)", 180},
                                            {"255  (only for gray tones)", 255}},
                                           normalization_);
  std::copy(norms.begin(), norms.end(), norms_.begin());

  AddPlacement({"Image", "ParamRadioButton", "WrappedRadioButton"});
  slopeRadio_ = AddVisualizationGroup(*this, *left, "Slope", "SlopeRadioButton",
                                      "Slope and Shadow", "SlopeShadRadioButton", weight_)
                    .plain;
  AddSmoothingOkAndLegend("CancelBitBtn", "Color Tables");

  connect(typeCombo_, &QComboBox::activated, this, &TSlopeDialog::ChooseType);
  ChooseType(typeCombo_->currentIndex());
}

int TSlopeDialog::TableChoice() const { return typeCombo_->itemData(typeIndex_).toInt(); }

void TSlopeDialog::ChooseType(int index) {
  if (index < 0 || index >= typeCombo_->count()) return;
  typeCombo_->setCurrentIndex(index);
  typeIndex_ = index;
  const bool gray = GrayTones();
  if (gray) {
    table_.Clear();
    // Gray tones are not shaded.
    slopeRadio_->setChecked(true);
    weight_ = 0.0f;
  } else {
    table_ = SlopeTable(TableChoice());
  }
  normalizationGroup_->setVisible(gray);
  norms_[0]->setChecked(true);
  normalization_ = 90;
  // Only gray tones spread over 180 degrees or 255 levels.
  norms_[1]->setEnabled(gray);
  norms_[2]->setEnabled(gray);
  RefreshLegend();
}

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
  AddNormalizationGroup(normalizationGroup_, *left,
                        {{"18 ", 18}, {"36", 36}, {"90", 90}, {"180", 180}, {"255", 255}},
                        normalization_);
  visual_ = AddVisualizationGroup(*this, *left, "Orientation", "OrientationRadioButton",
                                  "Orientation and Shadow", "OrientationShadRadioButton", weight_);
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
  paletteCombo_->setCurrentIndex(index);
  paletteIndex_ = palette;
  const bool gray = GrayTones();
  visual_.plain->setChecked(true);
  visual_.shadow->setEnabled(!gray);
  visual_.group->setVisible(!gray);
  normalizationGroup_->setVisible(gray);
  if (!gray) {
    table_ = AspectPaintingPalette();
    // The painting palette's levels are the azimuth itself.
    normalization_ = DeclaredDefault(DeclaredParam(kAspectTreatment, "norm"));
  } else {
    table_.Clear();
    weight_ = 0.0f;
    // The button still shown as checked from an earlier choice is the normalization in force.
    for (const QRadioButton* button : normalizationGroup_->findChildren<QRadioButton*>()) {
      if (button->isChecked()) normalization_ = button->text().trimmed().toInt();  // captions are values
    }
  }
  RefreshLegend();
}

// --- The explanatory windows.

namespace {

// The four triangles around cell (i, j) seen from above, with their normals and the cell's
// summed normal.
void DrawSlopeFigure(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF c(150, 130);
  const double d = 90;
  const QPointF up(c.x(), c.y() - d), right(c.x() + d, c.y()), down(c.x(), c.y() + d),
      left(c.x() - d, c.y());
  const QColor fills[4] = {QColor(220, 235, 255), QColor(225, 245, 225), QColor(255, 240, 215),
                           QColor(240, 225, 245)};
  const QPointF corners[4][2] = {{up, right}, {right, down}, {down, left}, {left, up}};
  for (int t = 0; t < 4; ++t) {
    QPainterPath path(c);
    path.lineTo(corners[t][0]);
    path.lineTo(corners[t][1]);
    path.closeSubpath();
    p.fillPath(path, fills[t]);
    p.setPen(QPen(Qt::black, 1.2));
    p.drawPath(path);
    // The triangle's normal drawn from its centroid.
    const QPointF g = (c + corners[t][0] + corners[t][1]) / 3.0;
    const QPointF tip = g + (g - c) * 0.35 + QPointF(0, -18);
    p.setPen(QPen(Qt::darkBlue, 1.5));
    p.drawLine(g, tip);
    p.drawEllipse(g, 2, 2);
    p.drawText(tip + QPointF(3, -2), QStringLiteral("n%1").arg(t + 1));
  }
  p.setPen(QPen(Qt::red, 2.5));
  p.drawLine(c, c + QPointF(0, -60));
  p.drawLine(c + QPointF(0, -60), c + QPointF(-5, -50));
  p.drawLine(c + QPointF(0, -60), c + QPointF(5, -50));
  p.drawText(c + QPointF(-14, -64), "N");
  p.drawText(QPointF(8, 18), "N = n1 + n2 + n3 + n4");
  p.setPen(Qt::black);
  p.setBrush(Qt::black);
  for (const QPointF& q : {c, up, right, down, left}) p.drawEllipse(q, 3, 3);
  p.drawText(c + QPointF(6, 16), "(i, j)");
  p.drawText(up + QPointF(6, 4), "(i-1, j)");
  p.drawText(down + QPointF(6, 4), "(i+1, j)");
  p.drawText(left + QPointF(-22, 18), "(i, j-1)");
  p.drawText(right + QPointF(-30, 18), "(i, j+1)");
}

// The reduced normal and the slope it gives.
void DrawSlopeFormula(QPainter& p) {
  QFont f = p.font();
  f.setPointSize(f.pointSize() + 1);
  p.setFont(f);
  p.drawText(10, 25, "N  =  ( 0.5 (z\u2081,\u2080 \u2212 z\u208B\u2081,\u2080) ,  "
                     "0.5 (z\u2080,\u2081 \u2212 z\u2080,\u208B\u2081) ,  1 )");
  p.drawText(10, 60, "slope  =  90\u00B0 \u2212 | arcsin( Nz / \u2016N\u2016 ) |");
  p.drawText(10, 92, "z\u2096,\u2097 : altitude of the pixel (i + k, j + l), in pixel-side units");
}

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

QDialog* MakeSlopeInfoForm(QWidget* parent) {
  auto* dialog = new QDialog(parent);
  LayOutInfoWindow(
      *dialog, "InfoSlopeCalcForm", " SLOPE CALCULATION",
      {"The slope is computed from the four normals surrounding the studied pixel: each of the "
       "four triangles that the pixel forms with its direct neighbours has a unit normal, and "
       "the slope is the angle between the vertical and their sum.",
       new TPaintedFigure("FigurePaintBox", {300, 260}, DrawSlopeFigure, dialog),
       "Gradient by surface normals and central differences: B. K. P. Horn, \"Hill shading and "
       "the reflectance map\", Proceedings of the IEEE, 69 (1), 1981, pp. 14-47.",
       "Equation that can be reduced to ==>",
       new TPaintedFigure("FormulaPaintBox", {420, 110}, DrawSlopeFormula, dialog)});
  dialog->setFixedWidth(460);
  return dialog;
}

QDialog* MakeAspectInfoForm(QWidget* parent) {
  auto* dialog = new QDialog(parent);
  LayOutInfoWindow(*dialog, "InfoAspectCalcForm", " ASPECT CALCULATION",
                   {"Computation using the two components of the Sobel Filter",
                    new TPaintedFigure("FormulaPaintBox", {460, 250}, DrawAspectFormula, dialog),
                    "with A = altitude of the pixel (i, j), p the pixel side", "and M = N = 1"});
  return dialog;
}

}  // namespace orvane
