#include "core/render/view_camera.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvane {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

float Wrap(float angle) {
  if (angle < 0.0f) return static_cast<float>(angle + kTwoPi);
  if (angle >= kTwoPi) return static_cast<float>(angle - kTwoPi);
  return angle;
}

float EyeDistance(const TDemModel& dem) {
  return 2 * dem.pixelSizeX * static_cast<float>(std::max(dem.lines, dem.columns));
}

}  // namespace

TView3D InitialView(const TDemModel* dem) {
  TView3D view;
  view.b = static_cast<float>(-std::numbers::sqrt2 / 2);
  if (!dem) return view;
  view.cx = dem->columns * dem->pixelSizeX / 2;
  view.cy = dem->lines * dem->pixelSizeY / 2;
  view.cz = dem->minElevation + (dem->maxElevation - dem->minElevation) / 2;
  view.tx = EyeDistance(*dem);
  view.ty = -view.cy;
  view.tz = -view.cz;
  return view;
}

void DragView(TView3D& view, const TView3D& start, DragQuantity quantity, bool left, bool right,
              double dx, double dy, double speed, const TDemModel* dem) {
  const double px = dem ? dem->pixelSizeX : 1.0;
  const double py = dem ? dem->pixelSizeY : 1.0;
  switch (quantity) {
    case DragQuantity::kRotation:
      if (left) {
        view.b = static_cast<float>(start.b - dy * speed / 120);
        view.c = static_cast<float>(start.c - dx * speed / 120);
      } else if (right) {
        view.a = static_cast<float>(start.a - dx * speed / 120);
      }
      break;
    case DragQuantity::kMove:
      if (left) {
        view.ty = static_cast<float>(start.ty + dx * std::abs(dx) * py * 0.0002 * speed);
        view.tz = static_cast<float>(start.tz - dy * std::abs(dy) * py * 0.0002 * speed);
      } else if (right) {
        view.tx = static_cast<float>(start.tx - dy * std::abs(dy) * px * 0.002 * speed);
      }
      break;
    case DragQuantity::kVertical:
      view.exaggeration = static_cast<float>(start.exaggeration - dy * std::abs(dy) * 0.00001 * speed);
      break;
    case DragQuantity::kZoom:
      view.distance =
          static_cast<float>(std::max(0.001, start.distance + dy * std::abs(dy) * 0.0000001 * speed));
      break;
  }
}

void ResetViewMove(TView3D& view, const TDemModel& dem) {
  const float relief = (dem.maxElevation - dem.minElevation) / 2;
  view.cx = dem.columns * dem.pixelSizeX / 2;
  view.cy = dem.lines * dem.pixelSizeY / 2;
  view.cz = relief;
  view.tx = EyeDistance(dem);
  view.ty = -view.cy;
  view.tz = -relief;
}

void WrapAngles(TView3D& view) {
  view.a = Wrap(view.a);
  view.b = Wrap(view.b);
  view.c = Wrap(view.c);
}

}  // namespace orvane
