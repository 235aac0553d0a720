// The value grid of the current result, kept beside its picture: what the status bar reads
// under the cursor, what "Export" > "Values (GeoTIFF)" writes and what the value histogram
// counts.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/treatment/treatment.h"

namespace orvane {

class TRasterImage;

struct TResultValues {
  std::shared_ptr<const ValueGrid> grid;  // null: the current result has no values
  QString name;                           // the quantity: "Slope"
  bool wrapped = false;                   // shown in the DEM window, not the parameter window
  // The DEM window's raster of a wrapped result (the frame sets it): a later picture there
  // (another wrapping, a histogram stretch) is not read with these values.
  std::weak_ptr<const TRasterImage> wrappedPicture;
  explicit operator bool() const { return grid != nullptr; }
};

// A value as the status bar and the histogram axis show it: one decimal from 10 up, two from
// 1, three below, without trailing zeros ("23.4", "112", "2.35", "0.125").
QString ValueText(double value);
// The unit after a value: "°" for degrees, "%" glued, others after a space; empty for none.
QString UnitSuffix(const std::string& unit);
// "Slope 23.4°" for the cell (column, line); "Slope: no value" where the grid has none;
// empty outside the grid.
QString ValueReadout(const ValueGrid& grid, const QString& name, int column, int line);

// Counts of the valid (finite) values in `bins` equal classes from the smallest to the largest value
// (the largest in the last class); no classes when no cell has a value.
struct TValueHistogram {
  double minimum = 0.0;
  double maximum = 0.0;
  std::int64_t valid = 0;
  std::vector<std::int64_t> counts;
  double ClassWidth() const {
    return counts.empty() ? 0.0 : (maximum - minimum) / static_cast<double>(counts.size());
  }
};
TValueHistogram ValueHistogramOf(const ValueGrid& grid, int bins);

}  // namespace orvane
