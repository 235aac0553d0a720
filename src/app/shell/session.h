// TSession: the data of the user's work, apart from the main frame that shows it. The DEM and
// the DEM window's raster (two view states), the opening relief, the current parameter image
// with its title and how it is shown, the values of the current result, the diagram kind, the
// drainage network, the vertical unit U and pixel size P, the file names, the UTM flag and
// the printing rectangle.
//
// What the document windows show (view states, parameter image, drainage network) is set
// through the frame's Show... and InstallOpenedDem methods (shell/workbench.h), which keep it
// here with the setters under "shown by the frame" and show it together; everything else is
// set here directly. The frame follows the two changes that enable menu items (result values,
// diagram kind) through the signals.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "app/shell/result_values.h"
#include "core/terrain/view_state.h"
#include "core/exchange/page_layout.h"
#include "core/exchange/utm_frame.h"

namespace orvane {

// How the parameter image is shown: an 8-bit gray image, which the palette and the gray
// histogram apply to, or a colour one. The numbers are those the frame always used.
enum class DisplayMode { kGray = 1, kColour = 3 };

// The diagram the Diagram button opens; none before the first treatment that has one.
enum class DiagramKind {
  kNone = 0,
  kLocalFractal = 1,
  kDissectionDensity = 2,
  kDissectionDensity3D = 3,
  kDrainageFractalDimension = 4,
};

// The UTM frame of the coordinate dialog, as its fields stand (the frame's method UtmFrame()
// hides the type's own name there).
using TUtmFrame = UtmFrame;

class TSession : public QObject {
  Q_OBJECT

 public:
  explicit TSession(QObject* parent = nullptr);

  // --- The DEM: the current and the previous view state (DEM model and DEM window raster).
  const TViewStates& ViewStates() const { return viewStates_; }
  // The current DEM: that of the current view state; null before the first opening.
  TDemModel* CurrentDem() const { return CurrentDemShared().get(); }
  std::shared_ptr<TDemModel> CurrentDemShared() const {
    return viewStates_.Current() ? viewStates_.Current()->dem : nullptr;
  }
  // The raster shown in the DEM window (the current view state's).
  std::shared_ptr<TRasterImage> DisplayedRaster() const {
    return viewStates_.Current() ? viewStates_.Current()->raster : nullptr;
  }
  // The shaded relief made when the DEM was opened; slope and aspect blend with it.
  std::shared_ptr<TRasterImage> OpeningRelief() const { return openingRelief_; }

  // --- U and P, as the dynamic-scale dialog was answered at the last opening of a DEM.
  // U: stored elevation units per metre (1, 10, 100, 1000); 0 until a DEM was opened.
  int UnitFactor() const { return unitFactor_; }
  // P: the pixel size in whole metres, the integer reading of the typed size.
  int PixelSize() const { return pixelSize_; }
  // The pixel size as it was typed (it may hold decimals).
  QString PixelSizeText() const { return pixelSizeText_; }
  void SetDemScale(int unitFactor, const QString& pixelSizeText);

  // --- The current parameter image and how it is shown.
  std::shared_ptr<TRasterImage> ParameterImage() const { return parameterImage_; }
  // The title of the last treatment ("Parameter Image" keeps it for its caption).
  QString ParameterTitle() const { return parameterTitle_; }
  void SetParameterTitle(const QString& title) { parameterTitle_ = title; }
  // The parameter window's caption: the title and "  (1:1)".
  QString CaptionedTitle() const { return captionedTitle_; }
  orvane::DisplayMode DisplayMode() const { return displayMode_; }
  // The border the treatment left uncomputed.
  int Margin() const { return margin_; }
  void SetMargin(int margin) { margin_ = margin; }

  // --- The value grid of the current result (see result_values.h), set once its picture is
  // shown; a new treatment, an opened parameter image or DEM drop it. A wrapped result notes
  // the DEM window's raster it belongs to.
  void SetResultValues(TResultValues values);
  const TResultValues& ResultValues() const { return resultValues_; }

  // --- The diagram the Diagram button opens.
  orvane::DiagramKind DiagramKind() const { return diagramKind_; }
  void SetDiagramKind(orvane::DiagramKind kind);

  // --- The drainage network of an extraction or an opened file.
  std::shared_ptr<TRasterImage> DrainageRaster() const { return drainageRaster_; }
  // False once a DEM of another size was opened after the network.
  bool NetworkMatchesDemSize() const;

  // --- File names.
  // The DEM file of the current DEM.
  QString DemPath() const { return demPath_; }
  QString LastFileName() const { return lastFileName_; }
  void SetLastFileName(const QString& path) { lastFileName_ = path; }
  QString DemDirectory() const { return demDirectory_; }
  // Keeps the directory of `path`, the last opened raster.
  void SetOpenedRasterPath(const QString& path);
  // Directory of the work file "orvane.raw": the one set, else $ORVANE_WORKDIR, else the
  // per-user default.
  QString WorkDirectory() const;
  void SetWorkDirectory(const QString& directory) { workDirectory_ = directory; }

  // --- True once the UTM coordinates of the DEM were confirmed: the status bar reads them.
  bool UtmCoordinatesSet() const { return utmSet_; }
  void SetUtmCoordinatesSet(bool set) { utmSet_ = set; }

  // --- The page rectangle of printing, in printer pixels; left -1 until a layout was accepted.
  PrinterRect PrinterRectangle() const { return printerRect_; }
  void SetPrinterRectangle(const PrinterRect& rect) { printerRect_ = rect; }

  // --- Shown by the frame: it calls these along with showing them, handlers call its Show...
  // methods instead.
  // A new current view state (null arguments copy the current one's); keeps two states.
  std::shared_ptr<TViewState> PushViewState(std::shared_ptr<TDemModel> dem,
                                            std::shared_ptr<TRasterImage> raster);
  // The opening of a DEM: the model and its relief become the current view state as they
  // are; the relief is kept as the opening relief and `path` as the DEM path.
  void OpenDem(std::shared_ptr<TDemModel> dem, std::shared_ptr<TRasterImage> relief,
               const QString& path);
  void SetParameterImage(std::shared_ptr<TRasterImage> raster, orvane::DisplayMode mode,
                         int margin);
  void SetCaptionedTitle(const QString& caption) { captionedTitle_ = caption; }
  void SetDrainageRaster(std::shared_ptr<TRasterImage> raster) {
    drainageRaster_ = std::move(raster);
  }

 signals:
  // The result values were set (present or dropped).
  void ResultValuesChanged();
  void DiagramKindChanged();

 private:
  TViewStates viewStates_;
  std::shared_ptr<TRasterImage> openingRelief_;
  int unitFactor_ = 0;
  int pixelSize_ = 0;
  QString pixelSizeText_;
  std::shared_ptr<TRasterImage> parameterImage_;
  QString parameterTitle_;
  QString captionedTitle_;
  orvane::DisplayMode displayMode_ = orvane::DisplayMode::kGray;
  int margin_ = 0;
  TResultValues resultValues_;
  orvane::DiagramKind diagramKind_ = orvane::DiagramKind::kNone;
  std::shared_ptr<TRasterImage> drainageRaster_;
  QString demPath_;
  QString lastFileName_;
  QString demDirectory_;
  QString workDirectory_;
  bool utmSet_ = false;
  PrinterRect printerRect_;
};

}  // namespace orvane
