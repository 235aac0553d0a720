// TPageLayoutDialog (" PAGE CONFIGURATION"): where the parameter image goes on the printed
// page. The page is the printer's paper in millimetres; the image keeps its aspect ratio, is
// kept on the page and centred on request; OK works out the printer rectangle in device
// pixels. The dialog owns the printer: the system's default one, or a PDF file when the
// system has none (or when ORVANE_PRINT_PDF names the file to write).
#pragma once

#include <QDialog>
#include <QImage>
#include <functional>
#include <memory>

#include "core/exchange/page_layout.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace orvane {

class TBitmapBox;

class TPageLayoutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TPageLayoutDialog(QWidget* parent = nullptr);
  ~TPageLayoutDialog() override;

  // The activation: the bitmap to lay out; reads the page, halves its width and centres.
  void SetBitmap(const QImage& bitmap);

  const PageLayout& Layout() const { return layout_; }
  // The rectangle worked out by the last OK (left -1 before).
  PrinterRect Rectangle() const { return rect_; }
  QPrinter& Printer() { return *printer_; }
  // True when the pages go to a PDF file (no printer on the system, or chosen so).
  bool PrintsToPdf() const;
  // True when the PDF file is to be asked at each printing.
  bool AsksPdfFile() const { return askPdfFile_; }

  void OkClick();

 private:
  // Re-reads the page size from the printer (after a printer or orientation change).
  void ReadPage();
  // The page read again and the image fitted to it (after a printer or orientation change).
  void Refit();
  // The layout changed by `change` when there is a page and a bitmap, then shown.
  void Change(const std::function<void()>& change);
  void ShowValues();
  void UpdateEnabling();
  void ConfigPrintClick();
  void PaintPreview(QPainter& painter);

  std::unique_ptr<QPrinter> printer_;
  bool askPdfFile_ = false;
  PageLayout layout_;
  PrinterRect rect_;
  QImage bitmap_;

  TBitmapBox* paintBox_;
  QLabel* printerLabel_;
  QCheckBox* centred_;
  QCheckBox* wholePage_;
  QLineEdit* sizes_[4];  // image width and height, left and top margin
  QRadioButton* portrait_;
  QRadioButton* landscape_;
  QPushButton* ok_;
};

}  // namespace orvane
