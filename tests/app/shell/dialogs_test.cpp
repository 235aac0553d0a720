// Dialog checks: dynamic scale, preferences and its integer fields.
#include <QLineEdit>
#include <QPushButton>

#include "app/shell/prefs_form.h"
#include "app/shell/text_values.h"
#include "app/terrain/dynamic_scale.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

TEST(DynamicScale, OkChecksUnitAndPixelSize) {
  TestPrompter prompts;
  TDynamicScaleDialog dialog;
  dialog.SetPixelSizeText("30");
  dialog.OkClick();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].caption, "ERROR");
  EXPECT_EQ(prompts.messages[0].text, "No Dynamic Scale");
  EXPECT_EQ(dialog.result(), QDialog::Rejected);

  dialog.SetPixelSizeText("");
  dialog.OkClick();
  EXPECT_EQ(prompts.messages.back().text, "No Dynamic Scale\nNo Pixel Size");

  dialog.ChooseUnit(10);
  dialog.OkClick();
  EXPECT_EQ(prompts.messages.back().text, "No Pixel Size");
  dialog.SetPixelSizeText("-5");
  dialog.OkClick();
  EXPECT_EQ(prompts.messages.back().text, "No Pixel Size");
  EXPECT_EQ(prompts.messages.size(), 4u);

  dialog.SetPixelSizeText("30");
  dialog.OkClick();
  EXPECT_EQ(prompts.messages.size(), 4u);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.UnitFactor(), 10);
  EXPECT_EQ(dialog.PixelSize(), 30);
}

TEST(DynamicScale, FiguresAndDecimalPixelSize) {
  TestPrompter prompts;
  TDynamicScaleDialog dialog;
  dialog.SetFileFigures(277264, 277264, 2, 344, 403);
  dialog.SetElevationRange(213, 428);
  dialog.ChooseUnit(1000);
  dialog.SetPixelSizeText("30.5");
  EXPECT_EQ(dialog.PixelSize(), 30);
  dialog.OkClick();
  EXPECT_FLOAT_EQ(dialog.PixelSizeDecimal(), 30.5f);
  EXPECT_EQ(dialog.PixelSizeText(), "30.5");
  EXPECT_EQ(dialog.UnitFactor(), 1000);
  EXPECT_EQ(dialog.Lines(), 344);
  EXPECT_EQ(dialog.Columns(), 403);
  EXPECT_EQ(dialog.NumBytes(), 2);
  EXPECT_DOUBLE_EQ(dialog.Minimum(), 213.0);
  EXPECT_DOUBLE_EQ(dialog.Maximum(), 428.0);
  EXPECT_EQ(dialog.findChild<QLineEdit*>("RealSize")->text(), "277264");
  // The unit stays chosen for the next opening.
  TDynamicScaleDialog& again = dialog;
  again.SetPixelSizeText("90");
  again.OkClick();
  EXPECT_EQ(again.UnitFactor(), 1000);
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
  void Set(const char* name, const QString& text) {
    form.findChild<QLineEdit*>(name)->setText(text);
  }
  TestPrompter prompts;
  TSettings settings;
  TPreferencesDialog form{settings};
};

TEST_F(PrefsFormTest, ChecksInOrderAndKeepsTheDialogOpen) {
  form.LoadFromSettings();
  EXPECT_EQ(form.findChild<QLineEdit*>("SquelEdit")->text(), "20");
  Set("LissageEdit", "6");
  Set("SquelEdit", "5");
  Set("OmbEdit", "10");
  form.OkClick();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].caption, "ERREUR");
  EXPECT_EQ(prompts.messages[0].text, "Smoothing Parameter wrong (0-5)");
  Set("LissageEdit", "5");
  form.OkClick();
  EXPECT_EQ(prompts.messages.back().text, "Size of the Skeleton Parameter wrong (10-500)");
  Set("SquelEdit", "12a5");  // cleaned to 12
  form.OkClick();
  EXPECT_EQ(prompts.messages.back().text, "Size of the Screen wrong (20-200)");
  EXPECT_EQ(settings.skeletonSize, 20);  // nothing written back yet
  EXPECT_NE(form.result(), QDialog::Accepted);

  Set("OmbEdit", "200");
  Set("EcartEdit", "999999");  // no range for the eye distance
  form.OkClick();
  EXPECT_EQ(prompts.messages.size(), 3u);
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(settings.smoothing3D, 5);
  EXPECT_EQ(settings.skeletonSize, 12);
  EXPECT_EQ(settings.previewSize, 200);
  EXPECT_EQ(settings.eyeDistance, 999999);
}

TEST_F(PrefsFormTest, DirectoryChooserFillsTheEditAndTheCopy) {
  QTemporaryDir dir;
  prompts.dialogs["SelRepForm"] = [&](QDialog& dialog) {
    static_cast<TDirectoryDialog&>(dialog).SetDirectory(dir.path());
    dialog.accept();
    return static_cast<int>(QDialog::Accepted);
  };
  form.LoadFromSettings();
  form.findChild<QPushButton*>("ImageBitBtn")->click();
  EXPECT_EQ(form.findChild<QLineEdit*>("RepImageEdit")->text(), dir.path());
  EXPECT_EQ(form.Copy().imageDir, dir.path().toStdString());
  EXPECT_NE(settings.imageDir, dir.path().toStdString());  // until OK
  form.OkClick();
  EXPECT_EQ(settings.imageDir, dir.path().toStdString());

  // Cancel in the chooser changes nothing.
  prompts.dialogs["SelRepForm"] = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
  form.LoadFromSettings();
  form.findChild<QPushButton*>("MntBitBtn")->click();
  EXPECT_EQ(form.Copy().mntDir, settings.mntDir);
}

}  // namespace
}  // namespace orvane::test
