// Shared pieces of the GUI tests: a prompter that records messages and answers dialogs, a
// main frame fixture, small DEM and raster makers.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/main_form.h"
#include "app/shell/prompter.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane::test {

struct Message {
  QString kind;  // "warning", "question", "information"
  QString caption;
  QString text;
};

class TestPrompter : public Prompter {
 public:
  TestPrompter() { SetPrompter(this); }
  ~TestPrompter() override { SetPrompter(nullptr); }

  void Warning(QWidget*, const QString& caption, const QString& text) override {
    messages.push_back({"warning", caption, text});
  }
  bool Question(QWidget*, const QString& caption, const QString& text) override {
    messages.push_back({"question", caption, text});
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Information(QWidget*, const QString& caption, const QString& text) override {
    messages.push_back({"information", caption, text});
  }
  FileAnswer OpenFile(QWidget*, const FileRequest& request) override {
    requests.push_back(request);
    return NextFile();
  }
  FileAnswer SaveFile(QWidget*, const FileRequest& request) override {
    requests.push_back(request);
    return NextFile();
  }
  // Runs the handler registered for the dialog's object name (it fills the fields and
  // presses a button); without one the dialog is rejected.
  int Exec(QDialog& dialog) override {
    executed.push_back(dialog.objectName());
    dialog.setResult(QDialog::Rejected);
    auto it = dialogs.find(dialog.objectName());
    if (it == dialogs.end()) return QDialog::Rejected;
    return it->second(dialog);
  }

  std::vector<Message> messages;
  std::deque<bool> answers;
  std::deque<FileAnswer> files;
  std::vector<FileRequest> requests;
  std::vector<QString> executed;
  std::map<QString, std::function<int(QDialog&)>> dialogs;

 private:
  FileAnswer NextFile() {
    if (files.empty()) return {};
    FileAnswer answer = files.front();
    files.pop_front();
    return answer;
  }
};

// A DEM of type 2 whose elevation at (c, l) is `value(c, l)`; pixel sizes `pixel`.
inline std::shared_ptr<TDemModel> MakeDem(int columns, int lines,
                                          const std::function<int(int, int)>& value,
                                          float pixel = 90.0f) {
  auto dem = std::make_shared<TDemModel>(columns, lines, kDemInt32);
  for (int l = 0; l < lines; ++l) {
    for (int c = 0; c < columns; ++c) dem->Int32Row(l)[c] = value(c, l);
  }
  dem->pixelSizeX = dem->pixelSizeY = pixel;
  dem->UpdateMinMax();
  return dem;
}

inline std::shared_ptr<TRasterImage> MakeGray(int columns, int lines,
                                              const std::function<int(int, int)>& value) {
  auto raster = std::make_shared<TRasterImage>(columns, lines, kRasterGray);
  for (int l = 0; l < lines; ++l) {
    for (int c = 0; c < columns; ++c) raster->SetValue(c, l, value(c, l));
  }
  return raster;
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.isValid());
    main = std::make_unique<TMainForm>(settings);
    main->Session().SetWorkDirectory(temp.path());
    settings.imageDir = temp.path().toStdString();
  }
  void TearDown() override { main.reset(); }

  // Installs a small DEM as if it had been opened (no file involved).
  void InstallDem(int columns = 40, int lines = 30) {
    auto dem = MakeDem(columns, lines, [](int c, int l) { return 100 + c + 2 * l; });
    auto relief = MakeGray(columns, lines, [](int c, int) { return c % 256; });
    main->InstallOpenedDem(dem, relief, "/data/site_m2.raw");
  }

  QString TempPath(const QString& name) const { return QDir(temp.path()).filePath(name); }

  TestPrompter prompts;
  QTemporaryDir temp;
  TSettings settings;
  std::unique_ptr<TMainForm> main;
};

}  // namespace orvane::test
