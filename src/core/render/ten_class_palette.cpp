#include "core/render/ten_class_palette.h"

namespace orvane {

TClassTable TenClassTable(TenClassPalette palette, bool scale, double min, double max) {
  static constexpr int kColoured[10][3] = {{0, 90, 0},    {0, 128, 0},   {0, 160, 0},
                                           {0, 255, 0},   {128, 255, 0}, {160, 255, 0},
                                           {200, 255, 0}, {255, 255, 0}, {255, 225, 0},
                                           {255, 160, 0}};
  static constexpr int kGrays[10] = {26, 52, 78, 104, 128, 154, 180, 206, 232, 255};
  TClassTable table;
  for (int k = 0; k < 10; ++k) {
    const float bound = 10.0f * static_cast<float>(k + 1);
    if (palette == TenClassPalette::kColoured)
      table.Add({bound, kColoured[k][0], kColoured[k][1], kColoured[k][2]});
    else
      table.Add({bound, kGrays[k], kGrays[k], kGrays[k]});
  }
  if (scale) table.ScaleBounds(min, max);
  return table;
}

}  // namespace orvane
