#include "core/render/cast_shadows.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>

namespace orvane {

namespace {

// Interpolated heights of a flat stretch differ from each other by rounding errors only; a
// point that high is as high as the horizon, not below it.
double Tolerance(double height) { return 1e-9 * (std::abs(height) + 1.0); }

}  // namespace

TRayClip ClipRayToGrid(int columns, int lines, double x, double y, double angle) {
  const double w = columns - 1;
  const double h = lines - 1;
  const double length = 2.0 * std::sqrt(w * w + h * h);
  // Directions along a grid axis come out of cos and sin a rounding error off the axis;
  // snapping them keeps such rays on their own line or column.
  double cosA = std::cos(angle), sinA = std::sin(angle);
  if (std::abs(cosA) < 1e-12) cosA = 0.0;
  if (std::abs(sinA) < 1e-12) sinA = 0.0;
  const double dx = length * cosA;
  const double dy = length * sinA;
  const double border[4][4] = {{0, 0, 0, h}, {0, h, w, h}, {w, h, w, 0}, {w, 0, 0, 0}};
  TRayClip clip;
  double tMin = 0.0, tMax = 0.0;
  for (const auto& b : border) {
    const double ex = b[2] - b[0];
    const double ey = b[3] - b[1];
    const double den = dx * ey - dy * ex;
    if (den == 0.0) continue;  // parallel or degenerate border
    const double qx = b[0] - x;
    const double qy = b[1] - y;
    const double t = (qx * ey - qy * ex) / den;  // along the ray
    const double s = (qx * dy - qy * dx) / den;  // along the border segment
    if (s < 0.0 || s > 1.0) continue;
    // The extreme parameters are the two border points; a point on the border itself meets
    // it at t = 0 and the other crossing then lies on the far side.
    if (!clip.found || t < tMin) {
      tMin = t;
      clip.x1 = x + t * dx, clip.y1 = y + t * dy;
    }
    if (!clip.found || t > tMax) {
      tMax = t;
      clip.x2 = x + t * dx, clip.y2 = y + t * dy;
    }
    clip.found = true;
  }
  return clip;
}

std::unique_ptr<TRasterImage> RenderCastShadows(const TDemModel& dem, double azimuth,
                                                double elevation, double attenuation,
                                                ProgressSink* progress) {
  ProgressScope scope(progress);
  std::unique_ptr<TRasterImage> raster = NewRasterOrNull(dem.columns, dem.lines, kRasterGray);
  if (!raster) return nullptr;
  if (!dem.IsAllocated() || dem.lines <= 0 || dem.columns <= 0) return raster;

  const int lit = 255;
  int shadow = static_cast<int>(std::clamp(attenuation, 0.0, 1.0) * 255.0);
  if (shadow == 0) shadow = 1;
  const double cosE = std::cos(elevation);
  const double sinE = std::sin(elevation);
  const double step = dem.pixelSizeX;
  const double maxX = dem.columns - 1;
  const double maxY = dem.lines - 1;
  constexpr double kSlack = 1e-9;  // border points computed a rounding error outside
  constexpr double kSnap = 1e-9;
  const double rayAngle = azimuth + std::numbers::pi;

  for (int i = 0; i < dem.lines; ++i) {
    std::uint8_t* row = raster->Row(i);
    for (int j = 0; j < dem.columns; ++j) {
      if (row[j] != 0) continue;
      const TRayClip clip = ClipRayToGrid(dem.columns, dem.lines, j, i, rayAngle);
      const double ddx = clip.x2 - clip.x1;
      const double ddy = clip.y2 - clip.y1;
      const double d = std::sqrt(ddx * ddx + ddy * ddy);
      const int n = static_cast<int>(d + 0.5);
      // Position of the starting pixel along the ray, in steps from the backward point.
      const double own = d > 0.0 ? ((j - clip.x1) * ddx + (i - clip.y1) * ddy) / d : 0.0;
      bool started = false;
      bool ownDecided = false;
      double runningMax = 0.0;
      int ownValue = lit;
      for (int k = 0; k < n; ++k) {
        double x = clip.x1 + ddx * k / d;
        double y = clip.y1 + ddy * k / d;
        if (x < -kSlack || y < -kSlack || x > maxX + kSlack || y > maxY + kSlack) continue;
        x = std::clamp(x, 0.0, maxX);
        y = std::clamp(y, 0.0, maxY);
        if (!ownDecided && k >= own) {
          // The highest point before the starting pixel decides it.
          const double hOwn = dem.GetElevation(j, i) * cosE + own * step * sinE;
          ownValue = (!started || hOwn >= runningMax - Tolerance(runningMax)) ? lit : shadow;
          ownDecided = true;
        }
        const double hk = dem.SampleBilinear(x, y) * cosE + k * step * sinE;
        int value;
        if (!started) {
          started = true;
          runningMax = hk;
          value = lit;
        } else if (hk >= runningMax - Tolerance(runningMax)) {
          runningMax = hk;
          value = lit;
        } else {
          value = shadow;
        }
        // A hair added before truncating keeps points computed just below a whole pixel
        // coordinate (a light along a grid axis) on their own line and column.
        const int wx = std::min(static_cast<int>(x + kSnap), dem.columns - 1);
        const int wy = std::min(static_cast<int>(y + kSnap), dem.lines - 1);
        raster->Row(wy)[wx] = static_cast<std::uint8_t>(value);
      }
      if (!ownDecided) {
        const double hOwn = dem.GetElevation(j, i) * cosE + own * step * sinE;
        ownValue = (!started || hOwn >= runningMax - Tolerance(runningMax)) ? lit : shadow;
      }
      if (row[j] == 0) row[j] = static_cast<std::uint8_t>(ownValue);
    }
    scope.Step(static_cast<double>(i + 1) / dem.lines);
    if (scope.Cancelled()) return nullptr;
  }
  return raster;
}

}  // namespace orvane
