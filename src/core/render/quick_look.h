// The quick look of a DEM: a copy reduced to about 50 cells on its larger side, and the view
// that shows it whole from above at an angle, as the DEM information window turns it.
#pragma once

#include <memory>

#include "core/render/perspective.h"
#include "core/terrain/dem_model.h"

namespace orvane {

struct DemQuickLook {
  std::unique_ptr<TDemModel> model;  // null for an empty DEM
  TView3D view;
};

// The quick look of `dem` for a picture of `width` x `height` pixels.
DemQuickLook MakeQuickLook(const TDemModel& dem, int width, int height);

}  // namespace orvane
