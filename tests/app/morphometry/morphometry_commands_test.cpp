#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "app/morphometry/morphometry_commands.h"
#include "app/display/diagram_forms.h"
#include "app/drainage/dissection_forms.h"
#include "app/morphometry/morphometry_forms.h"
#include "core/drainage/density_image.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/morphometry/drainage_fractal.h"
#include "core/morphometry/ratio_depth.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

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

  static int Accept(QDialog& d) {
    d.accept();
    return d.result();
  }

  void Trigger(const char* name) {
    QAction* action = main->Action(name);
    ASSERT_NE(action, nullptr) << name;
    action->setEnabled(true);
    action->trigger();
  }

  void AnswerFractal(int window, int scale, bool wrapped) {
    prompts.dialogs["FractDrainageForm"] = [=](QDialog& d) {
      auto& f = static_cast<TDrainageFractalDialog&>(d);
      f.ChooseWindowSize(window);
      f.ChooseDynamicScale(scale);
      f.ChoosePlacement(wrapped ? ResultKind::kWrappedImage : ResultKind::kParameterImage);
      d.reject();  // closing it any way runs the treatment
      return d.result();
    };
  }

  void AnswerWindow(const QString& size) {
    prompts.dialogs["DDFen"] = [=](QDialog& d) {
      static_cast<TWindowSizeDialog&>(d).SetWindowSizeText(size);
      d.accept();
      return d.result();
    };
  }

  static void ExpectSamePixels(const TRasterImage& a, const TRasterImage& b) {
    ASSERT_EQ(a.kind, b.kind);
    ASSERT_EQ(a.columns, b.columns);
    ASSERT_EQ(a.lines, b.lines);
    for (int l = 0; l < a.lines; ++l)
      for (int c = 0; c < a.columns; ++c) {
        TColor u, v;
        a.GetColor(c, l, u);
        b.GetColor(c, l, v);
        ASSERT_EQ(u, v) << c << "," << l;
      }
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
  ExpectSamePixels(*main->Session().ParameterImage(), expected->image);
  EXPECT_EQ(main->Session().ParameterTitle(), " FRACTAL DIMENSION   MOVING WINDOW SIZE 12 ");
  EXPECT_EQ(main->Session().CaptionedTitle(), " FRACTAL DIMENSION   MOVING WINDOW SIZE 12   (1:1)");
  EXPECT_EQ(main->Session().Margin(), 7);
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);
  EXPECT_EQ(main->Session().DiagramKind(), DiagramKind::kDrainageFractalDimension);
  for (const char* name : {"SaveParameter", "OpenPalette1", "GrayHisto1", "DiagSpeedButton",
                           "FractRed1", "WrapImage1"}) {
    EXPECT_TRUE(main->IsEnabled(name)) << name;
  }
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
  ASSERT_EQ(prompts.executed.size(), 1u);
  EXPECT_EQ(prompts.executed[0], "DiagFractDimForm");
}

TEST_F(MorphoCommandsTest, WrappedSegmentsReplaceTheDemPictureOnly) {
  AnswerFractal(24, 100, true);
  Trigger("FractalDimensionTreatment1");
  auto expected = ComputeDrainageFractal(*network, {FractalMode::kSegments, 24, 100});
  ASSERT_TRUE(expected);
  ASSERT_NE(main->Session().DisplayedRaster(), nullptr);
  ExpectSamePixels(*main->Session().DisplayedRaster(), expected->image);
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().DiagramKind(), DiagramKind::kDrainageFractalDimension);
  // The dialog keeps the choices for the next run.
  const auto& form = FractDrainageFormOf(*main);
  EXPECT_EQ(form.WindowSize(), 24);
  EXPECT_TRUE(form.findChild<QRadioButton*>("RadioButton2")->isChecked());
  EXPECT_FALSE(form.findChild<QRadioButton*>("RadioButton1")->isChecked());
}

TEST_F(MorphoCommandsTest, EmptyNetworkIsReportedAndProducesNothing) {
  main->ShowDrainageRaster(MakeGray(48, 40, [](int, int) { return 255; }), false);
  AnswerFractal(12, 100, false);
  Trigger("DFRedGlobal1");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].caption, "ERROR");
  EXPECT_TRUE(prompts.messages[0].text.contains("255"));
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);
  EXPECT_NE(prompts.executed.back(), "DiagFractDimForm");
}

TEST_F(MorphoCommandsTest, Dissection3DGrayResultAndItsTwoCurves) {
  AnswerWindow("7");
  prompts.dialogs["DDPaletteFen"] = [](QDialog& d) {
    auto& p = static_cast<TClassPaletteDialog&>(d);
    p.SelectPalette(kGrayTones0255);
    p.ChoosePlacement(ResultKind::kParameterImage);
    p.OkClick();
    return d.result();
  };
  Trigger("DissectionDensity3DTreatment1");
  auto expected = ComputeDissection3D(*dem, *network, {7, 10, 30});
  ASSERT_TRUE(expected);
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  ExpectSamePixels(*main->Session().ParameterImage(),
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
  prompts.dialogs["DDFen"] = [](QDialog& d) {
    d.reject();
    return d.result();
  };
  Trigger("DissectionDensity3DTreatment1");
  EXPECT_EQ(prompts.executed, (std::vector<QString>{"DDFen"}));
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);
  // Nothing was computed: the title of the current parameter image stays.
  EXPECT_EQ(main->Session().ParameterTitle(), "");

  // A DEM whose dynamic scale was never completed has no unit: said, not divided by zero.
  TMainForm other(settings);
  TestPrompter local;
  other.InstallOpenedDem(dem, MakeGray(48, 40, [](int, int) { return 0; }), "/data/x_m2.raw");
  other.ShowDrainageRaster(network, false);
  local.dialogs["DDFen"] = [](QDialog& d) {
    static_cast<TWindowSizeDialog&>(d).SetWindowSizeText("5");
    d.accept();
    return d.result();
  };
  other.Action("DissectionDensity3DTreatment1")->setEnabled(true);
  other.Action("DissectionDensity3DTreatment1")->trigger();
  ASSERT_EQ(local.messages.size(), 1u);
  EXPECT_TRUE(local.messages[0].text.contains("vertical unit"));
  EXPECT_EQ(other.Session().ParameterImage(), nullptr);
}

TEST_F(MorphoCommandsTest, RatioDepthFromTheMenu) {
  AnswerWindow("5");
  prompts.dialogs["RatioDepthForm"] = [](QDialog& d) {
    auto& f = static_cast<TRatioOfDepthsDialog&>(d);
    f.ChooseDynamicScale(100);
    f.ChoosePlacement(ResultKind::kParameterImage);
    f.BitBtn1Click();
    return d.result();
  };
  Trigger("RatioDepthTreatment1");
  auto expected = ComputeRatioDepth(*dem, *network, {5, 100});
  ASSERT_TRUE(expected);
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  ExpectSamePixels(*main->Session().ParameterImage(), expected->image);
  EXPECT_TRUE(main->Session().ParameterTitle().startsWith(" DEPTH DRAINAGE/SURFACE   GRID SIZE "));
  EXPECT_EQ(main->Session().Margin(), 2);
  EXPECT_TRUE(main->IsEnabled("GrayHisto1"));
  EXPECT_TRUE(main->IsEnabled("OpenPalette1"));

  // "Cancel" in the second dialog stops the treatment.
  const auto before = main->Session().ParameterImage();
  prompts.dialogs["RatioDepthForm"] = [](QDialog& d) {
    d.findChild<QPushButton*>("BitBtn2")->click();
    return d.result();
  };
  Trigger("RatioDepthTreatment1");
  EXPECT_EQ(main->Session().ParameterImage(), before);
}

TEST_F(MorphoCommandsTest, DialogsStartAsDescribed) {
  const auto& ratio = RatioDepthFormOf(*main);
  EXPECT_EQ(ratio.windowTitle(), "  DRAINAGE/SURFACE");
  EXPECT_TRUE(ratio.findChild<QRadioButton*>("RadioButton2")->isChecked());
  EXPECT_TRUE(ratio.findChild<QRadioButton*>("RadioButton3")->isChecked());
  EXPECT_EQ(ratio.DynamicScale(), 255);
  const auto& fractal = FractDrainageFormOf(*main);
  EXPECT_EQ(fractal.windowTitle(), " DRAINAGE NETWORK FRACTAL");
  EXPECT_EQ(fractal.WindowSize(), 12);
  EXPECT_EQ(fractal.DynamicScale(), 100);
  EXPECT_EQ(fractal.Placement(), ResultKind::kParameterImage);

  Trigger("FractalDimensionInfo1");
  EXPECT_EQ(prompts.executed.back(), "InfoFractDimRiverForm");
  const auto& info = InfoFractDimRiverFormOf(*main);
  EXPECT_EQ(info.windowTitle(), " FRACTAL DIMENSION COMPUTATION");
  QStringList texts;
  for (const QLabel* label : info.findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("inverse of the slope"));
  EXPECT_TRUE(texts.contains("moving window."));
  // The pictured network's counts fall as the boxes grow.
  EXPECT_GT(TBoxCountingPicture::FilledBoxes(1), TBoxCountingPicture::FilledBoxes(2));
  EXPECT_EQ(TBoxCountingPicture::FilledBoxes(32), 1);
}

}  // namespace
}  // namespace orvane::test
