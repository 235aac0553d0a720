#include "core/terrain/view_state.h"

namespace orvane {

std::shared_ptr<TViewState> TViewStates::Push(std::shared_ptr<TDemModel> dem,
                                              std::shared_ptr<TRasterImage> raster) {
  if (!dem && current_ && current_->dem) {
    std::unique_ptr<TDemModel> copy = current_->dem->Clone();
    if (copy) dem = std::move(copy);
  }
  if (!raster && current_ && current_->raster) {
    std::unique_ptr<TRasterImage> copy = current_->raster->Clone();
    if (copy) raster = std::move(copy);
  }
  return Replace(std::move(dem), std::move(raster));
}

std::shared_ptr<TViewState> TViewStates::Replace(std::shared_ptr<TDemModel> dem,
                                                 std::shared_ptr<TRasterImage> raster) {
  auto state = std::make_shared<TViewState>();
  if (dem) state->dem = std::move(dem);
  if (raster) state->raster = std::move(raster);
  previous_ = std::move(current_);
  current_ = std::move(state);
  return current_;
}

}  // namespace orvane
