#include "core/drainage/drainage_extraction.h"

#include <gtest/gtest.h>

#include "core/drainage/network_value.h"
#include "core/drainage/skeleton.h"
#include "support/compare.h"
#include "support/dems.h"
#include "support/networks.h"

namespace orvane {
namespace {

using testing::DemShape;
using testing::RandomDem;

// The marking as stated: every range from 2 to U, every cell that fits, every window cell.
std::vector<std::uint8_t> NaiveMarks(const TDemModel& dem, int upper) {
  const int w = dem.columns;
  const int h = dem.lines;
  std::vector<std::uint8_t> mark(static_cast<std::size_t>(w) * h, 0);
  for (int r = 2; r <= upper; ++r) {
    const int n = (2 * r + 1) * (2 * r + 1);
    for (int y = r; y <= h - r - 1; ++y) {
      for (int x = r; x <= w - r - 1; ++x) {
        const int z0 = static_cast<int>(dem.GetElevation(x, y));
        int k = 0;
        for (int yy = y - r; yy <= y + r; ++yy) {
          for (int xx = x - r; xx <= x + r; ++xx) {
            if (static_cast<int>(dem.GetElevation(xx, yy)) > z0) ++k;
          }
        }
        const double p = static_cast<double>(k) / (n - 1) * 100.0;
        if (p > 55.0) mark[static_cast<std::size_t>(y) * w + x] = 255;
      }
    }
  }
  return mark;
}

// The thinning as stated: every pixel of every pass, 3 x 3 windows padded with 5, the
// working copy replaced by the output after each pass.
std::unique_ptr<TRasterImage> NaiveSkeleton(const TRasterImage& source) {
  auto s = source.Clone();
  auto o = source.Clone();
  const int di[4] = {1, 1, 2, 0};
  const int dj[4] = {0, 2, 1, 1};
  bool removed = true;
  while (removed) {
    removed = false;
    for (int d = 0; d < 4; ++d) {
      for (int y = 0; y < s->lines; ++y) {
        for (int x = 0; x < s->columns; ++x) {
          int v;
          s->GetValue(x, y, v);
          if (v != 255) continue;
          std::uint8_t window[9];
          for (int j = 0; j < 3; ++j) {
            for (int i = 0; i < 3; ++i) {
              int c;
              window[j * 3 + i] = s->GetValue(x + i - 1, y + j - 1, c) == 0
                                      ? static_cast<std::uint8_t>(c)
                                      : std::uint8_t{5};
            }
          }
          if (window[dj[d] * 3 + di[d]] != 255 && DeletableWindow(window)) {
            o->SetValue(x, y, 0);
            removed = true;
          }
        }
      }
      s = o->Clone();
    }
  }
  return o;
}

TRasterImage MarkRaster(const std::vector<std::uint8_t>& mark, int w, int h) {
  TRasterImage r(w, h, kRasterRgb);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) r.SetValue(x, y, mark[static_cast<std::size_t>(y) * w + x]);
  }
  return r;
}

TEST(DrainageExtraction, MarkingMatchesEveryRangeOnRandomDems) {
  const int sizes[][2] = {{7, 5}, {23, 17}, {31, 44}, {5, 60}, {61, 9}};
  unsigned seed = 1;
  long marked = 0;
  for (const auto& s : sizes) {
    // Few heights (many ties), then gentle and rough walks.
    for (const DemShape& shape : {DemShape{.hi = 3, .step = 0}, DemShape{.step = 3}, DemShape{.step = 20}}) {
      auto dem = RandomDem(s[0], s[1], seed++, shape);
      for (int upper : {0, 2, 3, 7, 40}) {
        const auto marks = MarkValleyCells(*dem, upper);
        ASSERT_EQ(marks, NaiveMarks(*dem, upper))
            << s[0] << " x " << s[1] << " step " << shape.step << " upper " << upper;
        for (std::uint8_t m : marks) marked += m != 0;
      }
    }
  }
  EXPECT_GT(marked, 500);
}

TEST(DrainageExtraction, ThinningMatchesEveryPassOnRandomMarks) {
  std::mt19937 rng(7);
  long removed = 0;
  for (int trial = 0; trial < 30; ++trial) {
    const int w = 3 + static_cast<int>(rng() % 40);
    const int h = 3 + static_cast<int>(rng() % 40);
    const int percent = 30 + static_cast<int>(rng() % 60);
    // Blobs rather than salt: marks come in clusters like real valley bands.
    std::vector<std::uint8_t> mark(static_cast<std::size_t>(w) * h, 0);
    for (int b = 0; b < 6; ++b) {
      const int cx = static_cast<int>(rng() % w), cy = static_cast<int>(rng() % h);
      const int rad = 1 + static_cast<int>(rng() % 6);
      for (int y = std::max(0, cy - rad); y < std::min(h, cy + rad + 1); ++y) {
        for (int x = std::max(0, cx - rad); x < std::min(w, cx + rad + 1); ++x) {
          if (static_cast<int>(rng() % 100) < percent) mark[static_cast<std::size_t>(y) * w + x] = 255;
        }
      }
    }
    const TRasterImage source = MarkRaster(mark, w, h);
    auto fast = Skeletonize(source);
    ASSERT_TRUE(fast);
    testing::ExpectSameImage(*fast, *NaiveSkeleton(source));
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        int a, b;
        source.GetValue(x, y, a);
        fast->GetValue(x, y, b);
        removed += a != b;
      }
    }
  }
  EXPECT_GT(removed, 1000);
  // A gray source holding other values (5 among them) is thinned by the same rules.
  TRasterImage odd =
      testing::RandomNetwork(19, 13, 3, {.walks = 0, .speckle = 70, .values = {255, 255, 255, 5, 0, 100}});
  testing::ExpectSameImage(*Skeletonize(odd), *NaiveSkeleton(odd));
}

TEST(DrainageExtraction, SampleDemMatchesTheStatedAlgorithm) {
  auto dem = testing::LoadSampleDem();
  ASSERT_TRUE(dem) << "data/jacksboro_m2.raw is missing";
  const int upper = 5;
  const auto marks = MarkValleyCells(*dem, upper);
  ASSERT_EQ(marks, NaiveMarks(*dem, upper));
  const TRasterImage markRaster = MarkRaster(marks, dem->columns, dem->lines);
  auto expected = NaiveSkeleton(markRaster);

  auto result = ExtractDrainage(*dem, {1, upper, kNetworkBlue, 0});
  ASSERT_TRUE(result.has_value());
  const TRasterImage& net = *result->network;
  EXPECT_GT(result->networkCells, 1000);
  EXPECT_LT(result->networkCells, result->markedCells);
  for (int y = 0; y < net.lines; ++y) {
    for (int x = 0; x < net.columns; ++x) {
      int skel;
      expected->GetValue(x, y, skel);
      TColor c;
      net.GetColor(x, y, c);
      const TColor want = skel == 0 ? TColor{255, 255, 255} : Rgb(0, 0, 255);
      ASSERT_EQ(c, want) << x << "," << y;
    }
  }
}

TEST(DrainageExtraction, FourteenOfTwentyFourNeighboursMarks) {
  // 5 x 5 DEM, centre at 10; with upper range 2 only the centre can be examined.
  for (int higher : {13, 14}) {
    TDemModel dem(5, 5, kDemInt32);
    dem.Fill(0);
    int placed = 0;
    for (int i = 0; i < 25 && placed < higher; ++i) {
      if (i == 12) continue;
      dem.Int32Row(i / 5)[i % 5] = 11;
      ++placed;
    }
    dem.Int32Row(2)[2] = 10;
    const auto marks = MarkValleyCells(dem, 2);
    EXPECT_EQ(marks[12], higher == 14 ? 255 : 0) << higher;
  }
}

TEST(DrainageExtraction, FlatTinyAndFractionalDemsGiveNoNetwork) {
  TDemModel flat(30, 20, kDemInt32);
  flat.Fill(50);
  auto r = ExtractDrainage(flat, {1, 6, kNetworkBlack, 0});
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->networkCells, 0);
  EXPECT_EQ(r->network->kind, kRasterRgb);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 30; ++x) {
      int v;
      r->network->GetValue(x, y, v);
      ASSERT_EQ(v, 255);
    }
  }

  // A pit whose neighbours are higher only in the fraction: truncated, all equal.
  TDemModel frac(9, 9, kDemFloat32);
  frac.Fill(20.7);
  frac.SetElevation(4, 4, 20.1);
  EXPECT_EQ(MarkValleyCells(frac, 3), std::vector<std::uint8_t>(81, 0));
  frac.Fill(21.2);
  frac.SetElevation(4, 4, 20.9);
  EXPECT_EQ(MarkValleyCells(frac, 3)[4 * 9 + 4], 255);

  TDemModel tiny(4, 7, kDemInt32);
  tiny.Fill(100);
  tiny.Int32Row(3)[2] = 0;
  EXPECT_EQ(ExtractDrainage(tiny, {1, 3, kNetworkRed, 0})->networkCells, 0);
  EXPECT_EQ(ExtractDrainage(TDemModel(), {1, 3, 0, 0}).error().code, kBadParameter);
}

TEST(DrainageExtraction, UpperRangeBeyondHalfTheSizeEqualsTheLargestThatFits) {
  auto dem = RandomDem(15, 12, 99, {.step = 5});
  // Ranges above 5 fit no cell of a 12-line DEM (needs 2R + 1 <= 12).
  EXPECT_EQ(MarkValleyCells(*dem, 50), MarkValleyCells(*dem, 5));
}

TEST(DrainageExtraction, ThinningKeepsPointsAndSpursAndNarrowsBands) {
  // An isolated pixel and a two-pixel spur survive: too few object cells in their windows.
  TRasterImage dots(9, 9, kRasterGray);
  dots.SetValue(2, 2, 255);
  dots.SetValue(6, 5, 255);
  dots.SetValue(6, 6, 255);
  auto thin = Skeletonize(dots);
  testing::ExpectSameImage(*thin, dots);

  // A band 3 pixels wide thins to a line 1 pixel wide.
  TRasterImage band(20, 9, kRasterGray);
  for (int y = 3; y <= 5; ++y) {
    for (int x = 2; x <= 17; ++x) band.SetValue(x, y, 255);
  }
  thin = Skeletonize(band);
  int left = 0;
  for (int x = 4; x <= 15; ++x) {
    int column = 0;
    for (int y = 0; y < 9; ++y) {
      int v;
      thin->GetValue(x, y, v);
      column += v == 255 ? 1 : 0;
    }
    EXPECT_EQ(column, 1) << "column " << x;
    left += column;
  }
  EXPECT_GT(left, 0);
  // The source is left alone.
  int v;
  band.GetValue(2, 3, v);
  EXPECT_EQ(v, 255);
}

TEST(DrainageExtraction, DeletableWindowConditions) {
  // Edge of a band (object below, background above): deletable.
  const std::uint8_t edge[9] = {0, 0, 0, 255, 255, 255, 255, 255, 255};
  EXPECT_TRUE(DeletableWindow(edge));
  // Middle of a one-pixel line: removing it would cut the line (connectivity 2).
  const std::uint8_t line[9] = {0, 0, 0, 255, 255, 255, 0, 0, 0};
  EXPECT_FALSE(DeletableWindow(line));
  // Line end with one neighbour: only two object cells.
  const std::uint8_t end[9] = {0, 0, 0, 0, 255, 255, 0, 0, 0};
  EXPECT_FALSE(DeletableWindow(end));
  // Corner outside the raster: padding joins the object run.
  const std::uint8_t corner[9] = {5, 5, 5, 5, 255, 255, 5, 255, 0};
  EXPECT_FALSE(DeletableWindow(corner));  // no background cell at all: no background run
}

TEST(DrainageExtraction, ValidationMessagesAndColours) {
  EXPECT_EQ(ValidateExtractionRanges(0, 5).message(), "No Lower Range ");
  EXPECT_EQ(ValidateExtractionRanges(1, 0).message(), "No Window Ranges");
  EXPECT_EQ(ValidateExtractionRanges(3, 2).message(),
            "The Upper Range is not\ngreater than the Lower Range");
  EXPECT_EQ(ValidateExtractionRanges(3, 3).code(), kBadParameter);
  EXPECT_TRUE(ValidateExtractionRanges(1, 2).ok());

  const int gray[5] = {0, 85, 85, 85, 170};
  for (int code = 0; code < 5; ++code) {
    const TColor c = NetworkColour(code);
    EXPECT_EQ((c.blue + c.green + c.red) / 3, gray[code]) << code;
  }
  EXPECT_EQ(NetworkColour(kNetworkYellow), Rgb(255, 255, 0));
}

}  // namespace
}  // namespace orvane
