// Pieces many dialogs show alike: a bold heading, a text set line by line as a column of
// labels (the line breaks are part of the layout), and a group of a declaration's radios.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QString>
#include <QVBoxLayout>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/shell/declared_fields.h"

namespace orvane {

// A label in the bold of its font: a dialog's heading.
inline QLabel* BoldLabel(const QString& text) {
  auto* label = new QLabel(text);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

// One label per line, top to bottom, added to `column` (a new column without one).
inline QVBoxLayout* LabelColumn(std::initializer_list<const char*> lines,
                                QVBoxLayout* column = nullptr) {
  if (!column) column = new QVBoxLayout;
  for (const char* line : lines) column->addWidget(new QLabel(line));
  return column;
}

// A group box titled `title` holding, stacked, one radio button per value of `declared`
// (named from `names`); `radios` gets their group.
inline QGroupBox* DeclaredRadioGroup(const QString& title, const ParamDeclaration& declared,
                                     const std::vector<std::string>& names,
                                     TDeclaredRadios*& radios) {
  auto* group = new QGroupBox(title);
  auto* layout = new QVBoxLayout(group);
  radios = new TDeclaredRadios(declared, names, *group, *layout);
  return group;
}

}  // namespace orvane
