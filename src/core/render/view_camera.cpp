#include "core/render/view_camera.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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

void ResetView(TView3D& view, DragQuantity quantity, const TDemModel* dem) {
  switch (quantity) {
    case DragQuantity::kRotation:
      view.a = 0.0f;
      view.b = static_cast<float>(-std::numbers::sqrt2 / 2);
      view.c = 0.0f;
      break;
    case DragQuantity::kMove:
      if (!dem) break;
      SetObserverView(view, false, dem);
      view.tx = EyeDistance(*dem);
      view.ty = -view.cy;
      view.tz = -view.cz;
      break;
    case DragQuantity::kVertical:
      view.exaggeration = 1.0f;
      break;
    case DragQuantity::kZoom:
      view.distance = 0.05f;
      break;
  }
}

void SetObserverView(TView3D& view, bool on, const TDemModel* dem) {
  if (on) {
    view.cx = view.tx;
    view.cy = view.ty;
    view.cz = view.tz;
    view.a = -view.a;
    view.b = -view.b;
    view.c = -view.c;
  } else if (dem) {
    view.cx = dem->columns * dem->pixelSizeX / 2;
    view.cy = dem->lines * dem->pixelSizeY / 2;
    view.cz = (dem->maxElevation - dem->minElevation) / 2;
  }
}

void FollowObserver(TView3D& view) {
  view.cx = -view.tx;
  view.cy = -view.ty;
  view.cz = -view.tz;
}

std::array<std::string, 8> ViewPanelTexts(const TView3D& view) {
  constexpr double kDegrees = 180.0 / std::numbers::pi;
  const double values[8] = {view.a * kDegrees, view.b * kDegrees, view.c * kDegrees,
                            view.tx / 1000.0,  view.ty / 1000.0,  view.tz / 1000.0,
                            view.exaggeration, view.distance};
  const char* formats[8] = {"%6.2f", "%6.2f", "%6.2f", "%8.3f km", "%8.3f km", "%8.3f km", "%6.2f", "%6.3f"};
  std::array<std::string, 8> texts;
  for (int i = 0; i < 8; ++i) {
    char text[48];
    std::snprintf(text, sizeof text, formats[i], values[i]);
    texts[static_cast<std::size_t>(i)] = std::string(text);
  }
  return texts;
}

void WrapAngles(TView3D& view) {
  view.a = Wrap(view.a);
  view.b = Wrap(view.b);
  view.c = Wrap(view.c);
}

}  // namespace orvane
