// The shared parameter checks and value summaries every front end of the treatments uses.
#include "core/treatment/treatment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace orvane {
namespace {

TEST(TreatmentArgs, DefaultsChoicesAndRangesFollowTheDeclaration) {
  const TreatmentDescriptor* depth = FindTreatment("total-depth");
  ASSERT_NE(depth, nullptr);
  struct Case {
    const char* what;
    double window;           // NaN: not given
    const char* palette;     // null: not given
    const char* error;       // expected message start, or null for success
    int paletteValue;
  };
  const Case cases[] = {
      {"defaults", 11, nullptr, nullptr, 0},
      {"choice by name", 11, "gray255", nullptr, 2},
      {"required missing", NAN, nullptr, "--window: is required", 0},
      {"below range", 0, nullptr, "--window: Value 0 not in range [1 - 100000]", 0},
      {"not whole", 2.5, nullptr, "--window: '2.5' is not a whole number", 0},
      {"unknown choice", 11, "purple", "--palette: 'purple' is not one of colored, gray, gray255", 0},
  };
  for (const Case& c : cases) {
    TreatmentArgs args;
    if (!std::isnan(c.window)) args.Set("window", c.window);
    if (c.palette) args.SetText("palette", c.palette);
    const Status status = CompleteArgs(*depth, args);
    if (c.error) {
      EXPECT_EQ(status.code(), kBadParameter) << c.what;
      EXPECT_EQ(status.message(), c.error) << c.what;
    } else {
      ASSERT_TRUE(status.ok()) << c.what << ": " << status.message();
      EXPECT_EQ(args.Int("palette"), c.paletteValue) << c.what;
      EXPECT_FALSE(args.Flag("smooth")) << c.what;
    }
  }
  // The declaration's own check: slope's colour tables take only normalization 90.
  TreatmentArgs slope;
  slope.Set("norm", 180);
  EXPECT_EQ(CompleteArgs(*FindTreatment("slope"), slope).message(),
            "--norm 180 and 255 are only for --table gray");
}

TEST(TreatmentDeclarations, AreCompleteAndUnique) {
  std::set<std::string> ids;
  for (const TreatmentDescriptor* t : AllTreatments()) {
    EXPECT_TRUE(ids.insert(t->id).second) << t->id;
    EXPECT_TRUE(t->run) << t->id;
    EXPECT_FALSE(t->title.empty() || t->menu.empty() || t->summary.empty()) << t->id;
    if (t->Gives(kOutputValues)) {
      EXPECT_FALSE(t->valueName.empty() || t->valueNoData.empty()) << t->id;
      EXPECT_TRUE(t->halo || !t->notLocalReason.empty()) << t->id;
    }
    for (const ParamDeclaration& p : t->params) {
      if (p.type == ParamType::kChoice) {
        EXPECT_FALSE(p.choices.empty()) << t->id << " --" << p.name;
        if (!p.defaultText.empty()) {
          EXPECT_NE(FindChoice(p, p.defaultText), nullptr) << t->id;
        }
      }
    }
  }
}

TEST(ValueSummary, SkipsNoDataAndTakesNearestRankPercentiles) {
  ValueGrid grid(5, 5, "m");
  for (int k = 0; k < 20; ++k) grid.values[static_cast<std::size_t>(k)] = static_cast<float>(k + 1);
  const ValueStatistics s = SummarizeValues(grid);  // 1 .. 20, five NaN cells
  EXPECT_EQ(s.count, 20);
  EXPECT_EQ(s.minimum, 1);
  EXPECT_EQ(s.maximum, 20);
  EXPECT_DOUBLE_EQ(s.mean, 10.5);
  EXPECT_NEAR(s.stddev, std::sqrt(399.0 / 12.0), 1e-12);
  EXPECT_EQ(s.p5, 1);
  EXPECT_EQ(s.p25, 5);
  EXPECT_EQ(s.p50, 10);
  EXPECT_EQ(s.p95, 19);
  EXPECT_EQ(SummarizeValues(ValueGrid(3, 3, "m")).count, 0);
}

}  // namespace
}  // namespace orvane
