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
  ShapeResult result;
  result.margin = params.range;
  // The windows shrink to fit near the borders: only the outer ring is out of reach.
  const int margin = params.range == 0 ? WindowFrame::kEverything : 1;
  const WindowFrame frame = WindowFrame::Margin(dem.columns, dem.lines, margin);
  result.image = std::make_unique<TRasterImage>();
  if (Status status = AllocateWindowImage(*result.image, frame, kRasterGray, Rgb(255, 255, 255)); !status)
    return status.error();
  if (!frame.HasCentre()) return result;

  WindowRun run(progress);
  const TIntGrid grid = TruncatedElevations(dem);
  const int width = dem.columns;
  const int height = dem.lines;
  const double dynamism = params.dynamism;
  TRasterImage& image = *result.image;
  const Status done = run.ForEachLine(
      frame.firstLine, frame.endLine,
      [&](int r) {
        std::uint8_t* out = image.Row(r);
        for (int c = frame.firstColumn; c < frame.endColumn; ++c) {
          const int fit = std::min({params.range, r, c, height - 1 - r, width - 1 - c});
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
  if (!done) return done.error();
  return result;
}

}  // namespace

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
