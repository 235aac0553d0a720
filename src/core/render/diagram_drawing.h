// The pictures of the histogram and diagram windows as strokes and texts in paint-box pixels
// (y from the top), so that the windows only paint them. A count is drawn at
// y = trunc((1 - count / peak) * base): the peak touches the top, 0 lies on the baseline.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/render/histogram_table.h"
#include "core/terrain/raster_image.h"

namespace orvane {

struct DiagramPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const DiagramPoint&, const DiagramPoint&) = default;
};

struct DiagramLine {
  DiagramPoint from;
  DiagramPoint to;
  TColor colour;
};

struct DiagramText {
  DiagramPoint at;  // baseline start
  std::string text;
};

struct DiagramDrawing {
  std::vector<DiagramLine> lines;
  std::vector<DiagramText> texts;
};

inline constexpr TColor kDiagramBlack = Rgb(0, 0, 0);
inline constexpr TColor kDiagramRed = Rgb(255, 0, 0);
inline constexpr TColor kDiagramBlue = Rgb(0, 0, 255);

int DiagramY(std::int32_t count, std::int32_t peak, int base);

// Bars of the 256 gray levels up from the baseline 5 pixels above the bottom, the axis and a
// tick every 20 levels below it.
DiagramDrawing GrayHistogramDrawing(std::span<const std::int32_t> counts, int height);
// Bars of the directions 0 .. 359 standing on the bottom edge, without axes.
DiagramDrawing DirectionHistogramDrawing(std::span<const std::int32_t> counts, int height);

// The density diagrams: counts by trunc(10 x density) through class `bound`, `classPx` pixels a
// class while the classes fit on the 300-pixel axis, fewer above. A `companion` curve (the 2D
// densities) is drawn in blue under the counts, with a legend; then the axes and the count scale.
DiagramDrawing DensityDiagramDrawing(std::span<const std::int32_t> counts,
                              const std::vector<std::int32_t>* companion, int bound,
                              double classPx, int height);
// The labels under the density axis (densities 1, 2, 5, 10 ... apart, at least 36 pixels) and
// the x of each.
struct DiagramLabels {
  std::vector<std::string> texts;
  std::vector<int> xs;
};
DiagramLabels DensityLabels(int classes, double classPx);

// The fractal dimension diagrams: counts by trunc(100 x D) from class `start` (drawn at
// `startX`) through class `bound`, class i at x = 2 i - `shift`, scaled on the classes from 101.
DiagramDrawing FractalDiagramDrawing(std::span<const std::int32_t> counts, int start, int bound,
                              int startX, int shift, int height);

}  // namespace orvane
