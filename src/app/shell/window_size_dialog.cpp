#include "app/shell/window_size_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/shell/declared_fields.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/text_values.h"
#include "core/terrain/dem_model.h"

namespace orvane {

namespace {

QString SideOf(float side) { return QString::number(static_cast<double>(side), 'g', 6); }

}  // namespace

TWindowSizeDialog& WindowSizeDialogOf(QWidget& frame) {
  auto* dialog = frame.findChild<TWindowSizeDialog*>(QString(), Qt::FindDirectChildrenOnly);
  if (!dialog) dialog = new TWindowSizeDialog(&frame);
  return *dialog;
}

WindowLimits& WindowLimits::FittingIn(int columns, int lines, int shift) {
  // The largest ws with 2 trunc((ws - shift) / 2) + 1 <= the smaller side.
  maximum = 2 * ((std::min(columns, lines) - 1) / 2) + 1 + shift;
  tooLarge = "The window is larger than the DEM";
  return *this;
}

WindowLimits DeclaredWindowLimits(const char* treatment, const QString& tooSmall,
                                  int stricterMinimum) {
  return DeclaredWindowLimits(*FindTreatment(treatment), tooSmall, stricterMinimum);
}

WindowLimits DeclaredWindowLimits(const TreatmentDescriptor& treatment, const QString& tooSmall,
                                  int stricterMinimum) {
  const ParamDeclaration& window = DeclaredParam(treatment, "window");
  const int declared = static_cast<int>(window.minimum.value_or(window.positive ? 1.0 : 0.0));
  return {.minimum = std::max(declared, stricterMinimum), .tooSmall = tooSmall, .declared = &window};
}

TWindowSizeDialog::TWindowSizeDialog(QWidget* parent) : QDialog(parent, Qt::Tool) {
  setObjectName("DDFen");
  setWindowTitle(" FILTER SIZE");
  auto* group = new QGroupBox("Size of the Filter");
  auto* form = new QGridLayout(group);
  pixEdit_ = new QLineEdit;
  pixEdit_->setObjectName("PixEdit");
  winSizeEdit_ = new QLineEdit;
  // Whole cells, at least one: letters and signs cannot be typed.
  AcceptWholeNumbers(winSizeEdit_, 1, kMaxDemSide);
  winSizeEdit_->setObjectName("WinSizeEdit");
  kilom1_ = new QLineEdit;
  kilom1_->setObjectName("Kilom1Edit");
  kilom1_->setReadOnly(true);
  kilom2_ = new QLineEdit;
  kilom2_->setObjectName("Kilom2Edit");
  kilom2_->setReadOnly(true);
  form->addWidget(new QLabel("Pixel Size"), 0, 0);
  form->addWidget(pixEdit_, 0, 1, 1, 3);
  form->addWidget(new QLabel("Size of the Window"), 1, 0);
  form->addWidget(winSizeEdit_, 1, 1, 1, 3);
  form->addWidget(new QLabel("Corresponding Window Size:"), 2, 0, 1, 4);
  form->addWidget(kilom1_, 3, 0);
  form->addWidget(new QLabel("km  x"), 3, 1);
  form->addWidget(kilom2_, 3, 2);
  form->addWidget(new QLabel("km"), 3, 3);
  // The pixel size is the DEM's, whatever is typed in its field.
  connect(pixEdit_, &QLineEdit::textChanged, this, [this] { pixelSize_ = demPixelSize_; });
  connect(winSizeEdit_, &QLineEdit::textChanged, this, &TWindowSizeDialog::WindowChanged);

  auto* ok = OkButton(*this, "OkBitBtn", [this] { OkClick(); });
  auto* del = new QPushButton("Delete");
  del->setObjectName("DelBitBtn");
  connect(del, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(del);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(buttons);
}

void TWindowSizeDialog::SetPixelSize(int metres) {
  demPixelSize_ = metres;
  pixelSize_ = metres;
  pixEdit_->setText(QString::number(metres));
  WindowChanged();
}

void TWindowSizeDialog::SetWindowSizeText(const QString& text) { winSizeEdit_->setText(text); }

int TWindowSizeDialog::Ask(int pixelSize, const WindowLimits& limits) {
  SetPixelSize(pixelSize);
  limits_ = limits;
  const int answer = Prompts().Exec(*this);
  limits_ = {};
  return answer;
}

void TWindowSizeDialog::OkClick() {
  WindowChanged();
  const bool small = windowSize_ < limits_.minimum;
  const bool large = limits_.maximum > 0 && windowSize_ > limits_.maximum;
  QString refusal = small ? limits_.tooSmall : large ? limits_.tooLarge : QString();
  if (refusal.isEmpty() && limits_.declared) {
    if (Status declared = CheckParamValue(*limits_.declared, windowSize_); !declared)
      refusal = QString::fromStdString(declared.message());
  }
  if (refusal.isEmpty()) return accept();
  Prompts().Warning(this, "ERROR", refusal);
  winSizeEdit_->setFocus();
  winSizeEdit_->selectAll();
}

void TWindowSizeDialog::WindowChanged() {
  windowSize_ = LeadingInt(winSizeEdit_->text());
  pixelSize_ = demPixelSize_;
  side_ = static_cast<float>(pixelSize_ * windowSize_ * 0.001);
  kilom1_->setText(SideOf(side_));
  kilom2_->setText(SideOf(side_));
}

QString TWindowSizeDialog::SideText() const {
  return QString::asprintf("%2.3f x %2.3f km", static_cast<double>(side_),
                           static_cast<double>(side_));
}

}  // namespace orvane
