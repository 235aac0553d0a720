// Dialog checks: dynamic scale, preferences, and the numeric fields of every dialog (what cannot
// be typed, what OK refuses with the dialog kept open on the field).
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/drainage/drainage_forms.h"
#include "app/exchange/gdal_forms.h"
#include "app/exchange/page_print_form.h"
#include "app/render/palette_form.h"
#include "app/shell/prefs_form.h"
#include "app/shell/text_values.h"
#include "app/shell/window_size_dialog.h"
#include "app/surface/surface_forms.h"
#include "app/terrain/dynamic_scale.h"
#include "app/terrain/size_dialogs.h"
#include "core/terrain/dem_file.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

TEST(DynamicScale, OkChecksUnitAndPixelSize) {
  TestPrompter prompts;
  TDynamicScaleDialog dialog;
  dialog.SetPixelSizeText("30");
  dialog.OkClick();
  EXPECT_TRUE(prompts.SaidOnly("No Dynamic Scale", "ERROR"));
  EXPECT_EQ(dialog.result(), QDialog::Rejected);

  dialog.SetPixelSizeText("");
  dialog.OkClick();
  EXPECT_TRUE(prompts.SaidOnly("No Dynamic Scale\nNo Pixel Size"));
  dialog.ChooseUnit(10);
  for (const char* refused : {"", "-5"}) {
    dialog.SetPixelSizeText(refused);
    dialog.OkClick();
    EXPECT_TRUE(prompts.SaidOnly("No Pixel Size")) << refused;
  }
  dialog.SetPixelSizeText("30");
  dialog.OkClick();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.UnitFactor(), 10);
  EXPECT_EQ(dialog.PixelSize(), 30);
}

TEST(DynamicScale, FiguresAndDecimalPixelSize) {
  TestPrompter prompts;
  TDynamicScaleDialog dialog;
  dialog.ShowScan(DemFileScan{.lines = 344, .columns = 403, .minValue = 213, .maxValue = 428},
                  277264);
  dialog.ChooseUnit(1000);
  dialog.SetPixelSizeText("30.5");
  EXPECT_EQ(dialog.PixelSize(), 30);
  dialog.OkClick();
  EXPECT_FLOAT_EQ(dialog.PixelSizeDecimal(), 30.5f);
  EXPECT_EQ(dialog.PixelSizeText(), "30.5");
  EXPECT_EQ(dialog.findChild<QLineEdit*>("RealSize")->text(), "277264");
  EXPECT_EQ(dialog.findChild<QLineEdit*>("CalcSize")->text(), "277264");
  EXPECT_EQ(dialog.findChild<QLineEdit*>("MaxDyn")->text(), "428");
  // What the file holds is shown, not asked: typing there would be ignored.
  for (const char* figure : {"RealSize", "CalcSize", "Num_Bytes", "LineDS", "ColDS", "MinDyn", "MaxDyn"})
    EXPECT_TRUE(dialog.findChild<QLineEdit*>(figure)->isReadOnly()) << figure;
  // The unit stays chosen for the next opening.
  dialog.SetPixelSizeText("90");
  dialog.OkClick();
  EXPECT_EQ(dialog.UnitFactor(), 1000);
}

TEST(TextValues, LeadingNumbersAndDigitFields) {
  EXPECT_EQ(LeadingInt("30.5"), 30);
  EXPECT_EQ(LeadingInt("abc"), 0);
  EXPECT_EQ(LeadingInt(" -12x"), -12);
  EXPECT_DOUBLE_EQ(LeadingDouble("30.5x"), 30.5);
  EXPECT_DOUBLE_EQ(LeadingDouble("+2.25"), 2.25);
  EXPECT_DOUBLE_EQ(LeadingDouble("x"), 0.0);
  EXPECT_EQ(DigitsPrefix("12a5"), "12");

  TWholeNumberEdit edit;
  edit.setText("12a5");
  EXPECT_EQ(edit.text(), "12");
  EXPECT_EQ(edit.Value(), 12);
  edit.setText("");
  EXPECT_EQ(edit.Value(), 0);
}

class PrefsFormTest : public ::testing::Test {
 protected:
  TestPrompter prompts;
  TSettings settings;
  TPreferencesDialog form{settings};
};

TEST_F(PrefsFormTest, ChecksInOrderAndKeepsTheDialogOpen) {
  form.LoadFromSettings();
  EXPECT_EQ(form.findChild<QLineEdit*>("SquelEdit")->text(), "20");
  TypeIn(form, "LissageEdit", "6");
  TypeIn(form, "SquelEdit", "5");
  TypeIn(form, "OmbEdit", "10");
  form.OkClick();
  EXPECT_TRUE(prompts.SaidOnly("Smoothing Parameter wrong (0-5)", "ERREUR"));
  // The arrows step the smoothing level within its range.
  TypeIn(form, "LissageEdit", "4");
  for (const char* arrow : {"LissageUpButton", "LissageUpButton", "LissageDownButton", "LissageUpButton"})
    form.findChild<QAbstractButton*>(arrow)->click();
  EXPECT_EQ(form.findChild<QLineEdit*>("LissageEdit")->text(), "5");
  form.OkClick();
  EXPECT_TRUE(prompts.SaidOnly("Size of the Skeleton Parameter wrong (10-500)"));
  TypeIn(form, "SquelEdit", "12a5");  // cleaned to 12
  form.OkClick();
  EXPECT_TRUE(prompts.SaidOnly("Size of the Screen wrong (20-200)"));
  EXPECT_EQ(settings.skeletonSize, 20);  // nothing written back yet
  EXPECT_NE(form.result(), QDialog::Accepted);

  TypeIn(form, "OmbEdit", "200");
  TypeIn(form, "EcartEdit", "999999");  // no range for the eye distance
  form.OkClick();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(settings.smoothing3D, 5);
  EXPECT_EQ(settings.skeletonSize, 12);
  EXPECT_EQ(settings.previewSize, 200);
  EXPECT_EQ(settings.eyeDistance, 999999);
}

TEST_F(PrefsFormTest, DirectoryChooserFillsTheEditAndTheCopy) {
  // The chooser starts at the current directory (a missing one: its nearest parent); the user
  // enters a subdirectory and presses OK.
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir("images"));
  const QString images = QDir(dir.path()).filePath("images");
  settings.imageDir = QDir(dir.path()).filePath("gone/away").toStdString();
  prompts.dialogs["SelRepForm"] = [&](QDialog& dialog) {
    auto* list = dialog.findChild<QListWidget*>("DirectoryListBox");
    EXPECT_EQ(dialog.findChild<QLabel*>("DirLabel")->text(), QDir::toNativeSeparators(dir.path()));
    const QList<QListWidgetItem*> found = list->findItems("images", Qt::MatchExactly);
    if (found.size() != 1) return static_cast<int>(QDialog::Rejected);
    emit list->itemActivated(found.first());
    dialog.findChild<QPushButton*>("OkBitBtn")->click();
    return dialog.result();
  };
  form.LoadFromSettings();
  form.findChild<QPushButton*>("ImageBitBtn")->click();
  EXPECT_EQ(form.findChild<QLineEdit*>("RepImageEdit")->text(), images);
  EXPECT_EQ(form.Copy().imageDir, images.toStdString());
  EXPECT_NE(settings.imageDir, images.toStdString());  // until OK
  form.OkClick();
  EXPECT_EQ(settings.imageDir, images.toStdString());

  // Cancel in the chooser changes nothing.
  prompts.dialogs["SelRepForm"] = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
  form.LoadFromSettings();
  form.findChild<QPushButton*>("MntBitBtn")->click();
  EXPECT_EQ(form.Copy().demDir, settings.demDir);
}

// Typed as a user types (through the field's validator), unlike setText.
void Type(QLineEdit& field, const QString& text) {
  field.clear();
  field.insert(text);
}

TEST(NumericFields, LettersCannotBeTypedAndADiscWiderThanTheDemKeepsTheDialogOpen) {
  TestPrompter prompts;
  TCircularWindowDialog circular;
  circular.SetDem(90.0f, 403, 344);
  Choose(circular, 1);
  auto* radius = circular.findChild<QLineEdit*>("RadiusEdit");
  Type(*radius, "abc");
  EXPECT_EQ(radius->text(), "");
  Type(*radius, "9999999999");  // beyond any DEM side: not even typed in full
  EXPECT_LE(radius->text().toLongLong(), kMaxDemSide);
  circular.show();
  for (const char* typed : {"300", "172", "200"}) {
    SCOPED_TRACE(typed);
    Type(*radius, typed);
    circular.setResult(QDialog::Rejected);
    circular.OkClick();
    EXPECT_TRUE(prompts.SaidOnlyWith("does not fit in the DEM (403 x 344)"));
    EXPECT_EQ(circular.result(), QDialog::Rejected);
    EXPECT_TRUE(circular.isVisible());
  }
  Type(*radius, "171");
  circular.OkClick();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(circular.result(), QDialog::Accepted);

  TWindowSizeDialog window;
  auto* size = window.findChild<QLineEdit*>("WinSizeEdit");
  ASSERT_NE(size, nullptr);
  Type(*size, "-5x");
  EXPECT_FALSE(size->hasAcceptableInput());
  TLocalFractalDialog fractal;
  auto* h = fractal.findChild<QLineEdit*>("HValEdit");
  Type(*h, "abc");
  EXPECT_EQ(h->text(), "");
  Type(*h, "0,5");
  EXPECT_DOUBLE_EQ(fractal.Args().Real("h"), 0.5);

  // The other numeric fields: what cannot be typed in them.
  TDynamicScaleDialog scale;
  THeadwatersDialog headwaters;
  TImageSizeDialog imageSize;
  TPageLayoutDialog page;
  TPaletteDialog palette;
  TImportGdalDialog gdal;
  TDrainageExtractionDialog extraction;
  TContourDensityDialog contours;
  TConvexityConcavityDialog convexity;
  TSettings settings;
  TPreferencesDialog preferences(settings);
  const std::pair<QLineEdit*, const char*> refused[] = {
      {palette.findChild<QLineEdit*>("MinEdit"), "abc"},
      {gdal.findChild<QLineEdit*>("PixSizeEdit"), "x"},
      {extraction.findChild<QLineEdit*>("LREdit"), "-1"},
      {contours.findChild<QLineEdit*>("IntervEdit"), "99999999999"},
      {convexity.findChild<QLineEdit*>("SizeWinEdit"), "99999"},
      {preferences.findChild<QLineEdit*>("SquelEdit"), "5000"},
      {scale.findChild<QLineEdit*>("Pix_Size"), "9O"},
      {headwaters.findChild<QLineEdit*>("WindowEdit"), "abc"},
      {imageSize.findChild<QLineEdit*>("LineEdit"), "-3"},
      {imageSize.findChild<QLineEdit*>("ColEdit"), "x"},
      {page.findChild<QLineEdit*>("LargEdit"), "-50"},
  };
  for (const auto& [field, typed] : refused) {
    ASSERT_NE(field, nullptr) << typed;
    Type(*field, typed);
    EXPECT_EQ(field->text(), "") << field->objectName().toStdString() << " took " << typed;
  }
  Type(*scale.findChild<QLineEdit*>("Pix_Size"), "90.5");
  EXPECT_EQ(scale.findChild<QLineEdit*>("Pix_Size")->text(), "90.5");
  // Contour levels below sea level, as the command line takes them.
  Type(*contours.findChild<QLineEdit*>("FirstContEdit"), "-40");
  EXPECT_EQ(contours.Args().Int("first"), -40);
}

// Types `typed` into the field named `fieldName` of `dialog` and presses its OK button.
void TypeAndPressOk(QDialog& dialog, const char* fieldName, const char* okName,
                    const QString& typed) {
  auto* field = dialog.findChild<QLineEdit*>(fieldName);
  ASSERT_NE(field, nullptr) << fieldName;
  auto* ok = dialog.findChild<QPushButton*>(okName);
  ASSERT_NE(ok, nullptr) << okName;
  Type(*field, typed);
  dialog.setResult(QDialog::Rejected);
  ok->click();
}

// An empty or unusable field is refused on OK with a message, and the dialog stays open with
// the focus on that field; a good value is then accepted.
TEST(NumericFields, EmptyOrUnusableFieldsKeepTheDialogOpenOnTheField) {
  TestPrompter prompts;
  TLocalFractalDialog fractal;
  THeadwatersDialog headwaters;
  TConvexityConcavityDialog convexity;
  THorizontalSurfacesDialog horizontal;
  TImageSizeDialog imageSize;
  imageSize.SetTexts("30", "40");  // each case empties one of the two
  // Values the command line refuses, and values that give a blank result on this DEM (relief
  // 876 m, pixel 90 m): refused as well, not computed into a picture of one tone.
  fractal.SetRelief(876, 90);
  TContourExtractionDialog contourDensity;
  TypeIn(contourDensity, "SizeWinEdit", 10);
  contourDensity.SetLevelRange(200, 1076, 1);
  TDynamicScaleDialog scale;
  scale.ChooseUnit(1);
  struct Case {
    QDialog* dialog;
    const char* field;
    const char* ok;
    const char* refused;
    QString message;
    const char* accepted;
  };
  const Case cases[] = {
      {&fractal, "HValEdit", "OkBitBtn", "", TLocalFractalDialog::kNoFactorH, "0,5"},
      {&fractal, "HValEdit", "OkBitBtn", "-", TLocalFractalDialog::kNoFactorH, "1.5"},
      {&fractal, "HValEdit", "OkBitBtn", "0", "'0': the adaptive factor H must be above 0",
       "0.5"},
      {&fractal, "HValEdit", "OkBitBtn", "130", "The height step P x H = 11700 m is above", "9.7"},
      {&convexity, "SizeWinEdit", "OKBitBtn", "9999", "Value 9999 not in range [0 - 8000]",
       "5"},
      {&contourDensity, "HypsoIntervalEdit", "BitBtn1", "99999", "No contour line: an interval of 99999 m",
       "20"},
      {&scale, "Pix_Size", "BitBtn1", "1000000000000000000000",
       "the pixel size must be a positive number of metres, at most 1000000", "90"},
      {&headwaters, "WindowEdit", "BitBtn1", "", THeadwatersDialog::kNoHalfWindow, "3"},
      {&headwaters, "WindowEdit", "BitBtn1", "abc", THeadwatersDialog::kNoHalfWindow, "3"},
      {&convexity, "SizeWinEdit", "OKBitBtn", "", kNoWindowRange, "2"},
      {&convexity, "SizeWinEdit", "OKBitBtn", "0", kNoWindowRange, "2"},
      {&horizontal, "SizeWinEdit", "OKBitBtn", "", kNoWindowRange, "2"},
      {&imageSize, "LineEdit", "OkButton", "",
       "The image size: number of lines 0 is not in 1..", "30"},
      {&imageSize, "ColEdit", "OkButton", "",
       "The image size: number of columns 0 is not in 1..", "40"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " <- \"" + c.refused + "\"");
    c.dialog->show();
    TypeAndPressOk(*c.dialog, c.field, c.ok, c.refused);
    EXPECT_TRUE(prompts.SaidOnlyWith(c.message));
    EXPECT_TRUE(c.dialog->isVisible());
    EXPECT_EQ(c.dialog->result(), QDialog::Rejected);
    EXPECT_EQ(c.dialog->focusWidget(), c.dialog->findChild<QLineEdit*>(c.field));

    TypeAndPressOk(*c.dialog, c.field, c.ok, c.accepted);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(c.dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(c.dialog->isVisible());
  }
  EXPECT_EQ(imageSize.Lines(), 30);
  EXPECT_EQ(imageSize.Columns(), 40);
}

// The shared window-size dialog refuses what the treatment at hand cannot use and stays open.
TEST_F(MainFormTest, WindowSizeOutsideTheTreatmentsRangeKeepsTheDialogOpen) {
  InstallDem(40, 30);
  main->ShowDrainageRaster(MakeGray(40, 30, [](int c, int) { return c == 5 ? 1 : 0; }), true);
  struct Case {
    const char* treatment;
    std::vector<const char*> typed;  // refused, refused, accepted
    QString tooSmall;
    QString tooLarge = "The window is larger than the DEM";
  };
  const Case cases[] = {
      {"TotalDepthTreatment1", {"0", "30", "29"}, "The window size must be at least 1"},
      {"DissectionDensity3DTreatment1", {"1", "31", "30"},
       "The window size must be at least 2 pixels"},
      {"RatioDepthTreatment1", {"1", "30", "29"}, "The window size must be at least 2 pixels"},
      // No window is too large for the DEM; an empty one is refused as 0 is.
      {"Surface3DTreatment1", {"0", "", "41"}, "The window size must be at least 1",
       "The window size must be at least 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.treatment);
    prompts.messages.clear();
    std::vector<int> results;
    std::vector<bool> focused;
    prompts.dialogs["DDFen"] = [&](QDialog& dialog) {
      dialog.show();
      for (const char* typed : c.typed) {
        TypeAndPressOk(dialog, "WinSizeEdit", "OkBitBtn", typed);
        results.push_back(dialog.result());
        focused.push_back(dialog.focusWidget() == dialog.findChild<QLineEdit*>("WinSizeEdit"));
      }
      return dialog.result();
    };
    main->Action(c.treatment)->trigger();
    EXPECT_EQ(results,
              (std::vector<int>{QDialog::Rejected, QDialog::Rejected, QDialog::Accepted}));
    EXPECT_TRUE(focused[0] && focused[1]);
    ASSERT_GE(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].text, c.tooSmall);
    EXPECT_EQ(prompts.messages[1].text, c.tooLarge);
  }
}

}  // namespace
}  // namespace orvane::test
