// Dissection density in 3D: length of drainage network per unit of area in a moving window,
// measured flat (2D) and along the terrain surface (3D).
//
// Window of n pixels: half-width m = trunc((n - 1) / 2); the window of the centre (line y,
// column x) covers lines y - m .. y + m and columns x - m .. x + m; only centres with
// m <= y < H - m and m <= x < W - m are computed. Reference area A = P^2 (n - 1)^2 m^2, P the
// pixel size in whole metres.
// Lengths: every network cell of the window, except those on the window's first and last
// lines (cells of the first and last columns do count, and look at neighbours beyond them),
// adds for each network neighbour a half link: P x 0.5 to a side neighbour, P x 0.707 to a
// diagonal one (L2). With z = trunc(trunc(elevation) / U) (U the vertical unit divisor) and
// d = |z(neighbour) - z(cell)|, the 3D half link is the same h when d = 0, otherwise
// sqrt((d / 2)^2 + h^2) (L3). Neighbours outside the raster never count. Densities are
// L / A x 1000, kilometres of network per square kilometre.
// Half links are summed in fixed point (units of 2^-24 m) so that every window sum is exact
// and does not depend on the order of the cells; this is what lets the window sums come from
// a summed-area table of the per-cell half links.
// NoData cells are outside the grid: never network, and a window's area shrinks with its share
// of ground cells; a centre that is NoData, or whose window has fewer than half ground cells,
// has no density (NaN, white in the image, out of the histograms and the extremes).
// Histograms: bins trunc(10 x density), 2D and 3D, as many as the densest window needs (both
// the same length), so every window with a density is counted.
// The image (gray or class colours) is made by Dissection3DImage from the 3D densities.
// Cost: O(lines x columns) whatever the window: one pass for the per-cell links, one table,
// four look-ups per centre.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/render/class_table.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"
#include "core/treatment/treatment.h"

namespace orvane {

struct Dissection3DParams {
  int windowSize = 0;     // n, pixels
  int unitDivisor = 1;    // U: stored elevation units per metre (1, 10, 100 or 1000)
  int pixelSize = 0;      // P, whole metres
};

struct Dissection3DResult {
  int columns = 0;
  int lines = 0;
  int halfWidth = 0;                  // m
  std::vector<double> density3D;      // per cell, line after line; 0 outside the centres
  std::vector<std::int32_t> histogram2D;
  std::vector<std::int32_t> histogram3D;
  double minimum = 0.0;               // of the 3D densities (both 0 when no centre)
  double maximum = 0.0;
  int upperBound = 0;                 // trunc(10 x maximum): the diagram's 3D bound
  int networkValue = 0;

  double range() const { return maximum - minimum; }
  bool IsCentre(int column, int line) const {
    return line >= halfWidth && line < lines - halfWidth && column >= halfWidth &&
           column < columns - halfWidth;
  }
};

// Fails with a message when the DEM and the network differ in size or are empty, when the
// network holds no pixel other than 255, when n < 2 (no area), when U or P is not above 0
// (the DEM's vertical unit or pixel size was never set), or when cancelled.
Expected<Dissection3DResult> ComputeDissection3D(const TDemModel& dem, const TRasterImage& network,
                                                 const Dissection3DParams& params,
                                                 ProgressSink* progress = nullptr);

// The 3D density image, the network's size, 255 (white) where no centre was computed, with the
// rules of the 2D densities' palette dialog: palette choice kGrayTones0255 gives 8-bit gray
// trunc(density / range x 254) (the density itself is divided; held within 0 .. 254, 0 for a
// range of 0); the other choices 24-bit colour, the class colour of the density in `table`
// with or without smoothing (the gray tone as a colour when the table is empty). Throws
// GridAllocationError when the raster cannot be had.
TRasterImage Dissection3DImage(const Dissection3DResult& result, int paletteChoice,
                               const TClassTable& table, bool smoothing);

// The value grid of the 3D densities: each density on its window centre, NaN elsewhere.
ValueGrid Dissection3DValues(const Dissection3DResult& result);

// The half link from a cell to a neighbour, in 2^-24 m: side or diagonal, elevation
// difference d in whole units (after the divisor). Used by the treatment and its tests.
std::uint64_t HalfLinkFixed(int pixelSize, bool diagonal, std::int64_t d, bool surface);
inline constexpr double kHalfLinkUnit = 16777216.0;  // 2^24

}  // namespace orvane
