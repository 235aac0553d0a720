// TViewState: one DEM model and the raster shown in the DEM window.
//
// Both are held by shared pointers: a raster may at the same time be the current parameter
// image (the wrapped image) or the opening relief, and a DEM model may be read by a dialog
// while a later push replaces it, so each lives as long as one holder still refers to it.
#pragma once

#include <memory>

#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

struct TViewState {
  std::shared_ptr<TDemModel> dem = std::make_shared<TDemModel>();
  std::shared_ptr<TRasterImage> raster = std::make_shared<TRasterImage>();
};

// The current and the previous view state. Push keeps at most these two: the one before the
// previous is released by every push.
class TViewStates {
 public:
  // A new current state from `dem` and `raster`; a null argument is replaced by a copy of
  // the current state's model or raster. Returns the new current state.
  std::shared_ptr<TViewState> Push(std::shared_ptr<TDemModel> dem,
                                   std::shared_ptr<TRasterImage> raster);
  // As Push, but the arguments are taken as they are (the opening of a DEM).
  std::shared_ptr<TViewState> Replace(std::shared_ptr<TDemModel> dem,
                                      std::shared_ptr<TRasterImage> raster);

  const std::shared_ptr<TViewState>& Current() const { return current_; }
  const std::shared_ptr<TViewState>& Previous() const { return previous_; }

 private:
  std::shared_ptr<TViewState> current_;
  std::shared_ptr<TViewState> previous_;
};

}  // namespace orvane
