// The menu path of a treatment that has no dialog of its own: a dialog laid out from its
// declaration (one row per parameter: a number field with the declared range, the labelled
// choices, a check box for a flag), a "More Treatments" submenu under "Surface Parameters" for
// every declared treatment the menu table does not place, and the handler that runs it and shows
// its picture, values and figures. A new declared treatment thus reaches the desktop with no
// code of its own there.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "app/shell/result_kind.h"
#include "core/treatment/treatment.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace orvane {

class TDeclaredRadios;
class TWorkbench;
class TResultPlacementBox;

class TDeclaredTreatmentDialog : public QDialog {
 public:
  explicit TDeclaredTreatmentDialog(const TreatmentDescriptor& treatment, QWidget* parent = nullptr);

  TreatmentArgs Args() const { return args_; }
  ResultKind Placement() const;

  // "OK" as a user presses it (also used by the tests).
  void OkClick();

 private:
  // What the fields hold, checked as every front end checks it; false (and the field refused
  // with the dialog kept open) when a field is empty or refused.
  bool Collect(TreatmentArgs& args);

  struct Row {
    const ParamDeclaration* declared = nullptr;
    QString label;
    QLineEdit* edit = nullptr;
    QComboBox* combo = nullptr;
    QCheckBox* check = nullptr;
    TDeclaredRadios* radios = nullptr;
  };

  const TreatmentDescriptor& treatment_;
  std::vector<Row> rows_;
  TResultPlacementBox* placement_ = nullptr;
  TreatmentArgs args_;
};

// Adds, under "Surface Parameters", a "More Treatments" submenu (hidden when empty) with one item
// per treatment of `treatments` that has no place in the menus, and runs the one chosen.
void InstallDeclaredTreatments(TWorkbench& main,
                               const std::vector<const TreatmentDescriptor*>& treatments);

// The object name of the item of `treatment` in that submenu.
QString DeclaredItemName(const TreatmentDescriptor& treatment);

}  // namespace orvane
