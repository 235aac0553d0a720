#include "app/render/palette_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/display/class_legend.h"
#include "app/display/legend_dialog.h"
#include "app/shell/declared_fields.h"
#include "app/shell/form_parts.h"
#include "app/shell/text_values.h"
#include "core/render/palette.h"

namespace orvane {

TPaletteDialog::TPaletteDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("PalForm");
  setWindowTitle(" PALETTE");
  setModal(true);
  auto* columns = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  columns->addLayout(left);
  left->addWidget(new QLabel("Color Tables", this));
  typeCombo_ = new QComboBox(this);
  typeCombo_->setObjectName("TypeComboBox");
  FillDeclaredChoices(typeCombo_, DeclaredParam("palette", "table"));
  left->addWidget(typeCombo_);
  smoothing_ = AddSmoothingBox(*this, *left);

  auto* range = new QGroupBox("Dynamic Scale", this);
  auto* rangeLayout = new QVBoxLayout(range);
  rangeLayout->addWidget(new QLabel("Min", range));
  minEdit_ = new QLineEdit(range);
  minEdit_->setObjectName("MinEdit");
  rangeLayout->addWidget(minEdit_);
  rangeLayout->addWidget(new QLabel("Max", range));
  maxEdit_ = new QLineEdit(range);
  maxEdit_->setObjectName("MaxEdit");
  BindDeclaredField(minEdit_, DeclaredParam("palette", "min"));  // below sea level too
  BindDeclaredField(maxEdit_, DeclaredParam("palette", "max"));
  rangeLayout->addWidget(maxEdit_);
  left->addWidget(range);

  AddOkDeleteRow(*this, *left, "CancelBitBtn");

  legend_ = AddLegendColumn(
      *this, *columns, [this]() -> const TClassTable& { return table_; }, *smoothing_,
      LegendLabelFormat::kDegrees);

  connect(typeCombo_, &QComboBox::activated, this,
          [this](int index) { ChooseTable(typeCombo_->itemData(index).toInt()); });
  connect(smoothing_, &QCheckBox::toggled, legend_, qOverload<>(&QWidget::update));
  ChooseTable(typeCombo_->currentData().toInt());
}

bool TPaletteDialog::Smoothing() const { return smoothing_->isChecked(); }
void TPaletteDialog::SetSmoothing(bool on) { smoothing_->setChecked(on); }

void TPaletteDialog::SetRange(int min, int max) {
  minEdit_->setText(QString::number(min));
  maxEdit_->setText(QString::number(max));
}

// Decimal fields; a comma reads as the decimal point, empty text as 0.
double TPaletteDialog::Min() const { return LeadingDouble(QString(minEdit_->text()).replace(',', '.')); }
double TPaletteDialog::Max() const { return LeadingDouble(QString(maxEdit_->text()).replace(',', '.')); }

void TPaletteDialog::BuildBounds() {
  table_ = PaletteTable(tableIndex_, Min(), Max());
  legend_->FitHeight();
  legend_->update();
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
