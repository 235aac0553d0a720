#include "app/display/class_palette_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/display/class_legend.h"
#include "app/display/legend_dialog.h"
#include "app/shell/declared_fields.h"
#include "app/shell/form_parts.h"
#include "app/shell/result_placement_box.h"
#include "app/shell/text_values.h"

namespace orvane {

TClassPaletteDialog::TClassPaletteDialog(const ClassPaletteOptions& options, QWidget* parent)
    : QDialog(parent, options.toolWindow ? Qt::Tool : Qt::WindowFlags()),
      classTable_(options.classTable) {
  setObjectName(options.objectName);
  setWindowTitle(options.title);
  if (!options.toolWindow) setModal(true);

  auto* columns = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  columns->addLayout(left);

  auto* tables = new QGroupBox("Color Tables", this);
  auto* tablesLayout = new QVBoxLayout(tables);
  paletteCombo_ = new QComboBox(tables);
  paletteCombo_->setObjectName("DDPaletteComboBox");
  FillDeclaredChoices(paletteCombo_, DeclaredParam(*options.treatment, "palette"));
  tablesLayout->addWidget(paletteCombo_);
  left->addWidget(tables);

  smoothing_ = new QCheckBox("Smoothing", this);
  smoothing_->setObjectName("ThinCheckBox");
  left->addWidget(smoothing_);
  scale_ = new QCheckBox("Scale", this);
  scale_->setObjectName("ScaleCheckBox");
  left->addWidget(scale_);

  auto* dynamic = new QGroupBox("Dynamic Scale", this);
  auto* dynamicLayout = new QFormLayout(dynamic);
  minEdit_ = AddField(dynamicLayout, "MinTabEdit", "Min");
  maxEdit_ = AddField(dynamicLayout, "MaxTabEdit", "Max");
  AcceptDecimals(minEdit_, true);
  AcceptDecimals(maxEdit_, true);
  left->addWidget(dynamic);

  placement_ = new TResultPlacementBox({.title = options.placementTitle,
                                        .parameterName = "RadioButton1",
                                        .wrappedName = "RadioButton2",
                                        .parameterChecked = false},
                                       this);
  left->addWidget(placement_);

  ok_ = AddOkDeleteRow(*this, *left, "BitBtn1", [this] { OkClick(); }, [this] { DeleteClick(); });

  legend_ = AddLegendColumn(
      *this, *columns, [this]() -> const TClassTable& { return table_; }, *smoothing_,
      LegendLabelFormat::kDecimal, "Color Table");
  legend_->setObjectName("PaintBox");

  connect(paletteCombo_, &QComboBox::currentIndexChanged, this, [this] { RebuildTable(); });
  connect(scale_, &QCheckBox::toggled, this, [this] { RebuildTable(); });
  connect(smoothing_, &QCheckBox::toggled, legend_, qOverload<>(&QWidget::update));

  paletteChoice_ = ShownPalette();
  RebuildTable();
}

void TClassPaletteDialog::SetRange(int minimum, int maximum) {
  SetMinMaxText(QString::number(minimum), QString::number(maximum));
  RebuildTable();
}

void TClassPaletteDialog::SetRange(double minimum, double maximum) {
  shownMinimum_ = QString::number(minimum, 'g', 6);
  shownMaximum_ = QString::number(maximum, 'g', 6);
  SetMinMaxText(shownMinimum_, shownMaximum_);
  RebuildTable();
}

TreatmentArgs TClassPaletteDialog::DisplayArgs() const {
  TreatmentArgs args;
  args.Set("palette", paletteChoice_);
  args.Set("smooth", Smoothing() ? 1 : 0);
  args.Set("scale", Scale() ? 1 : 0);
  // The run's exact range unless the user typed other bounds: the shown text is rounded.
  if (minEdit_->text() != shownMinimum_ || maxEdit_->text() != shownMaximum_) {
    args.Set("minimum", LeadingDouble(minEdit_->text()));
    args.Set("maximum", LeadingDouble(maxEdit_->text()));
  }
  return args;
}

bool TClassPaletteDialog::Smoothing() const { return smoothing_->isChecked(); }
bool TClassPaletteDialog::Scale() const { return scale_->isChecked(); }
ResultKind TClassPaletteDialog::Placement() const { return placement_->Kind(); }

void TClassPaletteDialog::SelectPalette(int palette) {
  paletteCombo_->setCurrentIndex(paletteCombo_->findData(palette));
}
void TClassPaletteDialog::SetSmoothing(bool on) { smoothing_->setChecked(on); }
void TClassPaletteDialog::SetScale(bool on) { scale_->setChecked(on); }

void TClassPaletteDialog::SetMinMaxText(const QString& minimum, const QString& maximum) {
  minEdit_->setText(minimum);
  maxEdit_->setText(maximum);
}

void TClassPaletteDialog::ChoosePlacement(ResultKind kind) { placement_->Choose(kind); }

void TClassPaletteDialog::OkClick() {
  paletteChoice_ = ShownPalette();
  RebuildTable();  // Min and Max may have been typed since
  accept();
}

void TClassPaletteDialog::reject() {
  SelectPalette(paletteChoice_);
  RebuildTable();
  QDialog::reject();
}

int TClassPaletteDialog::ShownPalette() const { return paletteCombo_->currentData().toInt(); }

void TClassPaletteDialog::RebuildTable() {
  table_ = classTable_(ShownPalette(), scale_->isChecked(), LeadingDouble(minEdit_->text()),
                       LeadingDouble(maxEdit_->text()));
  FitToLegend(*this, *legend_, *ok_);
  legend_->update();
}

void TClassPaletteDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  RebuildTable();
}

}  // namespace orvane
