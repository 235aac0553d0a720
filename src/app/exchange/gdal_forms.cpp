#include "app/exchange/gdal_forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>

#include "app/shell/form_parts.h"

namespace orvane {

namespace {

constexpr int kUnitFactors[5] = {1, 10, 100, 1000, 0};

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

  auto* unit = new QGroupBox("Vertical Unit of the DEM");
  auto* unitLayout = new QVBoxLayout(unit);
  const char* names[5] = {"MetersRadioButton", "DecimetersRadioButton", "CentimetersRadioButton",
                          "MillimetersRadioButton", "FinestRadioButton"};
  const char* texts[5] = {"in meters", "in decimeters", "in centimeters", "in millimeters",
                          "the finest unit that holds the range\n(real elevations keep their precision)"};
  for (int i = 0; i < 5; ++i) units_[i] = AddRadio(texts[i], names[i], unit, unitLayout);
  units_[0]->setChecked(true);
  unitLayout->addWidget(new QLabel("Elevations are multiplied by the unit\n"
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

int TImportGdalDialog::UnitFactor() const {
  for (int i = 0; i < 5; ++i)
    if (units_[i]->isChecked()) return kUnitFactors[i];
  return 1;
}

void TImportGdalDialog::ChooseUnit(int factor) {
  for (int i = 0; i < 5; ++i)
    if (kUnitFactors[i] == factor) units_[i]->setChecked(true);
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

  auto* content = new QGroupBox("Image to export");
  auto* contentLayout = new QVBoxLayout(content);
  const char* contentNames[3] = {"ParamRadioButton", "DrainageRadioButton", "DemRadioButton"};
  const char* contentTexts[3] = {"Parameter Image", "Drainage Network",
                                 "DEM (elevations in meters)"};
  for (int i = 0; i < 3; ++i)
    contents_[i] = AddRadio(contentTexts[i], contentNames[i], content, contentLayout);
  contents_[0]->setChecked(true);

  auto* source = new QGroupBox("Georeference");
  auto* sourceLayout = new QVBoxLayout(source);
  const char* sourceNames[3] = {"ImportedRadioButton", "UtmRadioButton", "NoGeoRadioButton"};
  const char* sourceTexts[3] = {"From the imported raster", "From the UTM frame (Coord. UTM)",
                                "None"};
  for (int i = 0; i < 3; ++i)
    sources_[i] = AddRadio(sourceTexts[i], sourceNames[i], source, sourceLayout);
  sources_[0]->setChecked(true);

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
  const bool contentOk[3] = {parameterImage, drainage, dem};
  for (int i = 0; i < 3; ++i) contents_[i]->setEnabled(contentOk[i]);
  if (!contents_[Chosen()]->isEnabled()) {
    for (int i = 0; i < 3; ++i) {
      if (contentOk[i]) {
        contents_[i]->setChecked(true);
        break;
      }
    }
  }
  sources_[kFromImport]->setEnabled(imported);
  sources_[kFromUtmFrame]->setEnabled(utmFrame);
  if (!sources_[GeoSource()]->isEnabled()) {
    sources_[imported ? kFromImport : utmFrame ? kFromUtmFrame : kNoGeoreference]->setChecked(true);
  }
}

TExportGeoTiffDialog::Content TExportGeoTiffDialog::Chosen() const {
  for (int i = 0; i < 3; ++i)
    if (contents_[i]->isChecked()) return static_cast<Content>(i);
  return kParameterImage;
}

TExportGeoTiffDialog::Source TExportGeoTiffDialog::GeoSource() const {
  for (int i = 0; i < 3; ++i)
    if (sources_[i]->isChecked()) return static_cast<Source>(i);
  return kNoGeoreference;
}

void TExportGeoTiffDialog::Choose(Content content) { contents_[content]->setChecked(true); }

void TExportGeoTiffDialog::ChooseSource(Source source) { sources_[source]->setChecked(true); }

}  // namespace orvane
