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

const QColor kAxisColour = Qt::black;

void Paint(QPainter& painter, const TDiagramDrawing& drawing) {
  for (const TDiagramLine& line : drawing.lines) {
    painter.setPen(QPen(line.colour, 1));
    painter.drawLine(line.from, line.to);
  }
  painter.setPen(kAxisColour);
  for (const TDiagramText& text : drawing.texts) painter.drawText(text.at, text.text);
}

// A curve through the non-empty counts: from (startX, y(counts[start])) to (x(i), y(counts[i]))
// for i = start + 2 (or start + 1) .. end - 1 with counts[i] > 0; empty bins are bridged.
template <class X>
void AddCurve(TDiagramDrawing& drawing, std::span<const std::int32_t> counts, int start,
              int firstJoined, int end, int startX, X x, std::int32_t peak, int base,
              const QColor& colour) {
  if (peak <= 0 || start < 0 || start >= end || static_cast<std::size_t>(start) >= counts.size()) return;
  QPoint at(startX, DiagramY(counts[static_cast<std::size_t>(start)], peak, base));
  for (int i = std::max(firstJoined, 0); i < end && static_cast<std::size_t>(i) < counts.size(); ++i) {
    const std::int32_t c = counts[static_cast<std::size_t>(i)];
    if (c <= 0) continue;
    const QPoint next(x(i), DiagramY(c, peak, base));
    drawing.lines.push_back({at, next, colour});
    at = next;
  }
}

// A bar from the baseline `base` up to each non-empty count of bins 0 .. n - 1 at x = bin,
// the peak touching the top.
void AddBars(TDiagramDrawing& drawing, std::span<const std::int32_t> counts, int n, int base) {
  const std::int32_t peak = PeakCount(counts, 0, n);
  for (int i = 0; i < n && peak > 0; ++i) {
    const std::int32_t c = counts[static_cast<std::size_t>(i)];
    if (c > 0) drawing.lines.push_back({QPoint(i, base), QPoint(i, DiagramY(c, peak, base)), kAxisColour});
  }
}

// Horizontal axis along the baseline, ticks every `step` pixels from (x, h - 1) up to the
// baseline, and the vertical axis up to h - 255 when asked.
void AddAxes(TDiagramDrawing& drawing, int height, int axisEnd, int step, int lastTick,
             bool vertical) {
  const int base = height - 5;
  drawing.lines.push_back({QPoint(0, base), QPoint(axisEnd, base), kAxisColour});
  for (int x = 0; x <= lastTick; x += step) {
    drawing.lines.push_back({QPoint(x, height - 1), QPoint(x, base), kAxisColour});
  }
  if (vertical) drawing.lines.push_back({QPoint(0, base), QPoint(0, height - 255), kAxisColour});
}

// The count scale of the vertical axis at x = 0: a tick with its count at the peak and at
// half of it, so the heights read as numbers of cells. Nothing without counts.
void AddCountScale(TDiagramDrawing& drawing, std::int32_t peak, int base) {
  if (peak <= 0) return;
  for (const std::int32_t count : {peak, peak / 2}) {
    if (count <= 0) continue;
    const int y = DiagramY(count, peak, base);
    drawing.lines.push_back({QPoint(0, y), QPoint(5, y), kAxisColour});
    drawing.texts.push_back({QPoint(8, std::max(y + 4, 10)), QString::number(count)});
  }
}

}  // namespace

int DiagramY(std::int32_t count, std::int32_t peak, int base) {
  if (peak <= 0) return base;
  return static_cast<int>((1.0 - static_cast<double>(count) / peak) * base);
}

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
  std::vector<int> xs;
  for (qsizetype k = 0; k < look.labels.size(); ++k) xs.push_back(static_cast<int>(k) * look.labelStep);
  SetLabels(look.labels, xs);
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

void TDiagramForm::SetLabels(const QStringList& texts, const std::vector<int>& xs) {
  for (QLabel* label : labels_) delete label;
  labels_.clear();
  for (qsizetype k = 0; k < texts.size() && static_cast<std::size_t>(k) < xs.size(); ++k) {
    auto* label = new QLabel(texts[k], labelStrip_);
    label->setObjectName(QStringLiteral("Label%1").arg(k));
    label->adjustSize();
    const int x = xs[static_cast<std::size_t>(k)] - label->width() / 2;
    label->move(std::clamp(x, 0, std::max(0, labelStrip_->width() - label->width())), 0);
    label->show();
    labels_.push_back(label);
  }
}

std::vector<int> TDiagramForm::LabelPositions() const {
  std::vector<int> xs;
  for (const QLabel* label : labels_) xs.push_back(label->geometry().center().x());
  return xs;
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

TDiagramDrawing TGrayHistogramWindow::Drawing(int height) const {
  TDiagramDrawing drawing;
  const TGrayHistogram& counts = counts_;
  const int base = height - 5;
  AddBars(drawing, counts, 256, base);
  drawing.lines.push_back({QPoint(0, base), QPoint(255, base), kAxisColour});
  for (int x = 0; x <= 240; x += 20) {
    drawing.lines.push_back({QPoint(x, base), QPoint(x, base + 4), kAxisColour});
  }
  return drawing;
}

std::string TGrayHistogramWindow::TableText() const { return GrayHistogramTable(counts_); }

// --- Direction frequency.

TDirectionHistogramWindow::TDirectionHistogramWindow(QWidget* parent)
    : TDiagramForm({"HistDirForm", " DIRECTION FREQUENCY", 370, 200,
                    {"0", "90", "180", "270", "359"}, 90},
                   parent) {}

TDiagramDrawing TDirectionHistogramWindow::Drawing(int height) const {
  TDiagramDrawing drawing;
  const TDirectionHistogram counts = Counts();
  AddBars(drawing, counts, 360, height);
  return drawing;
}

std::string TDirectionHistogramWindow::TableText() const { return DirectionTable(Counts()); }

// --- Dissection density, 2D and 3D.

// The density diagrams' axis is 300 pixels long: `basePx` pixels a class (a tenth of a
// density) while the classes fit, fewer above, so the curve always ends on the axis.
constexpr int kDDAxisLength = 300;

namespace {

double DensityClassWidth(int classes, double basePx) {
  return classes * basePx <= kDDAxisLength ? basePx : static_cast<double>(kDDAxisLength) / classes;
}

// The last tick: at 280 or at the last class when the data go further.
double DensityAxisEnd(int classes, double basePx) {
  return std::max(280.0, classes * DensityClassWidth(classes, basePx));
}

// Classes between labels: at least 36 pixels apart, densities 1, 2, 5, 10 ... apart.
int DensityLabelClasses(int classes, double basePx) {
  for (const int step : {10, 20, 50, 100}) {
    if (step * DensityClassWidth(classes, basePx) >= 36.0) return step;
  }
  return 200;
}

// The labels under the axis and their positions.
std::pair<QStringList, std::vector<int>> DensityLabels(int classes, double basePx) {
  QStringList texts;
  std::vector<int> xs;
  const double width = DensityClassWidth(classes, basePx);
  const int step = DensityLabelClasses(classes, basePx);
  for (int k = 0; k * width <= DensityAxisEnd(classes, basePx) + 0.5; k += step) {
    texts << QString::number(k / 10);
    xs.push_back(static_cast<int>(k * width + 0.5));
  }
  return {texts, xs};
}

// The axis with a tick at every label and half-way between, and the vertical axis.
void AddDensityAxes(TDiagramDrawing& drawing, int height, int classes, double basePx) {
  const int base = height - 5;
  const double width = DensityClassWidth(classes, basePx);
  drawing.lines.push_back({QPoint(0, base), QPoint(kDDAxisLength, base), kAxisColour});
  const int step = std::max(1, DensityLabelClasses(classes, basePx) / 2);
  for (int k = 0; k * width <= DensityAxisEnd(classes, basePx) + 0.5; k += step) {
    const int x = static_cast<int>(k * width + 0.5);
    drawing.lines.push_back({QPoint(x, height - 1), QPoint(x, base), kAxisColour});
  }
  drawing.lines.push_back({QPoint(0, base), QPoint(0, height - 255), kAxisColour});
}

}  // namespace

TDensityDiagram::TDensityDiagram(const Look& look, double classPx, std::size_t held,
                                 const std::vector<std::int32_t>* companion, QWidget* parent)
    : TDiagramForm(look, parent), counts_(held), companion_(companion), classPx_(classPx) {}

void TDensityDiagram::SetBound(int bound) {
  bound_ = bound;
  const auto [texts, xs] = DensityLabels(DiagramClassCount(bound_, counts_.size()), classPx_);
  SetLabels(texts, xs);
  PaintBox()->update();
}

TDiagramDrawing TDensityDiagram::Drawing(int height) const {
  TDiagramDrawing drawing;
  const int n = DiagramClassCount(bound_, counts_.size());
  const std::int32_t peak = PeakCount(counts_, 0, n);
  const double width = DensityClassWidth(n, classPx_);
  auto x = [width](int i) { return static_cast<int>(i * width + 0.5); };
  if (companion_) AddCurve(drawing, *companion_, 0, 2, n, 1, x, peak, height - 5, Qt::blue);
  AddCurve(drawing, counts_, 0, 2, n, 1, x, peak, height - 5, Qt::red);
  if (companion_) {
    drawing.lines.push_back({QPoint(310, 10), QPoint(360, 10), Qt::blue});
    drawing.lines.push_back({QPoint(310, 42), QPoint(360, 42), Qt::red});
    drawing.texts.push_back({QPoint(366, 14), "2 D"});
    drawing.texts.push_back({QPoint(366, 46), "3 D"});
  }
  AddDensityAxes(drawing, height, n, classPx_);
  AddCountScale(drawing, peak, height - 5);
  return drawing;
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

TDiagramDrawing TFractalDiagram::Drawing(int height) const {
  TDiagramDrawing drawing;
  // Through the maximum's class: the cells of the densest dimensions are often there.
  const int n = DiagramClassCount(bound_, counts_.size());
  const std::int32_t peak = PeakCount(counts_, 101, n);
  AddCurve(drawing, counts_, start_, start_ + 1, n, startX_,
           [shift = shift_](int i) { return 2 * i - shift; }, peak, height - 5, Qt::blue);
  AddAxes(drawing, height, 412, 40, 400, true);
  AddCountScale(drawing, peak, height - 5);
  return drawing;
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
