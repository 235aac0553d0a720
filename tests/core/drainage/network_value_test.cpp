#include "core/drainage/network_value.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TRasterImage WhiteGray(int columns, int lines) {
  TRasterImage r(columns, lines, kRasterGray);
  r.Fill(TColor{255, 255, 255});
  return r;
}

TEST(NetworkValue, RulesPickDifferentPixels) {
  TRasterImage r = WhiteGray(6, 5);
  r.SetValue(4, 1, 10);
  r.SetValue(1, 1, 20);  // comes before (4, 1): the first in raster order
  r.SetValue(5, 3, 30);  // first of line 3
  r.SetValue(2, 3, 40);  // still first of line 3: column 2 before column 5
  r.SetValue(3, 4, 50);  // last line holding network
  r.SetValue(0, 4, 60);

  const NetworkValue first = FindNetworkValue(r, NetworkValueRule::kFirstInRasterOrder);
  EXPECT_TRUE(first.found);
  EXPECT_EQ(first.value, 20);
  const NetworkValue last = FindNetworkValue(r, NetworkValueRule::kFirstOfLastLine);
  EXPECT_TRUE(last.found);
  EXPECT_EQ(last.value, 60);

  // Only cells of exactly the network value are network.
  const auto mask = NetworkMask(r, first);
  int ones = 0;
  for (std::uint8_t m : mask) ones += m;
  EXPECT_EQ(ones, 1);
  EXPECT_EQ(mask[1 * 6 + 1], 1);
}

TEST(NetworkValue, ColourPixelsUseTheirMeanAndNearWhiteIsNetwork) {
  TRasterImage r(4, 3, kRasterRgb);
  r.Fill(TColor{255, 255, 255});
  r.SetColor(2, 0, TColor{255, 255, 254});  // mean 254: network
  r.SetColor(1, 2, Rgb(0, 0, 255));         // blue network: mean 85
  r.SetColor(3, 2, Rgb(0, 0, 255));
  EXPECT_EQ(FindNetworkValue(r, NetworkValueRule::kFirstInRasterOrder).value, 254);
  NetworkValue v;
  const auto mask = NetworkMask(r, NetworkValueRule::kFirstOfLastLine, &v);
  EXPECT_EQ(v.value, 85);
  EXPECT_EQ(mask, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1}));
}

TEST(NetworkValue, AllWhiteHasNoNetwork) {
  for (auto rule : {NetworkValueRule::kFirstInRasterOrder, NetworkValueRule::kFirstOfLastLine}) {
    NetworkValue v{7, true};
    const auto mask = NetworkMask(WhiteGray(3, 3), rule, &v);
    EXPECT_FALSE(v.found);
    EXPECT_EQ(v.value, 0);
    EXPECT_EQ(mask, std::vector<std::uint8_t>(9, 0));
  }
  EXPECT_FALSE(FindNetworkValue(TRasterImage(), NetworkValueRule::kFirstOfLastLine).found);
}

}  // namespace
}  // namespace orvane
