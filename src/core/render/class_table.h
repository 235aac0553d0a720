// Colour class tables: the classed colouring shared by slope, aspect, total depth and the
// dissection densities, and the legend their dialogs paint.
//
// A table holds up to 255 classes, each an upper bound (single-precision, in the unit of the
// measured value) and a red, green, blue colour. A value belongs to the first class whose bound
// is at least the value (a bound belongs to the class below it); values above the last bound
// take the last class. With smoothing, a value inside class k > 0 gets the colour interpolated
// between classes k - 1 and k, each channel truncated. Lookup is a linear scan, at most 255
// comparisons, so callers with integer inputs should precompute a lookup per value.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/terrain/raster_image.h"

namespace orvane {

inline constexpr int kMaxClassCount = 255;

struct TClassEntry {
  float bound = 0.0f;
  std::int32_t red = 0;
  std::int32_t green = 0;
  std::int32_t blue = 0;
  friend bool operator==(const TClassEntry&, const TClassEntry&) = default;
};

class TClassTable {
 public:
  TClassTable() = default;
  // Keeps at most kMaxClassCount entries.
  explicit TClassTable(std::vector<TClassEntry> entries);

  int count() const { return static_cast<int>(entries_.size()); }
  bool empty() const { return entries_.empty(); }
  const TClassEntry& operator[](int k) const { return entries_[static_cast<std::size_t>(k)]; }
  const std::vector<TClassEntry>& entries() const { return entries_; }
  // Ignored once the table is full.
  void Add(const TClassEntry& entry);
  void Clear() { entries_.clear(); }
  void SetBound(int k, float bound) { entries_[static_cast<std::size_t>(k)].bound = bound; }

  // Spreads the bounds evenly over (min, max]: bound k = min + (k + 1) (max - min) / count.
  void ScaleBounds(double min, double max);

  // Index of the class of `value`, or -1 for an empty table or a value that matches nothing
  // (NaN).
  int ClassOf(double value) const;
  // The colour of `value`; black for an empty table or a value that matches no class.
  TColor ColorOf(double value, bool smoothing) const;

  friend bool operator==(const TClassTable&, const TClassTable&) = default;

 private:
  std::vector<TClassEntry> entries_;
};

// The colour of an entry, channels clamped to 0..255.
TColor EntryColor(const TClassEntry& entry);

// c0 (1 - t) + c1 t per channel, truncated toward zero and clamped to 0..255; exact where that
// value is a whole number.
TColor MixColors(const TClassEntry& c0, const TClassEntry& c1, double t);

// Everything a dialog paints for its legend, in paint-box coordinates. Rows are 20 pixels high
// from y = 10, the colour strip spans x = 20 .. 70 and labels stand at x = 74.
struct TLegendBand {
  // Filled rectangle [x0, x1) x [y0, y1); outlined in black when `outlined`. Smoothed rows are
  // made of one-pixel-high bands without outline.
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  TColor colour;
  bool outlined = false;
};

struct TLegendLabel {
  int x = 0;
  int y = 0;  // baseline
  std::string text;  // UTF-8
};

enum class LegendLabelFormat {
  kDegrees,  // "%5d °": the bound truncated to an integer, a blank and the degree sign
  kMetres,   // "%5d m"
  kDecimal,  // "%3.2lf   "
};

struct TLegend {
  int paintBoxHeight = 0;  // 20 (count + 1)
  // Area cleared with the button-face colour before drawing: x 20 .. 70, y 10 .. 10 + 20 count.
  int clearX0 = 20, clearY0 = 10, clearX1 = 70, clearY1 = 10;
  std::vector<TLegendBand> bands;
  std::vector<TLegendLabel> labels;
};

TLegend BuildLegend(const TClassTable& table, bool smoothing, LegendLabelFormat format);
std::string FormatLegendLabel(float bound, LegendLabelFormat format);
// The dialog grows with its legend: the larger of paint box + 60 and the OK button's bottom + 30.
int LegendDialogHeight(int paintBoxHeight, int okButtonBottom);

}  // namespace orvane
