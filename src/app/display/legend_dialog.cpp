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

QCheckBox* AddSmoothingBox(QDialog& dialog, QVBoxLayout& column) {
  auto* smoothing = new QCheckBox("Smoothing", &dialog);
  smoothing->setObjectName("LissageCheckBox");
  column.addWidget(smoothing);
  return smoothing;
}

VisualizationChoice AddVisualizationGroup(QDialog& dialog, QVBoxLayout& column,
                                          const char* plainText, const char* plainName,
                                          const char* shadowText, const char* shadowName,
                                          float& weight) {
  VisualizationChoice choice;
  choice.group = new QGroupBox("Visualization", &dialog);
  choice.group->setObjectName("VisualizationGroupBox");
  auto* visualLayout = new QVBoxLayout(choice.group);
  choice.plain = AddRadio(plainText, plainName, choice.group, visualLayout);
  choice.shadow = AddRadio(shadowText, shadowName, choice.group, visualLayout);
  column.addWidget(choice.group);
  QObject::connect(choice.plain, &QRadioButton::clicked, &dialog, [&weight] { weight = 0.0f; });
  QObject::connect(choice.shadow, &QRadioButton::clicked, &dialog, [&weight] { weight = 0.5f; });
  return choice;
}

QPushButton* AddOkDeleteRow(QDialog& dialog, QVBoxLayout& column, const char* deleteName,
                            std::function<void()> onOk, std::function<void()> onDelete) {
  auto* buttons = new QHBoxLayout;
  QPushButton* ok = OkButton(dialog, "OkBitBtn", std::move(onOk), &dialog);
  auto* cancel = new QPushButton("Delete", &dialog);
  cancel->setObjectName(deleteName);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  column.addLayout(buttons);
  column.addStretch();
  if (onDelete) {
    QObject::connect(cancel, &QPushButton::clicked, &dialog, std::move(onDelete));
  } else {
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  }
  return ok;
}

TClassLegendBox* AddLegendColumn(QDialog& dialog, QHBoxLayout& columns,
                                 std::function<const TClassTable&()> table,
                                 const QCheckBox& smoothing, LegendLabelFormat format,
                                 const char* caption) {
  auto* right = new QVBoxLayout;
  if (caption) right->addWidget(new QLabel(caption, &dialog));
  auto* legend = new TClassLegendBox(&dialog);
  legend->SetSource(std::move(table), [&smoothing] { return smoothing.isChecked(); },
                    format);
  right->addWidget(legend);
  right->addStretch();
  columns.addLayout(right);
  return legend;
}

void FitToLegend(QDialog& dialog, TClassLegendBox& legend, const QWidget& ok) {
  const int box = legend.FitHeight();
  dialog.adjustSize();
  const int okBottom = ok.mapTo(&dialog, QPoint(0, ok.height())).y();
  dialog.resize(dialog.width(), LegendDialogHeight(box, okBottom));
}

TClassTableDialog::TClassTableDialog(const char* objectName, const char* title, QWidget* parent)
    : QDialog(parent) {
  setObjectName(objectName);
  setWindowTitle(title);
  setModal(true);
  columns_ = new QHBoxLayout(this);
  left_ = new QVBoxLayout;
  columns_->addLayout(left_);
}

void TClassTableDialog::AddPlacement(const ResultPlacementOptions& options) {
  placement_ = new TResultPlacementBox(options, this);
  left_->addWidget(placement_);
}

void TClassTableDialog::AddSmoothingOkAndLegend(const char* deleteName, const char* legendCaption) {
  smoothing_ = AddSmoothingBox(*this, *left_);
  ok_ = AddOkDeleteRow(*this, *left_, deleteName);
  legend_ = AddLegendColumn(
      *this, *columns_, [this]() -> const TClassTable& { return table_; }, *smoothing_,
      LegendLabelFormat::kDegrees, legendCaption);
}

ResultKind TClassTableDialog::Placement() const { return placement_->Kind(); }

bool TClassTableDialog::Smoothing() const { return smoothing_->isChecked(); }

void TClassTableDialog::RefreshLegend() {
  FitToLegend(*this, *legend_, *ok_);
  legend_->update();
}

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
