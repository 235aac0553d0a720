// Opening DEMs, parameter images and drainage networks, saving them, and the settings file
// around a session: driven through the menu actions with a recording prompter.
#include "app/terrain/file_commands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <cstdint>
#include <cstdlib>

#include "app/shell/app_session.h"
#include "app/terrain/dynamic_scale.h"
#include "app/terrain/size_dialogs.h"
#include "core/terrain/raster_file.h"
#include "support/app_session.h"
#include "support/compare.h"
#include "support/dems.h"

namespace orvane::test {
namespace {

const QString kSample = QString::fromStdString(testing::SampleDemPath());

template <class T>
QByteArray LittleEndian(const std::vector<T>& values) {
  QByteArray bytes;
  for (T v : values) {
    auto u = static_cast<std::uint64_t>(static_cast<std::make_unsigned_t<T>>(v));
    for (std::size_t i = 0; i < sizeof(T); ++i) bytes.append(static_cast<char>((u >> (8 * i)) & 0xFF));
  }
  return bytes;
}

class FileCommandsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    commands = main->findChild<TFileCommands*>("FileCommands");
    ASSERT_NE(commands, nullptr);
    prompts.dialogs["DynamicScale"] = AnswerSampleScale;
  }

  TFileCommands* commands = nullptr;
};

TEST_F(FileCommandsTest, OpensTheSampleDemAndShowsItsRelief) {
  TDemOpenedInfo opened;
  QObject::connect(main.get(), &TMainForm::DemOpened,
                   [&](const TDemOpenedInfo& info) { opened = info; });
  TriggerWith("OpenDEM1", kSample, 1);
  ASSERT_NE(main->Session().CurrentDem(), nullptr);
  ASSERT_FALSE(prompts.requests.empty());
  EXPECT_EQ(prompts.requests[0].title, "Open DEM");
  EXPECT_EQ(prompts.requests[0].filter,
            "DEM Integer2 [_m2.raw]|*_m2.raw|DEM Integer4 [_m4.raw]|*_m4.raw|All Raw Types|*.raw");
  const TDemModel& dem = *main->Session().CurrentDem();
  EXPECT_EQ(dem.lines, 344);
  EXPECT_EQ(dem.columns, 403);
  EXPECT_EQ(dem.elementType, kDemInt32);
  EXPECT_FLOAT_EQ(dem.pixelSizeX, 90.0f);
  EXPECT_EQ(opened.lines, 344);
  EXPECT_EQ(opened.bytesPerElement, 2);
  EXPECT_EQ(main->DynamicScaleDialog().findChild<QLineEdit*>("CalcSize")->text(),
            QString::number(344 * 403 * 2));
  EXPECT_TRUE(QFile::exists(TempPath("orvane.raw")));

  ASSERT_NE(main->DemWindow(), nullptr);
  EXPECT_EQ(main->DemWindow()->windowTitle(), kSample);
  EXPECT_EQ(main->DemWindow()->Bitmap().size(), QSize(403, 344));
  EXPECT_EQ(main->Session().DisplayedRaster(), main->Session().OpeningRelief());
  EXPECT_TRUE(main->IsEnabled("SurfaceParameters1"));
  EXPECT_TRUE(main->IsVisible("Save1"));

  // The status bar reads the elevation out in metres.
  main->DemWindow()->ReadOutAt({10, 20});
  const QString expected = QString::asprintf("x:%8.2f y:%8.2f  z:%8.2f   ", 900.0, 1800.0,
                                             dem.GetElevation(10, 20));
  EXPECT_EQ(main->StatusText(0), expected);
  EXPECT_EQ(main->StatusText(3), "Line:    20  Column:    10 ");
}

TEST_F(FileCommandsTest, SixteenBitValuesStayUnsignedAndUnitScalesThePixel) {
  const QString path = TempPath("tiny_m2.raw");
  WriteAll(TempPath("tiny_m2.txt"), "3 5\r\n");
  std::vector<std::uint16_t> values(15, 7);
  values[4] = 65535;
  WriteAll(path, LittleEndian(values));
  prompts.dialogs["DynamicScale"] = Answer<TDynamicScaleDialog>([](TDynamicScaleDialog& scale) {
    scale.ChooseUnit(10);
    scale.SetPixelSizeText("30");
    scale.OkClick();
  });
  ASSERT_TRUE(commands->OpenDem(path, 1));
  const TDemModel& dem = *main->Session().CurrentDem();
  EXPECT_EQ(dem.lines, 3);
  EXPECT_EQ(dem.columns, 5);
  EXPECT_EQ(dem.GetElevation(4, 0), 65535.0);
  EXPECT_FLOAT_EQ(dem.pixelSizeX, 300.0f);
  EXPECT_EQ(main->Session().UnitFactor(), 10);
  EXPECT_EQ(main->Session().PixelSize(), 30);

  // Another opening given up at the dialog, after other answers were chosen in it: U and P
  // stay those of the DEM still open.
  prompts.dialogs["DynamicScale"] = Answer<TDynamicScaleDialog>([](TDynamicScaleDialog& scale) {
    scale.ChooseUnit(1000);
    scale.SetPixelSizeText("5");
  });
  EXPECT_FALSE(commands->OpenDem(path, 1));
  EXPECT_EQ(main->Session().UnitFactor(), 10);
  EXPECT_EQ(main->Session().PixelSize(), 30);
}

TEST_F(FileCommandsTest, AllRawTypesAsksTheWidthAndRefusesOtherAnswers) {
  const QString path = TempPath("wide.raw");
  WriteAll(TempPath("wide.txt"), "2 2");
  // Two bytes more than the grid in 32-bit: the size proves no width, the question decides.
  WriteAll(path, LittleEndian(std::vector<std::int32_t>{-5, 100000, 3, 4}) + QByteArray(2, '\0'));
  std::deque<QString> bytes = {"3", "1", "4"};
  prompts.dialogs["ByteForm"] = Answer<QDialog>([&](QDialog& dialog) {
    TypeIn(dialog, "BytesEdit", bytes.front());
    bytes.pop_front();
    dialog.accept();
  });
  ASSERT_TRUE(commands->OpenDem(path, 3));
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[0].caption, "ERREUR");
  EXPECT_TRUE(prompts.messages[0].text.contains("2 (Integer2) or 4 (Integer4)"));
  EXPECT_EQ(main->Session().CurrentDem()->GetElevation(0, 0), -5.0);
  EXPECT_EQ(main->Session().CurrentDem()->GetElevation(1, 0), 100000.0);

  // Giving up the question opens nothing.
  prompts.dialogs.erase("ByteForm");
  auto before = main->Session().CurrentDemShared();
  EXPECT_FALSE(commands->OpenDem(path, 3));
  EXPECT_EQ(main->Session().CurrentDemShared(), before);
}

TEST_F(FileCommandsTest, MissingHeaderAsksTheSizeAndBadFilesAreReported) {
  const QString path = TempPath("noheader.raw");
  WriteAll(path, LittleEndian(std::vector<std::uint16_t>(6, 9)));
  const auto answerSize = [this](const char* lines, const char* columns) {
    prompts.dialogs["CoordImage"] = Answer<TImageSizeDialog>([=](TImageSizeDialog& form) {
      form.SetTexts(lines, columns);
      form.accept();
    });
  };
  answerSize("2", "3");
  ASSERT_TRUE(commands->OpenDem(path, 1));
  EXPECT_EQ(main->Session().CurrentDem()->columns, 3);

  // Too short for the size asked in either width: reported with the figures, nothing opened.
  answerSize("3", "3");
  auto before = main->Session().CurrentDemShared();
  EXPECT_FALSE(commands->OpenDem(path, 2));
  EXPECT_TRUE(prompts.SaidOnly(
      "noheader.raw holds 12 bytes: 3 lines x 3 columns need 18 bytes as Integer2 or 36 as "
      "Integer4",
      "ERREUR"));
  EXPECT_EQ(main->Session().CurrentDemShared(), before);

  // The dynamic-scale dialog closed without OK gives up the opening.
  answerSize("2", "3");
  prompts.dialogs["DynamicScale"] = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
  EXPECT_FALSE(commands->OpenDem(path, 1));
  EXPECT_EQ(main->Session().CurrentDemShared(), before);
}

TEST_F(FileCommandsTest, DroppedFileOpensThroughTheSameSteps) {
  ASSERT_TRUE(DropFile(*main, kSample));
  ASSERT_NE(main->Session().CurrentDem(), nullptr);
  EXPECT_EQ(main->Session().CurrentDem()->columns, 403);
  EXPECT_EQ(prompts.executed, std::vector<QString>{"DynamicScale"});

  // Only DEMs are taken: a raw one or an elevation raster, not a picture.
  EXPECT_FALSE(DropFile(*main, TempPath("image.bmp")));
}

TEST_F(FileCommandsTest, DemNamedOnTheCommandLineOpensOnceTheFrameShows) {
  EXPECT_EQ(DemPathArgument({"orvane", "--", "-odd_m2.raw"}), "-odd_m2.raw");
  EXPECT_EQ(DemPathArgument({"orvane", "--", }), "");
  EXPECT_EQ(DemPathArgument({"orvane", kSample, "other_m2.raw"}), kSample);

  ShowAfterSplash(*main, 10, kSample);
  QElapsedTimer timer;
  timer.start();
  while (main->Session().CurrentDem() == nullptr && timer.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_TRUE(main->isVisible());
  ASSERT_NE(main->Session().CurrentDem(), nullptr);
  EXPECT_EQ(main->Session().CurrentDem()->columns, 403);
  EXPECT_EQ(prompts.executed, std::vector<QString>{"DynamicScale"});
}

TEST_F(FileCommandsTest, SavesAndReopensAParameterImageAsRawAndBmp) {
  ASSERT_TRUE(OpenSampleDem());
  auto image = MakeGray(403, 344, [](int c, int l) { return (c + l) % 256; });
  main->ShowParameterImage(image, " SLOPE ", 0, DisplayMode::kGray);

  TriggerWith("SaveParameter", TempPath("site_slope"), 1);
  EXPECT_EQ(prompts.requests.back().title, "Save Parameter Image");
  EXPECT_EQ(prompts.requests.back().filter, "Image Raw|*.raw|Image BMP|*.bmp");
  EXPECT_EQ(prompts.requests.back().directory, temp.path());
  EXPECT_EQ(ReadAll(TempPath("site_slope.raw")).size(), 403 * 344);
  EXPECT_EQ(ReadAll(TempPath("site_slope.txt")), "344\r\n403\r\n1\r\n0\r\n255\r\n90\r\n");

  TriggerWith("SaveParameterSpeedButton", TempPath("site_slope"), 2);
  ASSERT_TRUE(QFile::exists(TempPath("site_slope.bmp")));

  for (const auto& [name, filter] : {std::pair{"site_slope.raw", 2}, {"site_slope.bmp", 1}}) {
    main->ShowParameterImage(MakeGray(403, 344, [](int, int) { return 0; }), " X ", 0, DisplayMode::kGray);
    TriggerWith("OpenParameterImage1", TempPath(name), filter);
    EXPECT_EQ(testing::Pixel(*main->Session().ParameterImage(), 10, 20), 30) << name;
    EXPECT_EQ(main->ParamWindow().Bitmap().pixel(10, 20), qRgb(30, 30, 30)) << name;
    EXPECT_TRUE(main->IsEnabled("WrapImage1"));
  }
  EXPECT_EQ(prompts.requests.back().title, "OPEN PARAMETER");
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FileCommandsTest, ColourImagesSaveAsBitmapOnly) {
  ASSERT_TRUE(OpenSampleDem());
  auto colour = std::make_shared<TRasterImage>(403, 344, kRasterRgb);
  colour->SetColor(1, 1, Rgb(10, 20, 30));
  main->ShowParameterImage(colour, " ASPECT ", 0, DisplayMode::kColour);
  TriggerWith("SaveParameter", TempPath("aspect"), 1);
  EXPECT_EQ(prompts.requests.back().title, "Save Image Parameter");
  EXPECT_EQ(prompts.requests.back().filter, "Bitmaps (*.bmp)|*.bmp");
  EXPECT_FALSE(QFile::exists(TempPath("aspect.raw")));
  auto back = LoadRasterBmp(TempPath("aspect.bmp").toStdString());
  ASSERT_TRUE(back);
  EXPECT_EQ(testing::ColourAt(**back, 1, 1), Rgb(10, 20, 30));
}

TEST_F(FileCommandsTest, SizeMismatchAndWrongFormatWhenOpening) {
  ASSERT_TRUE(OpenSampleDem());
  auto small = MakeGray(3, 2, [](int c, int) { return c; });
  ASSERT_TRUE(SaveRasterRaw(*small, TempPath("small").toStdString(), 90));
  EXPECT_EQ(ReadAll(TempPath("small.raw")).size(), 6);

  prompts.answers = {false};
  TriggerWith("OpenParameterImage1", TempPath("small.raw"), 2);
  const QString question = "DEM and Image have not the same size\nDo you want to read it ?";
  EXPECT_TRUE(prompts.SaidOnlyAs("question", question));
  EXPECT_EQ(main->Session().ParameterImage(), nullptr);

  prompts.answers = {true};
  TriggerWith("OpenParamSpeedButton", TempPath("small.raw"), 2);  // raw files are asked about from both
  ASSERT_NE(main->Session().ParameterImage(), nullptr);
  EXPECT_EQ(main->Session().ParameterImage()->columns, 3);
  EXPECT_TRUE(prompts.SaidOnlyAs("question", question));

  WriteAll(TempPath("broken.bmp"), "not a bitmap");
  TriggerWith("OpenParameterImage1", TempPath("broken.bmp"), 1);
  EXPECT_TRUE(prompts.SaidOnly("The File has a wrong format", "ERREUR"));
  EXPECT_EQ(main->Session().ParameterImage()->columns, 3);
}

TEST_F(FileCommandsTest, DrainageNetworkSavedAndOpenedAgain) {
  ASSERT_TRUE(OpenSampleDem());
  auto network = std::make_shared<TRasterImage>(403, 344, kRasterRgb);
  network->Fill(Rgb(255, 255, 255));
  network->SetColor(5, 5, Rgb(0, 0, 0));
  network->SetColor(6, 5, Rgb(0, 0, 255));
  main->ShowDrainageRaster(network, true);

  prompts.files.push_back({TempPath("net.raw"), 1});  // a typed extension is not doubled
  main->Action("SaveDrainage1")->trigger();
  EXPECT_EQ(prompts.requests.back().title, "Save Drainage Network");
  ASSERT_TRUE(QFile::exists(TempPath("net.raw")));
  ASSERT_TRUE(QFile::exists(TempPath("net.txt")));

  TriggerWith("OpenDrainageNetwork1", TempPath("net.raw"), 2);
  EXPECT_EQ(prompts.requests.back().title, "OPEN DRAINAGE NETWORK");
  EXPECT_EQ(prompts.requests.back().filter, "Bitmap [*.bmp]|*.bmp|Image Raw [*.raw]|*.raw");
  auto opened = main->Session().DrainageRaster();
  ASSERT_NE(opened, network);
  EXPECT_EQ(opened->kind, kRasterGray);
  EXPECT_EQ(testing::Pixel(*opened, 5, 5), 0);
  EXPECT_EQ(testing::Pixel(*opened, 6, 5), 85);
  EXPECT_EQ(testing::Pixel(*opened, 7, 5), 255);
  EXPECT_TRUE(main->RiverWindow().HasBitmap());

  TriggerWith("SaveRiverSpeedButton", TempPath("net"), 2);
  TriggerWith("OpenRiverSpeedButton", TempPath("net.bmp"), 1);
  ASSERT_TRUE(main->Session().DrainageRaster());
  EXPECT_EQ(main->Session().DrainageRaster()->columns, 403);
  EXPECT_TRUE(prompts.messages.empty());
}

// A raw image or network cut short is read with its missing cells 0, and the user is told: a
// network's 0 is a stream cell, so silence would add streams that are not in the file.
TEST_F(FileCommandsTest, RawFilesShorterThanTheirHeaderAreReadAndSaidToBe) {
  InstallDem(3, 2);
  for (const char* item : {"OpenParameterImage1", "OpenDrainageNetwork1"}) {
    WriteAll(TempPath("cut.txt"), "2 3\r\n");
    WriteAll(TempPath("cut.raw"), QByteArray("\x05\x06\x07\x08", 4));
    prompts.files.push_back({TempPath("cut.raw"), 2});
    main->Action(item)->trigger();
    EXPECT_TRUE(prompts.SaidOnly(
        "The File is shorter than its header announces: 2 bytes missing, read as 0"))
        << item;
  }
  EXPECT_EQ(testing::Pixel(*main->Session().DrainageRaster(), 2, 1), 0);
}

// Opening another DEM leaves the results of the first in their windows, marked as such and
// read with their own DEM; a network of another size is said and marked however it comes.
TEST_F(FileCommandsTest, ResultsOfAnotherDemAreMarkedAndReadTheirOwnDem) {
  main->resize(1000, 700);
  main->show();
  ASSERT_TRUE(OpenSampleDem());
  ShowGraySlope(*main);
  main->ShowDrainageRaster(MakeGray(403, 344, [](int c, int) { return c == 7 ? 0 : 255; }), true);
  const double sampleZ = main->Session().CurrentDem()->GetElevation(10, 12);
  auto sea = testing::SeaFloorDem(120, 91);
  testing::WriteRawDem(TempPath("sea_m4.raw").toStdString(), *sea, 4);
  prompts.messages.clear();
  ASSERT_TRUE(commands->OpenDem(TempPath("sea_m4.raw"), 1));
  EXPECT_TRUE(prompts.SaidOnlyWith("differ in size"));
  EXPECT_TRUE(main->RiverWindow().windowTitle().endsWith("(not of the open DEM)"));
  EXPECT_TRUE(main->ParamWindow().windowTitle().endsWith("(of the previous DEM)"))
      << main->ParamWindow().windowTitle().toStdString();
  // Over the slope of the sample: the sample's elevation, not the sea floor's.
  SendMouse(*main->ParamWindow().viewport(), QEvent::MouseMove, QPoint(10, 12));
  EXPECT_TRUE(main->StatusText(0).contains(QString::asprintf("z:%8.2f", sampleZ)))
      << main->StatusText(0).toStdString();
  SendMouse(*main->DemWindow()->viewport(), QEvent::MouseMove, QPoint(10, 12));
  EXPECT_TRUE(main->StatusText(0).contains(QString::asprintf("z:%8.2f", sea->GetElevation(10, 12))));

  // A network of the sample's size opened over the sea floor: said and marked.
  ASSERT_TRUE(SaveRasterRaw(*MakeGray(403, 344, [](int, int l) { return l == 9 ? 0 : 255; }),
                            TempPath("net").toStdString(), 90));
  prompts.files.push_back({TempPath("net.raw"), 2});
  Trigger("OpenDrainageNetwork1");
  EXPECT_TRUE(prompts.SaidOnlyWith("differ in size"));
  EXPECT_TRUE(main->RiverWindow().windowTitle().endsWith("(not of the open DEM)"));

  // Results of this DEM lose the marks.
  main->ShowDrainageRaster(MakeGray(120, 91, [](int, int) { return 255; }), true);
  EXPECT_FALSE(main->RiverWindow().windowTitle().contains("(not of"));
  ShowGraySlope(*main);
  EXPECT_FALSE(main->ParamWindow().windowTitle().contains("previous DEM"));
}

TEST(AppSession, SettingsReadAtStartAndWrittenAtExit) {
  QTemporaryDir dir;
  const QString path = QDir(dir.path()).filePath("Orvane.ini");
  WriteAll(path, "[FICHIERS]\r\n1=first.raw\r\n3=third.raw\r\n");
  setenv("ORVANE_SETTINGS", path.toLocal8Bit().constData(), 1);
  {
    TSettingsStore session;
    unsetenv("ORVANE_SETTINGS");
    EXPECT_EQ(session.path, path);
    EXPECT_EQ(session.settings.files[0], "first.raw");
    EXPECT_NEAR(session.settings.light.azimuth * 180.0 / 3.14159265358979, 315.0, 1e-3);
    session.settings.skeletonSize = 42;
    session.Finish();
  }
  const QString text = QString::fromLatin1(ReadAll(path));
  EXPECT_TRUE(text.contains("TETA=315.00")) << text.toStdString();
  EXPECT_TRUE(text.contains("PHI=65.00")) << text.toStdString();
  EXPECT_TRUE(text.contains("3=third.raw"));
  TSettingsStore again(path);
  EXPECT_EQ(again.settings.skeletonSize, 42);
  EXPECT_EQ(again.settings.files[2], "third.raw");
}

}  // namespace
}  // namespace orvane::test
