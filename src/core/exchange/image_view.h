// How a document window shows a DEM's picture: the integer zoom steps, the part of the image a
// zoomed view shows, and the status texts of the cell under the mouse.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/exchange/utm_frame.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

// The zoom factor z: z:1 from 2 up, 1:-z from -2 down, 1:1 for 1 (and -1, 0).
inline constexpr int kMaxZoom = 20;
double ZoomScale(int zoom);
// The factor after a click that enlarges (left button) or reduces (right button; with neither,
// the factor stays), held to +-kMaxZoom; `changed` is false once it was at a limit.
struct ZoomStep {
  int zoom = 1;
  bool changed = false;
};
ZoomStep NextZoom(int zoom, bool enlarge, bool reduce);
// What follows a window's name in its caption: " (1:1)", " (3:1) ", " (1:3) ".
std::string ZoomSuffix(int zoom);
// The first pixel a view shows along one side of `size` pixels, centred on `centre` and `half`
// pixels each way, kept inside the image.
int FirstShownPixel(int centre, int half, int size);

// The status texts for the cell (column, line): x y z (z in metres, "no data" on a NoData
// cell), the UTM coordinates (unset without an extent), the picture's colour there (`colour`,
// empty where the picture does not reach), line and column. `inside` is false when the cell
// lies outside the DEM: then every panel is to be cleared.
struct CellReadout {
  bool inside = false;
  std::array<std::optional<std::string>, 4> panels;
};
CellReadout ReadOutCell(const TDemModel& dem, int unitFactor, std::optional<TColor> colour,
                        int column, int line, const std::optional<UtmFrame>& utm);

}  // namespace orvane
