#include "core/drainage/dissection_density.h"

#include <gtest/gtest.h>

#include "support/networks.h"

namespace orvane {
namespace {

using testing::RandomNetwork;

// The densities as stated: each window read cell by cell through the raster's pixel access.
struct NaiveField {
  std::vector<double> density;
  double minimum = 500.0;
  double maximum = 0.0;
};

NaiveField Naive(const TRasterImage& r, DensityTiling tiling, DensityMeasure measure, int ws) {
  int netValue = -1;
  for (int y = 0; y < r.lines && netValue < 0; ++y) {
    for (int x = 0; x < r.columns; ++x) {
      int v;
      r.GetValue(x, y, v);
      if (v != 255) {
        netValue = v;
        break;
      }
    }
  }
  auto isNet = [&](int x, int y) {
    int v;
    return r.GetValue(x, y, v) == 0 && v == netValue;
  };
  // Side and diagonal links of one network cell, as integers.
  auto links = [&](int x, int y, long& sides, long& diags) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        if ((dx || dy) && isNet(x + dx, y + dy)) ++((dx && dy) ? diags : sides);
      }
    }
  };
  NaiveField f;
  auto window = [&](int xa, int xb, int ya, int yb, double pixelDivisor) {
    long np = 0, sides = 0, diags = 0;
    for (int y = ya; y < yb; ++y) {
      for (int x = xa; x < xb; ++x) {
        if (!isNet(x, y)) continue;
        ++np;
        links(x, y, sides, diags);
      }
    }
    const double d = measure == DensityMeasure::kPixels
                         ? static_cast<double>(np) / pixelDivisor * 100.0
                         : (0.5 * sides + 0.707 * diags) / (static_cast<double>(ws - 1) * (ws - 1)) * 100.0;
    f.density.push_back(d);
    f.minimum = std::min(f.minimum, d);
    f.maximum = std::max(f.maximum, d);
  };
  if (tiling == DensityTiling::kGrid) {
    for (int by = 0; by < ws * (r.lines / ws); by += ws) {
      for (int bx = 0; bx < ws * (r.columns / ws); bx += ws) {
        if (measure == DensityMeasure::kPixels) {
          window(bx, bx + ws, by, by + ws, static_cast<double>(ws) * ws);
        } else {
          window(bx + 1, bx + ws - 1, by + 1, by + ws - 1, 0);
        }
      }
    }
  } else {
    const int t = static_cast<int>(ws * 0.5);
    for (int y = t; y < r.lines - t; ++y) {
      for (int x = t; x < r.columns - t; ++x) {
        window(x - t, x + t, y - t, y + t + 1, static_cast<double>(2 * t + 1) * (2 * t));
      }
    }
  }
  return f;
}

TEST(DissectionDensity, AllVariantsMatchTheWindowByWindowSums) {
  const int sizes[][2] = {{105, 95}, {17, 23}, {40, 7}, {3, 31}};
  unsigned seed = 11;
  for (const auto& s : sizes) {
    // Two gray values in the raster: only the first in line-major order is network.
    const TRasterImage r = RandomNetwork(s[0], s[1], seed++, {.walks = 0, .speckle = 25, .values = {0, 85}});
    for (auto tiling : {DensityTiling::kGrid, DensityTiling::kMoving}) {
      for (auto measure : {DensityMeasure::kPixels, DensityMeasure::kLength}) {
        for (int ws : {2, 3, 5, 6, 10, 51}) {
          auto field = ComputeDissectionDensity(r, {tiling, measure, ws});
          ASSERT_TRUE(field.has_value());
          const NaiveField want = Naive(r, tiling, measure, ws);
          ASSERT_EQ(field->density, want.density)
              << s[0] << "x" << s[1] << " ws " << ws << " grid " << (tiling == DensityTiling::kGrid)
              << " pixels " << (measure == DensityMeasure::kPixels);
          EXPECT_EQ(field->minimum, want.minimum);
          EXPECT_EQ(field->maximum, want.maximum);
        }
      }
    }
  }
}

TEST(DissectionDensity, GridBlocksAndMovingWindowExtents) {
  TRasterImage r = RandomNetwork(105, 95, 5, {.walks = 0, .speckle = 10});
  auto grid = ComputeDissectionDensity(r, {DensityTiling::kGrid, DensityMeasure::kPixels, 10});
  EXPECT_EQ(grid->windowsX, 10);
  EXPECT_EQ(grid->windowsY, 9);
  int x0, y0, x1, y1;
  grid->OutputRect(9, 8, x0, y0, x1, y1);
  EXPECT_EQ(x1, 100);  // the last 5 columns and lines belong to no block
  EXPECT_EQ(y1, 90);

  // ws 5: t = 2, windows of 5 lines by 4 columns; ws 6: t = 3, 7 lines by 6 columns.
  TRasterImage full(20, 20, kRasterGray);  // every cell network (value 0)
  auto m5 = ComputeDissectionDensity(full, {DensityTiling::kMoving, DensityMeasure::kPixels, 5});
  EXPECT_EQ(m5->firstX, 2);
  EXPECT_EQ(m5->windowsX, 16);
  EXPECT_DOUBLE_EQ(m5->density[0], 100.0);
  TRasterImage one(20, 20, kRasterGray);
  one.Fill(TColor{255, 255, 255});
  one.SetValue(10, 10, 0);
  auto m6 = ComputeDissectionDensity(one, {DensityTiling::kMoving, DensityMeasure::kPixels, 6});
  EXPECT_EQ(m6->firstX, 3);
  EXPECT_DOUBLE_EQ(m6->maximum, 1.0 / 42.0 * 100.0);
  // Column x + t is outside the window: the cell at (10, 10) is not seen from centre (7, 10).
  EXPECT_EQ(m6->density[static_cast<std::size_t>(10 - 3) * m6->windowsX + (7 - 3)], 0.0);
  EXPECT_GT(m6->density[static_cast<std::size_t>(10 - 3) * m6->windowsX + (8 - 3)], 0.0);
}

TEST(DissectionDensity, LineLengthsInAGridBlock) {
  // A horizontal line across a 10-block: 8 interior cells with two side neighbours each.
  TRasterImage r(10, 10, kRasterGray);
  r.Fill(TColor{255, 255, 255});
  for (int x = 0; x < 10; ++x) r.SetValue(x, 4, 0);
  auto straight = ComputeDissectionDensity(r, {DensityTiling::kGrid, DensityMeasure::kLength, 10});
  EXPECT_NEAR(straight->density[0], 9.876, 0.001);
  EXPECT_DOUBLE_EQ(straight->density[0], 8.0 / 81.0 * 100.0);

  // A diagonal with as many interior cells: longer by the factor 1.414.
  TRasterImage d(10, 10, kRasterGray);
  d.Fill(TColor{255, 255, 255});
  for (int i = 0; i < 10; ++i) d.SetValue(i, i, 0);
  auto diagonal = ComputeDissectionDensity(d, {DensityTiling::kGrid, DensityMeasure::kLength, 10});
  EXPECT_NEAR(diagonal->density[0] / straight->density[0], 1.414, 1e-12);
}

TEST(DissectionDensity, NoNetworkAndBadWindows) {
  TRasterImage white(30, 30, kRasterGray);
  white.Fill(TColor{255, 255, 255});
  auto f = ComputeDissectionDensity(white, {DensityTiling::kMoving, DensityMeasure::kLength, 5});
  ASSERT_TRUE(f.has_value());
  EXPECT_FALSE(f->network.found);
  EXPECT_EQ(f->maximum, 0.0);
  EXPECT_EQ(f->minimum, 0.0);
  for (int ws : {0, 1, -3}) {
    EXPECT_EQ(ComputeDissectionDensity(white, {DensityTiling::kGrid, DensityMeasure::kPixels, ws})
                  .error().code, kBadParameter);
  }
  // A window larger than the raster: no window at all, the start values stay.
  auto big = ComputeDissectionDensity(white, {DensityTiling::kGrid, DensityMeasure::kPixels, 31});
  EXPECT_TRUE(big->density.empty());
  EXPECT_EQ(big->minimum, 500.0);
  EXPECT_EQ(ComputeDissectionDensity(TRasterImage(), {}).error().code, kBadParameter);
  EXPECT_FLOAT_EQ(DissectionWindowSide(90, 51), 4.59f);
}

}  // namespace
}  // namespace orvane
