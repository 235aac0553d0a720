#include "app/surface/total_depth_form.h"

#include "core/surface/total_depth.h"

namespace orvane {

const ClassPaletteOptions kTotalDepthPalette{
    .objectName = "TotalDepthForm",
    .title = " Total Depth Visu",
    .treatment = "total-depth",
    .placementTitle = "Resulting Image",
    .toolWindow = false,
    .classTable = &TotalDepthClassTable,
};

}  // namespace orvane
