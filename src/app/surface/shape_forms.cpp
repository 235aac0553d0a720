#include "app/surface/shape_forms.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/shell/declared_fields.h"
#include "app/shell/form_parts.h"
#include "app/shell/result_placement_box.h"
#include "app/shell/text_values.h"

namespace orvane {

namespace {

QRadioButton* Radio(const QString& caption, const QString& name, QWidget* parent, QLayout* layout) {
  auto* button = new QRadioButton(caption, parent);
  button->setObjectName(name);
  layout->addWidget(button);
  return button;
}

// "Output Dynamism": the declared 100 (checked at start) or 255.
TDeclaredRadios* AddDynamism(const char* treatment, QWidget* parent, QVBoxLayout* layout) {
  layout->addWidget(new QLabel("Output Dynamism", parent));
  auto* row = new QHBoxLayout;
  auto* dynamism = new TDeclaredRadios(DeclaredParam(treatment, "dynamism"),
                                       {"HundredRadioButton", "FullDynRadioButton"}, *parent, *row);
  layout->addLayout(row);
  return dynamism;
}

// "Size of the greater window range": the declared range from 1 (a range of 0 computes nothing).
TWholeNumberEdit* AddRangeField(const char* treatment, QWidget* parent, QVBoxLayout* layout) {
  layout->addWidget(new QLabel("Size of the greater window range", parent));
  auto* edit = new TWholeNumberEdit(parent);
  edit->setObjectName("SizeWinEdit");
  BindDeclaredField(edit, DeclaredParam(treatment, "range"), 1);
  layout->addWidget(edit);
  return edit;
}

}  // namespace

// ---- TConvexityConcavityDialog

TConvexityConcavityDialog::TConvexityConcavityDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ConCavForm");
  setWindowTitle(" Convexity Concavity");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  sizeWin_ = AddRangeField("convexity", this, layout);
  auto* dynamismGroup = new QGroupBox(this);
  auto* dynamismLayout = new QVBoxLayout(dynamismGroup);
  dynamism_ = AddDynamism("convexity", dynamismGroup, dynamismLayout);
  layout->addWidget(dynamismGroup);
  placement_ = new TResultPlacementBox({"Result", "ParamRadioButton", "ShadRadioButton"}, this);
  layout->addWidget(placement_);
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("OKBitBtn");
  ok->setDefault(true);
  layout->addWidget(ok);
  connect(ok, &QPushButton::clicked, this, &TConvexityConcavityDialog::OkClick);
}

void TConvexityConcavityDialog::OkClick() {
  if (Range() < 1) {
    Refuse(this, sizeWin_, kNoWindowRange);
    return;
  }
  accept();
}

int TConvexityConcavityDialog::Range() const { return sizeWin_->Value(); }
int TConvexityConcavityDialog::Dynamism() const { return dynamism_->Value(); }
ResultKind TConvexityConcavityDialog::Placement() const { return placement_->Kind(); }
void TConvexityConcavityDialog::SetRange(int range) { sizeWin_->setText(QString::number(range)); }
void TConvexityConcavityDialog::ChooseDynamism(int dynamism) { dynamism_->Choose(dynamism); }
void TConvexityConcavityDialog::ChoosePlacement(ResultKind kind) { placement_->Choose(kind); }

// ---- THorizontalSurfacesDialog

THorizontalSurfacesDialog::THorizontalSurfacesDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("HorizSurfForm");
  setWindowTitle(" HORIZONTAL SURFACES");
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  auto* sizeGroup = new QGroupBox("Window Size", this);
  auto* sizeLayout = new QVBoxLayout(sizeGroup);
  sizeWin_ = AddRangeField("horizontal", sizeGroup, sizeLayout);
  layout->addWidget(sizeGroup);

  auto* typeGroup = new QGroupBox("Type of computation", this);
  auto* typeLayout = new QVBoxLayout(typeGroup);
  typeLayout->addWidget(new QLabel("of the horizontal plans", typeGroup));
  range_ = Radio("All calculated values", "RangeRadioButton", typeGroup, typeLayout);
  binar_ = Radio("Selection and binarization", "BinarRadioButton", typeGroup, typeLayout);
  range_->setChecked(true);
  layout->addWidget(typeGroup);

  dynamismPanel_ = new QGroupBox(this);
  dynamismPanel_->setObjectName("DynamismPanel");
  auto* dynamismLayout = new QVBoxLayout(dynamismPanel_);
  dynamism_ = AddDynamism("horizontal", dynamismPanel_, dynamismLayout);
  layout->addWidget(dynamismPanel_);
  placement_ = new TResultPlacementBox({"Result", "ParamRadioButton", "ShadRadioButton"}, this);
  layout->addWidget(placement_);

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("OKBitBtn");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);  // no action: the dialog stays open
  cancel->setObjectName("DelBitBtn");
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &THorizontalSurfacesDialog::OkClick);
  // Binarization hides the dynamism, which keeps its value meanwhile.
  connect(binar_, &QRadioButton::toggled, this, [this](bool on) { dynamismPanel_->setVisible(!on); });
}

void THorizontalSurfacesDialog::OkClick() {
  if (Range() < 1) {
    Refuse(this, sizeWin_, kNoWindowRange);
    return;
  }
  accept();
}

int THorizontalSurfacesDialog::Range() const { return sizeWin_->Value(); }
int THorizontalSurfacesDialog::Dynamism() const { return dynamism_->Value(); }
bool THorizontalSurfacesDialog::Binarize() const { return binar_->isChecked(); }
ResultKind THorizontalSurfacesDialog::Placement() const { return placement_->Kind(); }
bool THorizontalSurfacesDialog::DynamismShown() const { return !dynamismPanel_->isHidden(); }
void THorizontalSurfacesDialog::SetRange(int range) { sizeWin_->setText(QString::number(range)); }
void THorizontalSurfacesDialog::ChooseDynamism(int dynamism) { dynamism_->Choose(dynamism); }
void THorizontalSurfacesDialog::ChooseBinarize(bool binarize) { (binarize ? binar_ : range_)->setChecked(true); }
void THorizontalSurfacesDialog::ChoosePlacement(ResultKind kind) { placement_->Choose(kind); }

}  // namespace orvane
