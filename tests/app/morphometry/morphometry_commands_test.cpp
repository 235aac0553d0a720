// The drainage morphometry from the menus: the fractal dimension of the network (global and
// segments), the 3D dissection density and the ratio depth with their dialogs and diagrams, on
// a small DEM with a tree network; then on the sample DEM's extracted network as a user runs
// them, with the pictures of the documentation (ORVANE_SHOTS, see support/app_session.h).
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "app/display/diagram_forms.h"
#include "app/drainage/drainage_forms.h"
#include "app/morphometry/morphometry_forms.h"
#include "core/drainage/density_image.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/morphometry/drainage_fractal.h"
#include "support/app_session.h"
#include "support/compare.h"

namespace orvane::test {
namespace {

using testing::ExpectSameImage;

class MorphoCommandsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    dem = MakeDem(48, 40, [](int c, int l) { return 2000 + 50 * std::abs(c % 8 - 4) + 7 * l; });
    main->InstallOpenedDem(dem, MakeGray(48, 40, [](int c, int) { return c * 5; }),
                           "/data/valleys_m2.raw");
    main->Session().SetDemScale(10, "30");
    // A tree: a trunk along line 20, branches down column 10 and a diagonal.
    network = MakeGray(48, 40, [](int c, int l) {
      return (l == 20 || c == 10 || (c == l + 12 && l < 20)) ? 0 : 255;
    });
    main->ShowDrainageRaster(network, false);
    prompts.dialogs["DiagFractDimForm"] = Accept;
    prompts.dialogs["DiagDD3DForm"] = Accept;
  }

  void AnswerFractal(int window, int scale, bool wrapped) {
    prompts.dialogs["FractDrainageForm"] = Answer<TDrainageFractalDialog>([=](TDrainageFractalDialog& f) {
      Choose(f, window);
      Choose(f, scale);
      Place(f, wrapped ? ResultKind::kWrappedImage : ResultKind::kParameterImage);
      f.reject();  // closing it any way runs the treatment
    });
  }

  std::shared_ptr<TDemModel> dem;
  std::shared_ptr<TRasterImage> network;
};

TEST_F(MorphoCommandsTest, GlobalFractalShowsTheParameterImageAndItsDiagram) {
  AnswerFractal(12, 255, false);
  Trigger("DFRedGlobal1");
  auto expected = ComputeDrainageFractal(*network, {FractalMode::kGlobal, 12, 255});
  ASSERT_TRUE(expected);
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  ExpectSameImage(*main->Session().ParameterImage(), expected->image);
  EXPECT_EQ(main->Session().ParameterTitle(), " FRACTAL DIMENSION   MOVING WINDOW SIZE 12 ");
  EXPECT_EQ(main->Session().CaptionedTitle(), " FRACTAL DIMENSION   MOVING WINDOW SIZE 12   (1:1)");
  EXPECT_EQ(main->Session().Margin(), 7);
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);
  EXPECT_EQ(main->Session().DiagramKind(), DiagramKind::kDrainageFractalDimension);
  EXPECT_TRUE(main->IsEnabled("DiagSpeedButton") && main->IsEnabled("FractRed1"));
  EXPECT_TRUE(main->IsVisible("Configurationdelimpression1"));
  auto& diagram = DiagramWindow<TDrainageFractalDiagram>(*main);
  EXPECT_EQ(diagram.Counts(), expected->histogram);
  EXPECT_EQ(diagram.UpperBound(), expected->upperBound);
  EXPECT_EQ(diagram.TableText(), FractalDiagramTable(*expected));  // the CLI writes the same
  EXPECT_EQ(prompts.executed.back(), "DiagFractDimForm");
  EXPECT_TRUE(prompts.messages.empty());

  // The Diagram button opens the same window again.
  prompts.executed.clear();
  main->Action("DiagSpeedButton")->trigger();
  EXPECT_EQ(prompts.executed, std::vector<QString>{"DiagFractDimForm"});
}

TEST_F(MorphoCommandsTest, WrappedSegmentsReplaceTheDemPictureOnly) {
  AnswerFractal(24, 100, true);
  Trigger("FractalDimensionTreatment1");
  auto expected = ComputeDrainageFractal(*network, {FractalMode::kSegments, 24, 100});
  ASSERT_TRUE(expected);
  ASSERT_NE(main->Session().DisplayedRaster(), nullptr);
  ExpectSameImage(*main->Session().DisplayedRaster(), expected->image);
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().DiagramKind(), DiagramKind::kDrainageFractalDimension);
  // The dialog keeps the choices for the next run.
  const auto& form = FrameChild<TDrainageFractalDialog>(*main);
  EXPECT_EQ(form.WindowSize(), 24);
  EXPECT_TRUE(form.findChild<QRadioButton*>("RadioButton2")->isChecked());
  EXPECT_FALSE(form.findChild<QRadioButton*>("RadioButton1")->isChecked());
}

TEST_F(MorphoCommandsTest, EmptyNetworkIsReportedAndProducesNothing) {
  main->ShowDrainageRaster(MakeGray(48, 40, [](int, int) { return 255; }), false);
  AnswerFractal(12, 100, false);
  Trigger("DFRedGlobal1");
  EXPECT_TRUE(prompts.SaidOnlyWith("255"));
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);
  EXPECT_NE(prompts.executed.back(), "DiagFractDimForm");
}

// A network opened before any DEM: the treatments that read only the network and the
// parameter image run on it.
TEST_F(MainFormTest, NetworkTreatmentsRunWithoutADem) {
  auto network = MakeGray(48, 40, [](int c, int l) { return (l == 20 || c == 10) ? 0 : 255; });
  main->ShowDrainageRaster(network, false);
  prompts.dialogs["DiagFractDimForm"] = Accept;
  prompts.dialogs["FractDrainageForm"] = Answer<TDrainageFractalDialog>([](TDrainageFractalDialog& f) {
    Choose(f, 12);
    Choose(f, 255);
    Place(f, ResultKind::kParameterImage);
    f.accept();
  });
  Trigger("DFRedGlobal1");
  auto expected = ComputeDrainageFractal(*network, {FractalMode::kGlobal, 12, 255});
  ASSERT_TRUE(expected);
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  ExpectSameImage(*main->Session().ParameterImage(), expected->image);
  Trigger("ParameterImage1");
  EXPECT_EQ(testing::Pixel(*main->Session().ParameterImage(), 10, 5), 0);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(MorphoCommandsTest, Dissection3DGrayResultAndItsTwoCurves) {
  AnswerDissection(prompts, "7", kGrayTones0255, ResultKind::kParameterImage);
  Trigger("DissectionDensity3DTreatment1");
  auto expected = ComputeDissection3D(*dem, *network, {7, 10, 30});
  ASSERT_TRUE(expected);
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  ExpectSameImage(*main->Session().ParameterImage(),
                   Dissection3DImage(*expected, kGrayTones0255, TClassTable(), false));
  EXPECT_TRUE(main->Session().ParameterTitle().startsWith(" 3D DISSECTION DENSITY   MOVING WINDOW SIZE "));
  EXPECT_TRUE(main->Session().ParameterTitle().endsWith(" km"));
  EXPECT_EQ(main->Session().Margin(), 1);
  EXPECT_EQ(main->Session().DiagramKind(), DiagramKind::kDissectionDensity3D);
  EXPECT_TRUE(main->IsEnabled("DiagDD3D1"));
  auto& diagram = DiagramWindow<TDissection3DDiagram>(*main);
  EXPECT_EQ(diagram.Counts2D(), expected->histogram2D);
  EXPECT_EQ(diagram.Counts3D(), expected->histogram3D);
  EXPECT_EQ(diagram.Bound(), expected->upperBound);
  EXPECT_EQ(prompts.executed.back(), "DiagDD3DForm");
}

TEST_F(MorphoCommandsTest, Dissection3DCancelledOrWithoutUnit) {
  AnswerWindowSize(prompts, "5", false);
  Trigger("DissectionDensity3DTreatment1");
  EXPECT_EQ(prompts.executed, (std::vector<QString>{"DDFen"}));
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);
  // Nothing was computed: the title of the current parameter image stays.
  EXPECT_EQ(main->Session().ParameterTitle(), "");

  // A DEM whose dynamic scale was never completed has no unit: said, not divided by zero.
  main->Session().SetDemScale(0, "30");
  AnswerWindowSize(prompts, "5");
  Trigger("DissectionDensity3DTreatment1");
  EXPECT_TRUE(prompts.SaidOnlyWith("vertical unit"));
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);
}

TEST_F(MorphoCommandsTest, RatioDepthFromTheMenu) {
  AnswerWindowSize(prompts, "5");
  prompts.dialogs["RatioDepthForm"] = Answer<TRatioOfDepthsDialog>([](TRatioOfDepthsDialog& f) {
    Choose(f, 100);
    Place(f, ResultKind::kParameterImage);
    f.accept();
  });
  Trigger("RatioDepthTreatment1");
  ASSERT_NE(main->Session().ParameterImage(), nullptr);  // its values: the parity test
  EXPECT_TRUE(main->Session().ParameterTitle().startsWith(" DEPTH DRAINAGE/SURFACE   GRID SIZE "));
  EXPECT_EQ(main->Session().Margin(), 2);
  ExpectEnabled(*main, {"GrayHisto1", "OpenPalette1"}, true);

  // "Cancel" in the second dialog stops the treatment.
  const auto before = main->Session().ParameterImage();
  prompts.dialogs["RatioDepthForm"] =
      Answer<QDialog>([](QDialog& d) { d.findChild<QPushButton*>("BitBtn2")->click(); });
  Trigger("RatioDepthTreatment1");
  EXPECT_EQ(main->Session().ParameterImage(), before);
}

TEST_F(MorphoCommandsTest, DialogsStartAsDescribed) {
  const auto& ratio = FrameChild<TRatioOfDepthsDialog>(*main);
  EXPECT_EQ(ratio.windowTitle(), "  DRAINAGE/SURFACE");
  EXPECT_TRUE(ratio.findChild<QRadioButton*>("RadioButton2")->isChecked());
  EXPECT_TRUE(ratio.findChild<QRadioButton*>("RadioButton3")->isChecked());
  EXPECT_EQ(ratio.DynamicScale(), 255);
  const auto& fractal = FrameChild<TDrainageFractalDialog>(*main);
  EXPECT_EQ(fractal.windowTitle(), " DRAINAGE NETWORK FRACTAL");
  EXPECT_EQ(fractal.WindowSize(), 12);
  EXPECT_EQ(fractal.DynamicScale(), 100);
  EXPECT_EQ(fractal.Placement(), ResultKind::kParameterImage);

  Trigger("FractalDimensionInfo1");
  EXPECT_EQ(prompts.executed.back(), "InfoFractDimRiverForm");
  const auto& info = *main->findChild<QDialog*>("InfoFractDimRiverForm");
  EXPECT_EQ(info.windowTitle(), " FRACTAL DIMENSION COMPUTATION");
  QStringList texts;
  for (const QLabel* label : info.findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("inverse of the slope"));
  EXPECT_TRUE(texts.contains("moving window."));
  // The box-counting figure ships with the program.
  EXPECT_FALSE(info.findChild<QLabel*>("BoxCountingPicture")->pixmap().isNull());
}

// Grey values of the parameter image inside the margin: lowest and highest.
std::pair<int, int> Extremes(const TRasterImage& image, int margin) {
  int lo = 255, hi = 0;
  for (int l = margin; l < image.lines - margin; ++l)
    for (int c = margin; c < image.columns - margin; ++c) {
      lo = std::min(lo, testing::Pixel(image, c, l));
      hi = std::max(hi, testing::Pixel(image, c, l));
    }
  return {lo, hi};
}

using MorphoSession = SampleSessionTest;

TEST_F(MorphoSession, TheThreeTreatmentsOnTheSampleDemNetwork) {
  AnswerExtraction(prompts, "1", "4", 1);
  main->Action("ExtractDrainageNetwork1")->trigger();
  ASSERT_NE(main->Session().DrainageRaster(), nullptr);
  ASSERT_TRUE(main->IsEnabled("DrainageNetworkParameters1"));

  // Fractal dimension, global, window 24, scale 255.
  prompts.dialogs["FractDrainageForm"] = Answer<TDrainageFractalDialog>([](TDrainageFractalDialog& form) {
    Choose(form, 24);
    Choose(form, 255);
    ShowFor(form, "morpho_fractal_dialog.png", 100);
    form.accept();
  });
  prompts.dialogs["DiagFractDimForm"] = ShowAndAccept("morpho_fractal_diagram.png");
  main->Action("DFRedGlobal1")->trigger();
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(Extremes(*main->Session().ParameterImage(), 13), std::make_pair(0, 255));
  EXPECT_GT(DiagramWindow<TDrainageFractalDiagram>(*main).UpperBound(), 150);
  ShotTiled("morpho_fractal_global.png");

  // Drainage segments, window 12: only network pixels get a dimension.
  prompts.dialogs["FractDrainageForm"] = Answer<TDrainageFractalDialog>([](TDrainageFractalDialog& form) {
    Choose(form, 12);
    form.accept();
  });
  prompts.dialogs["DiagFractDimForm"] = ShowAndAccept("morpho_segments_diagram.png");
  main->Action("FractalDimensionTreatment1")->trigger();
  EXPECT_EQ(main->Session().Margin(), 1);

  // 3D dissection density, window 11, coloured classes spread over the range.
  AnswerWindowSize(prompts, "11");
  prompts.dialogs["DDPaletteFen"] = Answer<TClassPaletteDialog>([](TClassPaletteDialog& palette) {
    palette.SelectPalette(kColoredPalette);
    palette.SetScale(true);
    palette.SetSmoothing(true);
    palette.ChoosePlacement(ResultKind::kParameterImage);
    ShowFor(palette, "morpho_dd3d_palette.png", 100);
    palette.OkClick();
  });
  prompts.dialogs["DiagDD3DForm"] = ShowAndAccept("morpho_dd3d_diagram.png");
  main->Action("DissectionDensity3DTreatment1")->trigger();
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().ParameterImage()->kind, kRasterRgb);
  EXPECT_EQ(main->Session().DiagramKind(), DiagramKind::kDissectionDensity3D);
  ShotFrame("morpho_dd3d.png");

  // Ratio depth, window 11, scale 255, as a parameter image.
  prompts.dialogs["RatioDepthForm"] = Answer<TRatioOfDepthsDialog>([](TRatioOfDepthsDialog& form) {
    ShowFor(form, "morpho_ratio_dialog.png", 100);
    form.accept();
  });
  main->Action("RatioDepthTreatment1")->trigger();
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  const auto [lo, hi] = Extremes(*main->Session().ParameterImage(), 5);
  EXPECT_EQ(lo, 0);
  EXPECT_GT(hi, 200);
  ShotFrame("morpho_ratio_depth.png");
  EXPECT_TRUE(prompts.messages.empty());

  // The info window.
  prompts.dialogs["InfoFractDimRiverForm"] = ShowAndAccept("morpho_fractal_info.png");
  main->Action("FractalDimensionInfo1")->trigger();
}

}  // namespace
}  // namespace orvane::test
