#include "core/render/diagram_drawing.h"

#include <algorithm>

namespace orvane {

namespace {

// The density diagrams' axis is 300 pixels long.
constexpr int kDensityAxisLength = 300;

// A curve through the non-empty counts: from (startX, y(counts[start])) to (x(i), y(counts[i]))
// for i = firstJoined .. end - 1 with counts[i] > 0; empty bins are bridged.
template <class X>
void AddCurve(DiagramDrawing& drawing, std::span<const std::int32_t> counts, int start,
              int firstJoined, int end, int startX, X x, std::int32_t peak, int base,
              TColor colour) {
  if (peak <= 0 || start < 0 || start >= end || static_cast<std::size_t>(start) >= counts.size()) return;
  DiagramPoint at{startX, DiagramY(counts[static_cast<std::size_t>(start)], peak, base)};
  for (int i = std::max(firstJoined, 0); i < end && static_cast<std::size_t>(i) < counts.size(); ++i) {
    const std::int32_t c = counts[static_cast<std::size_t>(i)];
    if (c <= 0) continue;
    const DiagramPoint next{x(i), DiagramY(c, peak, base)};
    drawing.lines.push_back({at, next, colour});
    at = next;
  }
}

// A bar from the baseline `base` up to each non-empty count of bins 0 .. n - 1 at x = bin.
void AddBars(DiagramDrawing& drawing, std::span<const std::int32_t> counts, int n, int base) {
  n = std::min(n, static_cast<int>(counts.size()));
  const std::int32_t peak = PeakCount(counts, 0, n);
  for (int i = 0; i < n && peak > 0; ++i) {
    const std::int32_t c = counts[static_cast<std::size_t>(i)];
    if (c > 0) drawing.lines.push_back({{i, base}, {i, DiagramY(c, peak, base)}, kDiagramBlack});
  }
}

// The count scale of the vertical axis at x = 0: a tick with its count at the peak and at
// half of it, so the heights read as numbers of cells. Nothing without counts.
void AddCountScale(DiagramDrawing& drawing, std::int32_t peak, int base) {
  if (peak <= 0) return;
  for (const std::int32_t count : {peak, peak / 2}) {
    if (count <= 0) continue;
    const int y = DiagramY(count, peak, base);
    drawing.lines.push_back({{0, y}, {5, y}, kDiagramBlack});
    drawing.texts.push_back({{8, std::max(y + 4, 10)}, std::to_string(count)});
  }
}

double DensityClassWidth(int classes, double classPx) {
  return classes * classPx <= kDensityAxisLength ? classPx
                                                 : static_cast<double>(kDensityAxisLength) / classes;
}

// The last tick: at 280 or at the last class when the data go further.
double DensityAxisEnd(int classes, double classPx) {
  return std::max(280.0, classes * DensityClassWidth(classes, classPx));
}

// Classes between labels: at least 36 pixels apart, densities 1, 2, 5, 10 ... apart.
int DensityLabelClasses(int classes, double classPx) {
  for (const int step : {10, 20, 50, 100}) {
    if (step * DensityClassWidth(classes, classPx) >= 36.0) return step;
  }
  return 200;
}

int ClassX(int k, double width) { return static_cast<int>(k * width + 0.5); }

}  // namespace

int DiagramY(std::int32_t count, std::int32_t peak, int base) {
  if (peak <= 0) return base;
  return static_cast<int>((1.0 - static_cast<double>(count) / peak) * base);
}

DiagramDrawing GrayHistogramDrawing(std::span<const std::int32_t> counts, int height) {
  DiagramDrawing drawing;
  const int base = height - 5;
  AddBars(drawing, counts, 256, base);
  drawing.lines.push_back({{0, base}, {255, base}, kDiagramBlack});
  for (int x = 0; x <= 240; x += 20) drawing.lines.push_back({{x, base}, {x, base + 4}, kDiagramBlack});
  return drawing;
}

DiagramDrawing DirectionHistogramDrawing(std::span<const std::int32_t> counts, int height) {
  DiagramDrawing drawing;
  AddBars(drawing, counts, 360, height);
  return drawing;
}

DiagramLabels DensityLabels(int classes, double classPx) {
  DiagramLabels labels;
  const double width = DensityClassWidth(classes, classPx);
  const int step = DensityLabelClasses(classes, classPx);
  for (int k = 0; k * width <= DensityAxisEnd(classes, classPx) + 0.5; k += step) {
    labels.texts.push_back(std::to_string(k / 10));
    labels.xs.push_back(ClassX(k, width));
  }
  return labels;
}

DiagramDrawing DensityDiagramDrawing(std::span<const std::int32_t> counts,
                              const std::vector<std::int32_t>* companion, int bound,
                              double classPx, int height) {
  DiagramDrawing drawing;
  const int n = DiagramClassCount(bound, counts.size());
  const int base = height - 5;
  const std::int32_t peak = PeakCount(counts, 0, n);
  const double width = DensityClassWidth(n, classPx);
  auto x = [width](int i) { return ClassX(i, width); };
  if (companion) AddCurve(drawing, *companion, 0, 2, n, 1, x, peak, base, kDiagramBlue);
  AddCurve(drawing, counts, 0, 2, n, 1, x, peak, base, kDiagramRed);
  if (companion) {
    drawing.lines.push_back({{310, 10}, {360, 10}, kDiagramBlue});
    drawing.lines.push_back({{310, 42}, {360, 42}, kDiagramRed});
    drawing.texts.push_back({{366, 14}, "2 D"});
    drawing.texts.push_back({{366, 46}, "3 D"});
  }
  // The axis with a tick at every label and half-way between, and the vertical axis.
  drawing.lines.push_back({{0, base}, {kDensityAxisLength, base}, kDiagramBlack});
  const int step = std::max(1, DensityLabelClasses(n, classPx) / 2);
  for (int k = 0; k * width <= DensityAxisEnd(n, classPx) + 0.5; k += step) {
    drawing.lines.push_back({{ClassX(k, width), height - 1}, {ClassX(k, width), base}, kDiagramBlack});
  }
  drawing.lines.push_back({{0, base}, {0, height - 255}, kDiagramBlack});
  AddCountScale(drawing, peak, base);
  return drawing;
}

DiagramDrawing FractalDiagramDrawing(std::span<const std::int32_t> counts, int start, int bound,
                              int startX, int shift, int height) {
  DiagramDrawing drawing;
  const int base = height - 5;
  // Through the maximum's class: the cells of the densest dimensions are often there.
  const int n = DiagramClassCount(bound, counts.size());
  const std::int32_t peak = PeakCount(counts, 101, n);
  AddCurve(drawing, counts, start, start + 1, n, startX,
           [shift](int i) { return 2 * i - shift; }, peak, base, kDiagramBlue);
  // The axis, a tick every 40 pixels from the bottom edge up to it, and the vertical axis.
  drawing.lines.push_back({{0, base}, {412, base}, kDiagramBlack});
  for (int x = 0; x <= 400; x += 40) drawing.lines.push_back({{x, height - 1}, {x, base}, kDiagramBlack});
  drawing.lines.push_back({{0, base}, {0, height - 255}, kDiagramBlack});
  AddCountScale(drawing, peak, base);
  return drawing;
}

}  // namespace orvane
