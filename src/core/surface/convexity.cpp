#include "core/surface/convexity.h"

#include <algorithm>

#include "core/common/window_count.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/window_driver.h"

namespace orvane {

namespace {

enum class Side { kBelow, kAbove };

Expected<ShapeResult> ComputeShape(const TDemModel& dem, const ShapeParams& params, Side side,
                                   ProgressSink* progress) {
  if (Status status = CheckShapeParams(dem, params); !status) return status.error();
  const double dynamism = params.dynamism;
  return DriveShapeWindows(
      dem, params.range, params.range, 255, progress,
      [&](const TIntGrid& grid, int r, std::uint8_t* out, int firstColumn, int endColumn) {
        const int width = dem.columns, height = dem.lines;
        for (int c = firstColumn; c < endColumn; ++c) {
          const int fit = FittingHalf(params.range, c, r, width, height);
          const std::int32_t v = grid.At(c, r);
          const int span = 2 * fit + 1;
          int n = 0;
          for (int rr = r - fit; rr <= r + fit; ++rr) {
            const std::int32_t* row = grid.Row(rr) + (c - fit);
            n += side == Side::kBelow ? CountBelow(row, span, v) : CountAbove(row, span, v);
          }
          const double neighbours = static_cast<double>(span * span - 1);
          out[c] = static_cast<std::uint8_t>(static_cast<int>(n / neighbours * dynamism));
          if (params.shares)
            params.shares[static_cast<std::size_t>(r) * width + c] = static_cast<float>(n / neighbours);
        }
      });
}

}  // namespace

Expected<ShapeResult> DriveShapeWindows(const TDemModel& dem, int range, int margin, std::uint8_t fill,
                                        ProgressSink* progress, const ShapeLineKernel& kernel) {
  ShapeResult result;
  result.margin = margin;
  // The windows shrink to fit near the borders: only the outer ring is out of reach.
  WindowDriver driver(WindowFrame::Margin(dem.columns, dem.lines, range == 0 ? WindowFrame::kEverything : 1),
                      progress);
  result.image = std::make_unique<TRasterImage>();
  if (Status status = driver.Allocate(*result.image, kRasterGray, Rgb(fill, fill, fill)); !status)
    return status.error();
  const WindowFrame& frame = driver.Frame();
  if (!frame.HasCentre()) return result;
  const TIntGrid grid = TruncatedElevations(dem);
  TRasterImage& image = *result.image;
  const Status done =
      driver.Lines([&](int r) { kernel(grid, r, image.Row(r), frame.firstColumn, frame.endColumn); });
  if (!done) return done.error();
  return result;
}

Status CheckShapeParams(const TDemModel& dem, const ShapeParams& params) {
  if (!dem.IsAllocated() || dem.columns <= 0 || dem.lines <= 0)
    return Error{kBadParameter, "No DEM is open"};
  if (params.range < 0) return Error{kBadParameter, "The window range must not be negative"};
  if (params.dynamism < 1 || params.dynamism > 255)
    return Error{kBadParameter, "The output dynamism must be 100 or 255"};
  return Status::Ok();
}

std::string WindowSizeSuffix(int range) {
  const std::string side = std::to_string(2 * range + 1);
  return side + " x " + side + " ";
}

std::string ConvexityTitle(int range) { return " CONVEXITY   WINDOW SIZE " + WindowSizeSuffix(range); }
std::string ConcavityTitle(int range) { return " CONCAVITY   WINDOW SIZE " + WindowSizeSuffix(range); }

Expected<ShapeResult> ComputeConvexity(const TDemModel& dem, const ShapeParams& params,
                                       ProgressSink* progress) {
  return ComputeShape(dem, params, Side::kBelow, progress);
}

Expected<ShapeResult> ComputeConcavity(const TDemModel& dem, const ShapeParams& params,
                                       ProgressSink* progress) {
  return ComputeShape(dem, params, Side::kAbove, progress);
}

}  // namespace orvane
