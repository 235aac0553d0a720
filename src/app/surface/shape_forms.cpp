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
#include "core/treatment/treatment_registry.h"

namespace orvane {

// ---- TShapeRangeDialog

TShapeRangeDialog::TShapeRangeDialog(const char* objectName, const char* title, QWidget* parent)
    : QDialog(parent) {
  setObjectName(objectName);
  setWindowTitle(title);
  setModal(true);
}

void TShapeRangeDialog::AddRange(const TreatmentDescriptor& treatment, QWidget* panel, QVBoxLayout* layout) {
  // The declared range from 1: a range of 0 computes nothing.
  layout->addWidget(new QLabel("Size of the greater window range", panel));
  sizeWin_ = new TWholeNumberEdit(panel);
  sizeWin_->setObjectName("SizeWinEdit");
  treatment_ = &treatment;
  BindDeclaredField(sizeWin_, DeclaredParam(treatment, "range"), 1);
  layout->addWidget(sizeWin_);
}

void TShapeRangeDialog::AddDynamism(const TreatmentDescriptor& treatment, QWidget* panel, QVBoxLayout* layout) {
  // The declared 100 (checked at start) or 255.
  layout->addWidget(new QLabel("Output Dynamism", panel));
  auto* row = new QHBoxLayout;
  dynamism_ = new TDeclaredRadios(DeclaredParam(treatment, "dynamism"),
                                  {"HundredRadioButton", "FullDynRadioButton"}, *panel, *row);
  layout->addLayout(row);
}

void TShapeRangeDialog::AddPlacement(QVBoxLayout* layout) {
  placement_ = new TResultPlacementBox({"Result", "ParamRadioButton", "ShadRadioButton"}, this);
  layout->addWidget(placement_);
}

QString TShapeRangeDialog::Refusal() const {
  if (Range() < 1) return kNoWindowRange;
  const Status declared = CheckParamValue(DeclaredParam(*treatment_, "range"), Range());
  return declared ? QString() : QString::fromStdString(declared.message());
}

void TShapeRangeDialog::OkClick() {
  if (const QString refusal = Refusal(); !refusal.isEmpty()) {
    Refuse(this, sizeWin_, refusal);
    return;
  }
  accept();
}

int TShapeRangeDialog::Range() const { return sizeWin_->Value(); }
int TShapeRangeDialog::Dynamism() const { return dynamism_->Value(); }
ResultKind TShapeRangeDialog::Placement() const { return placement_->Kind(); }
void TShapeRangeDialog::SetRange(int range) { sizeWin_->setText(QString::number(range)); }
void TShapeRangeDialog::ChooseDynamism(int dynamism) { dynamism_->Choose(dynamism); }
void TShapeRangeDialog::ChoosePlacement(ResultKind kind) { placement_->Choose(kind); }

// ---- TConvexityConcavityDialog

TConvexityConcavityDialog::TConvexityConcavityDialog(QWidget* parent)
    : TShapeRangeDialog("ConCavForm", " Convexity Concavity", parent) {
  auto* layout = new QVBoxLayout(this);
  AddRange(kConvexityTreatment, this, layout);
  auto* dynamismGroup = new QGroupBox(this);
  auto* dynamismLayout = new QVBoxLayout(dynamismGroup);
  AddDynamism(kConvexityTreatment, dynamismGroup, dynamismLayout);
  layout->addWidget(dynamismGroup);
  AddPlacement(layout);
  auto* ok = OkButton(*this, "OKBitBtn", [this] { OkClick(); }, this);
  layout->addWidget(ok);
}

// ---- THorizontalSurfacesDialog

THorizontalSurfacesDialog::THorizontalSurfacesDialog(QWidget* parent)
    : TShapeRangeDialog("HorizSurfForm", " HORIZONTAL SURFACES", parent) {
  auto* layout = new QVBoxLayout(this);

  auto* sizeGroup = new QGroupBox("Window Size", this);
  auto* sizeLayout = new QVBoxLayout(sizeGroup);
  AddRange(kHorizontalTreatment, sizeGroup, sizeLayout);
  layout->addWidget(sizeGroup);

  auto* typeGroup = new QGroupBox("Type of computation", this);
  auto* typeLayout = new QVBoxLayout(typeGroup);
  typeLayout->addWidget(new QLabel("of the horizontal plans", typeGroup));
  range_ = AddRadio("All calculated values", "RangeRadioButton", typeGroup, typeLayout);
  binar_ = AddRadio("Selection and binarization", "BinarRadioButton", typeGroup, typeLayout);
  range_->setChecked(true);
  layout->addWidget(typeGroup);

  dynamismPanel_ = new QGroupBox(this);
  dynamismPanel_->setObjectName("DynamismPanel");
  auto* dynamismLayout = new QVBoxLayout(dynamismPanel_);
  AddDynamism(kHorizontalTreatment, dynamismPanel_, dynamismLayout);
  layout->addWidget(dynamismPanel_);
  AddPlacement(layout);

  auto* buttons = new QHBoxLayout;
  auto* ok = OkButton(*this, "OKBitBtn", [this] { OkClick(); }, this);
  auto* cancel = new QPushButton("Cancel", this);  // no action: the dialog stays open
  cancel->setObjectName("DelBitBtn");
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  // Binarization hides the dynamism, which keeps its value meanwhile.
  connect(binar_, &QRadioButton::toggled, this, [this](bool on) { dynamismPanel_->setVisible(!on); });
}

bool THorizontalSurfacesDialog::Binarize() const { return binar_->isChecked(); }
bool THorizontalSurfacesDialog::DynamismShown() const { return !dynamismPanel_->isHidden(); }
void THorizontalSurfacesDialog::ChooseBinarize(bool binarize) { (binarize ? binar_ : range_)->setChecked(true); }

}  // namespace orvane
