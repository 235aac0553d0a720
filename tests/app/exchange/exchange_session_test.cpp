// The exchange commands as a user runs them on the sample DEM: a UTM frame read
// out in the status bar, the DEM exported to ILWIS, imported back and reopened
// with the same elevations, the levels of the relief adjusted and wrapped, a
// slope image laid out on the page and printed to a PDF. With
// ORVANE_EXCHANGE_SHOTS set to a directory the windows are saved there as
// pictures and the PDF is kept there (run under X: QT_QPA_PLATFORM=xcb xvfb-run
// -a ...).
#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QSlider>
#include <cstdlib>

#include "app/exchange/exchange_commands.h"
#include "app/exchange/coordinate_form.h"
#include "app/display/levels_form.h"
#include "app/exchange/ilwis_forms.h"
#include "app/exchange/page_print_form.h"
#include "app/terrain/dynamic_scale.h"
#include "core/surface/slope.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

// Shows a dialog the way the user sees it, takes its picture, then lets
// `finish` close it.
template <class Form>
std::function<int(QDialog&)> Showing(const char* shot, std::function<void(Form&)> finish) {
  return [shot, finish](QDialog& dialog) {
    auto& form = static_cast<Form&>(dialog);
    form.show();
    Wait(100);
    if (shot) Shot(form, shot);
    finish(form);
    form.hide();
    return form.result();
  };
}

TEST(ExchangeSession, IlwisRoundTripUtmLevelsAndPrintingOnTheSampleDem) {
  TestPrompter prompts;
  QTemporaryDir temp;
  const QString pdf =
      temp.filePath("slope.pdf");
  setenv("ORVANE_PRINT_PDF", pdf.toLocal8Bit().constData(), 1);
  TSettings settings;
  settings.imageDir = temp.path().toStdString();
  auto main = std::make_unique<TMainForm>(settings);
  unsetenv("ORVANE_PRINT_PDF");
  main->Session().SetWorkDirectory(temp.path());
  main->resize(1100, 760);
  main->show();
  Wait(50);
  auto& commands = *main->findChild<TExchangeCommands*>("ExchangeCommands");
  commands.PagePrintForm().Printer().setPageSize(QPageSize(QPageSize::A4));

  // The sample DEM, opened from a folder of the user's: the export goes beside
  // it.
  const QString dem = temp.filePath("jacksboro_m2.raw");
  ASSERT_TRUE(QFile::copy(QStringLiteral(ORVANE_SAMPLE_DIR "/jacksboro_m2.raw"), dem));
  QFile::copy(QStringLiteral(ORVANE_SAMPLE_DIR "/jacksboro_m2.txt"),
              temp.filePath("jacksboro_m2.txt"));
  prompts.dialogs["DynamicScale"] = AnswerSampleScale;
  prompts.files.push_back({dem, 1});
  main->Action("OpenDEMSpeedButton")->trigger();
  ASSERT_NE(main->Session().CurrentDem(), nullptr);
  const std::shared_ptr<TDemModel> original = main->Session().CurrentDemShared();

  // A UTM frame of 90 m cells.
  prompts.dialogs["CoordinateForm"] =
      Showing<TUtmCoordinatesDialog>("exchange_coordinates.png", [](TUtmCoordinatesDialog& form) {
        form.SetZoneText("14");
        form.SetCorners("600000", "3660000", "636270", "3690960");
        EXPECT_EQ(form.CalculatedX(), "90");
        EXPECT_EQ(form.CalculatedY(), "90");
        form.accept();
      });
  main->Action("CoordUtm1")->trigger();
  main->DemWindow()->ReadOutAt({100, 44});
  EXPECT_EQ(main->StatusText(1), "Coord. UTM   X 609000.00    Y 3687000.00 ");
  Wait(100);
  Shot(*main, "exchange_utm_readout.png");

  // Export: the dialog holds the DEM's figures and the frame of the
  // coordinates.
  prompts.dialogs["FormIlwis"] =
      Showing<TIlwisExportDialog>("exchange_ilwis_export.png", [](TIlwisExportDialog& form) {
        EXPECT_EQ(form.Zone(), 14);
        form.SetNameText("jacksboro");
        form.OkClick();
      });
  main->Action("Ilwis1")->trigger();
  ASSERT_TRUE(prompts.messages.empty());
  const QByteArray mpr = [&] {
    QFile file(temp.filePath("jacksboro.mpr"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }();
  EXPECT_TRUE(
      mpr.contains("CoordBounds=600000.000000 3660000.000000 636270.000000 3690960.000000"));
  EXPECT_EQ(QFileInfo(temp.filePath("jacksboro.mp#")).size(), 344 * 403 * 8);

  // Import as doubles, then open the result.
  const QString back = temp.filePath("jacksboro_back");
  prompts.files.push_back({temp.filePath("jacksboro.mpr"), 1});
  prompts.dialogs["ImportIlwisFileForm"] =
      Showing<TIlwisImportDialog>("exchange_ilwis_import.png", [&](TIlwisImportDialog& form) {
        form.ChooseType(IlwisElementType::kDouble);
        form.SetNameText(back);
        form.OkClick();
      });
  main->Action("ImportIlwis1")->trigger();
  ASSERT_TRUE(prompts.messages.empty());
  prompts.files.push_back({back + "_m4.raw", 2});
  main->Action("OpenDEMSpeedButton")->trigger();
  const TDemModel& reopened = *main->Session().CurrentDem();
  ASSERT_EQ(reopened.lines, 344);
  ASSERT_EQ(reopened.columns, 403);
  int differences = 0;
  for (int l = 0; l < 344; ++l) {
    for (int c = 0; c < 403; ++c)
      differences += reopened.GetElevation(c, l) != original->GetElevation(c, l);
  }
  EXPECT_EQ(differences, 0);

  // Levels of the relief: a gray image, so the three channels move together.
  prompts.dialogs["HistoModifForm"] = Showing<TLevelsDialog>(nullptr, [](TLevelsDialog& form) {
    form.findChild<QSlider*>("RMinTrackBar")->setValue(70);
    form.findChild<QSlider*>("RMaxTrackBar")->setValue(190);
    Wait(100);
    Shot(form, "exchange_levels_dialog.png");
    form.accept();
  });
  const auto relief = main->Session().DisplayedRaster();
  main->Action("Modifier1")->trigger();
  ASSERT_NE(main->Session().DisplayedRaster(), relief);
  int before = 0, after = 0;
  relief->GetValue(200, 170, before);
  main->Session().DisplayedRaster()->GetValue(200, 170, after);
  EXPECT_EQ(after, before < 70 ? 0 : before > 190 ? 255 : (before - 70) * 255 / 120);

  // A slope image, laid out at 150 mm wide and printed.
  TSlopeParams params;
  params.grayTones = true;
  params.normalization = 90;
  auto slope = ComputeSlope(*main->Session().CurrentDem(), params, main->Progress());
  ASSERT_TRUE(slope);
  main->BeginTreatment(" SLOPE ");
  main->ShowParameterImage(std::shared_ptr<TRasterImage>(std::move(slope->image)), " SLOPE ", 0, DisplayMode::kGray);
  main->TileWindows();
  Wait(150);
  Shot(*main, "exchange_levels_wrapped.png");
  ASSERT_TRUE(main->IsVisible("Imprimer"));
  prompts.dialogs["ConfigPagePrintForm"] =
      Showing<TPageLayoutDialog>(nullptr, [](TPageLayoutDialog& form) {
        QLineEdit* width = form.findChild<QLineEdit*>("LargEdit");
        width->setText("150");
        emit width->editingFinished();
        Wait(100);
        Shot(form, "exchange_page_layout.png");
        form.OkClick();
      });
  main->Action("Imprimer")->trigger();
  EXPECT_TRUE(prompts.messages.empty());
  QFile printed(pdf);
  ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
  EXPECT_TRUE(printed.read(4) == "%PDF");
  EXPECT_GT(printed.size(), 10000);
  main->close();
}

}  // namespace
}  // namespace orvane::test
