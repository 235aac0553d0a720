// The shape, contour and circular-window commands as a user runs them on the sample DEM.
// With ORVANE_SURFACE_SHOTS set to a directory, the dialogs and the main window are saved
// there as pictures (run under X: QT_QPA_PLATFORM=xcb xvfb-run -a ...).
#include <QAction>

#include "app/surface/circular_forms.h"
#include "app/surface/contour_forms.h"
#include "app/surface/shape_forms.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

using SurfaceSession = SampleSessionTest;

TEST_F(SurfaceSession, ShapeContourAndCircularTreatmentsOnTheSampleDem) {
  auto showResult = [&](const char* name) {
    ASSERT_NE(main->Session().ParameterImage(), nullptr);
    EXPECT_EQ(main->Session().ParameterImage()->columns, 403);
    main->TileWindows();
    Wait(150);
    Shot(*main, name);
  };

  prompts.dialogs["ConCavForm"] = [](QDialog& d) {
    auto& form = static_cast<TConvexityConcavityDialog&>(d);
    form.SetRange(5);
    form.ChooseDynamism(255);
    ShowFor(form, "surface_convexity_dialog.png");
    form.accept();
    return form.result();
  };
  main->Action("Convexity1")->trigger();
  EXPECT_EQ(main->Session().ParameterTitle(), " CONVEXITY   WINDOW SIZE 11 x 11 ");
  showResult("surface_convexity.png");

  prompts.dialogs["HorizSurfForm"] = [](QDialog& d) {
    auto& form = static_cast<THorizontalSurfacesDialog&>(d);
    form.SetRange(2);
    form.ChooseDynamism(255);
    ShowFor(form, "surface_horizontal_dialog.png");
    form.accept();
    return form.result();
  };
  main->Action("HorizontalSurfaces1")->trigger();
  showResult("surface_horizontal.png");

  prompts.dialogs["ContourLineForm"] = [](QDialog& d) {
    auto& form = static_cast<TContourExtractionDialog&>(d);
    form.SetWindowSize(15);
    form.SetInterval(20);
    form.ChooseTiling(1);
    form.ChooseDynamism(255);
    ShowFor(form, "surface_contour_density_dialog.png");
    form.OkClick();
    return form.result();
  };
  main->Action("Global1")->trigger();
  showResult("surface_contour_density.png");

  prompts.dialogs["ContLineForm"] = [](QDialog& d) {
    auto& form = static_cast<TContourDensityDialog&>(d);
    form.SetFirst(300);
    form.SetLast(1000);
    form.SetInterval(50);
    ShowFor(form, "surface_contour_lines_dialog.png");
    form.OkClick();
    return form.result();
  };
  main->Action("ContourLineExtraction1")->trigger();
  showResult("surface_contour_lines.png");

  prompts.dialogs["CircularWindowForm"] = [](QDialog& d) {
    auto& form = static_cast<TCircularWindowDialog&>(d);
    form.ChooseStatistic(3);
    form.SetRadius(10);
    ShowFor(form, "surface_circular_dialog.png");
    form.OkClick();
    return form.result();
  };
  main->Action("CircularWindowTreatment1")->trigger();
  EXPECT_EQ(main->Session().ParameterTitle(), " STANDARD DEVIATION OF ELEVATION  CIRCULAR WINDOW  RADIUS 10 pixels");
  showResult("surface_circular_stddev.png");

  main->Action("DimensionFractale1")->trigger();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].caption, "GLOBAL FRACTAL DIMENSION");
  main->close();
}

}  // namespace
}  // namespace orvane::test
