// The drainage commands from the menus: the network extraction, the four dissection densities
// with their dialogs and diagram, the headwaters density and the incrusting, on a small DEM of
// valleys; then on the sample DEM as a new user runs them, with the pictures of the
// documentation (ORVANE_SHOTS, see support/app_session.h).
#include <QPushButton>
#include <cmath>
#include <functional>
#include <numeric>

#include "app/display/diagram_forms.h"
#include "app/drainage/drainage_forms.h"
#include "app/morphometry/morphometry_forms.h"
#include "app/shell/window_size_dialog.h"
#include "core/drainage/density_image.h"
#include "core/drainage/drainage_extraction.h"
#include "core/drainage/incrust.h"
#include "core/treatment/treatment_registry.h"
#include "support/app_session.h"
#include "support/compare.h"

namespace orvane::test {
namespace {

class DrainageCommandsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    // Valleys every 8 columns: V-shaped troughs along the lines.
    auto dem = MakeDem(48, 40, [](int c, int l) { return 200 + 5 * std::abs(c % 8 - 4) + l / 4; });
    auto relief = MakeGray(48, 40, [](int c, int) { return c * 5; });
    main->InstallOpenedDem(dem, relief, "/data/valleys_m2.raw");
    main->Session().SetDemScale(0, "90");  // no unit chosen
  }

  // A network of value 0: a horizontal line and a vertical line.
  void ShowNetwork() {
    main->ShowDrainageRaster(MakeGray(48, 40, [](int c, int l) { return (l == 20 || c == 10) ? 0 : 255; }),
                             false);
  }
};

TEST_F(DrainageCommandsTest, ExtractionFromTheMenuShowsAYellowNetwork) {
  AnswerExtraction(prompts, "1", "3", kNetworkYellow);
  Trigger("ExtractDrainageNetwork1");
  const auto net = main->Session().DrainageRaster();
  ASSERT_NE(net, nullptr);
  EXPECT_EQ(net->kind, kRasterRgb);
  int yellow = 0, white = 0;
  for (int l = 0; l < net->lines; ++l) {
    for (int c = 0; c < net->columns; ++c) {
      yellow += testing::ColourAt(*net, c, l) == Rgb(255, 255, 0);
      white += testing::ColourAt(*net, c, l) == TColor{255, 255, 255};
    }
  }
  EXPECT_GT(yellow, 40);
  EXPECT_EQ(yellow + white, 48 * 40);
  ExpectEnabled(*main, {"SaveDrainage1", "SaveRiverSpeedButton", "DrainageNetworkParameters1"}, true);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(DrainageCommandsTest, ExtractionDialogRefusesBadRangesAndCancelExtractsNothing) {
  const struct {
    const char* lower;
    const char* upper;
    const char* message;
  } cases[] = {{"", "4", "No Lower Range "},
               {"2", "x", "No Window Ranges"},
               {"3", "3", "The Upper Range is not greater than the Lower Range"}};
  for (const auto& c : cases) {
    AnswerExtraction(prompts, c.lower, c.upper);
    Trigger("ExtractDrainageNetwork1");
    EXPECT_TRUE(prompts.SaidOnly(c.message, "ERROR"));
    EXPECT_EQ(main->Session().DrainageRaster(), nullptr);  // the dialog stayed open: nothing extracted
  }
  prompts.dialogs["ExtractRiv"] = Answer<TDrainageExtractionDialog>([](TDrainageExtractionDialog& riv) {
    TypeIn(riv, "LREdit", "1");
    TypeIn(riv, "UREdit", "4");
    riv.findChild<QPushButton*>("CancelBitBtn")->click();
  });
  Trigger("ExtractDrainageNetwork1");
  EXPECT_EQ(main->Session().DrainageRaster(), nullptr);
}

TEST_F(DrainageCommandsTest, GridDissectionDensityInGrayWithItsDiagram) {
  ShowNetwork();
  AnswerDissection(prompts, "8", kGrayTones0255, ResultKind::kParameterImage);
  Trigger("PixelDensity1");
  const auto image = main->Session().ParameterImage();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->kind, kRasterGray);
  EXPECT_EQ(main->Session().ParameterTitle(), " PIXEL DENSITY   GRID SIZE 0.720 x 0.720 km");
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);
  EXPECT_EQ(main->Session().Margin(), 1);
  EXPECT_EQ(main->Session().DiagramKind(), DiagramKind::kDissectionDensity);
  ExpectEnabled(*main, {"DiagDD1", "GrayHisto1"}, true);
  // Blocks of 8 over 48 x 40: 6 x 5 blocks; the densest holds two crossing lines (15 cells).
  TDissectionDiagram& diagram = DiagramWindow<TDissectionDiagram>(*main);
  EXPECT_EQ(diagram.Bound(), static_cast<int>(10 * (15.0 / 64.0 * 100.0)));
  EXPECT_EQ(std::accumulate(diagram.Counts().begin(), diagram.Counts().end(), 0), 30);
  EXPECT_EQ(testing::Pixel(*image, 10, 20), 254);  // the densest block: maximum / range x 254 with minimum 0
  EXPECT_EQ(prompts.executed.back(), "DiagDDForm");
}

TEST_F(DrainageCommandsTest, MovingDensityColouredOrWrappedAndDeleteStopsTheTreatment) {
  ShowNetwork();
  AnswerDissection(prompts, "5", kColoredPalette, ResultKind::kParameterImage);
  Trigger("DrainageLength2");
  auto image = main->Session().ParameterImage();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->kind, kRasterRgb);
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kColour);
  EXPECT_FALSE(main->IsEnabled("OpenPalette1"));
  EXPECT_EQ(testing::ColourAt(*image, 0, 0), TColor(255, 255, 255));

  // Wrapped: the result goes to the DEM window and, for a moving window, becomes current too.
  AnswerDissection(prompts, "5", kColoredPalette, ResultKind::kWrappedImage);
  Trigger("PixelDensity2");
  EXPECT_EQ(main->Session().DisplayedRaster(), main->Session().ParameterImage());

  // "Delete" in the window-size dialog: no image, no diagram.
  const auto before = main->Session().ParameterImage();
  prompts.dialogs["DDFen"] =
      Answer<QDialog>([](QDialog& d) { d.findChild<QPushButton*>("DelBitBtn")->click(); });
  prompts.executed.clear();
  Trigger("PixelDensity1");
  EXPECT_EQ(main->Session().ParameterImage(), before);
  EXPECT_EQ(prompts.executed, std::vector<QString>{"DDFen"});

  // A window of 1 is refused, as the command line refuses it, rather than dividing by zero.
  AnswerDissection(prompts, "1", kColoredPalette, ResultKind::kParameterImage);
  Trigger("DrainageLength1");
  ASSERT_FALSE(prompts.messages.empty());
  EXPECT_TRUE(prompts.messages.back().text.startsWith("Value ")) << prompts.messages.back().text.toStdString();
}

TEST_F(DrainageCommandsTest, DialogsAreSharedAndKeepTheirValues) {
  TWindowSizeDialog& window = WindowSizeDialogOf(*main);
  EXPECT_EQ(&window, &WindowSizeDialogOf(*main));
  window.SetPixelSize(90);
  window.SetWindowSizeText("51");
  EXPECT_EQ(WindowSizeDialogOf(*main).WindowSize(), 51);
  EXPECT_FLOAT_EQ(WindowSizeDialogOf(*main).WindowSideKm(), 4.59f);
  EXPECT_EQ(window.SideText(), "4.590 x 4.590 km");

  // Choosing "Gray Tones (0, 255)" and leaving with "Delete" keeps the coloured table.
  TClassPaletteDialog& palette = DensityPaletteDialogOf(*main);
  palette.SelectPalette(kGrayTones0255);
  palette.DeleteClick();
  EXPECT_EQ(palette.PaletteChoice(), kColoredPalette);
  EXPECT_EQ(palette.ClassTable().count(), 10);
  palette.SetMinMaxText("0", "50");
  palette.SetScale(true);
  EXPECT_FLOAT_EQ(palette.ClassTable()[0].bound, 5.0f);
  palette.SetScale(false);
  EXPECT_FLOAT_EQ(palette.ClassTable()[0].bound, 10.0f);

  prompts.dialogs["AboutVennotForm"] = Accept;
  Trigger("DiesstionDensityInfo1");
  EXPECT_EQ(prompts.executed.back(), "AboutVennotForm");
  EXPECT_EQ(main->findChild<QDialog*>("AboutVennotForm")->windowTitle(), "About this Parameter");
}

TEST_F(DrainageCommandsTest, HeadwatersDensityAndIncrusting) {
  // Incrusting before any parameter image: a message, nothing else.
  ShowNetwork();
  Trigger("ParameterImage1");
  EXPECT_TRUE(prompts.SaidOnly(QString(kNoParameterImageMessage)));
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);

  AnswerHeadwaters(prompts, "3", 255);
  Trigger("Headwaterstreatment1");
  auto image = main->Session().ParameterImage();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->kind, kRasterGray);
  EXPECT_EQ(main->Session().Margin(), 4);
  EXPECT_EQ(main->Session().ParameterTitle(), " HEADWATERS DENSITY   MOVING WINDOW SIZE 0.630 x 0.630 km");
  EXPECT_DOUBLE_EQ(FrameChild<THeadwatersDialog>(*main).SideKm(), 90 * 7 * 0.001);

  // Incrusting burns the network in black; twice is the same as once.
  Trigger("ParameterImage1");
  auto once = main->Session().ParameterImage();
  ASSERT_NE(once, image);
  EXPECT_EQ(testing::Pixel(*once, 10, 5), 0);
  Trigger("ParameterImage1");
  testing::ExpectSameImage(*main->Session().ParameterImage(), *once);
  EXPECT_EQ(main->Session().Margin(), 4);
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);
}

// Each network treatment from its menu, over a DEM with a void, shows the picture and keeps the
// values the command line writes: NaN and the NoData colour where the treatment's rule puts
// them, the colours chosen after the run drawn as the one-pass run draws them.
TEST_F(DrainageCommandsTest, MenuResultsOverAVoidAreTheCommandLines) {
  const std::shared_ptr<TDemModel> dem = main->Session().CurrentDemShared();
  std::vector<std::uint8_t> valid(48 * 40, 1);
  for (int l = 12; l < 22; ++l)
    for (int c = 20; c < 32; ++c) valid[static_cast<std::size_t>(l) * 48 + c] = 0;
  ASSERT_TRUE(dem->SetValidity(std::move(valid)));
  main->Session().SetDemScale(1, "90");
  ShowNetwork();
  prompts.dialogs["DiagDD3DForm"] = Accept;
  auto headwaters = [this] { AnswerHeadwaters(prompts, "3", 255); };
  auto ratio = [this] {
    AnswerWindowSize(prompts, "5");
    prompts.dialogs["RatioDepthForm"] = Accept;
  };
  const struct {
    const char* action;
    const TreatmentDescriptor& treatment;
    std::function<void()> answer;
    std::vector<std::pair<const char*, double>> args;
  } rows[] = {
      {"PixelDensity1", kDissectionTreatment,
       [this] { AnswerDissection(prompts, "8", kGrayTones0255, ResultKind::kParameterImage); },
       {{"tiling", 0}, {"measure", 0}, {"window", 8}, {"palette", kGrayTones0255}}},
      {"DrainageLength2", kDissectionTreatment,
       [this] { AnswerDissection(prompts, "5", kColoredPalette, ResultKind::kParameterImage); },
       {{"tiling", 1}, {"measure", 1}, {"window", 5}}},
      {"DissectionDensity3DTreatment1", kDissection3DTreatment,
       [this] { AnswerDissection(prompts, "7", kGrayTones0255, ResultKind::kParameterImage); },
       {{"window", 7}, {"palette", kGrayTones0255}}},
      {"Headwaterstreatment1", kHeadwatersTreatment, headwaters, {{"hws", 3}, {"scale", 255}}},
      {"RatioDepthTreatment1", kRatioDepthTreatment, ratio, {{"window", 5}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.action);
    row.answer();
    Trigger(row.action);
    TreatmentArgs args;
    for (const auto& [name, value] : row.args) args.Set(name, value);
    ASSERT_TRUE(CompleteArgs(row.treatment, args));
    const TreatmentInputs in{
        .dem = dem.get(), .drainage = main->Session().DrainageRaster().get(), .wholeMetres = 90};
    auto cli = row.treatment.run(in, args, kOutputPicture | kOutputValues, nullptr);
    ASSERT_TRUE(cli) << cli.error().message;
    ASSERT_NE(main->Session().ParameterImage(), nullptr);
    testing::ExpectSameImage(*main->Session().ParameterImage(), *cli->picture);
    const auto& shown = main->Session().ResultValues().grid;
    ASSERT_TRUE(shown && cli->values);
    ASSERT_EQ(shown->values.size(), cli->values->values.size());
    int differing = 0;
    for (std::size_t k = 0; k < shown->values.size(); ++k) {
      const float a = shown->values[k], b = cli->values->values[k];
      differing += !(a == b || (std::isnan(a) && std::isnan(b)));
    }
    EXPECT_EQ(differing, 0);
    EXPECT_TRUE(std::isnan(shown->At(25, 16)));  // inside the void
    EXPECT_TRUE(main->Session().ParameterImage()->IsNoData(25, 16));
  }
  EXPECT_TRUE(prompts.messages.empty());
}

using DrainageSession = SampleSessionTest;

TEST_F(DrainageSession, ExtractDensitiesAndIncrustOnTheSampleDem) {
  // Extraction: ranges 1 .. 6, a blue network.
  prompts.dialogs["ExtractRiv"] = Answer<TDrainageExtractionDialog>([](TDrainageExtractionDialog& riv) {
    TypeIn(riv, "LREdit", "1");
    TypeIn(riv, "UREdit", "6");
    Choose(riv, kNetworkBlue);
    ShowFor(riv, "drainage_extract_dialog.png", 50);
    riv.OkClick();
  });
  main->Action("ExtractDrainageNetwork1")->trigger();
  ASSERT_NE(main->Session().DrainageRaster(), nullptr);
  const int networkPixels = CountPixels(*main->Session().DrainageRaster(), [](int v) { return v != 255; });
  EXPECT_GT(networkPixels, 2000);
  ShotTiled("drainage_extracted.png", 100);

  // The four dissection densities, each with its diagram.
  int shot = 0;
  const char* const names[4][2] = {{"PixelDensity1", "drainage_dd_grid_pixels.png"},
                                   {"DrainageLength1", "drainage_dd_grid_length.png"},
                                   {"PixelDensity2", "drainage_dd_moving_pixels.png"},
                                   {"DrainageLength2", "drainage_dd_moving_length.png"}};
  AnswerWindowSize(prompts, "11");
  prompts.dialogs["DDPaletteFen"] = Answer<TClassPaletteDialog>([&](TClassPaletteDialog& palette) {
    palette.SelectPalette(shot == 1 ? kGrayTones0255 : kColoredPalette);
    palette.SetSmoothing(shot == 3);
    palette.ChoosePlacement(ResultKind::kParameterImage);
    if (shot == 0) ShowFor(palette, "drainage_dd_palette_dialog.png", 50);
    palette.OkClick();
  });
  prompts.dialogs["DiagDDForm"] = [&](QDialog& dialog) {
    if (shot == 2) ShowFor(dialog, "drainage_dd_diagram.png", 50);
    return Accept(dialog);
  };
  for (const auto& name : names) {
    const auto before = main->Session().ParameterImage();
    main->Action(name[0])->trigger();
    ASSERT_NE(main->Session().ParameterImage(), before) << name[0];
    EXPECT_EQ(main->Session().DiagramKind(), DiagramKind::kDissectionDensity);
    ShotFrame(name[1], 100);
    ++shot;
  }
  EXPECT_GT(DiagramWindow<TDissectionDiagram>(*main).Bound(), 0);

  // Headwaters density with a half window of 10.
  prompts.dialogs["HeadWatersForm"] = Answer<THeadwatersDialog>([](THeadwatersDialog& form) {
    TypeIn(form, "WindowEdit", "10");
    Choose(form, 255);
    ShowFor(form, "drainage_headwaters_dialog.png", 50);
    form.accept();
  });
  main->Action("Headwaterstreatment1")->trigger();
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().Margin(), 11);
  ShotFrame("drainage_headwaters.png", 100);

  // A slope in gray tones, then the network incrusted into it.
  ShowGraySlope(*main);
  main->Action("ParameterImage1")->trigger();
  EXPECT_GE(CountPixels(*main->Session().ParameterImage(), [](int v) { return v == 0; }), networkPixels);
  ShotFrame("drainage_incrusted_slope.png", 100);
  EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
}  // namespace orvane::test
