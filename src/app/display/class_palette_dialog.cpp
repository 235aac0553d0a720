#include "app/display/class_palette_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/shell/declared_fields.h"
#include "app/shell/form_parts.h"
#include "app/shell/result_placement_box.h"
#include "app/shell/text_values.h"

namespace orvane {

TClassPaletteDialog::TClassPaletteDialog(const ClassPaletteOptions& options, QWidget* parent)
    : TLegendDialog(options.objectName, options.title, parent), classTable_(options.classTable) {
  // A tool window shared by several treatments is not modal.
  if (options.toolWindow) {
    setWindowFlag(Qt::Tool);
    setModal(false);
  }
  auto* tables = new QGroupBox("Color Tables", this);
  auto* tablesLayout = new QVBoxLayout(tables);
  paletteCombo_ = AddNamed<QComboBox>(tablesLayout, "DDPaletteComboBox", tables);
  FillDeclaredChoices(paletteCombo_, DeclaredParam(*options.treatment, "palette"));
  Column().addWidget(tables);

  AddSmoothing("ThinCheckBox");
  scale_ = AddNamed<QCheckBox>(&Column(), "ScaleCheckBox", "Scale", this);

  Column().addWidget(
      FieldGroup("Dynamic Scale", {{minEdit_, "MinTabEdit", "Min"}, {maxEdit_, "MaxTabEdit", "Max"}}));
  AcceptDecimals(minEdit_, true);
  AcceptDecimals(maxEdit_, true);

  AddPlacement({.title = options.placementTitle,
                .parameterName = "RadioButton1",
                .wrappedName = "RadioButton2",
                .parameterChecked = false});
  ok_ = AddOkDeleteRow(*this, Column(), "BitBtn1", [this] { OkClick(); }, [this] { DeleteClick(); });
  AddLegend(LegendLabelFormat::kDecimal, "Color Table");

  connect(paletteCombo_, &QComboBox::currentIndexChanged, this, [this] { RebuildTable(); });
  connect(scale_, &QCheckBox::toggled, this, [this] { RebuildTable(); });

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

bool TClassPaletteDialog::Scale() const { return scale_->isChecked(); }

void TClassPaletteDialog::SelectPalette(int palette) {
  paletteCombo_->setCurrentIndex(paletteCombo_->findData(palette));
}
void TClassPaletteDialog::SetScale(bool on) { scale_->setChecked(on); }

void TClassPaletteDialog::SetMinMaxText(const QString& minimum, const QString& maximum) {
  minEdit_->setText(minimum);
  maxEdit_->setText(maximum);
}

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
  RefreshLegend(ok_);
}

void TClassPaletteDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  RebuildTable();
}

}  // namespace orvane
