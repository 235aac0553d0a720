// The start every session test shares: a main frame shown in a temporary work directory with
// the sample DEM opened from the toolbar (unit m, pixel 90), plus the event pump and the
// optional pictures of windows.
#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "app/main_form.h"
#include "app/terrain/dynamic_scale.h"
#include "core/settings/settings_file.h"
#include "test_support.h"

namespace orvane::test {

// Runs the event loop for `milliseconds`, so shown windows lay out and paint.
inline void Wait(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Saves the widget's picture as `name` in the directory the environment variable
// `dirVariable` names; nothing without it.
inline void SaveShot(const char* dirVariable, QWidget& widget, const char* name) {
  const char* dir = std::getenv(dirVariable);
  if (!dir) return;
  EXPECT_TRUE(widget.grab().save(QString::fromLocal8Bit(dir) + "/" + name)) << name;
}

// The dynamic-scale dialog answered as for the sample DEM: "in meters", pixel size 90.
inline int AnswerSampleScale(QDialog& dialog) {
  auto& scale = static_cast<TDynamicScaleDialog&>(dialog);
  scale.ChooseUnit(1);
  scale.SetPixelSizeText("90");
  scale.OkClick();
  return scale.result();
}

// Members in this order so the frame goes first and the prompter last.
struct SampleSession {
  TestPrompter prompts;
  QTemporaryDir temp;
  TSettings settings;  // the frame keeps a reference to it
  std::unique_ptr<TMainForm> main;

  SampleSession() {
    settings.imageDir = temp.path().toStdString();
    main = std::make_unique<TMainForm>(settings);
    main->Session().SetWorkDirectory(temp.path());
    main->resize(1100, 760);
    main->show();
    Wait(50);
  }

  // True once the sample DEM is the current one.
  bool OpenSampleDem() {
    prompts.files.push_back({QStringLiteral(ORVANE_SAMPLE_DIR "/jacksboro_m2.raw"), 1});
    prompts.dialogs["DynamicScale"] = AnswerSampleScale;
    main->Action("OpenDEMSpeedButton")->trigger();
    return main->Session().CurrentDem() != nullptr;
  }
};

}  // namespace orvane::test
