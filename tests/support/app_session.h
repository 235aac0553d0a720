// The GUI tests' frame: a prompter that records messages and answers dialogs, the main frame in
// a scratch work directory (bare, or shown with the sample DEM opened), the usual dialog
// answers, small DEMs and rasters given by a formula, the event pump and the optional pictures
// of windows.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QByteArray>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "app/drainage/drainage_forms.h"
#include "app/main_form.h"
#include "app/shell/prompter.h"
#include "app/shell/result_placement_box.h"
#include "app/shell/window_size_dialog.h"
#include "app/terrain/dynamic_scale.h"
#include "core/settings/settings_file.h"
#include "core/surface/slope.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"
#include "support/files.h"
#include "support/sample_dem.h"

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

  // Exactly one message was given, `text` (under `caption` when one is named); or one whose text
  // contains `part`. Either way the messages are forgotten, so the next step starts clean.
  ::testing::AssertionResult SaidOnly(const QString& text, const QString& caption = {}) {
    return TakeOnly(text, [&](const Message& m) {
      return m.text == text && (caption.isEmpty() || m.caption == caption);
    });
  }
  ::testing::AssertionResult SaidOnlyAs(const QString& kind, const QString& text) {
    return TakeOnly(text, [&](const Message& m) { return m.kind == kind && m.text == text; });
  }
  ::testing::AssertionResult SaidOnlyWith(const QString& part, const QString& caption = {}) {
    return TakeOnly(part, [&](const Message& m) {
      return m.text.contains(part) && (caption.isEmpty() || m.caption == caption);
    });
  }

  std::vector<Message> messages;
  std::deque<bool> answers;
  std::deque<FileAnswer> files;
  std::vector<FileRequest> requests;
  std::vector<QString> executed;
  std::map<QString, std::function<int(QDialog&)>> dialogs;

 private:
  ::testing::AssertionResult TakeOnly(const QString& expected,
                                      const std::function<bool(const Message&)>& matches) {
    const std::vector<Message> given = std::exchange(messages, {});
    if (given.size() == 1 && matches(given[0])) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << "expected one message like \""
                                                 << expected.toStdString() << "\", got:";
    for (const Message& m : given)
      failure << "\n  " << m.caption.toStdString() << ": " << m.text.toStdString();
    return failure;
  }
  FileAnswer NextFile() {
    if (files.empty()) return {};
    FileAnswer answer = files.front();
    files.pop_front();
    return answer;
  }
};

// The main frame with every command module installed on it, as main() makes it.
inline std::unique_ptr<TMainForm> MakeMainForm(TSettings& settings) {
  auto main = std::make_unique<TMainForm>(settings);
  InstallCommandModules(*main);
  return main;
}

// Each of these actions or menus exists and is enabled (or disabled).
inline void ExpectEnabled(const TMainForm& main, const std::vector<const char*>& names,
                          bool enabled) {
  for (const char* name : names) {
    ASSERT_TRUE(main.Action(name) || main.Menu(name)) << name;
    EXPECT_EQ(main.IsEnabled(name), enabled) << name;
  }
}

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

// Cells of the raster whose gray value satisfies `counted`.
inline int CountPixels(const TRasterImage& raster, const std::function<bool(int)>& counted) {
  int count = 0;
  for (int l = 0; l < raster.lines; ++l)
    for (int c = 0; c < raster.columns; ++c) {
      int value = -1;
      raster.GetValue(c, l, value);
      count += counted(value);
    }
  return count;
}

// The shared whole-file reads and writes (support/files.h) for Qt paths.
inline QByteArray ReadAll(const QString& path) {
  const std::string bytes = orvane::ReadAll(path.toStdString());
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
inline void WriteAll(const QString& path, const QByteArray& bytes) {
  orvane::WriteAll(path.toStdString(), bytes.toStdString());
}

// Runs the event loop for `milliseconds`, so shown windows lay out and paint.
inline void Wait(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A mouse event as the toolkit delivers it: a press of `button`, or a move without one.
inline void SendMouse(QWidget& target, QEvent::Type type, QPoint at,
                      Qt::MouseButton button = Qt::NoButton) {
  QMouseEvent event(type, QPointF(at), target.mapToGlobal(QPointF(at)), button,
                    type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
  QCoreApplication::sendEvent(&target, &event);
}

// Drags one local file onto `target` and drops it there as the toolkit delivers it (the drop
// goes only to a widget that accepted the drag's entry). False when the entry was refused.
inline bool DropFile(QWidget& target, const QString& path) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  enter.setAccepted(false);
  QCoreApplication::sendEvent(&target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&target, &drop);
  return true;
}

// Saves the widget's picture as `name` in the directory ORVANE_SHOTS names; nothing without it
// (run under X for real pictures: ORVANE_SHOTS=dir QT_QPA_PLATFORM=xcb xvfb-run -a ...).
inline void Shot(QWidget& widget, const char* name) {
  const char* dir = std::getenv("ORVANE_SHOTS");
  if (!dir) return;
  EXPECT_TRUE(widget.grab().save(QString::fromLocal8Bit(dir) + "/" + name)) << name;
}

// Shows a window as the user sees it and takes its picture.
inline void ShowFor(QWidget& widget, const char* name, int milliseconds = 80) {
  widget.show();
  Wait(milliseconds);
  Shot(widget, name);
}

// Dialog answers for TestPrompter::dialogs.
inline int Accept(QDialog& dialog) {
  dialog.accept();
  return dialog.result();
}

// Shows the dialog the way the user sees it, takes its picture, then presses OK.
inline std::function<int(QDialog&)> ShowAndAccept(const char* shot) {
  return [shot](QDialog& dialog) {
    ShowFor(dialog, shot, 100);
    return Accept(dialog);
  };
}

// `fill` sets the dialog's fields and presses its buttons; the answer is the dialog's result.
template <class Form>
std::function<int(QDialog&)> Answer(std::function<void(Form&)> fill) {
  return [fill](QDialog& dialog) {
    fill(static_cast<Form&>(dialog));
    return dialog.result();
  };
}

// Answers to the dialogs of a command, given before it runs; one dialog answered by `fill`.
using Answers = std::function<void(TestPrompter&)>;
template <class Form>
Answers Dialog(const char* name, std::function<void(Form&)> fill) {
  return [name, fill](TestPrompter& prompts) { prompts.dialogs[name] = Answer<Form>(fill); };
}

// `fill` sets the dialog's fields; the dialog then counts as accepted, whatever it did.
template <class Form>
std::function<int(QDialog&)> AcceptAfter(std::function<void(Form&)> fill) {
  return [fill](QDialog& dialog) {
    fill(static_cast<Form&>(dialog));
    return static_cast<int>(QDialog::Accepted);
  };
}

// What a user does in a dialog: types `text` into the field named `field`, checks the button
// named `button`, checks the declared radio button of `value` (the values of a dialog's declared
// groups differ), chooses where the result goes.
inline void TypeIn(QWidget& dialog, const char* field, const QString& text) {
  auto* edit = dialog.findChild<QLineEdit*>(field);
  ASSERT_NE(edit, nullptr) << field;
  edit->setText(text);
}
inline void TypeIn(QWidget& dialog, const char* field, int value) {
  TypeIn(dialog, field, QString::number(value));
}
inline void Check(QWidget& dialog, const char* button) {
  auto* found = dialog.findChild<QAbstractButton*>(button);
  ASSERT_NE(found, nullptr) << button;
  found->setChecked(true);
}
inline void Choose(QWidget& dialog, int value) {
  for (QButtonGroup* group : dialog.findChildren<QButtonGroup*>()) {
    if (QAbstractButton* button = group->button(value)) return button->setChecked(true);
  }
  ADD_FAILURE() << "no choice of value " << value;
}
inline void Place(QWidget& dialog, ResultKind kind) {
  for (QGroupBox* box : dialog.findChildren<QGroupBox*>()) {
    if (auto* placement = dynamic_cast<TResultPlacementBox*>(box)) return placement->Choose(kind);
  }
  ADD_FAILURE() << "no result placement";
}

// The dynamic-scale dialog answered as for the sample DEM: "in meters", pixel size 90.
inline int AnswerSampleScale(QDialog& dialog) {
  auto& scale = static_cast<TDynamicScaleDialog&>(dialog);
  scale.ChooseUnit(1);
  scale.SetPixelSizeText("90");
  scale.OkClick();
  return scale.result();
}

// The window-size dialog shared by the window treatments, accepted (or closed) with `size`.
inline void AnswerWindowSize(TestPrompter& prompts, const QString& size, bool ok = true) {
  prompts.dialogs["DDFen"] = [size, ok](QDialog& dialog) {
    static_cast<TWindowSizeDialog&>(dialog).SetWindowSizeText(size);
    ok ? dialog.accept() : dialog.reject();
    return dialog.result();
  };
}

// The extraction dialog answered with these ranges and network colour, OK pressed.
inline void AnswerExtraction(TestPrompter& prompts, const QString& lower, const QString& upper,
                             int colour = 0) {
  prompts.dialogs["ExtractRiv"] = Answer<TDrainageExtractionDialog>([=](auto& riv) {
    TypeIn(riv, "LREdit", lower);
    TypeIn(riv, "UREdit", upper);
    Choose(riv, colour);
    riv.OkClick();
  });
}

// The window-size and palette dialogs of the dissection densities answered, the diagram
// accepted.
inline void AnswerDissection(TestPrompter& prompts, const QString& window, int palette,
                             ResultKind kind) {
  AnswerWindowSize(prompts, window);
  prompts.dialogs["DDPaletteFen"] = Answer<TClassPaletteDialog>([=](TClassPaletteDialog& form) {
    form.SelectPalette(palette);
    form.ChoosePlacement(kind);
    form.OkClick();
  });
  prompts.dialogs["DiagDDForm"] = Accept;
}

// The headwaters dialog answered with this half window and scale, the result as parameter
// image.
inline void AnswerHeadwaters(TestPrompter& prompts, const char* halfWindow, int scale) {
  prompts.dialogs["HeadWatersForm"] = [=](QDialog& dialog) {
    TypeIn(dialog, "WindowEdit", halfWindow);
    Choose(dialog, scale);
    Place(dialog, ResultKind::kParameterImage);
    dialog.accept();
    return dialog.result();
  };
}

// The slope of the current DEM in gray tones shown as the parameter image, as the slope
// treatment shows it.
inline void ShowGraySlope(TMainForm& main, int normalization = 255) {
  auto slope = ComputeSlope(*main.Session().CurrentDem(),
                            {.grayTones = true, .normalization = normalization}, main.Progress());
  ASSERT_TRUE(slope);
  main.BeginTreatment(" SLOPE ");
  main.ShowParameterImage(std::shared_ptr<TRasterImage>(std::move(slope->image)), " SLOPE ", 0,
                          DisplayMode::kGray);
}

// A main frame in a temporary work directory; members in this order so the frame goes first
// and the prompter last.
class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.isValid());
    settings.imageDir = temp.path().toStdString();
    main = MakeMainForm(settings);
    main->Session().SetWorkDirectory(temp.path());
  }
  void TearDown() override { main.reset(); }

  // Installs a small DEM as if it had been opened (no file involved).
  void InstallDem(int columns = 40, int lines = 30) {
    auto dem = MakeDem(columns, lines, [](int c, int l) { return 100 + c + 2 * l; });
    auto relief = MakeGray(columns, lines, [](int c, int) { return c % 256; });
    main->InstallOpenedDem(dem, relief, "/data/site_m2.raw");
  }

  // Opens the sample DEM from the toolbar as a user does (unit m, pixel 90); true once it is
  // the current one.
  bool OpenSampleDem() {
    prompts.files.push_back({QString::fromStdString(testing::SampleDemPath()), 1});
    prompts.dialogs["DynamicScale"] = AnswerSampleScale;
    main->Action("OpenDEMSpeedButton")->trigger();
    return main->Session().CurrentDem() != nullptr;
  }

  // Runs a menu item even where its menu is still disabled.
  void Trigger(const char* name) {
    QAction* action = main->Action(name);
    ASSERT_NE(action, nullptr) << name;
    action->setEnabled(true);
    action->trigger();
  }

  // Runs the menu item with its file dialog answered: `path`, of type `filter`.
  void TriggerWith(const char* name, const QString& path, int filter) {
    prompts.files.push_back({path, filter});
    main->Action(name)->trigger();
  }

  QString TempPath(const QString& name) const { return QDir(temp.path()).filePath(name); }

  TestPrompter prompts;
  QTemporaryDir temp;
  TSettings settings;  // the frame keeps a reference to it
  std::unique_ptr<TMainForm> main;
};

// The start every session test shares: the frame shown at a usual size with the sample DEM
// opened.
class SampleSessionTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    main->resize(1100, 760);
    main->show();
    Wait(50);
    ASSERT_TRUE(OpenSampleDem());
  }
  void TearDown() override {
    main->close();
    MainFormTest::TearDown();
  }

  // The frame pictured as `name` once its windows have painted.
  void ShotFrame(const char* name, int milliseconds = 150) {
    Wait(milliseconds);
    Shot(*main, name);
  }
  void ShotTiled(const char* name, int milliseconds = 150) {
    main->TileWindows();
    ShotFrame(name, milliseconds);
  }
};

}  // namespace orvane::test
