#include "core/surface/total_depth.h"

#include <algorithm>
#include <limits>

#include "core/common/grid_memory.h"
#include "core/common/running_minmax_2d.h"
#include "core/render/ten_class_palette.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"
#include "core/treatment/window_driver.h"

namespace orvane {

TClassTable TotalDepthClassTable(int palette, bool scale, double min, double max) {
  if (palette == kDepthColored) return TenClassTable(TenClassPalette::kColoured, scale, min, max);
  if (palette == kDepthGray) return TenClassTable(TenClassPalette::kGray, scale, min, max);
  return TClassTable();
}

Expected<TotalDepthRelief> ComputeTotalDepthRelief(const TDemModel& dem, int windowSize,
                                                   ProgressSink* progress) {
  if (windowSize < 1) return Error{kBadParameter, "The window size must be at least 1"};
  const int h = windowSize / 2;
  const int side = 2 * h + 1;
  if (Status fits = CheckWindowFits(dem, side, "The window is larger than the DEM"); !fits) return fits.error();
  WindowDriver driver(WindowFrame::Margin(dem.columns, dem.lines, h), progress);
  // The passes of the extremes report their own steps; the last one, the reliefs, none.
  WindowRun& run = driver.Run();
  // Along the lines for both extremes first, so the heights can go before the columns are
  // done: never more than four grids at once with the DEM. NoData cells hold, for each extreme,
  // the value that never wins it.
  std::vector<std::int32_t> lowAcross, highAcross;
  if (dem.HasNoData()) {
    const TIntGrid forLow = TruncatedElevationsFilled(dem, std::numeric_limits<std::int32_t>::max());
    run.Step(0.1);
    lowAcross = SlidingAlongLines(forLow.values.data(), forLow.columns, forLow.lines, side, false);
  } else {
    const TIntGridView z(dem);
    run.Step(0.2);
    lowAcross = SlidingAlongLines(z.data(), z.columns, z.lines, side, false);
    highAcross = SlidingAlongLines(z.data(), z.columns, z.lines, side, true);
  }
  if (dem.HasNoData()) {
    const TIntGrid forHigh = TruncatedElevationsFilled(dem, std::numeric_limits<std::int32_t>::min());
    run.Step(0.2);
    highAcross = SlidingAlongLines(forHigh.values.data(), forHigh.columns, forHigh.lines, side, true);
  }
  const auto stride = static_cast<std::size_t>(dem.columns - side + 1);
  const auto low = SlidingDownColumns(lowAcross, stride, dem.lines, side, false);
  std::vector<std::int32_t>().swap(lowAcross);  // frees the storage (assigning {} keeps it)
  run.Step(0.5);
  const auto high = SlidingDownColumns(highAcross, stride, dem.lines, side, true);
  std::vector<std::int32_t>().swap(highAcross);
  run.Step(0.8);
  if (Status status = run.CheckCancel(); !status) return status.error();
  const TGroundCounts ground(dem);

  TotalDepthRelief result;
  result.columns = dem.columns;
  result.lines = dem.lines;
  result.half = h;
  result.relief.assign(static_cast<std::size_t>(dem.lines) * dem.columns, 0);
  const int outColumns = dem.columns - 2 * h;
  const std::int64_t windowCells = static_cast<std::int64_t>(side) * side;
  // The extremes of the reliefs line by line, so that the lines can run on every core.
  std::vector<long long> lineLow(static_cast<std::size_t>(dem.lines), std::numeric_limits<long long>::max());
  std::vector<long long> lineHigh(static_cast<std::size_t>(dem.lines), std::numeric_limits<long long>::min());
  driver.QuickLines([&](int line) {
    const std::size_t in = static_cast<std::size_t>(line - h) * outColumns;
    int* out = result.relief.data() + static_cast<std::size_t>(line) * dem.columns + h;
    long long smallest = std::numeric_limits<long long>::max();
    long long largest = std::numeric_limits<long long>::min();
    for (int c = 0; c < outColumns; ++c) {
      if (ground.HasNoData() && (!dem.IsValid(c + h, line) ||
                                 !EnoughGround(ground.WindowCount(c + h, line, h), windowCells))) {
        out[c] = kNoRelief;
        continue;
      }
      // Elevations are 32-bit, so the relief of two of them can pass the 32-bit range.
      const long long relief = static_cast<long long>(high[in + c]) - low[in + c];
      const int kept = static_cast<int>(std::min<long long>(relief, std::numeric_limits<int>::max()));
      out[c] = kept;
      smallest = std::min<long long>(smallest, kept);
      largest = std::max<long long>(largest, kept);
    }
    lineLow[static_cast<std::size_t>(line)] = smallest;
    lineHigh[static_cast<std::size_t>(line)] = largest;
  });
  long long smallest = *std::min_element(lineLow.begin(), lineLow.end());
  long long largest = *std::max_element(lineHigh.begin(), lineHigh.end());
  if (smallest > largest) smallest = largest = 0;  // no centre has enough ground
  result.minimum = static_cast<int>(smallest);
  result.maximum = static_cast<int>(largest);
  return result;
}

TRasterImage RenderTotalDepth(const TotalDepthRelief& relief, int palette,
                              const TClassTable& table, bool smoothing) {
  const int h = relief.half;
  TRasterImage image;
  const WindowDriver driver(WindowFrame::Margin(relief.columns, relief.lines, h), nullptr);
  if (!driver.Allocate(image, kRasterRgb, Rgb(255, 255, 255)))
    throw GridAllocationError(relief.lines, relief.columns);
  const bool gray = palette == kDepthGray255;
  // One colour per relief value: the values are whole numbers from 0 to the maximum.
  std::vector<TColor> colours;
  const bool cached = relief.maximum >= 0 && relief.maximum < (1 << 22);
  if (cached && !gray) {
    colours.resize(static_cast<std::size_t>(relief.maximum) + 1);
    for (int d = 0; d <= relief.maximum; ++d) {
      colours[static_cast<std::size_t>(d)] = table.ColorOf(d, smoothing);
    }
  }
  driver.QuickLines([&](int l) {
    std::uint8_t* row = image.Row(l);
    const int* values = relief.relief.data() + static_cast<std::size_t>(l) * relief.columns;
    for (int c = h; c < relief.columns - h; ++c) {
      const int d = values[c];
      TColor colour;
      if (d == kNoRelief) {
        colour = Rgb(255, 255, 255);
      } else if (gray) {
        const auto level = static_cast<std::uint8_t>(std::min(d, 255));
        colour = TColor{level, level, level};
      } else {
        colour = cached ? colours[static_cast<std::size_t>(d)] : table.ColorOf(d, smoothing);
      }
      std::uint8_t* p = row + static_cast<std::size_t>(c) * 3;
      p[0] = colour.blue;
      p[1] = colour.green;
      p[2] = colour.red;
    }
  });
  return image;
}

void TotalDepthMetres(const TotalDepthRelief& relief, int unitFactor, float* metres) {
  const int h = relief.half;
  const double unit = unitFactor;
  for (int l = h; l < relief.lines - h; ++l)
    for (int c = h; c < relief.columns - h; ++c) {
      const std::size_t cell = static_cast<std::size_t>(l) * relief.columns + c;
      metres[cell] = relief.relief[cell] == kNoRelief ? kNoValue : static_cast<float>(relief.relief[cell] / unit);
    }
}

}  // namespace orvane
