#include "app/shell/declared_fields.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtGlobal>
#include <cstdlib>
#include <utility>
#include <vector>
#include <limits>

#include "app/shell/form_parts.h"

namespace orvane {

const ParamDeclaration& DeclaredParam(const TreatmentDescriptor& treatment, const char* param) {
  const ParamDeclaration* declared = treatment.Param(param);
  if (!declared) qFatal("No parameter '%s' is declared for the treatment '%s'", param, treatment.id.c_str());
  return *declared;
}

int DeclaredDefault(const ParamDeclaration& declared, int fallback) {
  if (declared.defaultText.empty()) return fallback;
  if (declared.type == ParamType::kChoice) {
    const ParamChoice* choice = FindChoice(declared, declared.defaultText);
    return choice ? choice->value : fallback;
  }
  return static_cast<int>(std::strtod(declared.defaultText.c_str(), nullptr));
}

void FillDeclaredChoices(QComboBox* combo, const ParamDeclaration& declared) {
  combo->clear();
  for (const ParamChoice& choice : declared.choices)
    combo->addItem(QString::fromStdString(choice.label), choice.value);
  const int index = combo->findData(DeclaredDefault(declared, -1));
  combo->setCurrentIndex(index < 0 ? 0 : index);
}

void BindDeclaredField(QLineEdit* edit, const ParamDeclaration& declared,
                       std::optional<int> minimum) {
  if (declared.type == ParamType::kInteger) {
    constexpr double kLowest = std::numeric_limits<int>::min();
    constexpr double kHighest = std::numeric_limits<int>::max();
    const double low = declared.minimum.value_or(declared.positive ? 1.0 : kLowest);
    AcceptWholeNumbers(edit, minimum.value_or(static_cast<int>(low)),
                       static_cast<int>(declared.maximum.value_or(kHighest)));
  } else if (declared.type == ParamType::kReal) {
    const bool negative = !declared.positive && (!declared.minimum || *declared.minimum < 0.0);
    AcceptDecimals(edit, negative);
  }
  if (!declared.defaultText.empty()) edit->setText(QString::fromStdString(declared.defaultText));
}

TDeclaredRadios::TDeclaredRadios(const ParamDeclaration& declared,
                                 const std::vector<std::string>& names, QWidget& parent,
                                 QBoxLayout& layout)
    : QButtonGroup(&parent), default_(DeclaredDefault(declared)) {
  std::vector<std::pair<QString, int>> items;
  for (int value : declared.allowed) items.emplace_back(QString::number(value), value);
  if (items.empty()) {
    for (const ParamChoice& choice : declared.choices)
      items.emplace_back(QString::fromStdString(choice.label), choice.value);
  }
  if (items.size() != names.size())
    qFatal("The parameter '%s' declares %d values for %d buttons", declared.name.c_str(),
           static_cast<int>(items.size()), static_cast<int>(names.size()));
  auto name = names.begin();
  for (const auto& [caption, value] : items) {
    auto* button = new QRadioButton(caption, &parent);
    button->setObjectName(QString::fromStdString(*name++));
    button->setChecked(!declared.defaultText.empty() && value == default_);
    addButton(button, value);
    layout.addWidget(button);
  }
}

int TDeclaredRadios::Value() const {
  const int checked = checkedId();
  return checked == -1 ? default_ : checked;
}

void TDeclaredRadios::Choose(int value) {
  if (QAbstractButton* chosen = button(value)) chosen->setChecked(true);
}

}  // namespace orvane
