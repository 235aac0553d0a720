// Slope and aspect as a user runs them on the sample DEM: every mode from the menus, the
// legends, the direction and gray histograms, the saved tables and the raw save.
// With ORVANE_SLOPE_SHOTS set to a directory, the dialogs and the main window are saved there
// as pictures, and the raw save of the gray slope is kept there as slope_gray180.raw.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <cstdlib>

#include "app/display/diagram_forms.h"
#include "app/surface/aspect_forms.h"
#include "app/surface/slope_forms.h"
#include "core/render/histogram_table.h"
#include "core/surface/aspect.h"
#include "core/surface/slope.h"
#include "core/terrain/raster_file.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

void Click(QDialog& d, const char* name) { d.findChild<QAbstractButton*>(name)->click(); }

using SlopeSession = SampleSessionTest;

TEST_F(SlopeSession, EveryModeOfSlopeAndAspectOnTheSampleDem) {
  const TDemModel& dem = *main->Session().CurrentDem();
  auto relief = main->Session().OpeningRelief();
  ASSERT_TRUE(relief);

  auto shown = [&](const char* name) {
    main->TileWindows();
    Wait(120);
    Shot(*main, name);
  };
  auto same = [](const TRasterImage& a, const TRasterImage& b) {
    if (a.columns != b.columns || a.lines != b.lines || a.kind != b.kind) return false;
    for (int l = 0; l < a.lines; ++l) {
      if (!std::equal(a.Row(l), a.Row(l) + a.RowBytes(), b.Row(l))) return false;
    }
    return true;
  };

  // Slope: the three tables plain and smoothed.
  for (int type = 0; type < 3; ++type) {
    for (bool smooth : {false, true}) {
      prompts.dialogs["PentesForm"] = [&, type, smooth](QDialog& d) {
        auto& form = static_cast<TSlopeDialog&>(d);
        form.ChooseType(type);
        form.findChild<QCheckBox*>("LissageCheckBox")->setChecked(smooth);
        Click(d, "SlopeRadioButton");
        Click(d, "ParamRadioButton");
        if (type == 0 && smooth) ShowFor(form, "slope_dialog_table1_smooth.png");
        if (type == 1 && !smooth) ShowFor(form, "slope_dialog_table2.png");
        form.accept();
        return form.result();
      };
      main->Action("SlopeTreatment1")->trigger();
      TSlopeParams p;
      p.table = SlopeTable(type + 1);
      p.smoothing = smooth;
      auto expected = ComputeSlope(dem, p);
      ASSERT_TRUE(expected);
      ASSERT_TRUE(main->Session().ParameterImage());
      EXPECT_TRUE(same(*main->Session().ParameterImage(), *expected->image)) << type << smooth;
      if (type == 1 && !smooth) shown("slope_table2.png");
      if (type == 0 && smooth) shown("slope_table1_smooth.png");
    }
  }

  // Slope and Shadow with Table 2.
  prompts.dialogs["PentesForm"] = [](QDialog& d) {
    static_cast<TSlopeDialog&>(d).ChooseType(1);
    d.findChild<QCheckBox*>("LissageCheckBox")->setChecked(false);
    Click(d, "SlopeShadRadioButton");
    static_cast<TSlopeDialog&>(d).accept();
    return d.result();
  };
  main->Action("SlopeTreatment1")->trigger();
  {
    TSlopeParams p;
    p.table = SlopeTable(2);
    auto slope = ComputeSlope(dem, p);
    EXPECT_TRUE(same(*main->Session().ParameterImage(), *slope->image->Blend(*relief, 0.5)));
  }
  shown("slope_and_shadow.png");

  // Gray tones in the three normalizations; the raw save is the core's raw file.
  for (const char* button : {"Norm90RadioButton", "Norm180RadioButton", "Norm255RadioButton"}) {
    prompts.dialogs["PentesForm"] = [button](QDialog& d) {
      static_cast<TSlopeDialog&>(d).ChooseType(3);
      Click(d, button);
      if (QString(button) == "Norm180RadioButton") ShowFor(static_cast<QDialog&>(d), "slope_dialog_gray.png");
      static_cast<TSlopeDialog&>(d).accept();
      return d.result();
    };
    main->Action("SlopeTreatment1")->trigger();
    EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);
  }
  int top = 0;
  for (int l = 0; l < dem.lines; ++l) {
    for (int c = 0; c < dem.columns; ++c) top = std::max<int>(top, main->Session().ParameterImage()->Row(l)[c]);
  }
  EXPECT_LE(top, 254);
  shown("slope_gray255.png");
  prompts.dialogs["PentesForm"] = [](QDialog& d) {
    static_cast<TSlopeDialog&>(d).ChooseType(3);
    Click(d, "Norm180RadioButton");
    static_cast<TSlopeDialog&>(d).accept();
    return d.result();
  };
  main->Action("SlopeTreatment1")->trigger();
  const QString saveDir = temp.path();
  prompts.files.push_back({saveDir + "/slope_gray180", 1});
  main->Action("SaveParameter")->trigger();
  {
    TSlopeParams p;
    p.grayTones = true;
    p.normalization = 180;
    auto slope = ComputeSlope(dem, p);
    ASSERT_TRUE(SaveRasterRaw(*slope->image, (temp.path() + "/core").toStdString(), 90));
    EXPECT_EQ(ReadAll(saveDir + "/slope_gray180.raw"), ReadAll(temp.path() + "/core.raw"));
    EXPECT_EQ(ReadAll(saveDir + "/slope_gray180.txt"), ReadAll(temp.path() + "/core.txt"));
  }

  // The gray histogram of the gray slope, saved as a table.
  prompts.dialogs["HistoGrisForm"] = [&](QDialog& d) {
    ShowFor(d, "gray_histogram.png");
    prompts.files.push_back({temp.path() + "/gray", 1});
    static_cast<TDiagramForm&>(d).SaveClick();
    return int(QDialog::Accepted);
  };
  main->Action("HistoGrSpeedButton")->trigger();
  EXPECT_EQ(ReadAll(temp.path() + "/gray.xls").toStdString(),
            GrayHistogramTable(GrayLevelHistogram(*main->Session().ParameterImage(), 0)));

  // Wrapped: the DEM window shows the slope, the parameter image stays.
  const auto parameter = main->Session().ParameterImage();
  prompts.dialogs["PentesForm"] = [](QDialog& d) {
    static_cast<TSlopeDialog&>(d).ChooseType(2);
    Click(d, "WrappedRadioButton");
    static_cast<TSlopeDialog&>(d).accept();
    return d.result();
  };
  main->Action("SlopeTreatment1")->trigger();
  EXPECT_EQ(main->Session().ParameterImage(), parameter);
  EXPECT_EQ(main->Session().ViewStates().Current()->raster->kind, kRasterRgb);
  shown("slope_wrapped.png");

  // Aspect: painting palette with shadow and smoothing, then the direction histogram.
  prompts.dialogs["AspectFen"] = [](QDialog& d) {
    auto& fen = static_cast<TAspectDialog&>(d);
    fen.ChoosePalette(0);
    fen.findChild<QCheckBox*>("LissageCheckBox")->setChecked(true);
    Click(d, "OrientationShadRadioButton");
    Click(d, "ParamRadioButton");
    ShowFor(fen, "aspect_dialog_painting_smooth.png");
    fen.accept();
    return fen.result();
  };
  main->Action("AspectTreatment1")->trigger();
  TAspectParams painting;
  painting.table = AspectPaintingPalette();
  painting.smoothing = true;
  auto aspect = ComputeAspect(dem, painting);
  ASSERT_TRUE(aspect);
  EXPECT_TRUE(same(*main->Session().ParameterImage(), *aspect->image->Blend(*relief, 0.5)));
  shown("aspect_painting_shadow.png");
  ASSERT_TRUE(main->IsEnabled("AspectSpeedButton"));
  prompts.dialogs["HistDirForm"] = [&](QDialog& d) {
    ShowFor(d, "aspect_direction_histogram.png");
    prompts.files.push_back({temp.path() + "/directions", 2});
    static_cast<TDiagramForm&>(d).SaveClick();
    return int(QDialog::Accepted);
  };
  main->Action("AspectSpeedButton")->trigger();
  EXPECT_EQ(ReadAll(temp.path() + "/directions.ts").toStdString(), DirectionTable(aspect->histogram));

  // Aspect in gray tones, every normalization.
  for (int n : {18, 36, 90, 180, 255}) {
    prompts.dialogs["AspectFen"] = [n](QDialog& d) {
      static_cast<TAspectDialog&>(d).ChoosePalette(1);
      Click(d, QStringLiteral("Norm%1RadioButton").arg(n).toLatin1().constData());
      static_cast<TAspectDialog&>(d).accept();
      return d.result();
    };
    main->Action("AspectTreatment1")->trigger();
    TAspectParams p;
    p.grayTones = true;
    p.normalization = n;
    auto gray = ComputeAspect(dem, p);
    EXPECT_TRUE(same(*main->Session().ParameterImage(), *gray->image)) << n;
    if (n == 255) shown("aspect_gray255.png");
  }

  // The info windows.
  prompts.dialogs["InfoSlopeCalcForm"] = [](QDialog& d) {
    ShowFor(d, "slope_info.png");
    return int(QDialog::Accepted);
  };
  main->Action("SlopeInfo1")->trigger();
  prompts.dialogs["InfoAspectCalcForm"] = [](QDialog& d) {
    ShowFor(d, "aspect_info.png");
    return int(QDialog::Accepted);
  };
  main->Action("AspectInfo1")->trigger();
  EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
}  // namespace orvane::test
