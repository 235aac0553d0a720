#include "app/terrain/dynamic_scale.h"

#include <QFormLayout>
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
#include "core/terrain/dem_file.h"

namespace orvane {

namespace {

constexpr int kUnitFactors[4] = {1, 10, 100, 1000};

}  // namespace

TDynamicScaleDialog::TDynamicScaleDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("DynamicScale");
  setWindowTitle("DYNAMIC SCALE");

  auto* fileGroup = FieldGroup("File Size", {{realSize_, "RealSize", "Real Size"},
                                             {calcSize_, "CalcSize", "Calculated Size"},
                                             {numBytesEdit_, "Num_Bytes", "Number of bytes"}});

  auto* frameGroup = FieldGroup("Frame", {{lineDS_, "LineDS", "Lines"},
                                          {colDS_, "ColDS", "Columns"}});

  auto* hypsoGroup = FieldGroup("Hypsometric Scale", {{minDyn_, "MinDyn", "Minimum"},
                                                      {maxDyn_, "MaxDyn", "Maximum"}});
  FollowNumber(minDyn_, minimum_);
  FollowNumber(maxDyn_, maximum_);

  // The figures come from the file and are only shown: edits would be ignored.
  for (QLineEdit* figure : {realSize_, calcSize_, numBytesEdit_, lineDS_, colDS_, minDyn_, maxDyn_})
    figure->setReadOnly(true);

  auto* unitGroup = new QGroupBox("Dynamic Scale Unit");
  auto* unitLayout = new QVBoxLayout(unitGroup);
  const char* unitTexts[4] = {"in meters", "in decimeters", "in centimeters", "in millimeters"};
  for (int i = 0; i < 4; ++i) {
    units_[i] =
        AddRadio(unitTexts[i], QStringLiteral("RadioButton%1").arg(i + 1), unitGroup, unitLayout);
    const int factor = kUnitFactors[i];
    connect(units_[i], &QRadioButton::clicked, this, [this, factor] { unitFactor_ = factor; });
  }

  auto* pixelRow = new QHBoxLayout;
  pixelRow->addWidget(new QLabel("Pixel Size (in meters)"));
  pixSize_ = new QLineEdit;
  pixSize_->setObjectName("Pix_Size");
  AcceptDecimals(pixSize_);
  FollowNumber(pixSize_, pixelSize_);
  pixelRow->addWidget(pixSize_);

  ok_ = OkButton(*this, "BitBtn1", [this] { OkClick(); });

  auto* left = new QVBoxLayout;
  left->addWidget(fileGroup);
  left->addWidget(frameGroup);
  auto* right = new QVBoxLayout;
  right->addWidget(hypsoGroup);
  right->addWidget(unitGroup);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addLayout(pixelRow);
  layout->addWidget(ok_, 0, Qt::AlignRight);
}

void TDynamicScaleDialog::SetFileFigures(std::int64_t realSize, std::int64_t calcSize, int numBytes,
                                   int lines, int columns) {
  realSize_->setText(QString::number(realSize));
  calcSize_->setText(QString::number(calcSize));
  numBytesEdit_->setText(QString::number(numBytes));
  lineDS_->setText(QString::number(lines));
  colDS_->setText(QString::number(columns));
}

void TDynamicScaleDialog::SetElevationRange(double minimum, double maximum) {
  minDyn_->setText(QString::number(minimum, 'g', 10));
  maxDyn_->setText(QString::number(maximum, 'g', 10));
}

QString TDynamicScaleDialog::PixelSizeText() const { return pixSize_->text(); }

void TDynamicScaleDialog::ChooseUnit(int factor) {
  for (int i = 0; i < 4; ++i) {
    if (kUnitFactors[i] == factor) units_[i]->click();
  }
}

void TDynamicScaleDialog::SetPixelSizeText(const QString& text) { pixSize_->setText(text); }

TDynamicScaleDialog::Snapshot TDynamicScaleDialog::Save() const {
  Snapshot snapshot;
  for (const QLineEdit* edit : {realSize_, calcSize_, numBytesEdit_, lineDS_, colDS_, minDyn_,
                                maxDyn_, pixSize_}) {
    snapshot.texts << edit->text();
  }
  for (int i = 0; i < 4; ++i) {
    if (units_[i]->isChecked()) snapshot.checkedUnit = i;
  }
  snapshot.unitFactor = unitFactor_;
  snapshot.pixelSize = pixelSize_;
  snapshot.numBytes = numBytes_;
  snapshot.pixelSizeDecimal = pixelSizeDecimal_;
  snapshot.minimum = minimum_;
  snapshot.maximum = maximum_;
  snapshot.lines = lines_;
  snapshot.columns = columns_;
  return snapshot;
}

TDynamicScaleDialog::Snapshot TDynamicScaleDialog::ShowScan(const DemFileScan& scan,
                                                            std::int64_t fileSize) {
  Snapshot before = Save();
  SetFileFigures(fileSize,
                 static_cast<std::int64_t>(scan.lines) * scan.columns * scan.bytesPerElement,
                 scan.bytesPerElement, scan.lines, scan.columns);
  SetElevationRange(static_cast<double>(scan.minValue), static_cast<double>(scan.maxValue));
  return before;
}

void TDynamicScaleDialog::Restore(const Snapshot& snapshot) {
  int i = 0;
  for (QLineEdit* edit : {realSize_, calcSize_, numBytesEdit_, lineDS_, colDS_, minDyn_, maxDyn_,
                          pixSize_}) {
    edit->setText(snapshot.texts.value(i++));
  }
  for (QRadioButton* unit : units_) unit->setAutoExclusive(false);
  for (int u = 0; u < 4; ++u) units_[u]->setChecked(u == snapshot.checkedUnit);
  for (QRadioButton* unit : units_) unit->setAutoExclusive(true);
  unitFactor_ = snapshot.unitFactor;
  pixelSize_ = snapshot.pixelSize;
  numBytes_ = snapshot.numBytes;
  pixelSizeDecimal_ = snapshot.pixelSizeDecimal;
  minimum_ = snapshot.minimum;
  maximum_ = snapshot.maximum;
  lines_ = snapshot.lines;
  columns_ = snapshot.columns;
}

void TDynamicScaleDialog::OkClick() {
  lines_ = static_cast<std::int16_t>(static_cast<int>(LeadingDouble(lineDS_->text())));
  columns_ = static_cast<std::int16_t>(static_cast<int>(LeadingDouble(colDS_->text())));
  numBytes_ = LeadingInt(numBytesEdit_->text());
  minimum_ = LeadingDouble(minDyn_->text());
  maximum_ = LeadingDouble(maxDyn_->text());
  pixelSizeDecimal_ = static_cast<float>(LeadingDouble(pixSize_->text()));

  const bool noUnit = unitFactor_ == 0;
  // A negative size would turn every distance of the treatments around: refused as missing.
  const bool noPixel = pixelSize_ <= 0;
  // A size the command line refuses too, whose whole metres would not even fit in a number.
  const bool hugePixel = !noPixel && !(LeadingDouble(pixSize_->text()) <= kMaxPixelSizeMetres);
  if (hugePixel) {
    Refuse(this, pixSize_, QString::fromStdString(PixelSizeRangeMessage()));
  } else if (noUnit && noPixel) {
    Prompts().Warning(this, "ERROR", "No Dynamic Scale\nNo Pixel Size");
  } else if (noUnit) {
    Prompts().Warning(this, "ERROR", "No Dynamic Scale");
  } else if (noPixel) {
    Prompts().Warning(this, "ERROR", "No Pixel Size");
  } else {
    accept();
  }
}

}  // namespace orvane
