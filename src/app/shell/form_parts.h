// Small pieces many dialogs build the same way: a named line edit in a form, and the
// right-aligned "OK" / "Cancel" row.
#pragma once

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <functional>
#include <utility>

namespace orvane {

// A line edit named `name`, added to `form` on a row labelled `label`.
inline QLineEdit* AddField(QFormLayout* form, const char* name, const QString& label) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  form->addRow(label, edit);
  return edit;
}

// "OK" (`okName`, the default button, runs `onOk`) and "Cancel" (`cancelName`, rejects),
// pushed to the right of the returned row.
inline QHBoxLayout* OkCancelRow(QDialog& dialog, const char* okName, const char* cancelName,
                                std::function<void()> onOk) {
  auto* ok = new QPushButton("OK");
  ok->setObjectName(okName);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &dialog, std::move(onOk));
  auto* cancel = new QPushButton("Cancel");
  cancel->setObjectName(cancelName);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  return buttons;
}

}  // namespace orvane
