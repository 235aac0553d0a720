#include "core/surface/horizontal_surfaces.h"

#include <algorithm>

#include "core/common/window_count.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/window_driver.h"

namespace orvane {

namespace {

constexpr int kHorizontalFill = 200;

int Share(int n, int span, double dynamism) {
  return static_cast<int>(n / static_cast<double>(span * span) * dynamism);
}

bool Flat(int n, int span, double dynamism) {
  return n / static_cast<double>(span * span) * dynamism > 99.0;
}

}  // namespace

std::string HorizontalTitle(int range) {
  return " HORIZONTAL PLANS   WINDOW SIZE " + WindowSizeSuffix(range);
}

Expected<ShapeResult> ComputeHorizontalSurfaces(const TDemModel& dem, const HorizontalParams& params,
                                                ProgressSink* progress) {
  if (Status status = CheckShapeParams(dem, ShapeParams{params.range, params.dynamism}); !status)
    return status.error();
  const double dynamism = params.dynamism;
  return DriveShapeWindows(
      dem, params.range, 1, kHorizontalFill, progress,
      [&](const TIntGrid& grid, int r, std::uint8_t* out, int firstColumn, int endColumn) {
        const int width = dem.columns, height = dem.lines;
        for (int c = firstColumn; c < endColumn; ++c) {
          const int fit = FittingHalf(params.range, c, r, width, height);
          const std::int32_t v = grid.At(c, r);
          if (!params.binarize) {
            const int span = 2 * fit + 1;
            int n = 0;
            for (int rr = r - fit; rr <= r + fit; ++rr) n += CountEqual(grid.Row(rr) + (c - fit), span, v);
            out[c] = static_cast<std::uint8_t>(Share(n, span, dynamism));
            if (params.shares)
              params.shares[static_cast<std::size_t>(r) * width + c] =
                  static_cast<float>(n / static_cast<double>(span * span));
            continue;
          }
          out[c] = kHorizontalFill;  // no flat window found yet
          int n = 1;  // the centre
          double largest = 0.0;
          for (int i = 1; i <= fit; ++i) {
            const int span = 2 * i + 1;
            n += CountEqual(grid.Row(r - i) + (c - i), span, v);
            n += CountEqual(grid.Row(r + i) + (c - i), span, v);
            for (int rr = r - i + 1; rr <= r + i - 1; ++rr) {
              const std::int32_t* row = grid.Row(rr);
              n += (row[c - i] == v) + (row[c + i] == v);
            }
            if (params.shares) {
              // The values want every size's share; the picture alone stops at the first flat.
              largest = std::max(largest, n / static_cast<double>(span * span));
              if (out[c] != 0 && Flat(n, span, dynamism)) out[c] = 0;
            } else if (Flat(n, span, dynamism)) {
              out[c] = 0;
              break;
            }
          }
          if (params.shares)
            params.shares[static_cast<std::size_t>(r) * width + c] = static_cast<float>(largest);
        }
      });
}

}  // namespace orvane
