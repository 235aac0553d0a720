// Local fractal dimension, total depth and surface 3D from the menus with their dialogs and
// diagram, on a small DEM of ridges; then on the sample DEM as a user runs them, with the
// pictures of the documentation (ORVANE_SHOTS, see support/app_session.h).

#include "app/display/class_legend.h"
#include "app/display/diagram_forms.h"
#include "app/drainage/drainage_forms.h"
#include "app/shell/window_size_dialog.h"
#include "app/surface/surface_forms.h"
#include "core/surface/local_fractal.h"
#include "core/surface/surface3d.h"
#include "core/surface/total_depth.h"
#include "support/app_session.h"
#include "support/compare.h"

namespace orvane::test {
namespace {

using testing::ExpectSameImage;

class RoughnessCommandsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    // Ridges and valleys: every window sees some relief.
    dem = MakeDem(50, 44, [](int c, int l) { return 300 + 7 * std::abs(c % 9 - 4) + (l * l) % 23; });
    auto relief = MakeGray(50, 44, [](int c, int) { return c * 5; });
    main->InstallOpenedDem(dem, relief, "/data/ridges_m2.raw");
    main->Session().SetDemScale(0, "90");  // no unit chosen
  }

  std::shared_ptr<TDemModel> dem;
};

TEST_F(RoughnessCommandsTest, LocalFractalShowsImageExtremesAndDiagram) {
  prompts.dialogs["LocalFractForm"] = Answer<TLocalFractalDialog>([](TLocalFractalDialog& form) {
    Choose(form, 12);
    TypeIn(form, "HValEdit", "0,05");
    form.OkClick();
  });
  prompts.dialogs["DiagLocFractDimForm"] = Accept;
  Trigger("LocalFractalTreatment1");
  EXPECT_EQ(prompts.executed, (std::vector<QString>{"LocalFractForm", "DiagLocFractDimForm"}));

  auto expected = ComputeLocalFractal(*dem, {12, 0.05, 1, 90});
  ASSERT_TRUE(expected);
  EXPECT_TRUE(prompts.SaidOnly(
      QString::asprintf("Min = %lf Max = %lf ", expected->minimum, expected->maximum),
      "LOCAL FRACTAL DIMENSION"));

  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  ExpectSameImage(*main->Session().ParameterImage(), expected->image);
  EXPECT_EQ(main->Session().ParameterTitle(), " LOCAL FRACTAL DIMENSION  WINDOW SIZE  12  Coeff H = 0.05 ");
  EXPECT_EQ(main->Session().Margin(), 7);
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);
  EXPECT_EQ(main->Session().DiagramKind(), DiagramKind::kLocalFractal);
  ExpectEnabled(*main, {"LocFract1", "DiagSpeedButton", "GrayHisto1"}, true);
  EXPECT_TRUE(main->IsVisible("Configurationdelimpression1"));

  auto& diagram = DiagramWindow<TLocalFractalDiagram>(*main);
  EXPECT_EQ(diagram.UpperBound(), expected->diagramUpper);
  EXPECT_EQ(diagram.Start(), expected->diagramStart);
  for (int i = 0; i < kLocalFractalBins; ++i) {
    ASSERT_EQ(diagram.Counts()[static_cast<std::size_t>(i)], expected->diagram[static_cast<std::size_t>(i)]);
  }
}

TEST_F(RoughnessCommandsTest, LocalFractalClosedUnansweredUsesTwelveAndRefusesZeroH) {
  // No handler: the dialog is rejected untouched, H stays empty.
  Trigger("LocalFractalTreatment1");
  EXPECT_EQ(main->Session().ParameterTitle(), "");  // a refused treatment leaves the title as it was
  EXPECT_TRUE(prompts.SaidOnlyWith("adaptive factor H", "ERREUR"));
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().DiagramKind(), DiagramKind::kNone);
}

TEST_F(RoughnessCommandsTest, TotalDepthColoursTheWindowReliefInClasses) {
  AnswerWindowSize(prompts, "5");
  prompts.dialogs["TotalDepthForm"] = Answer<TClassPaletteDialog>([](TClassPaletteDialog& form) {
    form.SelectPalette(kDepthGray);
    form.SetScale(true);
    form.SetSmoothing(true);
    form.OkClick();
  });
  Trigger("TotalDepthTreatment1");
  EXPECT_EQ(prompts.executed, (std::vector<QString>{"DDFen", "TotalDepthForm"}));
  EXPECT_TRUE(prompts.messages.empty());

  auto relief = ComputeTotalDepthRelief(*dem, 5);
  ASSERT_TRUE(relief);
  const TClassTable table = TotalDepthClassTable(kDepthGray, true, relief->minimum, relief->maximum);
  const TRasterImage expected = RenderTotalDepth(*relief, kDepthGray, table, true);
  auto& form = *main->findChild<TClassPaletteDialog*>("TotalDepthForm");
  EXPECT_EQ(form.ClassTable(), table) << "Scale spreads the classes over the run's relief";
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  ExpectSameImage(*main->Session().ParameterImage(), expected);
  EXPECT_EQ(main->Session().ParameterTitle(), " TOTAL DEPTH   GRID SIZE 0.450 x 0.450 km");
  EXPECT_EQ(main->Session().Margin(), 3);
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kColour);
  ExpectEnabled(*main, {"GrayHisto1", "OpenPalette1"}, false);
}

TEST_F(RoughnessCommandsTest, TotalDepthWrappedReplacesTheDemPicture) {
  AnswerWindowSize(prompts, "3");
  prompts.dialogs["TotalDepthForm"] = Answer<TClassPaletteDialog>([](TClassPaletteDialog& form) {
    form.SelectPalette(kDepthGray255);
    form.ChoosePlacement(ResultKind::kWrappedImage);
    form.OkClick();
  });
  Trigger("TotalDepthTreatment1");
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);
  const auto shown = main->Session().DisplayedRaster();
  ASSERT_NE(shown, nullptr);
  auto relief = ComputeTotalDepthRelief(*dem, 3);
  ExpectSameImage(*shown, RenderTotalDepth(*relief, kDepthGray255, TClassTable(), false));
}

TEST_F(RoughnessCommandsTest, WindowDialogCancelledComputesNothing) {
  AnswerWindowSize(prompts, "5", false);
  Trigger("TotalDepthTreatment1");
  Trigger("Surface3DTreatment1");
  EXPECT_EQ(prompts.executed, (std::vector<QString>{"DDFen", "DDFen"}));
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(RoughnessCommandsTest, Surface3DShowsTheRatioInGrayLevels) {
  AnswerWindowSize(prompts, "3");
  Trigger("Surface3DTreatment1");
  auto expected = ComputeSurface3D(*dem, {3});
  ASSERT_TRUE(expected);
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  ExpectSameImage(*main->Session().ParameterImage(), expected->image);
  EXPECT_EQ(main->Session().ParameterTitle(), " 3D SURFACE  WINDOW SIZE  3 x 3 ");
  EXPECT_EQ(main->Session().Margin(), 2);
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);

  // A window of 0 pixels is refused with a message.
  AnswerWindowSize(prompts, "0");
  Trigger("Surface3DTreatment1");
  EXPECT_TRUE(prompts.SaidOnlyWith("", "ERREUR"));
}

TEST(TotalDepthFormTest, ScaleBoundsAndLegendLabels) {
  TClassPaletteDialog form(kTotalDepthPalette);
  EXPECT_EQ(form.windowTitle(), " Total Depth Visu");
  EXPECT_EQ(form.ClassTable().count(), 10);
  form.SetRange(0, 200);
  form.SetScale(true);
  EXPECT_FLOAT_EQ(form.ClassTable()[0].bound, 20.0f);
  EXPECT_FLOAT_EQ(form.ClassTable()[9].bound, 200.0f);
  const TLegend legend = form.Legend().CurrentLegend();
  ASSERT_EQ(legend.labels.size(), 9u);
  EXPECT_EQ(legend.labels[0].text, "20.00   ");
  EXPECT_EQ(legend.labels[8].text, "180.00   ");
  form.SelectPalette(kDepthGray255);
  EXPECT_TRUE(form.ClassTable().empty());
  // The palette choice is kept only by "OK"; leaving otherwise brings it back with its table,
  // so the run never pairs the coloured choice with the empty gray table.
  EXPECT_EQ(form.PaletteChoice(), kDepthColored);
  form.DeleteClick();
  EXPECT_EQ(form.ClassTable().count(), 10);
  form.SelectPalette(kDepthGray255);
  form.OkClick();
  EXPECT_EQ(form.PaletteChoice(), kDepthGray255);
}

using RoughnessSession = SampleSessionTest;

TEST_F(RoughnessSession, RoughnessAndReliefOnTheSampleDem) {
  // Local fractal dimension, window 12, H = 0.1: message, image, then the diagram.
  prompts.dialogs["LocalFractForm"] = Answer<TLocalFractalDialog>([](TLocalFractalDialog& form) {
    Choose(form, 12);
    TypeIn(form, "HValEdit", "0.1");
    ShowFor(form, "roughness_local_fractal_dialog.png");
    form.OkClick();
  });
  prompts.dialogs["DiagLocFractDimForm"] = ShowAndAccept("roughness_local_fractal_diagram.png");
  ASSERT_TRUE(main->Action("LocalFractalTreatment1")->isEnabled());
  main->Action("LocalFractalTreatment1")->trigger();
  EXPECT_TRUE(prompts.SaidOnlyWith("Min = 1."));
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  auto& diagram = DiagramWindow<TLocalFractalDiagram>(*main);
  EXPECT_GT(diagram.UpperBound(), diagram.Start());
  EXPECT_LE(diagram.UpperBound(), 300);
  ShotTiled("roughness_local_fractal.png");
  // The Diagram button opens it again.
  main->Action("DiagSpeedButton")->trigger();
  EXPECT_EQ(prompts.executed.back(), "DiagLocFractDimForm");

  // Total depth over 11 x 11 pixels, coloured classes spread over the relief, smoothed.
  prompts.dialogs["DDFen"] = Answer<TWindowSizeDialog>([](TWindowSizeDialog& window) {
    window.SetWindowSizeText("11");
    ShowFor(window, "roughness_filter_size.png", 50);
    window.accept();
  });
  prompts.dialogs["TotalDepthForm"] = Answer<TClassPaletteDialog>([](TClassPaletteDialog& form) {
    form.SelectPalette(kDepthColored);
    form.SetScale(true);
    form.SetSmoothing(true);
    ShowFor(form, "roughness_total_depth_dialog.png", 100);
    form.OkClick();
  });
  main->Action("TotalDepthTreatment1")->trigger();
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().ParameterImage()->kind, kRasterRgb);
  EXPECT_EQ(main->Session().ParameterTitle(), " TOTAL DEPTH   GRID SIZE 0.990 x 0.990 km");
  ShotFrame("roughness_total_depth.png");

  // Surface 3D over 7 x 7 pixels.
  AnswerWindowSize(prompts, "7");
  main->Action("Surface3DTreatment1")->trigger();
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().ParameterImage()->kind, kRasterGray);
  EXPECT_EQ(main->Session().Margin(), 4);
  ShotFrame("roughness_surface3d.png");
  EXPECT_TRUE(prompts.messages.empty()) << "only the local fractal extremes";
}

}  // namespace
}  // namespace orvane::test
