// Slope and aspect from the menus, the direction histogram, the gray histogram and the diagram
// windows, driven through the frame's actions with a recording prompter.
#include "app/surface/slope_aspect_commands.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>

#include "app/display/class_legend.h"
#include "app/display/diagram_forms.h"
#include "app/surface/aspect_forms.h"
#include "app/surface/slope_forms.h"
#include "core/render/histogram_table.h"
#include "core/surface/aspect.h"
#include "core/surface/slope.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

bool SameRaster(const TRasterImage& a, const TRasterImage& b) {
  if (a.columns != b.columns || a.lines != b.lines || a.kind != b.kind) return false;
  for (int l = 0; l < a.lines; ++l) {
    if (!std::equal(a.Row(l), a.Row(l) + a.RowBytes(), b.Row(l))) return false;
  }
  return true;
}

class SlopeAspectCommandsTest : public MainFormTest {
 protected:
  TSlopeAspectCommands& Commands() {
    return *main->findChild<TSlopeAspectCommands*>("SlopeAspectCommands");
  }
  // Accepts the dialog after `fill` set its fields.
  void Answer(const QString& dialog, std::function<void(QDialog&)> fill = {}) {
    prompts.dialogs[dialog] = [fill](QDialog& d) {
      if (fill) fill(d);
      return int(QDialog::Accepted);
    };
  }
  static void Click(QDialog& d, const char* name) { d.findChild<QAbstractButton*>(name)->click(); }
};

TEST_F(SlopeAspectCommandsTest, ColourSlopeBecomesTheParameterImage) {
  InstallDem();
  Answer("PentesForm");
  main->Action("SlopeTreatment1")->trigger();
  ASSERT_TRUE(main->Session().ParameterImage());
  TSlopeParams p;
  p.table = SlopeTable(2);
  auto expected = ComputeSlope(*main->Session().CurrentDem(), p);
  ASSERT_TRUE(expected);
  EXPECT_TRUE(SameRaster(*main->Session().ParameterImage(), *expected->image));
  EXPECT_EQ(main->Session().CaptionedTitle(), " SLOPE   (1:1)");
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kColour);
  EXPECT_FALSE(main->IsEnabled("GrayHisto1"));
  EXPECT_FALSE(main->IsEnabled("HistoGrSpeedButton"));
  EXPECT_TRUE(main->IsEnabled("SaveParameter"));
  EXPECT_TRUE(main->IsEnabled("WrapImage1"));
}

TEST_F(SlopeAspectCommandsTest, GraySlopeAndShadowAveragesWithTheOpeningRelief) {
  InstallDem();
  Answer("PentesForm", [](QDialog& d) {
    static_cast<TSlopeDialog&>(d).ChooseType(3);
    Click(d, "Norm255RadioButton");
    Click(d, "SlopeShadRadioButton");
  });
  main->Action("SlopeTreatment1")->trigger();
  ASSERT_TRUE(main->Session().ParameterImage());
  TSlopeParams p;
  p.grayTones = true;
  p.normalization = 255;
  auto slope = ComputeSlope(*main->Session().CurrentDem(), p);
  auto expected = slope->image->Blend(*main->Session().OpeningRelief(), 0.5);
  EXPECT_TRUE(SameRaster(*main->Session().ParameterImage(), *expected));
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);
  EXPECT_TRUE(main->IsEnabled("GrayHisto1"));
  EXPECT_EQ(Commands().PentesForm().Normalization(), 255);
}

TEST_F(SlopeAspectCommandsTest, CancelledSlopeChangesNothingAndWrappedGoesToTheDemWindow) {
  InstallDem();
  main->Action("SlopeTreatment1")->trigger();  // no answer: "Delete"
  EXPECT_FALSE(main->Session().ParameterImage());
  EXPECT_EQ(prompts.executed.back(), "PentesForm");
  const auto before = main->Session().ViewStates().Current();
  Answer("PentesForm", [](QDialog& d) { Click(d, "WrappedRadioButton"); });
  main->Action("SlopeTreatment1")->trigger();
  EXPECT_FALSE(main->Session().ParameterImage());
  ASSERT_NE(main->Session().ViewStates().Current(), before);
  EXPECT_EQ(main->Session().ViewStates().Current()->raster->kind, kRasterRgb);
}

TEST_F(SlopeAspectCommandsTest, SlopeDialogTablesAndGrayTones) {
  TSlopeDialog& form = Commands().PentesForm();
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
  Answer("AspectFen", [](QDialog& d) { Click(d, "OrientationShadRadioButton"); });
  main->Action("AspectTreatment1")->trigger();
  ASSERT_TRUE(main->Session().ParameterImage());
  TAspectParams p;
  p.table = AspectPaintingPalette();
  auto aspect = ComputeAspect(*main->Session().CurrentDem(), p);
  ASSERT_TRUE(aspect);
  EXPECT_TRUE(SameRaster(*main->Session().ParameterImage(), *aspect->image->Blend(*main->Session().OpeningRelief(), 0.5)));
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
  TAspectDialog& fen = Commands().AspectFen();
  fen.ChoosePalette(1);
  EXPECT_EQ(fen.Normalization(), 360);  // no button clicked yet
  fen.findChild<QAbstractButton*>("Norm90RadioButton")->click();
  fen.ChoosePalette(0);
  EXPECT_EQ(fen.Normalization(), 360);
  fen.ChoosePalette(1);
  EXPECT_EQ(fen.Normalization(), 90);  // the button still checked
  Answer("AspectFen");
  main->Action("AspectTreatment1")->trigger();
  TAspectParams p;
  p.grayTones = true;
  p.normalization = 90;
  auto aspect = ComputeAspect(*main->Session().CurrentDem(), p);
  EXPECT_TRUE(SameRaster(*main->Session().ParameterImage(), *aspect->image));
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

}  // namespace
}  // namespace orvane::test
