#include "core/drainage/headwaters_density.h"
#include "core/drainage/incrust.h"

#include <gtest/gtest.h>

#include "support/dems.h"
#include "support/networks.h"

namespace orvane {
namespace {

using testing::RandomDem;
using testing::RandomNetwork;

// Headwater detection and counting as stated, cell by cell.
std::vector<int> NaiveCounts(const TRasterImage& r, const TDemModel& dem, int v) {
  int netValue = 0;
  for (int y = 0; y < r.lines; ++y) {
    for (int x = 0; x < r.columns; ++x) {
      int g;
      r.GetValue(x, y, g);
      if (g != 255) {
        netValue = g;
        break;
      }
    }
  }
  auto isNet = [&](int x, int y) {
    int g;
    return r.GetValue(x, y, g) == 0 && g == netValue;
  };
  std::vector<int> head(static_cast<std::size_t>(r.columns) * r.lines, 0);
  for (int y = 1; y < r.lines - 1; ++y) {
    for (int x = 1; x < r.columns - 1; ++x) {
      if (!isNet(x, y)) continue;
      const int z0 = static_cast<int>(dem.GetElevation(x, y));
      int k = 0, m = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          if ((dx || dy) && isNet(x + dx, y + dy)) {
            ++k;
            m = std::max(m, static_cast<int>(dem.GetElevation(x + dx, y + dy)));
          }
        }
      }
      if (k == 1 && z0 >= m) head[static_cast<std::size_t>(y) * r.columns + x] = 1;
    }
  }
  std::vector<int> counts;
  for (int y = v; y < r.lines - v; ++y) {
    for (int x = v; x < r.columns - v; ++x) {
      int c = 0;
      for (int yy = y - v; yy <= y + v; ++yy) {
        for (int xx = x - v; xx <= x + v; ++xx) c += head[static_cast<std::size_t>(yy) * r.columns + xx];
      }
      counts.push_back(c);
    }
  }
  return counts;
}

TEST(HeadwatersDensity, MatchesCellByCellCountsOnRandomInputs) {
  const int sizes[][2] = {{31, 27}, {64, 9}, {12, 40}};
  unsigned seed = 3;
  for (const auto& s : sizes) {
    auto dem = RandomDem(s[0], s[1], seed, {.step = 8});
    // Sparse network: many ends. Network value from the last line; another value is noise.
    const TRasterImage r =
        RandomNetwork(s[0], s[1], seed++, {.walks = 0, .speckle = 20, .values = {40, 40, 40, 7}});
    for (int v : {0, 1, 3, 7}) {
      for (int scale : {100, 255}) {
        auto res = HeadwatersDensity(r, *dem, {v, scale});
        ASSERT_TRUE(res.has_value());
        const std::vector<int> counts = NaiveCounts(r, *dem, v);
        int lo = 1000, hi = 0;
        for (int c : counts) lo = std::min(lo, c), hi = std::max(hi, c);
        EXPECT_EQ(res->minimum, lo);
        EXPECT_EQ(res->maximum, hi);
        std::size_t i = 0;
        for (int y = 0; y < s[1]; ++y) {
          for (int x = 0; x < s[0]; ++x) {
            int got;
            res->image->GetValue(x, y, got);
            int want = 255;
            if (x >= v && y >= v && x < s[0] - v && y < s[1] - v) {
              want = hi > lo ? static_cast<int>(static_cast<double>(counts[i] - lo) / (hi - lo) * scale) : 0;
              ++i;
            }
            ASSERT_EQ(got, want) << x << "," << y << " v " << v;
          }
        }
        EXPECT_EQ(res->margin, v + 1);
      }
    }
  }
}

// A 9 x 7 raster with a network of value 0 at the given cells, over a DEM of given heights.
struct Scene {
  TRasterImage net{9, 7, kRasterGray};
  TDemModel dem{9, 7, kDemInt32};
  Scene() {
    net.Fill(TColor{255, 255, 255});
    dem.Fill(0);
  }
  void Cell(int x, int y, int z) {
    net.SetValue(x, y, 0);
    dem.Int32Row(y)[x] = z;
  }
  std::vector<std::uint8_t> Heads() { return DetectHeadwaters(net, dem); }
  int At(const std::vector<std::uint8_t>& h, int x, int y) { return h[static_cast<std::size_t>(y) * 9 + x]; }
};

TEST(HeadwatersDensity, WhichNetworkEndsAreHeadwaters) {
  {  // A line of five cells going downhill: only the upper end.
    Scene s;
    for (int i = 0; i < 5; ++i) s.Cell(2 + i, 3, 50 - 10 * i);
    const auto h = s.Heads();
    EXPECT_EQ(s.At(h, 2, 3), 1);
    EXPECT_EQ(s.At(h, 6, 3), 0);
    int total = 0;
    for (auto c : h) total += c;
    EXPECT_EQ(total, 1);
  }
  {  // Isolated cell; confluence; flat segment with both ends.
    Scene s;
    s.Cell(1, 1, 10);
    s.Cell(5, 1, 9), s.Cell(6, 2, 8), s.Cell(7, 1, 9), s.Cell(6, 3, 7);  // a Y
    s.Cell(2, 5, 4), s.Cell(3, 5, 4), s.Cell(4, 5, 4);
    const auto h = s.Heads();
    EXPECT_EQ(s.At(h, 1, 1), 0);
    EXPECT_EQ(s.At(h, 6, 2), 0);  // three neighbours
    EXPECT_EQ(s.At(h, 5, 1), 1);
    EXPECT_EQ(s.At(h, 7, 1), 1);
    EXPECT_EQ(s.At(h, 2, 5), 1);
    EXPECT_EQ(s.At(h, 4, 5), 1);
    EXPECT_EQ(s.At(h, 3, 5), 0);
  }
  {  // Below sea level the neighbour counts as 0: a negative end never qualifies.
    Scene s;
    s.Cell(2, 2, -5), s.Cell(3, 2, -8);
    EXPECT_EQ(s.At(s.Heads(), 2, 2), 0);
  }
  {  // The outer border is never a headwater.
    Scene s;
    s.Cell(0, 3, 9), s.Cell(1, 3, 1);
    EXPECT_EQ(s.At(s.Heads(), 0, 3), 0);
  }
}

TEST(HeadwatersDensity, HalfWindowZeroScalingAndErrors) {
  Scene s;
  for (int i = 0; i < 5; ++i) s.Cell(2 + i, 3, 50 - 10 * i);
  auto res = HeadwatersDensity(s.net, s.dem, {0, 255});
  ASSERT_TRUE(res.has_value());
  EXPECT_EQ(res->minimum, 0);
  EXPECT_EQ(res->maximum, 1);
  EXPECT_EQ(res->margin, 1);
  int v;
  res->image->GetValue(2, 3, v);
  EXPECT_EQ(v, 255);
  res->image->GetValue(3, 3, v);
  EXPECT_EQ(v, 0);

  // No headwater at all: every count equal, every centre 0, the border 255.
  TRasterImage white(9, 7, kRasterGray);
  white.Fill(TColor{255, 255, 255});
  res = HeadwatersDensity(white, s.dem, {1, 100});
  ASSERT_TRUE(res.has_value());
  res->image->GetValue(4, 3, v);
  EXPECT_EQ(v, 0);
  res->image->GetValue(0, 3, v);
  EXPECT_EQ(v, 255);

  // Wide windows keep counts above 255 exact.
  TRasterImage dots(80, 80, kRasterGray);
  dots.Fill(TColor{255, 255, 255});
  TDemModel flat(80, 80, kDemInt32);
  flat.Fill(5);
  for (int y = 1; y < 79; y += 3) {
    for (int x = 1; x < 78; x += 3) dots.SetValue(x, y, 0), dots.SetValue(x + 1, y, 0);
  }
  res = HeadwatersDensity(dots, flat, {30, 100});
  ASSERT_TRUE(res.has_value());
  EXPECT_GT(res->maximum, 255);
  EXPECT_EQ(res->headwaters, 2 * 26 * 26);

  EXPECT_EQ(HeadwatersDensity(dots, s.dem, {1, 100}).error().code, kWrongFormat);  // DEM too small
  EXPECT_EQ(HeadwatersDensity(s.net, s.dem, {-1, 100}).error().code, kBadParameter);
  EXPECT_NEAR(HeadwatersWindowSide(90, 25), 4.59, 1e-12);
}

TEST(Incrust, BurnsAnyNetworkColourAsBlackOnceAndForAll) {
  TRasterImage net(6, 4, kRasterRgb);
  net.Fill(TColor{255, 255, 255});
  net.SetColor(1, 1, Rgb(0, 0, 255));
  net.SetColor(2, 1, Rgb(255, 0, 0));
  net.SetColor(3, 2, Rgb(0, 0, 0));
  TRasterImage param(8, 5, kRasterRgb);  // larger than the network
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 8; ++x) param.SetColor(x, y, Rgb(10 * x + 1, 20 * y + 1, 7));
  }
  auto once = IncrustDrainage(&param, &net, false);
  ASSERT_TRUE(once.has_value());
  auto twice = IncrustDrainage(once->get(), &net, false);
  const TRasterImage& a = **once;
  EXPECT_EQ(a.kind, kRasterRgb);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 8; ++x) {
      TColor c, p, t;
      a.GetColor(x, y, c);
      param.GetColor(x, y, p);
      (*twice)->GetColor(x, y, t);
      const bool network = x >= 6 || y >= 4 || (x == 1 && y == 1) || (x == 2 && y == 1) || (x == 3 && y == 2);
      EXPECT_EQ(c, network ? TColor{} : p) << x << "," << y;
      EXPECT_EQ(t, c);
    }
  }

  TRasterImage gray = RandomNetwork(6, 4, 1, {.walks = 0, .speckle = 50, .values = {9, 120}});
  auto g = IncrustDrainage(&gray, &net, true);
  ASSERT_TRUE(g.has_value());
  EXPECT_EQ((*g)->kind, kRasterGray);
  int v, want;
  (*g)->GetValue(1, 1, v);
  EXPECT_EQ(v, 0);
  (*g)->GetValue(5, 3, v);
  gray.GetValue(5, 3, want);
  EXPECT_EQ(v, want);

  const auto none = IncrustDrainage(nullptr, &net, true);
  ASSERT_FALSE(none.has_value());
  EXPECT_EQ(none.error().message, kNoParameterImageMessage);
}

}  // namespace
}  // namespace orvane
