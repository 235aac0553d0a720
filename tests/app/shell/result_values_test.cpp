// The value grid of the current result: the menu treatments that keep it beside their picture
// (readout over the right window, export as Float32 GeoTIFF, dropped by the next treatment).
#include <QAbstractButton>
#include <QScrollBar>
#include <cmath>

#include "support/gdal_rasters.h"
#include "app/render/relief_forms.h"
#include "app/display/value_histogram_window.h"
#include "app/drainage/drainage_forms.h"
#include "app/shell/result_values.h"
#include "app/surface/surface_forms.h"
#include "core/render/slices.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

// A plane rising 90 per column on 90 pixels: slope 45 degrees everywhere, and a window of 3
// spans 180 stored units, 18 m with 10 units per metre.
class MenuValuesTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    auto dem = MakeDem(40, 30, [](int c, int) { return 90 * c; });
    main->InstallOpenedDem(dem, MakeGray(40, 30, [](int c, int) { return c; }), "/data/plane_m2.raw");
    main->Session().SetDemScale(10, QString());
    main->resize(900, 700);
    main->show();
  }
  void RunSlope(ResultKind resultKind) {
    prompts.dialogs["PentesForm"] = AcceptAfter<QDialog>([resultKind](QDialog& d) {
      if (resultKind == ResultKind::kWrappedImage) d.findChild<QAbstractButton*>("WrappedRadioButton")->click();
    });
    main->Action("SlopeTreatment1")->trigger();
  }
  void RunTotalDepth(ResultKind resultKind) {
    AnswerWindowSize(prompts, "3");
    prompts.dialogs["TotalDepthForm"] = Answer<TClassPaletteDialog>([resultKind](TClassPaletteDialog& form) {
      form.ChoosePlacement(resultKind);
      form.OkClick();
    });
    main->Action("TotalDepthTreatment1")->trigger();
  }
  // The value panel after the pointer moved over `window` at the image pixel (column, line).
  QString HoverText(TImageWindow& window, int column, int line) {
    const double s = window.Scale();
    const QPoint at(static_cast<int>((column + 0.5) * s) - window.horizontalScrollBar()->value(),
                    static_cast<int>((line + 0.5) * s) - window.verticalScrollBar()->value());
    EXPECT_EQ(window.PixelAt(at), QPoint(column, line));
    SendMouse(*window.viewport(), QEvent::MouseMove, at);
    return main->StatusText(kValuePanel);
  }
};

TEST_F(MenuValuesTest, ResultValuesAreReadExportedAndDroppedWithTheirResult) {
  ExpectEnabled(*main, {"ExportValues1", "ValueHisto1"}, false);

  RunSlope(ResultKind::kParameterImage);
  ASSERT_TRUE(main->Session().ResultValues());
  ExpectEnabled(*main, {"ExportValues1", "ValueHisto1"}, true);
  EXPECT_EQ(HoverText(main->ParamWindow(), 12, 7), QString::fromUtf8("Slope 45°"));
  EXPECT_EQ(HoverText(main->EnsureDemWindow(), 12, 7), "");  // the relief, not the slope
  main->Action("WrapImage1")->trigger();  // the parameter image into the DEM window
  EXPECT_EQ(HoverText(main->EnsureDemWindow(), 12, 7), QString::fromUtf8("Slope 45°"));

  // The export: Float32, NaN as NoData, the grid cell for cell, on the typed UTM frame.
  main->SetUtmFrameSource([] { return TUtmFrame{.xMin = 500000.0, .yMin = 4000000.0, .xMax = 503600.0, .yMax = 4002700.0, .lines = 30, .columns = 40}; });
  main->Session().SetUtmCoordinatesSet(true);
  TriggerWith("ExportValues1", TempPath("slope"), 1);
  ASSERT_EQ(prompts.requests.back().filter, "GeoTIFF [*.tif]|*.tif");
  const testing::ReadBack written = testing::ReadTestRaster(TempPath("slope.tif").toStdString());
  ASSERT_TRUE(written.opened);
  EXPECT_EQ(written.type, GDT_Float32);
  EXPECT_EQ(written.transform, (std::array<double, 6>{500000.0, 90.0, 0.0, 4002700.0, 0.0, -90.0}));
  const ValueGrid& grid = *main->Session().ResultValues().grid;
  ASSERT_EQ(written.values[0].size(), grid.values.size());
  for (std::size_t k = 0; k < grid.values.size(); ++k)
    ASSERT_EQ(static_cast<float>(written.values[0][k]), grid.values[k]) << k;

  // Wrapped: read over the DEM window only; the margin has no value; U divides.
  RunTotalDepth(ResultKind::kWrappedImage);
  EXPECT_EQ(HoverText(main->EnsureDemWindow(), 12, 7), "Total depth 18 m");
  EXPECT_EQ(HoverText(main->EnsureDemWindow(), 0, 7), "Total depth: no value");
  EXPECT_EQ(HoverText(main->ParamWindow(), 12, 7), "");  // the slope picture is still there
  // Another picture in the DEM window (the slope wrapped again) is not read as total depth.
  main->Action("WrapImage1")->trigger();
  EXPECT_EQ(HoverText(main->EnsureDemWindow(), 12, 7), "");

  // The value histogram's axis runs over the values, in their unit.
  auto& histogram = *main->findChild<TValueHistogramWindow*>();
  EXPECT_EQ(histogram.AxisTexts(), (QStringList{"18", "18", "18", "18", "18 m"}));
  EXPECT_EQ(histogram.Counts().valid, 38 * 28);

  // Aspect keeps its degrees beside its picture: the plane falls to the west.
  prompts.dialogs["AspectFen"] = [](QDialog&) { return int(QDialog::Accepted); };
  main->Action("AspectTreatment1")->trigger();
  EXPECT_EQ(HoverText(main->ParamWindow(), 12, 7), QString::fromUtf8("Aspect 270°"));
  EXPECT_EQ(HoverText(main->ParamWindow(), 0, 7), "Aspect: no value");  // the outer ring

  // A network treatment reads the drainage raster: headwaters counted in the 7 x 7 window, the
  // one source at the top of a stream running down column 20.
  main->ShowDrainageRaster(MakeGray(40, 30, [](int c, int l) { return c == 20 && l >= 5 ? 0 : 255; }),
                          false);
  prompts.dialogs["HeadWatersForm"] = Answer<THeadwatersDialog>([](THeadwatersDialog& form) {
    TypeIn(form, "WindowEdit", "3");
    form.accept();
  });
  main->Action("Headwaterstreatment1")->trigger();
  EXPECT_EQ(HoverText(main->ParamWindow(), 20, 7), "Headwaters 1 headwaters");
  EXPECT_EQ(HoverText(main->ParamWindow(), 12, 7), "Headwaters 0 headwaters");

  // A treatment that keeps no values drops the grid.
  prompts.dialogs["ConstHypsoForm"] =
      AcceptAfter<TSlicesDialog>([](TSlicesDialog& form) { form.ChooseType(kSliceHypsoMap1); });
  main->Action("Shadowing1")->trigger();
  EXPECT_FALSE(main->Session().ResultValues());
  EXPECT_FALSE(main->IsEnabled("ExportValues1"));
  EXPECT_EQ(HoverText(main->EnsureDemWindow(), 12, 7), "");
}

}  // namespace
}  // namespace orvane::test
