// The UTM frame of a DEM: zone and the map coordinates of its corners, as the user types them.
// A cell (row r from the top, column c) has X = Xmin + c * dx (its west edge) and
// Y = Ymin + (L - r) * dy (its north edge), with dx = (Xmax - Xmin) / N, dy = (Ymax - Ymin) / L.
#pragma once

#include <optional>
#include <string>

namespace orvane {

struct UtmFrame {
  int zone = 0;
  double xMin = 0.0;
  double yMin = 0.0;
  double xMax = 0.0;
  double yMax = 0.0;
  int lines = 0;    // L
  int columns = 0;  // N
};

struct UtmPoint {
  double x = 0.0;
  double y = 0.0;
};

// dx and dy, or nothing when the frame has no cells (N or L is 0).
std::optional<UtmPoint> UtmCellSize(const UtmFrame& frame);

// The calculated pixel size the dialog shows: only when Xmax > Xmin and Ymax > Ymin and the
// frame has cells.
std::optional<UtmPoint> UtmCalculatedPixelSize(const UtmFrame& frame);

// Map coordinates of a cell; nothing when N or L is 0.
std::optional<UtmPoint> UtmOfCell(const UtmFrame& frame, int column, int line);

// Status-bar text: "Coord. UTM   X %8.2lf    Y %8.2lf " when X >= Xmin and Y >= Ymin,
// a single blank otherwise (also for a frame without cells).
std::string UtmReadout(const UtmFrame& frame, int column, int line);

// The decimal parsing of the dialog's edits: a leading number in the C locale, 0 otherwise.
double ParseDecimalOrZero(const std::string& text);

}  // namespace orvane
