#include "app/exchange/gdal_forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "app/shell/form_parts.h"

namespace orvane {

namespace {

constexpr int kUnitFactors[5] = {1, 10, 100, 1000, 0};

// A group box titled `title` stacking one radio button per caption and object name, numbered
// 0, 1, 2... in `buttons`; the first is checked.
QGroupBox* RadioColumn(const QString& title,
                       std::initializer_list<std::pair<const char*, const char*>> choices,
                       QButtonGroup*& buttons, QObject* owner) {
  auto* box = new QGroupBox(title);
  auto* layout = new QVBoxLayout(box);
  buttons = new QButtonGroup(owner);
  for (const auto& [caption, name] : choices)
    buttons->addButton(AddRadio(caption, name, box, layout), static_cast<int>(buttons->buttons().size()));
  buttons->button(0)->setChecked(true);
  return box;
}

}  // namespace

TImportGdalDialog::TImportGdalDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ImportGdalForm");
  setWindowTitle(" IMPORT GEOTIFF / GDAL RASTER");

  QLineEdit** figure = figures_;
  auto* raster = FieldGroup("Raster", {{figure[0], "FileEdit", "File"},
                                       {figure[1], "SizeEdit", "Lines x Columns"},
                                       {figure[2], "TypeEdit", "Data Type"},
                                       {figure[3], "CrsEdit", "Coordinate System"},
                                       {figure[4], "GroundEdit", "Cell Size (m)"}});
  for (QLineEdit* edit : figures_) edit->setReadOnly(true);
  bandNote_ = new QLabel;
  bandNote_->setObjectName("BandNote");
  FormOf(raster)->addRow(bandNote_);

  auto* unit = RadioColumn("Vertical Unit of the DEM",
                           {{"in meters", "MetersRadioButton"},
                            {"in decimeters", "DecimetersRadioButton"},
                            {"in centimeters", "CentimetersRadioButton"},
                            {"in millimeters", "MillimetersRadioButton"},
                            {"the finest unit that holds the range\n(real elevations keep their precision)",
                             "FinestRadioButton"}},
                           units_, this);
  unit->layout()->addWidget(new QLabel("Elevations are multiplied by the unit\n"
                                   "and truncated to whole units."));

  fillNoData_ = new QCheckBox("Fill NoData cells with the elevation of the nearest valid cell");
  fillNoData_->setObjectName("FillNoDataCheckBox");

  auto* notes = new QLabel(
      "NOTA: Geographic coordinates (degrees) are converted to metres\n"
      "at the DEM's central latitude. NoData cells stay NoData: no value\n"
      "rests on them, unless they are filled.");
  notes->setObjectName("GdalNote");

  auto* form = new QFormLayout;
  pixSize_ = AddField(form, "PixSizeEdit", "Pixel Size in meters (raster without georeference)");
  AcceptDecimals(pixSize_);
  nameEdit_ = AddField(form, "NameEdit", "Name of the imported DEM (without _m4.raw)");

  auto* groups = new QHBoxLayout;
  groups->addWidget(raster, 1);
  groups->addWidget(unit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addWidget(fillNoData_);
  layout->addWidget(notes);
  layout->addLayout(form);
  layout->addLayout(OkCancelRow(*this, "OKBitBtn", "CancelBitBtn", [this] { OkClick(); }));
}

void TImportGdalDialog::SetRaster(const GdalRasterInfo& info) {
  QString crs = info.crsName.empty() ? QStringLiteral("unknown") : QString::fromStdString(info.crsName);
  if (info.geographic) crs += QStringLiteral(" (degrees)");
  QString ground = QStringLiteral("no georeference");
  if (info.hasGeoTransform) {
    ground = QStringLiteral("%1 x %2")
                 .arg(info.pixelWidthMetres, 0, 'g', 8)
                 .arg(info.pixelHeightMetres, 0, 'g', 8);
    if (info.geographic)
      ground += QStringLiteral(" at latitude %1").arg(info.centralLatitude, 0, 'f', 4);
  }
  const QString texts[5] = {QString::fromStdString(info.path),
                            QStringLiteral("%1 x %2").arg(info.lines).arg(info.columns),
                            QString::fromStdString(info.dataType), crs, ground};
  for (int field = 0; field < 5; ++field) figures_[field]->setText(texts[field]);
  needsPixelSize_ = !info.hasGeoTransform;
  pixSize_->setEnabled(needsPixelSize_);
  // Real elevations are proposed in the finest unit that holds them, whole ones in metres.
  ChooseUnit(info.realValued ? 0 : 1);
  bandNote_->setText(info.bandCount > 1
                         ? QStringLiteral("%1 bands: band 1 is imported").arg(info.bandCount)
                         : QString());
  QFileInfo file(QString::fromStdString(info.path));
  nameEdit_->setText(QDir::cleanPath(file.absolutePath() + "/" + file.completeBaseName()));
}

int TImportGdalDialog::UnitFactor() const { return kUnitFactors[units_->checkedId()]; }

void TImportGdalDialog::ChooseUnit(int factor) {
  for (int i = 0; i < 5; ++i)
    if (kUnitFactors[i] == factor) units_->button(i)->setChecked(true);
}

QString TImportGdalDialog::OutputName() const { return nameEdit_->text(); }

double TImportGdalDialog::TypedPixelSize() const { return LeadingDouble(pixSize_->text()); }

bool TImportGdalDialog::FillNoData() const { return fillNoData_->isChecked(); }

void TImportGdalDialog::OkClick() {
  if (nameEdit_->text().trimmed().isEmpty()) {
    Prompts().Warning(this, "ERROR", "Give the Name of the imported DEM");
  } else if (needsPixelSize_ && !(TypedPixelSize() >= 1.0)) {
    Prompts().Warning(this, "ERROR", "No Pixel Size\nThe raster has no georeference");
  } else {
    accept();
  }
}

TExportGeoTiffDialog::TExportGeoTiffDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ExportGeoTiffForm");
  setWindowTitle(" EXPORT GEOTIFF");

  auto* content = RadioColumn("Image to export",
                              {{"Parameter Image", "ParamRadioButton"},
                               {"Drainage Network", "DrainageRadioButton"},
                               {"DEM (elevations in meters)", "DemRadioButton"}},
                              contents_, this);
  auto* source = RadioColumn("Georeference",
                             {{"From the imported raster", "ImportedRadioButton"},
                              {"From the UTM frame (Coord. UTM)", "UtmRadioButton"},
                              {"None", "NoGeoRadioButton"}},
                             sources_, this);

  compression_ = new QComboBox;
  compression_->setObjectName("CompressionComboBox");
  for (const std::string& name : GeoTiffCompressionNames())
    compression_->addItem(QString::fromStdString(name));
  compression_->setToolTip("deflate: read everywhere; zstd: faster, about as small; "
                           "lzw: the oldest readers; none: fastest, largest");
  auto* compressionRow = new QFormLayout;
  compressionRow->addRow("Compression", compression_);

  auto* groups = new QHBoxLayout;
  groups->addWidget(content);
  groups->addWidget(source);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addLayout(compressionRow);
  layout->addLayout(OkCancelRow(*this, "OKBitBtn", "CancelBitBtn", [this] { accept(); }));
}

GeoTiffCompression TExportGeoTiffDialog::Compression() const {
  GeoTiffCompression compression = GeoTiffCompression::kDeflate;
  ParseGeoTiffCompression(compression_->currentText().toStdString(), compression);
  return compression;
}

void TExportGeoTiffDialog::SetAvailable(bool parameterImage, bool drainage, bool dem,
                                        bool imported, bool utmFrame) {
  const bool available[3] = {parameterImage, drainage, dem};
  for (int i = 0; i < 3; ++i) contents_->button(i)->setEnabled(available[i]);
  const int first = static_cast<int>(std::find(available, available + 3, true) - available);
  if (!contents_->checkedButton()->isEnabled() && first < 3) contents_->button(first)->setChecked(true);
  sources_->button(kFromImport)->setEnabled(imported);
  sources_->button(kFromUtmFrame)->setEnabled(utmFrame);
  if (!sources_->checkedButton()->isEnabled())
    sources_->button(imported ? kFromImport : utmFrame ? kFromUtmFrame : kNoGeoreference)->setChecked(true);
}

}  // namespace orvane
