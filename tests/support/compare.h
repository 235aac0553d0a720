// Reading and comparing result images in the tests.
#pragma once

#include <gtest/gtest.h>

#include "core/terrain/raster_image.h"

namespace orvane::testing {

// The gray value of a pixel (the mean of a colour pixel's bytes); -1 outside the image.
inline int Pixel(const TRasterImage& image, int column, int line) {
  int value = -1;
  image.GetValue(column, line, value);
  return value;
}

inline TColor ColourAt(const TRasterImage& image, int column, int line) {
  TColor colour;
  image.GetColor(column, line, colour);
  return colour;
}

// Pixels whose colours differ; -1 when the sizes or the kinds differ.
inline int CountDifferences(const TRasterImage& a, const TRasterImage& b) {
  if (a.columns != b.columns || a.lines != b.lines || a.kind != b.kind) return -1;
  int differing = 0;
  for (int l = 0; l < a.lines; ++l)
    for (int c = 0; c < a.columns; ++c) differing += !(ColourAt(a, c, l) == ColourAt(b, c, l));
  return differing;
}

// Same size, kind and colours; a failure names the first differing pixels.
inline void ExpectSameImage(const TRasterImage& a, const TRasterImage& b) {
  ASSERT_EQ(a.columns, b.columns);
  ASSERT_EQ(a.lines, b.lines);
  ASSERT_EQ(a.kind, b.kind);
  int differing = 0;
  for (int l = 0; l < a.lines; ++l)
    for (int c = 0; c < a.columns; ++c) {
      const TColor x = ColourAt(a, c, l), y = ColourAt(b, c, l);
      if (!(x == y) && ++differing <= 5)
        ADD_FAILURE() << "pixel (" << c << ", " << l << "): " << int{x.red} << "," << int{x.green}
                      << "," << int{x.blue} << " != " << int{y.red} << "," << int{y.green} << ","
                      << int{y.blue};
    }
  EXPECT_EQ(differing, 0);
}

}  // namespace orvane::testing
