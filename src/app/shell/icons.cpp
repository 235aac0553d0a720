#include "app/shell/icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
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

constexpr int kSize = 32;

// A small mountain range, the sign of a DEM.
void DrawRelief(QPainter& p, QRectF box) {
  QPolygonF ridge;
  ridge << QPointF(box.left(), box.bottom()) << QPointF(box.left() + box.width() * 0.3, box.top() + box.height() * 0.25)
        << QPointF(box.left() + box.width() * 0.5, box.top() + box.height() * 0.6)
        << QPointF(box.left() + box.width() * 0.72, box.top())
        << QPointF(box.right(), box.bottom());
  QLinearGradient g(box.topLeft(), box.bottomLeft());
  g.setColorAt(0, QColor(235, 235, 235));
  g.setColorAt(0.35, QColor(150, 110, 60));
  g.setColorAt(1, QColor(40, 120, 40));
  p.setBrush(g);
  p.setPen(QPen(QColor(60, 40, 20), 1));
  p.drawPolygon(ridge);
}

void DrawRiver(QPainter& p, QRectF box, QColor colour) {
  QPainterPath path(QPointF(box.left() + box.width() * 0.2, box.top()));
  path.cubicTo(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()),
               QPointF(box.left() + box.width() * 0.6, box.bottom()));
  QPainterPath branch(QPointF(box.right(), box.top() + box.height() * 0.2));
  branch.quadTo(QPointF(box.center().x() + 2, box.top() + box.height() * 0.4), box.center());
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(path);
  p.setPen(QPen(colour, 1.5, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(branch);
}

// A coloured grid of cells: a parameter image.
void DrawParamImage(QPainter& p, QRectF box) {
  const QColor colours[9] = {QColor(0, 0, 255),   QColor(0, 160, 0),   QColor(128, 255, 0),
                             QColor(0, 128, 128), QColor(255, 255, 0), QColor(255, 128, 0),
                             QColor(0, 255, 0),   QColor(255, 0, 0),   QColor(180, 0, 0)};
  const double w = box.width() / 3, h = box.height() / 3;
  p.setPen(QPen(Qt::black, 1));
  for (int i = 0; i < 9; ++i) {
    p.setBrush(colours[i]);
    p.drawRect(QRectF(box.left() + (i % 3) * w, box.top() + (i / 3) * h, w, h));
  }
}

void DrawOpenArrow(QPainter& p) {
  p.setPen(QPen(QColor(200, 150, 0), 1));
  p.setBrush(QColor(250, 210, 80));
  QPolygonF folder;
  folder << QPointF(1, 9) << QPointF(7, 9) << QPointF(9, 11) << QPointF(15, 11)
         << QPointF(15, 23) << QPointF(1, 23);
  p.drawPolygon(folder);
}

void DrawDisk(QPainter& p) {
  p.setPen(QPen(QColor(20, 20, 90), 1));
  p.setBrush(QColor(60, 70, 160));
  p.drawRect(QRectF(1, 17, 14, 14));
  p.setBrush(QColor(230, 230, 230));
  p.drawRect(QRectF(4, 18, 8, 5));
  p.setBrush(QColor(30, 30, 30));
  p.drawRect(QRectF(5, 26, 6, 4));
}

void DrawMagnifier(QPainter& p, double scale) {
  p.save();
  p.scale(scale, scale);
  p.setPen(QPen(QColor(90, 60, 20), 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(19, 19), QPointF(29, 29));
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(QColor(200, 230, 255, 200));
  p.drawEllipse(QPointF(12, 12), 9, 9);
  p.setPen(QPen(Qt::white, 1.5));
  p.drawArc(QRectF(6, 6, 12, 12), 100 * 16, 60 * 16);
  p.restore();
}

QPixmap Blank() {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

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
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  if (name == "OpenDEMSpeedButton") {
    DrawRelief(p, QRectF(8, 4, 23, 22));
    DrawOpenArrow(p);
  } else if (name == "OpenRiverSpeedButton") {
    DrawRiver(p, QRectF(12, 2, 18, 26), QColor(0, 80, 220));
    DrawOpenArrow(p);
  } else if (name == "OpenParamSpeedButton") {
    DrawParamImage(p, QRectF(12, 2, 18, 18));
    DrawOpenArrow(p);
  } else if (name == "SaveParameterSpeedButton") {
    DrawParamImage(p, QRectF(12, 2, 18, 18));
    DrawDisk(p);
  } else if (name == "SaveRiverSpeedButton") {
    DrawRiver(p, QRectF(12, 2, 18, 22), QColor(0, 80, 220));
    DrawDisk(p);
  } else if (name == "LoupeSpeedButton") {
    DrawMagnifier(p, 1.0);
  } else if (name == "PipetteSpeedButton") {
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(180, 180, 200));
    p.translate(16, 16);
    p.rotate(45);
    p.drawRoundedRect(QRectF(-3, -14, 6, 20), 2, 2);
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(-5, -15, 10, 5));
    p.setBrush(QColor(220, 0, 0));
    p.drawPolygon(QPolygonF() << QPointF(-2, 6) << QPointF(2, 6) << QPointF(0, 13));
  } else if (name == "PaletteSpeedButton") {
    p.setPen(QPen(QColor(120, 80, 30), 1));
    p.setBrush(QColor(230, 200, 150));
    p.drawEllipse(QRectF(2, 5, 28, 22));
    const QColor dabs[5] = {Qt::red, Qt::yellow, Qt::green, Qt::blue, Qt::magenta};
    const QPointF at[5] = {{9, 11}, {16, 9}, {23, 12}, {24, 19}, {10, 20}};
    for (int i = 0; i < 5; ++i) {
      p.setBrush(dabs[i]);
      p.drawEllipse(at[i], 3, 3);
    }
  } else if (name == "HistoGrSpeedButton") {
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i) {
      const double h = 4 + 20 * std::exp(-0.5 * (i - 3.5) * (i - 3.5) / 3.0);
      p.setBrush(QColor(30 * i, 30 * i, 30 * i));
      p.drawRect(QRectF(2 + 3.5 * i, 29 - h, 3, h));
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(1, 29, 31, 29);
  } else if (name == "AspectSpeedButton") {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(250, 250, 240));
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setBrush(QColor(200, 0, 0));
    p.drawPolygon(QPolygonF() << QPointF(16, 4) << QPointF(20, 16) << QPointF(12, 16));
    p.setBrush(QColor(60, 60, 60));
    p.drawPolygon(QPolygonF() << QPointF(16, 28) << QPointF(20, 16) << QPointF(12, 16));
  } else if (name == "DiagSpeedButton") {
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(3, 3, 3, 29);
    p.drawLine(3, 29, 30, 29);
    QPainterPath curve(QPointF(4, 27));
    curve.cubicTo(QPointF(10, 27), QPointF(12, 4), QPointF(17, 6));
    curve.cubicTo(QPointF(22, 8), QPointF(24, 26), QPointF(30, 26));
    p.setPen(QPen(QColor(220, 0, 0), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
  }
  p.end();
  QIcon icon(pixmap);
  icon.addPixmap(DisabledLook(pixmap), QIcon::Disabled);
  return icon;
}

QCursor MagnifierCursor() {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  DrawMagnifier(p, 1.0);
  p.end();
  return QCursor(pixmap, 12, 12);
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
