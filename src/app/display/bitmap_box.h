// A paint box backed by an off-screen bitmap: the bitmap is drawn at the top-left corner over
// the button-face colour; mouse presses, moves, releases and resizes are handed to callbacks.
// The previews, the 3D viewer's quick view and the result window draw through it.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "core/terrain/raster_image.h"

namespace orvane {

class TBitmapBox : public QWidget {
 public:
  explicit TBitmapBox(QWidget* parent = nullptr);

  void SetBitmap(QImage bitmap);
  const QImage& Bitmap() const { return bitmap_; }

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

// A 24-bit raster copied into a bitmap of the same size.
QImage RgbRasterToImage(const TRasterImage& raster);

}  // namespace orvane
