#include "app/terrain/dynamic_scale.h"

#include "app/shell/form_parts.h"
#include "core/terrain/dem_file.h"

namespace orvane {

namespace {

constexpr int kUnitFactors[4] = {1, 10, 100, 1000};
constexpr int kPixelField = 7;

}  // namespace

TDynamicScaleDialog::TDynamicScaleDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("DynamicScale");
  setWindowTitle("DYNAMIC SCALE");

  QLineEdit** field = fields_;
  auto* fileGroup = FieldGroup("File Size", {{field[0], "RealSize", "Real Size"},
                                             {field[1], "CalcSize", "Calculated Size"},
                                             {field[2], "Num_Bytes", "Number of bytes"}});
  auto* frameGroup = FieldGroup("Frame", {{field[3], "LineDS", "Lines"}, {field[4], "ColDS", "Columns"}});
  auto* hypsoGroup = FieldGroup("Hypsometric Scale", {{field[5], "MinDyn", "Minimum"},
                                                      {field[6], "MaxDyn", "Maximum"}});
  // The figures come from the file and are only shown: edits would be ignored.
  for (int figure = 0; figure < kPixelField; ++figure) fields_[figure]->setReadOnly(true);

  auto* unitGroup = new QGroupBox("Dynamic Scale Unit");
  auto* unitLayout = new QVBoxLayout(unitGroup);
  const char* unitTexts[4] = {"in meters", "in decimeters", "in centimeters", "in millimeters"};
  for (int i = 0; i < 4; ++i)
    units_[i] = AddRadio(unitTexts[i], QStringLiteral("RadioButton%1").arg(i + 1), unitGroup, unitLayout);

  auto* pixelRow = new QHBoxLayout;
  pixelRow->addWidget(new QLabel("Pixel Size (in meters)"));
  fields_[kPixelField] = new QLineEdit;
  fields_[kPixelField]->setObjectName("Pix_Size");
  AcceptDecimals(fields_[kPixelField]);
  pixelRow->addWidget(fields_[kPixelField]);

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
  layout->addWidget(OkButton(*this, "BitBtn1", [this] { OkClick(); }), 0, Qt::AlignRight);
}

int TDynamicScaleDialog::UnitFactor() const {
  for (int i = 0; i < 4; ++i)
    if (units_[i]->isChecked()) return kUnitFactors[i];
  return 0;
}

int TDynamicScaleDialog::PixelSize() const { return LeadingInt(PixelSizeText()); }

QString TDynamicScaleDialog::PixelSizeText() const { return fields_[kPixelField]->text(); }

float TDynamicScaleDialog::PixelSizeDecimal() const {
  return static_cast<float>(LeadingDouble(PixelSizeText()));
}

void TDynamicScaleDialog::ChooseUnit(int factor) {
  for (int i = 0; i < 4; ++i)
    if (kUnitFactors[i] == factor) units_[i]->setChecked(true);
}

void TDynamicScaleDialog::SetPixelSizeText(const QString& text) { fields_[kPixelField]->setText(text); }

TDynamicScaleDialog::Snapshot TDynamicScaleDialog::ShowScan(const DemFileScan& scan,
                                                            std::int64_t fileSize) {
  Snapshot before;
  for (const QLineEdit* field : fields_) before.texts << field->text();
  for (int i = 0; i < 4; ++i)
    if (units_[i]->isChecked()) before.checkedUnit = i;
  const std::int64_t calculated = static_cast<std::int64_t>(scan.lines) * scan.columns * scan.bytesPerElement;
  const QString figures[kPixelField] = {
      QString::number(fileSize), QString::number(calculated), QString::number(scan.bytesPerElement),
      QString::number(scan.lines), QString::number(scan.columns),
      QString::number(static_cast<double>(scan.minValue), 'g', 10),
      QString::number(static_cast<double>(scan.maxValue), 'g', 10)};
  for (int figure = 0; figure < kPixelField; ++figure) fields_[figure]->setText(figures[figure]);
  return before;
}

void TDynamicScaleDialog::Restore(const Snapshot& snapshot) {
  for (int field = 0; field < 8; ++field) fields_[field]->setText(snapshot.texts.value(field));
  // No unit checked is a state the group's exclusivity would refuse.
  for (QRadioButton* unit : units_) unit->setAutoExclusive(false);
  for (int u = 0; u < 4; ++u) units_[u]->setChecked(u == snapshot.checkedUnit);
  for (QRadioButton* unit : units_) unit->setAutoExclusive(true);
}

void TDynamicScaleDialog::OkClick() {
  const bool noUnit = UnitFactor() == 0;
  // A negative size would turn every distance of the treatments around: refused as missing.
  const bool noPixel = PixelSize() <= 0;
  // A size the command line refuses too, whose whole metres would not even fit in a number.
  const bool hugePixel = !noPixel && !(LeadingDouble(PixelSizeText()) <= kMaxPixelSizeMetres);
  if (hugePixel) {
    Refuse(this, fields_[kPixelField], QString::fromStdString(PixelSizeRangeMessage()));
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
