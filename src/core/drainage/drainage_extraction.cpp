#include "core/drainage/drainage_extraction.h"

#include <algorithm>

#include "core/common/grid_memory.h"
#include "core/common/parallel.h"
#include "core/drainage/skeleton.h"
#include "core/terrain/truncated_elevations.h"

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

// The fewest strictly higher cells that mark a cell at range r: the least k with
// k / (N - 1) x 100 > 55.0, found with the very expression the test is stated in.
int ValleyThreshold(int range) {
  const int others = (2 * range + 1) * (2 * range + 1) - 1;
  int k = 0;
  while (k <= others && !(static_cast<double>(k) / others * 100.0 > 55.0)) ++k;
  return k;
}

// higher[x] += (row[x + shift] > z0[x]) for x in [begin, end): the comparisons of a whole line
// at one offset. GCC vectorises such a loop only from -O3 on, so it is asked to here.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("tree-vectorize")))
#endif
void AddHigher(const std::int32_t* row, int shift, const std::int32_t* z0, std::int32_t* higher,
               int begin, int end) {
  for (int x = begin; x < end; ++x) higher[x] += row[x + shift] > z0[x] ? 1 : 0;
}

}  // namespace

std::vector<std::uint8_t> MarkValleyCells(const TDemModel& dem, int upperRange,
                                          ProgressSink* progress) {
  const int w = std::max(0, dem.columns);
  const int h = std::max(0, dem.lines);
  std::vector<std::uint8_t> mark(static_cast<std::size_t>(w) * h, 0);
  if (upperRange < 2 || w < 5 || h < 5 || !dem.IsAllocated()) return mark;

  const std::vector<std::int32_t> z = TruncatedElevations(dem).values;
  const int largest = std::min(upperRange, (std::min(w, h) - 1) / 2);
  std::vector<int> threshold(static_cast<std::size_t>(largest) + 1, 0);
  for (int r = 2; r <= largest; ++r) threshold[static_cast<std::size_t>(r)] = ValleyThreshold(r);
  auto row = [&](int y) { return z.data() + static_cast<std::size_t>(y) * w; };

  // A line at a time: the windows of all its cells grow together ring by ring, and a cell is
  // tested at range r only while the whole window fits (lines and columns r .. size - r - 1).
  // Counting on after a cell is marked changes nothing, since marks are never taken back.
  const int first = 2;
  ParallelForLines(
      h - 2 * first,
      [&](int i) {
        const int y = first + i;
        const std::int32_t* z0 = row(y);
        std::uint8_t* out = mark.data() + static_cast<std::size_t>(y) * w;
        std::vector<std::int32_t> higher(static_cast<std::size_t>(w), 0);
        std::int32_t* k = higher.data();
        const int last = std::min(largest, std::min(y, h - 1 - y));
        for (int r = 1; r <= last; ++r) {
          const int begin = r;
          const int end = w - r;
          for (int d = -r; d <= r; ++d) {
            AddHigher(row(y - r), d, z0, k, begin, end);
            AddHigher(row(y + r), d, z0, k, begin, end);
          }
          for (int dy = -r + 1; dy <= r - 1; ++dy) {
            AddHigher(row(y + dy), -r, z0, k, begin, end);
            AddHigher(row(y + dy), r, z0, k, begin, end);
          }
          if (r < 2) continue;
          const std::int32_t need = threshold[static_cast<std::size_t>(r)];
          for (int x = begin; x < end; ++x) {
            if (k[x] >= need) out[x] = 255;
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
  if (SkeletonizeGray(grid, dem.columns, dem.lines, progress) < 0) {
    return Error{kCancelled, "Extraction cancelled"};
  }

  result.network = std::make_unique<TRasterImage>(dem.columns, dem.lines, kRasterRgb);
  if (result.network->allocError != 0 || !result.network->IsAllocated()) {
    return GridMemoryError(dem.lines, dem.columns);
  }
  const TColor colour = NetworkColour(params.colourCode);
  for (int y = 0; y < dem.lines; ++y) {
    std::uint8_t* row = result.network->Row(y);
    const std::uint8_t* in = grid.data() + static_cast<std::size_t>(y) * dem.columns;
    if (params.mask) {
      float* mask = params.mask + static_cast<std::size_t>(y) * dem.columns;
      for (int x = 0; x < dem.columns; ++x) mask[x] = in[x] == 0 ? 0.0f : 1.0f;
    }
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
