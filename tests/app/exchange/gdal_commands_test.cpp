#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "support/gdal_rasters.h"
#include "app/exchange/exchange_commands.h"
#include "app/exchange/ilwis_forms.h"
#include "app/exchange/gdal_forms.h"
#include "app/terrain/dynamic_scale.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

using orvane::testing::ReadBack;
using orvane::testing::ReadTestRaster;
using orvane::testing::TestRaster;
using orvane::testing::WriteTestGeoTiff;

TestRaster UtmSite() {
  TestRaster r{.columns = 20,
               .lines = 15,
               .transform = std::array<double, 6>{640000.0, 30.0, 0.0, 3900000.0, 0.0, -30.0},
               .epsg = 32614,
               .noData = -9999.0};
  for (int l = 0; l < r.lines; ++l)
    for (int c = 0; c < r.columns; ++c) r.values.push_back(300.0 + 2.5 * c + 1.7 * l);
  r.values[1] = 123.7;
  r.values[2] = -9999.0;  // NoData: stays NoData, its stored value its nearest neighbour's
  return r;
}

class GdalCommandsTest : public MainFormTest {
 protected:
  // Answers the import dialog with a unit and a name.
  void AnswerImport(int unit, const QString& name, bool fillNoData = false) {
    prompts.dialogs["ImportGdalForm"] = Answer<TImportGdalDialog>([=](TImportGdalDialog& form) {
      // A Float32 raster is proposed in the finest unit that holds it.
      EXPECT_EQ(form.UnitFactor(), 0);
      form.ChooseUnit(unit);
      form.findChild<QCheckBox*>("FillNoDataCheckBox")->setChecked(fillNoData);
      form.findChild<QLineEdit*>("NameEdit")->setText(name);
      form.OkClick();
    });
  }
  void AnswerExport(TExportGeoTiffDialog::Content content, TExportGeoTiffDialog::Source source,
                    const QString& compression = "deflate") {
    prompts.dialogs["ExportGeoTiffForm"] = AcceptAfter<TExportGeoTiffDialog>([content, source, compression](TExportGeoTiffDialog& form) {
      form.Choose(content);
      form.ChooseSource(source);
      form.findChild<QComboBox*>("CompressionComboBox")->setCurrentText(compression);
    });
  }
};

TEST_F(GdalCommandsTest, ImportFromTheMenuOpensTheDemAndSetsTheUtmFrame) {
  const QString tif = TempPath("site.tif");
  ASSERT_TRUE(WriteTestGeoTiff(tif.toStdString(), UtmSite()));
  prompts.files.push_back({tif, 1});
  AnswerImport(10, TempPath("site"));
  main->Action("ImportGdal1")->trigger();

  const TDemModel* dem = main->Session().CurrentDem();
  ASSERT_NE(dem, nullptr);
  EXPECT_EQ(dem->lines, 15);
  EXPECT_EQ(dem->columns, 20);
  EXPECT_EQ(dem->GetElevation(1, 0), 1237.0);  // decimetres
  EXPECT_EQ(dem->GetElevation(2, 0), 1237.0);  // the hole takes its nearest neighbour
  EXPECT_FALSE(dem->IsValid(2, 0));
  EXPECT_EQ(dem->NoDataCount(), 1);
  EXPECT_FLOAT_EQ(dem->pixelSizeX, 300.0f);
  EXPECT_EQ(main->Session().UnitFactor(), 10);
  EXPECT_EQ(main->Session().PixelSize(), 30);
  EXPECT_EQ(main->Session().DemPath(), TempPath("site_m4.raw"));
  // Opened directly: no dynamic-scale dialog shown.
  EXPECT_EQ(prompts.executed, std::vector<QString>{"ImportGdalForm"});
  const auto* form = main->findChild<TImportGdalDialog*>();
  EXPECT_EQ(form->findChild<QLineEdit*>("SizeEdit")->text(), "15 x 20");
  EXPECT_EQ(form->findChild<QLineEdit*>("GroundEdit")->text(), "30 x 30");

  ASSERT_TRUE(main->Session().UtmCoordinatesSet());
  const std::optional<TUtmFrame> frame = main->UtmFrame();
  ASSERT_TRUE(frame);
  EXPECT_DOUBLE_EQ(frame->xMin, 640000.0);
  EXPECT_DOUBLE_EQ(frame->xMax, 640600.0);
  EXPECT_DOUBLE_EQ(frame->yMin, 3899550.0);
  EXPECT_DOUBLE_EQ(frame->yMax, 3900000.0);
  EXPECT_EQ(main->findChild<TUtmCoordinatesDialog*>()->FrameTexts().value(0), "14");

  EXPECT_TRUE(
      prompts.SaidOnlyAs("information", "1 NoData cells stay NoData: no value rests on them"));

  // The finest unit, and the box that fills NoData.
  prompts.files.push_back({tif, 1});
  AnswerImport(0, TempPath("site_mm"), true);
  main->Action("ImportGdal1")->trigger();
  dem = main->Session().CurrentDem();
  ASSERT_NE(dem, nullptr);
  EXPECT_EQ(main->Session().UnitFactor(), 1000);
  EXPECT_EQ(dem->GetElevation(1, 0), 123700.0);
  EXPECT_FALSE(dem->HasNoData());
  EXPECT_TRUE(prompts.SaidOnly(
      "Real elevations: the DEM is in millimeters, the finest unit that holds them\n"
      "1 NoData cells were filled with the nearest valid elevation"));
}

TEST_F(GdalCommandsTest, GeoTiffDroppedOrNamedGoesThroughTheImportAndShowsItsVoid) {
  TestRaster site = UtmSite();
  site.values[3 * 20 + 5] = -9999.0;  // a void inside the DEM as well
  const QString tif = TempPath("void.tif");
  ASSERT_TRUE(WriteTestGeoTiff(tif.toStdString(), site));
  AnswerImport(10, TempPath("dropped"));
  ASSERT_TRUE(DropFile(*main, tif));
  EXPECT_EQ(prompts.executed, std::vector<QString>{"ImportGdalForm"});  // no Image Size asked
  const TDemModel* dem = main->Session().CurrentDem();
  ASSERT_NE(dem, nullptr);
  EXPECT_EQ(dem->NoDataCount(), 2);

  // The relief of the DEM window: the void and the cells its filled value would light in
  // the NoData colour, the rest shaded as without a void.
  const std::shared_ptr<TRasterImage> relief = main->Session().DisplayedRaster();
  ASSERT_TRUE(relief);
  for (const auto& [column, line] : {std::pair{5, 3}, {4, 3}, {6, 4}, {2, 0}, {1, 1}})
    EXPECT_TRUE(relief->IsNoData(column, line)) << column << "," << line;
  EXPECT_FALSE(relief->IsNoData(12, 10));
  const QImage& shown = main->DemWindow()->Bitmap();
  EXPECT_NE(shown.pixel(5, 3), shown.pixel(12, 10));
  EXPECT_NE(qRed(shown.pixel(5, 3)), qGreen(shown.pixel(5, 3)));  // not a gray tone

  // The status bar over the void.
  main->DemWindow()->ReadOutAt(QPoint(5, 3));
  EXPECT_TRUE(main->StatusText(0).contains("no data")) << main->StatusText(0).toStdString();
  main->DemWindow()->ReadOutAt(QPoint(12, 10));
  EXPECT_FALSE(main->StatusText(0).contains("no data"));

  // Named on the command line: the same import.
  prompts.executed.clear();
  AnswerImport(1, TempPath("named"));
  main->OpenPath(tif);
  EXPECT_EQ(prompts.executed, std::vector<QString>{"ImportGdalForm"});
  EXPECT_EQ(main->Session().DemPath(), TempPath("named_m4.raw"));
}

TEST_F(GdalCommandsTest, ExportWritesTheParameterImageAndTheDemWithTheirGeoreference) {
  const QString tif = TempPath("site.tif");
  ASSERT_TRUE(WriteTestGeoTiff(tif.toStdString(), UtmSite()));
  prompts.files.push_back({tif, 1});
  AnswerImport(1, TempPath("site"));
  main->Action("ImportGdal1")->trigger();
  ASSERT_NE(main->Session().CurrentDem(), nullptr);

  main->ShowParameterImage(MakeGray(20, 15, [](int c, int l) { return c + l; }));
  AnswerExport(TExportGeoTiffDialog::kParameterImage, TExportGeoTiffDialog::kFromImport, "zstd");
  TriggerWith("ExportGeoTiff1", TempPath("slope"), 1);
  const ReadBack image = ReadTestRaster(TempPath("slope.tif").toStdString());
  ASSERT_TRUE(image.opened);
  GDALDatasetH written = GDALOpen(TempPath("slope.tif").toStdString().c_str(), GA_ReadOnly);
  ASSERT_NE(written, nullptr);
  EXPECT_STREQ(GDALGetMetadataItem(written, "COMPRESSION", "IMAGE_STRUCTURE"), "ZSTD");
  GDALClose(written);
  EXPECT_EQ(image.columns, 20);
  EXPECT_EQ(image.transform, *UtmSite().transform);
  EXPECT_EQ(image.utmZone, 14);
  EXPECT_EQ(image.values[0][21], 2.0);

  // The DEM through the UTM frame of the coordinate dialog, in whole metres.
  AnswerExport(TExportGeoTiffDialog::kDem, TExportGeoTiffDialog::kFromUtmFrame);
  TriggerWith("ExportGeoTiff1", TempPath("dem.tif"), 1);
  const ReadBack dem = ReadTestRaster(TempPath("dem.tif").toStdString());
  ASSERT_TRUE(dem.opened);
  EXPECT_EQ(dem.type, GDT_Int32);
  EXPECT_EQ(dem.transform, *UtmSite().transform);
  EXPECT_EQ(dem.utmZone, 14);
  EXPECT_EQ(dem.values[0][1], 123.0);
  EXPECT_TRUE(prompts.messages.size() == 1u) << prompts.messages.back().text.toStdString();

  // Another DEM opened: the imported georeference is gone, the export falls back to the frame.
  InstallDem(20, 15);
  emit main->DemOpened(TDemOpenedInfo{});
  auto* exchange = main->findChild<TExchangeCommands*>("ExchangeCommands");
  ASSERT_NE(exchange, nullptr);
  EXPECT_FALSE(exchange->ImportedGeoReference());
}

TEST_F(GdalCommandsTest, UnreadableRasterIsReportedAndOpensNothing) {
  const QString junk = TempPath("junk.tif");
  WriteAll(junk, "not a raster");
  TriggerWith("ImportGdal1", junk, 1);
  EXPECT_EQ(main->Session().CurrentDem(), nullptr);
  EXPECT_TRUE(prompts.SaidOnlyWith("junk.tif", "ERREUR"));
  EXPECT_TRUE(prompts.executed.empty());
  // Dropped, the same: no Image Size asked as for a raw file.
  ASSERT_TRUE(DropFile(*main, junk));
  EXPECT_TRUE(prompts.SaidOnlyWith("junk.tif", "ERREUR"));
  EXPECT_TRUE(prompts.executed.empty());

  // A raster without georeference needs a pixel size before OK closes the dialog.
  TestRaster bare = UtmSite();
  bare.transform.reset();
  bare.epsg = 0;
  ASSERT_TRUE(WriteTestGeoTiff(TempPath("bare.tif").toStdString(), bare));
  prompts.files.push_back({TempPath("bare.tif"), 1});
  prompts.dialogs["ImportGdalForm"] = Answer<TImportGdalDialog>([this](TImportGdalDialog& form) {
    form.findChild<QLineEdit*>("NameEdit")->setText(TempPath("bare"));
    form.OkClick();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    form.findChild<QLineEdit*>("PixSizeEdit")->setText("25");
    form.OkClick();
  });
  main->Action("ImportGdal1")->trigger();
  ASSERT_NE(main->Session().CurrentDem(), nullptr);
  EXPECT_EQ(main->Session().PixelSize(), 25);
  EXPECT_EQ(prompts.messages[0].text, "No Pixel Size\nThe raster has no georeference");
}

}  // namespace
}  // namespace orvane::test
