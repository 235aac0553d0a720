// Slope: the angle between the vertical and the surface normal of every cell, in degrees.
//
// The cell normal is the plain sum of the unit, upward normals of the triangles the cell forms
// with its four direct neighbours (four inside, two on an edge, one at a corner), on points
// (line * pixelSizeX, column * pixelSizeY, elevation), each sum component kept in single
// precision; slope = 90 - |asin(n_z / |n|)| degrees. Every cell, border included, gets a slope;
// a cell without any triangle (a DEM one cell wide) is taken as horizontal.
// Result: gray levels trunc(slope / 90 * (N - 1)) for N = 90, 180 or 255, or the colour of the
// slope in a class table. One pass over three rows per line, O(lines * columns), parallel over
// lines; the same values as building the whole normal grid first.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/render/class_table.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

// The slope treatment's "table" that means gray tones; 1, 2 and 3 are the colour tables.
inline constexpr int kSlopeGrayTones = 0;

struct TSlopeParams {
  bool grayTones = false;  // true: gray levels; false: colours of `table`
  int normalization = 90;  // N for gray tones: 90, 180 or 255
  TClassTable table;       // colour classes, bounds in degrees
  bool smoothing = false;  // interpolate colours between neighbouring classes
  // When set: receives the slope in degrees of every cell (columns x lines, line after line),
  // the value each picture level or colour is made from.
  float* degrees = nullptr;
  // False: only `degrees` is wanted; no picture is made (TSlopeResult::image stays null).
  bool picture = true;
};

struct TSlopeResult {
  std::unique_ptr<TRasterImage> image;  // kind 0 for gray tones, kind 2 for colours; or null
};

// The built-in slope tables 1, 2 and 3 (14, 8 and 14 classes); an empty table otherwise.
TClassTable SlopeTable(int number);

// The slope in degrees of the summed normal (x, y, z); 0 for a null normal.
double SlopeDegrees(float nx, float ny, float nz);
// The slope in degrees of a normal whose vertical share n_z / |n| is q: 90 - |asin q|.
double SlopeOfRatio(double q);

// Gray level trunc(SlopeOfRatio(q) / 90 x (N - 1)) from precomputed thresholds on q instead of
// an arc sine per cell: the same level for every q.
class TSlopeGrayLevels {
 public:
  explicit TSlopeGrayLevels(int normalization);
  // Class index ClassOf(SlopeOfRatio(q)) of a table instead (by thresholds when its bounds
  // increase, by ClassOf otherwise); the table must outlive this.
  explicit TSlopeGrayLevels(const TClassTable& table);
  int Level(double q) const;
  // Level(q[j]) into out[j] for j < count, a vector of cells at a time; kUndecidedLevel where
  // the thresholds alone do not decide (q outside (0, 1], next to a threshold): Level decides.
  void Levels(const double* q, int count, std::int32_t* out) const;
  static constexpr std::int32_t kUndecidedLevel = -2147483647 - 1;
  // The arc-sine evaluation itself.
  int Exact(double q) const;
  // thresholds()[k], k = 1 .. N - 1: the level of q in (0, 1] is k or more exactly when q is
  // below it.
  const std::vector<double>& thresholds() const { return thresholds_; }

 private:
  void FindThresholds();

  static constexpr int kBuckets = 4096;
  double levels_;
  int top_;
  const TClassTable* table_ = nullptr;
  std::vector<double> thresholds_;
  std::vector<std::int32_t> base_;  // per bucket of q: the level at its upper end
};

// Refuses a normalization other than 90, 180, 255 for gray tones and an empty table for colours.
Expected<TSlopeResult> ComputeSlope(const TDemModel& dem, const TSlopeParams& params,
                                    ProgressSink* progress = nullptr);

}  // namespace orvane
