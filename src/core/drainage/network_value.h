// The network value of a drainage raster and the network mask it selects.
//
// A drainage raster marks its background with gray value 255; every other gray value is
// network. Before scanning, each drainage treatment takes ONE gray value from the raster and
// treats as network exactly the cells of that value. Which pixel supplies it differs between
// treatments, so the rule is a parameter:
//   - kFirstInRasterOrder: the first pixel, in line-major order, that is not 255 (dissection
//     density, ratio depth);
//   - kFirstOfLastLine: in each line the first pixel that is not 255, keeping the one of the
//     last line that has such a pixel (headwaters, drainage fractal dimension, 3D dissection).
// A raster without any pixel other than 255 has no network value: `found` is false, `value`
// is 0 and the mask is empty (all zero), so every density computed from it is 0.
// Gray values are those of TRasterImage::GetValue (the integer mean of a colour pixel, the
// stored byte of a gray or palette pixel). Cost: one pass over the raster.
#pragma once

#include <cstdint>
#include <vector>

#include "core/common/result.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

enum class NetworkValueRule {
  kFirstInRasterOrder,
  kFirstOfLastLine,
};

struct NetworkValue {
  int value = 0;
  bool found = false;
};

// Gray values of one line of the raster into `out` (resized to the raster's columns).
void GrayLine(const TRasterImage& raster, int line, std::vector<std::uint8_t>& out);

// Gray values of the whole raster, line after line (columns x lines bytes).
std::vector<std::uint8_t> GrayValues(const TRasterImage& raster);

NetworkValue FindNetworkValue(const TRasterImage& raster, NetworkValueRule rule);

// 1 where the gray value equals the network value, 0 elsewhere (all 0 when none was found);
// columns x lines bytes, line after line.
std::vector<std::uint8_t> NetworkMask(const TRasterImage& raster, const NetworkValue& network);

// Shorthand: find the value by `rule`, then build its mask.
std::vector<std::uint8_t> NetworkMask(const TRasterImage& raster, NetworkValueRule rule,
                                      NetworkValue* foundValue = nullptr);

// The checks a treatment of a network starts with: "There is no drainage network." for a
// raster without cells, and over a DEM the message naming both sizes when they differ.
Status CheckNetworkRaster(const TRasterImage& network);
Status CheckNetworkOverDem(const TDemModel& dem, const TRasterImage& network);

// The error of a raster without a network value (every pixel 255).
Error EmptyNetworkError();

}  // namespace orvane
