// The value grid of the current result, kept beside its picture: what the status bar reads
// under the cursor, what "Export" > "Values (GeoTIFF)" writes and what the value histogram
// counts (core/treatment/value_summary.h tells them).
#pragma once

#include <QString>
#include <memory>

#include "core/treatment/value_summary.h"

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

}  // namespace orvane
