#include "app/exchange/ilwis_forms.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/shell/workbench.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/text_values.h"

namespace orvane {

namespace {

// Generic names longer than this are cut (the extension still has to fit a 127-byte path part).
constexpr int kMaxGenericName = 127;

}  // namespace

TIlwisExportDialog::TIlwisExportDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("FormIlwis");
  setWindowTitle(" TRANSF ILWIS");

  auto* input = FieldGroup("Input data", {{lines_, "Lines", "Lines"},
                                          {columns_, "Columns", "Columns"},
                                          {numBytes_, "NumBytes", "Bytes"},
                                          {pixSize_, "PixSize", "Pixel Size"},
                                          {altMin_, "Alt_Min", "Min"},
                                          {altMax_, "Alt_Max", "Max"},
                                          {scale_, "Scale", "Dynamic Scale"}});
  FormOf(input)->addRow(new QLabel("Hypsometric\ninteval (in meters)"));

  auto* output = FieldGroup("OutPut Data", {{zoneEdit_, "Zone", "Geographical Zone"}});
  FormOf(output)->addRow(new QLabel("Coordinates"));
  xMinEdit_ = AddField(FormOf(output), "XMin", "X_min");
  yMinEdit_ = AddField(FormOf(output), "YMin", "Y_min");
  xMaxEdit_ = AddField(FormOf(output), "XMax", "X_max");
  yMaxEdit_ = AddField(FormOf(output), "YMax", "Y_max");
  nameEdit_ = AddField(FormOf(output), "Name10", "Output Generic Name ");
  nameEdit_->setMaxLength(kMaxGenericName);

  FollowNumber(zoneEdit_, zone_);
  FollowNumber(xMinEdit_, xMin_);
  FollowNumber(yMinEdit_, yMin_);
  FollowNumber(xMaxEdit_, xMax_);
  FollowNumber(yMaxEdit_, yMax_);

  auto* ok = OkButton(*this, "Button1", [this] { OkClick(); });

  auto* groups = new QHBoxLayout;
  groups->addWidget(input);
  groups->addWidget(output);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

void TIlwisExportDialog::SetDemFigures(const TDemOpenedInfo& info) {
  lines_->setText(QString::number(info.lines));
  columns_->setText(QString::number(info.columns));
  numBytes_->setText(QString::number(info.bytesPerElement));
  pixSize_->setText(QString::number(info.pixelSize));
  altMin_->setText(QString::number(info.minimum, 'g', 15));
  altMax_->setText(QString::number(info.maximum, 'g', 15));
  scale_->setText(QString::number(1.0 / (info.unitFactor > 0 ? info.unitFactor : 1), 'g', 15));
}

void TIlwisExportDialog::SetFrameTexts(const QString& zone, const QString& xMin, const QString& xMax,
                               const QString& yMin, const QString& yMax) {
  zoneEdit_->setText(zone);
  xMinEdit_->setText(xMin);
  xMaxEdit_->setText(xMax);
  yMinEdit_->setText(yMin);
  yMaxEdit_->setText(yMax);
}

void TIlwisExportDialog::SetNameText(const QString& text) { nameEdit_->setText(text); }

void TIlwisExportDialog::OkClick() {
  // Without a name the four files would be hidden files called only ".mpr", ".grf"...
  if (nameEdit_->text().trimmed().isEmpty()) {
    Prompts().Warning(this, "ERROR", "Give the Output Generic Name");
    return;
  }
  name_ = nameEdit_->text().left(kMaxGenericName);
  folder_ = folderSource_ ? folderSource_() : QString();
  accept();
}

TIlwisImportDialog::TIlwisImportDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ImportIlwisFileForm");
  setWindowTitle(" IMPORT ILWIS FILE");

  auto* frame = FieldGroup("Frame", {{lineEdit_, "LineEdit", "Lines"},
                                     {colEdit_, "ColEdit", "Columns"},
                                     {numBytesEdit_, "NumBytesEdit", "Number of Bytes"}});
  FormOf(frame)->addRow(
      new QLabel("NOTA: The 4 bytes format requires\nto precize the type (integer or float)"));

  auto* format = new QGroupBox("Format Type of the Ilwis File");
  auto* formatLayout = new QVBoxLayout(format);
  const char* names[5] = {"CharRadioButton", "UShortRadioButton", "IntegerRadioButton",
                          "FloatRadioButton", "DoubleRadioButton"};
  const char* texts[5] = {"character", "unsigned short", "integer", "float", "double"};
  for (int i = 0; i < 5; ++i) {
    types_[i] = AddRadio(texts[i], names[i], format, formatLayout);
    const auto type = static_cast<IlwisElementType>(i + 1);
    connect(types_[i], &QRadioButton::clicked, this, [this, type] { type_ = type; });
  }

  auto* nameBox = new QVBoxLayout;
  nameBox->addWidget(new QLabel("Name of the import image:"));
  nameEdit_ = new QLineEdit;
  nameEdit_->setObjectName("NameEdit");
  nameEdit_->setMaxLength(kMaxGenericName - 7);  // room for "_m4.raw"
  nameBox->addWidget(nameEdit_);
  nameBox->addWidget(new QLabel("(Without extension .raw)"));

  auto* buttons = OkCancelRow(*this, "OKBitBtn", "DelBitBtn", [this] { OkClick(); });

  auto* groups = new QHBoxLayout;
  groups->addWidget(frame);
  groups->addWidget(format);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addLayout(nameBox);
  layout->addLayout(buttons);
}

void TIlwisImportDialog::SetMapFigures(int lines, int columns, int elementSize) {
  lineEdit_->setText(QString::number(lines));
  colEdit_->setText(QString::number(columns));
  numBytesEdit_->setText(QString::number(elementSize));
}

QString TIlwisImportDialog::OutputName() const { return nameEdit_->text(); }

void TIlwisImportDialog::ChooseType(IlwisElementType type) {
  const int index = static_cast<int>(type) - 1;
  if (index < 0 || index >= 5) return;
  types_[index]->click();
}

void TIlwisImportDialog::SetNameText(const QString& text) { nameEdit_->setText(text); }

void TIlwisImportDialog::OkClick() {
  if (type_ == IlwisElementType::kNone) {
    Prompts().Warning(this, "ERROR", "Check the Format");
    return;
  }
  accept();
}

}  // namespace orvane
