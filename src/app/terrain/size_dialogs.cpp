#include "app/terrain/size_dialogs.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/shell/form_parts.h"
#include "app/shell/text_values.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/dem_model.h"

namespace orvane {

TImageSizeDialog::TImageSizeDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("CoordImage");
  setWindowTitle(" IMAGE SIZE");
  auto* group = new QGroupBox("Image Size");
  auto* form = new QFormLayout(group);
  lineEdit_ = AddWholeNumberField(form, "LineEdit", "Lines", 1, kMaxDemSide, lines_);
  colEdit_ = AddWholeNumberField(form, "ColEdit", "Columns", 1, kMaxDemSide, columns_);
  auto* ok = OkButton(*this, "OkButton", [this] { OkClick(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

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
    const Status size = CheckDemSize(field == lineEdit_ ? 0 : lines_, 0, "The image size");
    Refuse(this, field, QString::fromStdString(size.message()));
    return;
  }
  if (const Status size = CheckDemSize(lines_, columns_, "The image size"); !size) {
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
  FollowNumber(bytesEdit_, bytes_);
  auto* ok = OkButton(*this, "OkButton");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Number of Bytes ?"));
  layout->addWidget(bytesEdit_);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

void TByteCountDialog::SetText(const QString& text) { bytesEdit_->setText(text); }

}  // namespace orvane
