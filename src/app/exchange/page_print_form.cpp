#include "app/exchange/page_print_form.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/display/bitmap_box.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"

namespace orvane {

namespace {

constexpr int kPreviewWidth = 240;
constexpr int kPreviewHeight = 300;

// A length as the edits show it: the nearest tenth of a millimetre, no trailing zeros.
QString TenthText(float value) {
  return QString::number(static_cast<double>(PageLayout::RoundTenth(value)), 'g', 7);
}

}  // namespace

TPageLayoutDialog::TPageLayoutDialog(QWidget* parent)
    : QDialog(parent), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  setObjectName("ConfigPagePrintForm");
  setWindowTitle(" PAGE CONFIGURATION");

  // Coordinates on the job's canvas count from the paper's corner, as the layout does.
  printer_->setFullPage(true);
  const QString pdfFile = qEnvironmentVariable("ORVANE_PRINT_PDF");
  if (!pdfFile.isEmpty()) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(pdfFile);
  } else if (QPrinterInfo::availablePrinters().isEmpty() || !printer_->isValid()) {
    // No printer on this system: the page goes to a PDF file chosen at printing.
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setPageSize(QPageSize(QPageSize::A4));
    askPdfFile_ = true;
  }

  paintBox_ = new TBitmapBox;
  paintBox_->setObjectName("PaintBox");
  paintBox_->setFixedSize(kPreviewWidth, kPreviewHeight);
  paintBox_->onPaint = [this](QPainter& p) { PaintPreview(p); };

  printerLabel_ = new QLabel;
  printerLabel_->setObjectName("PrinterLabel");
  printerLabel_->setWordWrap(true);

  auto* options = new QGroupBox(" Options ");
  auto* optionsLayout = new QVBoxLayout(options);
  centred_ = new QCheckBox("Centered Image");
  centred_->setObjectName("CentrerCheckBox");
  centred_->setChecked(true);
  wholePage_ = new QCheckBox("Whole Page");
  wholePage_->setObjectName("PPageCheckBox");
  optionsLayout->addWidget(centred_);
  optionsLayout->addWidget(wholePage_);
  for (QCheckBox* option : {centred_, wholePage_}) {
    connect(option, &QCheckBox::clicked, this, [this, option](bool checked) {
      UpdateEnabling();
      Change([&] { option == centred_ ? layout_.SetCentred(checked) : layout_.SetWholePage(checked); });
    });
  }

  QLineEdit** size = sizes_;
  auto* sizes = FieldGroup("Image Size", {{size[0], "LargEdit", "Width"}, {size[1], "HautEdit", "Height"}});
  auto* margins = FieldGroup("Marges", {{size[2], "GaucheEdit", "Left"}, {size[3], "HauteEdit", "Height"}});
  void (PageLayout::*const setters[4])(float) = {&PageLayout::SetImageWidth, &PageLayout::SetImageHeight,
                                                 &PageLayout::SetLeftMargin, &PageLayout::SetTopMargin};
  for (int i = 0; i < 4; ++i) {
    QLineEdit* edit = sizes_[i];
    AcceptDecimals(edit);  // sizes and margins: no letters, no negative values
    connect(edit, &QLineEdit::editingFinished, this, [this, edit, setter = setters[i]] {
      Change([&] { (layout_.*setter)(PageLayout::ParseDecimal(edit->text().toStdString())); });
    });
  }

  auto* orientation = new QGroupBox(" Orientation");
  auto* orientationLayout = new QVBoxLayout(orientation);
  portrait_ = AddRadio("Portrait", "PortraitRadioButton", orientation, orientationLayout);
  portrait_->setChecked(true);
  landscape_ = AddRadio("Paysage", "PaysageRadioButton", orientation, orientationLayout);
  for (QRadioButton* choice : {portrait_, landscape_}) {
    connect(choice, &QRadioButton::clicked, this, [this, choice] {
      printer_->setPageOrientation(choice == landscape_ ? QPageLayout::Landscape : QPageLayout::Portrait);
      Refit();
    });
  }

  auto* configPrint = new QPushButton("Config Printer");
  configPrint->setObjectName("ConfigPrintButton");
  connect(configPrint, &QPushButton::clicked, this, &TPageLayoutDialog::ConfigPrintClick);

  ok_ = OkButton(*this, "OkBitBtn", [this] { OkClick(); });
  auto* cancel = new QPushButton("Delete");
  cancel->setObjectName("CancelBitBtn");
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* controls = new QVBoxLayout;
  controls->addWidget(options);
  controls->addWidget(sizes);
  controls->addWidget(margins);
  controls->addWidget(orientation);
  controls->addWidget(configPrint);
  controls->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  controls->addLayout(buttons);
  auto* left = new QVBoxLayout;
  left->addWidget(paintBox_);
  left->addWidget(printerLabel_);
  left->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(controls);

  ReadPage();
  UpdateEnabling();
}

TPageLayoutDialog::~TPageLayoutDialog() = default;

bool TPageLayoutDialog::PrintsToPdf() const {
  return printer_->outputFormat() == QPrinter::PdfFormat;
}

void TPageLayoutDialog::ReadPage() {
  const QPageLayout page = printer_->pageLayout();
  const QRectF paper = page.fullRect(QPageLayout::Millimeter);
  if (page.isValid() && paper.width() > 0 && paper.height() > 0) {
    layout_.SetPage(static_cast<float>(paper.width()), static_cast<float>(paper.height()));
  } else {
    layout_.SetPage(0.0f, 0.0f);
  }
  QString where;
  if (!layout_.HasPage()) {
    where = "No printer: the page size is unknown";
  } else if (PrintsToPdf()) {
    where = askPdfFile_ ? "No printer found: the page is printed to a PDF file"
                        : "Printed to the PDF file " + printer_->outputFileName();
  } else {
    where = "Printer: " + printer_->printerName();
  }
  printerLabel_->setText(where + QStringLiteral("\nPage %1 x %2 mm")
                                     .arg(TenthText(layout_.W), TenthText(layout_.H)));
  const QSignalBlocker portraitBlocker(portrait_);
  const QSignalBlocker paysageBlocker(landscape_);
  const bool landscape = page.orientation() == QPageLayout::Landscape;
  landscape_->setChecked(landscape);
  portrait_->setChecked(!landscape);
}

void TPageLayoutDialog::SetBitmap(const QImage& bitmap) {
  bitmap_ = bitmap;
  layout_.SetBitmap(bitmap.width(), bitmap.height());
  ReadPage();
  if (layout_.HasPage() && layout_.HasBitmap()) {
    layout_.centred = centred_->isChecked();
    layout_.Activate();
  }
  ShowValues();
}

void TPageLayoutDialog::ShowValues() {
  const bool usable = layout_.HasPage() && layout_.HasBitmap();
  const float values[4] = {layout_.w, layout_.h, layout_.x0, layout_.y0};
  for (int i = 0; i < 4; ++i) sizes_[i]->setText(usable ? TenthText(values[i]) : QString());
  ok_->setEnabled(usable);
  paintBox_->update();
}

void TPageLayoutDialog::UpdateEnabling() {
  const bool sizes = !wholePage_->isChecked();
  const bool margins = sizes && !centred_->isChecked();
  for (int i = 0; i < 4; ++i) sizes_[i]->setEnabled(i < 2 ? sizes : margins);
}

void TPageLayoutDialog::Change(const std::function<void()>& change) {
  if (!layout_.HasPage() || !layout_.HasBitmap()) return;
  change();
  ShowValues();
}

void TPageLayoutDialog::Refit() {
  ReadPage();
  if (layout_.HasPage() && layout_.HasBitmap()) layout_.Fit();
  ShowValues();
}

void TPageLayoutDialog::ConfigPrintClick() {
  QPrintDialog dialog(printer_.get(), this);
  dialog.setObjectName("PrintDialog");
  dialog.setWindowTitle("Config Printer");
  dialog.setOptions(QAbstractPrintDialog::PrintToFile);
  if (Prompts().Exec(dialog) == QDialog::Accepted && PrintsToPdf() &&
      !printer_->outputFileName().isEmpty()) {
    askPdfFile_ = false;  // the file was chosen in the dialog
  }
  Refit();
}

void TPageLayoutDialog::OkClick() {
  if (!layout_.HasPage() || !layout_.HasBitmap()) return;
  const QRect pixels = printer_->pageLayout().fullRectPixels(printer_->resolution());
  rect_ = layout_.ToDevice(pixels.width(), pixels.height());
  accept();
}

void TPageLayoutDialog::PaintPreview(QPainter& painter) {
  if (!layout_.HasPage()) return;
  const int boxWidth = paintBox_->width();
  const int boxHeight = paintBox_->height();
  const float k = std::max(layout_.H / boxHeight, layout_.W / boxWidth);
  const int pageWidth = static_cast<int>(layout_.W / k);
  const int pageHeight = static_cast<int>(layout_.H / k);
  const int left = (boxWidth - pageWidth) / 2;
  const int top = (boxHeight - pageHeight) / 2;
  painter.setPen(Qt::black);
  painter.setBrush(Qt::white);
  // The outline inside the page's pixels, so that it shows on all four sides.
  painter.drawRect(left, top, pageWidth - 1, pageHeight - 1);
  if (bitmap_.isNull() || !layout_.HasBitmap()) return;
  const QRect target(left + static_cast<int>(layout_.x0 / k),
                     top + static_cast<int>(layout_.y0 / k), static_cast<int>(layout_.w / k),
                     static_cast<int>(layout_.h / k));
  painter.drawImage(target, bitmap_);
}

}  // namespace orvane
