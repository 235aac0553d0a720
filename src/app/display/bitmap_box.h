// A paint box backed by an off-screen bitmap: the bitmap is drawn at the top-left corner over
// the button-face colour, then whatever `onPaint` draws; mouse presses, moves, releases and
// resizes are handed to callbacks. The previews, the 3D viewer's quick view, the result
// window, the levels dialog and the diagrams draw through it.
#pragma once

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <functional>

#include "core/terrain/raster_image.h"

namespace orvane {

class TBitmapBox : public QWidget {
 public:
  explicit TBitmapBox(QWidget* parent = nullptr);

  void SetBitmap(QImage bitmap);
  const QImage& Bitmap() const { return bitmap_; }

  std::function<void(QPainter&)> onPaint;
  std::function<void(QMouseEvent*)> onPress, onMove, onRelease;
  std::function<void()> onResize;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage bitmap_;
};

// The button-face colour of the running style, as a raster colour.
TColor ButtonFaceColour();

// A 24-bit raster copied into a bitmap of the same size; a null image for any other raster.
QImage RgbRasterToImage(const TRasterImage& raster);

// A bitmap of columns x lines holding GetColor of every pixel; a null image for an empty
// raster.
QImage RasterToBitmap(const TRasterImage& raster);

}  // namespace orvane
