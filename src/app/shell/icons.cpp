#include "app/shell/icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

// The resource lives in a static library: registered by hand before its first use.
static void InitIconResource() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(app_icon);
    return true;
  }();
  (void)registered;
}

namespace orvane {

namespace {

// A disabled button's picture: gray and faded to a third, so it cannot pass for an enabled one
// (the style's own disabled look barely changes these mostly gray pictures).
QPixmap DisabledLook(const QPixmap& pixmap) {
  QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int gray = 128 + qGray(row[x]) / 2;
      row[x] = qRgba(gray, gray, gray, qAlpha(row[x]) / 3);
    }
  }
  return QPixmap::fromImage(image);
}

}  // namespace

QIcon ToolButtonIcon(const QString& name) {
  InitIconResource();
  const QPixmap pixmap(":/toolbar/" + name + ".png");
  QIcon icon(pixmap);
  icon.addPixmap(DisabledLook(pixmap), QIcon::Disabled);
  return icon;
}

QCursor MagnifierCursor() {
  InitIconResource();
  return QCursor(QPixmap(":/toolbar/LoupeSpeedButton.png"), 12, 12);
}

QIcon ApplicationIcon() {
  InitIconResource();
  // The installed icon's PNG sizes, compiled in from packaging/icons (the desktop entry's icon).
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QString(":/icons/orvane-%1.png").arg(size), QSize(size, size));
  return icon;
}

QPixmap SplashPicture(int width, int height) {
  QPixmap pixmap(width, height);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, QColor(70, 110, 170));
  sky.setColorAt(1, QColor(200, 220, 240));
  p.fillRect(pixmap.rect(), sky);
  // Three ranges, the farthest palest.
  for (int layer = 0; layer < 3; ++layer) {
    QPolygonF ridge;
    ridge << QPointF(0, height);
    const double base = height * (0.45 + 0.15 * layer);
    for (int x = 0; x <= width; x += 6) {
      const double t = x / static_cast<double>(width);
      const double y = base - height * 0.18 * std::abs(std::sin(t * (5 + 2 * layer) + layer)) -
                       height * 0.05 * std::sin(t * 23 + layer * 3);
      ridge << QPointF(x, y);
    }
    ridge << QPointF(width, height);
    const int shade = 150 - 45 * layer;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(shade - 20, shade, shade - 50));
    p.drawPolygon(ridge);
  }
  QFont font = p.font();
  font.setPointSize(height / 9);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(255, 255, 255));
  p.drawText(QRect(0, height / 12, width, height / 4), Qt::AlignHCenter | Qt::AlignVCenter,
             "ORVANE");
  font.setPointSize(height / 30);
  font.setBold(false);
  p.setFont(font);
  p.drawText(QRect(0, height / 12 + height / 4, width, height / 10), Qt::AlignHCenter,
             "Morphometric analysis of Digital Elevation Models - Version 1.0");
  const int iconSize = std::max(16, height / 5);
  p.drawPixmap(height / 24, height / 24, ApplicationIcon().pixmap(iconSize, iconSize));
  p.end();
  return pixmap;
}

}  // namespace orvane
