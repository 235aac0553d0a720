#include "core/render/class_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace orvane {

namespace {

std::uint8_t ChannelByte(double v) {
  // Truncation toward zero, then clamped: hand-edited tables may hold any integer.
  if (!(v > 0.0)) return 0;
  if (v >= 255.0) return 255;
  return static_cast<std::uint8_t>(v);
}

int TruncatedBound(float bound) {
  const double b = static_cast<double>(bound);
  if (std::isnan(b)) return 0;
  if (b >= 2147483647.0) return 2147483647;
  if (b <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(b);
}

}  // namespace

TClassTable::TClassTable(std::vector<TClassEntry> entries) : entries_(std::move(entries)) {
  if (entries_.size() > static_cast<std::size_t>(kMaxClassCount)) entries_.resize(kMaxClassCount);
}

void TClassTable::Add(const TClassEntry& entry) {
  if (count() < kMaxClassCount) entries_.push_back(entry);
}

void TClassTable::ScaleBounds(double min, double max) {
  const int n = count();
  for (int k = 0; k < n; ++k) {
    entries_[static_cast<std::size_t>(k)].bound = static_cast<float>(min + (k + 1) * (max - min) / n);
  }
}

int TClassTable::ClassOf(double value) const {
  const int n = count();
  if (n == 0) return -1;
  if (value <= static_cast<double>(entries_[0].bound)) return 0;
  for (int k = 1; k < n; ++k) {
    if (static_cast<double>(entries_[static_cast<std::size_t>(k - 1)].bound) < value &&
        value <= static_cast<double>(entries_[static_cast<std::size_t>(k)].bound)) {
      return k;
    }
  }
  if (value > static_cast<double>(entries_.back().bound)) return n - 1;
  return -1;
}

TColor EntryColor(const TClassEntry& entry) {
  return Rgb(std::clamp(entry.red, 0, 255), std::clamp(entry.green, 0, 255),
             std::clamp(entry.blue, 0, 255));
}

namespace {

// a + (b - a) t, truncated. Where the mix is a whole number the floating-point value may fall a
// few units in the last place below it (255 and 255 at t = 3/7 give 254.99999999999997): a value
// that close to a whole number is taken as that number, so truncation cannot lose one.
std::uint8_t MixChannel(std::int32_t a, std::int32_t b, double t) {
  const double mixed = static_cast<double>(a) + (static_cast<double>(b) - a) * t;
  const double whole = std::round(mixed);
  if (std::fabs(mixed - whole) <= 1e-9 * std::max(1.0, std::fabs(whole))) return ChannelByte(whole);
  return ChannelByte(mixed);
}

// The same mix for a whole value between whole bounds, in integers:
// (a (high - value) + b (value - low)) / (high - low), truncated toward zero like the rest.
std::uint8_t MixChannelWhole(std::int64_t a, std::int64_t b, std::int64_t low, std::int64_t high,
                             std::int64_t value) {
  const std::int64_t sum = a * (high - value) + b * (value - low);
  return ChannelByte(static_cast<double>(sum / (high - low)));
}

bool IsWhole(double v) { return std::fabs(v) < 1e9 && v == std::trunc(v); }

}  // namespace

TColor MixColors(const TClassEntry& c0, const TClassEntry& c1, double t) {
  return TColor{MixChannel(c0.blue, c1.blue, t), MixChannel(c0.green, c1.green, t),
                MixChannel(c0.red, c1.red, t)};
}

TColor TClassTable::ColorOf(double value, bool smoothing) const {
  const int k = ClassOf(value);
  if (k < 0) return TColor{};
  const TClassEntry& entry = entries_[static_cast<std::size_t>(k)];
  if (!smoothing || k == 0) return EntryColor(entry);
  const TClassEntry& below = entries_[static_cast<std::size_t>(k - 1)];
  const double low = static_cast<double>(below.bound);
  const double high = static_cast<double>(entry.bound);
  // Only a match through the bounds test interpolates; above the last bound the class colour
  // stands as it is.
  if (!(low < value && value <= high)) return EntryColor(entry);
  if (IsWhole(value) && IsWhole(low) && IsWhole(high)) {
    const auto l = static_cast<std::int64_t>(low), h = static_cast<std::int64_t>(high),
               v = static_cast<std::int64_t>(value);
    return TColor{MixChannelWhole(below.blue, entry.blue, l, h, v),
                  MixChannelWhole(below.green, entry.green, l, h, v),
                  MixChannelWhole(below.red, entry.red, l, h, v)};
  }
  const double t = (value - low) / (high - low);
  return MixColors(below, entry, t);
}

std::string FormatLegendLabel(float bound, LegendLabelFormat format) {
  char buffer[64];
  switch (format) {
    case LegendLabelFormat::kDegrees:
      std::snprintf(buffer, sizeof buffer, "%5d \xC2\xB0", TruncatedBound(bound));
      break;
    case LegendLabelFormat::kMetres:
      std::snprintf(buffer, sizeof buffer, "%5d m", TruncatedBound(bound));
      break;
    case LegendLabelFormat::kDecimal:
      std::snprintf(buffer, sizeof buffer, "%3.2f   ", static_cast<double>(bound));
      break;
  }
  return buffer;
}

TLegend BuildLegend(const TClassTable& table, bool smoothing, LegendLabelFormat format) {
  TLegend legend;
  const int n = table.count();
  legend.paintBoxHeight = 20 * (n + 1);
  legend.clearY1 = 10 + 20 * n;
  for (int i = 0; i < n; ++i) {
    const int top = 10 + 20 * i;
    if (smoothing && i + 1 < n) {
      for (int k = 0; k < 20; ++k) {
        legend.bands.push_back(
            {20, top + k, 70, top + k + 1, MixColors(table[i], table[i + 1], k / 20.0), false});
      }
    } else if (smoothing) {
      legend.bands.push_back({20, top, 70, top + 20, EntryColor(table[i]), false});
    } else {
      legend.bands.push_back({20, top, 70, top + 18, EntryColor(table[i]), true});
    }
    if (i + 1 < n) legend.labels.push_back({74, top + 14, FormatLegendLabel(table[i].bound, format)});
  }
  return legend;
}

int LegendDialogHeight(int paintBoxHeight, int okButtonBottom) {
  return std::max(paintBoxHeight + 60, okButtonBottom + 30);
}

}  // namespace orvane
