// The file menu through the toolkit's own file dialog: a timer chooses a type in the dialog's
// combo box, types a name and presses the accept button, as a user would; the result must
// follow the type chosen (element width, raster format, file extension).
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

#include "app/terrain/size_dialogs.h"
#include "support/app_session.h"
#include "support/compare.h"
#include "support/dems.h"
#include "core/terrain/raster_file.h"

namespace orvane::test {
namespace {

// Leaves the file dialogs to the real prompter; the timer answers them.
class RealFileDialogPrompter : public TestPrompter {
 public:
  FileAnswer OpenFile(QWidget* parent, const FileRequest& request) override {
    requests.push_back(request);
    return Prompter::OpenFile(parent, request);
  }
  FileAnswer SaveFile(QWidget* parent, const FileRequest& request) override {
    requests.push_back(request);
    return Prompter::SaveFile(parent, request);
  }
};

// What the next file dialog gets: the type (1-based row of its combo box), the directory
// and the name typed.
struct DialogAnswer {
  int filterRow = 1;
  QString directory;
  QString typed;
  QStringList seenFilters;  // the dialog's types as shown, filled in when answered
  bool answered = false;
  QString seenTitle, seenDirectory, seenFilter;  // as the dialog opened
};

// Presses the accept button once it is on; the dialog turns it on when its background listing
// of the directory shows the typed name, which may take a while: after that, the dialog's own
// accept (what the button runs) with its checks of the name.
void PressAccept(QFileDialog* dialog, QDialogButtonBox* buttons, DialogAnswer& answer, int tries) {
  for (QAbstractButton* button : buttons->buttons()) {
    if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole && button->isEnabled()) {
      answer.answered = true;
      button->click();
      return;
    }
  }
  if (tries == 0) {
    answer.answered = true;
    QMetaObject::invokeMethod(dialog, "accept");
    return;
  }
  QTimer::singleShot(20, dialog, [=, &answer] { PressAccept(dialog, buttons, answer, tries - 1); });
}

void AnswerWhenShown(DialogAnswer& answer) {
  QTimer::singleShot(20, [&answer] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) {
      AnswerWhenShown(answer);
      return;
    }
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
    if (!types || !name || !buttons) {
      dialog->reject();
      return;
    }
    answer.seenFilters.clear();
    for (int i = 0; i < types->count(); ++i) answer.seenFilters << types->itemText(i);
    answer.seenTitle = dialog->windowTitle();
    answer.seenDirectory = dialog->directory().absolutePath();
    answer.seenFilter = types->currentText();
    // The combo box as the user works it: the row becomes current, then "activated".
    types->setCurrentIndex(answer.filterRow - 1);
    emit types->activated(answer.filterRow - 1);
    dialog->setDirectory(answer.directory);
    name->setText(answer.typed);
    PressAccept(dialog, buttons, answer, 10);
  });
}

struct Session {
  RealFileDialogPrompter prompts;
  QTemporaryDir temp;
  TSettings settings;
  std::unique_ptr<TMainForm> main;
  int scaleBytes = 0;  // element width the dynamic-scale dialog was given

  Session() {
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    settings.imageDir = temp.path().toStdString();
    settings.demDir = temp.path().toStdString();
    main = MakeMainForm(settings);
    main->Session().SetWorkDirectory(temp.path());
    main->show();
    prompts.dialogs["DynamicScale"] = [this](QDialog& dialog) {
      const int result = AnswerSampleScale(dialog);
      scaleBytes = dialog.findChild<QLineEdit*>("Num_Bytes")->text().toInt();
      return result;
    };
    prompts.dialogs["ByteForm"] = Answer<QDialog>([](QDialog& bytes) {
      TypeIn(bytes, "BytesEdit", "4");
      bytes.accept();
    });
  }
  QString Path(const QString& name) const { return QDir(temp.path()).filePath(name); }
};

// The sample DEM copied as 16-bit and widened to 32-bit, each with its header.
void WriteSampleDems(const Session& s) {
  const QString sample = QStringLiteral(ORVANE_SAMPLE_DIR "/jacksboro_m2");
  QFile::copy(sample + ".raw", s.Path("site_m2.raw"));
  QFile::copy(sample + ".txt", s.Path("site_m2.txt"));
  QFile::copy(sample + ".txt", s.Path("site_m4.txt"));
  const QByteArray bytes = ReadAll(sample + ".raw");
  QByteArray wide;
  for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
    const auto value = static_cast<std::int32_t>(static_cast<std::int16_t>(
        static_cast<std::uint8_t>(bytes[i]) | (static_cast<std::uint8_t>(bytes[i + 1]) << 8)));
    for (int b = 0; b < 4; ++b) wide.append(static_cast<char>((value >> (8 * b)) & 0xFF));
  }
  WriteAll(s.Path("site_m4.raw"), wide);
}

// A bitmap and a raw image (with header) of the sample's size.
void WriteRasters(const Session& s, int columns, int lines) {
  auto raster = MakeGray(columns, lines, [](int c, int l) { return (c + l) % 200; });
  ASSERT_TRUE(SaveRasterBmp(*raster, s.Path("image.bmp").toStdString()));
  ASSERT_TRUE(SaveRasterRaw(*raster, s.Path("image").toStdString(), 90));
}

struct DialogCase {
  const char* action;
  int filterRow;
  const char* typed;
  std::function<void(Session&)> check;
};

TEST(RealFileDialog, EveryTypeOfEveryFileDialogDecidesTheResult) {
  const auto openedWithWidth = [](int bytes) {
    return [bytes](Session& s) {
      ASSERT_NE(s.main->Session().CurrentDem(), nullptr);
      EXPECT_EQ(s.scaleBytes, bytes);
      // The widened copy holds the very elevations of the sample.
      EXPECT_EQ(s.main->Session().CurrentDem()->ComputeMax(), 1076.0);
    };
  };
  const auto parameterRead = [](Session& s) {
    ASSERT_NE(s.main->Session().ParameterImage(), nullptr);
    EXPECT_EQ(testing::Pixel(*s.main->Session().ParameterImage(), 3, 4), 7);
  };
  const auto networkRead = [](Session& s) {
    ASSERT_NE(s.main->Session().DrainageRaster(), nullptr);
    EXPECT_EQ(testing::Pixel(*s.main->Session().DrainageRaster(), 5, 1), 6);
  };
  const auto filesAre = [](QStringList present, QStringList absent) {
    return [present, absent](Session& s) {
      for (const QString& name : present)
        EXPECT_TRUE(QFile::exists(s.Path(name))) << name.toStdString();
      for (const QString& name : absent)
        EXPECT_FALSE(QFile::exists(s.Path(name))) << name.toStdString();
    };
  };
  const std::vector<DialogCase> cases = {
      {"OpenDEM1", 1, "site_m2.raw", openedWithWidth(2)},
      {"OpenDEM1", 2, "site_m4.raw", openedWithWidth(4)},
      {"OpenDEM1", 3, "site_m4.raw", openedWithWidth(4)},  // the width asked: 4
      {"OpenParameterImage1", 1, "image.bmp", parameterRead},
      {"OpenParameterImage1", 2, "image.raw", parameterRead},
      {"OpenDrainageNetwork1", 1, "image.bmp", networkRead},
      {"OpenDrainageNetwork1", 2, "image.raw", networkRead},
      {"SaveParameter", 1, "saved", filesAre({"saved.raw", "saved.txt"}, {"saved.bmp"})},
      {"SaveParameter", 1, "typed.raw", filesAre({"typed.raw", "typed.txt"}, {"typed.raw.raw"})},
      {"SaveParameter", 2, "picture", filesAre({"picture.bmp"}, {"picture.raw"})},
      {"SaveParameter", 2, "x.bmp", filesAre({"x.bmp"}, {"x.bmp.raw", "x.bmp.bmp"})},
      {"SaveDrainage1", 1, "net", filesAre({"net.raw", "net.txt"}, {"net.bmp"})},
      {"SaveDrainage1", 2, "net2.bmp", filesAre({"net2.bmp"}, {"net2.bmp.raw", "net2.raw"})},
  };
  for (const DialogCase& c : cases) {
    SCOPED_TRACE(std::string(c.action) + " type " + std::to_string(c.filterRow) + " " + c.typed);
    Session s;
    WriteSampleDems(s);
    // A DEM is open for the images to belong to (through the real dialog as well).
    DialogAnswer dem{1, s.temp.path(), "site_m2.raw", {}, false, {}, {}, {}};
    AnswerWhenShown(dem);
    s.main->Action("OpenDEM1")->trigger();
    ASSERT_TRUE(dem.answered);
    ASSERT_NE(s.main->Session().CurrentDem(), nullptr);
    const TDemModel& opened = *s.main->Session().CurrentDem();
    WriteRasters(s, opened.columns, opened.lines);
    s.main->ShowParameterImage(MakeGray(opened.columns, opened.lines, [](int, int) { return 9; }));
    s.main->ShowDrainageRaster(MakeGray(opened.columns, opened.lines, [](int, int) { return 1; }),
                              true);
    s.scaleBytes = 0;
    s.prompts.messages.clear();

    DialogAnswer answer{c.filterRow, s.temp.path(), c.typed, {}, false, {}, {}, {}};
    AnswerWhenShown(answer);
    s.main->Action(c.action)->trigger();
    ASSERT_TRUE(answer.answered);
    // The types are shown by their labels alone.
    EXPECT_FALSE(answer.seenFilters.isEmpty());
    for (const QString& shown : answer.seenFilters) EXPECT_FALSE(shown.contains('('));
    for (const Message& m : s.prompts.messages) ADD_FAILURE() << m.text.toStdString();
    c.check(s);
  }
}

TEST(RealFileDialog, TheElementWidthFollowsTheFileBeforeTheType) {
  struct Case {
    int filterRow;
    const char* typed;
    int bytes;            // the width read; 0: refused
    const char* refusal;  // the start of the message then
  };
  const Case cases[] = {
      {1, "site_m4.raw", 4, nullptr},  // "DEM Integer2" left on, a 32-bit name typed
      {3, "site_m4.raw", 4, nullptr},  // "All Raw Types": the name answers, nothing asked
      {2, "site_m2.raw", 2, nullptr},  // the 16-bit file's size proves its width
      {1, "sea.raw", 4, nullptr},      // no width in the name: the size proves 32-bit
      {2, "cut_m4.raw", 0, "cut_m4.raw holds 1000 bytes: 344 lines x 403 columns need"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.filterRow) + " " + c.typed);
    Session s;
    WriteSampleDems(s);
    // A DEM with sea floor, as the name gives no width.
    auto sea = testing::SeaFloorDem(120, 91);
    testing::WriteRawDem(s.Path("sea.raw").toStdString(), *sea, 4);
    WriteAll(s.Path("cut_m4.raw"), QByteArray(1000, '\0'));
    QFile::copy(s.Path("site_m4.txt"), s.Path("cut_m4.txt"));

    DialogAnswer answer{c.filterRow, s.temp.path(), c.typed, {}, false, {}, {}, {}};
    AnswerWhenShown(answer);
    s.main->Action("OpenDEM1")->trigger();
    ASSERT_TRUE(answer.answered);
    EXPECT_EQ(std::count(s.prompts.executed.begin(), s.prompts.executed.end(), "ByteForm"), 0);
    if (!c.bytes) {
      EXPECT_EQ(s.main->Session().CurrentDem(), nullptr);
      EXPECT_TRUE(s.prompts.SaidOnlyWith(c.refusal));
      continue;
    }
    ASSERT_NE(s.main->Session().CurrentDem(), nullptr);
    EXPECT_EQ(s.scaleBytes, c.bytes);
    // The very elevations, the sea floor's signed.
    const TDemModel& dem = *s.main->Session().CurrentDem();
    const bool seaFloor = std::string(c.typed) == "sea.raw";
    EXPECT_EQ(dem.ComputeMax(), seaFloor ? sea->ComputeMax() : 1076.0);
    if (seaFloor) { EXPECT_EQ(dem.ComputeMin(), -963.0); }
  }
}

TEST(RealFileDialog, SaveDialogsKeepTheirTypeAndFolderWhileTheProgramRuns) {
  Session s;
  s.main->InstallOpenedDem(MakeDem(30, 20, [](int c, int) { return c; }),
                           MakeGray(30, 20, [](int, int) { return 5; }), s.Path("site_m2.raw"));
  s.main->ShowParameterImage(MakeGray(30, 20, [](int, int) { return 9; }));
  s.main->ShowDrainageRaster(MakeGray(30, 20, [](int, int) { return 1; }), true);
  QDir(s.temp.path()).mkdir("out");
  const QString out = s.Path("out");
  struct Case {
    const char* action;
    const char* title;
  };
  for (const Case& c : {Case{"SaveParameter", "Save Parameter Image"},
                        Case{"SaveDrainage1", "Save Drainage Network"}}) {
    SCOPED_TRACE(c.action);
    DialogAnswer first{2, out, "first", {}, false, {}, {}, {}};
    AnswerWhenShown(first);
    s.main->Action(c.action)->trigger();
    ASSERT_TRUE(first.answered);
    EXPECT_EQ(first.seenTitle, c.title);
    EXPECT_EQ(first.seenFilter, "Image Raw");
    // The next time: BMP in the folder chosen, not "Image Raw" in the starting folder.
    DialogAnswer second{2, out, "second", {}, false, {}, {}, {}};
    AnswerWhenShown(second);
    s.main->Action(c.action)->trigger();
    ASSERT_TRUE(second.answered);
    EXPECT_EQ(second.seenFilter, "Image BMP");
    EXPECT_EQ(second.seenDirectory, QDir(out).absolutePath());
    EXPECT_TRUE(QFile::exists(QDir(out).filePath("second.bmp")));
  }
}

}  // namespace
}  // namespace orvane::test
