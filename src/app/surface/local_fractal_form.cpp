#include "app/surface/local_fractal_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/text_values.h"

namespace orvane {

TLocalFractalDialog::TLocalFractalDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("LocalFractForm");
  setWindowTitle(" LOCAL FRACTAL DIMENSION");
  setModal(true);

  auto* sizeGroup = new QGroupBox("Moving Window Size", this);
  auto* sizeLayout = new QHBoxLayout(sizeGroup);
  size12_ = new QRadioButton("12", sizeGroup);
  size12_->setObjectName("Size12RadioButton");
  size12_->setChecked(true);
  size24_ = new QRadioButton("24", sizeGroup);
  size24_->setObjectName("Size24RadioButton");
  sizeLayout->addWidget(size12_);
  sizeLayout->addWidget(size24_);
  connect(size12_, &QRadioButton::clicked, this, [this] { ClickSize(12); });
  connect(size24_, &QRadioButton::clicked, this, [this] { ClickSize(24); });

  auto* hGroup = new QGroupBox("Adaptive Factor H", this);
  auto* hLayout = new QHBoxLayout(hGroup);
  hEdit_ = new QLineEdit(hGroup);
  hEdit_->setObjectName("HValEdit");
  // A decimal number, with a point or a comma: letters cannot be typed.
  AcceptDecimals(hEdit_, true);
  hLayout->addWidget(hEdit_);
  hLayout->addWidget(new QLabel("float value", hGroup));

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("OkBitBtn");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &TLocalFractalDialog::OkClick);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(sizeGroup);
  layout->addWidget(hGroup);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  layout->addLayout(buttons);
}

double TLocalFractalDialog::FactorH() const {
  // A comma typed as decimal separator reads as a point.
  QString text = hEdit_->text().trimmed();
  text.replace(',', '.');
  return LeadingDouble(text);
}

void TLocalFractalDialog::ClickSize(int size) {
  windowSize_ = size;
  size12_->setChecked(size == 12);
  size24_->setChecked(size == 24);
}

void TLocalFractalDialog::SetHText(const QString& text) { hEdit_->setText(text); }

bool TLocalFractalDialog::HasFactorH() const {
  QString text = hEdit_->text().trimmed();
  text.replace(',', '.');
  bool number = false;
  text.toDouble(&number);
  return number;
}

void TLocalFractalDialog::OkClick() {
  if (!HasFactorH()) {
    Refuse(this, hEdit_, kNoFactorH);
    return;
  }
  windowSize_ = size24_->isChecked() ? 24 : 12;
  accept();
}

}  // namespace orvane
