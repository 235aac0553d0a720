#include "core/drainage/headwaters_density.h"

#include <algorithm>
#include <cmath>

#include "core/common/summed_area.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"
#include "core/treatment/window_driver.h"

namespace orvane {

std::vector<std::uint8_t> DetectHeadwaters(const TRasterImage& drainage, const TDemModel& dem,
                                           NetworkValue* network) {
  const int w = std::max(0, drainage.columns);
  const int h = std::max(0, drainage.lines);
  std::vector<std::uint8_t> heads(static_cast<std::size_t>(w) * h, 0);
  NetworkValue found;
  const std::vector<std::uint8_t> net =
      NetworkMask(drainage, NetworkValueRule::kFirstOfLastLine, &found);
  if (network) *network = found;
  if (!found.found || w < 3 || h < 3 || dem.columns < w || dem.lines < h) return heads;

  // Neighbours in the order up-left, up, up-right, right, down-right, down, down-left, left.
  const int dx[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
  const int dy[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
  // NoData cells are outside the grid: never network, and a cell beside one is not a
  // headwater, as a cell on the border is not (the stream may go on in the unknown).
  const TGroundCounts ground(dem);
  for (int y = 1; y < h - 1; ++y) {
    for (int x = 1; x < w - 1; ++x) {
      if (!net[static_cast<std::size_t>(y) * w + x]) continue;
      if (ground.HasNoData() && ground.WindowCount(x, y, 1) != 9) continue;
      int k = 0;
      std::int32_t m = 0;
      int nx = 0, ny = 0;
      for (int i = 0; i < 8; ++i) {
        const int xx = x + dx[i];
        const int yy = y + dy[i];
        if (!net[static_cast<std::size_t>(yy) * w + xx]) continue;  // on ground: see above
        ++k;
        nx = xx;
        ny = yy;
      }
      // Only a cell with one network neighbour can qualify; its height is then the maximum.
      if (k != 1) continue;
      m = std::max<std::int32_t>(0, TruncatedElevation(dem.GetElevation(nx, ny)));
      const std::int32_t z0 = TruncatedElevation(dem.GetElevation(x, y));
      if (z0 >= m) heads[static_cast<std::size_t>(y) * w + x] = 1;
    }
  }
  return heads;
}

double HeadwatersWindowSide(int pixelSize, int halfWindow) {
  return pixelSize * (2.0 * halfWindow + 1.0) * 0.001;
}

Expected<HeadwatersResult> HeadwatersDensity(const TRasterImage& drainage, const TDemModel& dem,
                                             const HeadwatersParams& params,
                                             ProgressSink* progress) {
  if (!drainage.IsAllocated()) return Error{kBadParameter, "No drainage network"};
  if (!dem.IsAllocated()) return Error{kBadParameter, "No DEM is open"};
  if (drainage.columns > dem.columns || drainage.lines > dem.lines) {
    return Error{kWrongFormat, "The drainage network (" + std::to_string(drainage.columns) +
                                    " x " + std::to_string(drainage.lines) +
                                    ") is larger than the DEM (" + std::to_string(dem.columns) +
                                    " x " + std::to_string(dem.lines) + ")"};
  }
  if (params.halfWindow < 0) return Error{kBadParameter, "The half window size is negative"};
  if (params.dynamicScale < 1 || params.dynamicScale > 255) {
    return Error{kBadParameter, "The dynamic scale must lie between 1 and 255"};
  }
  const int w = drainage.columns;
  const int h = drainage.lines;
  const int v = params.halfWindow;
  const WindowFrame frame = WindowFrame::Margin(w, h, v);
  WindowDriver driver(frame, progress, "Headwaters density cancelled");
  driver.Run();  // the progress begins before the headwaters are found

  HeadwatersResult result;
  result.margin = v + 1;
  const std::vector<std::uint8_t> heads = DetectHeadwaters(drainage, dem, &result.network);
  for (std::uint8_t c : heads) result.headwaters += c;
  // Counts wrap harmlessly in 32 bits: a window holds fewer than 2^32 cells whenever it fits.
  const SummedAreaTable<std::uint32_t> sums(
      w, h, [&](int x, int y) { return heads[static_cast<std::size_t>(y) * w + x]; });

  result.image = std::make_unique<TRasterImage>();
  if (Status status = driver.Allocate(*result.image, kRasterGray, TColor{255, 255, 255}); !status)
    return status.error();
  if (!frame.HasCentre()) return result;
  // The counts are read from the table twice (extremes, then image) rather than kept; the
  // extremes by line first, so the lines can run on every core. With NoData, a window's count
  // is that of its ground cells scaled to the whole window; a centre that is NoData, or whose
  // window has fewer than half ground cells, has none (NaN, 255 in the picture).
  const TGroundCounts ground(dem);
  const std::int64_t windowCells = (2 * std::int64_t{v} + 1) * (2 * v + 1);
  auto countAt = [&](int x, int y) -> double {
    const auto c = static_cast<std::int32_t>(sums.WindowSum(x, y, v));
    if (!ground.HasNoData()) return c;
    const std::int64_t onGround = ground.WindowCount(x, y, v);
    if (!dem.IsValid(x, y) || !EnoughGround(onGround, windowCells)) return kNoValue;
    return onGround == windowCells ? c : c * (static_cast<double>(windowCells) / static_cast<double>(onGround));
  };
  std::vector<double> lineMin(static_cast<std::size_t>(h), result.minimum);
  std::vector<double> lineMax(static_cast<std::size_t>(h), result.maximum);
  const Status done = driver.Lines([&](int y) {
    for (int x = frame.firstColumn; x < frame.endColumn; ++x) {
      const double c = countAt(x, y);
      if (params.counts) params.counts[static_cast<std::size_t>(y) * w + x] = static_cast<float>(c);
      if (std::isnan(c)) continue;
      lineMin[static_cast<std::size_t>(y)] = std::min(lineMin[static_cast<std::size_t>(y)], c);
      lineMax[static_cast<std::size_t>(y)] = std::max(lineMax[static_cast<std::size_t>(y)], c);
    }
  });
  if (!done) return done.error();
  result.minimum = *std::min_element(lineMin.begin(), lineMin.end());
  result.maximum = *std::max_element(lineMax.begin(), lineMax.end());
  const double range = result.maximum - result.minimum;
  driver.QuickLines([&](int y) {
    std::uint8_t* out = result.image->Row(y);
    for (int x = frame.firstColumn; x < frame.endColumn; ++x) {
      const double c = range > 0 || ground.HasNoData() ? countAt(x, y) : 0.0;
      int value = 0;
      if (std::isnan(c)) {
        value = 255;
      } else if (range > 0) {
        value = static_cast<int>((c - result.minimum) / range * params.dynamicScale);
      }
      out[x] = static_cast<std::uint8_t>(value);
    }
  });
  return result;
}

}  // namespace orvane
