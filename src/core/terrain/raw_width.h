// The element width of a raw DEM grid as far as the file itself tells it, before anyone is asked.
#pragma once

#include <cstdint>
#include <string>

#include "core/common/result.h"

namespace orvane {

// The width (2 or 4 bytes) a file of `fileSize` bytes (-1: unknown) holding `lines` x `columns`
// cells proves by its size, else the one its name gives (_m2.raw, _m4.raw); 0 when neither
// tells. A file too short for either width is refused (kWrongFormat) with its figures.
Expected<int> RawElementWidth(const std::string& path, std::int64_t fileSize, int lines,
                              int columns);

}  // namespace orvane
