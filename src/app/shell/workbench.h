// TWorkbench: what the command modules, the treatment handlers and the shared dialogs ask of
// the main window. They hold a TWorkbench& and never TMainForm itself: the frame is made by
// main() above them, which then installs the modules on it.
//
// The user's data is Session() (shell/session.h); what the document windows show changes
// through the Show... methods, which keep it in the session and show it together.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "app/shell/session.h"
#include "core/settings/settings_file.h"

class QAction;
class QMdiArea;
class QMenu;

namespace orvane {

class ProgressSink;
class TByteCountDialog;
class TDynamicScaleDialog;
class TImageSizeDialog;
class TParameterImageWindow;
class TProgressSink;

// What the opening of a DEM tells the modules that pre-fill their dialogs with it
// (the UTM coordinate dialog, the ILWIS export).
struct TDemOpenedInfo {
  QString path;
  int lines = 0;
  int columns = 0;
  int bytesPerElement = 2;
  double minimum = 0.0;
  double maximum = 0.0;
  int unitFactor = 1;
  int pixelSize = 0;
};

class TWorkbench : public QMainWindow {
  Q_OBJECT

 public:
  using QMainWindow::QMainWindow;

  // --- Components by name: menu items and tool-bar buttons are QActions, submenus QMenus.
  virtual QAction* Action(const QString& name) const = 0;
  virtual QMenu* Menu(const QString& name) const = 0;
  // Works on an action or on a menu's entry in its parent.
  virtual void SetEnabled(const QString& name, bool enabled) = 0;
  virtual void SetVisible(const QString& name, bool visible) = 0;
  virtual bool IsEnabled(const QString& name) const = 0;

  // --- The user's data and the application's settings.
  virtual TSession& Session() = 0;
  virtual const TSession& Session() const = 0;
  virtual TSettings& Settings() = 0;
  TLightParams& Light() { return Settings().light; }
  // Initial directory of the image, drainage and table dialogs ("IMAGEDIR").
  virtual QString ImageDirectory() const = 0;

  // --- Dialogs shared by the modules that open DEMs: made once, they keep their values.
  // The dynamic-scale dialog: its answer at the opening of a DEM becomes the session's U and P.
  virtual TDynamicScaleDialog& DynamicScaleDialog() = 0;
  virtual TImageSizeDialog& ImageSizeDialog() = 0;
  virtual TByteCountDialog& ByteCountDialog() = 0;

  // --- Document windows.
  virtual TParameterImageWindow& ParamWindow() const = 0;
  virtual QMdiArea& MdiArea() const = 0;

  // --- Progress: the sink to hand to core computations; it shows "Progression".
  virtual ProgressSink* Progress() = 0;
  // The progress window's sink, whose Run starts a treatment off the GUI thread.
  virtual TProgressSink& ProgressWindow() = 0;

  // --- The treatment pattern, and what the document windows show (kept in the session).
  // The parameter title; drops the result values; hides the direction-histogram window
  // (TreatmentStarting).
  virtual void BeginTreatment(const QString& title) = 0;
  // "Parameter Image": the raster goes to the parameter window with `title` + "  (1:1)" as
  // caption and becomes the current parameter image; gray mode enables the palette and gray
  // histogram, colour disables both; the margin is the border the treatment left uncomputed.
  virtual void ShowParameterImage(std::shared_ptr<TRasterImage> raster, const QString& title,
                                  int margin, DisplayMode displayMode) = 0;
  // A raster that becomes the current parameter image without a treatment's title (an opened
  // file, a wrapped result kept as parameter image too): gray or colour by its kind, no
  // margin, the result values dropped.
  virtual void ShowParameterImage(std::shared_ptr<TRasterImage> raster) = 0;
  // "Wrapped Image": the raster replaces the picture of the DEM window.
  virtual void ShowWrappedImage(std::shared_ptr<TRasterImage> raster) = 0;
  // The opening of a DEM: the model and its relief become the current view state as they are.
  virtual void InstallOpenedDem(std::shared_ptr<TDemModel> dem,
                                std::shared_ptr<TRasterImage> relief, const QString& path) = 0;
  // The drainage raster of an extraction or an opened file: shown in the drainage window.
  // An extraction also enables the drainage save commands.
  virtual void ShowDrainageRaster(std::shared_ptr<TRasterImage> raster, bool extracted) = 0;
  // The one check of every treatment that reads the drainage network over the DEM: true
  // unless a DEM is open whose size differs from the network's; then a warning under
  // `caption` says so and the treatment must not run.
  virtual bool NetworkMatchesDem(const QString& caption) = 0;

  // Diagrams: the module owning a diagram window registers how to open it; the Diagram
  // button opens the session's diagram kind, the items of the Diagram submenu their own.
  virtual void RegisterDiagram(DiagramKind kind, std::function<void()> open) = 0;

  // UTM frame for the status readout once the session says the coordinates were set: the
  // coordinate dialog's module gives the source.
  virtual void SetUtmFrameSource(std::function<TUtmFrame()> source) = 0;
  virtual std::optional<TUtmFrame> UtmFrame() const = 0;

  // Called with the path of a file dropped on the frame (the Open DEM module sets it).
  virtual void SetDropHandler(std::function<void(const QString&)> handler) = 0;
  // Opens a file named outside the menus (command line) exactly as a dropped one.
  virtual void OpenPath(const QString& path) = 0;

 signals:
  // A treatment starts: windows that must not stay open during it hide themselves.
  void TreatmentStarting();
  // A DEM was opened: dialogs that keep its figures refresh them.
  void DemOpened(const orvane::TDemOpenedInfo& info);
};

}  // namespace orvane
