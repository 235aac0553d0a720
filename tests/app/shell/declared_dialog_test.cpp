// A declared treatment with no dialog of its own reaches the menus through the dialog laid out
// from its declaration: its fields refuse what the declaration refuses, and its picture, values
// and figures arrive as those of a hand-made treatment do.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>

#include "app/shell/declared_dialog.h"
#include "app/shell/session.h"
#include "app/shell/treatment_menu.h"
#include "core/terrain/raster_image.h"
#include "support/app_session.h"
#include "support/compare.h"

namespace orvane::test {
namespace {

// Every cell gets window x 10 + mode + 100 with the flag + 1 at scale 255.
Expected<TreatmentOutput> RunLevels(const TreatmentInputs& in, const TreatmentArgs& args, unsigned,
                                    ProgressSink*) {
  const int level = args.Int("window") * 10 + args.Int("mode") + (args.Flag("invert") ? 100 : 0) +
                    (args.Int("scale") == 255 ? 1 : 0);
  TreatmentOutput output;
  output.picture = std::make_unique<TRasterImage>(in.dem->columns, in.dem->lines, kRasterGray);
  output.values.emplace(in.dem->columns, in.dem->lines, "levels");
  for (int l = 0; l < in.dem->lines; ++l)
    for (int c = 0; c < in.dem->columns; ++c) {
      output.picture->SetValue(c, l, level);
      output.values->Row(l)[c] = static_cast<float>(level) / 2.0f;
    }
  output.figures = {{"cells", std::int64_t{in.dem->columns} * in.dem->lines}};
  return output;
}

const TreatmentDescriptor kLevelsTreatment{
    .id = "levels-test",
    .title = "Levels Test",
    .summary = "A constant level from the parameters",
    .params = {{.name = "window",
                .type = ParamType::kInteger,
                .help = "window size",
                .unit = "pixels",
                .required = true,
                .minimum = 1,
                .maximum = 9},
               {.name = "scale", .type = ParamType::kInteger, .allowed = {100, 255}, .defaultText = "100"},
               {.name = "mode",
                .type = ParamType::kChoice,
                .choices = {{"high", 1, "Highest"}, {"low", 2, "Lowest"}},
                .defaultText = "high"},
               {.name = "invert", .type = ParamType::kFlag, .help = "turn the levels over"}},
    .outputs = kOutputPicture | kOutputValues | kOutputFigures,
    .valueName = "Level",
    .valueUnit = "levels",
    .run = RunLevels,
};

TEST_F(MainFormTest, ATreatmentWithoutADialogRunsFromMoreTreatments) {
  InstallDem(8, 5);
  InstallDeclaredTreatments(*main, {&kLevelsTreatment});
  ASSERT_TRUE(main->Menu("MoreTreatments1")->menuAction()->isVisible());
  QAction* item = main->Action(DeclaredItemName(kLevelsTreatment));
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->property(kHandledProperty).toBool());

  bool refused = false;
  prompts.dialogs["Declared_levels-test"] = [&](QDialog& dialog) {
    auto* window = dialog.findChild<QLineEdit*>("window");
    window->setText("");  // required: refused with the dialog kept open
    static_cast<TDeclaredTreatmentDialog&>(dialog).OkClick();
    refused = dialog.result() != QDialog::Accepted && !prompts.messages.empty();
    window->setText("12");  // above the declared range: the validator does not take it
    EXPECT_FALSE(window->hasAcceptableInput());
    window->setText("5");
    dialog.findChild<QRadioButton*>("scale255")->setChecked(true);
    dialog.findChild<QComboBox*>("mode")->setCurrentIndex(1);
    dialog.findChild<QCheckBox*>("invert")->setChecked(true);
    static_cast<TDeclaredTreatmentDialog&>(dialog).OkClick();
    return dialog.result();
  };
  item->trigger();
  EXPECT_TRUE(refused);
  EXPECT_EQ(prompts.messages.front().text, "Window size, pixels: give a value");

  const auto picture = main->Session().ParameterImage();
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(testing::Pixel(*picture, 3, 2), 5 * 10 + 2 + 100 + 1);
  ASSERT_NE(main->Session().ResultValues().grid, nullptr);
  EXPECT_EQ(main->Session().ResultValues().grid->values[0], 153.0f / 2.0f);
  EXPECT_EQ(prompts.messages.back().text, "cells = 40");
}

}  // namespace
}  // namespace orvane::test
