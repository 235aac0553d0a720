// Contour-line extraction: the contour lines of chosen levels drawn into a gray image whose
// pixel value is the index of the level (0 .. n - 1), 255 elsewhere.
//
// Heights are E = trunc(z) / u whole metres (u stored units per metre, division toward zero).
// Levels are first, first + interval, ... (n = (last - first) / interval + 1 values). Every
// cell takes the lowest level at or above its height, or keeps its height above the last
// level. A cell lies on a contour when its level is lower than that of a tested neighbour
// (interior cells test the four direct neighbours, border cells three; the bottom-right corner
// tests only the cell above, the other corners nothing) and its level is in the list.
// Cost: O(lines x columns), lines over the cores.
//
// Refused (the image could not hold the result): an interval of 0 or less, a last contour
// below the first, more than 255 levels (255 is the background value).
#pragma once

#include <memory>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"
#include "core/treatment/treatment.h"

namespace orvane {

struct ContourLinesParams {
  int first = 0;        // metres
  int last = 0;         // metres
  int interval = 0;     // metres
  int unitDivisor = 1;  // u
};

struct ContourLinesResult {
  std::unique_ptr<TRasterImage> image;  // gray, the DEM's size
  std::vector<int> levels;              // the level list, increasing
};

// The value grid of a result: a line pixel holds its level in whole metres, NaN elsewhere.
ValueGrid ContourLineValues(const ContourLinesResult& result);

// The lowest and highest E = trunc(z) / u shown in the dialog before it opens. As tracked by
// the treatment, the minimum starts from 1000000 and the maximum from 0.
struct ContourHeightRange {
  int minimum = 1000000;
  int maximum = 0;
};
ContourHeightRange ContourHeights(const TDemModel& dem, int unitDivisor);

Status CheckContourLinesParams(const ContourLinesParams& params);

Expected<ContourLinesResult> ComputeContourLines(const TDemModel& dem,
                                                 const ContourLinesParams& params,
                                                 ProgressSink* progress = nullptr);

inline constexpr const char* kContourLinesTitle = " CONTOUR LINES ";
inline constexpr int kMaxContourLevels = 255;

}  // namespace orvane
