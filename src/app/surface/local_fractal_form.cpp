#include "app/surface/local_fractal_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/shell/declared_fields.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/text_values.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

TLocalFractalDialog::TLocalFractalDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("LocalFractForm");
  setWindowTitle(" LOCAL FRACTAL DIMENSION");
  setModal(true);

  auto* sizeGroup = new QGroupBox("Moving Window Size", this);
  auto* sizeLayout = new QHBoxLayout(sizeGroup);
  size_ = new TDeclaredRadios(DeclaredParam(kLocalFractalTreatment, "window"),
                               {"Size12RadioButton", "Size24RadioButton"}, *sizeGroup, *sizeLayout);

  auto* hGroup = new QGroupBox("Adaptive Factor H", this);
  auto* hLayout = new QHBoxLayout(hGroup);
  hEdit_ = new QLineEdit(hGroup);
  hEdit_->setObjectName("HValEdit");
  // A decimal number, with a point or a comma: letters cannot be typed.
  BindDeclaredField(hEdit_, DeclaredParam(kLocalFractalTreatment, "h"));
  hLayout->addWidget(hEdit_);
  hLayout->addWidget(new QLabel("float value", hGroup));

  auto* ok = OkButton(*this, "OkBitBtn", [this] { OkClick(); }, this);

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

int TLocalFractalDialog::WindowSize() const { return size_->Value(); }
void TLocalFractalDialog::ClickSize(int size) { size_->Choose(size); }

void TLocalFractalDialog::SetHText(const QString& text) { hEdit_->setText(text); }

bool TLocalFractalDialog::HasFactorH() const {
  QString text = hEdit_->text().trimmed();
  text.replace(',', '.');
  bool number = false;
  text.toDouble(&number);
  return number;
}

void TLocalFractalDialog::SetRelief(std::int64_t reliefMetres, int pixelSize) {
  relief_ = reliefMetres;
  pixelSize_ = pixelSize;
}

QString TLocalFractalDialog::Refusal() const {
  if (!HasFactorH()) return kNoFactorH;
  const double h = FactorH();
  if (Status declared = CheckParamValue(DeclaredParam(kLocalFractalTreatment, "h"), h); !declared)
    return QString::fromStdString(declared.message());
  const double step = pixelSize_ * h;
  if (relief_ >= 0 && pixelSize_ > 0 && step > static_cast<double>(relief_)) {
    return QStringLiteral("The height step P x H = %1 m is above the relief of the DEM (%2 m): "
                          "every window would be flat and give the same dimension")
        .arg(step)
        .arg(relief_);
  }
  return {};
}

void TLocalFractalDialog::OkClick() {
  if (const QString refusal = Refusal(); !refusal.isEmpty()) {
    Refuse(this, hEdit_, refusal);
    return;
  }
  accept();
}

}  // namespace orvane
