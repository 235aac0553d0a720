// Global fractal dimension of a DEM: a log-log fit of the mean absolute height difference to
// the central cell against horizontal distance (a first-order structure function).
//
// Centre (trunc(H / 2), trunc(W / 2)); each other cell at distance d < n = min(H, W) - 2 adds
// |z - z0| to class trunc(d). Classes k = 1 .. n - 3 with a positive mean give the points
// (ln(k p), ln mean) with p = pixelSizeY; the fit slope gives H = Sxy / |Sxx| - 0.2, D = 3 - H,
// and r = Sxy / (sqrt Sxx sqrt Syy). One pass over the grid.
//
// Fewer than two usable points (a DEM smaller than 6 x 6, a horizontal DEM, no pixel size)
// leave the fit undefined and give an error; with every mean equal (Syy = 0), r is 0.
#pragma once

#include <string>

#include "core/common/result.h"
#include "core/terrain/dem_model.h"

namespace orvane {

struct GlobalFractalResult {
  double dimension = 0.0;    // D
  double correlation = 0.0;  // r
  int points = 0;            // points of the fit
};

Expected<GlobalFractalResult> ComputeGlobalFractal(const TDemModel& dem);

// "Fractal Dimension : D=%lf\n\nCorrelation Coefficient r=%lf\n\n"
std::string GlobalFractalMessage(const GlobalFractalResult& result);

inline constexpr const char* kGlobalFractalCaption = "GLOBAL FRACTAL DIMENSION";

}  // namespace orvane
