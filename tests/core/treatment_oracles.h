// The straightforward, cell-by-cell computations of slope, aspect and shaded relief: the
// oracles the line-streaming and vector implementations must match byte for byte.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include <gtest/gtest.h>

#include "core/settings/light_params.h"
#include "core/surface/aspect.h"
#include "core/surface/slope.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/float_grid.h"
#include "core/terrain/raster_image.h"

namespace orvane::oracle {

// The straightforward computation: the whole normal grid first, then the slope of each cell.
inline std::unique_ptr<TRasterImage> OracleSlope(TDemModel& dem, const TSlopeParams& params) {
  EXPECT_TRUE(dem.ComputeNormals());
  auto image = std::make_unique<TRasterImage>(dem.columns, dem.lines,
                                              params.grayTones ? kRasterGray : kRasterRgb);
  for (int i = 0; i < dem.lines; ++i) {
    for (int j = 0; j < dem.columns; ++j) {
      const float nx = dem.normalGrid->x.At(j, i);
      const float ny = dem.normalGrid->y.At(j, i);
      const float nz = dem.normalGrid->z.At(j, i);
      const double length = std::sqrt(double{nx} * nx + double{ny} * ny + double{nz} * nz);
      const double s = length == 0.0 ? 0.0
                                      : (std::numbers::pi / 2 - std::fabs(std::asin(nz / length))) * 57.29577951308232;
      if (params.grayTones) {
        image->SetValue(j, i, static_cast<int>(s * (1.0 / 90) * (params.normalization - 1)));
      } else {
        image->SetColor(j, i, params.table.ColorOf(s, params.smoothing));
      }
    }
  }
  return image;
}

// The straightforward computation, cell by cell through GetElevation.
inline TAspectResult OracleAspect(const TDemModel& dem, const TAspectParams& params) {
  const int kx[3][3] = {{-1, 0, 1}, {-2, 0, 2}, {-1, 0, 1}};
  const int ky[3][3] = {{1, 2, 1}, {0, 0, 0}, {-1, -2, -1}};
  TAspectResult r;
  r.image = std::make_unique<TRasterImage>(dem.columns, dem.lines,
                                           params.grayTones ? kRasterGray : kRasterRgb);
  const double p = dem.pixelSizeX;
  const double f = params.normalization * (1.0 / 360);
  for (int i = 1; i < dem.lines - 1; ++i) {
    for (int j = 1; j < dem.columns - 1; ++j) {
      double gx = 0, gy = 0;
      for (int di = -1; di <= 1; ++di) {
        for (int dj = -1; dj <= 1; ++dj) {
          const int z = static_cast<int>(dem.GetElevation(j + dj, i + di));
          gx += kx[di + 1][dj + 1] * z;
          gy += ky[di + 1][dj + 1] * z;
        }
      }
      gx *= p / 8;
      gy *= p / 8;
      int level = 400;
      if (!(std::atan(std::sqrt(gx * gx + gy * gy)) * 180 * (1 / std::numbers::pi) < 1.0)) {
        double a = 180 - std::atan2(-gx, gy) * 57.29577951308232;
        if (a < 0) a += 360;
        if (a >= 360) a -= 360;
        ++r.histogram[static_cast<std::size_t>(a + 0.5)];
        level = static_cast<int>(a * f + 0.5);
      }
      if (params.grayTones) {
        r.image->SetValue(j, i, std::min(level, 255));
      } else {
        r.image->SetColor(j, i, level == 400 ? Rgb(255, 255, 255) : params.table.ColorOf(level, params.smoothing));
      }
    }
  }
  return r;
}

// The shading written out cell by cell, through GetElevation and a float grid.
inline std::unique_ptr<TRasterImage> ReferenceShaded(const TDemModel& dem, const TLightParams& light) {
  auto raster = std::make_unique<TRasterImage>(dem.columns, dem.lines, kRasterGray);
  TFloatGrid grid(dem.columns, dem.lines);
  grid.Fill(0.0f);
  const double lx = std::cos(light.azimuth) * std::cos(light.elevation);
  const double ly = -std::sin(light.azimuth) * std::cos(light.elevation);
  const double lz = -std::sin(light.elevation);
  for (int i = 0; i + 1 < dem.lines; ++i) {
    for (int j = 0; j + 1 < dem.columns; ++j) {
      const double z = dem.GetElevation(j, i);
      const double g = (dem.GetElevation(j + 1, i) - z) * dem.pixelSizeY * light.exaggeration;
      const double h = (z - dem.GetElevation(j, i + 1)) * dem.pixelSizeX * light.exaggeration;
      const double k = static_cast<double>(dem.pixelSizeX) * dem.pixelSizeY;
      double s = (1 - (g * lx + h * ly + k * lz) / std::sqrt(g * g + h * h + k * k)) / 2;
      if (std::isnan(s) || s < 0) s = 0;
      double v = std::pow(s, static_cast<double>(light.brightness));
      if (v > 1) v = 1;
      grid.At(j, i) = static_cast<float>(v * 255);
    }
  }
  for (int i = 0; i + 1 < dem.lines; ++i)
    for (int j = 0; j + 1 < dem.columns; ++j)
      raster->SetValue(j, i, static_cast<int>(grid.At(j, i)));
  return raster;
}

}  // namespace orvane::oracle
