#include "app/display/image_window.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace orvane {

namespace {

// `name` followed by the zoom factor: " (1:1)", " (3:1) ", " (1:3) ".
QString ZoomCaption(const QString& name, int zoom) {
  return name + QString::fromStdString(ZoomSuffix(zoom));
}

}  // namespace

TImageWindow::TImageWindow(TImageHost& host, const Look& look, QWidget* parent)
    : QAbstractScrollArea(parent), host_(host) {
  setObjectName(look.objectName);
  viewport()->setObjectName(look.paintBoxName);
  SetCaption(look.caption);
  resize(look.size);
  viewport()->setMouseTracking(true);
  setMouseTracking(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFocusPolicy(Qt::StrongFocus);
}

double TImageWindow::Scale() const { return ZoomScale(zoom_); }

void TImageWindow::SetRaster(const TRasterImage& raster) {
  bitmap_ = RasterToBitmap(raster);
  // The new picture is shown at 1:1: a caption naming another factor would be wrong now.
  if (zoom_ != 1) SetCaption(CaptionFor(1));
  zoom_ = 1;
  if (isHidden()) show();
  // A new picture comes to the front, where the user looks for it.
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    if (sub->isHidden()) sub->show();
    if (sub->isMinimized()) sub->showNormal();
    if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
    sub->raise();
  }
  UpdateScrollBars();
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
  viewport()->update();
}

void TImageWindow::ReleaseBitmap() {
  bitmap_ = QImage();
  viewport()->update();
}

void TImageWindow::SetCaption(const QString& caption) {
  caption_ = caption;
  setWindowTitle(caption_ + note_);
}

void TImageWindow::SetCaptionNote(const QString& note) {
  note_ = note;
  SetCaption(caption_);
}

void TImageWindow::SetOwnDem(std::shared_ptr<const TDemModel> dem, int unitFactor) {
  ownDem_ = std::move(dem);
  ownUnitFactor_ = unitFactor;
}

bool TImageWindow::OfAnotherDem() const { return ownDem_ && ownDem_.get() != host_.CurrentDem(); }

const TDemModel* TImageWindow::ReadDem() const { return ownDem_ ? ownDem_.get() : host_.CurrentDem(); }

QSize TImageWindow::ImageExtent() const {
  // The scroll range follows the DEM of the picture, whatever raster the window shows.
  const TDemModel* dem = ReadDem();
  if (dem && dem->columns > 0 && dem->lines > 0) return {dem->columns, dem->lines};
  return bitmap_.size();
}

QSize TImageWindow::ContentSize() const {
  const QSize extent = ImageExtent();
  const double s = Scale();
  return {static_cast<int>(extent.width() * s), static_cast<int>(extent.height() * s)};
}

void TImageWindow::UpdateScrollBars() {
  const QSize content = ContentSize();
  const QSize view = viewport()->size();
  horizontalScrollBar()->setPageStep(view.width());
  verticalScrollBar()->setPageStep(view.height());
  horizontalScrollBar()->setSingleStep(std::max(1, static_cast<int>(Scale())));
  verticalScrollBar()->setSingleStep(std::max(1, static_cast<int>(Scale())));
  horizontalScrollBar()->setRange(0, std::max(0, content.width() - view.width()));
  verticalScrollBar()->setRange(0, std::max(0, content.height() - view.height()));
}

QPoint TImageWindow::PixelAt(QPoint pos) const {
  const double s = Scale();
  const double x = (pos.x() + horizontalScrollBar()->value()) / s;
  const double y = (pos.y() + verticalScrollBar()->value()) / s;
  // Truncation toward zero, as every real-to-integer conversion here; a point left of the
  // image must not become column 0.
  return {x < 0 ? -1 : static_cast<int>(x), y < 0 ? -1 : static_cast<int>(y)};
}

bool TImageWindow::ZoomClick(QPoint pos, Qt::MouseButton button) {
  const QPoint pixel = PixelAt(pos);
  const ZoomStep step = NextZoom(zoom_, button == Qt::LeftButton, button == Qt::RightButton);
  zoom_ = step.zoom;
  if (!step.changed) return false;

  // The view is centred on the clicked pixel and kept inside the image.
  const double s = Scale();
  const QSize view = viewport()->size();
  const QSize extent = ImageExtent();
  const int left = FirstShownPixel(pixel.x(), static_cast<int>(view.width() / (2.0 * s)), extent.width());
  const int top = FirstShownPixel(pixel.y(), static_cast<int>(view.height() / (2.0 * s)), extent.height());

  UpdateScrollBars();
  horizontalScrollBar()->setValue(static_cast<int>(left * s));
  verticalScrollBar()->setValue(static_cast<int>(top * s));
  viewport()->repaint();
  SetCaption(CaptionFor(zoom_));
  return true;
}

void TImageWindow::ReadOutAt(QPoint pos) {
  const TDemModel* dem = ReadDem();
  const QPoint pixel = PixelAt(pos);
  CellReadout out;
  // A picture of another DEM reads that DEM, without the UTM frame of the current one.
  const bool another = OfAnotherDem();
  if (dem && !bitmap_.isNull()) {
    // A raster smaller than the DEM (a drainage network of another size) has no colour there.
    std::optional<TColor> colour;
    if (QRect(QPoint(0, 0), bitmap_.size()).contains(pixel)) {
      const QRgb rgb = bitmap_.pixel(pixel);
      colour = Rgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
    }
    std::optional<UtmFrame> frame;
    if (const auto utm = host_.UtmFrame(); utm && !another)
      frame = *utm;
    out = ReadOutCell(*dem, another ? ownUnitFactor_ : host_.UnitFactor(), colour, pixel.x(),
                      pixel.y(), frame);
  }
  if (dem && another) host_.SetStatusText(1, QString());
  if (!out.inside) {
    for (int panel = 0; panel < kStatusPanels; ++panel) host_.SetStatusText(panel, QString());
    return;
  }
  for (std::size_t panel = 0; panel < out.panels.size(); ++panel) {
    if (out.panels[panel]) host_.SetStatusText(static_cast<int>(panel), QString::fromStdString(*out.panels[panel]));
  }
  host_.SetStatusText(kValuePanel, host_.ValueReadoutText(*this, pixel.x(), pixel.y()));
}

void TImageWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect clip = event->rect();
  painter.fillRect(clip, palette().color(QPalette::Window));
  if (bitmap_.isNull()) return;
  // Outside the image: a black cross-hatch.
  painter.fillRect(clip, QBrush(Qt::black, Qt::DiagCrossPattern));

  const double s = Scale();
  const int hpos = horizontalScrollBar()->value();
  const int vpos = verticalScrollBar()->value();
  // The source rectangle: the clipped part of the view, in image pixels.
  int left = static_cast<int>((clip.left() + hpos) / s);
  int top = static_cast<int>((clip.top() + vpos) / s);
  int right = static_cast<int>((clip.right() + 1 + hpos) / s) + 1;
  int bottom = static_cast<int>((clip.bottom() + 1 + vpos) / s) + 1;
  left = std::clamp(left, 0, bitmap_.width());
  top = std::clamp(top, 0, bitmap_.height());
  right = std::clamp(right, 0, bitmap_.width());
  bottom = std::clamp(bottom, 0, bitmap_.height());
  if (right <= left || bottom <= top) return;
  const QRect source(left, top, right - left, bottom - top);
  const QRectF target(left * s - hpos, top * s - vpos, source.width() * s, source.height() * s);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(target, bitmap_, source);
}

void TImageWindow::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void TImageWindow::mousePressEvent(QMouseEvent* event) {
  if (!host_.MagnifierDown() || bitmap_.isNull()) return;
  ZoomClick(event->position().toPoint(), event->button());
}

void TImageWindow::mouseMoveEvent(QMouseEvent* event) { ReadOutAt(event->position().toPoint()); }

void TImageWindow::closeEvent(QCloseEvent* event) {
  // A closed window keeps its place and shows nothing until it gets a new raster.
  ReleaseBitmap();
  event->accept();
}

TDemImageWindow::TDemImageWindow(TImageHost& host, QWidget* parent)
    : TImageWindow(host, {"ImageForm", "PaintBox", "Image (1:1)", {328, 178}}, parent) {}

QString TDemImageWindow::CaptionFor(int zoom) const { return ZoomCaption(host_.DemPath(), zoom); }

TParameterImageWindow::TParameterImageWindow(TImageHost& host, QWidget* parent)
    : TImageWindow(host, {"ImageParamForm", "PaintBox1", "  PARAMETER RESULTS", {320, 151}}, parent) {}

QString TParameterImageWindow::CaptionFor(int zoom) const {
  return ZoomCaption(" " + host_.ParameterTitle(), zoom);
}

TDrainageImageWindow::TDrainageImageWindow(TImageHost& host, QWidget* parent)
    : TImageWindow(host, {"RiverImageForm", "PaintBox1", "  DRAINAGE NETWORK", {320, 151}}, parent) {}

QString TDrainageImageWindow::CaptionFor(int zoom) const { return ZoomCaption("Drainage Network", zoom); }

}  // namespace orvane
