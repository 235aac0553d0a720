// Hill shading: the DEM lit by a distant light, as a float grid or a gray raster.
//
// Each cell (line i, column j) is lit through the plane of its right and lower neighbours:
// G = (z(i, j+1) - z(i, j)) x pixelSizeY x X, H = (z(i, j) - z(i+1, j)) x pixelSizeX x X,
// K = pixelSizeX x pixelSizeY; s = (1 - (G, H, K).L / |(G, H, K)|) / 2 with the light vector
// L = (cos A cos E, -sin A cos E, -sin E); the value is min(s^b, 1) x 255 (s < 0 or NaN gives 0).
// The last line and the last column have no lower / right neighbour and are not computed.
// Cost: one pass over the grid, lines split across the cores; results do not depend on the
// number of threads.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/common/progress.h"
#include "core/settings/light_params.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/float_grid.h"
#include "core/terrain/raster_image.h"

namespace orvane {

// Writes v x 255 into grid cells (j, i) for i < lines - 1, j < columns - 1 (of the DEM and of
// the grid, whichever is smaller); other cells are left as they are.
void ShadeToGrid(const TDemModel& dem, TFloatGrid& grid, const TLightParams& light,
                 ProgressSink* progress = nullptr);

// Kind 0 raster of the DEM's size: each shaded cell truncated, last line and column black.
// Null when lines or columns lie outside 0..8000 or a buffer cannot be allocated.
std::unique_ptr<TRasterImage> RenderShaded(const TDemModel& dem, const TLightParams& light,
                                           ProgressSink* progress = nullptr);

// The shading of one cell from its elevation z, right neighbour zRight and lower neighbour
// zDown, before scaling to 0..255. Exposed for the light dialog's preview and for tests.
struct TShadeKernel {
  explicit TShadeKernel(const TDemModel& dem, const TLightParams& light);
  double operator()(double z, double zRight, double zDown) const;
  // s before the brightness power: 0 .. 1, 0 for a negative or undefined value.
  double Lit(double z, double zRight, double zDown) const;

  double lx, ly, lz;
  double pixelSizeX, pixelSizeY, exaggeration, brightness;
};

// The gray level trunc(float(min(s^b, 1) x 255)) of a shading s >= 0 from precomputed
// thresholds on s instead of a power per cell; the same level for every s. For b > 0 the level
// grows with s; other brightness values always take the power.
class TShadeLevels {
 public:
  explicit TShadeLevels(double brightness);
  int Level(double s) const;
  // Level(s[j]) into out[j] for j < count, a vector of cells at a time.
  void Levels(const double* s, int count, std::uint8_t* out) const;
  // The power itself.
  int Exact(double s) const;
  // thresholds()[k], k = 1 .. 255: the level is k or more exactly when s reaches it; -inf
  // and +inf around them (empty when the power is always taken).
  const std::vector<double>& thresholds() const { return thresholds_; }

 private:
  static constexpr int kBuckets = 4096;
  double brightness_;
  int power_ = 0;  // 1 or 2 when the brightness is that whole power: levels without tables
  std::vector<double> thresholds_;
  std::vector<std::int32_t> base_;  // per bucket of s: the level at its lower end
};

}  // namespace orvane
