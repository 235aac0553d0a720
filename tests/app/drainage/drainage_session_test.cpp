// The drainage commands as a new user runs them on the sample DEM: the network extracted from
// the menu, saved and opened again, the four dissection densities with their diagram, the
// headwaters density, and the network incrusted into a slope image. With
// ORVANE_DRAINAGE_SHOTS set to a directory the windows are saved there as pictures (run under
// X: QT_QPA_PLATFORM=xcb xvfb-run -a ...).
#include <QAction>
#include <QFile>

#include "app/display/diagram_forms.h"
#include "app/drainage/dissection_forms.h"
#include "app/drainage/extraction_form.h"
#include "app/drainage/headwaters_form.h"
#include "core/drainage/density_image.h"
#include "core/drainage/drainage_extraction.h"
#include "core/surface/slope.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {


int NetworkPixels(const TRasterImage& raster) {
  int count = 0;
  for (int l = 0; l < raster.lines; ++l) {
    for (int c = 0; c < raster.columns; ++c) {
      int v;
      raster.GetValue(c, l, v);
      count += v != 255;
    }
  }
  return count;
}

using DrainageSession = SampleSessionTest;

TEST_F(DrainageSession, ExtractSaveReopenDensitiesAndIncrustOnTheSampleDem) {

  // Extraction: ranges 1 .. 6, a blue network.
  prompts.dialogs["ExtractRiv"] = [](QDialog& dialog) {
    auto& riv = static_cast<TDrainageExtractionDialog&>(dialog);
    riv.SetRanges("1", "6");
    riv.ChooseColour(kNetworkBlue);
    riv.show();
    Wait(50);
    Shot(riv, "drainage_extract_dialog.png");
    riv.OKBitBtnClick();
    return riv.result();
  };
  main->Action("ExtractDrainageNetwork1")->trigger();
  const auto extracted = main->Session().DrainageRaster();
  ASSERT_NE(extracted, nullptr);
  const int networkPixels = NetworkPixels(*extracted);
  EXPECT_GT(networkPixels, 2000);
  main->TileWindows();
  Wait(100);
  Shot(*main, "drainage_extracted.png");

  // Saved as raw, opened again: the same network, gray 85 on 255.
  prompts.files.push_back({temp.filePath("net"), 1});
  main->Action("SaveRiverSpeedButton")->trigger();
  ASSERT_TRUE(QFile::exists(temp.filePath("net.raw")));
  ASSERT_TRUE(QFile::exists(temp.filePath("net.txt")));
  prompts.files.push_back({temp.filePath("net.raw"), 2});
  main->Action("OpenRiverSpeedButton")->trigger();
  const auto reopened = main->Session().DrainageRaster();
  ASSERT_NE(reopened, extracted);
  EXPECT_EQ(reopened->kind, kRasterGray);
  EXPECT_EQ(NetworkPixels(*reopened), networkPixels);
  int gray;
  for (int l = 0, found = 0; l < reopened->lines && !found; ++l) {
    for (int c = 0; c < reopened->columns; ++c) {
      reopened->GetValue(c, l, gray);
      if (gray != 255) {
        EXPECT_EQ(gray, 85);
        found = 1;
        break;
      }
    }
  }

  // The four dissection densities, each with its diagram.
  int shot = 0;
  const char* const names[4][2] = {{"PixelDensity1", "drainage_dd_grid_pixels.png"},
                                   {"DrainageLength1", "drainage_dd_grid_length.png"},
                                   {"PixelDensity2", "drainage_dd_moving_pixels.png"},
                                   {"DrainageLength2", "drainage_dd_moving_length.png"}};
  for (const auto& name : names) {
    prompts.dialogs["DDFen"] = [](QDialog& dialog) {
      static_cast<TWindowSizeDialog&>(dialog).SetWindowSizeText("11");
      dialog.accept();
      return QDialog::Accepted;
    };
    prompts.dialogs["DDPaletteFen"] = [&](QDialog& dialog) {
      auto& palette = static_cast<TClassPaletteDialog&>(dialog);
      palette.SelectPalette(shot == 1 ? kGrayTones0255 : kColoredPalette);
      palette.SetSmoothing(shot == 3);
      palette.ChoosePlacement(ResultKind::kParameterImage);
      if (shot == 0) {
        palette.show();
        Wait(50);
        Shot(palette, "drainage_dd_palette_dialog.png");
      }
      palette.OkClick();
      return palette.result();
    };
    prompts.dialogs["DiagDDForm"] = [&](QDialog& dialog) {
      if (shot == 2) {
        dialog.show();
        Wait(50);
        Shot(dialog, "drainage_dd_diagram.png");
      }
      dialog.accept();
      return QDialog::Accepted;
    };
    const auto before = main->Session().ParameterImage();
    main->Action(name[0])->trigger();
    ASSERT_NE(main->Session().ParameterImage(), before) << name[0];
    EXPECT_EQ(main->Session().DiagramKind(), DiagramKind::kDissectionDensity);
    Wait(100);
    Shot(*main, name[1]);
    ++shot;
  }
  EXPECT_GT(DiagramWindow<TDissectionDiagram>(*main).Bound(), 0);

  // Headwaters density with a half window of 10.
  prompts.dialogs["HeadWatersForm"] = [](QDialog& dialog) {
    auto& form = static_cast<THeadwatersDialog&>(dialog);
    form.SetHalfWindowText("10");
    form.ChooseDynamicScale(255);
    form.show();
    Wait(50);
    Shot(form, "drainage_headwaters_dialog.png");
    form.accept();
    return QDialog::Accepted;
  };
  main->Action("Headwaterstreatment1")->trigger();
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().Margin(), 11);
  Wait(100);
  Shot(*main, "drainage_headwaters.png");

  // A slope in gray tones, then the network incrusted into it.
  TSlopeParams params;
  params.grayTones = true;
  params.normalization = 255;
  auto slope = ComputeSlope(*main->Session().CurrentDem(), params, main->Progress());
  ASSERT_TRUE(slope);
  main->BeginTreatment(" SLOPE ");
  main->ShowParameterImage(std::shared_ptr<TRasterImage>(std::move(slope->image)), " SLOPE ", 0, DisplayMode::kGray);
  main->Action("ParameterImage1")->trigger();
  const auto incrusted = main->Session().ParameterImage();
  int black = 0;
  for (int l = 0; l < incrusted->lines; ++l) {
    for (int c = 0; c < incrusted->columns; ++c) {
      int v;
      incrusted->GetValue(c, l, v);
      black += v == 0;
    }
  }
  EXPECT_GE(black, networkPixels);
  Wait(100);
  Shot(*main, "drainage_incrusted_slope.png");
  EXPECT_TRUE(prompts.messages.empty());
  main->close();
}

}  // namespace
}  // namespace orvane::test
