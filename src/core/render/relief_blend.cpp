#include "core/render/relief_blend.h"

#include "core/common/grid_memory.h"
#include "core/render/shading.h"

namespace orvane {

Status BlendWithShadedRelief(std::unique_ptr<TRasterImage>& picture, const TDemModel& dem,
                             const TLightParams& light, ProgressSink* progress) {
  auto relief = RenderShaded(dem, light, progress);
  if (!relief) return GridMemoryError(dem.lines, dem.columns);
  picture = picture->Blend(*relief, 0.5);
  if (!picture) return Error{kAllocationFailed, "Cannot blend with the shaded relief"};
  return Status::Ok();
}

}  // namespace orvane
