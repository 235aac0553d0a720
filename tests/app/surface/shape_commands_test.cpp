// The shape, contour, circular-window and global fractal commands from the menus, on a small
// DEM of hills and a pit; then on the sample DEM as a user runs them, with the pictures of the
// documentation (ORVANE_SHOTS, see support/app_session.h).
#include <cmath>
#include <set>
#include <QLabel>
#include <QLineEdit>

#include "app/surface/surface_forms.h"
#include "core/surface/circular_window.h"
#include "core/surface/convexity.h"
#include "support/app_session.h"
#include "support/compare.h"

namespace orvane::test {
namespace {

using testing::ExpectSameImage;

class SurfaceShapeCommandsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    // Hills and a pit, so every treatment has something to find.
    dem_ = MakeDem(40, 30, [](int c, int l) { return 300 + ((c * 7 + l * 13) % 23) * 5 + (c == 20 && l == 15 ? 90 : 0); });
    main->InstallOpenedDem(dem_, MakeGray(40, 30, [](int c, int) { return c; }), "/data/site_m2.raw");
    main->Session().SetDemScale(1, "90");
  }

  template <class Form>
  Form& Dialog() {
    Form* form = main->findChild<Form*>();
    EXPECT_NE(form, nullptr);
    return *form;
  }

  std::shared_ptr<TDemModel> dem_;
};

TEST_F(SurfaceShapeCommandsTest, ConvexityShowsTheCoreResultWithTitleAndMargin) {
  prompts.dialogs["ConCavForm"] = Answer<TConvexityConcavityDialog>([](TConvexityConcavityDialog& form) {
    TypeIn(form, "SizeWinEdit", 3);
    Choose(form, 255);
    form.accept();
  });
  Trigger("Convexity1");
  ASSERT_NE(main->Session().ParameterImage(), nullptr);  // its values: the parity test
  EXPECT_EQ(main->Session().ParameterTitle(), " CONVEXITY   WINDOW SIZE 7 x 7 ");
  EXPECT_EQ(main->ParamWindow().windowTitle(), " CONVEXITY   WINDOW SIZE 7 x 7   (1:1)");
  EXPECT_EQ(main->Session().Margin(), 3);
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);

  // Closed without OK, the dialog still runs the treatment with the values it kept.
  prompts.dialogs["ConCavForm"] = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
  Trigger("Concavity1");
  EXPECT_EQ(main->Session().ParameterTitle(), " CONCAVITY   WINDOW SIZE 7 x 7 ");
  ExpectSameImage(*main->Session().ParameterImage(), *ComputeConcavity(*dem_, {3, 255})->image);
}

TEST_F(SurfaceShapeCommandsTest, WrappedConcavityReplacesTheDemWindowPicture) {
  prompts.dialogs["ConCavForm"] = Answer<TConvexityConcavityDialog>([](TConvexityConcavityDialog& form) {
    TypeIn(form, "SizeWinEdit", 2);
    Place(form, ResultKind::kWrappedImage);
    form.accept();
  });
  Trigger("Concavity1");
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);
  ASSERT_NE(main->Session().DisplayedRaster(), nullptr);
  ExpectSameImage(*main->Session().DisplayedRaster(), *ComputeConcavity(*dem_, {2, 100})->image);
}

TEST_F(SurfaceShapeCommandsTest, HorizontalSurfacesTurnThePaletteOffAndBinarizeHidesTheDynamism) {
  THorizontalSurfacesDialog& form = Dialog<THorizontalSurfacesDialog>();
  EXPECT_TRUE(!form.findChild<QWidget*>("DynamismPanel")->isHidden());
  Check(form, "BinarRadioButton");
  EXPECT_FALSE(!form.findChild<QWidget*>("DynamismPanel")->isHidden());
  Check(form, "RangeRadioButton");
  EXPECT_TRUE(!form.findChild<QWidget*>("DynamismPanel")->isHidden());

  prompts.dialogs["HorizSurfForm"] = Answer<THorizontalSurfacesDialog>([](THorizontalSurfacesDialog& f) {
    TypeIn(f, "SizeWinEdit", 2);
    Check(f, "BinarRadioButton");
    f.accept();
  });
  Trigger("HorizontalSurfaces1");
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().ParameterTitle(), " HORIZONTAL PLANS   WINDOW SIZE 5 x 5 ");
  EXPECT_EQ(main->Session().Margin(), 1);
  ExpectEnabled(*main, {"OpenPalette1", "PaletteSpeedButton"}, false);
  EXPECT_FALSE(main->IsEnabled("GrayHisto1"));  // left as it was before
  ExpectEnabled(*main, {"SaveParameter", "WrapImage1"}, true);
}

TEST_F(SurfaceShapeCommandsTest, ContourDensityChecksItsFieldsAndShowsTheDensity) {
  TContourExtractionDialog& form = Dialog<TContourExtractionDialog>();
  form.OkClick();
  EXPECT_TRUE(prompts.SaidOnly("Hypsometric interval not specified", "ERROR"));
  TypeIn(form, "HypsoIntervalEdit", 10);
  form.OkClick();
  EXPECT_TRUE(prompts.SaidOnly("Window range not specified"));

  // Cancelled while the window is still 0: nothing is computed.
  prompts.dialogs["ContourLineForm"] = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
  Trigger("Global1");
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);

  prompts.dialogs["ContourLineForm"] = Answer<TContourExtractionDialog>([](TContourExtractionDialog& f) {
    TypeIn(f, "SizeWinEdit", 7);
    TypeIn(f, "HypsoIntervalEdit", 10);
    Choose(f, 1);
    f.OkClick();
  });
  Trigger("Global1");
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->ParamWindow().windowTitle(), " CONTOUR LINE DENSITY   WINDOW SIZE   (1:1)");
  EXPECT_EQ(main->Session().Margin(), 4);
  EXPECT_EQ(form.findChild<QLineEdit*>("kilom1")->text(), "0.63");
  EXPECT_EQ(form.findChild<QLineEdit*>("MinDynEdit")->text(), QString::asprintf("%f", dem_->minElevation * 1.0));
  EXPECT_EQ(form.findChild<QLineEdit*>("PixEdit")->text(), "90");
}

TEST_F(SurfaceShapeCommandsTest, ContourExtractionKeepsItsLevelsAndOnlyEnablesSaving) {
  TContourDensityDialog& form = Dialog<TContourDensityDialog>();
  prompts.dialogs["ContLineForm"] = Answer<TContourDensityDialog>([](TContourDensityDialog& f) {
    TypeIn(f, "FirstContEdit", 320);
    TypeIn(f, "LastContEdit", 400);
    TypeIn(f, "IntervEdit", 0);
    f.OkClick();  // refused: the dialog stays open
    TypeIn(f, "IntervEdit", 20);
    f.OkClick();
  });
  Trigger("ContourLineExtraction1");
  EXPECT_TRUE(prompts.SaidOnly("The hypsometric interval must be greater than 0"));
  EXPECT_EQ(form.findChild<QLineEdit*>("MinEdit")->text(), QString::number(static_cast<int>(dem_->minElevation)));
  // The value grid holds the levels asked for, and only those.
  const TResultValues& values = main->Session().ResultValues();
  ASSERT_TRUE(values);
  std::set<int> levels;
  for (float value : values.grid->values)
    if (!std::isnan(value)) levels.insert(static_cast<int>(value));
  EXPECT_EQ(levels, (std::set<int>{320, 340, 360, 380, 400}));
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->ParamWindow().windowTitle(), " CONTOUR LINES   (1:1)");
  EXPECT_EQ(main->Session().Margin(), 0);
  EXPECT_TRUE(main->IsVisible("Save1"));
  ExpectEnabled(*main, {"SaveParameter"}, true);
  ExpectEnabled(*main, {"OpenPalette1", "GrayHisto1"}, false);

  // Cancelled: nothing changes.
  prompts.dialogs["ContLineForm"] = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
  auto before = main->Session().ParameterImage();
  Trigger("ContourLineExtraction1");
  EXPECT_EQ(main->Session().ParameterImage(), before);
}

TEST_F(SurfaceShapeCommandsTest, GlobalFractalDimensionIsReportedInAMessageBox) {
  Trigger("DimensionFractale1");  // the figures in the text: the parity test
  EXPECT_TRUE(prompts.SaidOnlyWith("\n\nCorrelation Coefficient r=", "GLOBAL FRACTAL DIMENSION"));
}

TEST_F(SurfaceShapeCommandsTest, CircularWindowRefusesMissingChoicesAndCaptionsWithoutScale) {
  TCircularWindowDialog& form = Dialog<TCircularWindowDialog>();
  form.OkClick();
  EXPECT_TRUE(prompts.SaidOnly("Radius and Treatment undefined"));
  TypeIn(form, "RadiusEdit", 2);
  TypeIn(form, "RadiusEdit", 0);
  Choose(form, 4);
  form.OkClick();
  EXPECT_TRUE(prompts.SaidOnly("Radius undefined"));

  prompts.dialogs["CircularWindowForm"] = Answer<TCircularWindowDialog>([](TCircularWindowDialog& f) {
    TypeIn(f, "RadiusEdit", 3);
    Choose(f, 6);
    f.OkClick();
  });
  Trigger("CircularWindowTreatment1");
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().ParameterTitle(), " PERCENTILE  CIRCULAR WINDOW  RADIUS 3 pixels");
  EXPECT_EQ(main->ParamWindow().windowTitle(), " PERCENTILE  CIRCULAR WINDOW  RADIUS 3 pixels");
  EXPECT_EQ(main->Session().Margin(), 5);
  EXPECT_EQ(form.findChild<QLineEdit*>("PixelSizeEdit")->text(), "90.000000");
  EXPECT_EQ(form.findChild<QLineEdit*>("SurfEdit")->text(), QString::number(CircularSurfaceKm2(3, 90), 'f', 4));

  Trigger("CircularWindowInfo1");
  EXPECT_EQ(prompts.executed.back(), "CWInfoForm");
  EXPECT_TRUE(main->findChild<QDialog*>("CWInfoForm")->findChild<QLabel*>()->text().contains(
      "2. Differnce from Mean Elevation"));
}

using SurfaceSession = SampleSessionTest;

TEST_F(SurfaceSession, ShapeContourAndCircularTreatmentsOnTheSampleDem) {
  // The treatment run from the menu with its dialog answered, its result pictured.
  const auto run = [&](const char* dialog, std::function<int(QDialog&)> answer, const char* action,
                       const char* shot) {
    prompts.dialogs[dialog] = std::move(answer);
    main->Action(action)->trigger();
    ASSERT_NE(main->Session().ParameterImage(), nullptr) << action;
    EXPECT_EQ(main->Session().ParameterImage()->columns, 403);
    ShotTiled(shot);
  };

  run("ConCavForm", Answer<TConvexityConcavityDialog>([](TConvexityConcavityDialog& form) {
        TypeIn(form, "SizeWinEdit", 5);
        Choose(form, 255);
        ShowFor(form, "surface_convexity_dialog.png");
        form.accept();
      }),
      "Convexity1", "surface_convexity.png");
  EXPECT_EQ(main->Session().ParameterTitle(), " CONVEXITY   WINDOW SIZE 11 x 11 ");
  run("HorizSurfForm", Answer<THorizontalSurfacesDialog>([](THorizontalSurfacesDialog& form) {
        TypeIn(form, "SizeWinEdit", 2);
        Choose(form, 255);
        ShowFor(form, "surface_horizontal_dialog.png");
        form.accept();
      }),
      "HorizontalSurfaces1", "surface_horizontal.png");
  run("ContourLineForm", Answer<TContourExtractionDialog>([](TContourExtractionDialog& form) {
        TypeIn(form, "SizeWinEdit", 15);
        TypeIn(form, "HypsoIntervalEdit", 20);
        Choose(form, 1);
        Choose(form, 255);
        ShowFor(form, "surface_contour_density_dialog.png");
        form.OkClick();
      }),
      "Global1", "surface_contour_density.png");
  run("ContLineForm", Answer<TContourDensityDialog>([](TContourDensityDialog& form) {
        TypeIn(form, "FirstContEdit", 300);
        TypeIn(form, "LastContEdit", 1000);
        TypeIn(form, "IntervEdit", 50);
        ShowFor(form, "surface_contour_lines_dialog.png");
        form.OkClick();
      }),
      "ContourLineExtraction1", "surface_contour_lines.png");
  run("CircularWindowForm", Answer<TCircularWindowDialog>([](TCircularWindowDialog& form) {
        Choose(form, 3);
        TypeIn(form, "RadiusEdit", 10);
        ShowFor(form, "surface_circular_dialog.png");
        form.OkClick();
      }),
      "CircularWindowTreatment1", "surface_circular_stddev.png");
  EXPECT_EQ(main->Session().ParameterTitle(), " STANDARD DEVIATION OF ELEVATION  CIRCULAR WINDOW  RADIUS 10 pixels");

  main->Action("DimensionFractale1")->trigger();
  EXPECT_TRUE(prompts.SaidOnlyWith("", "GLOBAL FRACTAL DIMENSION"));
}

}  // namespace
}  // namespace orvane::test
