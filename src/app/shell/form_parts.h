// Small pieces many dialogs build the same way: a named line edit in a form, a member that
// follows a field's number, the "OK" button and the right-aligned "OK" / "Cancel" row, the
// explanatory windows.
#pragma once

#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QString>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <utility>
#include <variant>

#include "app/shell/prompter.h"
#include "app/shell/text_values.h"

namespace orvane {

// Whole numbers from `minimum` to `maximum` only: letters, signs and larger numbers cannot be
// typed (an empty field stays possible while typing; the dialog refuses it on OK).
inline void AcceptWholeNumbers(QLineEdit* edit, int minimum, int maximum) {
  edit->setValidator(new QIntValidator(minimum, maximum, edit));
}

// Decimal numbers with a point or a comma, negative ones only when `negative`: letters cannot
// be typed. Any such text counts as complete, so fields read on leaving still are.
inline void AcceptDecimals(QLineEdit* edit, bool negative = false) {
  const QString sign = negative ? QStringLiteral("[+-]?") : QStringLiteral("\\+?");
  edit->setValidator(new QRegularExpressionValidator(
      QRegularExpression(sign + QStringLiteral("\\d*([.,]\\d*)?")), edit));
}

// Says `message` under "ERROR" and puts the focus on `field` with its text selected, so the
// user corrects it in a dialog that stays open. Returns false, for `return Refuse(...)`.
inline bool Refuse(QWidget* dialog, QLineEdit* field, const QString& message) {
  Prompts().Warning(dialog, "ERROR", WithoutOptionName(message));
  field->setFocus();
  field->selectAll();
  return false;
}

// True when `field` holds a number its validator takes in full (an empty field does not).
inline bool HoldsNumber(const QLineEdit* field) {
  return !field->text().trimmed().isEmpty() && field->hasAcceptableInput();
}

// A line edit named `name`, added to `form` on a row labelled `label`.
inline QLineEdit* AddField(QFormLayout* form, const char* name, const QString& label) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  form->addRow(label, edit);
  return edit;
}

// A group box titled `title` holding a form of named line edits, one row each; every row's edit
// is stored where the row says.
struct FieldRow {
  QLineEdit*& edit;
  const char* name;
  QString label;
};
inline QGroupBox* FieldGroup(const QString& title, std::initializer_list<FieldRow> rows) {
  auto* group = new QGroupBox(title);
  auto* form = new QFormLayout(group);
  for (const FieldRow& row : rows) row.edit = AddField(form, row.name, row.label);
  return group;
}
// The form of a group made by FieldGroup, for rows of another kind.
inline QFormLayout* FormOf(QGroupBox* group) { return static_cast<QFormLayout*>(group->layout()); }

// `value` follows the leading number of `edit`'s text as it is typed (0 while there is none).
inline void FollowNumber(QLineEdit* edit, int& value) {
  QObject::connect(edit, &QLineEdit::textChanged, edit,
                   [&value](const QString& text) { value = LeadingInt(text); });
}
inline void FollowNumber(QLineEdit* edit, double& value) {
  QObject::connect(edit, &QLineEdit::textChanged, edit,
                   [&value](const QString& text) { value = LeadingDouble(text); });
}

// A radio button captioned `caption`, named `name`, a child of `parent` added to `layout`.
inline QRadioButton* AddRadio(const QString& caption, const QString& name, QWidget* parent,
                              QLayout* layout) {
  auto* button = new QRadioButton(caption, parent);
  button->setObjectName(name);
  layout->addWidget(button);
  return button;
}

// "OK" named `name`, running `onOk` (without one, accepting `dialog`); the default button (the
// one Enter presses) unless `isDefault` is false. `parent` is null where a layout adopts it.
inline QPushButton* OkButton(QDialog& dialog, const char* name, std::function<void()> onOk = {},
                             QWidget* parent = nullptr, bool isDefault = true) {
  auto* ok = new QPushButton("OK", parent);
  ok->setObjectName(name);
  if (isDefault) ok->setDefault(true);
  if (onOk) {
    QObject::connect(ok, &QPushButton::clicked, &dialog, std::move(onOk));
  } else {
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  }
  return ok;
}

// "OK" (`okName`, the default button, runs `onOk`) and "Cancel" (`cancelName`, rejects; its
// caption `cancelCaption`), pushed to the right of the returned row.
inline QHBoxLayout* OkCancelRow(QDialog& dialog, const char* okName, const char* cancelName,
                                std::function<void()> onOk, const QString& cancelCaption = "Cancel") {
  QPushButton* ok = OkButton(dialog, okName, std::move(onOk));
  auto* cancel = new QPushButton(cancelCaption);
  cancel->setObjectName(cancelName);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  return buttons;
}

// An explanatory window named `name`, titled `title`, modal: its column of `parts` (widgets, or
// texts as wrapped labels), then "OK" (`okName`) on the right.
inline void LayOutInfoWindow(QDialog& dialog, const char* name, const QString& title,
                             std::initializer_list<std::variant<QWidget*, QString>> parts,
                             const char* okName = "OkBitBtn") {
  dialog.setObjectName(name);
  dialog.setWindowTitle(title);
  dialog.setModal(true);
  auto* layout = new QVBoxLayout(&dialog);
  for (const auto& part : parts) {
    if (const auto* widget = std::get_if<QWidget*>(&part)) {
      layout->addWidget(*widget, 0, Qt::AlignHCenter);
      continue;
    }
    auto* label = new QLabel(std::get<QString>(part), &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
  }
  layout->addWidget(OkButton(dialog, okName, {}, &dialog, false), 0, Qt::AlignRight);
}

}  // namespace orvane
