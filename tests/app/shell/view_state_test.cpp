// View states: two at most, copies for null arguments, shared rasters that outlive a push,
// progress callbacks installed in a pushed model.
#include "core/terrain/view_state.h"

#include "app/shell/progress_form.h"
#include "support/app_session.h"
#include "support/compare.h"

namespace orvane::test {
namespace {

TEST(ViewStates, ThreePushesKeepTwoAndNullArgumentsCopyTheCurrentState) {
  TViewStates states;
  auto dem1 = MakeDem(4, 3, [](int c, int) { return c; });
  auto raster1 = MakeGray(4, 3, [](int, int) { return 1; });
  std::weak_ptr<TDemModel> weakDem1 = dem1;
  std::weak_ptr<TRasterImage> weakRaster1 = raster1;
  states.Replace(std::move(dem1), std::move(raster1));
  states.Push(nullptr, MakeGray(4, 3, [](int, int) { return 2; }));
  EXPECT_FALSE(weakDem1.expired());
  states.Push(nullptr, MakeGray(4, 3, [](int, int) { return 3; }));
  EXPECT_TRUE(weakDem1.expired());
  EXPECT_TRUE(weakRaster1.expired());
  EXPECT_EQ(testing::Pixel(*states.Current()->raster, 0, 0), 3);
  EXPECT_EQ(testing::Pixel(*states.Previous()->raster, 0, 0), 2);

  // Null arguments copy the current state.
  auto dem = MakeDem(5, 4, [](int c, int l) { return 10 * l + c; });
  auto raster = MakeGray(5, 4, [](int c, int) { return c; });
  states.Replace(dem, raster);
  states.Push(nullptr, nullptr);
  const auto& current = states.Current();
  EXPECT_NE(current->dem, dem);
  EXPECT_NE(current->raster, raster);
  EXPECT_EQ(current->dem->GetElevation(3, 2), 23.0);
  EXPECT_EQ(testing::Pixel(*current->raster, 4, 1), 4);

  // A raster given to the push is kept as it is, with a copy of the model.
  auto wrapped = MakeGray(5, 4, [](int, int) { return 9; });
  states.Push(nullptr, wrapped);
  EXPECT_EQ(states.Current()->raster, wrapped);
  EXPECT_EQ(states.Current()->dem->GetElevation(3, 2), 23.0);
}

TEST_F(MainFormTest, WrappedImageSharedWithParameterImageOutlivesPushes) {
  InstallDem();
  auto opening = main->Session().OpeningRelief();
  auto result = MakeGray(40, 30, [](int, int) { return 200; });
  main->ShowParameterImage(result, " SLOPE ", 0, DisplayMode::kGray);
  main->ShowWrappedImage(result);
  EXPECT_EQ(main->Session().DisplayedRaster(), result);
  main->ShowViewState(nullptr, nullptr);
  main->ShowViewState(nullptr, nullptr);
  // Both view states that held it are gone; the parameter image is still whole.
  EXPECT_EQ(main->Session().ParameterImage(), result);
  EXPECT_EQ(testing::Pixel(*main->Session().ParameterImage(), 1, 1), 200);
  // The opening relief stays for the treatments that blend with it.
  EXPECT_EQ(main->Session().OpeningRelief(), opening);
  ASSERT_TRUE(opening->IsAllocated());
  EXPECT_EQ(main->DemWindow()->Bitmap().pixel(3, 0), qRgb(200, 200, 200));
}

TEST_F(MainFormTest, PushedModelReportsToTheProgressWindow) {
  InstallDem();
  main->ShowViewState(nullptr, nullptr);
  TDemModel* dem = main->Session().CurrentDem();
  ASSERT_TRUE(dem->OnProgressBegin);
  auto* sink = static_cast<TProgressSink*>(main->Progress());
  dem->NotifyBegin();
  ASSERT_NE(sink->Window(), nullptr);
  EXPECT_EQ(sink->Window()->windowTitle(), "Progression");
  dem->NotifyStep(0.426);
  EXPECT_EQ(sink->Window()->Percent(), 42);
  dem->NotifyEnd();
  EXPECT_EQ(sink->Window(), nullptr);
}

TEST(ProgressSink, NestedComputationsShareOneWindow) {
  TProgressSink sink(nullptr);
  sink.Begin();
  TProgressWindow* window = sink.Window();
  sink.Begin();
  EXPECT_EQ(sink.Window(), window);
  sink.Step(1.5);
  EXPECT_EQ(window->Percent(), 100);
  sink.End();
  EXPECT_NE(sink.Window(), nullptr);
  sink.End();
  EXPECT_EQ(sink.Window(), nullptr);
  sink.End();  // an unmatched End does nothing
}

}  // namespace
}  // namespace orvane::test
