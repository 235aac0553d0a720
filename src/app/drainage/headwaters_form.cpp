#include "app/drainage/headwaters_form.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/display/diagram_forms.h"
#include "app/shell/declared_fields.h"
#include "app/shell/form_kit.h"
#include "app/shell/form_parts.h"
#include "app/shell/result_placement_box.h"
#include "app/shell/text_values.h"
#include "core/drainage/headwaters_density.h"

namespace orvane {

THeadwatersDialog& HeadwatersDialogOf(QWidget& frame) { return FrameChild<THeadwatersDialog>(frame); }

THeadwatersDialog::THeadwatersDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("HeadWatersForm");
  setWindowTitle(" INPUT PARAMETERS");

  auto* size = new QGroupBox("Size Filter");
  auto* grid = new QGridLayout(size);
  pixelSizeEdit_ = new QLineEdit;
  pixelSizeEdit_->setObjectName("PixelSizeEdit");
  windowEdit_ = new QLineEdit;
  windowEdit_->setObjectName("WindowEdit");
  BindDeclaredField(windowEdit_, DeclaredParam("headwaters", "hws"));
  kilom1_ = new QLineEdit;
  kilom1_->setObjectName("KilomEdit1");
  kilom2_ = new QLineEdit;
  kilom2_->setObjectName("KilomEdit2");
  auto* rule = new QFrame;
  rule->setFrameShape(QFrame::HLine);
  grid->addWidget(new QLabel("Pixel Size"), 0, 0);
  grid->addWidget(pixelSizeEdit_, 0, 1, 1, 3);
  grid->addWidget(new QLabel("Half Window Size (HWS)"), 1, 0);
  grid->addWidget(windowEdit_, 1, 1, 1, 3);
  grid->addWidget(new QLabel("Window Size = (HWS * 2) + 1"), 2, 0, 1, 4);
  grid->addWidget(rule, 3, 0, 1, 4);
  grid->addWidget(new QLabel("taking into account these parameters"), 4, 0, 1, 4);
  grid->addWidget(new QLabel("the observed region  is equal to:"), 5, 0, 1, 4);
  grid->addWidget(kilom1_, 6, 0);
  grid->addWidget(new QLabel("km x"), 6, 1);
  grid->addWidget(kilom2_, 6, 2);
  grid->addWidget(new QLabel("km"), 6, 3);
  connect(windowEdit_, &QLineEdit::textChanged, this, &THeadwatersDialog::WindowChanged);
  // The side fields always show the side: an edit is written over at once.
  connect(kilom1_, &QLineEdit::textChanged, this, &THeadwatersDialog::ShowSide);
  connect(kilom2_, &QLineEdit::textChanged, this, &THeadwatersDialog::ShowSide);

  auto* scale = DeclaredRadioGroup("Dynamic Scale", DeclaredParam("headwaters", "scale"),
                                   {"RadioButton1", "RadioButton2"}, scale_);

  placement_ = new TResultPlacementBox({"OutPut Image", "RadioButton3", "RadioButton4"});

  auto* ok = OkButton(*this, "BitBtn1", [this] { OkClick(); });

  auto* right = new QVBoxLayout;
  right->addWidget(scale);
  right->addWidget(placement_);
  right->addStretch();
  right->addWidget(ok);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(size);
  layout->addLayout(right);
}

void THeadwatersDialog::SetPixelSize(int metres) {
  pixelSizeEdit_->setText(QString::number(metres));
  WindowChanged();
}

void THeadwatersDialog::SetHalfWindowText(const QString& text) { windowEdit_->setText(text); }

int THeadwatersDialog::DynamicScale() const { return scale_->Value(); }
void THeadwatersDialog::ChooseDynamicScale(int scale) { scale_->Choose(scale); }

ResultKind THeadwatersDialog::Placement() const { return placement_->Kind(); }
void THeadwatersDialog::ChoosePlacement(ResultKind kind) { placement_->Choose(kind); }

bool THeadwatersDialog::HasHalfWindow() const { return HoldsNumber(windowEdit_); }

void THeadwatersDialog::OkClick() {
  if (!HasHalfWindow()) {
    Refuse(this, windowEdit_, kNoHalfWindow);
    return;
  }
  accept();
}

void THeadwatersDialog::WindowChanged() {
  halfWindow_ = LeadingInt(windowEdit_->text());
  side_ = HeadwatersWindowSide(LeadingInt(pixelSizeEdit_->text()), halfWindow_);
  ShowSide();
}

void THeadwatersDialog::ShowSide() {
  const QString text = QString::number(side_, 'g', 6);
  for (QLineEdit* edit : {kilom1_, kilom2_}) {
    if (edit->text() == text) continue;
    const QSignalBlocker block(edit);
    edit->setText(text);
  }
}

}  // namespace orvane
