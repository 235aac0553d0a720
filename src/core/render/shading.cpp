#include "core/render/shading.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "core/common/parallel.h"
#include "core/render/elevation_rows.h"

namespace orvane {

TShadeKernel::TShadeKernel(const TDemModel& dem, const TLightParams& light)
    : pixelSizeX(dem.pixelSizeX),
      pixelSizeY(dem.pixelSizeY),
      exaggeration(light.exaggeration),
      brightness(light.brightness) {
  const double a = light.azimuth;
  const double e = light.elevation;
  // The cosines and sines of -A and -E.
  lx = std::cos(-a) * std::cos(-e);
  ly = std::sin(-a) * std::cos(-e);
  lz = std::sin(-e);
}

double TShadeKernel::operator()(double z, double zRight, double zDown) const {
  const double g = (zRight - z) * pixelSizeY * exaggeration;
  const double h = (z - zDown) * pixelSizeX * exaggeration;
  const double k = pixelSizeX * pixelSizeY;
  double s = (1.0 - (g * lx + h * ly + k * lz) / std::sqrt(g * g + h * h + k * k)) / 2.0;
  if (!(s >= 0.0)) s = 0.0;  // negative or not a number
  return std::min(std::pow(s, brightness), 1.0);
}

void ShadeToGrid(const TDemModel& dem, TFloatGrid& grid, const TLightParams& light,
                 ProgressSink* progress) {
  if (!dem.IsAllocated() || !grid.IsAllocated()) return;
  const int lines = std::min(dem.lines, grid.lines);
  const int columns = std::min(dem.columns, grid.columns);
  if (lines < 2 || columns < 2) return;
  const TShadeKernel kernel(dem, light);
  ParallelForLines(
      lines - 1,
      [&](int i) {
        thread_local std::vector<double> upper, lower;
        upper.resize(static_cast<std::size_t>(dem.columns));
        lower.resize(static_cast<std::size_t>(dem.columns));
        LoadElevationRow(dem, i, upper.data());
        LoadElevationRow(dem, i + 1, lower.data());
        float* out = grid.Row(i);
        for (int j = 0; j < columns - 1; ++j)
          out[j] = static_cast<float>(kernel(upper[j], upper[j + 1], lower[j]) * 255.0);
      },
      progress);
}

std::unique_ptr<TRasterImage> RenderShaded(const TDemModel& dem, const TLightParams& light,
                                           ProgressSink* progress) {
  if (dem.lines < 0 || dem.lines > kMaxDemSide || dem.columns < 0 || dem.columns > kMaxDemSide)
    return nullptr;
  ProgressScope scope(progress);
  std::unique_ptr<TRasterImage> raster;
  try {
    raster = std::make_unique<TRasterImage>(dem.columns, dem.lines, kRasterGray);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (raster->allocError) return nullptr;
  if (dem.lines < 2 || dem.columns < 2 || !dem.IsAllocated()) return raster;
  // The float grid would double the memory; the raster line is written straight from the
  // same float values a grid would hold.
  const TShadeKernel kernel(dem, light);
  ParallelForLines(
      dem.lines - 1,
      [&](int i) {
        thread_local std::vector<double> upper, lower;
        upper.resize(static_cast<std::size_t>(dem.columns));
        lower.resize(static_cast<std::size_t>(dem.columns));
        LoadElevationRow(dem, i, upper.data());
        LoadElevationRow(dem, i + 1, lower.data());
        std::uint8_t* out = raster->Row(i);
        for (int j = 0; j < dem.columns - 1; ++j) {
          const float cell = static_cast<float>(kernel(upper[j], upper[j + 1], lower[j]) * 255.0);
          out[j] = static_cast<std::uint8_t>(cell);
        }
      },
      progress);
  if (scope.Cancelled()) return nullptr;
  scope.Step(1.0);
  return raster;
}

}  // namespace orvane
