#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include "core/surface/circular_window.h"
#include "support/compare.h"
#include "support/dems.h"

namespace orvane {
namespace {

using testing::CountDifferences;
using testing::DemFrom;
using testing::Pixel;
using testing::RandomDem;

__extension__ typedef __int128 Int128;

// trunc(sqrt(a / b)) by exhaustive search over integers (a >= 0, b > 0).
std::int64_t PlainTruncSqrt(Int128 a, Int128 b) {
  std::int64_t k = 0;
  while (static_cast<Int128>(k + 1) * (k + 1) * b <= a) ++k;
  return k;
}

// Every disc cell visited for every centre; the sums and the deviation in exact integers.
TRasterImage PlainCircular(const TDemModel& dem, int radius, int statistic, std::int64_t* gOut = nullptr) {
  const int w = dem.columns, h = dem.lines, side = 2 * radius + 1;
  const std::vector<std::uint8_t> disc = CircularDisc(radius);
  std::vector<std::int64_t> values(static_cast<std::size_t>(w) * h, 0);
  auto v = [&](int c, int r) { return static_cast<std::int64_t>(static_cast<int>(dem.GetElevation(c, r))); };
  for (int r = radius; r < h - radius; ++r)
    for (int c = radius; c < w - radius; ++c) {
      std::int64_t n = 0, sum = 0, lo = INT64_MAX, hi = INT64_MIN, below = 0;
      Int128 squares = 0;
      const std::int64_t v0 = v(c, r);
      for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j) {
          if (!disc[i * side + j]) continue;
          const std::int64_t x = v(c - radius + j, r - radius + i);
          ++n, sum += x, squares += static_cast<Int128>(x) * x;
          lo = std::min(lo, x), hi = std::max(hi, x), below += x < v0;
        }
      const Int128 s = static_cast<Int128>(n) * squares - static_cast<Int128>(sum) * sum;
      const std::int64_t d = n * v0 - sum;
      std::int64_t value = 0;
      switch (statistic) {
        case 1: value = sum / n; break;
        case 2: value = std::llabs(d / n); break;
        case 3: value = PlainTruncSqrt(s, static_cast<Int128>(n) * (n - 1)); break;
        case 4: value = hi - lo; break;
        case 5:
          if (s > 0) {
            const std::int64_t k = PlainTruncSqrt(static_cast<Int128>(d) * d * (n - 1), static_cast<Int128>(n) * s);
            value = d < 0 ? -k : k;
          }
          break;
        default: value = 100 * below / n; break;
      }
      values[static_cast<std::size_t>(r) * w + c] = value;
    }
  // Gray levels from 0 (from the lowest mean when means lie below sea level) to G.
  std::int64_t g = 0, lowest = 0, highest = INT64_MIN;
  for (int r = radius; r < h - radius; ++r)
    for (int c = radius; c < w - radius; ++c) {
      const std::int64_t value = values[static_cast<std::size_t>(r) * w + c];
      g = std::max(g, value), lowest = std::min(lowest, value), highest = std::max(highest, value);
    }
  const std::int64_t base = statistic == 1 && lowest < 0 ? lowest : 0;
  if (base < 0) g = highest;
  if (gOut) *gOut = g;
  TRasterImage image(w, h, kRasterGray);
  image.Fill(Rgb(255, 255, 255));
  for (int r = radius; r < h - radius; ++r)
    for (int c = radius; c < w - radius; ++c) {
      const std::int64_t value = values[static_cast<std::size_t>(r) * w + c];
      double scaled = g > base ? static_cast<double>(value - base) / static_cast<double>(g - base) * 254.0 : 0.0;
      image.SetValue(c, r, static_cast<int>(std::clamp(scaled, 0.0, 255.0)));
    }
  return image;
}

TRasterImage Fast(const TDemModel& dem, int radius, int statistic, std::int64_t* g = nullptr) {
  auto result = ComputeCircularWindow(dem, {radius, statistic});
  EXPECT_TRUE(result.has_value()) << (result ? "" : result.error().message);
  if (g) *g = result->maximum;
  return *result->image;
}

TEST(CircularWindow, EveryStatisticMatchesTheCellByCellLoop) {
  for (unsigned seed = 1; seed <= 3; ++seed) {
    auto dem = RandomDem(26, 21, seed, {.lo = seed == 2 ? -300 : 0, .hi = seed == 3 ? 3 : 900, .step = 0});
    for (int radius : {1, 2, 3, 5, 9})
      for (int statistic = 1; statistic <= 6; ++statistic) {
        std::int64_t gFast = 0, gPlain = 0;
        ASSERT_EQ(CountDifferences(Fast(*dem, radius, statistic, &gFast),
                                  PlainCircular(*dem, radius, statistic, &gPlain)), 0)
            << "seed " << seed << " R " << radius << " statistic " << statistic;
        EXPECT_EQ(gFast, gPlain);
      }
  }
}

TEST(CircularWindow, LargeDiscsMatchTheCellByCellLoop) {
  // Radii whose discs have many chord widths (the range then goes by rectangles of the disc).
  auto dem = RandomDem(83, 71, 7, {.lo = -120, .hi = 2500, .step = 0});
  for (int radius : {12, 20, 31})
    for (int statistic : {1, 3, 4, 6})
      EXPECT_EQ(CountDifferences(Fast(*dem, radius, statistic), PlainCircular(*dem, radius, statistic)), 0)
          << "R " << radius << " statistic " << statistic;
}

TEST(CircularWindow, MeansBelowSeaLevelKeepTheirShades) {
  // Sea floor to mountains: the deepest mean is black, the highest 254, and the ground below
  // sea level spreads over many shades instead of all falling to 0.
  auto dem = testing::SeaFloorDem(60, 50);
  auto result = ComputeCircularWindow(*dem, {3, kCircularMean});
  ASSERT_TRUE(result.has_value());
  std::set<int> belowSeaShades;
  int darkest = 255, brightest = 0;
  for (int r = 3; r < 47; ++r)
    for (int c = 3; c < 57; ++c) {
      const int gray = Pixel(*result->image, c, r);
      darkest = std::min(darkest, gray), brightest = std::max(brightest, gray);
      if (dem->GetElevation(c, r) < -100) belowSeaShades.insert(gray);
    }
  EXPECT_EQ(darkest, 0);
  EXPECT_EQ(brightest, 254);
  EXPECT_GT(belowSeaShades.size(), 10u);
}

TEST(CircularWindow, EveryStatisticMatchesOnTheSample) {
  auto dem = testing::LoadSampleDem();
  ASSERT_NE(dem, nullptr);
  for (int statistic = 1; statistic <= 6; ++statistic)
    EXPECT_EQ(CountDifferences(Fast(*dem, 10, statistic), PlainCircular(*dem, 10, statistic)), 0) << statistic;
}

TEST(CircularWindow, DiscOfRadiusOneIsAPlusAndLargerDiscsAreSymmetric) {
  EXPECT_EQ(CircularDisc(1), (std::vector<std::uint8_t>{0, 1, 0, 1, 1, 1, 0, 1, 0}));
  for (int radius : {2, 7, 25}) {
    const int side = 2 * radius + 1;
    const std::vector<std::uint8_t> disc = CircularDisc(radius);
    for (int i = 0; i < side; ++i)
      for (int j = 0; j < side; ++j) {
        EXPECT_EQ(disc[i * side + j], disc[j * side + i]);
        EXPECT_EQ(disc[i * side + j], disc[(side - 1 - i) * side + j]);
      }
    EXPECT_EQ(disc[radius * side], 1);  // the ends of the middle line are in
    EXPECT_EQ(disc[0], 0);              // the corners are out
  }
  EXPECT_NEAR(CircularSurfaceKm2(1, 100), 0.05, 1e-12);  // five cells of 1 ha
}

TEST(CircularWindow, SummitPitAndFlatGround) {
  // A summit at (3, 3) and a pit at (8, 3) in gently varying ground.
  std::vector<std::vector<double>> rows(7, std::vector<double>(12));
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 12; ++c) rows[r][c] = 100 + (r + c) % 3;
  rows[3][3] = 500;
  rows[3][8] = 10;
  auto dem = DemFrom(rows);
  auto result = ComputeCircularWindow(*dem, {2, kCircularPercentile});
  ASSERT_TRUE(result.has_value());
  const int n = 13;  // the radius-2 disc
  EXPECT_EQ(result->maximum, 100 * (n - 1) / n);
  EXPECT_EQ(Pixel(*result->image, 3, 3), 254);
  EXPECT_EQ(Pixel(*result->image, 8, 3), 0);
  EXPECT_EQ(Pixel(*result->image, 1, 3), 255);  // closer than R to the border

  auto flat = DemFrom(std::vector<std::vector<double>>(8, std::vector<double>(8, 321.0)));
  EXPECT_EQ(Pixel(Fast(*flat, 2, kCircularMean), 3, 3), 254);
  for (int statistic : {2, 3, 4, 5, 6}) {
    std::int64_t g = -1;
    const TRasterImage image = Fast(*flat, 2, statistic, &g);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(Pixel(image, 4, 4), 0) << statistic;
    EXPECT_EQ(Pixel(image, 0, 4), 255);
  }
}

TEST(CircularWindow, RangeIsTrueOutsideZeroToOneHundredThousand) {
  // Heights in centimetres above 1000 m and below sea level.
  for (double base : {150000.0, -500.0}) {
    std::vector<std::vector<double>> rows(5, std::vector<double>(5, base));
    rows[2][3] = base + 70;
    std::int64_t g = 0;
    Fast(*DemFrom(rows), 1, kCircularRange, &g);
    EXPECT_EQ(g, 70) << base;
  }
}

TEST(CircularWindow, MessagesTitlesAndSmallDems) {
  EXPECT_EQ(CheckCircularParams({0, 0}).message(), "Radius and Treatment undefined");
  EXPECT_EQ(CheckCircularParams({0, 3}).message(), "Radius undefined");
  EXPECT_EQ(CheckCircularParams({4, 0}).message(), "Treatment undefined");
  EXPECT_TRUE(CheckCircularParams({4, 6}).ok());
  EXPECT_EQ(CircularTitle(1, 10), " MEAN ELEVATION  CIRCULAR WINDOW  RADIUS 10 pixels");
  EXPECT_EQ(CircularTitle(5, 3), " DEVIATION FROM MEAN ELEVATION  CIRCULAR WINDOW  RADIUS 3 pixels");
  auto tiny = RandomDem(4, 4, 1, {.hi = 9, .step = 0});
  auto result = ComputeCircularWindow(*tiny, {2, kCircularStdDev});
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(Pixel(*result->image, 2, 2), 255);
  EXPECT_EQ(result->margin, 4);
}

}  // namespace
}  // namespace orvane
