// Every dialog field bound to a declared parameter offers what the declaration says: the
// choices in order with their values and the default selected, the allowed values as buttons
// with the default checked, the declared range in the field's validator (or the range the
// dialog keeps on purpose).
#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QIntValidator>
#include <QLineEdit>
#include <functional>
#include <memory>
#include <optional>

#include "app/drainage/drainage_forms.h"
#include "app/morphometry/morphometry_forms.h"
#include "app/render/palette_form.h"
#include "app/shell/declared_fields.h"
#include "app/surface/surface_forms.h"
#include "core/surface/circular_window.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

enum class Field { kCombo, kRadios, kEdit };

struct BoundField {
  std::function<std::unique_ptr<QDialog>()> make;
  const char* treatment;
  const char* param;
  Field field;
  std::vector<const char*> names;  // the widget, or the buttons in the declared order
  std::optional<int> guiMinimum = std::nullopt;  // a lower bound the dialog keeps on purpose
};

template <class Dialog>
std::function<std::unique_ptr<QDialog>()> Make() {
  return [] { return std::make_unique<Dialog>(); };
}

std::function<std::unique_ptr<QDialog>()> MakePalette(const ClassPaletteOptions& options) {
  return [&options] { return std::make_unique<TClassPaletteDialog>(options); };
}

void ExpectCombo(QDialog& dialog, const BoundField& row, const ParamDeclaration& declared) {
  auto* combo = dialog.findChild<QComboBox*>(row.names[0]);
  ASSERT_NE(combo, nullptr);
  ASSERT_EQ(combo->count(), static_cast<int>(declared.choices.size()));
  for (int k = 0; k < combo->count(); ++k) {
    EXPECT_EQ(combo->itemText(k).toStdString(), declared.choices[k].label);
    EXPECT_EQ(combo->itemData(k).toInt(), declared.choices[k].value);
  }
  EXPECT_EQ(combo->currentData().toInt(), DeclaredDefault(declared));
}

void ExpectRadios(QDialog& dialog, const BoundField& row, const ParamDeclaration& declared) {
  std::vector<std::pair<int, std::string>> values;
  for (int v : declared.allowed) values.emplace_back(v, std::to_string(v));
  if (values.empty())
    for (const ParamChoice& c : declared.choices) values.emplace_back(c.value, c.label);
  ASSERT_EQ(values.size(), row.names.size());
  for (std::size_t k = 0; k < values.size(); ++k) {
    auto* button = dialog.findChild<QAbstractButton*>(row.names[k]);
    ASSERT_NE(button, nullptr) << row.names[k];
    ASSERT_NE(button->group(), nullptr);
    EXPECT_EQ(button->group()->id(button), values[k].first) << row.names[k];
    // The circular window's third statistic keeps the dialog's own spelling.
    if (!(row.param == std::string("stat") && values[k].first == kCircularStdDev)) {
      EXPECT_EQ(button->text().toStdString(), values[k].second);
    }
    const bool isDefault = !declared.defaultText.empty() && values[k].first == DeclaredDefault(declared);
    EXPECT_EQ(button->isChecked(), isDefault) << row.names[k];
  }
}

void ExpectEdit(QDialog& dialog, const BoundField& row, const ParamDeclaration& declared) {
  auto* edit = dialog.findChild<QLineEdit*>(row.names[0]);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->text().toStdString(), declared.defaultText);
  if (declared.type == ParamType::kInteger) {
    const auto* range = qobject_cast<const QIntValidator*>(edit->validator());
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->bottom(), row.guiMinimum.value_or(static_cast<int>(*declared.minimum)));
    EXPECT_EQ(range->top(), static_cast<int>(*declared.maximum));
  } else {
    int at = 0;
    QString negative = "-1.5";
    const bool takesNegative = edit->validator()->validate(negative, at) == QValidator::Acceptable;
    EXPECT_EQ(takesNegative, !declared.positive && (!declared.minimum || *declared.minimum < 0.0));
  }
}

TEST(DeclaredFields, DialogsOfferTheDeclaredChoicesRangesAndDefaults) {
  TestPrompter prompts;
  const std::vector<BoundField> rows = {
      {Make<TSlopeDialog>(), "slope", "table", Field::kCombo, {"TypeComboBox"}},
      {Make<TAspectDialog>(), "aspect", "palette", Field::kCombo, {"AspectComboBox"}},
      {MakePalette(kTotalDepthPalette), "total-depth", "palette", Field::kCombo, {"DDPaletteComboBox"}},
      {MakePalette(kDensityPalette), "dissection", "palette", Field::kCombo, {"DDPaletteComboBox"}},
      {MakePalette(kDensityPalette), "dissection3d", "palette", Field::kCombo, {"DDPaletteComboBox"}},
      {Make<TPaletteDialog>(), "palette", "table", Field::kCombo, {"TypeComboBox"}},
      {Make<TPaletteDialog>(), "palette", "min", Field::kEdit, {"MinEdit"}},
      {Make<TPaletteDialog>(), "palette", "max", Field::kEdit, {"MaxEdit"}},
      // A range of 0 computes nothing: the dialogs refuse it, the command line allows it.
      {Make<TConvexityConcavityDialog>(), "convexity", "range", Field::kEdit, {"SizeWinEdit"}, 1},
      {Make<TConvexityConcavityDialog>(), "concavity", "dynamism", Field::kRadios,
       {"HundredRadioButton", "FullDynRadioButton"}},
      {Make<THorizontalSurfacesDialog>(), "horizontal", "range", Field::kEdit, {"SizeWinEdit"}, 1},
      {Make<THorizontalSurfacesDialog>(), "horizontal", "dynamism", Field::kRadios,
       {"HundredRadioButton", "FullDynRadioButton"}},
      {Make<TContourExtractionDialog>(), "contour-density", "window", Field::kEdit, {"SizeWinEdit"}, 1},
      {Make<TContourExtractionDialog>(), "contour-density", "dynamism", Field::kRadios,
       {"HundredRadioButton", "FullDynRadioButton"}},
      // 0 can be typed, for OK to say "Radius undefined".
      {Make<TCircularWindowDialog>(), "circular", "radius", Field::kEdit, {"RadiusEdit"}, 0},
      {Make<TCircularWindowDialog>(), "circular", "stat", Field::kRadios,
       {"MeanRadioButton", "DiffMeanRadioButton", "StdDevRadioButton", "RangeRadioButton",
        "DevMeanRadioButton", "PercentileRadioButton"}},
      {Make<TLocalFractalDialog>(), "local-fractal", "window", Field::kRadios,
       {"Size12RadioButton", "Size24RadioButton"}},
      {Make<TLocalFractalDialog>(), "local-fractal", "h", Field::kEdit, {"HValEdit"}},
      {Make<THeadwatersDialog>(), "headwaters", "scale", Field::kRadios, {"RadioButton1", "RadioButton2"}},
      {Make<TDrainageFractalDialog>(), "drainage-fractal", "window", Field::kRadios,
       {"RadioButton1", "RadioButton2"}},
      {Make<TDrainageFractalDialog>(), "drainage-fractal", "scale", Field::kRadios,
       {"RadioButton3", "RadioButton4"}},
      {Make<TRatioOfDepthsDialog>(), "ratio-depth", "scale", Field::kRadios, {"RadioButton1", "RadioButton2"}},
      {Make<TDrainageExtractionDialog>(), "extract-drainage", "colour", Field::kRadios,
       {"Black", "Blue", "Red", "Green", "Yellow"}},
  };
  for (const BoundField& row : rows) {
    SCOPED_TRACE(std::string(row.treatment) + " --" + row.param);
    const ParamDeclaration& declared = DeclaredParam(*FindTreatment(row.treatment), row.param);
    const std::unique_ptr<QDialog> dialog = row.make();
    switch (row.field) {
      case Field::kCombo: ExpectCombo(*dialog, row, declared); break;
      case Field::kRadios: ExpectRadios(*dialog, row, declared); break;
      case Field::kEdit: ExpectEdit(*dialog, row, declared); break;
    }
  }
}

}  // namespace
}  // namespace orvane::test
