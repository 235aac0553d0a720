#include "app/display/bitmap_box.h"

#include <QMouseEvent>
#include <QPainter>

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
  if (onPaint) onPaint(painter);
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
  return raster.kind == kRasterRgb ? RasterToBitmap(raster) : QImage();
}

QImage RasterToBitmap(const TRasterImage& raster) {
  if (raster.columns <= 0 || raster.lines <= 0 || !raster.IsAllocated()) return {};
  QImage image(raster.columns, raster.lines, QImage::Format_RGB32);
  if (image.isNull()) return {};
  for (int line = 0; line < raster.lines; ++line) {
    const std::uint8_t* src = raster.Row(line);
    auto* dst = reinterpret_cast<QRgb*>(image.scanLine(line));
    for (int column = 0; column < raster.columns; ++column) {
      switch (raster.kind) {
        case kRasterGray: dst[column] = qRgb(src[column], src[column], src[column]); break;
        case kRasterPalette: {
          const TPaletteEntry& e = raster.palette[src[column]];
          dst[column] = qRgb(e[2], e[1], e[0]);
          break;
        }
        default: {
          const std::uint8_t* p = src + 3 * static_cast<std::size_t>(column);
          dst[column] = qRgb(p[2], p[1], p[0]);
          break;
        }
      }
    }
  }
  return image;
}

}  // namespace orvane
