#include "app/shell/result_values.h"

#include <algorithm>
#include <cmath>

namespace orvane {

QString ValueText(double value) {
  const double size = std::fabs(value);
  const int decimals = size >= 10.0 ? 1 : size >= 1.0 ? 2 : 3;
  QString text = QString::number(value, 'f', decimals);
  if (text.contains('.')) {
    while (text.endsWith('0')) text.chop(1);
    if (text.endsWith('.')) text.chop(1);
  }
  if (text == "-0") text = "0";
  return text;
}

QString UnitSuffix(const std::string& unit) {
  if (unit.empty()) return {};
  if (unit == "degrees") return QStringLiteral("°");
  if (unit == "%") return QStringLiteral("%");
  return " " + QString::fromStdString(unit);
}

QString ValueReadout(const ValueGrid& grid, const QString& name, int column, int line) {
  if (column < 0 || line < 0 || column >= grid.columns || line >= grid.lines) return {};
  const float value = grid.At(column, line);
  if (std::isnan(value)) return name + ": no value";
  return name + " " + ValueText(value) + UnitSuffix(grid.unit);
}

QString OneValueNote(const ValueGrid& grid, const QString& name) {
  bool any = false;
  float first = 0.0f;
  for (const float v : grid.values) {
    if (std::isnan(v)) continue;
    if (any && v != first) return {};
    first = v;
    any = true;
  }
  if (!any) return name + ": no value anywhere";
  return name + " " + ValueText(first) + UnitSuffix(grid.unit) + " everywhere";
}

TValueHistogram ValueHistogramOf(const ValueGrid& grid, int bins) {
  TValueHistogram histogram;
  bool any = false;
  for (float v : grid.values) {
    if (!std::isfinite(v)) continue;  // NoData (and an infinite ratio) has no class
    if (!any || v < histogram.minimum) histogram.minimum = v;
    if (!any || v > histogram.maximum) histogram.maximum = v;
    any = true;
    ++histogram.valid;
  }
  if (!any || bins < 1) return histogram;
  histogram.counts.assign(static_cast<std::size_t>(bins), 0);
  const double width = histogram.ClassWidth();
  for (float v : grid.values) {
    if (!std::isfinite(v)) continue;  // NoData (and an infinite ratio) has no class
    // A grid of one value has width 0: everything in the first class.
    const int k = width > 0.0 ? static_cast<int>((v - histogram.minimum) / width) : 0;
    ++histogram.counts[static_cast<std::size_t>(std::clamp(k, 0, bins - 1))];
  }
  return histogram;
}

}  // namespace orvane
