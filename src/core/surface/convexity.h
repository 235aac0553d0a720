// Convexity and concavity: the share of a square window's cells lying lower (convexity) or
// higher (concavity) than the centre cell, mapped to 0 .. D gray levels.
//
// Heights are compared as whole numbers (truncated toward zero). The window grows from 3 x 3
// up to (2R + 1) x (2R + 1); a larger window overwrites a smaller one wherever it fits, so each
// cell holds the result of the largest window that fits around it, and only that window is
// counted: pixel = trunc(n / ((2i + 1)^2 - 1) x D) with i = min(R, distance to the border).
// The outermost ring of cells is never computed and keeps the fill value 255, as does every
// cell when R = 0. Cost: O((2R + 1)^2) vector compares per cell, lines split over the cores.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"
#include "core/terrain/truncated_elevations.h"

namespace orvane {

struct ShapeParams {
  int range = 0;       // R: half-size of the largest window; 0 computes nothing
  int dynamism = 100;  // D: gray level of a full share, 1 .. 255 (the dialogs offer 100 and 255)
  // When set: receives the share n / ((2i + 1)^2 - 1), 0 .. 1, of every computed cell
  // (columns x lines, line after line); the cells left at 255 are not written.
  float* shares = nullptr;
};

struct ShapeResult {
  std::unique_ptr<TRasterImage> image;  // gray, the DEM's size
  int margin = 0;                       // border width left uncomputed
};

Expected<ShapeResult> ComputeConvexity(const TDemModel& dem, const ShapeParams& params,
                                       ProgressSink* progress = nullptr);
Expected<ShapeResult> ComputeConcavity(const TDemModel& dem, const ShapeParams& params,
                                       ProgressSink* progress = nullptr);

// " CONVEXITY   WINDOW SIZE 7 x 7 " for R = 3; " CONCAVITY ..." likewise.
std::string ConvexityTitle(int range);
std::string ConcavityTitle(int range);
// The "%d x %d " suffix for a (2R + 1)-wide window.
std::string WindowSizeSuffix(int range);

// The half side of the largest window of half side `range` or less that fits around (c, r).
inline int FittingHalf(int range, int c, int r, int columns, int lines) {
  return std::min({range, r, c, lines - 1 - r, columns - 1 - c});
}

// kernel(grid, line, pictureRow, firstColumn, endColumn): one line of a shape treatment, its
// cells [firstColumn, endColumn) read from the truncated heights.
using ShapeLineKernel =
    std::function<void(const TIntGrid& grid, int line, std::uint8_t* row, int firstColumn, int endColumn)>;

// The skeleton of the shape treatments, whose windows shrink to fit near the borders: a gray
// picture of the DEM's size whose outer ring (every cell when range is 0) keeps `fill`, and
// the kernel over the other lines, with progress and cancel. `margin` is the result's.
Expected<ShapeResult> DriveShapeWindows(const TDemModel& dem, int range, int margin, std::uint8_t fill,
                                        ProgressSink* progress, const ShapeLineKernel& kernel);

// Checks shared by the shape treatments; an empty message means the parameters are usable.
Status CheckShapeParams(const TDemModel& dem, const ShapeParams& params);

}  // namespace orvane
