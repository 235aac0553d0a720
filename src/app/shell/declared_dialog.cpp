#include "app/shell/declared_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <variant>

#include "app/shell/workbench.h"
#include "app/shell/declared_fields.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/result_placement_box.h"
#include "app/shell/session.h"
#include "app/shell/text_values.h"
#include "app/shell/treatment_menu.h"

namespace orvane {

namespace {

// "half window size V (window 2V + 1)" in "pixels" -> "Half window size V (window 2V + 1), pixels".
QString RowLabel(const ParamDeclaration& declared) {
  QString label = QString::fromStdString(declared.help.empty() ? declared.name : declared.help);
  if (!label.isEmpty()) label[0] = label[0].toUpper();
  if (!declared.unit.empty()) label += ", " + QString::fromStdString(declared.unit);
  return label;
}

// The check's message names the option as the command line does ("--window: ..."); the dialog
// names the field instead.
QString FieldMessage(const std::string& message, const QString& option, const QString& label) {
  QString text = QString::fromStdString(message);
  if (text.startsWith(option + ": ")) text = label + ": " + text.mid(option.size() + 2);
  return text;
}

QString FigureText(const Figure& figure) {
  QString value;
  if (const auto* real = std::get_if<double>(&figure.value)) value = QString::number(*real, 'g', 10);
  if (const auto* whole = std::get_if<std::int64_t>(&figure.value)) value = QString::number(*whole);
  if (const auto* text = std::get_if<std::string>(&figure.value)) value = QString::fromStdString(*text);
  return QString::fromStdString(figure.key) + " = " + value;
}

void RunFromMenu(TWorkbench& main, const TreatmentDescriptor& treatment) {
  TSession& session = main.Session();
  if (!session.CurrentDem()) return;
  const QString title = " " + QString::fromStdString(treatment.title).toUpper();
  if ((treatment.inputs & kInputDrainage) && !main.NetworkMatchesDem(title)) return;
  TDeclaredTreatmentDialog dialog(treatment, &main);
  if (Prompts().Exec(dialog) != QDialog::Accepted) return;
  auto run = RunDeclaredTreatment(main, treatment, dialog.Args(),
                                  kOutputPicture | kOutputValues | kOutputFigures);
  if (!run) return;
  main.BeginTreatment(title);
  if (run->output.picture) ShowTreatmentResult(main, *run, {.title = title, .placement = dialog.Placement()});
  QStringList lines;
  for (const Figure& figure : run->output.figures) lines << FigureText(figure);
  for (const std::string& warning : run->output.warnings) lines << QString::fromStdString(warning);
  if (!lines.isEmpty()) Prompts().Information(&main, title, lines.join('\n'));
}

}  // namespace

TDeclaredTreatmentDialog::TDeclaredTreatmentDialog(const TreatmentDescriptor& treatment,
                                                   QWidget* parent)
    : QDialog(parent), treatment_(treatment) {
  setObjectName(QString::fromStdString("Declared_" + treatment.id));
  setWindowTitle(" " + QString::fromStdString(treatment.title));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  for (const ParamDeclaration& declared : treatment.params) {
    Row row;
    row.declared = &declared;
    row.label = RowLabel(declared);
    const QString name = QString::fromStdString(declared.name);
    QWidget* field = nullptr;  // the one that shows the declared help
    if (declared.type == ParamType::kFlag) {
      field = row.check = new QCheckBox(row.label);
      row.check->setObjectName(name);
      row.check->setChecked(declared.defaultText == "1");
      form->addRow(row.check);
    } else if (declared.type == ParamType::kChoice) {
      field = row.combo = new QComboBox;
      row.combo->setObjectName(name);
      FillDeclaredChoices(row.combo, declared);
      form->addRow(row.label, row.combo);
    } else if (declared.type == ParamType::kInteger && !declared.allowed.empty()) {
      auto* box = new QWidget;
      auto* boxLayout = new QHBoxLayout(box);
      boxLayout->setContentsMargins(0, 0, 0, 0);
      std::vector<std::string> names;
      for (int value : declared.allowed) names.push_back(declared.name + std::to_string(value));
      row.radios = new TDeclaredRadios(declared, names, *box, *boxLayout);
      form->addRow(row.label, box);
    } else {
      field = row.edit = AddField(form, declared.name.c_str(), row.label);
      if (declared.type == ParamType::kText)
        row.edit->setText(QString::fromStdString(declared.defaultText));
      else
        BindDeclaredField(row.edit, declared);
    }
    if (field && !declared.help.empty()) field->setToolTip(QString::fromStdString(declared.help));
    rows_.push_back(row);
  }
  if (treatment.Gives(kOutputPicture) && treatment.pictureOnDemGrid) {
    placement_ = new TResultPlacementBox({"Result", "ParameterRadioButton", "WrappedRadioButton"});
    layout->addWidget(placement_);
  }
  layout->addLayout(OkCancelRow(*this, "OkBitBtn", "CancelBitBtn", [this] { OkClick(); }));
}

ResultKind TDeclaredTreatmentDialog::Placement() const {
  return placement_ ? placement_->Kind() : ResultKind::kParameterImage;
}

bool TDeclaredTreatmentDialog::Collect(TreatmentArgs& args) {
  for (const Row& row : rows_) {
    const std::string& name = row.declared->name;
    if (row.check) {
      args.Set(name, row.check->isChecked() ? 1.0 : 0.0);
    } else if (row.combo) {
      args.Set(name, row.combo->currentData().toInt());
    } else if (row.radios) {
      args.Set(name, row.radios->Value());
    } else if (row.declared->type == ParamType::kText) {
      if (!row.edit->text().isEmpty()) args.SetText(name, row.edit->text().toStdString());
    } else if (!row.edit->text().trimmed().isEmpty()) {
      if (!HoldsNumber(row.edit)) return Refuse(this, row.edit, row.label + ": not a number");
      args.Set(name, LeadingDouble(row.edit->text()));
    } else if (row.declared->required) {
      return Refuse(this, row.edit, row.label + ": give a value");
    }
  }
  if (Status checked = CompleteArgs(treatment_, args); !checked) {
    // The field the message names takes the focus; a check between fields, the first one.
    for (const Row& row : rows_) {
      const QString option = "--" + QString::fromStdString(row.declared->name);
      if (QString::fromStdString(checked.error().message).startsWith(option + ":") && row.edit)
        return Refuse(this, row.edit, FieldMessage(checked.error().message, option, row.label));
    }
    Prompts().Warning(this, "ERROR", QString::fromStdString(checked.error().message));
    return false;
  }
  return true;
}

void TDeclaredTreatmentDialog::OkClick() {
  TreatmentArgs args;
  if (!Collect(args)) return;
  args_ = args;
  accept();
}

QString DeclaredItemName(const TreatmentDescriptor& treatment) {
  return QString::fromStdString("Declared_" + treatment.id);
}

void InstallDeclaredTreatments(TWorkbench& main,
                               const std::vector<const TreatmentDescriptor*>& treatments) {
  QMenu* surface = main.Menu("SurfaceParameters1");
  if (!surface) return;
  QMenu* more = surface->findChild<QMenu*>("MoreTreatments1", Qt::FindDirectChildrenOnly);
  if (!more) {
    more = surface->addMenu("More Treatments");
    more->setObjectName("MoreTreatments1");
  }
  for (const TreatmentDescriptor* treatment : treatments) {
    if (TreatmentMenuAction(*treatment)) continue;  // it has its own dialog
    QAction* item = more->addAction(QString::fromStdString(treatment->title));
    item->setObjectName(DeclaredItemName(*treatment));
    item->setToolTip(QString::fromStdString(treatment->summary));
    ConnectAction(main, item->objectName().toUtf8().constData(), &main,
                  [&main, treatment] { RunFromMenu(main, *treatment); });
  }
  more->menuAction()->setVisible(!more->actions().isEmpty());
}

}  // namespace orvane
