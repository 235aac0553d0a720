// The palette command: an 8-bit parameter image coloured through a ten-class table.
//
// The ten classes split [min, max] evenly (bound i = min + (i + 1) (max - min) / 10); gray
// value v takes the first class whose bound is at least v, the last class above the last bound;
// smoothing interpolates inside classes 1..9. Pixels of the margin (a frame `margin` pixels
// wide) stay white. Cost: one pass over the image, a 256-entry lookup built first.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/common/progress.h"
#include "core/render/class_table.h"
#include "core/terrain/raster_image.h"

namespace orvane {

inline constexpr int kPaletteClassCount = 10;

enum PaletteTableIndex : int {
  kPaletteClassical = 0,
  kPaletteBlueBase = 1,
};

// The ten colours of a table (index outside 0..1 gives "Blue Base") with bounds spread over
// [min, max].
TClassTable PaletteTable(int index, double min, double max);

// Smallest and largest gray value inside the margin; 10000 and 0 when the inner area is empty.
struct TGrayRange {
  int min = 10000;
  int max = 0;
};
TGrayRange InnerGrayRange(const TRasterImage& image, int margin);

// Kind 2 raster of the image's size: white margin, inner pixels coloured by `table`.
// Null when the raster cannot be allocated or the image is empty.
std::unique_ptr<TRasterImage> ApplyPalette(const TRasterImage& image, const TClassTable& table,
                                           bool smoothing, int margin,
                                           ProgressSink* progress = nullptr);

}  // namespace orvane
