#include "app/display/class_legend.h"

#include <QPainter>

namespace orvane {

namespace {

QColor ToQColor(const TColor& c) { return QColor(c.red, c.green, c.blue); }

}  // namespace

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
    painter.fillRect(r, ToQColor(band.colour));
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
