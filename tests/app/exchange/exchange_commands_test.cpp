// ILWIS export and import through the menus, the UTM readout, wrapping and levels, the page
// layout and printing: driven through the menu actions with a recording prompter; then on the
// sample DEM as a user runs them, with the pictures of the documentation (ORVANE_SHOTS, see
// support/app_session.h).
#include "app/exchange/exchange_commands.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QRadioButton>
#include <QSlider>
#include <cstdlib>

#include "app/display/levels_form.h"
#include "app/exchange/ilwis_forms.h"
#include "app/exchange/page_print_form.h"
#include "app/terrain/file_commands.h"
#include "support/app_session.h"
#include "support/compare.h"

namespace orvane::test {
namespace {

class ExchangeCommandsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    prompts.dialogs["DynamicScale"] = AnswerSampleScale;
    prompts.dialogs["ConfigPagePrintForm"] = Answer<TPageLayoutDialog>([](TPageLayoutDialog& form) { form.OkClick(); });
  }

  void ExportAs(const QString& name) {
    prompts.dialogs["FormIlwis"] = Answer<TIlwisExportDialog>([name](TIlwisExportDialog& form) {
      form.findChild<QLineEdit*>("Name10")->setText(name);
      form.OkClick();
    });
    main->Action("Ilwis1")->trigger();
  }

  // The dialog of that class the frame made, as the commands show it.
  template <class Dialog>
  Dialog& Find() {
    return *main->findChild<Dialog*>();
  }

  QLineEdit* Edit(QWidget& parent, const char* name) {
    auto* edit = parent.findChild<QLineEdit*>(name);
    EXPECT_NE(edit, nullptr) << name;
    return edit;
  }
};

TEST_F(ExchangeCommandsTest, ExportWritesTheFourFilesBesideTheLastOpenedFile) {
  InstallDem(4, 3);
  main->Session().SetLastFileName(TempPath("site_m2.raw"));
  Find<TUtmCoordinatesDialog>().SetFrameTexts({"31", "500000", "3000", "500400", "3300"});
  prompts.dialogs["CoordinateForm"] = Accept;
  main->Action("CoordUtm1")->trigger();

  ExportAs("map");
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(ReadAll(TempPath("map.mp#")).size(), 4 * 3 * 8);
  for (const char* extension : {".grf", ".dom", ".mpr"})
    EXPECT_TRUE(QFile::exists(TempPath(QString("map") + extension))) << extension;
  const QByteArray grf = ReadAll(TempPath("map.grf"));
  EXPECT_TRUE(grf.contains("Lines=3\r\nColumns=4\r\n"));
  EXPECT_TRUE(grf.contains("MinX=500000.000000\r\nMinY=3000.000000\r\n"));
  // Values 100 + c + 2l: 100 .. 107.
  const QByteArray mpr = ReadAll(TempPath("map.mpr"));
  EXPECT_TRUE(mpr.contains("MinMax=100:107\r\n"));
  EXPECT_TRUE(mpr.contains("CoordBounds=500000.000000 3000.000000 500400.000000 3300.000000"));
}

TEST_F(ExchangeCommandsTest, ExportNeedsANameAndReportsAFileItCannotWrite) {
  InstallDem(4, 3);
  ExportAs("");
  EXPECT_TRUE(prompts.SaidOnlyWith("", "ERROR"));
  EXPECT_FALSE(QFile::exists(TempPath(".mpr")));

  main->Session().SetLastFileName(TempPath("missing/site_m2.raw"));
  ExportAs("map");
  EXPECT_TRUE(prompts.SaidOnlyWith("map.mp#", "ERREUR"));

  // A closed dialog exports nothing.
  prompts.dialogs.erase("FormIlwis");
  main->Session().SetLastFileName(TempPath("site_m2.raw"));
  main->Action("Ilwis1")->trigger();
  EXPECT_FALSE(QFile::exists(TempPath("map.mp#")));
}

TEST_F(ExchangeCommandsTest, SampleDemExportedImportedAndReopenedKeepsItsElevations) {
  ASSERT_TRUE(OpenSampleDem());
  const std::shared_ptr<TDemModel> original = main->Session().CurrentDemShared();
  // The export goes beside the last opened file: make that the temporary folder.
  main->Session().SetLastFileName(TempPath("jacksboro_m2.raw"));
  ExportAs("jacks");
  ASSERT_TRUE(prompts.messages.empty());

  prompts.files.push_back({TempPath("jacks.mpr"), 1});
  const QString output = TempPath("back");
  prompts.dialogs["ImportIlwisFileForm"] = Answer<TIlwisImportDialog>([&](TIlwisImportDialog& form) {
    EXPECT_EQ(Edit(form, "LineEdit")->text(), "344");
    EXPECT_EQ(Edit(form, "NumBytesEdit")->text(), "8");
    Edit(form, "NameEdit")->setText(output);
    form.OkClick();  // no type yet: the dialog stays
    EXPECT_NE(form.result(), QDialog::Accepted);
    form.findChild<QRadioButton*>("DoubleRadioButton")->click();
    form.OkClick();
  });
  main->Action("ImportIlwis1")->trigger();
  ASSERT_EQ(prompts.requests.back().title, " IMPORT ILWIS FILE");
  EXPECT_EQ(prompts.requests.back().filter, "FILE [*.mpr]|*.mpr");
  EXPECT_TRUE(prompts.SaidOnly("Check the Format", "ERROR"));
  EXPECT_EQ(main->Session().LastFileName(), TempPath("jacks.mpr"));
  ASSERT_EQ(ReadAll(output + "_m4.raw").size(), 344 * 403 * 4);

  TriggerWith("OpenDEM1", output + "_m4.raw", 2);
  const TDemModel& reopened = *main->Session().CurrentDem();
  ASSERT_NE(&reopened, original.get());
  ASSERT_EQ(reopened.lines, 344);
  ASSERT_EQ(reopened.columns, 403);
  for (int l = 0; l < 344; ++l)
    for (int c = 0; c < 403; ++c)
      ASSERT_EQ(reopened.GetElevation(c, l), original->GetElevation(c, l)) << c << "," << l;
}

TEST_F(ExchangeCommandsTest, ImportReportsBadMapsAndCancelWritesNothing) {
  WriteAll(TempPath("bad.mpr"), "[Map]\r\nType=MapVirtual\r\n");
  WriteAll(TempPath("bad.mp#"), QByteArray(48, '\0'));
  TriggerWith("ImportIlwis1", TempPath("bad.mpr"), 1);
  EXPECT_TRUE(prompts.SaidOnlyWith("no map size", "ERREUR"));
  EXPECT_TRUE(prompts.executed.empty());

  // A good map, the dialog cancelled: no conversion.
  WriteAll(TempPath("bad.mpr"), "[Map]\r\nSize=2 3\r\n");
  Find<TIlwisImportDialog>().findChild<QRadioButton*>("DoubleRadioButton")->click();
  Edit(Find<TIlwisImportDialog>(), "NameEdit")->setText(TempPath("none"));
  TriggerWith("ImportIlwis1", TempPath("bad.mpr"), 1);
  EXPECT_EQ(prompts.executed.back(), "ImportIlwisFileForm");
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_FALSE(QFile::exists(TempPath("none_m4.raw")));

  // Two bytes too many: converted, with a warning; too few for the chosen type: refused.
  WriteAll(TempPath("bad.mp#"), QByteArray(50, '\0'));
  prompts.dialogs["ImportIlwisFileForm"] = Answer<TIlwisImportDialog>([](TIlwisImportDialog& form) { form.OkClick(); });
  TriggerWith("ImportIlwis1", TempPath("bad.mpr"), 1);
  EXPECT_TRUE(prompts.SaidOnlyWith("not a whole number"));
  EXPECT_EQ(ReadAll(TempPath("none_m4.raw")).size(), 6 * 4);

  WriteAll(TempPath("bad.mp#"), QByteArray(40, '\0'));
  TriggerWith("ImportIlwis1", TempPath("bad.mpr"), 1);
  EXPECT_TRUE(prompts.SaidOnlyWith("need 48"));
}

TEST_F(ExchangeCommandsTest, UtmFrameShowsInTheStatusBarAndGoesToTheExportDialog) {
  InstallDem(100, 100);
  emit main->DemOpened(TDemOpenedInfo{.lines = 100, .columns = 100, .pixelSize = 90});
  TUtmCoordinatesDialog& form = Find<TUtmCoordinatesDialog>();
  EXPECT_EQ(Edit(form, "CoordLines")->text(), "100");
  EXPECT_EQ(Edit(form, "OrigPixSize")->text(), "90");

  // Before the dialog was confirmed the UTM panel is left alone.
  main->SetStatusText(1, "untouched");
  main->DemWindow()->ReadOutAt({5, 5});
  EXPECT_EQ(main->StatusText(1), "untouched");

  prompts.dialogs["CoordinateForm"] = Answer<TUtmCoordinatesDialog>([this](TUtmCoordinatesDialog& coordinates) {
    coordinates.SetFrameTexts({"14", "1000", "3000", "2000", "4000"});
    EXPECT_EQ(Edit(coordinates, "PixSizeX")->text(), "10");
    EXPECT_EQ(Edit(coordinates, "PixSizeY")->text(), "10");
    // Corners out of order leave the calculated size as it was.
    coordinates.SetFrameTexts({"14", "3000", "3000", "2000", "4000"});
    EXPECT_EQ(Edit(coordinates, "PixSizeX")->text(), "10");
    coordinates.SetFrameTexts({"14", "1000", "3000", "2000", "4000"});
    coordinates.accept();
  });
  main->Action("CoordUtm1")->trigger();
  main->DemWindow()->ReadOutAt({99, 0});  // the formula: the image window's tests
  EXPECT_EQ(main->StatusText(1), "Coord. UTM   X  1990.00    Y  4000.00 ");
  EXPECT_EQ(Edit(Find<TIlwisExportDialog>(), "Zone")->text(), "14");
  EXPECT_EQ(Edit(Find<TIlwisExportDialog>(), "XMax")->text(), "2000");
  EXPECT_EQ(Edit(Find<TIlwisExportDialog>(), "YMin")->text(), "3000");

  // A frame without lines (no DEM figures) shows a blank rather than dividing by zero.
  Edit(form, "CoordLines")->setText("0");
  main->DemWindow()->ReadOutAt({3, 3});
  EXPECT_EQ(main->StatusText(1), " ");
}

TEST_F(ExchangeCommandsTest, LevelsOfAColourImageAreWrappedAndLinkJoinsTheBounds) {
  InstallDem(40, 30);
  auto colour = std::make_shared<TRasterImage>(40, 30, kRasterRgb);
  for (int l = 0; l < 30; ++l) {
    for (int c = 0; c < 40; ++c) colour->SetColor(c, l, Rgb(c + 40 * (l % 3), 75, 200));
  }
  main->ShowWrappedImage(colour);
  prompts.dialogs["HistoModifForm"] = Answer<TLevelsDialog>([](TLevelsDialog& form) {
    auto* link = form.findChild<QCheckBox*>("LierCheckBox");
    EXPECT_TRUE(link->isEnabled());
    EXPECT_FALSE(link->isChecked());
    form.findChild<QSlider*>("GMinTrackBar")->setValue(50);
    form.findChild<QSlider*>("GMaxTrackBar")->setValue(100);
    // The minimum pushed past the maximum drags it along.
    form.findChild<QSlider*>("BMinTrackBar")->setValue(255);
    EXPECT_EQ(form.State().Channel(kLevelsBlue).lo, 254);
    EXPECT_EQ(form.State().Channel(kLevelsBlue).hi, 255);
    EXPECT_EQ(form.findChild<QSlider*>("BMaxTrackBar")->value(), 255);
    form.findChild<QSlider*>("BMinTrackBar")->setValue(0);
    EXPECT_EQ(form.State().Channel(kLevelsRed).lo, 0);
    // Every green value (75) sits in bin 127 once stretched.
    EXPECT_EQ(form.ShownHistogram(kLevelsGreen)[127], 40u * 30u);
    EXPECT_FALSE(form.Preview().isNull());
    form.accept();
  });
  main->Action("Modifier1")->trigger();
  const auto wrapped = main->Session().DisplayedRaster();
  ASSERT_NE(wrapped, colour);
  EXPECT_EQ(testing::ColourAt(*wrapped, 7, 0), Rgb(7, 127, 200));
  EXPECT_EQ(main->Session().ViewStates().Previous()->raster, colour);

  // Link on a colour image: the least minimum and the greatest maximum for all three.
  prompts.dialogs["HistoModifForm"] = Answer<TLevelsDialog>([](TLevelsDialog& form) {
    form.findChild<QSlider*>("RMinTrackBar")->setValue(10);
    form.findChild<QSlider*>("RMaxTrackBar")->setValue(200);
    form.findChild<QSlider*>("GMinTrackBar")->setValue(20);
    form.findChild<QSlider*>("GMaxTrackBar")->setValue(180);
    form.findChild<QSlider*>("BMinTrackBar")->setValue(5);
    form.findChild<QSlider*>("BMaxTrackBar")->setValue(250);
    form.findChild<QCheckBox*>("LierCheckBox")->click();
    for (int ch = 0; ch < 3; ++ch) {
      EXPECT_EQ(form.State().Channel(ch).lo, 5);
      EXPECT_EQ(form.State().Channel(ch).hi, 250);
    }
    EXPECT_EQ(form.findChild<QSlider*>("GMinTrackBar")->value(), 5);
  });
  const auto before = main->Session().DisplayedRaster();
  main->Action("Modifier1")->trigger();
  EXPECT_EQ(main->Session().DisplayedRaster(), before);  // cancelled: nothing wrapped
}

TEST_F(ExchangeCommandsTest, GrayImageLocksLinkAndWrappingShowsTheParameterImage) {
  InstallDem(40, 30);
  auto gray = MakeGray(40, 30, [](int c, int) { return 40 + c; });
  main->ShowParameterImage(gray, " TEST ", 0, DisplayMode::kGray);
  EXPECT_TRUE(main->IsVisible("Imprimer"));
  EXPECT_TRUE(main->IsVisible("Configurationdelimpression1"));
  main->Action("WrapImage1")->trigger();
  EXPECT_EQ(main->Session().DisplayedRaster(), gray);

  prompts.dialogs["HistoModifForm"] = Answer<TLevelsDialog>([](TLevelsDialog& form) {
    auto* link = form.findChild<QCheckBox*>("LierCheckBox");
    EXPECT_TRUE(link->isChecked());
    EXPECT_FALSE(link->isEnabled());
    link->click();
    EXPECT_TRUE(link->isChecked());
    form.findChild<QSlider*>("RMinTrackBar")->setValue(50);
    form.findChild<QSlider*>("BMaxTrackBar")->setValue(100);
    for (int ch = 0; ch < 3; ++ch) {
      EXPECT_EQ(form.State().Channel(ch).lo, 50);
      EXPECT_EQ(form.State().Channel(ch).hi, 100);
    }
    EXPECT_EQ(form.findChild<QLabel*>("GMinLabel")->text(), "50");
    form.accept();
  });
  main->Action("Modifier1")->trigger();
  const auto wrapped = main->Session().DisplayedRaster();
  ASSERT_EQ(wrapped->kind, kRasterGray);
  EXPECT_EQ(testing::Pixel(*wrapped, 9, 0), 0);     // 49
  EXPECT_EQ(testing::Pixel(*wrapped, 35, 0), 127);  // 75
  EXPECT_EQ(testing::Pixel(*wrapped, 10, 0), 0);    // 50
}

class PrintingTest : public ExchangeCommandsTest {
 protected:
  void SetUp() override {
    pdf = QDir(temp.path()).filePath("page.pdf");
    setenv("ORVANE_PRINT_PDF", pdf.toLocal8Bit().constData(), 1);
    ExchangeCommandsTest::SetUp();
    unsetenv("ORVANE_PRINT_PDF");
    Find<TPageLayoutDialog>().Printer().setPageSize(QPageSize(QPageSize::A4));
  }
  QString pdf;
};

TEST_F(PrintingTest, PageLayoutShowsTheFittedNumbersAndStoresTheRectangle) {
  InstallDem(400, 200);
  main->ShowParameterImage(MakeGray(400, 200, [](int c, int) { return c % 256; }), " T ", 0, DisplayMode::kGray);
  EXPECT_EQ(main->Session().PrinterRectangle().left, -1);
  prompts.dialogs["ConfigPagePrintForm"] = Answer<TPageLayoutDialog>([this](TPageLayoutDialog& form) {
    EXPECT_EQ(Edit(form, "LargEdit")->text(), "105");
    EXPECT_EQ(Edit(form, "HautEdit")->text(), "52.5");
    EXPECT_EQ(Edit(form, "GaucheEdit")->text(), "52.5");
    EXPECT_EQ(Edit(form, "HauteEdit")->text(), "122.3");
    EXPECT_FALSE(Edit(form, "GaucheEdit")->isEnabled());

    QLineEdit* width = Edit(form, "LargEdit");
    width->setText("300");
    emit width->editingFinished();
    EXPECT_EQ(width->text(), "210");
    EXPECT_EQ(Edit(form, "HautEdit")->text(), "105");

    width->setText("100,5");
    emit width->editingFinished();
    EXPECT_FLOAT_EQ(form.Layout().w, 100.5f);
    width->setText("105x");
    emit width->editingFinished();
    EXPECT_FLOAT_EQ(form.Layout().w, 105.0f);

    form.findChild<QCheckBox*>("CentrerCheckBox")->click();
    QLineEdit* left = Edit(form, "GaucheEdit");
    EXPECT_TRUE(left->isEnabled());
    left->setText("12.5");
    emit left->editingFinished();
    EXPECT_EQ(left->text(), "12.5");
    left->setText("500");  // past the page edge: cut back to W - w
    emit left->editingFinished();
    EXPECT_EQ(left->text(), "105");
    left->setText("10");
    emit left->editingFinished();

    form.OkClick();
    const QRect pixels = form.Printer().pageLayout().fullRectPixels(form.Printer().resolution());
    const PrinterRect r = form.Rectangle();
    EXPECT_EQ(r.left, static_cast<int>(pixels.width() * 10.0f / 210.0f));
    EXPECT_EQ(r.right, static_cast<int>(pixels.width() * 115.0f / 210.0f));
  });
  main->Action("Configurationdelimpression1")->trigger();
  EXPECT_EQ(main->Session().PrinterRectangle().left, Find<TPageLayoutDialog>().Rectangle().left);
  EXPECT_GT(main->Session().PrinterRectangle().left, 0);
}

TEST_F(PrintingTest, TallBitmapOnTheWholePageAndLandscape) {
  InstallDem(100, 400);
  main->ShowParameterImage(MakeGray(100, 400, [](int, int l) { return l % 256; }), " T ", 0, DisplayMode::kGray);
  prompts.dialogs["ConfigPagePrintForm"] = Answer<TPageLayoutDialog>([this](TPageLayoutDialog& form) {
    form.findChild<QCheckBox*>("PPageCheckBox")->click();
    EXPECT_FLOAT_EQ(form.Layout().h, 297.0f);
    EXPECT_FLOAT_EQ(form.Layout().w, 74.25f);
    EXPECT_FALSE(Edit(form, "LargEdit")->isEnabled());
    form.findChild<QRadioButton*>("PaysageRadioButton")->click();
    EXPECT_FLOAT_EQ(form.Layout().W, 297.0f);
    EXPECT_FLOAT_EQ(form.Layout().h, 210.0f);
  });
  main->Action("Configurationdelimpression1")->trigger();
  EXPECT_EQ(main->Session().PrinterRectangle().left, -1);
}

TEST_F(PrintingTest, PrintWritesTheParameterImageToAPdfAndKeepsAReadOnlyOne) {
  InstallDem(400, 200);
  main->ShowParameterImage(MakeGray(400, 200, [](int c, int) { return c % 256; }), " T ", 0, DisplayMode::kGray);
  main->Action("Imprimer")->trigger();  // no layout yet: the dialog comes first
  EXPECT_EQ(prompts.executed, std::vector<QString>{"ConfigPagePrintForm"});
  EXPECT_TRUE(prompts.messages.empty());
  const QByteArray bytes = ReadAll(pdf);
  ASSERT_GT(bytes.size(), 1000);
  EXPECT_TRUE(bytes.startsWith("%PDF"));

  // The stored layout serves the next printing without asking.
  QFile::remove(pdf);
  main->Action("Imprimer")->trigger();
  EXPECT_EQ(prompts.executed.size(), 1u);
  EXPECT_TRUE(QFile::exists(pdf));

  // A read-only PDF is said and kept.
  WriteAll(pdf, "old bytes");
  QFile old(pdf);
  ASSERT_TRUE(old.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
  main->Action("Imprimer")->trigger();
  EXPECT_TRUE(!prompts.messages.empty() && prompts.messages[0].text.contains("Permission denied"));
  EXPECT_TRUE(prompts.SaidOnlyWith(pdf));
  EXPECT_EQ(ReadAll(pdf), "old bytes");
  EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
  // Writable again: the page replaces it and the printer still names the chosen file.
  ASSERT_TRUE(old.setPermissions(old.permissions() | QFile::WriteOwner));
  main->Action("Imprimer")->trigger();
  EXPECT_TRUE(ReadAll(pdf).startsWith("%PDF"));
  EXPECT_EQ(Find<TPageLayoutDialog>().Printer().outputFileName(), pdf);
}

TEST_F(ExchangeCommandsTest, WithoutAPrinterThePageGoesToTheChosenPdfFile) {
  if (!Find<TPageLayoutDialog>().AsksPdfFile()) GTEST_SKIP() << "a printer is installed";
  const auto* label = Find<TPageLayoutDialog>().findChild<QLabel*>("PrinterLabel");
  EXPECT_TRUE(label->text().contains("PDF"));
  InstallDem(40, 30);
  main->ShowParameterImage(MakeGray(40, 30, [](int c, int) { return c; }), " T ", 0, DisplayMode::kGray);
  main->Action("Imprimer")->trigger();  // the file dialog is cancelled: nothing printed
  EXPECT_TRUE(prompts.messages.empty());
  TriggerWith("Imprimer", TempPath("page"), 1);
  EXPECT_EQ(prompts.requests.back().filter, "PDF [*.pdf]|*.pdf");
  EXPECT_TRUE(ReadAll(TempPath("page.pdf")).startsWith("%PDF"));
}

// The sample DEM's session printing to a PDF in the work directory.
class ExchangeSession : public SampleSessionTest {
 protected:
  void SetUp() override {
    setenv("ORVANE_PRINT_PDF", TempPath("slope.pdf").toLocal8Bit().constData(), 1);
    SampleSessionTest::SetUp();
    unsetenv("ORVANE_PRINT_PDF");
    main->findChild<TPageLayoutDialog*>()->Printer().setPageSize(QPageSize(QPageSize::A4));
  }
};

TEST_F(ExchangeSession, UtmReadoutLevelsAndPrintingOnTheSampleDem) {
  // A UTM frame of 90 m cells.
  prompts.dialogs["CoordinateForm"] = Answer<TUtmCoordinatesDialog>([](TUtmCoordinatesDialog& form) {
    form.SetFrameTexts({"14", "600000", "3660000", "636270", "3690960"});
    EXPECT_EQ(form.findChild<QLineEdit*>("PixSizeX")->text(), "90");
    EXPECT_EQ(form.findChild<QLineEdit*>("PixSizeY")->text(), "90");
    ShowFor(form, "exchange_coordinates.png", 100);
    form.accept();
  });
  main->Action("CoordUtm1")->trigger();
  main->DemWindow()->ReadOutAt({100, 44});
  EXPECT_EQ(main->StatusText(1), "Coord. UTM   X 609000.00    Y 3687000.00 ");
  ShotFrame("exchange_utm_readout.png", 100);

  // Levels of the relief: a gray image, so the three channels move together.
  prompts.dialogs["HistoModifForm"] = Answer<TLevelsDialog>([](TLevelsDialog& form) {
    form.findChild<QSlider*>("RMinTrackBar")->setValue(70);
    form.findChild<QSlider*>("RMaxTrackBar")->setValue(190);
    ShowFor(form, "exchange_levels_dialog.png", 100);
    form.accept();
  });
  const auto relief = main->Session().DisplayedRaster();
  main->Action("Modifier1")->trigger();
  ASSERT_NE(main->Session().DisplayedRaster(), relief);
  const int before = testing::Pixel(*relief, 200, 170);
  EXPECT_EQ(testing::Pixel(*main->Session().DisplayedRaster(), 200, 170),
            before < 70 ? 0 : before > 190 ? 255 : (before - 70) * 255 / 120);

  // A slope image, laid out at 150 mm wide and printed.
  ShowGraySlope(*main, 90);
  ShotTiled("exchange_levels_wrapped.png");
  ASSERT_TRUE(main->IsVisible("Imprimer"));
  prompts.dialogs["ConfigPagePrintForm"] = Answer<TPageLayoutDialog>([](TPageLayoutDialog& form) {
    QLineEdit* width = form.findChild<QLineEdit*>("LargEdit");
    width->setText("150");
    emit width->editingFinished();
    ShowFor(form, "exchange_page_layout.png", 100);
    form.OkClick();
  });
  main->Action("Imprimer")->trigger();
  EXPECT_TRUE(prompts.messages.empty());
  const QByteArray printed = ReadAll(TempPath("slope.pdf"));
  EXPECT_TRUE(printed.startsWith("%PDF"));
  EXPECT_GT(printed.size(), 10000);
}

}  // namespace
}  // namespace orvane::test
