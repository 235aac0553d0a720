#include "core/drainage/network_value.h"

#include <algorithm>
#include <string>

namespace orvane {

void GrayLine(const TRasterImage& raster, int line, std::vector<std::uint8_t>& out) {
  const int columns = std::max(0, raster.columns);
  out.resize(static_cast<std::size_t>(columns));
  if (!raster.IsAllocated() || line < 0 || line >= raster.lines) {
    std::fill(out.begin(), out.end(), std::uint8_t{255});
    return;
  }
  const std::uint8_t* p = raster.Row(line);
  if (raster.kind == kRasterRgb) {
    for (int x = 0; x < columns; ++x, p += 3) {
      out[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 3);
    }
  } else {
    std::copy(p, p + columns, out.begin());
  }
}

std::vector<std::uint8_t> GrayValues(const TRasterImage& raster) {
  const std::size_t columns = static_cast<std::size_t>(std::max(0, raster.columns));
  const std::size_t lines = static_cast<std::size_t>(std::max(0, raster.lines));
  std::vector<std::uint8_t> all(columns * lines);
  std::vector<std::uint8_t> line;
  for (std::size_t y = 0; y < lines; ++y) {
    GrayLine(raster, static_cast<int>(y), line);
    std::copy(line.begin(), line.end(), all.begin() + static_cast<std::ptrdiff_t>(y * columns));
  }
  return all;
}

NetworkValue FindNetworkValue(const TRasterImage& raster, NetworkValueRule rule) {
  NetworkValue result;
  if (!raster.IsAllocated()) return result;
  // Both rules take the first non-background pixel of a line; they differ in which line
  // counts: the first one holding such a pixel, or the last one.
  const bool fromTop = rule == NetworkValueRule::kFirstInRasterOrder;
  std::vector<std::uint8_t> line;
  for (int i = 0; i < raster.lines; ++i) {
    GrayLine(raster, fromTop ? i : raster.lines - 1 - i, line);
    const auto it = std::find_if(line.begin(), line.end(), [](std::uint8_t v) { return v != 255; });
    if (it == line.end()) continue;
    result.value = *it;
    result.found = true;
    break;
  }
  return result;
}

std::vector<std::uint8_t> NetworkMask(const TRasterImage& raster, const NetworkValue& network) {
  const std::size_t columns = static_cast<std::size_t>(std::max(0, raster.columns));
  const std::size_t lines = static_cast<std::size_t>(std::max(0, raster.lines));
  std::vector<std::uint8_t> mask(columns * lines, 0);
  if (!network.found || !raster.IsAllocated()) return mask;
  std::vector<std::uint8_t> line;
  for (std::size_t y = 0; y < lines; ++y) {
    GrayLine(raster, static_cast<int>(y), line);
    std::uint8_t* out = mask.data() + y * columns;
    for (std::size_t x = 0; x < columns; ++x) out[x] = line[x] == network.value ? 1 : 0;
  }
  return mask;
}

std::vector<std::uint8_t> NetworkMask(const TRasterImage& raster, NetworkValueRule rule,
                                      NetworkValue* foundValue) {
  const NetworkValue network = FindNetworkValue(raster, rule);
  if (foundValue) *foundValue = network;
  return NetworkMask(raster, network);
}

Status CheckNetworkRaster(const TRasterImage& network) {
  if (!network.IsAllocated() || network.columns <= 0 || network.lines <= 0) {
    return Error{kBadParameter, "There is no drainage network."};
  }
  return Status::Ok();
}

Status CheckNetworkOverDem(const TDemModel& dem, const TRasterImage& network) {
  if (const Status checked = CheckNetworkRaster(network); !checked) return checked;
  if (!dem.IsAllocated() || dem.columns != network.columns || dem.lines != network.lines) {
    return Error{kWrongFormat, "The drainage network (" + std::to_string(network.columns) + " x " +
                                    std::to_string(network.lines) + ") and the DEM (" +
                                    std::to_string(dem.columns) + " x " +
                                    std::to_string(dem.lines) + ") differ in size."};
  }
  return Status::Ok();
}

Error EmptyNetworkError() {
  return Error{kWrongFormat,
               "The drainage network is empty: every pixel of the drainage image is 255."};
}

}  // namespace orvane
