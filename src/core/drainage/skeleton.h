// Skeletonize: four-direction iterative thinning of a marked raster to one-pixel-wide lines.
//
// Object cells are those of gray value 255; every other value is background. A cycle is four
// passes (north, south, east, west). In a pass an object pixel whose neighbour on that side is
// not 255 is cleared to 0 when its 3 x 3 window is deletable: more than two 255 cells (centre
// included), connectivity number exactly 1, and a background run and an object run of at least
// two border cells each. Cells outside the raster read as 5, which joins either kind of run.
// All decisions of a pass read the raster as it was when the pass began; cycles repeat until
// one removes nothing. Isolated pixels and pixels with one neighbour never go (too few 255s),
// so spurs and single points remain.
// Cost: each pass looks only at pixels whose window changed since they were last examined in
// that direction, so the work follows the number of removals rather than cycles x area; the
// result is that of visiting every pixel in every pass.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/common/progress.h"
#include "core/terrain/raster_image.h"

namespace orvane {

// A new raster of the source's size and kind; removed cells are 0 in every byte, the others
// keep the source's bytes. Null when the source holds no grid.
std::unique_ptr<TRasterImage> Skeletonize(const TRasterImage& source);

// The same thinning on a grid of gray values (columns x lines, line after line), in place.
// Returns the number of cells removed, or -1 when `cancel` turned true before the end (the
// grid is then left as it was given). `ground`, when given (one byte per cell, 0 at NoData),
// makes the NoData cells read as outside the raster; they are left as they were given.
std::int64_t SkeletonizeGray(std::vector<std::uint8_t>& gray, int columns, int lines,
                             const ProgressSink* cancel = nullptr, const std::uint8_t* ground = nullptr);

// The deletable-window test on a 3 x 3 window given line after line (centre at index 4).
bool DeletableWindow(const std::uint8_t window[9]);

}  // namespace orvane
