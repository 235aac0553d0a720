#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <string>
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

// Every ground cell of the disc visited for every centre; the sums and the deviation in exact
// integers, the real values in long double. A centre that is NoData or has fewer than half of
// its disc on ground has no statistic (255, NaN).
TRasterImage PlainCircular(const TDemModel& dem, int radius, int statistic, std::int64_t* gOut = nullptr,
                           std::vector<double>* realOut = nullptr, int unitFactor = 1) {
  const int w = dem.columns, h = dem.lines, side = 2 * radius + 1;
  const std::vector<std::uint8_t> disc = CircularDisc(radius);
  const std::int64_t discCells = std::count(disc.begin(), disc.end(), 1);
  constexpr std::int64_t kNone = INT64_MIN;
  std::vector<std::int64_t> values(static_cast<std::size_t>(w) * h, 0);
  if (realOut) realOut->assign(values.size(), NAN);
  auto v = [&](int c, int r) { return static_cast<std::int64_t>(static_cast<int>(dem.GetElevation(c, r))); };
  for (int r = radius; r < h - radius; ++r)
    for (int c = radius; c < w - radius; ++c) {
      std::int64_t n = 0, sum = 0, lo = INT64_MAX, hi = INT64_MIN, below = 0;
      Int128 squares = 0;
      const std::int64_t v0 = v(c, r);
      for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j) {
          if (!disc[i * side + j] || !dem.IsValid(c - radius + j, r - radius + i)) continue;
          const std::int64_t x = v(c - radius + j, r - radius + i);
          ++n, sum += x, squares += static_cast<Int128>(x) * x;
          lo = std::min(lo, x), hi = std::max(hi, x), below += x < v0;
        }
      if (!dem.IsValid(c, r) || 2 * n < discCells) {
        values[static_cast<std::size_t>(r) * w + c] = kNone;
        continue;
      }
      const Int128 s = static_cast<Int128>(n) * squares - static_cast<Int128>(sum) * sum;
      const std::int64_t d = n * v0 - sum;
      const long double mean = static_cast<long double>(sum) / n;
      const long double sigma = std::sqrt(static_cast<long double>(s) / (static_cast<long double>(n) * (n - 1)));
      std::int64_t value = 0;
      long double real = 0;
      switch (statistic) {
        case 1: value = sum / n, real = mean / unitFactor; break;
        case 2: value = std::llabs(d / n), real = std::fabs(v0 - mean) / unitFactor; break;
        case 3: value = PlainTruncSqrt(s, static_cast<Int128>(n) * (n - 1)), real = sigma / unitFactor; break;
        case 4: value = hi - lo, real = static_cast<long double>(hi - lo) / unitFactor; break;
        case 5:
          if (s > 0) {
            const std::int64_t k = PlainTruncSqrt(static_cast<Int128>(d) * d * (n - 1), static_cast<Int128>(n) * s);
            value = d < 0 ? -k : k;
            real = (v0 - mean) / sigma;
          }
          break;
        default: value = 100 * below / n, real = value; break;
      }
      values[static_cast<std::size_t>(r) * w + c] = value;
      if (realOut) (*realOut)[static_cast<std::size_t>(r) * w + c] = static_cast<double>(real);
    }
  // Gray levels from 0 (from the lowest mean when means lie below sea level) to G.
  std::int64_t g = 0, lowest = 0, highest = INT64_MIN;
  for (int r = radius; r < h - radius; ++r)
    for (int c = radius; c < w - radius; ++c) {
      const std::int64_t value = values[static_cast<std::size_t>(r) * w + c];
      if (value == kNone) continue;
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
      if (value == kNone) continue;
      double scaled = g > base ? static_cast<double>(value - base) / static_cast<double>(g - base) * 254.0 : 0.0;
      image.SetValue(c, r, static_cast<int>(std::clamp(scaled, 0.0, 255.0)));
    }
  return image;
}

TRasterImage Fast(const TDemModel& dem, int radius, int statistic, std::int64_t* g = nullptr,
                  std::vector<float>* real = nullptr, int unitFactor = 1) {
  CircularParams params{radius, statistic};
  if (real) {
    real->assign(static_cast<std::size_t>(dem.columns) * dem.lines, 0.0f);
    params.values = real->data();
    params.unitFactor = unitFactor;
  }
  auto result = ComputeCircularWindow(dem, params);
  EXPECT_TRUE(result.has_value()) << (result ? "" : result.error().message);
  if (g) *g = result->maximum;
  return *result->image;
}

// The real values agree with the long-double ones to single precision; NaN at the same cells.
void ExpectSameReals(const std::vector<float>& fast, const std::vector<double>& plain, const std::string& what) {
  ASSERT_EQ(fast.size(), plain.size());
  int wrong = 0;
  for (std::size_t k = 0; k < fast.size(); ++k) {
    const bool same = std::isnan(plain[k]) ? std::isnan(fast[k])
                                           : std::fabs(fast[k] - plain[k]) <= 1e-6 * std::fabs(plain[k]) + 1e-6;
    if (!same && ++wrong <= 3) ADD_FAILURE() << what << " cell " << k << ": " << fast[k] << " != " << plain[k];
  }
}

// Holes of NoData: scattered cells and a block, so discs hold every share of ground.
void CutHoles(TDemModel& dem, unsigned seed) {
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(dem.columns) * dem.lines, 1);
  std::mt19937 rng(seed);
  for (auto& cell : mask) cell = rng() % 5 != 0;
  for (int l = dem.lines / 3; l < dem.lines * 2 / 3; ++l)
    for (int c = 0; c < dem.columns / 2; ++c) mask[static_cast<std::size_t>(l) * dem.columns + c] = 0;
  ASSERT_TRUE(dem.SetValidity(std::move(mask)));
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

TEST(CircularWindow, StatisticsOverTheGroundCellsMatchTheCellByCellLoop) {
  for (unsigned seed = 1; seed <= 2; ++seed) {
    auto dem = RandomDem(31, 27, seed, {.lo = -200, .hi = 900, .step = 0});
    CutHoles(*dem, seed);
    // A NoData cell's stored value is no height: it must not show through.
    for (int l = 0; l < dem->lines; ++l)
      for (int c = 0; c < dem->columns; ++c)
        if (!dem->IsValid(c, l)) dem->SetElevation(c, l, (c + l) % 2 ? -32768.0 : 99999.0);
    for (int radius : {1, 3, 6})
      for (int statistic = 1; statistic <= 6; ++statistic) {
        std::int64_t gFast = 0, gPlain = 0;
        std::vector<float> realFast;
        std::vector<double> realPlain;
        const std::string what = "seed " + std::to_string(seed) + " R " + std::to_string(radius) +
                                 " statistic " + std::to_string(statistic);
        EXPECT_EQ(CountDifferences(Fast(*dem, radius, statistic, &gFast, &realFast, 10),
                                   PlainCircular(*dem, radius, statistic, &gPlain, &realPlain, 10)), 0)
            << what;
        EXPECT_EQ(gFast, gPlain) << what;
        ExpectSameReals(realFast, realPlain, what);
      }
  }
}

TEST(CircularWindow, RealValuesAreNotTruncated) {
  // The mean of 0, 0, 0, 0, 1 (radius 1) is 0.2 m, not 0; its standard deviation 0.447 m.
  std::vector<std::vector<double>> rows(3, std::vector<double>(3, 0.0));
  rows[1][2] = 1.0;
  auto dem = DemFrom(rows);
  std::vector<float> mean, sigma, deviation;
  Fast(*dem, 1, kCircularMean, nullptr, &mean);
  Fast(*dem, 1, kCircularStdDev, nullptr, &sigma);
  Fast(*dem, 1, kCircularDeviation, nullptr, &deviation);
  EXPECT_FLOAT_EQ(mean[4], 0.2f);
  EXPECT_FLOAT_EQ(sigma[4], static_cast<float>(std::sqrt(0.2)));
  EXPECT_FLOAT_EQ(deviation[4], static_cast<float>(-0.2 / std::sqrt(0.2)));
  EXPECT_TRUE(std::isnan(mean[0]));
}

TEST(CircularWindow, MillimetreSpansOfTheEarthAreExact) {
  // From the deepest trench to the highest summit in millimetres: the disc's sums of squares
  // pass 2^62, so they go to 128 bits instead of failing.
  auto dem = RandomDem(140, 132, 5, {.lo = -11000000, .hi = 8900000, .step = 0});
  for (int statistic : {kCircularStdDev, kCircularDeviation, kCircularMean}) {
    std::int64_t gFast = 0, gPlain = 0;
    std::vector<float> realFast;
    std::vector<double> realPlain;
    EXPECT_EQ(CountDifferences(Fast(*dem, 64, statistic, &gFast, &realFast, 1000),
                               PlainCircular(*dem, 64, statistic, &gPlain, &realPlain, 1000)), 0)
        << statistic;
    EXPECT_EQ(gFast, gPlain);
    ExpectSameReals(realFast, realPlain, "mm");
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
