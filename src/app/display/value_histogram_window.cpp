#include "app/display/value_histogram_window.h"

#include <QWidget>
#include <algorithm>

namespace orvane {

namespace {

constexpr int kLeft = 12;           // x of the first class
constexpr int kClassWidth = 4;      // pixels per class
constexpr int kTop = 22;            // room for the title line
constexpr int kBelow = 22;          // room for the axis texts under the baseline
constexpr int kTicks = 5;
constexpr int kCharWidth = 6;       // about, to centre a text under its tick

}  // namespace

TValueHistogramWindow::TValueHistogramWindow(QWidget* parent)
    : TDiagramForm({"ValueHistoForm", " VALUE HISTOGRAM",
                    kLeft * 2 + kClasses * kClassWidth + 20, 285, {}, 20},
                   parent) {}

TValueHistogram TValueHistogramWindow::Counts() const {
  const TResultValues values = Values();
  if (!values) return {};
  if (values.grid != countedGrid_) {
    counted_ = ValueHistogramOf(*values.grid, kClasses);
    countedGrid_ = values.grid;
  }
  return counted_;
}

QStringList TValueHistogramWindow::AxisTexts() const {
  const TResultValues values = Values();
  const TValueHistogram histogram = Counts();
  QStringList texts;
  if (histogram.counts.empty()) return texts;
  for (int k = 0; k < kTicks; ++k) {
    const double at =
        histogram.minimum + (histogram.maximum - histogram.minimum) * k / (kTicks - 1);
    texts << QString::fromStdString(ValueText(at));
  }
  texts.back() += QString::fromStdString(UnitSuffix(values.grid->unit));
  return texts;
}

DiagramDrawing TValueHistogramWindow::Drawing(int height) const {
  constexpr TColor kBars = Rgb(0, 0, 128);
  DiagramDrawing drawing;
  const TResultValues values = Values();
  const TValueHistogram histogram = Counts();
  const int base = height - kBelow;
  const int right = kLeft + kClasses * kClassWidth;
  if (!histogram.counts.empty()) {
    const std::int64_t peak = *std::max_element(histogram.counts.begin(), histogram.counts.end());
    for (int k = 0; k < kClasses; ++k) {
      const std::int64_t c = histogram.counts[static_cast<std::size_t>(k)];
      if (c <= 0) continue;
      const int top = kTop + static_cast<int>((1.0 - static_cast<double>(c) / peak) * (base - kTop));
      for (int x = 0; x < kClassWidth - 1; ++x) {
        const int at = kLeft + k * kClassWidth + x;
        drawing.lines.push_back({{at, base}, {at, top}, kBars});
      }
    }
    const QString unit = QString::fromStdString(values.grid->unit);
    const QString title = QStringLiteral("%1%2   %3 cells")
                              .arg(values.name, unit.isEmpty() ? QString() : " (" + unit + ")",
                                   QString::number(histogram.valid));
    drawing.texts.push_back({{kLeft, 14}, title.toStdString()});
    const QStringList texts = AxisTexts();
    for (int k = 0; k < kTicks; ++k) {
      const int x = kLeft + (right - kLeft) * k / (kTicks - 1);
      drawing.lines.push_back({{x, base}, {x, base + 4}, kDiagramBlack});
      const int half = static_cast<int>(texts[k].size()) * kCharWidth / 2;
      drawing.texts.push_back({{std::max(0, x - half), height - 5}, texts[k].toStdString()});
    }
  } else {
    drawing.texts.push_back({{kLeft, 14}, "The current result has no values"});
  }
  drawing.lines.push_back({{kLeft, base}, {right, base}, kDiagramBlack});
  return drawing;
}

std::string TValueHistogramWindow::TableText() const {
  const TValueHistogram histogram = Counts();
  std::string text = "Lower\tUpper\tCount\n";
  const double width = histogram.ClassWidth();
  for (std::size_t k = 0; k < histogram.counts.size(); ++k) {
    const double lower = histogram.minimum + width * static_cast<double>(k);
    const double upper = k + 1 == histogram.counts.size() ? histogram.maximum : lower + width;
    text += QStringLiteral("%1\t%2\t%3\n")
                .arg(lower, 0, 'g', 8)
                .arg(upper, 0, 'g', 8)
                .arg(histogram.counts[k])
                .toStdString();
  }
  return text;
}

void TValueHistogramWindow::showEvent(QShowEvent* event) {
  TDiagramForm::showEvent(event);
  PaintBox()->update();  // the values may be those of another result since the last showing
}

}  // namespace orvane
