#include "app/surface/slope_forms.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
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

TSlopeDialog::TSlopeDialog(QWidget* parent) : TClassTableDialog("PentesForm", " SLOPES", parent) {
  normalization_ = 90;
  QVBoxLayout* left = &Column();
  left->addWidget(new QLabel("Type of the Color Table", this));
  typeCombo_ = new QComboBox(this);
  typeCombo_->setObjectName("TypeComboBox");
  FillDeclaredChoices(typeCombo_, DeclaredParam(kSlopeTreatment, "table"));
  left->addWidget(typeCombo_);

  normalizationGroup_ = new QGroupBox("Normalization", this);
  normalizationGroup_->setObjectName("NormalizationGroupBox");
  auto* normLayout = new QVBoxLayout(normalizationGroup_);
  norm90_ = new QRadioButton("90\xC2\xB0", normalizationGroup_);
  norm90_->setObjectName("Norm90RadioButton");
  norm180_ = new QRadioButton("180\xC2\xB0 (only for gray tones)", normalizationGroup_);
  norm180_->setObjectName("Norm180RadioButton");
  norm255_ = new QRadioButton("255  (only for gray tones)", normalizationGroup_);
  norm255_->setObjectName("Norm255RadioButton");
  for (QRadioButton* b : {norm90_, norm180_, norm255_}) normLayout->addWidget(b);
  left->addWidget(normalizationGroup_);
  connect(norm90_, &QRadioButton::clicked, this, [this] { normalization_ = 90; });
  connect(norm180_, &QRadioButton::clicked, this, [this] { normalization_ = 180; });
  connect(norm255_, &QRadioButton::clicked, this, [this] { normalization_ = 255; });

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
  if (typeCombo_->currentIndex() != index) typeCombo_->setCurrentIndex(index);
  typeIndex_ = index;
  if (!GrayTones()) {
    table_ = SlopeTable(TableChoice());
    normalizationGroup_->hide();
    norm90_->setChecked(true);
    normalization_ = 90;
    norm180_->setEnabled(false);
    norm255_->setEnabled(false);
  } else {
    table_.Clear();
    normalizationGroup_->show();
    norm90_->setChecked(true);
    normalization_ = 90;
    norm180_->setEnabled(true);
    norm255_->setEnabled(true);
    slopeRadio_->setChecked(true);
    weight_ = 0.0f;
  }
  RefreshLegend();
}

// --- The explanatory window.

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

}  // namespace

TSlopeInfoForm::TSlopeInfoForm(QWidget* parent) : QDialog(parent) {
  LayOutInfoWindow(
      *this, "InfoSlopeCalcForm", " SLOPE CALCULATION",
      {"The slope is computed from the four normals surrounding the studied pixel: each of the "
       "four triangles that the pixel forms with its direct neighbours has a unit normal, and "
       "the slope is the angle between the vertical and their sum.",
       new TPaintedFigure("FigurePaintBox", {300, 260}, DrawSlopeFigure, this),
       "Gradient by surface normals and central differences: B. K. P. Horn, \"Hill shading and "
       "the reflectance map\", Proceedings of the IEEE, 69 (1), 1981, pp. 14-47.",
       "Equation that can be reduced to ==>",
       new TPaintedFigure("FormulaPaintBox", {420, 110}, DrawSlopeFormula, this)});
  setFixedWidth(460);
}

}  // namespace orvane
