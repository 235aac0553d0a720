#include "core/render/quick_look.h"

#include <algorithm>

namespace orvane {

DemQuickLook MakeQuickLook(const TDemModel& dem, int width, int height) {
  DemQuickLook look;
  if (dem.IsAllocated() && dem.lines > 0 && dem.columns > 0) {
    const double f = std::min(50.0 / dem.lines, 50.0 / dem.columns);
    look.model = dem.Resample(f, 0, 0);
  }
  TView3D& view = look.view;
  view.b = -0.7f;
  view.distance = 0.05f;
  view.width = width;
  view.height = height;
  view.sx = width / 2;
  view.sy = height / 2;
  if (look.model) {
    const TDemModel& q = *look.model;
    view.cx = q.columns * q.pixelSizeX / 2;
    view.cy = q.lines * q.pixelSizeY / 2;
    view.cz = q.minElevation + (q.maxElevation - q.minElevation) / 2;
    view.tx = q.pixelSizeX * static_cast<float>(std::max(q.lines, q.columns)) * 3;
    view.ty = -view.cy;
    view.tz = -view.cz;
  }
  return look;
}

}  // namespace orvane
