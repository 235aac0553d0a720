#include "core/treatment/value_summary.h"

#include <algorithm>
#include <cmath>
#include <charconv>

namespace orvane {

std::string ValueText(double value) {
  const double size = std::fabs(value);
  const int decimals = size >= 10.0 ? 1 : size >= 1.0 ? 2 : 3;
  // A value exactly halfway rounds away from zero ("11.25" shows "11.3"), not to even.
  const double twice = value * 2.0 * std::pow(10.0, decimals);
  if (std::fma(value, 2.0 * std::pow(10.0, decimals), -twice) == 0.0 && std::fmod(std::fabs(twice), 2.0) == 1.0)
    value = std::nextafter(value, std::copysign(HUGE_VAL, value));
  char buffer[400];  // whatever the locale, a point
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
  std::string text(buffer, end);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

std::string UnitSuffix(const std::string& unit) {
  if (unit.empty() || unit == "%") return unit;
  if (unit == "degrees") return "\u00b0";
  return " " + unit;
}

std::string ValueReadout(const ValueGrid& grid, const std::string& name, int column, int line) {
  if (column < 0 || line < 0 || column >= grid.columns || line >= grid.lines) return {};
  const float value = grid.At(column, line);
  if (std::isnan(value)) return name + ": no value";
  return name + " " + ValueText(value) + UnitSuffix(grid.unit);
}

std::string OneValueNote(const ValueGrid& grid, const std::string& name) {
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
