#include "core/drainage/drainage_extraction.h"

#include <algorithm>

#include "core/common/parallel.h"
#include "core/drainage/skeleton.h"
#include "core/common/truncated_elevations.h"

namespace orvane {

TColor NetworkColour(int colourCode) {
  switch (colourCode) {
    case kNetworkBlue: return Rgb(0, 0, 255);
    case kNetworkRed: return Rgb(255, 0, 0);
    case kNetworkGreen: return Rgb(0, 255, 0);
    case kNetworkYellow: return Rgb(255, 255, 0);
    default: return Rgb(0, 0, 0);
  }
}

Status ValidateExtractionRanges(int lowerRange, int upperRange) {
  if (lowerRange < 1) return Error{kBadParameter, "No Lower Range "};
  if (upperRange < 1) return Error{kBadParameter, "No Window Ranges"};
  if (upperRange <= lowerRange) {
    return Error{kBadParameter, "The Upper Range is not\ngreater than the Lower Range"};
  }
  return Status::Ok();
}

namespace {

// More than 55 % of the N - 1 other cells strictly higher, in the form the test is stated.
bool Valley(std::int64_t higher, int range) {
  const int n = (2 * range + 1) * (2 * range + 1);
  const double p = static_cast<double>(higher) / (n - 1) * 100.0;
  return p > 55.0;
}

}  // namespace

std::vector<std::uint8_t> MarkValleyCells(const TDemModel& dem, int upperRange,
                                          ProgressSink* progress) {
  const int w = std::max(0, dem.columns);
  const int h = std::max(0, dem.lines);
  std::vector<std::uint8_t> mark(static_cast<std::size_t>(w) * h, 0);
  if (upperRange < 2 || w < 5 || h < 5 || !dem.IsAllocated()) return mark;

  const std::vector<std::int32_t> z = TruncatedElevations(dem).values;
  // Transposed copy so the left and right sides of a ring are contiguous as well.
  std::vector<std::int32_t> zt(z.size());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      zt[static_cast<std::size_t>(x) * h + y] = z[static_cast<std::size_t>(y) * w + x];
    }
  }
  auto countAbove = [](const std::int32_t* p, int n, std::int32_t z0) {
    int k = 0;
    for (int i = 0; i < n; ++i) k += p[i] > z0 ? 1 : 0;
    return k;
  };

  const int first = 2;
  const int count = h - 2 * first;
  ParallelForLines(
      count,
      [&](int i) {
        const int y = first + i;
        std::uint8_t* out = mark.data() + static_cast<std::size_t>(y) * w;
        for (int x = first; x < w - first; ++x) {
          const int fit = std::min(std::min(y, h - 1 - y), std::min(x, w - 1 - x));
          const int last = std::min(upperRange, fit);
          const std::int32_t z0 = z[static_cast<std::size_t>(y) * w + x];
          // The 3 x 3 ring first: it belongs to every window but is never tested alone.
          std::int64_t higher = 0;
          for (int r = 1; r <= last; ++r) {
            const int side = 2 * r + 1;
            const std::int32_t* top = z.data() + static_cast<std::size_t>(y - r) * w + (x - r);
            const std::int32_t* bottom = z.data() + static_cast<std::size_t>(y + r) * w + (x - r);
            const std::int32_t* left = zt.data() + static_cast<std::size_t>(x - r) * h + (y - r + 1);
            const std::int32_t* right = zt.data() + static_cast<std::size_t>(x + r) * h + (y - r + 1);
            higher += countAbove(top, side, z0) + countAbove(bottom, side, z0) +
                      countAbove(left, side - 2, z0) + countAbove(right, side - 2, z0);
            if (r >= 2 && Valley(higher, r)) {
              out[x] = 255;
              break;
            }
          }
        }
      },
      progress);
  return mark;
}

Expected<ExtractionResult> ExtractDrainage(const TDemModel& dem, const ExtractionParams& params,
                                           ProgressSink* progress) {
  if (!dem.IsAllocated() || dem.columns <= 0 || dem.lines <= 0) {
    return Error{kBadParameter, "No DEM is open"};
  }
  ProgressScope scope(progress);
  std::vector<std::uint8_t> grid = MarkValleyCells(dem, params.upperRange, progress);
  if (scope.Cancelled()) return Error{kCancelled, "Extraction cancelled"};

  ExtractionResult result;
  for (std::uint8_t v : grid) result.markedCells += v == 255 ? 1 : 0;
  SkeletonizeGray(grid, dem.columns, dem.lines);

  result.network = std::make_unique<TRasterImage>(dem.columns, dem.lines, kRasterRgb);
  if (result.network->allocError != 0 || !result.network->IsAllocated()) {
    return Error{kAllocationFailed, "Not enough memory for the drainage network"};
  }
  const TColor colour = NetworkColour(params.colourCode);
  for (int y = 0; y < dem.lines; ++y) {
    std::uint8_t* row = result.network->Row(y);
    const std::uint8_t* in = grid.data() + static_cast<std::size_t>(y) * dem.columns;
    for (int x = 0; x < dem.columns; ++x, row += 3) {
      if (in[x] == 0) {
        row[0] = row[1] = row[2] = 255;
      } else {
        row[0] = colour.blue;
        row[1] = colour.green;
        row[2] = colour.red;
        ++result.networkCells;
      }
    }
  }
  return result;
}

}  // namespace orvane
