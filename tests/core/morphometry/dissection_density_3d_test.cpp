#include "core/morphometry/dissection_density_3d.h"

#include "core/drainage/density_image.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/dems.h"
#include "support/networks.h"

namespace orvane {
namespace {

// Every window re-read cell by cell with its eight neighbours, as the reference.
struct Oracle {
  std::vector<double> d2, d3;
  std::vector<std::int32_t> h2, h3;
  double dMin = 1e300, dMax = -1e300;
};

Oracle RunOracle(const TDemModel& dem, const TRasterImage& net, int n, int U, int P) {
  const int W = net.columns, H = net.lines, m = static_cast<int>((n - 1) * 0.5);
  int value = -1;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      int v;
      net.GetValue(x, y, v);
      if (v != 255) {
        value = v;
        break;
      }
    }
  auto isNet = [&](int x, int y) {
    int v;
    return net.GetValue(x, y, v) == 0 && v == value;
  };
  auto z = [&](int x, int y) {
    return static_cast<std::int64_t>(std::trunc(dem.GetElevation(x, y))) / U;
  };
  static const int dxs[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
  static const int dys[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
  const double area = static_cast<double>(P) * P * (n - 1) * (n - 1);
  Oracle o;
  o.d2.assign(static_cast<std::size_t>(W) * H, 0.0);
  o.d3 = o.d2;
  for (int y = m; y < H - m; ++y)
    for (int x = m; x < W - m; ++x) {
      std::uint64_t l2 = 0, l3 = 0;
      for (int i = y - m; i <= y + m; ++i)
        for (int j = x - m; j <= x + m; ++j) {
          if (i == y - m || i == y + m || !isNet(j, i)) continue;
          const std::int64_t z0 = z(j, i);
          for (int k = 0; k < 8; ++k) {
            if (!isNet(j + dxs[k], i + dys[k])) continue;
            const bool diagonal = dxs[k] != 0 && dys[k] != 0;
            l2 += HalfLinkFixed(P, diagonal, 0, false);
            l3 += HalfLinkFixed(P, diagonal, std::abs(z(j + dxs[k], i + dys[k]) - z0), true);
          }
        }
      const double a = static_cast<double>(l2) / kHalfLinkUnit / area * 1000.0;
      const double b = static_cast<double>(l3) / kHalfLinkUnit / area * 1000.0;
      o.d2[static_cast<std::size_t>(y) * W + x] = a;
      o.d3[static_cast<std::size_t>(y) * W + x] = b;
      o.dMin = std::min(o.dMin, b);
      o.dMax = std::max(o.dMax, b);
      for (auto [counts, d] : {std::pair{&o.h2, a}, std::pair{&o.h3, b}}) {
        const auto bin = static_cast<std::size_t>(10 * d);
        if (bin >= counts->size()) counts->resize(bin + 1);
        ++(*counts)[bin];
      }
    }
  const std::size_t bins = std::max(o.h2.size(), o.h3.size());
  o.h2.resize(bins);
  o.h3.resize(bins);
  return o;
}

void ExpectSameAsOracle(const TDemModel& dem, const TRasterImage& net, int n, int U, int P) {
  SCOPED_TRACE(::testing::Message() << "n " << n << " U " << U << " P " << P);
  auto fast = ComputeDissection3D(dem, net, {n, U, P});
  ASSERT_TRUE(fast) << fast.error().message;
  const Oracle o = RunOracle(dem, net, n, U, P);
  for (std::size_t i = 0; i < o.d3.size(); ++i) ASSERT_EQ(fast->density3D[i], o.d3[i]) << i;
  EXPECT_EQ(fast->histogram2D, o.h2);
  EXPECT_EQ(fast->histogram3D, o.h3);
  EXPECT_EQ(fast->minimum, o.dMin);
  EXPECT_EQ(fast->maximum, o.dMax);
  EXPECT_EQ(fast->upperBound, static_cast<int>(10 * o.dMax));
}

TEST(Dissection3D, SummedTablesMatchTheWindowLoop) {
  unsigned seed = 11;
  for (int n : {2, 3, 6, 11}) {
    auto dem = testing::RandomDem(47, 39, seed, {.lo = -300, .hi = 3000});
    const TRasterImage net = testing::RandomNetwork(
        47, 39, seed++, {.walks = 5, .speckle = 5, .kind = n % 2 ? kRasterRgb : kRasterGray});
    ExpectSameAsOracle(*dem, net, n, n == 6 ? 10 : 1, 30);
  }
}

TEST(Dissection3D, SummedTablesMatchTheWindowLoopOnTheSampleDem) {
  auto dem = testing::LoadSampleDem();
  ASSERT_NE(dem, nullptr);
  ExpectSameAsOracle(*dem, testing::ValleyNetwork(*dem), 9, 1, 90);
}

// A network line along `line` from column x0 to x1 on a DEM of elevations `z(column)`.
TRasterImage Line(int columns, int lines, int line, int x0, int x1) {
  TRasterImage net(columns, lines, kRasterGray);
  net.Fill(TColor{255, 255, 255});
  for (int x = x0; x <= x1; ++x) net.SetValue(x, line, 0);
  return net;
}

TEST(Dissection3D, FlatLineHasEqualDensitiesAndTheExpectedLength) {
  auto dem = testing::FlatDem(15, 15, 120.0);
  const TRasterImage net = Line(15, 15, 7, 0, 14);
  auto r = ComputeDissection3D(*dem, net, {5, 1, 90});
  ASSERT_TRUE(r);
  // Window 5 x 5 at (7, 7): five cells on the line, each inner link seen from both ends,
  // the two end cells also link to the neighbours beyond the window's columns: 10 half links.
  const double expected = 10 * 45.0 / (90.0 * 90.0 * 16) * 1000.0;
  EXPECT_NEAR(r->density3D[7 * 15 + 7], expected, 1e-9);
  EXPECT_EQ(r->histogram2D, r->histogram3D);
}

TEST(Dissection3D, SideLinkClimbsTheElevationDifference) {
  auto dem = testing::FlatDem(9, 9, 0.0);
  dem->SetElevation(4, 4, 100.0);
  dem->SetElevation(5, 4, 130.0);  // d = 30 over a side link
  const TRasterImage net = Line(9, 9, 4, 4, 5);
  auto r = ComputeDissection3D(*dem, net, {5, 1, 90});
  ASSERT_TRUE(r);
  const double area = 90.0 * 90.0 * 16;
  const double l3 = 2 * std::sqrt(15.0 * 15.0 + 45.0 * 45.0);
  EXPECT_NEAR(r->density3D[4 * 9 + 4], l3 / area * 1000.0, 1e-9);
  // Twelve windows hold both cells on an inner line.
  EXPECT_EQ(r->histogram2D[static_cast<std::size_t>(10 * 90.0 / area * 1000.0)], 12);
}

TEST(Dissection3D, ElevationsAreTruncatedThenDividedByTheUnit) {
  auto dem = testing::FlatDem(9, 9, 0.0);
  dem->SetElevation(4, 4, 1234.0);
  dem->SetElevation(5, 4, 1239.0);  // same decimetre bucket: 123 m both
  const TRasterImage net = Line(9, 9, 4, 4, 5);
  auto flatAt10 = ComputeDissection3D(*dem, net, {5, 10, 90});
  auto steepAt1 = ComputeDissection3D(*dem, net, {5, 1, 90});
  ASSERT_TRUE(flatAt10 && steepAt1);
  const double flat = 90.0 / (90.0 * 90.0 * 16) * 1000.0;
  EXPECT_NEAR(flatAt10->density3D[4 * 9 + 4], flat, 1e-12);
  EXPECT_GT(steepAt1->density3D[4 * 9 + 4], flat);
}

TEST(Dissection3D, FirstAndLastLinesAreLeftOutButColumnsCount) {
  auto dem = testing::FlatDem(11, 11, 0.0);
  // A vertical pair on the window's first line (y - 2, y - 1) for the centre (5, 5), n = 5.
  TRasterImage rows(11, 11, kRasterGray);
  rows.Fill(TColor{255, 255, 255});
  rows.SetValue(5, 3, 0);
  rows.SetValue(6, 3, 0);  // a side pair on line 3 = the window's first line
  auto r = ComputeDissection3D(*dem, rows, {5, 1, 30});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->density3D[5 * 11 + 5], 0.0);
  EXPECT_GT(r->density3D[4 * 11 + 5], 0.0);  // for the centre one line up it is inside
  // The same pair on the window's last column (x + 2) does count.
  TRasterImage columns(11, 11, kRasterGray);
  columns.Fill(TColor{255, 255, 255});
  columns.SetValue(7, 5, 0);
  columns.SetValue(7, 6, 0);
  auto c = ComputeDissection3D(*dem, columns, {5, 1, 30});
  ASSERT_TRUE(c);
  EXPECT_NEAR(c->density3D[5 * 11 + 5], 2 * 15.0 / (30.0 * 30.0 * 16) * 1000.0, 1e-12);
}

TEST(Dissection3D, DensitiesAbove30AreCountedAndReachTheImage) {
  auto dem = testing::FlatDem(7, 7, 0.0);
  TRasterImage full(7, 7, kRasterGray);
  full.Fill(TColor{0, 0, 0});
  auto r = ComputeDissection3D(*dem, full, {7, 1, 1});  // a single centre
  ASSERT_TRUE(r);
  EXPECT_GT(r->maximum, 500.0);
  EXPECT_EQ(r->minimum, r->maximum);  // the minimum is a real density, not a starting value
  // The bins follow the data: the one window is counted in the class of its density.
  ASSERT_EQ(r->histogram3D.size(), static_cast<std::size_t>(r->upperBound) + 1);
  EXPECT_EQ(r->histogram3D.back(), 1);
  EXPECT_EQ(r->histogram2D.size(), r->histogram3D.size());
  const TClassTable none;
  const TRasterImage gray = Dissection3DImage(*r, kGrayTones0255, none, false);
  // The single centre makes a range of 0, which writes 0; outside the centre stays white.
  EXPECT_EQ(gray.Row(3)[3], 0);
  EXPECT_EQ(gray.Row(0)[3], 255);
}

TEST(Dissection3D, GrayAndColourImages) {
  auto dem = testing::RandomDem(40, 30, 3);
  const TRasterImage net = testing::RandomNetwork(40, 30, 3, {.walks = 4});
  auto r = ComputeDissection3D(*dem, net, {7, 1, 30});
  ASSERT_TRUE(r);
  const TRasterImage gray = Dissection3DImage(*r, kGrayTones0255, TClassTable(), false);
  const TClassTable table({{10.0f, 0, 90, 0}, {1000.0f, 255, 160, 0}});
  const TRasterImage colour = Dissection3DImage(*r, kColoredPalette, table, false);
  ASSERT_EQ(colour.kind, kRasterRgb);
  for (int y = 3; y < 27; ++y)
    for (int x = 3; x < 37; ++x) {
      const double d = r->density3D[static_cast<std::size_t>(y) * 40 + x];
      EXPECT_EQ(gray.Row(y)[x], std::min(254, static_cast<int>(d / r->range() * 254)));
      TColor c;
      colour.GetColor(x, y, c);
      EXPECT_EQ(c, d <= 10.0 ? Rgb(0, 90, 0) : Rgb(255, 160, 0));
    }
}

TEST(Dissection3D, RefusesWhatCannotBeMeasured) {
  auto dem = testing::FlatDem(20, 20);
  const TRasterImage net = testing::RandomNetwork(20, 20, 1);
  EXPECT_NE(ComputeDissection3D(*dem, net, {5, 0, 30}).error().message.find("vertical unit"),
            std::string::npos);
  EXPECT_NE(ComputeDissection3D(*dem, net, {5, 1, 0}).error().message.find("pixel size"),
            std::string::npos);
  EXPECT_FALSE(ComputeDissection3D(*dem, net, {1, 1, 30}));
  auto small = testing::FlatDem(19, 20);
  EXPECT_NE(ComputeDissection3D(*small, net, {5, 1, 30}).error().message.find("differ in size"),
            std::string::npos);
  TRasterImage white(20, 20, kRasterGray);
  white.Fill(TColor{255, 255, 255});
  EXPECT_FALSE(ComputeDissection3D(*dem, white, {5, 1, 30}));
}

}  // namespace
}  // namespace orvane
