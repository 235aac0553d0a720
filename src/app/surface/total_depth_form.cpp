#include "app/surface/total_depth_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/display/class_legend.h"
#include "app/display/legend_dialog.h"
#include "app/shell/form_parts.h"
#include "app/shell/result_placement_box.h"
#include "app/shell/text_values.h"
#include "core/surface/total_depth.h"

namespace orvane {

TTotalDepthDialog::TTotalDepthDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("TotalDepthForm");
  setWindowTitle(" Total Depth Visu");
  setModal(true);

  auto* columns = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  columns->addLayout(left);

  auto* tables = new QGroupBox("Color Tables", this);
  auto* tablesLayout = new QVBoxLayout(tables);
  paletteCombo_ = new QComboBox(tables);
  paletteCombo_->setObjectName("DDPaletteComboBox");
  paletteCombo_->addItems({"Colored Palette", "Gray Tones Palette", "Gray Tones (0, 255)"});
  tablesLayout->addWidget(paletteCombo_);
  left->addWidget(tables);

  smoothing_ = new QCheckBox("Smoothing", this);
  smoothing_->setObjectName("ThinCheckBox");
  left->addWidget(smoothing_);
  scale_ = new QCheckBox("Scale", this);
  scale_->setObjectName("ScaleCheckBox");
  left->addWidget(scale_);

  auto* dynamic = new QGroupBox("Dynamic Scale", this);
  auto* dynamicLayout = new QGridLayout(dynamic);
  minEdit_ = new QLineEdit(dynamic);
  minEdit_->setObjectName("MinTabEdit");
  maxEdit_ = new QLineEdit(dynamic);
  maxEdit_->setObjectName("MaxTabEdit");
  AcceptDecimals(minEdit_, true);
  AcceptDecimals(maxEdit_, true);
  dynamicLayout->addWidget(new QLabel("Min", dynamic), 0, 0);
  dynamicLayout->addWidget(minEdit_, 0, 1);
  dynamicLayout->addWidget(new QLabel("Max", dynamic), 1, 0);
  dynamicLayout->addWidget(maxEdit_, 1, 1);
  left->addWidget(dynamic);

  placement_ = new TResultPlacementBox(
      {.title = "Resulting Image",
       .parameterName = "RadioButton1",
       .wrappedName = "RadioButton2",
       .parameterChecked = false}, this);
  left->addWidget(placement_);

  ok_ = AddOkDeleteRow(*this, *left, "BitBtn1", [this] { OkClick(); }, [this] { DeleteClick(); });

  legend_ = AddLegendColumn(
      *this, *columns, [this]() -> const TClassTable& { return table_; }, *smoothing_,
      LegendLabelFormat::kDecimal, "Color Table");
  legend_->setObjectName("PaintBox");

  connect(paletteCombo_, &QComboBox::currentIndexChanged, this, [this] { LoadPalette(); });
  connect(scale_, &QCheckBox::toggled, this, [this] { LoadPalette(); });
  connect(smoothing_, &QCheckBox::toggled, legend_, qOverload<>(&QWidget::update));

  paletteCombo_->setCurrentIndex(0);
  paletteChoice_ = 0;
  LoadPalette();
}

void TTotalDepthDialog::SetRange(int minimum, int maximum) {
  SetMinMaxText(QString::number(minimum), QString::number(maximum));
  LoadPalette();  // as the showing does: a checked "Scale" follows the new range
}

bool TTotalDepthDialog::Smoothing() const { return smoothing_->isChecked(); }
bool TTotalDepthDialog::Scale() const { return scale_->isChecked(); }

void TTotalDepthDialog::SelectPalette(int index) { paletteCombo_->setCurrentIndex(index); }
void TTotalDepthDialog::SetSmoothing(bool on) { smoothing_->setChecked(on); }
void TTotalDepthDialog::SetScale(bool on) { scale_->setChecked(on); }

void TTotalDepthDialog::SetMinMaxText(const QString& minimum, const QString& maximum) {
  minEdit_->setText(minimum);
  maxEdit_->setText(maximum);
}

ResultKind TTotalDepthDialog::Placement() const { return placement_->Kind(); }
void TTotalDepthDialog::ChoosePlacement(ResultKind kind) { placement_->Choose(kind); }

void TTotalDepthDialog::OkClick() {
  paletteChoice_ = paletteCombo_->currentIndex();
  accept();
}

void TTotalDepthDialog::DeleteClick() { reject(); }

void TTotalDepthDialog::LoadPalette() {
  table_ = TotalDepthClassTable(paletteCombo_->currentIndex(), scale_->isChecked(),
                                LeadingDouble(minEdit_->text()), LeadingDouble(maxEdit_->text()));
  FitToLegend();
  legend_->update();
}

void TTotalDepthDialog::FitToLegend() { orvane::FitToLegend(*this, *legend_, *ok_); }

void TTotalDepthDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  LoadPalette();
}

}  // namespace orvane
