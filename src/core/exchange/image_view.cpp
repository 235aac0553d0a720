#include "core/exchange/image_view.h"

#include <algorithm>
#include <cstdio>

namespace orvane {

namespace {

template <class... Values>
std::string Format(const char* format, Values... values) {
  char text[96];
  std::snprintf(text, sizeof text, format, values...);
  return std::string(text);
}

}  // namespace

double ZoomScale(int zoom) {
  if (zoom >= 1) return zoom;
  if (zoom <= -1) return 1.0 / -zoom;
  return 1.0;
}

ZoomStep NextZoom(int zoom, bool enlarge, bool reduce) {
  if (enlarge) {
    zoom = zoom == -1 ? 2 : zoom + 1;
  } else if (reduce) {
    zoom = zoom == 1 ? -2 : zoom - 1;
  }
  if (zoom > kMaxZoom) return {kMaxZoom, false};
  if (zoom < -kMaxZoom) return {-kMaxZoom, false};
  return {zoom, true};
}

std::string ZoomSuffix(int zoom) {
  if (zoom < -1) return Format(" (1:%d) ", -zoom);
  if (zoom > 1) return Format(" (%d:1) ", zoom);
  return " (1:1)";
}

int FirstShownPixel(int centre, int half, int size) {
  const int span = std::min(2 * half, size);
  int low = centre - half;
  int high = centre + half;
  if (low < 0) {
    low = 0;
    high = span - 1;
  }
  return high >= size ? std::max(0, size - span - 1) : low;
}

CellReadout ReadOutCell(const TDemModel& dem, int unitFactor, std::optional<TColor> colour,
                        int column, int line, const std::optional<UtmFrame>& utm) {
  CellReadout out;
  if (column < 0 || line < 0 || column >= dem.columns || line >= dem.lines || !dem.IsAllocated()) {
    return out;
  }
  out.inside = true;
  out.panels[3] = Format("Line: %5d  Column: %5d ", line, column);
  if (utm) out.panels[1] = UtmReadout(*utm, column, line);
  out.panels[2] = std::string();
  if (colour) {
    const int r = colour->red, g = colour->green, b = colour->blue;
    out.panels[2] = (r == g && g == b) ? Format("Gray Tone : %4d ", r)
                                       : Format("R:%4d G:%4d B:%4d  ", r, g, b);
  }
  // The unit divisor is at least 1 once a DEM was opened; guard against a dialog left
  // without a unit.
  const double u = unitFactor >= 1 ? unitFactor : 1;
  const double x = column * static_cast<double>(dem.pixelSizeX) / u;
  const double y = line * static_cast<double>(dem.pixelSizeY) / u;
  const double z = dem.GetElevation(column, line) / u;
  out.panels[0] = dem.IsValid(column, line) ? Format("x:%8.2f y:%8.2f  z:%8.2f   ", x, y, z)
                                            : Format("x:%8.2f y:%8.2f  z: no data   ", x, y);
  return out;
}

}  // namespace orvane
