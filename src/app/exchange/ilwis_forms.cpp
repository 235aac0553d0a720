#include "app/exchange/ilwis_forms.h"

#include "app/shell/form_parts.h"
#include "app/shell/workbench.h"

namespace orvane {

namespace {

// Generic names longer than this are cut (the extension still has to fit a 127-byte path part).
constexpr int kMaxGenericName = 127;

}  // namespace

TUtmCoordinatesDialog::TUtmCoordinatesDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("CoordinateForm");
  setWindowTitle(" COORDINATES");

  auto* frame = FieldGroup("Frame", {{lines_, "CoordLines", "Lines"},
                                     {columns_, "CoordColumns", "Columns"}});

  QLineEdit** typed = zoneAndCorners_;
  auto* input = FieldGroup("Input Data", {{typed[0], "Zone", "Zone"},
                                          {typed[1], "Xmin", "X_min"},
                                          {typed[2], "Ymin", "Y_min"},
                                          {typed[3], "Xmax", "X_max"},
                                          {typed[4], "Ymax", "Y_max"}});
  for (int corner = 1; corner < 5; ++corner)
    connect(typed[corner], &QLineEdit::textChanged, this, &TUtmCoordinatesDialog::CornerChanged);

  auto* pixel =
      FieldGroup("Pixel Size (in meters)", {{origPixSize_, "OrigPixSize", "in the Descriptive File"}});
  FormOf(pixel)->addRow(new QLabel("Calculated from UTM Coordinates"));
  pixX_ = AddField(FormOf(pixel), "PixSizeX", "X");
  pixY_ = AddField(FormOf(pixel), "PixSizeY", "Y");

  auto* left = new QVBoxLayout;
  left->addWidget(frame);
  left->addWidget(pixel);
  auto* groups = new QHBoxLayout;
  groups->addLayout(left);
  groups->addWidget(input);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addWidget(OkButton(*this, "BitBtn1"), 0, Qt::AlignRight);
}

void TUtmCoordinatesDialog::SetDemFrame(int lines, int columns, int pixelSize) {
  lines_->setText(QString::number(lines));
  columns_->setText(QString::number(columns));
  origPixSize_->setText(QString::number(pixelSize));
}

UtmFrame TUtmCoordinatesDialog::TypedFrame() const {
  auto number = [this](int field) { return LeadingDouble(zoneAndCorners_[field]->text()); };
  return UtmFrame{.zone = LeadingInt(zoneAndCorners_[0]->text()), .xMin = number(1),
                  .yMin = number(2), .xMax = number(3), .yMax = number(4),
                  .lines = LeadingInt(lines_->text()), .columns = LeadingInt(columns_->text())};
}

QStringList TUtmCoordinatesDialog::FrameTexts() const {
  QStringList texts;
  for (const QLineEdit* field : zoneAndCorners_) texts << field->text();
  return texts;
}

void TUtmCoordinatesDialog::SetFrameTexts(const QStringList& texts) {
  for (int field = 0; field < 5; ++field) zoneAndCorners_[field]->setText(texts.value(field));
}

void TUtmCoordinatesDialog::CornerChanged() {
  // Left as they were while the corners are not in order or the frame has no cells.
  if (const auto size = UtmCalculatedPixelSize(TypedFrame())) {
    pixX_->setText(QString::number(size->x, 'g', 15));
    pixY_->setText(QString::number(size->y, 'g', 15));
  }
}

TIlwisExportDialog::TIlwisExportDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("FormIlwis");
  setWindowTitle(" TRANSF ILWIS");

  QLineEdit** figure = figures_;
  auto* input = FieldGroup("Input data", {{figure[0], "Lines", "Lines"},
                                          {figure[1], "Columns", "Columns"},
                                          {figure[2], "NumBytes", "Bytes"},
                                          {figure[3], "PixSize", "Pixel Size"},
                                          {figure[4], "Alt_Min", "Min"},
                                          {figure[5], "Alt_Max", "Max"},
                                          {figure[6], "Scale", "Dynamic Scale"}});
  FormOf(input)->addRow(new QLabel("Hypsometric\ninteval (in meters)"));

  QLineEdit** typed = zoneAndCorners_;
  auto* output = FieldGroup("OutPut Data", {{typed[0], "Zone", "Geographical Zone"}});
  FormOf(output)->addRow(new QLabel("Coordinates"));
  const char* corners[4][2] = {{"XMin", "X_min"}, {"YMin", "Y_min"}, {"XMax", "X_max"}, {"YMax", "Y_max"}};
  for (int corner = 0; corner < 4; ++corner)
    typed[corner + 1] = AddField(FormOf(output), corners[corner][0], corners[corner][1]);
  nameEdit_ = AddField(FormOf(output), "Name10", "Output Generic Name ");
  nameEdit_->setMaxLength(kMaxGenericName);

  auto* groups = new QHBoxLayout;
  groups->addWidget(input);
  groups->addWidget(output);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addWidget(OkButton(*this, "Button1", [this] { OkClick(); }), 0, Qt::AlignRight);
}

void TIlwisExportDialog::SetDemFigures(const TDemOpenedInfo& info) {
  const double scale = 1.0 / (info.unitFactor > 0 ? info.unitFactor : 1);
  const QString texts[7] = {QString::number(info.lines), QString::number(info.columns),
                            QString::number(info.bytesPerElement), QString::number(info.pixelSize),
                            QString::number(info.minimum, 'g', 15),
                            QString::number(info.maximum, 'g', 15), QString::number(scale, 'g', 15)};
  for (int field = 0; field < 7; ++field) figures_[field]->setText(texts[field]);
}

void TIlwisExportDialog::SetFrameTexts(const QStringList& texts) {
  for (int field = 0; field < 5; ++field) zoneAndCorners_[field]->setText(texts.value(field));
}

void TIlwisExportDialog::OkClick() {
  // Without a name the four files would be hidden files called only ".mpr", ".grf"...
  if (nameEdit_->text().trimmed().isEmpty()) {
    Prompts().Warning(this, "ERROR", "Give the Output Generic Name");
    return;
  }
  params_.name = nameEdit_->text().left(kMaxGenericName).toStdString();
  params_.zone = LeadingInt(zoneAndCorners_[0]->text());
  double* corners[4] = {&params_.xMin, &params_.yMin, &params_.xMax, &params_.yMax};
  for (int corner = 0; corner < 4; ++corner)
    *corners[corner] = LeadingDouble(zoneAndCorners_[corner + 1]->text());
  accept();
}

TIlwisImportDialog::TIlwisImportDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ImportIlwisFileForm");
  setWindowTitle(" IMPORT ILWIS FILE");

  QLineEdit** figure = figures_;
  auto* frame = FieldGroup("Frame", {{figure[0], "LineEdit", "Lines"},
                                     {figure[1], "ColEdit", "Columns"},
                                     {figure[2], "NumBytesEdit", "Number of Bytes"}});
  FormOf(frame)->addRow(
      new QLabel("NOTA: The 4 bytes format requires\nto precize the type (integer or float)"));

  auto* format = new QGroupBox("Format Type of the Ilwis File");
  auto* formatLayout = new QVBoxLayout(format);
  const char* names[5] = {"CharRadioButton", "UShortRadioButton", "IntegerRadioButton",
                          "FloatRadioButton", "DoubleRadioButton"};
  const char* texts[5] = {"character", "unsigned short", "integer", "float", "double"};
  for (int i = 0; i < 5; ++i) types_[i] = AddRadio(texts[i], names[i], format, formatLayout);

  auto* nameBox = new QVBoxLayout;
  nameBox->addWidget(new QLabel("Name of the import image:"));
  nameEdit_ = new QLineEdit;
  nameEdit_->setObjectName("NameEdit");
  nameEdit_->setMaxLength(kMaxGenericName - 7);  // room for "_m4.raw"
  nameBox->addWidget(nameEdit_);
  nameBox->addWidget(new QLabel("(Without extension .raw)"));

  auto* groups = new QHBoxLayout;
  groups->addWidget(frame);
  groups->addWidget(format);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addLayout(nameBox);
  layout->addLayout(OkCancelRow(*this, "OKBitBtn", "DelBitBtn", [this] { OkClick(); }));
}

void TIlwisImportDialog::SetMapFigures(int lines, int columns, int elementSize) {
  const int figures[3] = {lines, columns, elementSize};
  for (int field = 0; field < 3; ++field) figures_[field]->setText(QString::number(figures[field]));
}

IlwisElementType TIlwisImportDialog::ElementType() const {
  for (int i = 0; i < 5; ++i)
    if (types_[i]->isChecked()) return static_cast<IlwisElementType>(i + 1);
  return IlwisElementType::kNone;
}

QString TIlwisImportDialog::OutputName() const { return nameEdit_->text(); }

void TIlwisImportDialog::OkClick() {
  if (ElementType() == IlwisElementType::kNone) {
    Prompts().Warning(this, "ERROR", "Check the Format");
    return;
  }
  accept();
}

}  // namespace orvane
