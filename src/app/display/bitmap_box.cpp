#include "app/display/bitmap_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstring>

namespace orvane {

TBitmapBox::TBitmapBox(QWidget* parent) : QWidget(parent) { setObjectName("PaintBox"); }

void TBitmapBox::SetBitmap(QImage bitmap) {
  bitmap_ = std::move(bitmap);
  update();
}

void TBitmapBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Button));
  if (!bitmap_.isNull()) painter.drawImage(0, 0, bitmap_);
}

void TBitmapBox::mousePressEvent(QMouseEvent* event) {
  if (onPress) onPress(event);
}
void TBitmapBox::mouseMoveEvent(QMouseEvent* event) {
  if (onMove) onMove(event);
}
void TBitmapBox::mouseReleaseEvent(QMouseEvent* event) {
  if (onRelease) onRelease(event);
}
void TBitmapBox::resizeEvent(QResizeEvent*) {
  if (onResize) onResize();
}

TColor ButtonFaceColour() {
  const QColor c = QPalette().color(QPalette::Button);
  return Rgb(c.red(), c.green(), c.blue());
}

QImage RgbRasterToImage(const TRasterImage& raster) {
  if (!raster.IsAllocated() || raster.kind != kRasterRgb) return QImage();
  QImage image(raster.columns, raster.lines, QImage::Format_RGB888);
  for (int l = 0; l < raster.lines; ++l) {
    const std::uint8_t* src = raster.Row(l);
    uchar* dst = image.scanLine(l);
    for (int c = 0; c < raster.columns; ++c) {
      dst[3 * c] = src[3 * c + 2];
      dst[3 * c + 1] = src[3 * c + 1];
      dst[3 * c + 2] = src[3 * c];
    }
  }
  return image;
}

}  // namespace orvane
