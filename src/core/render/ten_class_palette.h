// The ten-class palettes of the density and depth images: classes bounded at 10, 20 ... 100
// (or those bounds spread over an observed range), coloured from dark green through yellow to
// orange, or in ten gray steps.
#pragma once

#include "core/render/class_table.h"

namespace orvane {

enum class TenClassPalette {
  kColoured,  // "Colored Palette"
  kGray,      // "Gray Tones Palette"
};

// The table; with `scale` the bounds are spread over (min, max] as the dialogs' "Scale" does.
TClassTable TenClassTable(TenClassPalette palette, bool scale = false, double min = 0.0,
                          double max = 0.0);

}  // namespace orvane
