// The relief commands end to end on a small DEM: Shadowing with its two dialogs, the palette,
// the 3D viewer with its result window, the DEM information window; then on the sample DEM as
// a user runs them, with the pictures of the documentation (ORVANE_SHOTS, see
// support/app_session.h).
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <cmath>
#include <numbers>

#include "app/display/bitmap_box.h"
#include "app/render/relief_commands.h"
#include "app/render/palette_form.h"
#include "app/render/relief_forms.h"
#include "app/render/view3d_form.h"
#include "app/terrain/dem_info_form.h"
#include "core/render/slices.h"
#include "core/terrain/bmp_file.h"
#include "support/app_session.h"
#include "support/compare.h"

namespace orvane::test {
namespace {

class RenderFormsTest : public MainFormTest {
 protected:
  TReliefCommands& Commands() { return *main->findChild<TReliefCommands*>("RenderCommands"); }
  void InstallHills(int columns = 60, int lines = 50) {
    auto dem = MakeDem(columns, lines, [](int c, int l) {
      return static_cast<int>(400 + 300 * std::sin(c * 0.2) * std::cos(l * 0.15));
    });
    auto relief = MakeGray(columns, lines, [](int c, int l) { return (c * 4 + l) % 256; });
    main->InstallOpenedDem(dem, relief, "/data/hills_m2.raw");
  }
};

TEST_F(RenderFormsTest, LightDialogCleansClampsAndFollowsTheSun) {
  InstallHills();
  TShadingDialog& light = Commands().ShadingDialog();
  light.Activate();
  EXPECT_EQ(light.findChild<QLineEdit*>("DirEdit")->text(), "405.0");
  EXPECT_EQ(light.findChild<QLineEdit*>("IncEdit")->text(), "65.0");
  ASSERT_NE(light.PreviewModel(), nullptr);
  EXPECT_EQ(std::max(light.PreviewModel()->lines, light.PreviewModel()->columns), 100);
  EXPECT_FALSE(light.Preview().isNull());

  auto* inc = light.findChild<QLineEdit*>("IncEdit");
  inc->setText("120");
  light.IncEditExit();
  EXPECT_EQ(inc->text(), "90");
  EXPECT_NEAR(light.WorkingLight().elevation, std::numbers::pi / 2, 1e-6);
  auto* dir = light.findChild<QLineEdit*>("DirEdit");
  dir->setText("90.5x");
  light.DirEditExit();
  EXPECT_EQ(dir->text(), "90,5");
  EXPECT_NEAR(light.WorkingLight().azimuth, 0.5 * std::numbers::pi / 180, 1e-6);
  auto* omb = light.findChild<QLineEdit*>("OmbEdit");
  omb->setText("150");
  light.OmbEditChange();
  EXPECT_EQ(omb->text(), "100");
  EXPECT_EQ(CleanLightField("").text, "0");
  EXPECT_EQ(CleanLightField("2.5e3").text, "2,5");

  // The sun picker: the centre is the zenith, the rim the horizon.
  TSunPicker& sun = light.SunPicker();
  sun.Pick(sun.width() / 2.0, sun.height() / 2.0);
  EXPECT_NEAR(light.WorkingLight().elevation, std::numbers::pi / 2, 1e-6);
  sun.Pick(sun.width() * 2.0, sun.height() / 2.0);  // outside: moved onto the circle
  EXPECT_NEAR(light.WorkingLight().elevation, 0.0, 1e-6);
  EXPECT_NEAR(light.WorkingLight().azimuth, 0.0, 1e-6);
  EXPECT_EQ(dir->text(), "90.0");
  const QPointF tip = sun.SunPoint(light.WorkingLight());
  EXPECT_NEAR(tip.x(), sun.width(), 1e-3);

  // Cancel keeps the global light; OK copies the working one.
  const TLightParams before = main->Light();
  light.reject();
  EXPECT_EQ(main->Light().azimuth, before.azimuth);
  light.Activate();
  sun.Pick(sun.width() / 2.0, 0);
  light.accept();
  EXPECT_NEAR(main->Light().azimuth, -std::numbers::pi / 2, 1e-6);
}

TEST_F(RenderFormsTest, ShadowingRefusesNoTableWithoutShadow) {
  InstallHills();
  TSlicesDialog& hypso = Commands().SlicesDialog();
  hypso.ChooseType(kSliceNone);
  hypso.OkClick();
  EXPECT_TRUE(prompts.SaidOnly("You must use a colormap or a single shadow", "ERREUR"));
  EXPECT_EQ(hypso.result(), 0);
  // "Scale" spreads the bounds over the DEM's range.
  hypso.ChooseType(kSliceHypsoMap1);
  hypso.SetScale(true);
  EXPECT_FLOAT_EQ(hypso.Table()[12].bound, main->Session().CurrentDem()->maxElevation);
  hypso.SetScale(false);
  // "Personalized" keeps the table and hides "Smoothing" and "Shadow".
  hypso.ChooseType(kSlicePersonalized);
  EXPECT_EQ(hypso.Table().count(), 13);
  EXPECT_TRUE(hypso.findChild<QCheckBox*>("SmoothCheckBox")->isHidden());
}

TEST_F(RenderFormsTest, ShadowingWithTableShadowAndCastShadows) {
  InstallHills();
  prompts.dialogs["ConstHypsoForm"] = AcceptAfter<TSlicesDialog>([this](TSlicesDialog& form) {
    form.ChooseType(kSliceHypsoMap1);
    form.SetScale(true);
    form.SetShadow(true);
    form.ChoosePlacement(ResultKind::kParameterImage);
    form.ShadingDialog().findChild<QCheckBox*>("OmbCheckBox")->setChecked(false);
  });
  main->Action("Shadowing1")->trigger();
  ASSERT_TRUE(main->Session().ParameterImage());
  EXPECT_EQ(main->Session().ParameterImage()->kind, kRasterRgb);
  EXPECT_EQ(main->Session().ParameterTitle(), " HYPSOMETRIC SLICES AND SHADOW ");
  EXPECT_EQ(main->Session().CaptionedTitle(), " HYPSOMETRIC SLICES AND SHADOW   (1:1)");
  EXPECT_EQ(main->Session().Margin(), 0);
  EXPECT_FALSE(main->IsEnabled("OpenPalette1"));
  auto plain = main->Session().ParameterImage();

  // With cast shadows the picture only darkens and the title stays.
  Commands().ShadingDialog().findChild<QCheckBox*>("OmbCheckBox")->setChecked(true);
  prompts.dialogs["ConstHypsoForm"] = [](QDialog&) { return QDialog::Accepted; };
  TLightParams low = main->Light();
  low.elevation = 0.2f;
  Commands().ShadingDialog().SetWorkingLight(low);
  main->Action("Shadowing1")->trigger();
  auto cast = main->Session().ParameterImage();
  ASSERT_NE(cast, plain);
  EXPECT_EQ(main->Session().ParameterTitle(), " HYPSOMETRIC SLICES AND SHADOW ");
  // The sun at the zenith, as the sun picker gives it: taken, not refused as above 90 degrees.
  low.elevation = static_cast<float>(std::numbers::pi / 2);
  Commands().ShadingDialog().SetWorkingLight(low);
  main->Action("Shadowing1")->trigger();
  EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0].text.toStdString();
  EXPECT_NE(main->Session().ParameterImage(), cast);

  // Gray tones: display mode 1, palette enabled.
  prompts.dialogs["ConstHypsoForm"] = AcceptAfter<TSlicesDialog>([](TSlicesDialog& form) {
    form.SetShadow(false);
    form.ChooseType(kSliceGrayTones);
  });
  main->Action("Shadowing1")->trigger();
  EXPECT_EQ(main->Session().ParameterImage()->kind, kRasterGray);
  EXPECT_EQ(main->Session().ParameterTitle(), " HYPSOMETRIC SLICES ");
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);
  EXPECT_TRUE(main->IsEnabled("OpenPalette1"));

  // Wrapping replaces the DEM window's picture.
  prompts.dialogs["ConstHypsoForm"] = AcceptAfter<TSlicesDialog>(
      [](TSlicesDialog& form) { form.ChoosePlacement(ResultKind::kWrappedImage); });
  auto before = main->Session().DisplayedRaster();
  main->Action("Shadowing1")->trigger();
  EXPECT_NE(main->Session().DisplayedRaster(), before);
  EXPECT_EQ(main->Session().DisplayedRaster()->kind, kRasterGray);
}

TEST_F(RenderFormsTest, PaletteColoursTheParameterImageInsideTheMargin) {
  InstallHills();
  main->ShowParameterImage(MakeGray(30, 20, [](int c, int l) { return 20 + c * 5 + l; }), " SLOPE ", 3, DisplayMode::kGray);
  prompts.dialogs["PalForm"] = AcceptAfter<TPaletteDialog>([](TPaletteDialog& form) {
    EXPECT_EQ(form.findChild<QLineEdit*>("MinEdit")->text(), "38");
    EXPECT_EQ(form.findChild<QLineEdit*>("MaxEdit")->text(), QString::number(20 + 26 * 5 + 16));
    form.ChooseTable(0);
    form.SetSmoothing(true);
    form.accept();
  });
  main->Action("PaletteSpeedButton")->trigger();
  auto colour = main->Session().ParameterImage();
  ASSERT_EQ(colour->kind, kRasterRgb);
  EXPECT_EQ(testing::ColourAt(*colour, 2, 2), Rgb(255, 255, 255));
  EXPECT_EQ(testing::ColourAt(*colour, 3, 3), Rgb(0, 100, 0));  // the minimum: first class of "Classical"
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kColour);
  EXPECT_FALSE(main->IsEnabled("PaletteSpeedButton"));
  EXPECT_TRUE(main->IsEnabled("WrapImage1"));
  EXPECT_EQ(main->Session().ParameterTitle(), " SLOPE ");

  // Cancelled: nothing changes.
  main->ShowParameterImage(MakeGray(30, 20, [](int, int) { return 7; }), " X ", 0, DisplayMode::kGray);
  auto gray = main->Session().ParameterImage();
  prompts.dialogs["PalForm"] = [](QDialog&) { return QDialog::Rejected; };
  main->Action("OpenPalette1")->trigger();
  EXPECT_EQ(main->Session().ParameterImage(), gray);
}

TEST_F(RenderFormsTest, Viewer3dDragsCreatesAResultWindowAndRefusesAnImageOfAnotherSize) {
  EXPECT_DOUBLE_EQ(DragSpeed(Qt::NoModifier), 1.0);
  EXPECT_DOUBLE_EQ(DragSpeed(Qt::AltModifier), 0.1);
  EXPECT_DOUBLE_EQ(DragSpeed(Qt::ControlModifier | Qt::ShiftModifier), 100.0);
  InstallHills(80, 40);
  bool checked = false;
  prompts.dialogs["Vue3DForm"] = [&](QDialog& dialog) {
    auto& form = static_cast<TView3DDialog&>(dialog);
    form.resize(900, 600);
    form.Activate();
    if (!form.QuickDem()) {
      ADD_FAILURE() << "no quick view";
      return QDialog::Rejected;
    }
    EXPECT_EQ(form.QuickDem()->columns, 20);
    EXPECT_EQ(form.QuickDem()->lines, 10);
    // The initial view centres the rotation centre on the paint box.
    TView3D view = form.View();
    ComputeRotation(view);
    const TProjectedPoint centre = ProjectPoint(view, view.cx, view.cy, view.cz);
    EXPECT_EQ(centre.x, view.width / 2);
    EXPECT_EQ(centre.y, view.height / 2);
    EXPECT_FLOAT_EQ(centre.depth, 2 * form.QuickDem()->pixelSizeX * 20 + view.cx);
    EXPECT_FALSE(form.PaintBox().Bitmap().isNull());

    // Rotation: 120 pixels to the right turns c by -1 radian (wrapped into [0, 2 pi)).
    form.Press(QPoint(100, 100), Qt::LeftButton);
    form.MoveTo(QPoint(220, 100), Qt::NoModifier);
    EXPECT_NEAR(form.View().c, 2 * std::numbers::pi - 1.0, 1e-5);
    form.MoveTo(QPoint(112, 100), Qt::AltModifier);
    EXPECT_NEAR(form.View().c, 2 * std::numbers::pi - 0.01, 1e-5);
    form.Release();
    EXPECT_EQ(form.PanelText(8), "");

    // Zoom never below 0.001.
    form.SetDragQuantity(DragQuantity::kZoom);
    form.Press(QPoint(0, 0), Qt::LeftButton);
    form.MoveTo(QPoint(0, -1000), Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FLOAT_EQ(form.View().distance, 0.001f);
    form.Release();
    form.Reset(DragQuantity::kZoom);
    form.Reset(DragQuantity::kRotation);
    EXPECT_EQ(form.PanelText(7).trimmed(), "0.050");
    form.SetQuickMode(kViewSurface);
    form.SetFinalStyle(true, false, false);
    checked = true;
    return QDialog::Accepted;
  };
  main->Action("View3D1")->trigger();
  ASSERT_TRUE(checked);
  TView3DResultWindow* result = Commands().LastResult();
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->windowTitle(), " 3D RESULT");
  EXPECT_EQ(result->Picture().kind, kRasterRgb);
  EXPECT_GT(result->Picture().columns, 100);
  prompts.files.push_back({TempPath("view.bmp"), 1});
  result->SaveClick();
  EXPECT_EQ(prompts.requests.back().title, "Save (Format bmp)");
  EXPECT_EQ(prompts.requests.back().filter, "Bitmaps [*.bmp]|*.bmp");
  const auto saved = LoadRasterBmp(TempPath("view.bmp").toStdString());
  ASSERT_TRUE(saved);
  EXPECT_EQ((*saved)->columns, result->Picture().columns);

  // "Exit" makes no result window.
  const int windows = static_cast<int>(main->MdiArea().subWindowList().size());
  prompts.dialogs["Vue3DForm"] = [](QDialog&) { return QDialog::Rejected; };
  main->Action("View3D1")->trigger();
  EXPECT_EQ(static_cast<int>(main->MdiArea().subWindowList().size()), windows);

  // A picture of another size than the DEM is refused before the dialog.
  const std::size_t asked = prompts.executed.size();
  main->ShowViewState(nullptr, MakeGray(10, 10, [](int, int) { return 1; }));
  main->Action("View3D1")->trigger();
  EXPECT_TRUE(prompts.SaidOnly("The size of the DEM and the size of the image are not similar", "ERROR"));
  EXPECT_EQ(prompts.executed.size(), asked);
}

TEST_F(RenderFormsTest, DemInfoWindowQuickLookClicksAndPixelSize) {
  auto dem = MakeDem(100, 200, [](int c, int l) { return c + l; }, 30.0f);
  main->InstallOpenedDem(dem, MakeGray(100, 200, [](int, int) { return 0; }), "/data/tall_m2.raw");
  {
    TDemInfoForm form(*dem, 10, main.get());
    ASSERT_NE(form.QuickLook(), nullptr);
    EXPECT_EQ(form.QuickLook()->lines, 50);
    EXPECT_EQ(form.QuickLook()->columns, 25);
    EXPECT_EQ(form.findChild<QLineEdit*>("ScaleUnit")->text(), "decimeters");
    EXPECT_EQ(form.findChild<QLineEdit*>("ColEdit")->text(), "100");
    for (int i = 0; i < 3; ++i) form.ViewClick(Qt::LeftButton);
    EXPECT_NEAR(form.View().exaggeration, 1.728, 1e-5);
    const float c0 = form.View().c;
    form.Tick();
    EXPECT_NEAR(form.View().c - c0, 0.0087266, 1e-6);
    EXPECT_FALSE(form.PaintBox().Bitmap().isNull());
    form.PixelSizeEdit().setText("2,5");
    form.reject();  // the close box keeps the pixel size
  }
  EXPECT_FLOAT_EQ(dem->pixelSizeX, 30.0f);
  prompts.dialogs["InfosMntForm"] = Answer<TDemInfoForm>([](TDemInfoForm& form) {
    form.PixelSizeEdit().setText("2,5");
    form.accept();
  });
  main->Action("DEMInfo1")->trigger();
  EXPECT_FLOAT_EQ(dem->pixelSizeX, 2.5f);
  EXPECT_FLOAT_EQ(dem->pixelSizeY, 30.0f);
}

using RenderSession = SampleSessionTest;

TEST_F(RenderSession, ShadowingPaletteAnd3dViewerOnTheSampleDem) {
  auto& commands = *main->findChild<TReliefCommands*>("RenderCommands");

  // Shadowing: "HypsoMap 1" scaled to the DEM, smoothed, with shadow and cast shadows under
  // a low sun chosen in the light dialog.
  bool wrap = false;
  prompts.dialogs["ConstEstompForm"] = Answer<TShadingDialog>([](TShadingDialog& light) {
    light.Activate();
    light.findChild<QLineEdit*>("IncEdit")->setText("25");
    light.IncEditExit();
    light.findChild<QCheckBox*>("OmbCheckBox")->setChecked(true);
    light.OmbCheckBoxClick();
    light.findChild<QLineEdit*>("OmbEdit")->setText("45");
    light.OmbEditChange();
    ShowFor(light, "render_light_dialog.png", 100);
    light.accept();
  });
  prompts.dialogs["ConstHypsoForm"] = Answer<TSlicesDialog>([&](TSlicesDialog& form) {
    form.ChooseType(kSliceHypsoMap1);
    form.SetSmoothing(true);
    form.SetScale(true);
    if (!form.Shadow()) {
      form.SetShadow(true);
      form.findChild<QPushButton*>("EstompButton")->click();
    }
    form.ChoosePlacement(wrap ? ResultKind::kWrappedImage : ResultKind::kParameterImage);
    form.OkClick();
  });
  main->Action("Shadowing1")->trigger();
  ASSERT_TRUE(main->Session().ParameterImage());
  EXPECT_EQ(main->Session().ParameterImage()->kind, kRasterRgb);
  EXPECT_EQ(main->Session().ParameterImage()->columns, 403);
  ShotTiled("render_slices.png");

  // A slope in gray tones, recoloured with the palette.
  ShowGraySlope(*main);
  prompts.dialogs["PalForm"] = Answer<TPaletteDialog>([](TPaletteDialog& form) {
    form.ChooseTable(0);
    form.SetSmoothing(true);
    ShowFor(form, "render_palette_dialog.png", 100);
    form.accept();
  });
  main->Action("PaletteSpeedButton")->trigger();
  EXPECT_EQ(main->Session().ParameterImage()->kind, kRasterRgb);
  ShotFrame("render_palette.png", 100);

  // The slices wrapped on the DEM window, then the 3D viewer: drag, Create, save.
  wrap = true;
  main->Action("Shadowing1")->trigger();
  ASSERT_EQ(main->Session().DisplayedRaster()->kind, kRasterRgb);
  prompts.dialogs["Vue3DForm"] = Answer<TView3DDialog>([](TView3DDialog& viewer) {
    viewer.show();
    Wait(100);
    viewer.Activate();
    viewer.Press(QPoint(300, 200), Qt::LeftButton);
    for (int x = 300; x >= 240; x -= 10) viewer.MoveTo(QPoint(x, 212), Qt::NoModifier);
    viewer.Release();
    viewer.SetQuickMode(kViewSurface);
    ShowFor(viewer, "render_3d_viewer.png", 100);
    viewer.SetFinalStyle(true, false, false);
    viewer.accept();
  });
  main->Action("View3D1")->trigger();
  TView3DResultWindow* result = commands.LastResult();
  ASSERT_NE(result, nullptr);
  result->parentWidget()->resize(result->Picture().columns + 40, result->Picture().lines + 80);
  result->parentWidget()->raise();
  Wait(150);
  Shot(*result, "render_3d_result.png");
  prompts.files.push_back({TempPath("jacksboro_3d.bmp"), 1});
  result->findChild<QPushButton*>("SaveBitBtn")->click();
  EXPECT_TRUE(QFile::exists(TempPath("jacksboro_3d.bmp")));
  EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
}  // namespace orvane::test
