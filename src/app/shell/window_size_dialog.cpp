#include "app/shell/window_size_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/shell/form_parts.h"
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
  form->addWidget(new QLabel("Pixel Size"), 0, 0);
  form->addWidget(pixEdit_, 0, 1, 1, 3);
  form->addWidget(new QLabel("Size of the Window"), 1, 0);
  form->addWidget(winSizeEdit_, 1, 1, 1, 3);
  form->addWidget(new QLabel("Corresponding Window Size:"), 2, 0, 1, 4);
  // The side twice: "<side> km  x <side> km".
  for (int i = 0; i < 2; ++i) {
    sideEdits_[i] = new QLineEdit;
    sideEdits_[i]->setObjectName(QString("Kilom%1Edit").arg(i + 1));
    sideEdits_[i]->setReadOnly(true);
    form->addWidget(sideEdits_[i], 3, 2 * i);
    form->addWidget(new QLabel(i == 0 ? "km  x" : "km"), 3, 2 * i + 1);
  }
  connect(winSizeEdit_, &QLineEdit::textChanged, this, &TWindowSizeDialog::WindowChanged);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(OkCancelRow(*this, "OkBitBtn", "DelBitBtn", [this] { OkClick(); }, "Delete"));
}

void TWindowSizeDialog::SetPixelSize(int metres) {
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
  const std::string refusal = limits_.Refusal(windowSize_);
  if (refusal.empty()) return accept();
  Refuse(this, winSizeEdit_, QString::fromStdString(refusal));
}

void TWindowSizeDialog::WindowChanged() {
  windowSize_ = LeadingInt(winSizeEdit_->text());
  side_ = static_cast<float>(pixelSize_ * windowSize_ * 0.001);
  for (QLineEdit* edit : sideEdits_) edit->setText(SideOf(side_));
}

QString TWindowSizeDialog::SideText() const {
  return QString::asprintf("%2.3f x %2.3f km", static_cast<double>(side_),
                           static_cast<double>(side_));
}

}  // namespace orvane
