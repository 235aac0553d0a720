// Elevations truncated toward zero to integers, the form in which the drainage treatments
// compare heights (two cells whose elevations differ only in the fraction are equally high).
// One pass over the DEM; values beyond the 32-bit range are clamped to it.
#pragma once

#include <cstdint>
#include <vector>

#include "core/terrain/dem_model.h"

namespace orvane {

// trunc(GetElevation(x, y)) for every cell, columns x lines entries, line after line.
std::vector<std::int32_t> TruncatedElevations(const TDemModel& dem);

// trunc(elevation) of one value, clamped to the 32-bit range.
std::int32_t TruncateElevation(double elevation);

}  // namespace orvane
