// Local fractal dimension, total depth and surface 3D as a user runs them from the menus on
// the sample DEM. With ORVANE_RENDER_SHOTS set to a directory, the dialogs and results are
// saved there as pictures (run under X: QT_QPA_PLATFORM=xcb xvfb-run -a ...).
#include <QAction>
#include <QMdiArea>

#include "app/display/diagram_forms.h"
#include "app/drainage/dissection_forms.h"
#include "app/surface/local_fractal_form.h"
#include "app/surface/total_depth_form.h"
#include "core/surface/total_depth.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {


// Shows a dialog as the user would see it, takes its picture and lets `press` close it.
template <class Form>
std::function<int(QDialog&)> Answer(const char* shot, std::function<void(Form&)> press) {
  return [=](QDialog& dialog) {
    auto& form = static_cast<Form&>(dialog);
    form.show();
    Wait(80);
    press(form);
    if (form.isVisible()) form.hide();
    if (shot) Shot(form, shot);
    return form.result();
  };
}

using Surface2Session = SampleSessionTest;

TEST_F(Surface2Session, RoughnessAndReliefOnTheSampleDem) {

  // Local fractal dimension, window 12, H = 0.1: message, image, then the diagram.
  prompts.dialogs["LocalFractForm"] = Answer<TLocalFractalDialog>(
      nullptr, [](TLocalFractalDialog& form) {
        form.ClickSize(12);
        form.SetHText("0.1");
        Shot(form, "surface2_local_fractal_dialog.png");
        form.OkClick();
      });
  prompts.dialogs["DiagLocFractDimForm"] = [&](QDialog& dialog) {
    dialog.show();
    Wait(100);
    Shot(dialog, "surface2_local_fractal_diagram.png");
    dialog.accept();
    return QDialog::Accepted;
  };
  ASSERT_TRUE(main->Action("LocalFractalTreatment1")->isEnabled());
  main->Action("LocalFractalTreatment1")->trigger();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_TRUE(prompts.messages[0].text.startsWith("Min = 1."));
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  auto& diagram = DiagramWindow<TLocalFractalDiagram>(*main);
  EXPECT_GT(diagram.UpperBound(), diagram.Start());
  EXPECT_LE(diagram.UpperBound(), 300);
  main->TileWindows();
  Wait(150);
  Shot(*main, "surface2_local_fractal.png");
  // The Diagram button opens it again.
  main->Action("DiagSpeedButton")->trigger();
  EXPECT_EQ(prompts.executed.back(), "DiagLocFractDimForm");

  // Total depth over 11 x 11 pixels, coloured classes spread over the relief, smoothed.
  prompts.dialogs["DDFen"] = [](QDialog& dialog) {
    auto& window = static_cast<TWindowSizeDialog&>(dialog);
    window.SetWindowSizeText("11");
    window.show();
    Wait(50);
    Shot(window, "surface2_filter_size.png");
    window.accept();
    return QDialog::Accepted;
  };
  prompts.dialogs["TotalDepthForm"] = [](QDialog& dialog) {
    auto& form = static_cast<TClassPaletteDialog&>(dialog);
    form.show();
    form.SelectPalette(kDepthColored);
    form.SetScale(true);
    form.SetSmoothing(true);
    Wait(100);
    Shot(form, "surface2_total_depth_dialog.png");
    form.OkClick();
    return form.result();
  };
  main->Action("TotalDepthTreatment1")->trigger();
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().ParameterImage()->kind, kRasterRgb);
  EXPECT_EQ(main->Session().ParameterTitle(), " TOTAL DEPTH   GRID SIZE 0.990 x 0.990 km");
  Wait(150);
  Shot(*main, "surface2_total_depth.png");

  // Surface 3D over 7 x 7 pixels.
  prompts.dialogs["DDFen"] = [](QDialog& dialog) {
    static_cast<TWindowSizeDialog&>(dialog).SetWindowSizeText("7");
    dialog.accept();
    return QDialog::Accepted;
  };
  main->Action("Surface3DTreatment1")->trigger();
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().ParameterImage()->kind, kRasterGray);
  EXPECT_EQ(main->Session().Margin(), 4);
  Wait(150);
  Shot(*main, "surface2_surface3d.png");
  EXPECT_EQ(prompts.messages.size(), 1u) << "only the local fractal extremes";
  main->close();
}

}  // namespace
}  // namespace orvane::test
