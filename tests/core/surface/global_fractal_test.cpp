#include <gtest/gtest.h>

#include "core/surface/global_fractal.h"
#include "support/dems.h"

namespace orvane {
namespace {

std::unique_ptr<TDemModel> Plane(int side) {
  auto dem = std::make_unique<TDemModel>(side, side, kDemInt32);
  for (int l = 0; l < side; ++l)
    for (int c = 0; c < side; ++c) dem->Int32Row(l)[c] = 2 * c;
  dem->UpdateMinMax();
  return dem;
}

TEST(GlobalFractal, PlaneRisingAlongTheColumns) {
  auto small = ComputeGlobalFractal(*Plane(50));
  ASSERT_TRUE(small.has_value());
  EXPECT_NEAR(small->dimension, 2.209, 0.0005);
  EXPECT_NEAR(small->correlation, 0.9986, 0.00005);
  EXPECT_EQ(small->points, 35);  // no cell lies 36 or more cells from the centre
  auto large = ComputeGlobalFractal(*Plane(101));
  ASSERT_TRUE(large.has_value());
  EXPECT_NEAR(large->dimension, 2.202, 0.0005);
}

TEST(GlobalFractal, MessageTextAndUndefinedFits) {
  EXPECT_EQ(GlobalFractalMessage({2.5, 0.75, 3}),
            "Fractal Dimension : D=2.500000\n\nCorrelation Coefficient r=0.750000\n\n");
  EXPECT_FALSE(ComputeGlobalFractal(*Plane(5)).has_value());  // min(H, W) < 6
  auto flat = testing::DemFrom(std::vector<std::vector<double>>(20, std::vector<double>(20, 7.0)));
  auto result = ComputeGlobalFractal(*flat);
  ASSERT_FALSE(result.has_value());
  EXPECT_NE(result.error().message.find("undefined"), std::string::npos);
  auto sample = testing::LoadSampleDem();
  ASSERT_NE(sample, nullptr);
  auto real = ComputeGlobalFractal(*sample);
  ASSERT_TRUE(real.has_value());
  EXPECT_GT(real->dimension, 2.0);
  EXPECT_LT(real->dimension, 3.2);
}

}  // namespace
}  // namespace orvane
