#include "core/common/grid_memory.h"
#include "core/drainage/density_image.h"
#include "core/render/ten_class_palette.h"

#include <algorithm>
#include <limits>
#include <cmath>

namespace orvane {

TClassTable DensityDefaultTable(int paletteChoice) {
  if (paletteChoice == kColoredPalette) return TenClassTable(TenClassPalette::kColoured);
  if (paletteChoice == kGrayTonesPalette) return TenClassTable(TenClassPalette::kGray);
  return TClassTable();
}

TClassTable DensityClassTable(int paletteChoice, bool scale, double min, double max) {
  TClassTable table = DensityDefaultTable(paletteChoice);
  if (scale && !table.empty()) table.ScaleBounds(min, max);
  return table;
}

int DensityGrayValue(double density, double range) {
  if (!(range > 0.0)) return 0;
  const double v = density / range * 254.0;
  if (!(v >= 0.0)) return 0;
  if (v >= 254.0) return 254;
  return static_cast<int>(v);
}

int DensityHistogramBin(double density) {
  const double b = 10.0 * density;
  if (!(b >= 0.0) || b >= static_cast<double>(std::numeric_limits<int>::max())) return -1;
  return static_cast<int>(b);
}

void CountDensity(TDensityHistogram& counts, double density) {
  const int bin = DensityHistogramBin(density);
  if (bin < 0) return;
  if (static_cast<std::size_t>(bin) >= counts.size()) counts.resize(static_cast<std::size_t>(bin) + 1, 0);
  ++counts[static_cast<std::size_t>(bin)];
}

Expected<DensityImage> RenderDensityField(const DensityField& field, int paletteChoice,
                                          const TClassTable& table, bool smoothing) {
  if (field.windowsX < 0 || field.windowsY < 0 ||
      field.density.size() != static_cast<std::size_t>(field.windowsX) * field.windowsY) {
    return Error{kBadParameter, "The density field does not match its windows"};
  }
  const bool gray = paletteChoice == kGrayTones0255;
  DensityImage out;
  out.image = std::make_unique<TRasterImage>(field.columns, field.lines, gray ? kRasterGray : kRasterRgb);
  if (out.image->allocError != 0) {
    return GridMemoryError(field.lines, field.columns);
  }
  out.image->Fill(TColor{255, 255, 255});
  out.bound = std::max(0, DensityHistogramBin(field.maximum));
  out.histogram.assign(static_cast<std::size_t>(out.bound) + 1, 0);
  const double range = field.maximum - field.minimum;
  for (int j = 0; j < field.windowsY; ++j) {
    for (int i = 0; i < field.windowsX; ++i) {
      const double d = field.density[static_cast<std::size_t>(j) * field.windowsX + i];
      if (std::isnan(d)) continue;  // no density: the window's pixels stay white
      const int bin = DensityHistogramBin(d);
      if (bin >= 0 && bin <= out.bound) ++out.histogram[static_cast<std::size_t>(bin)];
      TColor colour;
      if (gray || table.empty()) {
        const auto v = static_cast<std::uint8_t>(DensityGrayValue(d, range));
        colour = TColor{v, v, v};
      } else {
        colour = table.ColorOf(d, smoothing);
      }
      int x0, y0, x1, y1;
      field.OutputRect(i, j, x0, y0, x1, y1);
      x1 = std::min(x1, field.columns);
      y1 = std::min(y1, field.lines);
      for (int y = y0; y < y1; ++y) {
        std::uint8_t* row = out.image->Row(y);
        for (int x = x0; x < x1; ++x) {
          if (gray) {
            row[x] = colour.blue;
          } else {
            row[3 * x] = colour.blue;
            row[3 * x + 1] = colour.green;
            row[3 * x + 2] = colour.red;
          }
        }
      }
    }
  }
  return out;
}

}  // namespace orvane
