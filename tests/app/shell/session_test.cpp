// A whole session as a user runs it: start with the splash, open the sample DEM, read
// elevations out over a slope image, zoom, leave with the settings written. With
// ORVANE_SHOTS set, the main window is pictured there at the end (see support/app_session.h).
#include <QCheckBox>
#include <QApplication>
#include <QFile>
#include <QTimer>

#include "app/shell/app_session.h"
#include "app/shell/prefs_form.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

TEST(Session, SplashKeepsTheLoopRunningThenShowsTheFrame) {
  TSettings settings;
  auto main = MakeMainForm(settings);
  ShowAfterSplash(*main, 300);
  Wait(100);
  // The loop runs (a timer fires) while the splash is up and the frame is not yet shown.
  bool tick = false;
  QTimer::singleShot(0, [&] { tick = true; });
  Wait(50);
  EXPECT_TRUE(tick);
  EXPECT_FALSE(main->isVisible());
  QWidget* splash = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == "PresentationForm" && w->isVisible()) splash = w;
  }
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(splash->size(), QSize(718, 420));
  Wait(400);
  EXPECT_TRUE(main->isVisible());
  for (QWidget* w : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(w->objectName() == "PresentationForm" && w->isVisible());
  }
}

TEST(Session, StartsWithoutTheSplashByPreferenceOrFlag) {
  TestPrompter prompts;
  QTemporaryDir temp;
  const std::string path = QDir(temp.path()).filePath("Orvane.ini").toStdString();
  TSettings settings;
  // The preference, as the user sets it, survives the run.
  TPreferencesDialog preferences(settings);
  preferences.LoadFromSettings();
  auto* splashBox = preferences.findChild<QCheckBox*>("SplashCheckBox");
  ASSERT_NE(splashBox, nullptr);
  EXPECT_TRUE(splashBox->isChecked());
  splashBox->click();
  preferences.OkClick();
  EXPECT_FALSE(settings.showSplash);
  ASSERT_TRUE(WriteSettings(path, settings));
  EXPECT_FALSE(ReadSettings(path).showSplash);
  struct Case {
    bool preference;
    QStringList arguments;
    int milliseconds;
  };
  const Case cases[] = {
      {true, {"orvane"}, 3000},
      {true, {"orvane", "--no-splash", "site_m2.raw"}, 0},
      {false, {"orvane", "site_m2.raw"}, 0},
  };
  for (const Case& c : cases) {
    settings.showSplash = c.preference;
    EXPECT_EQ(SplashMilliseconds(c.arguments, settings), c.milliseconds) << c.arguments.join(' ').toStdString();
    EXPECT_EQ(DemPathArgument(c.arguments), c.arguments.size() > 1 ? "site_m2.raw" : "");
  }
  // Without the splash the frame is there at once.
  TMainForm main(settings);
  ShowAfterSplash(main, 0);
  EXPECT_TRUE(main.isVisible());
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->objectName() == "PresentationForm" && w->isVisible());
}

TEST(Session, SampleDemOpenedReadOutZoomedAndSettingsWritten) {
  TestPrompter prompts;
  QTemporaryDir temp;
  const QString settingsPath = QDir(temp.path()).filePath("Orvane.ini");
  TSettingsStore session(settingsPath);  // a new user: no settings file yet
  session.settings.imageDir = temp.path().toStdString();
  auto main = MakeMainForm(session.settings);
  main->Session().SetWorkDirectory(temp.path());
  ShowAfterSplash(*main, 50);
  Wait(150);
  ASSERT_TRUE(main->isVisible());

  prompts.files.push_back({QStringLiteral(ORVANE_SAMPLE_DIR "/jacksboro_m2.raw"), 1});
  prompts.dialogs["DynamicScale"] = AnswerSampleScale;
  main->Action("OpenDEMSpeedButton")->trigger();
  ASSERT_NE(main->DemWindow(), nullptr);
  const TDemModel& dem = *main->Session().CurrentDem();
  ASSERT_EQ(dem.columns, 403);

  // The slope as a gray parameter image, shown in the parameter window.
  ShowGraySlope(*main);
  main->TileWindows();
  Wait(50);

  // Elevations read out under the mouse.
  TDemImageWindow& window = *main->DemWindow();
  SendMouse(*window.viewport(), QEvent::MouseMove, {120, 80});
  const QPoint cell = window.PixelAt({120, 80});
  EXPECT_EQ(main->StatusText(0),
            QString::asprintf("x:%8.2f y:%8.2f  z:%8.2f   ", cell.x() * 90.0, cell.y() * 90.0,
                              dem.GetElevation(cell.x(), cell.y())));
  EXPECT_TRUE(main->StatusText(2).startsWith("Gray Tone : "));

  // Zoom twice with the magnifier.
  main->Action("LoupeSpeedButton")->trigger();
  SendMouse(*window.viewport(), QEvent::MouseButtonPress, {150, 100}, Qt::LeftButton);
  SendMouse(*window.viewport(), QEvent::MouseButtonPress, {150, 100}, Qt::LeftButton);
  EXPECT_EQ(window.Zoom(), 3);
  EXPECT_TRUE(window.windowTitle().endsWith("jacksboro_m2.raw (3:1) "));
  SendMouse(*window.viewport(), QEvent::MouseMove, {60, 40});
  EXPECT_FALSE(main->StatusText(3).isEmpty());

  EXPECT_TRUE(prompts.messages.empty());
  Wait(100);
  Shot(*main, "shell_session.png");
  main->close();
  main.reset();
  session.Finish();
  EXPECT_TRUE(QFile::exists(settingsPath));
}

}  // namespace
}  // namespace orvane::test
