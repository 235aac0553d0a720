#include "core/treatment/window_driver.h"

#include <algorithm>
#include <cstddef>

#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

namespace {

// Cells [from, to) of a line (clipped to the raster) set to the fill, in the raster's own pixel
// layout (Fill's).
void FillCells(TRasterImage& image, int line, int from, int to, const TColor& fill) {
  from = std::max(from, 0);
  to = std::min(to, image.columns);
  if (to <= from) return;
  std::uint8_t* row = image.Row(line);
  if (image.kind == kRasterRgb) {
    for (int c = from; c < to; ++c) {
      std::uint8_t* p = row + 3 * static_cast<std::size_t>(c);
      p[0] = fill.blue;
      p[1] = fill.green;
      p[2] = fill.red;
    }
  } else {
    std::fill(row + from, row + to, fill.red);
  }
}

}  // namespace

Status CheckWindowFits(const TDemModel& dem, std::int64_t side, const char* message) {
  if (!dem.IsAllocated() || side > dem.lines || side > dem.columns) return Error{kBadParameter, message};
  return Status::Ok();
}

Status AllocateWindowImage(TRasterImage& image, const WindowFrame& frame, std::uint8_t kind,
                           const TColor& fill) {
  if (Status allocated = image.Allocate(frame.columns, frame.lines, kind); !allocated)
    return allocated;
  const bool computes = frame.HasCentre();
  for (int line = 0; line < frame.lines; ++line) {
    if (!computes || line < frame.firstLine || line >= frame.endLine) {
      FillCells(image, line, 0, frame.columns, fill);
    } else {
      FillCells(image, line, 0, frame.firstColumn, fill);
      FillCells(image, line, frame.endColumn, frame.columns, fill);
    }
  }
  return Status::Ok();
}

}  // namespace orvane
