#include "core/surface/global_fractal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace orvane {

Expected<GlobalFractalResult> ComputeGlobalFractal(const TDemModel& dem) {
  if (!dem.IsAllocated() || dem.columns <= 0 || dem.lines <= 0)
    return Error{kBadParameter, "No DEM is open"};
  const int h = dem.lines;
  const int w = dem.columns;
  const int a = h / 2;
  const int b = w / 2;
  const int n = std::min(h, w) - 2;
  const Error undefined{kBadParameter,
                        "The fractal dimension is undefined: the DEM is too small or too flat"};
  if (n < 4) return undefined;

  const double z0 = dem.GetElevation(b, a);
  std::vector<long> count(static_cast<std::size_t>(n) + 1, 0);
  std::vector<double> sum(static_cast<std::size_t>(n) + 1, 0.0);
  for (int i = 0; i < h; ++i) {
    for (int j = 0; j < w; ++j) {
      if (i == a && j == b) continue;
      const double di = i - a;
      const double dj = j - b;
      const double d = std::sqrt(di * di + dj * dj);
      if (d >= n) continue;
      const auto k = static_cast<std::size_t>(d);
      ++count[k];
      sum[k] += std::fabs(dem.GetElevation(j, i) - z0);
    }
  }

  const double p = dem.pixelSizeY;
  double sx = 0.0, sy = 0.0, sxx = 0.0, syy = 0.0, sxy = 0.0;
  int m = 0;
  for (int k = 1; k <= n - 3; ++k) {
    const double mean = count[k] != 0 ? sum[k] / static_cast<double>(count[k]) : 0.0;
    const double x = k * p;
    if (!(x > 0.0) || !(mean > 0.0)) continue;
    const double lx = std::log(x);
    const double ly = std::log(mean);
    sx += lx, sy += ly, sxx += lx * lx, syy += ly * ly, sxy += lx * ly;
    ++m;
  }
  if (m < 2) return undefined;
  const double xm = sx / m, ym = sy / m;
  const double varX = sxx / m - xm * xm;
  const double varY = syy / m - ym * ym;
  const double cov = sxy / m - xm * ym;
  if (!(std::fabs(varX) > 0.0)) return undefined;
  GlobalFractalResult result;
  result.points = m;
  const double hurst = cov / std::fabs(varX) - 0.2;
  result.dimension = 3.0 - hurst;
  result.correlation = (varX > 0.0 && varY > 0.0) ? cov / (std::sqrt(varX) * std::sqrt(varY)) : 0.0;
  return result;
}

std::string GlobalFractalMessage(const GlobalFractalResult& result) {
  char text[160];
  std::snprintf(text, sizeof text, "Fractal Dimension : D=%lf\n\nCorrelation Coefficient r=%lf\n\n",
                result.dimension, result.correlation);
  return text;
}

}  // namespace orvane
