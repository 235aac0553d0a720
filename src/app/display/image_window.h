// The three document windows: TDemImageWindow (the DEM window), TParameterImageWindow (the parameter
// window) and TDrainageImageWindow (the drainage window). One implementation, TImageWindow: the
// raster is turned into a screen bitmap once per SetRaster; painting copies the visible part
// of the bitmap scaled by the integer zoom; clicks zoom while the magnifier is down; mouse
// moves read the current DEM out in the main frame's status bar.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "app/display/bitmap_box.h"
#include "app/shell/session.h"
#include "core/exchange/image_view.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

class TImageWindow;

// The status bar's panels: DEM x y z, UTM, colour, line and column, then the value of the
// current result.
inline constexpr int kStatusPanels = 5;
inline constexpr int kValuePanel = 4;

// What a document window reads from the main frame.
class TImageHost {
 public:
  virtual ~TImageHost() = default;
  virtual const TDemModel* CurrentDem() const = 0;
  // Stored elevation units per metre (1, 10, 100 or 1000).
  virtual int UnitFactor() const = 0;
  virtual bool MagnifierDown() const = 0;
  // The UTM frame once the coordinates were set, else nothing.
  virtual std::optional<TUtmFrame> UtmFrame() const = 0;
  virtual void SetStatusText(int panel, const QString& text) = 0;
  virtual QString DemPath() const = 0;
  virtual QString ParameterTitle() const = 0;
  // The current result's value under the cell of `window`; empty when it has none there.
  virtual QString ValueReadoutText(const TImageWindow&, int, int) const { return {}; }
};

class TImageWindow : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // The names, first caption and size a document window starts with.
  struct Look {
    const char* objectName;
    const char* paintBoxName;
    const char* caption;
    QSize size;
  };
  TImageWindow(TImageHost& host, const Look& look, QWidget* parent = nullptr);

  // Makes the window's bitmap from `raster` (the raster itself is not kept), shows the window
  // again if it was closed, resets the zoom to 1 and repaints.
  void SetRaster(const TRasterImage& raster);
  void ReleaseBitmap();
  bool HasBitmap() const { return !bitmap_.isNull(); }
  const QImage& Bitmap() const { return bitmap_; }

  int Zoom() const { return zoom_; }
  double Scale() const;
  // Image pixel under a point of the drawing surface, with the scroll offset.
  QPoint PixelAt(QPoint viewportPos) const;
  // One zoom click at a point of the drawing surface (left: enlarge, right: reduce). Returns
  // false when the factor was already at a limit (no repaint then).
  bool ZoomClick(QPoint viewportPos, Qt::MouseButton button);
  // Updates the status bar for a point of the drawing surface.
  void ReadOutAt(QPoint viewportPos);
  // The caption for a zoom factor.
  virtual QString CaptionFor(int zoom) const = 0;
  // The caption, followed by the note while one is set.
  void SetCaption(const QString& caption);
  // A remark kept after every caption (" (of the previous DEM)"); empty for none.
  void SetCaptionNote(const QString& note);

  // The DEM the shown picture belongs to, with its U: the status bar reads its coordinates and
  // elevations over the picture even after another DEM was opened. Null: the current DEM.
  void SetOwnDem(std::shared_ptr<const TDemModel> dem, int unitFactor);
  // True when the picture belongs to a DEM other than the current one.
  bool OfAnotherDem() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

  TImageHost& host_;

 private:
  void UpdateScrollBars();
  QSize ImageExtent() const;
  QSize ContentSize() const;

  // The DEM the readout uses: the picture's own, else the current one.
  const TDemModel* ReadDem() const;

  QImage bitmap_;
  int zoom_ = 1;
  QString caption_;
  QString note_;
  std::shared_ptr<const TDemModel> ownDem_;
  int ownUnitFactor_ = 1;
};

class TDemImageWindow : public TImageWindow {
 public:
  explicit TDemImageWindow(TImageHost& host, QWidget* parent = nullptr);
  QString CaptionFor(int zoom) const override;
};

class TParameterImageWindow : public TImageWindow {
  Q_OBJECT

 public:
  explicit TParameterImageWindow(TImageHost& host, QWidget* parent = nullptr);
  QString CaptionFor(int zoom) const override;
};

class TDrainageImageWindow : public TImageWindow {
 public:
  explicit TDrainageImageWindow(TImageHost& host, QWidget* parent = nullptr);
  QString CaptionFor(int zoom) const override;
  void SetNetwork(const TRasterImage& raster) { SetRaster(raster); }
};

}  // namespace orvane
