#include "app/render/palette_form.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <tuple>

#include "app/shell/declared_fields.h"
#include "app/shell/text_values.h"
#include "core/render/palette.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

TPaletteDialog::TPaletteDialog(QWidget* parent) : TLegendDialog("PalForm", " PALETTE", parent) {
  Column().addWidget(new QLabel("Color Tables", this));
  typeCombo_ = AddNamed<QComboBox>(&Column(), "TypeComboBox", this);
  FillDeclaredChoices(typeCombo_, DeclaredParam(kPaletteTreatment, "table"));
  AddSmoothing("LissageCheckBox");

  auto* range = new QGroupBox("Dynamic Scale", this);
  auto* rangeLayout = new QVBoxLayout(range);
  // The declared bounds (below sea level too), each under its caption.
  for (auto [edit, caption, name, param] : {std::tuple{&minEdit_, "Min", "MinEdit", "min"},
                                            std::tuple{&maxEdit_, "Max", "MaxEdit", "max"}}) {
    rangeLayout->addWidget(new QLabel(caption, range));
    *edit = AddNamed<QLineEdit>(rangeLayout, name, range);
    BindDeclaredField(*edit, DeclaredParam(kPaletteTreatment, param));
  }
  Column().addWidget(range);

  AddOkDeleteRow(*this, Column(), "CancelBitBtn");
  AddLegend(LegendLabelFormat::kDegrees);

  connect(typeCombo_, &QComboBox::activated, this,
          [this](int index) { ChooseTable(typeCombo_->itemData(index).toInt()); });
  ChooseTable(typeCombo_->currentData().toInt());
}

void TPaletteDialog::SetRange(int min, int max) {
  minEdit_->setText(QString::number(min));
  maxEdit_->setText(QString::number(max));
}

// Decimal fields; a comma reads as the decimal point, empty text as 0.
double TPaletteDialog::Min() const { return LeadingDouble(QString(minEdit_->text()).replace(',', '.')); }
double TPaletteDialog::Max() const { return LeadingDouble(QString(maxEdit_->text()).replace(',', '.')); }

void TPaletteDialog::BuildBounds() {
  table_ = PaletteTable(tableIndex_, Min(), Max());
  RefreshLegend(nullptr);
}

void TPaletteDialog::ChooseTable(int table) {
  const int index = typeCombo_->findData(table);
  if (index < 0) return;
  if (typeCombo_->currentIndex() != index) typeCombo_->setCurrentIndex(index);
  tableIndex_ = table;
  BuildBounds();
}

void TPaletteDialog::showEvent(QShowEvent* event) {
  // The classes follow the range just found in the image, not the one of the last use.
  BuildBounds();
  QDialog::showEvent(event);
}

void TPaletteDialog::done(int result) {
  // Values typed into Min and Max count.
  if (result == QDialog::Accepted) BuildBounds();
  QDialog::done(result);
}

}  // namespace orvane
