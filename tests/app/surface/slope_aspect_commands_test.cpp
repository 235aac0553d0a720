// Slope and aspect from the menus, the direction histogram, the gray histogram and the diagram
// windows, on a small DEM; then every mode on the sample DEM as a user runs them, compared with
// the core's results, with the legends, the saved tables, the raw save and the pictures of the
// documentation (ORVANE_SHOTS, see support/app_session.h).

#include <QAbstractButton>
#include <QCheckBox>
#include <optional>

#include "app/display/class_legend.h"
#include "app/display/diagram_forms.h"
#include "app/surface/surface_forms.h"
#include "core/render/histogram_table.h"
#include "core/surface/aspect.h"
#include "core/surface/slope.h"
#include "core/terrain/raster_file.h"
#include "support/app_session.h"
#include "support/compare.h"

namespace orvane::test {
namespace {

using testing::ExpectSameImage;

void Click(QDialog& d, const char* name) { d.findChild<QAbstractButton*>(name)->click(); }

class SlopeAspectCommandsTest : public MainFormTest {
 protected:
  TSlopeDialog& SlopeDialog() { return *main->findChild<TSlopeDialog*>(); }
  TAspectDialog& AspectDialog() { return *main->findChild<TAspectDialog*>(); }
};

// The colour and plain gray pictures are compared on the sample DEM below; here what the
// small DEM adds: a dialog closed with "Delete", gray tones blended with the relief, wrapping.
TEST_F(SlopeAspectCommandsTest, SlopeCancelledGrayWithShadowOrWrapped) {
  InstallDem();
  main->Action("SlopeTreatment1")->trigger();  // no answer: "Delete"
  EXPECT_FALSE(main->Session().ParameterImage());
  EXPECT_EQ(prompts.executed.back(), "PentesForm");

  prompts.dialogs["PentesForm"] = AcceptAfter<QDialog>([](QDialog& d) {
    static_cast<TSlopeDialog&>(d).ChooseType(3);
    Click(d, "Norm255RadioButton");
    Click(d, "SlopeShadRadioButton");
  });
  main->Action("SlopeTreatment1")->trigger();
  const auto shaded = main->Session().ParameterImage();
  ASSERT_TRUE(shaded);
  auto slope = ComputeSlope(*main->Session().CurrentDem(), {.grayTones = true, .normalization = 255});
  ExpectSameImage(*shaded, *slope->image->Blend(*main->Session().OpeningRelief(), 0.5));
  EXPECT_EQ(main->Session().CaptionedTitle(), " SLOPE   (1:1)");
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);
  EXPECT_TRUE(main->IsEnabled("GrayHisto1"));
  EXPECT_EQ(SlopeDialog().Normalization(), 255);

  const auto before = main->Session().ViewStates().Current();
  prompts.dialogs["PentesForm"] = AcceptAfter<QDialog>([](QDialog& d) {
    static_cast<TSlopeDialog&>(d).ChooseType(1);
    Click(d, "WrappedRadioButton");
  });
  main->Action("SlopeTreatment1")->trigger();
  EXPECT_EQ(main->Session().ParameterImage(), shaded);
  ASSERT_NE(main->Session().ViewStates().Current(), before);
  EXPECT_EQ(main->Session().ViewStates().Current()->raster->kind, kRasterRgb);
}

TEST_F(SlopeAspectCommandsTest, SlopeDialogTablesAndGrayTones) {
  TSlopeDialog& form = SlopeDialog();
  EXPECT_EQ(form.windowTitle(), " SLOPES");
  EXPECT_EQ(form.TypeIndex(), 1);
  EXPECT_EQ(form.Table(), SlopeTable(2));
  EXPECT_EQ(form.Legend().CurrentLegend().labels.size(), 7u);
  form.ChooseType(3);
  EXPECT_TRUE(form.Table().empty());
  EXPECT_EQ(form.Legend().height(), 20);
  form.ChooseType(0);
  EXPECT_EQ(form.Table().count(), 14);
  EXPECT_EQ(form.Normalization(), 90);
  EXPECT_FALSE(form.findChild<QAbstractButton*>("Norm180RadioButton")->isEnabled());
}

TEST_F(SlopeAspectCommandsTest, AspectFillsTheDirectionHistogramAndEnablesItsButton) {
  InstallDem(30, 20);
  EXPECT_FALSE(main->IsEnabled("AspectSpeedButton"));
  prompts.dialogs["AspectFen"] =
      AcceptAfter<QDialog>([](QDialog& d) { Click(d, "OrientationShadRadioButton"); });
  main->Action("AspectTreatment1")->trigger();
  ASSERT_TRUE(main->Session().ParameterImage());
  auto aspect = ComputeAspect(*main->Session().CurrentDem(), {.table = AspectPaintingPalette()});
  ASSERT_TRUE(aspect);
  ExpectSameImage(*main->Session().ParameterImage(), *aspect->image->Blend(*main->Session().OpeningRelief(), 0.5));
  EXPECT_TRUE(main->IsEnabled("AspectSpeedButton"));
  EXPECT_EQ(main->Session().CaptionedTitle(), " ASPECT   (1:1)");
  TDirectionHistogramWindow& dir = DiagramWindow<TDirectionHistogramWindow>(*main);
  EXPECT_EQ(dir.TableText(), DirectionTable(aspect->histogram));
  main->Action("AspectSpeedButton")->trigger();
  EXPECT_EQ(prompts.executed.back(), "HistDirForm");
  // A treatment that starts hides the direction histogram.
  dir.show();
  main->BeginTreatment(" X ");
  EXPECT_FALSE(dir.isVisible());
}

TEST_F(SlopeAspectCommandsTest, GrayAspectIsNotBlendedAndKeepsTheCheckedNormalization) {
  InstallDem(30, 20);
  TAspectDialog& fen = AspectDialog();
  fen.ChoosePalette(1);
  EXPECT_EQ(fen.Normalization(), 360);  // no button clicked yet
  fen.findChild<QAbstractButton*>("Norm90RadioButton")->click();
  fen.ChoosePalette(0);
  EXPECT_EQ(fen.Normalization(), 360);
  fen.ChoosePalette(1);
  EXPECT_EQ(fen.Normalization(), 90);  // the button still checked
  prompts.dialogs["AspectFen"] = AcceptAfter<QDialog>([](QDialog&) {});
  main->Action("AspectTreatment1")->trigger();
  auto aspect = ComputeAspect(*main->Session().CurrentDem(), {.grayTones = true, .normalization = 90});
  ExpectSameImage(*main->Session().ParameterImage(), *aspect->image);
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);
}

TEST_F(SlopeAspectCommandsTest, GrayHistogramAndDiagramButtonsOpenTheirWindows) {
  InstallDem(12, 10);
  main->ShowParameterImage(MakeGray(12, 10, [](int c, int l) { return c == 0 || l == 0 ? 7 : 100; }),
                           " T ", 1, DisplayMode::kGray);
  main->Action("GrayHisto1")->trigger();
  EXPECT_EQ(prompts.executed.back(), "HistoGrisForm");
  const TGrayHistogram counts = DiagramWindow<TGrayHistogramWindow>(*main).Counts();
  EXPECT_EQ(counts[7], 0);  // the ring lies in the margin
  EXPECT_EQ(counts[100], 10 * 8);
  main->Action("DiagSpeedButton")->trigger();  // diagram kind 0: nothing
  EXPECT_EQ(prompts.executed.back(), "HistoGrisForm");
  main->Session().SetDiagramKind(DiagramKind::kDissectionDensity);
  main->Action("DiagSpeedButton")->trigger();
  EXPECT_EQ(prompts.executed.back(), "DiagDDForm");
  main->Session().SetDiagramKind(DiagramKind::kDrainageFractalDimension);
  const std::size_t before = prompts.executed.size();
  main->Action("FractRed1")->trigger();
  ASSERT_EQ(prompts.executed.size(), before + 1);  // opened once
  EXPECT_EQ(prompts.executed.back(), "DiagFractDimForm");
}

using SlopeSession = SampleSessionTest;

TEST_F(SlopeSession, EveryModeOfSlopeAndAspectOnTheSampleDem) {
  const TDemModel& dem = *main->Session().CurrentDem();
  auto relief = main->Session().OpeningRelief();
  ASSERT_TRUE(relief);
  // The slope dialog: table `type` (3 for gray tones), these buttons clicked, the smoothing
  // set when given, a picture when named.
  const auto answerSlope = [&](int type, std::vector<const char*> buttons,
                               std::optional<bool> smooth = {}, const char* shot = nullptr) {
    prompts.dialogs["PentesForm"] = Answer<TSlopeDialog>([=](TSlopeDialog& form) {
      form.ChooseType(type);
      if (smooth) form.findChild<QCheckBox*>("LissageCheckBox")->setChecked(*smooth);
      for (const char* button : buttons) Click(form, button);
      if (shot) ShowFor(form, shot);
      form.accept();
    });
    main->Action("SlopeTreatment1")->trigger();
  };
  const auto slopeOf = [&](int table, bool smooth, int grayNormalization = 0) {
    TSlopeParams p;
    if (table) p.table = SlopeTable(table);
    p.smoothing = smooth;
    p.grayTones = grayNormalization != 0;
    if (grayNormalization) p.normalization = grayNormalization;
    auto slope = ComputeSlope(dem, p);
    EXPECT_TRUE(slope);
    return std::move(slope->image);
  };

  // Slope: the three tables plain and smoothed.
  for (int type = 0; type < 3; ++type) {
    for (bool smooth : {false, true}) {
      SCOPED_TRACE(std::to_string(type) + (smooth ? " smoothed" : ""));
      answerSlope(type, {"SlopeRadioButton", "ParamRadioButton"}, smooth,
                  type == 0 && smooth   ? "slope_dialog_table1_smooth.png"
                  : type == 1 && !smooth ? "slope_dialog_table2.png"
                                         : nullptr);
      ASSERT_TRUE(main->Session().ParameterImage());
      ExpectSameImage(*main->Session().ParameterImage(), *slopeOf(type + 1, smooth));
      if (type == 1 && !smooth) ShotTiled("slope_table2.png", 120);
      if (type == 0 && smooth) ShotTiled("slope_table1_smooth.png", 120);
    }
  }

  // Slope and Shadow with Table 2.
  answerSlope(1, {"SlopeShadRadioButton"}, false);
  ExpectSameImage(*main->Session().ParameterImage(), *slopeOf(2, false)->Blend(*relief, 0.5));
  ShotTiled("slope_and_shadow.png", 120);

  // Gray tones in the three normalizations, below 255 with every one.
  for (const char* button : {"Norm90RadioButton", "Norm180RadioButton", "Norm255RadioButton"}) {
    answerSlope(3, {button}, {}, QString(button) == "Norm180RadioButton" ? "slope_dialog_gray.png" : nullptr);
    EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray) << button;
  }
  EXPECT_EQ(CountPixels(*main->Session().ParameterImage(), [](int v) { return v > 254; }), 0);
  ShotTiled("slope_gray255.png", 120);

  // The raw save is the core's raw file.
  answerSlope(3, {"Norm180RadioButton"});
  TriggerWith("SaveParameter", TempPath("slope_gray180"), 1);
  ASSERT_TRUE(SaveRasterRaw(*slopeOf(0, false, 180), TempPath("core").toStdString(), 90));
  EXPECT_EQ(ReadAll(TempPath("slope_gray180.raw")), ReadAll(TempPath("core.raw")));
  EXPECT_EQ(ReadAll(TempPath("slope_gray180.txt")), ReadAll(TempPath("core.txt")));

  // The gray histogram of the gray slope, saved as a table.
  prompts.dialogs["HistoGrisForm"] = AcceptAfter<TDiagramForm>([&](TDiagramForm& d) {
    ShowFor(d, "gray_histogram.png");
    prompts.files.push_back({TempPath("gray"), 1});
    d.SaveClick();
  });
  main->Action("HistoGrSpeedButton")->trigger();
  EXPECT_EQ(ReadAll(TempPath("gray.xls")).toStdString(),
            GrayHistogramTable(GrayLevelHistogram(*main->Session().ParameterImage(), 0)));

  // Wrapped: the DEM window shows the slope, the parameter image stays.
  const auto parameter = main->Session().ParameterImage();
  answerSlope(2, {"WrappedRadioButton"});
  EXPECT_EQ(main->Session().ParameterImage(), parameter);
  EXPECT_EQ(main->Session().ViewStates().Current()->raster->kind, kRasterRgb);
  ShotTiled("slope_wrapped.png", 120);

  // Aspect: painting palette with shadow and smoothing, then the direction histogram.
  prompts.dialogs["AspectFen"] = Answer<TAspectDialog>([](TAspectDialog& fen) {
    fen.ChoosePalette(0);
    fen.findChild<QCheckBox*>("LissageCheckBox")->setChecked(true);
    Click(fen, "OrientationShadRadioButton");
    Click(fen, "ParamRadioButton");
    ShowFor(fen, "aspect_dialog_painting_smooth.png");
    fen.accept();
  });
  main->Action("AspectTreatment1")->trigger();
  auto aspect = ComputeAspect(dem, {.table = AspectPaintingPalette(), .smoothing = true});
  ASSERT_TRUE(aspect);
  ExpectSameImage(*main->Session().ParameterImage(), *aspect->image->Blend(*relief, 0.5));
  ShotTiled("aspect_painting_shadow.png", 120);
  ASSERT_TRUE(main->IsEnabled("AspectSpeedButton"));
  prompts.dialogs["HistDirForm"] = AcceptAfter<TDiagramForm>([&](TDiagramForm& d) {
    ShowFor(d, "aspect_direction_histogram.png");
    prompts.files.push_back({TempPath("directions"), 2});
    d.SaveClick();
  });
  main->Action("AspectSpeedButton")->trigger();
  EXPECT_EQ(ReadAll(TempPath("directions.ts")).toStdString(), DirectionTable(aspect->histogram));

  // Aspect in gray tones, every normalization.
  for (int n : {18, 36, 90, 180, 255}) {
    SCOPED_TRACE(n);
    prompts.dialogs["AspectFen"] = Answer<TAspectDialog>([n](TAspectDialog& fen) {
      fen.ChoosePalette(1);
      Click(fen, QStringLiteral("Norm%1RadioButton").arg(n).toLatin1().constData());
      fen.accept();
    });
    main->Action("AspectTreatment1")->trigger();
    ExpectSameImage(*main->Session().ParameterImage(),
                    *ComputeAspect(dem, {.grayTones = true, .normalization = n})->image);
    if (n == 255) ShotTiled("aspect_gray255.png", 120);
  }

  // The info windows.
  prompts.dialogs["InfoSlopeCalcForm"] = ShowAndAccept("slope_info.png");
  main->Action("SlopeInfo1")->trigger();
  prompts.dialogs["InfoAspectCalcForm"] = ShowAndAccept("aspect_info.png");
  main->Action("AspectInfo1")->trigger();
  EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
}  // namespace orvane::test
