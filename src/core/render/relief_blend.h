// The "average with the shaded relief" of the slope and aspect pictures: the picture and the
// relief the opening makes, half and half.
#pragma once

#include <memory>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/settings/light_params.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

// Replaces `picture` by its blend with the shaded relief of `dem` under `light`.
Status BlendWithShadedRelief(std::unique_ptr<TRasterImage>& picture, const TDemModel& dem,
                             const TLightParams& light, ProgressSink* progress);

}  // namespace orvane
