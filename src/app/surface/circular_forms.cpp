#include "app/surface/circular_forms.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/shell/declared_fields.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/result_placement_box.h"
#include "app/shell/text_values.h"
#include "core/surface/circular_window.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

TCircularWindowDialog::TCircularWindowDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("CircularWindowForm");
  setWindowTitle("Circular Moving Window");
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  auto* type = new QGroupBox("Type of Treatment", this);
  auto* typeLayout = new QVBoxLayout(type);
  // The declared statistics, none checked at start.
  statistics_ = new TDeclaredRadios(DeclaredParam(kCircularTreatment, "stat"),
                                    {"MeanRadioButton", "DiffMeanRadioButton", "StdDevRadioButton",
                                     "RangeRadioButton", "DevMeanRadioButton",
                                     "PercentileRadioButton"},
                                    *type, *typeLayout);
  // This caption keeps the dialog's own spelling.
  statistics_->button(kCircularStdDev)->setText("Standard deviation of Elevation");
  layout->addWidget(type);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Radius (in pixels)", this), 0, 0);
  radius_ = new TWholeNumberEdit(this);
  radius_->setObjectName("RadiusEdit");
  // Whole pixels; a radius beyond the largest DEM side cannot be typed at all. 0 can, for OK
  // to say "Radius undefined".
  BindDeclaredField(radius_, DeclaredParam(kCircularTreatment, "radius"), 0);
  grid->addWidget(radius_, 0, 1);
  grid->addWidget(new QLabel("Pixel Size", this), 1, 0);
  pixelSize_ = new QLineEdit(this);
  pixelSize_->setObjectName("PixelSizeEdit");
  pixelSize_->setReadOnly(true);
  grid->addWidget(pixelSize_, 1, 1);
  grid->addWidget(new QLabel("Surface observed ", this), 2, 0);
  auto* surfRow = new QHBoxLayout;
  surf_ = new QLineEdit(this);
  surf_->setObjectName("SurfEdit");
  surf_->setReadOnly(true);
  surfRow->addWidget(surf_);
  surfRow->addWidget(new QLabel("km2", this));
  grid->addLayout(surfRow, 2, 1);
  layout->addLayout(grid);
  connect(radius_, &QLineEdit::textChanged, this, [this] { UpdateSurface(); });

  placement_ = new TResultPlacementBox(
      {"Emplacement of the Resulting Image", "ParamRadioButton", "WrapRadioButton", "Wrap image"},
      this);
  layout->addWidget(placement_);

  auto* buttons = new QHBoxLayout;
  auto* ok = OkButton(*this, "OKBitBtn", [this] { OkClick(); }, this);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("CancelBitBtn");
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int TCircularWindowDialog::Radius() const { return radius_->Value(); }
ResultKind TCircularWindowDialog::Placement() const { return placement_->Kind(); }
QString TCircularWindowDialog::SurfaceText() const { return surf_->text(); }

void TCircularWindowDialog::SetPixelSize(float pixelSizeX) {
  pixelSize_->setText(QString::asprintf("%f", static_cast<double>(pixelSizeX)));
  UpdateSurface();
}

void TCircularWindowDialog::UpdateSurface() {
  const int pixel = static_cast<int>(LeadingDouble(pixelSize_->text()));
  // Large radii would only slow typing down; the disc is then close to pi R^2.
  const int radius = Radius();
  if (radius > 500) {
    surf_->setText(QString::number(3.14159265358979 * radius * radius * pixel * pixel / 1e6, 'f', 4));
    return;
  }
  surf_->setText(QString::number(CircularSurfaceKm2(radius, pixel), 'f', 4));
}

int TCircularWindowDialog::Statistic() const { return statistics_->Value(); }
void TCircularWindowDialog::ChooseStatistic(int statistic) { statistics_->Choose(statistic); }

void TCircularWindowDialog::SetRadius(int radius) { radius_->setText(QString::number(radius)); }
void TCircularWindowDialog::ChoosePlacement(ResultKind kind) { placement_->Choose(kind); }

void TCircularWindowDialog::SetGridSize(int columns, int lines) {
  demColumns_ = columns;
  demLines_ = lines;
}

void TCircularWindowDialog::OkClick() {
  if (Status status = CheckCircularParams({Radius(), Statistic()}); !status) {
    Prompts().Warning(this, "ERROR", QString::fromStdString(status.message()));
    if (Radius() <= 0) radius_->setFocus();
    return;
  }
  // The disc of 2R + 1 cells must fit in the DEM somewhere, or every cell would stay white.
  if (demColumns_ > 0 && demLines_ > 0 &&
      (2 * Radius() >= demColumns_ || 2 * Radius() >= demLines_)) {
    Prompts().Warning(this, "ERROR",
                      QStringLiteral("The circular window (%1 pixels across) does not fit in the "
                                     "DEM (%2 x %3): give a radius below %4")
                          .arg(2 * Radius() + 1)
                          .arg(demColumns_)
                          .arg(demLines_)
                          .arg((std::min(demColumns_, demLines_) + 1) / 2));
    radius_->setFocus();
    radius_->selectAll();
    return;
  }
  accept();
}

TCircularWindowInfoForm::TCircularWindowInfoForm(QWidget* parent) : QDialog(parent) {
  text_ = QStringLiteral(
      "Primary Attributes using a Moving Circular Mask\n\n"
      "After J.C. Gallant and J.P. Wilson, \"Primary topographic attributes\", in Terrain "
      "Analysis: Principles and Applications, Wiley, New York, 2000.\n\n"
      "1. Mean Elevation\n"
      "2. Differnce from Mean Elevation\n"
      "3. Standard Deviation of Elevation\n"
      "4. Elevation Range\n"
      "5. Deviation from Mean Elevation\n"
      "6. Percentile");
  LayOutInfoWindow(*this, "CWInfoForm", "  Circular Window", {text_}, "OKBitBtn");
  resize(420, 300);
}

QString TCircularWindowInfoForm::Text() const { return text_; }

}  // namespace orvane
