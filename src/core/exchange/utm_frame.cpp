#include "core/exchange/utm_frame.h"

#include <cstdio>
#include <cstdlib>

namespace orvane {

std::optional<UtmPoint> UtmCellSize(const UtmFrame& frame) {
  if (frame.columns == 0 || frame.lines == 0) return std::nullopt;
  return UtmPoint{(frame.xMax - frame.xMin) / frame.columns,
                  (frame.yMax - frame.yMin) / frame.lines};
}

std::optional<UtmPoint> UtmCalculatedPixelSize(const UtmFrame& frame) {
  if (!(frame.xMax > frame.xMin && frame.yMax > frame.yMin)) return std::nullopt;
  return UtmCellSize(frame);
}

std::optional<UtmPoint> UtmOfCell(const UtmFrame& frame, int column, int line) {
  const auto size = UtmCellSize(frame);
  if (!size) return std::nullopt;
  return UtmPoint{frame.xMin + column * size->x, frame.yMin + (frame.lines - line) * size->y};
}

std::string UtmReadout(const UtmFrame& frame, int column, int line) {
  const auto point = UtmOfCell(frame, column, line);
  if (!point || !(point->x >= frame.xMin && point->y >= frame.yMin)) return " ";
  char text[128];
  std::snprintf(text, sizeof text, "Coord. UTM   X %8.2lf    Y %8.2lf ", point->x, point->y);
  return text;
}

double ParseDecimalOrZero(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  return end == begin ? 0.0 : value;
}

}  // namespace orvane
