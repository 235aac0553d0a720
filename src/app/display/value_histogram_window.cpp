#include "app/display/value_histogram_window.h"

#include <QWidget>

namespace orvane {

TValueHistogramWindow::TValueHistogramWindow(QWidget* parent)
    : TDiagramForm({"ValueHistoForm", " VALUE HISTOGRAM", kValueHistogramWidth, 285, {}, 20},
                   parent) {}

TValueHistogram TValueHistogramWindow::Counts() const {
  const TResultValues values = Values();
  if (!values) return {};
  if (values.grid != countedGrid_) {
    counted_ = ValueHistogramOf(*values.grid, kValueHistogramClasses);
    countedGrid_ = values.grid;
  }
  return counted_;
}

QStringList TValueHistogramWindow::AxisTexts() const {
  const TResultValues values = Values();
  QStringList texts;
  for (const std::string& text : ValueHistogramAxisTexts(Counts(), values ? values.grid->unit : ""))
    texts << QString::fromStdString(text);
  return texts;
}

DiagramDrawing TValueHistogramWindow::Drawing(int height) const {
  const TResultValues values = Values();
  return ValueHistogramDrawing(Counts(), values.name.toStdString(),
                               values ? values.grid->unit : "", height);
}

std::string TValueHistogramWindow::TableText() const { return ValueHistogramTable(Counts()); }

void TValueHistogramWindow::showEvent(QShowEvent* event) {
  TDiagramForm::showEvent(event);
  PaintBox()->update();  // the values may be those of another result since the last showing
}

}  // namespace orvane
