#include "app/display/legend_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/display/class_legend.h"
#include "app/shell/form_parts.h"
#include "app/shell/result_placement_box.h"

namespace orvane {

VisualizationChoice AddVisualizationGroup(QDialog& dialog, QVBoxLayout& column,
                                          const char* plainText, const char* plainName,
                                          const char* shadowText, const char* shadowName,
                                          float& weight) {
  VisualizationChoice choice;
  choice.group = AddNamed<QGroupBox>(&column, "VisualizationGroupBox", "Visualization", &dialog);
  auto* visualLayout = new QVBoxLayout(choice.group);
  choice.plain = AddRadio(plainText, plainName, choice.group, visualLayout);
  choice.shadow = AddRadio(shadowText, shadowName, choice.group, visualLayout);
  QObject::connect(choice.plain, &QRadioButton::clicked, &dialog, [&weight] { weight = 0.0f; });
  QObject::connect(choice.shadow, &QRadioButton::clicked, &dialog, [&weight] { weight = 0.5f; });
  return choice;
}

QPushButton* AddOkDeleteRow(QDialog& dialog, QVBoxLayout& column, const char* deleteName,
                            std::function<void()> onOk, std::function<void()> onDelete) {
  auto* buttons = new QHBoxLayout;
  QPushButton* ok = OkButton(dialog, "OkBitBtn", std::move(onOk), &dialog);
  buttons->addWidget(ok);
  auto* cancel = AddNamed<QPushButton>(buttons, deleteName, "Delete", &dialog);
  column.addLayout(buttons);
  column.addStretch();
  if (!onDelete) onDelete = [&dialog] { dialog.reject(); };
  QObject::connect(cancel, &QPushButton::clicked, &dialog, std::move(onDelete));
  return ok;
}

TLegendDialog::TLegendDialog(const char* objectName, const char* title, QWidget* parent)
    : QDialog(parent) {
  setObjectName(objectName);
  setWindowTitle(title);
  setModal(true);
  columns_ = new QHBoxLayout(this);
  left_ = new QVBoxLayout;
  columns_->addLayout(left_);
}

bool TLegendDialog::Smoothing() const { return smoothing_->isChecked(); }
void TLegendDialog::SetSmoothing(bool on) { smoothing_->setChecked(on); }
ResultKind TLegendDialog::Placement() const { return placement_->Kind(); }
void TLegendDialog::ChoosePlacement(ResultKind kind) { placement_->Choose(kind); }

void TLegendDialog::AddSmoothing(const char* name, QLayout* layout) {
  smoothing_ = AddNamed<QCheckBox>(layout ? layout : left_, name, "Smoothing", this);
}

void TLegendDialog::AddPlacement(const ResultPlacementOptions& options) {
  placement_ = new TResultPlacementBox(options, this);
  left_->addWidget(placement_);
}

void TLegendDialog::AddLegend(LegendLabelFormat format, const char* caption) {
  auto* right = new QVBoxLayout;
  if (caption) right->addWidget(new QLabel(caption, this));
  legend_ = new TClassLegendBox(this);
  legend_->SetSource([this]() -> const TClassTable& { return table_; },
                     [this] { return smoothing_->isChecked(); }, format);
  right->addWidget(legend_);
  right->addStretch();
  columns_->addLayout(right);
  connect(smoothing_, &QCheckBox::toggled, legend_, qOverload<>(&QWidget::update));
}

void TLegendDialog::RefreshLegend(const QWidget* ok) {
  const int box = legend_->FitHeight();
  if (ok) {
    adjustSize();
    const int okBottom = ok->mapTo(this, QPoint(0, ok->height())).y();
    resize(width(), LegendDialogHeight(box, okBottom));
  }
  legend_->update();
}

void TClassTableDialog::AddSmoothingOkAndLegend(const char* deleteName, const char* legendCaption) {
  AddSmoothing("LissageCheckBox");
  ok_ = AddOkDeleteRow(*this, Column(), deleteName);
  AddLegend(LegendLabelFormat::kDegrees, legendCaption);
}

void TClassTableDialog::RefreshLegend() { TLegendDialog::RefreshLegend(ok_); }

void TClassTableDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  RefreshLegend();
}

TClassLegendBox::TClassLegendBox(QWidget* parent) : QWidget(parent) {
  setObjectName("PaintBox");
  setFixedWidth(160);
  setFixedHeight(20);
}

void TClassLegendBox::SetSource(std::function<const TClassTable&()> table,
                                std::function<bool()> smoothing, LegendLabelFormat format) {
  table_ = std::move(table);
  smoothing_ = std::move(smoothing);
  format_ = format;
  FitHeight();
  update();
}

TLegend TClassLegendBox::CurrentLegend() const {
  static const TClassTable kEmpty;
  return BuildLegend(table_ ? table_() : kEmpty, smoothing_ && smoothing_(), format_);
}

int TClassLegendBox::FitHeight() {
  const int height = CurrentLegend().paintBoxHeight;
  setFixedHeight(height);
  return height;
}

void TClassLegendBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const TLegend legend = CurrentLegend();
  painter.fillRect(QRect(QPoint(legend.clearX0, legend.clearY0),
                         QPoint(legend.clearX1 - 1, legend.clearY1 - 1)),
                   palette().button());
  for (const TLegendBand& band : legend.bands) {
    const QRect r(QPoint(band.x0, band.y0), QPoint(band.x1 - 1, band.y1 - 1));
    painter.fillRect(r, QColor(band.colour.red, band.colour.green, band.colour.blue));
    if (band.outlined) {
      painter.setPen(Qt::black);
      painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
  }
  painter.setPen(palette().color(QPalette::WindowText));
  for (const TLegendLabel& label : legend.labels) {
    painter.drawText(QPoint(label.x, label.y), QString::fromUtf8(label.text.c_str()));
  }
}

}  // namespace orvane
