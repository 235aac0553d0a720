#include "core/morphometry/ratio_depth.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/common/parallel.h"
#include "core/common/running_minmax.h"
#include "core/drainage/network_value.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"
#include "core/treatment/window_driver.h"

namespace orvane {

namespace {

constexpr std::int32_t kNoLow = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kNoHigh = std::numeric_limits<std::int32_t>::min();

}  // namespace

Expected<RatioDepthResult> ComputeRatioDepth(const TDemModel& dem, const TRasterImage& network,
                                             const RatioDepthParams& params,
                                             ProgressSink* progress) {
  if (const Status checked = CheckNetworkOverDem(dem, network); !checked) return checked.error();
  if (params.windowSize < 0) {
    return Error{kBadParameter, "The window size must not be negative."};
  }
  if (params.dynamicScale != 100 && params.dynamicScale != 255) {
    return Error{kBadParameter, "The dynamic scale must be 100 or 255 (got " +
                                    std::to_string(params.dynamicScale) + ")."};
  }
  NetworkValue value;
  const std::vector<std::uint8_t> mask =
      NetworkMask(network, NetworkValueRule::kFirstInRasterOrder, &value);
  if (!value.found) return EmptyNetworkError();

  const int W = network.columns;
  const int H = network.lines;
  const int v = static_cast<int>(params.windowSize * 0.5);
  RatioDepthResult result;
  result.halfSize = v;
  result.networkValue = value.value;
  const WindowFrame frame = WindowFrame::Margin(W, H, v);
  WindowDriver driver(frame, progress, "Cancelled.");
  if (Status status = driver.Allocate(result.image, kRasterGray, TColor{0, 0, 0}); !status)
    return status.error();
  if (!frame.HasCentre()) return result;  // everything stays 0
  const int win = 2 * v + 1;

  const TIntGridView z(dem);
  // NoData cells are outside the grid: never network, and out of both extremes. A centre that
  // is NoData, or whose window has fewer than half ground cells, has no ratio.
  const bool partial = dem.HasNoData();
  const TGroundCounts ground(dem);
  const std::int64_t windowCells = static_cast<std::int64_t>(win) * win;
  const int outColumns = W - win + 1;
  const int outLines = H - win + 1;
  // The extremes are separable: along the lines, then down the columns, whose pass writes a
  // column of every centre line; the driver gives the frame, the picture, progress and cancel.
  WindowRun& run = driver.Run();
  // Two passes of two planes each (extremes along the lines, then down the columns) so that
  // no more than two planes live at once: the surface relief first, kept per centre in 32 bits
  // (it never exceeds 2^32 - 1), then the network's extremes and the ratio. Each pass goes over
  // two slabs of columns, so its planes hold half the grid.
  std::vector<std::uint32_t> relief(static_cast<std::size_t>(outColumns) * outLines);
  const double S = params.dynamicScale;
  const int slab = (outColumns + 1) / 2;
  for (int network = 0; network < 2; ++network) {
    for (int s0 = 0; s0 < outColumns; s0 += slab) {
      const int s1 = std::min(outColumns, s0 + slab);
      const auto width = static_cast<std::size_t>(s1 - s0);
      const std::size_t plane = width * static_cast<std::size_t>(H);
      std::vector<std::int32_t> along(2 * plane);
      MapLines(0, H, [&](int y) {
        thread_local std::vector<std::int32_t> low, high, scratch, netLow, netHigh;
        low.resize(static_cast<std::size_t>(outColumns));
        high.resize(static_cast<std::size_t>(outColumns));
        const std::int32_t* row = z.Row(y);
        const std::uint8_t* onGround = dem.ValidityRow(y);
        if (network || partial) {
          netLow.resize(static_cast<std::size_t>(W));
          netHigh.resize(static_cast<std::size_t>(W));
          const std::uint8_t* isNet = mask.data() + static_cast<std::size_t>(y) * W;
          for (int x = 0; x < W; ++x) {
            const bool in = (!network || isNet[x]) && (!onGround || onGround[x]);
            netLow[static_cast<std::size_t>(x)] = in ? row[x] : kNoLow;
            netHigh[static_cast<std::size_t>(x)] = in ? row[x] : kNoHigh;
          }
          SlidingMin(netLow.data(), W, win, low.data(), scratch);
          SlidingMax(netHigh.data(), W, win, high.data(), scratch);
        } else {
          SlidingMin(row, W, win, low.data(), scratch);
          SlidingMax(row, W, win, high.data(), scratch);
        }
        const std::size_t at = static_cast<std::size_t>(y) * width;
        std::copy(low.begin() + s0, low.begin() + s1, along.begin() + static_cast<std::ptrdiff_t>(at));
        std::copy(high.begin() + s0, high.begin() + s1, along.begin() + static_cast<std::ptrdiff_t>(plane + at));
      });
      if (Status status = run.CheckCancel(); !status) return status.error();
      // Down the columns: a kernel per column of the slab, which writes that column of every
      // centre line, so the pass is no line pass.
      ParallelForLines(
          s1 - s0,
          [&](int slabColumn) {
            const int c = s0 + slabColumn;
            std::vector<std::int32_t> column(static_cast<std::size_t>(H)), scratch;
            std::vector<std::int32_t> ext[2];
            for (int k = 0; k < 2; ++k) {
              ext[k].resize(static_cast<std::size_t>(outLines));
              for (int y = 0; y < H; ++y) {
                column[static_cast<std::size_t>(y)] =
                    along[static_cast<std::size_t>(k) * plane + static_cast<std::size_t>(y) * width + slabColumn];
              }
              if (k == 0) {
                SlidingMin(column.data(), H, win, ext[k].data(), scratch);
              } else {
                SlidingMax(column.data(), H, win, ext[k].data(), scratch);
              }
            }
            for (int i = 0; i < outLines; ++i) {
              const auto k = static_cast<std::size_t>(i);
              if (!network) {
                // A window without ground keeps its sentinels: it gets no ratio below.
                relief[k * outColumns + c] =
                    static_cast<std::uint32_t>(static_cast<std::int64_t>(ext[1][k]) - ext[0][k]);
                continue;
              }
              const std::int64_t rs = relief[k * outColumns + c];
              int pixel = 0;
              double ratio = 0.0;
              if (partial && (!dem.IsValid(c + v, i + v) ||
                              !EnoughGround(ground.WindowCount(c + v, i + v, v), windowCells))) {
                result.image.Row(i + v)[c + v] = 0;
                if (params.ratios) params.ratios[static_cast<std::size_t>(i + v) * W + (c + v)] = kNoValue;
                continue;
              }
              if (rs != 0 && ext[1][k] != kNoHigh) {
                const std::int64_t rn = static_cast<std::int64_t>(ext[1][k]) - ext[0][k];
                ratio = static_cast<double>(rn) / static_cast<double>(rs);
                double q = ratio * S;
                if (q > 255.0) q = 255.0;
                if (!(q >= 0.0)) q = 0.0;
                pixel = static_cast<int>(q);
              }
              result.image.Row(i + v)[c + v] = static_cast<std::uint8_t>(pixel);
              if (params.ratios)
                params.ratios[static_cast<std::size_t>(i + v) * W + (c + v)] =
                    static_cast<float>(ratio);
            }
          },
          network ? progress : nullptr);
      if (Status status = run.CheckCancel(); !status) return status.error();
    }
  }
  return result;
}

}  // namespace orvane
