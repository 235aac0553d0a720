#include "app/terrain/size_dialogs.h"

#include "app/shell/form_parts.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/dem_model.h"

namespace orvane {

TImageSizeDialog::TImageSizeDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("CoordImage");
  setWindowTitle(" IMAGE SIZE");
  auto* group = FieldGroup("Image Size", {{lineEdit_, "LineEdit", "Lines"}, {colEdit_, "ColEdit", "Columns"}});
  for (QLineEdit* field : {lineEdit_, colEdit_}) AcceptWholeNumbers(field, 1, kMaxDemSide);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(OkButton(*this, "OkButton", [this] { OkClick(); }), 0, Qt::AlignRight);
}

int TImageSizeDialog::Lines() const { return LeadingInt(lineEdit_->text()); }

int TImageSizeDialog::Columns() const { return LeadingInt(colEdit_->text()); }

void TImageSizeDialog::SetTexts(const QString& lines, const QString& columns) {
  lineEdit_->setText(lines);
  colEdit_->setText(columns);
}

void TImageSizeDialog::OkClick() {
  // The opening would refuse the same size once the dialog is gone: say it while the user
  // can still correct it.
  for (QLineEdit* field : {lineEdit_, colEdit_}) {
    if (HoldsNumber(field)) continue;
    // The size check names the field: lines first, columns once the lines are good.
    const Status size = CheckDemSize(field == lineEdit_ ? 0 : Lines(), 0, "The image size");
    Refuse(this, field, QString::fromStdString(size.message()));
    return;
  }
  if (const Status size = CheckDemSize(Lines(), Columns(), "The image size"); !size) {
    Refuse(this, lineEdit_, QString::fromStdString(size.message()));
    return;
  }
  accept();
}

TByteCountDialog::TByteCountDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ByteForm");
  setWindowTitle(" NUM BYTES");
  bytesEdit_ = new QLineEdit;
  bytesEdit_->setObjectName("BytesEdit");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Number of Bytes ?"));
  layout->addWidget(bytesEdit_);
  layout->addWidget(OkButton(*this, "OkButton"), 0, Qt::AlignRight);
}

int TByteCountDialog::Bytes() const { return LeadingInt(bytesEdit_->text()); }

}  // namespace orvane
