// Horizontal surfaces: the share of a square window lying at the centre cell's height
// (centre included), as gray levels 0 .. D or reduced to a binary mask of flats.
//
// Heights are whole numbers (truncated toward zero). Windows grow from 3 x 3 to
// (2R + 1) x (2R + 1) and each cell keeps the result of the largest window that fits around it:
// "All calculated values" gives trunc(n / (2i + 1)^2 x D) for that window only. "Selection and
// binarization" sets a cell to 0 when any window size up to that one gives a share above
// 99 / D, and leaves the fill value 200 elsewhere; the count grows ring by ring so every size
// is tested at the cost of the largest window, and stops at the first size that passes.
// The outermost ring of cells keeps 200. Cost: O((2R + 1)^2) per cell, lines over the cores.
#pragma once

#include <string>

#include "core/surface/convexity.h"

namespace orvane {

struct HorizontalParams {
  int range = 0;        // R; 0 computes nothing
  int dynamism = 100;   // D, 1 .. 255
  bool binarize = false;
  // When set: receives, for every computed cell (columns x lines, line after line), the share
  // at the centre's height, 0 .. 1: of the largest fitting window, or with `binarize` the
  // largest share over the window sizes (the cell is 0 when it exceeds 99 / D). The cells left
  // at 200 are not written.
  float* shares = nullptr;
};

Expected<ShapeResult> ComputeHorizontalSurfaces(const TDemModel& dem, const HorizontalParams& params,
                                                ProgressSink* progress = nullptr);

// " HORIZONTAL PLANS   WINDOW SIZE 7 x 7 " for R = 3.
std::string HorizontalTitle(int range);

}  // namespace orvane
