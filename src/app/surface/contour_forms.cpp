#include "app/surface/contour_forms.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>

#include "app/shell/declared_fields.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/result_placement_box.h"
#include "app/shell/text_values.h"
#include "core/surface/contour_density.h"
#include "core/surface/contour_lines.h"
#include "core/terrain/dem_model.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

namespace {

QLineEdit* ReadOnly(const QString& name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  return edit;
}

TWholeNumberEdit* Digits(const QString& name, QWidget* parent) {
  auto* edit = new TWholeNumberEdit(parent);
  edit->setObjectName(name);
  return edit;
}

}  // namespace

// ---- TContourExtractionDialog

TContourExtractionDialog::TContourExtractionDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ContourLineForm");
  setWindowTitle("  Contour Line Density");
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  auto* window = new QGridLayout;
  window->addWidget(new QLabel("Size of the Window ", this), 0, 0);
  sizeWin_ = Digits("SizeWinEdit", this);
  // The declared window from 1: OK refuses an empty window anyway.
  BindDeclaredField(sizeWin_, DeclaredParam(kContourDensityTreatment, "window"), 1);
  window->addWidget(sizeWin_, 0, 1);
  window->addWidget(new QLabel("Corresponding Window Size", this), 1, 0);
  auto* km = new QHBoxLayout;
  kilom1_ = ReadOnly("kilom1", this);
  kilom2_ = ReadOnly("kilom2", this);
  km->addWidget(kilom1_);
  km->addWidget(new QLabel("km  x", this));
  km->addWidget(kilom2_);
  km->addWidget(new QLabel("km", this));
  window->addLayout(km, 1, 1);
  layout->addLayout(window);
  connect(sizeWin_, &QLineEdit::textChanged, this, [this] { UpdateKilometres(); });

  auto* dynamism = new QGroupBox(this);
  auto* dynamismLayout = new QHBoxLayout(dynamism);
  dynamismLayout->addWidget(new QLabel("Output Dynamism", dynamism));
  dynamism_ = new TDeclaredRadios(DeclaredParam(kContourDensityTreatment, "dynamism"),
                                  {"HundredRadioButton", "FullDynRadioButton"}, *dynamism,
                                  *dynamismLayout);
  layout->addWidget(dynamism);

  auto* type = new QGroupBox("Type of treatment", this);
  auto* typeLayout = new QVBoxLayout(type);
  grid_ = AddRadio("Squared grid", "GridRadioButton", type, typeLayout);
  moving_ = AddRadio("Moving window", "MovWindRadioButton", type, typeLayout);
  grid_->setChecked(true);
  layout->addWidget(type);

  auto* hypso = new QGroupBox("Hypsometric Interval", this);
  auto* hypsoLayout = new QGridLayout(hypso);
  hypsoLayout->addWidget(new QLabel("Chosen hypsometric", hypso), 0, 0);
  hypsoLayout->addWidget(new QLabel("interval (in meters)", hypso), 1, 0);
  interval_ = Digits("HypsoIntervalEdit", hypso);
  BindDeclaredField(interval_, DeclaredParam(kContourDensityTreatment, "interval"), 1);
  hypsoLayout->addWidget(interval_, 1, 1);
  hypsoLayout->addWidget(new QLabel("Dynamic Scale (in meters)", hypso), 2, 0);
  auto* range = new QHBoxLayout;
  minDyn_ = ReadOnly("MinDynEdit", hypso);
  maxDyn_ = ReadOnly("MaxDynEdit", hypso);
  range->addWidget(minDyn_);
  range->addWidget(maxDyn_);
  hypsoLayout->addLayout(range, 2, 1);
  hypsoLayout->addWidget(new QLabel("Pixel Size", hypso), 3, 0);
  pix_ = ReadOnly("PixEdit", hypso);
  hypsoLayout->addWidget(pix_, 3, 1);
  layout->addWidget(hypso);

  placement_ = new TResultPlacementBox({"Output", "ParamRadioButton", "WrappedRadioButton"}, this);
  layout->addWidget(placement_);

  auto* buttons = new QHBoxLayout;
  auto* ok = OkButton(*this, "BitBtn1", [this] { OkClick(); }, this);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("BitBtn2");
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int TContourExtractionDialog::WindowSize() const { return sizeWin_->Value(); }
int TContourExtractionDialog::Interval() const { return interval_->Value(); }
int TContourExtractionDialog::Dynamism() const { return dynamism_->Value(); }
int TContourExtractionDialog::Tiling() const { return moving_->isChecked() ? 1 : 0; }
ResultKind TContourExtractionDialog::Placement() const { return placement_->Kind(); }

void TContourExtractionDialog::SetDynamicScale(double minimum, double maximum, const QString& pixelText) {
  minDyn_->setText(QString::asprintf("%f", minimum));
  maxDyn_->setText(QString::asprintf("%f", maximum));
  pix_->setText(pixelText);
}

void TContourExtractionDialog::SetDemPixelSize(float pixelSizeX) {
  demPixel_ = static_cast<int>(pixelSizeX);
  UpdateKilometres();
}

QString TContourExtractionDialog::WindowKilometres() const { return kilom1_->text(); }

void TContourExtractionDialog::UpdateKilometres() {
  const QString km = QString::number(WindowSize() * demPixel_ * 0.001);
  kilom1_->setText(km);
  kilom2_->setText(km);
}

void TContourExtractionDialog::SetWindowSize(int size) { sizeWin_->setText(QString::number(size)); }
void TContourExtractionDialog::SetInterval(int interval) { interval_->setText(QString::number(interval)); }
void TContourExtractionDialog::ChooseDynamism(int dynamism) { dynamism_->Choose(dynamism); }
void TContourExtractionDialog::ChooseTiling(int tiling) { (tiling == 1 ? moving_ : grid_)->setChecked(true); }
void TContourExtractionDialog::ChoosePlacement(ResultKind kind) { placement_->Choose(kind); }

void TContourExtractionDialog::SetLevelRange(std::int64_t lowest, std::int64_t highest,
                                             int unitDivisor) {
  lowest_ = lowest;
  highest_ = highest;
  unitDivisor_ = unitDivisor;
}

QString TContourExtractionDialog::Refusal(QLineEdit** field) const {
  ContourDensityParams params;
  params.window = WindowSize();
  params.interval = Interval();
  if (field) *field = params.interval <= 0 ? interval_ : sizeWin_;
  if (Status status = CheckContourDensityParams(params); !status)
    return QString::fromStdString(status.message());
  const std::pair<QLineEdit*, int> declaredValues[] = {{sizeWin_, params.window},
                                                       {interval_, params.interval}};
  for (const auto& [edit, value] : declaredValues) {
    const char* name = edit == sizeWin_ ? "window" : "interval";
    if (Status declared = CheckParamValue(DeclaredParam(kContourDensityTreatment, name), value); !declared) {
      if (field) *field = edit;
      return QString::fromStdString(declared.message());
    }
  }
  if (field) *field = interval_;
  // Levels start one interval above the lowest elevation: none below the highest, no line.
  if (unitDivisor_ > 0 &&
      ContourLevelCount(lowest_, highest_, static_cast<std::int64_t>(params.interval) * unitDivisor_) == 0) {
    return QStringLiteral("No contour line: an interval of %1 m leaves no level between the lowest "
                          "and the highest elevation of the DEM (%2 m apart)")
        .arg(params.interval)
        .arg((highest_ - lowest_) / unitDivisor_);
  }
  return {};
}

void TContourExtractionDialog::OkClick() {
  QLineEdit* field = nullptr;
  if (const QString refusal = Refusal(&field); !refusal.isEmpty()) {
    Refuse(this, field, refusal);
    return;
  }
  accept();
}

// ---- TContourDensityDialog

TContourDensityDialog::TContourDensityDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ContLineForm");
  setWindowTitle(" CONTOUR LINE EXTRACTION");
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  auto* values = new QGroupBox("Hypsometric Values  (in meters)", this);
  auto* valuesLayout = new QGridLayout(values);
  valuesLayout->addWidget(new QLabel("Min", values), 0, 0);
  min_ = ReadOnly("MinEdit", values);
  valuesLayout->addWidget(min_, 0, 1);
  valuesLayout->addWidget(new QLabel("Max", values), 1, 0);
  max_ = ReadOnly("MaxEdit", values);
  valuesLayout->addWidget(max_, 1, 1);
  valuesLayout->addWidget(new QLabel("Pixel Size", values), 2, 0);
  pixelSize_ = ReadOnly("PixelSizeEdit", values);
  valuesLayout->addWidget(pixelSize_, 2, 1);
  layout->addWidget(values);

  auto* params = new QGroupBox("Parameters (in meters)", this);
  auto* paramsLayout = new QGridLayout(params);
  paramsLayout->addWidget(new QLabel("First Contour Line", params), 0, 0);
  // The declared levels: below sea level too (a sign can be typed).
  first_ = new QLineEdit(params);
  first_->setObjectName("FirstContEdit");
  BindDeclaredField(first_, DeclaredParam(kContoursTreatment, "first"));
  paramsLayout->addWidget(first_, 0, 1);
  paramsLayout->addWidget(new QLabel("Last Contour Line", params), 1, 0);
  last_ = new QLineEdit(params);
  last_->setObjectName("LastContEdit");
  BindDeclaredField(last_, DeclaredParam(kContoursTreatment, "last"));
  paramsLayout->addWidget(last_, 1, 1);
  paramsLayout->addWidget(new QLabel("Hypsometric interval required", params), 2, 0);
  interval_ = Digits("IntervEdit", params);
  BindDeclaredField(interval_, DeclaredParam(kContoursTreatment, "interval"), 1);
  paramsLayout->addWidget(interval_, 2, 1);
  layout->addWidget(params);

  auto* ok = OkButton(*this, "OKBitBtn", [this] { OkClick(); }, this);
  layout->addWidget(ok);
}

int TContourDensityDialog::First() const { return LeadingInt(first_->text()); }
int TContourDensityDialog::Last() const { return LeadingInt(last_->text()); }
int TContourDensityDialog::Interval() const { return interval_->Value(); }

void TContourDensityDialog::SetHeights(int minimum, int maximum, const QString& pixelText) {
  min_->setText(QString::number(minimum));
  max_->setText(QString::number(maximum));
  pixelSize_->setText(pixelText);
}

void TContourDensityDialog::SetFirst(int first) { first_->setText(QString::number(first)); }
void TContourDensityDialog::SetLast(int last) { last_->setText(QString::number(last)); }
void TContourDensityDialog::SetInterval(int interval) { interval_->setText(QString::number(interval)); }

void TContourDensityDialog::OkClick() {
  // The dialog stays open on the field at fault: the last line when it is below the first.
  if (Status status = CheckContourLinesParams({First(), Last(), Interval(), 1}); !status) {
    Refuse(this, Interval() > 0 && Last() < First() ? last_ : interval_,
           QString::fromStdString(status.message()));
    return;
  }
  accept();
}

}  // namespace orvane
