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
  int Lines() const { return lines_; }
  int Columns() const { return columns_; }
  void SetTexts(const QString& lines, const QString& columns);
  // Refuses an empty field or a size no DEM can have, on the field at fault, else accepts.
  void OkClick();

 private:
  QLineEdit* lineEdit_;
  QLineEdit* colEdit_;
  int lines_ = 0;
  int columns_ = 0;
};

class TByteCountDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TByteCountDialog(QWidget* parent = nullptr);
  int Bytes() const { return bytes_; }
  void SetText(const QString& text);

 private:
  QLineEdit* bytesEdit_;
  int bytes_ = 0;
};

}  // namespace orvane
