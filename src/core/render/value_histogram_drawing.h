// The value histogram's picture and table: 100 bars between the smallest and largest value of
// a result, a title line with the quantity, its unit and the cells counted, five ticks under
// the axis with the class bounds there, the unit after the last.
#pragma once

#include <string>
#include <vector>

#include "core/render/diagram_drawing.h"
#include "core/treatment/value_summary.h"

namespace orvane {

inline constexpr int kValueHistogramClasses = 100;
// The width of the paint box the drawing fills.
inline constexpr int kValueHistogramWidth = 12 * 2 + kValueHistogramClasses * 4 + 20;

// The texts under the axis: the class bounds at the five ticks, the unit after the last; none
// for a histogram without classes.
std::vector<std::string> ValueHistogramAxisTexts(const TValueHistogram& histogram,
                                                 const std::string& unit);
// The strokes and texts on a paint box `height` pixels high.
DiagramDrawing ValueHistogramDrawing(const TValueHistogram& histogram, const std::string& name,
                                     const std::string& unit, int height);
// One row per class: lower bound, upper bound, count, under a header row.
std::string ValueHistogramTable(const TValueHistogram& histogram);

}  // namespace orvane
