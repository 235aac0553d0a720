// Dialog fields bound to a treatment's declared parameter (core/treatment/treatment.h), so that
// the dialogs take their choice lists, ranges and defaults from the one place the CLI and the
// Python functions take them from:
//
//   const ParamDeclaration& palette = DeclaredParam(kTotalDepthTreatment, "palette");
//   FillDeclaredChoices(combo, palette);            // labels in order, data = value, default
//   BindDeclaredField(edit, DeclaredParam(kLocalFractalTreatment, "h"));   // validator, default
//   auto* scale = new TDeclaredRadios(DeclaredParam(kHeadwatersTreatment, "scale"),
//                                     {"RadioButton1", "RadioButton2"}, *group, *groupLayout);
#pragma once

#include <QButtonGroup>
#include <QString>
#include <string>
#include <vector>
#include <optional>

#include "core/treatment/treatment.h"

class QBoxLayout;
class QComboBox;
class QLineEdit;
class QWidget;

namespace orvane {

// The declaration of parameter `param` of treatment `treatment`. It must exist: a dialog bound
// to an undeclared one stops the program as it is built (every dialog is built by the tests).
const ParamDeclaration& DeclaredParam(const TreatmentDescriptor& treatment, const char* param);

// The declared default as a number: the value of the default choice, or the number typed;
// `fallback` when none is declared.
int DeclaredDefault(const ParamDeclaration& declared, int fallback = 0);

// The declared choices' labels in their order, each item's data its value; the declared default
// selected (else the first).
void FillDeclaredChoices(QComboBox* combo, const ParamDeclaration& declared);

// A whole-number (kInteger: the declared range, from 1 when `positive`) or decimal (kReal: a
// sign only when negative values are allowed) validator, and the declared default as the
// initial text. `minimum` replaces the declared lower bound where the dialog refuses more.
void BindDeclaredField(QLineEdit* edit, const ParamDeclaration& declared,
                       std::optional<int> minimum = std::nullopt);

// One radio button per declared value (the allowed values of a kInteger, else its choices),
// captioned with the number (or the choice's label), named from `names` in order, added to
// `layout` as children of `parent`, in this exclusive group whose ids are the values. The
// declared default is checked; without one, none is.
class TDeclaredRadios : public QButtonGroup {
 public:
  TDeclaredRadios(const ParamDeclaration& declared, const std::vector<std::string>& names,
                  QWidget& parent, QBoxLayout& layout);

  // The checked button's value; the declared default (0 without one) when none is checked.
  int Value() const;
  // Checks the button of `value` (nothing when it has none).
  void Choose(int value);

 private:
  int default_ = 0;
};

}  // namespace orvane
