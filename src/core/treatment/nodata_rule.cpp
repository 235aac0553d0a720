#include "core/treatment/nodata_rule.h"

#include <algorithm>
#include <cstddef>

#include "core/common/summed_area.h"

namespace orvane {

std::vector<std::uint8_t> NoDataInWindows(const TDemModel& dem, int radius, bool shrinkToFit) {
  if (!dem.HasNoData()) return {};
  const int W = dem.columns, H = dem.lines;
  // Counts of NoData cells modulo 2^32: a window's count is below 2^32, so the four-term
  // difference gives it exactly.
  const SummedAreaTable<std::uint32_t> holes(
      W, H, [&](int c, int l) { return dem.IsValid(c, l) ? 0u : 1u; });
  std::vector<std::uint8_t> reach(static_cast<std::size_t>(W) * H, 0);
  for (int l = 0; l < H; ++l) {
    for (int c = 0; c < W; ++c) {
      int half = radius;
      if (shrinkToFit) half = std::min({radius, l, c, H - 1 - l, W - 1 - c});
      const std::uint32_t count = holes.Sum(std::max(0, c - half), std::max(0, l - half),
                                            std::min(W - 1, c + half), std::min(H - 1, l + half));
      reach[static_cast<std::size_t>(l) * W + c] = count != 0 ? 1 : 0;
    }
  }
  return reach;
}

void ApplyNoData(TreatmentOutput& output, const std::vector<std::uint8_t>& noData) {
  if (noData.empty()) return;
  if (output.values && output.values->values.size() == noData.size()) {
    for (std::size_t k = 0; k < noData.size(); ++k)
      if (noData[k]) output.values->values[k] = kNoValue;
  }
  if (output.picture) {
    const bool gray = output.picture->kind == kRasterGray;
    PaintNoData(*output.picture, noData);
    // The gray levels stay the .raw content, whether a free level took the NoData cells or,
    // with all 256 levels in use, the picture went 24-bit (its NoData cells then read as the
    // gray of magenta, 170).
    if (gray && output.picture->kind != kRasterGray) output.rawAsGray = true;
  }
}

}  // namespace orvane
