// The drainage morphometry as a user runs it on the sample DEM: open it, extract the network,
// then the fractal dimension of the network (global and segments), the 3D dissection density
// and the ratio depth from the menus, with their dialogs and diagrams. With ORVANE_MORPHO_SHOTS
// set to a directory, the windows are saved there as pictures (run under X:
// QT_QPA_PLATFORM=xcb xvfb-run -a ...).
#include <QAction>

#include "app/display/diagram_forms.h"
#include "app/drainage/dissection_forms.h"
#include "app/drainage/extraction_form.h"
#include "app/morphometry/morphometry_forms.h"
#include "core/drainage/density_image.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {


// Shows a dialog the way the user sees it, takes its picture, then presses OK.
std::function<int(QDialog&)> ShowAndAccept(const char* shot) {
  return [shot](QDialog& dialog) {
    dialog.show();
    Wait(100);
    Shot(dialog, shot);
    dialog.accept();
    return dialog.result();
  };
}

// Grey values of the parameter image inside the margin: lowest and highest.
std::pair<int, int> Extremes(const TRasterImage& image, int margin) {
  int lo = 255, hi = 0;
  for (int l = margin; l < image.lines - margin; ++l)
    for (int c = margin; c < image.columns - margin; ++c) {
      int v;
      image.GetValue(c, l, v);
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  return {lo, hi};
}

using MorphoSession = SampleSessionTest;

TEST_F(MorphoSession, TheThreeTreatmentsOnTheSampleDemNetwork) {

  prompts.dialogs["ExtractRiv"] = [](QDialog& dialog) {
    auto& riv = static_cast<TDrainageExtractionDialog&>(dialog);
    riv.SetRanges("1", "4");
    riv.ChooseColour(1);
    riv.OKBitBtnClick();
    return dialog.result();
  };
  main->Action("ExtractDrainageNetwork1")->trigger();
  ASSERT_NE(main->Session().DrainageRaster(), nullptr);
  ASSERT_TRUE(main->IsEnabled("DrainageNetworkParameters1"));

  // Fractal dimension, global, window 24, scale 255.
  prompts.dialogs["FractDrainageForm"] = [](QDialog& dialog) {
    auto& form = static_cast<TDrainageFractalDialog&>(dialog);
    form.ChooseWindowSize(24);
    form.ChooseDynamicScale(255);
    form.show();
    Wait(100);
    Shot(form, "morpho_fractal_dialog.png");
    form.accept();
    return form.result();
  };
  prompts.dialogs["DiagFractDimForm"] = ShowAndAccept("morpho_fractal_diagram.png");
  main->Action("DFRedGlobal1")->trigger();
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(Extremes(*main->Session().ParameterImage(), 13), std::make_pair(0, 255));
  EXPECT_GT(DiagramWindow<TDrainageFractalDiagram>(*main).UpperBound(), 150);
  main->TileWindows();
  Wait(150);
  Shot(*main, "morpho_fractal_global.png");

  // Drainage segments, window 12: only network pixels get a dimension.
  prompts.dialogs["FractDrainageForm"] = [](QDialog& dialog) {
    static_cast<TDrainageFractalDialog&>(dialog).ChooseWindowSize(12);
    dialog.accept();
    return dialog.result();
  };
  prompts.dialogs["DiagFractDimForm"] = ShowAndAccept("morpho_segments_diagram.png");
  main->Action("FractalDimensionTreatment1")->trigger();
  EXPECT_EQ(main->Session().Margin(), 1);

  // 3D dissection density, window 11, coloured classes spread over the range.
  prompts.dialogs["DDFen"] = [](QDialog& dialog) {
    static_cast<TWindowSizeDialog&>(dialog).SetWindowSizeText("11");
    dialog.accept();
    return dialog.result();
  };
  prompts.dialogs["DDPaletteFen"] = [](QDialog& dialog) {
    auto& palette = static_cast<TClassPaletteDialog&>(dialog);
    palette.SelectPalette(kColoredPalette);
    palette.SetScale(true);
    palette.SetSmoothing(true);
    palette.ChoosePlacement(ResultKind::kParameterImage);
    palette.show();
    Wait(100);
    Shot(palette, "morpho_dd3d_palette.png");
    palette.OkClick();
    return palette.result();
  };
  prompts.dialogs["DiagDD3DForm"] = ShowAndAccept("morpho_dd3d_diagram.png");
  main->Action("DissectionDensity3DTreatment1")->trigger();
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().ParameterImage()->kind, kRasterRgb);
  EXPECT_EQ(main->Session().DiagramKind(), DiagramKind::kDissectionDensity3D);
  Wait(150);
  Shot(*main, "morpho_dd3d.png");

  // Ratio depth, window 11, scale 255, as a parameter image.
  prompts.dialogs["RatioDepthForm"] = [](QDialog& dialog) {
    auto& form = static_cast<TRatioOfDepthsDialog&>(dialog);
    form.show();
    Wait(100);
    Shot(form, "morpho_ratio_dialog.png");
    form.BitBtn1Click();
    return form.result();
  };
  main->Action("RatioDepthTreatment1")->trigger();
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  const auto [lo, hi] = Extremes(*main->Session().ParameterImage(), 5);
  EXPECT_EQ(lo, 0);
  EXPECT_GT(hi, 200);
  Wait(150);
  Shot(*main, "morpho_ratio_depth.png");
  EXPECT_TRUE(prompts.messages.empty());

  // The info window.
  prompts.dialogs["InfoFractDimRiverForm"] = ShowAndAccept("morpho_fractal_info.png");
  main->Action("FractalDimensionInfo1")->trigger();
}

}  // namespace
}  // namespace orvane::test
