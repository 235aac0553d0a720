#include "core/drainage/incrust.h"

#include <vector>

#include "core/common/grid_memory.h"
#include "core/drainage/network_value.h"

namespace orvane {

Expected<std::unique_ptr<TRasterImage>> IncrustDrainage(const TRasterImage* parameterImage,
                                                         const TRasterImage* drainage,
                                                         bool grayResult) {
  if (!parameterImage || !parameterImage->IsAllocated()) {
    return Error{kBadParameter, kNoParameterImageMessage};
  }
  if (!drainage || !drainage->IsAllocated()) {
    return Error{kBadParameter, "No drainage network"};
  }
  const TRasterImage& p = *parameterImage;
  auto out = std::make_unique<TRasterImage>(p.columns, p.lines, grayResult ? kRasterGray : kRasterRgb);
  if (out->allocError != 0 || !out->IsAllocated()) {
    return GridMemoryError(p.lines, p.columns);
  }
  std::vector<std::uint8_t> net;
  for (int y = 0; y < p.lines; ++y) {
    GrayLine(*drainage, y, net);
    const bool lineInside = y < drainage->lines;
    std::uint8_t* row = out->Row(y);
    for (int x = 0; x < p.columns; ++x) {
      const bool background = lineInside && x < drainage->columns && net[static_cast<std::size_t>(x)] == 255;
      if (grayResult) {
        int v = 0;
        if (background) p.GetValue(x, y, v);
        row[x] = static_cast<std::uint8_t>(v);
      } else {
        TColor c{};
        if (background) p.GetColor(x, y, c);
        row[3 * x] = c.blue;
        row[3 * x + 1] = c.green;
        row[3 * x + 2] = c.red;
      }
    }
  }
  return out;
}

}  // namespace orvane
