#include <gtest/gtest.h>

#include <cmath>

#include "core/surface/convexity.h"
#include "core/surface/horizontal_surfaces.h"
#include "support/compare.h"
#include "support/dems.h"

namespace orvane {
namespace {

using testing::CountDifferences;
using testing::DemFrom;
using testing::Pixel;
using testing::RandomDem;

enum class Kind { kConvexity, kConcavity, kHorizontal, kBinary };

// The treatment as described: every window size in turn over every cell it fits.
TRasterImage PlainShape(const TDemModel& dem, int range, int dynamism, Kind kind) {
  TRasterImage image(dem.columns, dem.lines, kRasterGray);
  const int fill = (kind == Kind::kConvexity || kind == Kind::kConcavity) ? 255 : 200;
  image.Fill(Rgb(fill, fill, fill));
  const int w = dem.columns, h = dem.lines;
  for (int i = 1; i <= range; ++i)
    for (int r = i; r < h - i; ++r)
      for (int c = i; c < w - i; ++c) {
        const int v = static_cast<int>(dem.GetElevation(c, r));
        int n = 0;
        for (int rr = r - i; rr <= r + i; ++rr)
          for (int cc = c - i; cc <= c + i; ++cc) {
            const int x = static_cast<int>(dem.GetElevation(cc, rr));
            if (kind == Kind::kConvexity) n += x < v;
            else if (kind == Kind::kConcavity) n += x > v;
            else n += x == v;
          }
        const int side = 2 * i + 1;
        if (kind == Kind::kConvexity || kind == Kind::kConcavity) {
          image.SetValue(c, r, static_cast<int>(n / static_cast<double>(side * side - 1) * dynamism));
        } else {
          const double q = n / static_cast<double>(side * side) * dynamism;
          if (kind == Kind::kHorizontal) image.SetValue(c, r, static_cast<int>(q));
          else if (q > 99) image.SetValue(c, r, 0);
        }
      }
  return image;
}

TRasterImage Fast(const TDemModel& dem, int range, int dynamism, Kind kind) {
  Expected<ShapeResult> result =
      kind == Kind::kConvexity   ? ComputeConvexity(dem, {range, dynamism})
      : kind == Kind::kConcavity ? ComputeConcavity(dem, {range, dynamism})
                                 : ComputeHorizontalSurfaces(dem, {range, dynamism, kind == Kind::kBinary});
  EXPECT_TRUE(result.has_value());
  return *result->image;
}

TEST(ShapeSurfaces, MatchThePlainLoopOnRandomDems) {
  for (unsigned seed = 1; seed <= 3; ++seed) {
    // Few distinct heights so equal counts are large enough for binarization to trigger.
    auto dem = RandomDem(23 + static_cast<int>(seed), 17, seed, {.hi = seed == 3 ? 1 : 4, .step = 0});
    for (int range : {0, 1, 2, 4, 9})
      for (int dynamism : {100, 255})
        for (Kind kind : {Kind::kConvexity, Kind::kConcavity, Kind::kHorizontal, Kind::kBinary})
          ASSERT_EQ(CountDifferences(Fast(*dem, range, dynamism, kind),
                                    PlainShape(*dem, range, dynamism, kind)), 0)
              << "seed " << seed << " R " << range << " D " << dynamism << " kind "
              << static_cast<int>(kind);
  }
}

TEST(ShapeSurfaces, MatchThePlainLoopOnTheSample) {
  auto dem = testing::LoadSampleDem();
  ASSERT_NE(dem, nullptr);
  for (Kind kind : {Kind::kConvexity, Kind::kConcavity, Kind::kHorizontal, Kind::kBinary})
    EXPECT_EQ(CountDifferences(Fast(*dem, 3, 255, kind), PlainShape(*dem, 3, 255, kind)), 0)
        << static_cast<int>(kind);
}

TEST(ShapeSurfaces, FlatDemGivesZeroSharesInsideAndFillOnTheRing) {
  auto dem = DemFrom(std::vector<std::vector<double>>(6, std::vector<double>(7, 42.0)));
  const TRasterImage convex = Fast(*dem, 2, 100, Kind::kConvexity);
  const TRasterImage concave = Fast(*dem, 2, 100, Kind::kConcavity);
  const TRasterImage flat = Fast(*dem, 2, 255, Kind::kHorizontal);
  const TRasterImage binary = Fast(*dem, 2, 100, Kind::kBinary);
  for (int l = 0; l < 6; ++l)
    for (int c = 0; c < 7; ++c) {
      const bool ring = l == 0 || c == 0 || l == 5 || c == 6;
      EXPECT_EQ(Pixel(convex, c, l), ring ? 255 : 0);
      EXPECT_EQ(Pixel(concave, c, l), ring ? 255 : 0);
      EXPECT_EQ(Pixel(flat, c, l), ring ? 200 : 255);
      EXPECT_EQ(Pixel(binary, c, l), ring ? 200 : 0);
    }
}

TEST(ShapeSurfaces, SummitAndBorderLayersAndTruncatedHeights) {
  // A summit at the centre of a 9 x 9 DEM: its largest window is 7 x 7 (R = 3).
  std::vector<std::vector<double>> rows(9, std::vector<double>(9, 0.0));
  for (int l = 0; l < 9; ++l)
    for (int c = 0; c < 9; ++c) rows[l][c] = (l * 9 + c) % 5;  // 0 .. 4, never above 4
  rows[4][4] = 50.0;
  auto dem = DemFrom(rows);
  EXPECT_EQ(Pixel(Fast(*dem, 3, 100, Kind::kConvexity), 4, 4), 100);
  EXPECT_EQ(Pixel(Fast(*dem, 3, 255, Kind::kConcavity), 4, 4), 0);

  // With R = 3, a cell at distance 2 from the border holds the 5 x 5 result, at 1 the 3 x 3.
  auto random = RandomDem(12, 12, 5, {.hi = 9, .step = 0});
  const TRasterImage r3 = Fast(*random, 3, 255, Kind::kConvexity);
  EXPECT_EQ(Pixel(r3, 2, 6), Pixel(Fast(*random, 2, 255, Kind::kConvexity), 2, 6));
  EXPECT_EQ(Pixel(r3, 6, 1), Pixel(Fast(*random, 1, 255, Kind::kConvexity), 6, 1));

  // 10.2 and 10.9 are one height; so are -0.5 and 0.4.
  auto close = DemFrom({{10.2, 10.9, 10.2}, {10.9, 10.2, 10.9}, {10.2, 10.9, 10.2}});
  EXPECT_EQ(Pixel(Fast(*close, 1, 100, Kind::kConvexity), 1, 1), 0);
  EXPECT_EQ(Pixel(Fast(*close, 1, 100, Kind::kHorizontal), 1, 1), 100);
  auto zero = DemFrom({{-0.5, 0.4, -0.5}, {0.4, -0.5, 0.4}, {-0.5, 0.4, -0.5}});
  EXPECT_EQ(Pixel(Fast(*zero, 1, 100, Kind::kConcavity), 1, 1), 0);
  EXPECT_EQ(Pixel(Fast(*zero, 1, 100, Kind::kBinary), 1, 1), 0);
}

TEST(ShapeSurfaces, RangeZeroKeepsTheFillAndTitlesCarryTheWindow) {
  auto dem = RandomDem(5, 5, 2, {.hi = 9, .step = 0});
  const TRasterImage none = Fast(*dem, 0, 100, Kind::kConvexity);
  EXPECT_EQ(Pixel(none, 2, 2), 255);
  EXPECT_EQ(ConvexityTitle(0), " CONVEXITY   WINDOW SIZE 1 x 1 ");
  EXPECT_EQ(ConcavityTitle(3), " CONCAVITY   WINDOW SIZE 7 x 7 ");
  EXPECT_EQ(HorizontalTitle(3), " HORIZONTAL PLANS   WINDOW SIZE 7 x 7 ");
  // A range far larger than the DEM uses the largest window that fits.
  EXPECT_EQ(CountDifferences(Fast(*dem, 50, 100, Kind::kConcavity), Fast(*dem, 2, 100, Kind::kConcavity)), 0);
  EXPECT_FALSE(ComputeConvexity(*dem, {-1, 100}).has_value());
  EXPECT_FALSE(ComputeConvexity(TDemModel(), {2, 100}).has_value());
}

}  // namespace
}  // namespace orvane
