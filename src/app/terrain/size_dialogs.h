// The two small questions of the openings: TImageSizeDialog (" IMAGE SIZE") asks lines and columns
// when a raw file has no header; TByteCountDialog (" NUM BYTES") asks the element width of a DEM
// opened with "All Raw Types".
#pragma once

#include <QDialog>

class QLineEdit;

namespace orvane {

class TImageSizeDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TImageSizeDialog(QWidget* parent = nullptr);
  int Lines() const;
  int Columns() const;
  void SetTexts(const QString& lines, const QString& columns);
  // Refuses an empty field or a size no DEM can have, on the field at fault, else accepts.
  void OkClick();

 private:
  QLineEdit* lineEdit_;
  QLineEdit* colEdit_;
};

class TByteCountDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TByteCountDialog(QWidget* parent = nullptr);
  int Bytes() const;

 private:
  QLineEdit* bytesEdit_;
};

}  // namespace orvane
