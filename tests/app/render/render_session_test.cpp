// The relief commands as a user runs them on the sample DEM: shadowing with "HypsoMap 1",
// shadow and cast shadows; the palette on a slope result; the slices wrapped on the DEM, seen
// in the 3D viewer, dragged, created and saved. With ORVANE_RENDER_SHOTS set to a directory,
// the windows are saved there as pictures (run under X: QT_QPA_PLATFORM=xcb xvfb-run -a ...).
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include "app/render/relief_commands.h"
#include "app/display/bitmap_box.h"
#include "app/render/palette_form.h"
#include "app/render/relief_forms.h"
#include "app/render/view3d_form.h"
#include "core/render/slices.h"
#include "core/surface/slope.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {


using RenderSession = SampleSessionTest;

TEST_F(RenderSession, ShadowingPaletteAnd3dViewerOnTheSampleDem) {
  auto& commands = *main->findChild<TReliefCommands*>("RenderCommands");

  // Shadowing: "HypsoMap 1" scaled to the DEM, smoothed, with shadow and cast shadows under
  // a low sun chosen in the light dialog.
  bool wrap = false;
  prompts.dialogs["ConstEstompForm"] = [](QDialog& dialog) {
    auto& light = static_cast<TShadingDialog&>(dialog);
    light.Activate();
    auto* inc = light.findChild<QLineEdit*>("IncEdit");
    inc->setText("25");
    light.IncEditExit();
    light.findChild<QCheckBox*>("OmbCheckBox")->setChecked(true);
    light.OmbCheckBoxClick();
    light.findChild<QLineEdit*>("OmbEdit")->setText("45");
    light.OmbEditChange();
    light.show();
    Wait(100);
    Shot(light, "render_light_dialog.png");
    light.accept();
    return QDialog::Accepted;
  };
  prompts.dialogs["ConstHypsoForm"] = [&](QDialog& dialog) {
    auto& form = static_cast<TSlicesDialog&>(dialog);
    form.ChooseType(kSliceHypsoMap1);
    form.SetSmoothing(true);
    form.SetScale(true);
    if (!form.Shadow()) {
      form.SetShadow(true);
      form.findChild<QPushButton*>("EstompButton")->click();
    }
    form.ChoosePlacement(wrap ? ResultKind::kWrappedImage : ResultKind::kParameterImage);
    form.OkClick();
    return form.result();
  };
  main->Action("Shadowing1")->trigger();
  ASSERT_TRUE(main->Session().ParameterImage());
  EXPECT_EQ(main->Session().ParameterImage()->kind, kRasterRgb);
  EXPECT_EQ(main->Session().ParameterImage()->columns, 403);
  main->TileWindows();
  Wait(150);
  Shot(*main, "render_slices.png");

  // A slope in gray tones, recoloured with the palette.
  TSlopeParams params;
  params.grayTones = true;
  params.normalization = 255;
  auto slope = ComputeSlope(*main->Session().CurrentDem(), params, main->Progress());
  ASSERT_TRUE(slope);
  main->BeginTreatment(" SLOPE ");
  main->ShowParameterImage(std::shared_ptr<TRasterImage>(std::move(slope->image)), " SLOPE ", 0, DisplayMode::kGray);
  prompts.dialogs["PalForm"] = [](QDialog& dialog) {
    auto& form = static_cast<TPaletteDialog&>(dialog);
    form.ChooseTable(0);
    form.SetSmoothing(true);
    form.show();
    Wait(100);
    Shot(form, "render_palette_dialog.png");
    form.accept();
    return QDialog::Accepted;
  };
  main->Action("PaletteSpeedButton")->trigger();
  EXPECT_EQ(main->Session().ParameterImage()->kind, kRasterRgb);
  Wait(100);
  Shot(*main, "render_palette.png");

  // The slices wrapped on the DEM window, then the 3D viewer: drag, Create, save.
  wrap = true;
  main->Action("Shadowing1")->trigger();
  ASSERT_EQ(main->Session().DisplayedRaster()->kind, kRasterRgb);
  prompts.dialogs["Vue3DForm"] = [](QDialog& dialog) {
    auto& viewer = static_cast<TView3DDialog&>(dialog);
    viewer.show();
    Wait(100);
    viewer.Activate();
    viewer.Press(QPoint(300, 200), Qt::LeftButton);
    for (int x = 300; x >= 240; x -= 10) viewer.MoveTo(QPoint(x, 212), Qt::NoModifier);
    viewer.Release();
    viewer.SetQuickMode(kViewSurface);
    Wait(100);
    Shot(viewer, "render_3d_viewer.png");
    viewer.SetFinalStyle(true, false, false);
    viewer.accept();
    return QDialog::Accepted;
  };
  main->Action("View3D1")->trigger();
  TView3DResultWindow* result = commands.LastResult();
  ASSERT_NE(result, nullptr);
  result->parentWidget()->resize(result->Picture().columns + 40, result->Picture().lines + 80);
  result->parentWidget()->raise();
  Wait(150);
  Shot(*result, "render_3d_result.png");
  prompts.files.push_back({temp.filePath("jacksboro_3d.bmp"), 1});
  result->findChild<QPushButton*>("SaveBitBtn")->click();
  EXPECT_TRUE(QFile::exists(temp.filePath("jacksboro_3d.bmp")));
  EXPECT_TRUE(prompts.messages.empty());
  main->close();
}

}  // namespace
}  // namespace orvane::test
