#include "app/surface/total_depth_form.h"

#include "core/surface/total_depth.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

const ClassPaletteOptions kTotalDepthPalette{
    .objectName = "TotalDepthForm",
    .title = " Total Depth Visu",
    .treatment = &kTotalDepthTreatment,
    .placementTitle = "Resulting Image",
    .toolWindow = false,
    .classTable = &TotalDepthClassTable,
};

}  // namespace orvane
