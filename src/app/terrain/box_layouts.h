// Dialog layouts built from their parts in one call: a row or a column of widgets, layouts and
// stretches, and a titled column of radio buttons numbered in a button group.
#pragma once

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGroupBox>
#include <initializer_list>
#include <utility>
#include <variant>

#include "app/shell/form_parts.h"

namespace orvane {

struct Stretch {};

// A new `Box` (QHBoxLayout or QVBoxLayout, the layout of `owner` when given) holding `parts`
// in order.
template <class Box>
Box* Stacked(std::initializer_list<std::variant<QWidget*, QLayout*, Stretch>> parts,
             QWidget* owner = nullptr) {
  auto* box = new Box(owner);
  for (const auto& part : parts) {
    if (const auto* widget = std::get_if<QWidget*>(&part))
      box->addWidget(*widget);
    else if (const auto* layout = std::get_if<QLayout*>(&part))
      box->addLayout(*layout);
    else
      box->addStretch();
  }
  return box;
}

// A group box titled `title` stacking one radio button per caption and object name, numbered
// 0, 1, 2... in `buttons`; the first is checked when `checkFirst`.
inline QGroupBox* RadioColumn(const QString& title,
                              std::initializer_list<std::pair<const char*, const char*>> choices,
                              QButtonGroup*& buttons, QObject* owner, bool checkFirst = true) {
  auto* box = new QGroupBox(title);
  auto* layout = new QVBoxLayout(box);
  buttons = new QButtonGroup(owner);
  for (const auto& [caption, name] : choices)
    buttons->addButton(AddRadio(caption, name, box, layout), static_cast<int>(buttons->buttons().size()));
  if (checkFirst) buttons->button(0)->setChecked(true);
  return box;
}

}  // namespace orvane
