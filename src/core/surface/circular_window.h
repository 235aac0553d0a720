// Circular moving window: one of six elevation statistics in a disc of radius R pixels around
// every cell, mapped to gray levels 0 .. 254.
//
// The disc is the union of the circles of radius R, R - 1, ..., 0, each rasterised at 1440
// angles (every quarter degree) with truncated offsets; for R = 1 it is a plus sign. Over the
// n disc cells of whole-number heights v (truncated toward zero), around a centre of height v0,
// mu their mean and sigma their standard deviation with n - 1, the statistics of
// CircularStatistic.
// The disc's lines with the same chord half-width h form bands. Sums of v and v^2 (64-bit,
// heights taken from the grid minimum): column sums over the lines r - t .. r + t grown one
// line up and down at a time, and per band the strip's columns summed along the line over
// 2h + 1 columns: O(R) per cell with a small constant and no stored prefix table (running sums
// along each chord if the disc ever had another shape). The range: the disc is the union of
// one rectangle per band; column extremes over the same growing lines, then running extremes
// along the line over each width (van Herk / Gil-Werman): O(R) per cell. The percentile:
// vector compares over the chords, O(R^2) per cell.
// Means and deviations are evaluated exactly in integers, so the truncations never suffer from
// rounding; the sums of squares go to 128 bits when a disc's could pass 2^62 (a millimetre DEM
// and a large disc). Memory: the whole-number heights and the statistics (32-bit unless the
// heights spread over more than 2^31), each the grid's size, plus a line of sums per core.
// Cells closer than R to a border stay 255; with G the largest statistic, a computed cell gets
// trunc(value / G x 254) clipped to 0 .. 255, and 0 everywhere when G is 0 or less; mean
// elevations whose lowest one, m, is below 0 get trunc((value - m) / (G - m) x 254) instead, so
// ground below sea level keeps its shades. Lines are split over the cores.
// NoData: the statistics are taken over the disc's ground cells (n is their count); a cell
// that is NoData itself, or whose disc holds fewer than half ground cells, has no statistic:
// 255 in the picture, NaN in the values. The NoData cells are kept out by copies of the heights
// in which they hold a neutral value (the base for the sums, the extremes for the range and the
// counts below), and the ground cells of each disc are summed as the heights are.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

enum CircularStatistic : int {
  kCircularMean = 1,        // trunc(mu)
  kCircularDifference = 2,  // |trunc(v0 - mu)|
  kCircularStdDev = 3,      // trunc(sigma)
  kCircularRange = 4,       // max v - min v
  kCircularDeviation = 5,   // trunc((v0 - mu) / sigma), 0 where sigma = 0
  kCircularPercentile = 6,  // trunc(100 x (cells below v0) / n)
};

struct CircularParams {
  int radius = 0;     // R, pixels, at least 1
  int statistic = 0;  // 1 .. 6
  // When set: receives the statistic of every cell with the whole disc (columns x lines, NaN
  // elsewhere) as a real number, not truncated as the picture's: the mean, the difference, the
  // standard deviation and the range in metres (stored units divided by `unitFactor`), the
  // deviation as a standard score, the percentile as the picture's.
  float* values = nullptr;
  int unitFactor = 1;
};

struct CircularResult {
  std::unique_ptr<TRasterImage> image;  // gray, the DEM's size
  int margin = 0;                       // R + 2
  std::int64_t maximum = 0;             // G (the largest statistic, or 0 when every one is below)
};

// The disc mask: (2R + 1) x (2R + 1) bytes, line i (offset i - R along the lines of the DEM)
// after line; 1 inside.
std::vector<std::uint8_t> CircularDisc(int radius);

// The dialog's own messages: "Radius and Treatment undefined", "Radius undefined",
// "Treatment undefined".
Status CheckCircularParams(const CircularParams& params);

Expected<CircularResult> ComputeCircularWindow(const TDemModel& dem, const CircularParams& params,
                                               ProgressSink* progress = nullptr);

// The statistic's name, "Mean Elevation" (1) ... "Percentile" (6); empty for another number.
const char* CircularStatisticName(int statistic);

// The parameter title, e.g. " MEAN ELEVATION  CIRCULAR WINDOW  RADIUS 10 pixels".
std::string CircularTitle(int statistic, int radius);

// Ground surface of the disc in km2: its cell count x P^2 / 10^6 for a whole-metre pixel size P.
double CircularSurfaceKm2(int radius, int pixelSize);

}  // namespace orvane
