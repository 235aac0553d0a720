#include "app/display/diagram_forms.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/display/bitmap_box.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"

namespace orvane {

namespace {

QPoint ToQPoint(DiagramPoint point) { return {point.x, point.y}; }

void Paint(QPainter& painter, const DiagramDrawing& drawing) {
  for (const DiagramLine& line : drawing.lines) {
    painter.setPen(QPen(QColor(line.colour.red, line.colour.green, line.colour.blue), 1));
    painter.drawLine(ToQPoint(line.from), ToQPoint(line.to));
  }
  painter.setPen(Qt::black);
  for (const DiagramText& text : drawing.texts) {
    painter.drawText(ToQPoint(text.at), QString::fromStdString(text.text));
  }
}

}  // namespace

TDiagramForm::TDiagramForm(const Look& look, QWidget* parent) : QDialog(parent) {
  setObjectName(look.objectName);
  setWindowTitle(look.caption);
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* paintBox = new TBitmapBox(this);
  paintBox->onPaint = [this, paintBox](QPainter& painter) { Paint(painter, Drawing(paintBox->height())); };
  paintBox_ = paintBox;
  paintBox_->setFixedSize(look.paintWidth, look.paintHeight);
  layout->addWidget(paintBox_);

  labelStrip_ = new QWidget(this);
  labelStrip_->setFixedSize(look.paintWidth + 20, 18);
  DiagramLabels labels{look.labels, {}};
  for (std::size_t k = 0; k < look.labels.size(); ++k) labels.xs.push_back(static_cast<int>(k) * look.labelStep);
  SetLabels(labels);
  layout->addWidget(labelStrip_);

  auto* buttons = new QHBoxLayout;
  auto* save = new QPushButton(tr("Save"), this);
  save->setObjectName("BitBtnSave");
  connect(save, &QPushButton::clicked, this, &TDiagramForm::SaveClick);
  buttons->addStretch();
  buttons->addWidget(save);
  buttons->addWidget(OkButton(*this, "BitBtnOK", {}, this));
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TDiagramForm::SetLabels(const DiagramLabels& labels) {
  for (QLabel* label : labels_) delete label;
  labels_.clear();
  for (std::size_t k = 0; k < labels.texts.size() && k < labels.xs.size(); ++k) {
    auto* label = new QLabel(QString::fromStdString(labels.texts[k]), labelStrip_);
    label->setObjectName(QStringLiteral("Label%1").arg(k));
    label->adjustSize();
    const int x = labels.xs[k] - label->width() / 2;
    label->move(std::clamp(x, 0, std::max(0, labelStrip_->width() - label->width())), 0);
    label->show();
    labels_.push_back(label);
  }
}

QStringList TDiagramForm::LabelTexts() const {
  QStringList texts;
  for (const QLabel* label : labels_) texts << label->text();
  return texts;
}

void TDiagramForm::SaveClick() {
  FileRequest request;
  request.title = "Save Histogram";
  request.directory = directory_ ? directory_() : QString();
  request.filter = "File .xls|*.xls|File .ts|*.ts";
  saveDialog_.Apply(request);
  const FileAnswer answer = Prompts().SaveFile(this, request);
  saveDialog_.Keep(answer);
  if (!answer.ok()) return;
  lastSaveName_ = answer.path;
  const std::string path = TableFileName(answer.path.toStdString(), answer.filterIndex);
  const Status written = WriteTextFile(path, TableText());
  QApplication::restoreOverrideCursor();
  // A table that could not be written is said so rather than passed over in silence.
  if (!written) Prompts().Warning(this, "ERREUR", QString::fromStdString(written.message()));
}

// --- Gray-level histogram.

TGrayHistogramWindow::TGrayHistogramWindow(QWidget* parent)
    : TDiagramForm({"HistoGrisForm", " HISTOGRAM", 270, 265,
                    // A label every other tick: three digits every 20 pixels run into each other.
                    {"0", "40", "80", "120", "160", "200", "240"},
                    40},
                   parent) {}

void TGrayHistogramWindow::SetCounts(const TGrayHistogram& counts) {
  counts_ = counts;
  PaintBox()->update();
}

DiagramDrawing TGrayHistogramWindow::Drawing(int height) const {
  return GrayHistogramDrawing(counts_, height);
}

std::string TGrayHistogramWindow::TableText() const { return GrayHistogramTable(counts_); }

// --- Direction frequency.

TDirectionHistogramWindow::TDirectionHistogramWindow(QWidget* parent)
    : TDiagramForm({"HistDirForm", " DIRECTION FREQUENCY", 370, 200,
                    {"0", "90", "180", "270", "359"}, 90},
                   parent) {}

DiagramDrawing TDirectionHistogramWindow::Drawing(int height) const {
  return DirectionHistogramDrawing(Counts(), height);
}

std::string TDirectionHistogramWindow::TableText() const { return DirectionTable(Counts()); }

// --- Dissection density, 2D and 3D.

TDensityDiagram::TDensityDiagram(const Look& look, double classPx, std::size_t held,
                                 const std::vector<std::int32_t>* companion, QWidget* parent)
    : TDiagramForm(look, parent), counts_(held), companion_(companion), classPx_(classPx) {}

void TDensityDiagram::SetBound(int bound) {
  bound_ = bound;
  SetLabels(DensityLabels(DiagramClassCount(bound_, counts_.size()), classPx_));
  PaintBox()->update();
}

DiagramDrawing TDensityDiagram::Drawing(int height) const {
  return DensityDiagramDrawing(counts_, companion_, bound_, classPx_, height);
}

std::string TDensityDiagram::TableText() const {
  return ClassValueTable(counts_, 0, DiagramClassCount(bound_, counts_.size()), 0.1);
}

TDissectionDiagram::TDissectionDiagram(QWidget* parent)
    : TDensityDiagram({"DiagDDForm", " DIAGRAM", 310, 265,
                       {"0", "2", "4", "6", "8", "10", "12", "14"}, 40},
                      2.0, 300, nullptr, parent) {}

TDissection3DDiagram::TDissection3DDiagram(QWidget* parent)
    : TDensityDiagram({"DiagDD3DForm", " DIAGRAM", 400, 265,
                       {"0", "1", "2", "3", "4", "5", "6", "7"}, 40},
                      4.0, 0, &counts2D_, parent) {}

// --- Fractal dimensions.

TFractalDiagram::TFractalDiagram(const Look& look, std::size_t held, int start, int startX,
                                 int shift, QWidget* parent)
    : TDiagramForm(look, parent), start_(start), counts_(held), startX_(startX), shift_(shift) {}

DiagramDrawing TFractalDiagram::Drawing(int height) const {
  return FractalDiagramDrawing(counts_, start_, bound_, startX_, shift_, height);
}

std::string TFractalDiagram::TableText() const {
  return ClassValueTable(counts_, std::max(0, start_), DiagramClassCount(bound_, counts_.size()), 0.01);
}

TDrainageFractalDiagram::TDrainageFractalDiagram(QWidget* parent)
    : TFractalDiagram({"DiagFractDimForm", " DIAGRAM", 420, 265,
                       {"0", "0.2", "0.4", "0.6", "0.8", "1", "1.2", "1.4", "1.6", "1.8", "2"}, 40},
                      0, 101, 202, 0, parent) {}

TLocalFractalDiagram::TLocalFractalDiagram(QWidget* parent)
    : TFractalDiagram({"DiagLocFractDimForm", " DIAGRAM", 420, 265,
                       {"1", "1.2", "1,4", "1.6", "1.8", "2", "2.2", "2.4", "2.6", "2.8", "3"}, 40},
                      301, 0, 2, 200, parent) {}

}  // namespace orvane
