#include "app/display/levels_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "app/display/bitmap_box.h"
#include "app/display/legend_dialog.h"
#include "app/shell/form_parts.h"

namespace orvane {

namespace {

constexpr int kHistogramHeight = 90;
constexpr int kPreviewWidth = 260;
constexpr int kPreviewHeight = 220;

QColor ChannelColour(int channel, int intensity) {
  switch (channel) {
    case kLevelsRed: return QColor(intensity, 0, 0);
    case kLevelsGreen: return QColor(0, intensity, 0);
    default: return QColor(0, 0, intensity);
  }
}

// The picture of one channel's histogram on a `height` pixels high surface: bin i a vertical line
// at x = i from y = height - 5 up to trunc((1 - count / scale) * (height - 5)), scale the largest
// count among bins 1..254, in the channel colour at intensity i; nothing with scale 0.
void DrawLevelsHistogram(QPainter& painter, const THistogram256& counts, int channel,
                         int height) {
  // The two end bins gather everything clipped by the bounds: left out of the scale.
  const std::uint64_t scale = *std::max_element(counts.begin() + 1, counts.begin() + 255);
  if (scale == 0) return;
  const int base = height - 5;
  for (int i = 0; i < 256; ++i) {
    const double fraction = static_cast<double>(counts[static_cast<std::size_t>(i)]) /
                            static_cast<double>(scale);
    const int top = static_cast<int>((1.0 - fraction) * base);
    painter.setPen(ChannelColour(channel, i));
    painter.drawLine(i, base, i, top);
  }
}

}  // namespace

TLevelsDialog::TLevelsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("HistoModifForm");
  setWindowTitle("HISTOGRAMS");

  const char* letters[3] = {"R", "G", "B"};
  const char* captions[3] = {"Red", "Green", "Blue"};
  auto* channels = new QVBoxLayout;
  for (int ch = 0; ch < 3; ++ch) {
    auto* group = new QGroupBox(captions[ch]);
    auto* grid = new QGridLayout(group);
    boxes_[ch] = AddNamed<TBitmapBox>(nullptr, qPrintable(QStringLiteral("PaintBox%1").arg(letters[ch])));
    boxes_[ch]->setFixedSize(256, kHistogramHeight);
    boxes_[ch]->onPaint = [this, ch](QPainter& p) {
      p.fillRect(0, 0, 256, kHistogramHeight, Qt::white);
      DrawLevelsHistogram(p, shown_[static_cast<std::size_t>(ch)], ch, kHistogramHeight);
    };
    grid->addWidget(boxes_[ch], 0, 0, 1, 3);
    for (const int high : {0, 1}) {  // the minimum's row, then the maximum's
      const QString end = high ? "Max" : "Min";
      const QString name = letters[ch] + end;
      auto* bar = AddNamed<QSlider>(nullptr, qPrintable(name + "TrackBar"), Qt::Horizontal);
      bar->setRange(high, 254 + high);
      auto* label = AddNamed<QLabel>(nullptr, qPrintable(name + "Label"), high ? "255" : "0");
      label->setMinimumWidth(30);
      connect(bar, &QSlider::valueChanged, this,
              [this, ch, high](int v) { BoundMoved(ch, high, v); });
      grid->addWidget(new QLabel(end), 1 + high, 0);
      grid->addWidget(bar, 1 + high, 1);
      grid->addWidget(label, 1 + high, 2);
      bars_[high][ch] = bar;
      labels_[high][ch] = label;
    }
    channels->addWidget(group);
  }

  auto* right = new QVBoxLayout;
  previewBox_ = AddNamed<TBitmapBox>(right, "IPaintBox");
  previewBox_->setFixedSize(kPreviewWidth, kPreviewHeight);
  link_ = AddNamed<QCheckBox>(right, "LierCheckBox", "Link");
  connect(link_, &QCheckBox::clicked, this, &TLevelsDialog::LinkClicked);
  right->addStretch();
  right->addLayout(OkCancelRow(*this, "OkBitBtn", "CancelBitBtn", [this] { accept(); }));
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(channels);
  layout->addLayout(right);
}

void TLevelsDialog::SetImage(const TRasterImage& image) {
  // The preview works on a copy no larger than its box.
  reduced_.reset();
  if (image.IsAllocated() && image.columns > 0 && image.lines > 0) {
    const double scale = std::min({1.0, static_cast<double>(kPreviewWidth) / image.columns,
                                   static_cast<double>(kPreviewHeight) / image.lines});
    reduced_ = scale < 1.0 ? image.Resample(scale, 0, 0) : image.Clone();
  }
  const bool gray = image.kind == kRasterGray;
  state_.Reset(gray);
  counts_ = {};
  if (image.IsAllocated()) image.Histogram(counts_[0], counts_[1], counts_[2]);
  {
    const QSignalBlocker blocker(link_);
    link_->setChecked(state_.Linked());
    link_->setEnabled(!state_.LinkLocked());
  }
  Refresh();
}

void TLevelsDialog::BoundMoved(int channel, bool maximum, int value) {
  if (maximum) state_.SetMaximum(channel, value);
  else state_.SetMinimum(channel, value);
  Refresh();
}

void TLevelsDialog::LinkClicked(bool checked) {
  state_.SetLinked(checked);
  // A gray image keeps the link whatever the click.
  const QSignalBlocker blocker(link_);
  link_->setChecked(state_.Linked());
  Refresh();
}

void TLevelsDialog::Refresh() {
  for (int ch = 0; ch < 3; ++ch) {
    const LevelsState::Bounds& b = state_.Channel(ch);
    for (const int high : {0, 1}) {
      const QSignalBlocker blocker(bars_[high][ch]);
      bars_[high][ch]->setValue(high ? b.hi : b.lo);
      labels_[high][ch]->setText(QString::number(high ? b.hi : b.lo));
    }
    shown_[static_cast<std::size_t>(ch)] =
        StretchedHistogram(counts_[static_cast<std::size_t>(ch)], b.lo, b.hi);
    boxes_[ch]->update();
  }
  preview_ = QImage();
  if (reduced_) {
    if (const auto adjusted = state_.Apply(*reduced_)) preview_ = RasterToBitmap(*adjusted);
  }
  previewBox_->SetBitmap(preview_);
}

}  // namespace orvane
