// TMainForm: the main frame. Menus, tool bar and status bar; the data of the user's work
// (view states, current parameter image, drainage raster); the document windows; the
// treatment pattern's shared tail. Command handlers live in the command modules
// (command_modules.cpp), which find their menu items and buttons here by component name.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "app/display/image_window.h"
#include "app/shell/progress_form.h"
#include "app/shell/result_values.h"
#include "app/shell/view_state.h"
#include "core/exchange/page_layout.h"
#include "core/render/light_params.h"
#include "core/settings/settings_file.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace orvane {

class TByteCountDialog;
class TImageSizeDialog;
class TDynamicScaleDialog;
class TPreferencesDialog;

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

class TMainForm : public QMainWindow, public TImageHost {
  Q_OBJECT

 public:
  // `settings` is the application's settings record; it must outlive the frame.
  explicit TMainForm(TSettings& settings, QWidget* parent = nullptr);
  ~TMainForm() override;

  // --- Components by name: menu items and tool-bar buttons are QActions, submenus QMenus.
  QAction* Action(const QString& name) const;
  QMenu* Menu(const QString& name) const;
  // Works on an action or on a menu's entry in its parent.
  void SetEnabled(const QString& name, bool enabled);
  void SetVisible(const QString& name, bool visible);
  bool IsEnabled(const QString& name) const;
  bool IsVisible(const QString& name) const;
  QString StatusText(int panel) const;

  // --- The user's data.
  // The current DEM: that of the current view state; null before the first opening.
  TDemModel* CurrentDem() const override;
  std::shared_ptr<TDemModel> CurrentDemShared() const;
  // The raster shown in the DEM window (the current view state's).
  std::shared_ptr<TRasterImage> DisplayedRaster() const;
  // The shaded relief made when the DEM was opened; slope and aspect blend with it.
  std::shared_ptr<TRasterImage> OpeningRelief() const { return openingRelief_; }
  std::shared_ptr<TRasterImage> ParameterImage() const { return parameterImage_; }
  std::shared_ptr<TRasterImage> DrainageRaster() const { return drainageRaster_; }
  const TViewStates& ViewStates() const { return viewStates_; }
  TSettings& Settings() { return settings_; }
  TLightParams& Light() { return settings_.light; }

  // --- Dialogs other modules read.
  TDynamicScaleDialog& DynamicScale() { return *dynamicScale_; }
  TImageSizeDialog& CoordImage() { return *coordImage_; }
  TByteCountDialog& ByteForm() { return *byteForm_; }
  TPreferencesDialog& PrefsForm() { return *prefsForm_; }
  // U of the dynamic-scale dialog (stored elevation units per metre) and P (metres).
  int UnitFactor() const override;
  int PixelSize() const;

  // --- Document windows.
  // The DEM window, created at the first opening; null before.
  TDemImageWindow* DemWindow() const { return demWindow_; }
  TDemImageWindow& EnsureDemWindow();
  TParameterImageWindow& ParamWindow() const { return *paramWindow_; }
  TDrainageImageWindow& RiverWindow() const { return *riverWindow_; }
  QMdiArea& MdiArea() const { return *mdi_; }

  // --- Progress: the sink to hand to core computations; it shows "Progression".
  ProgressSink* Progress() { return progress_.get(); }
  // The progress window's sink, whose Run starts a treatment off the GUI thread.
  TProgressSink& ProgressWindow() { return *progress_; }
  // Installs the three progress callbacks of a DEM model on the progress window.
  void ConnectProgress(TDemModel& dem);

  // --- The treatment pattern.
  // Step 1-2: the parameter title; hides the direction-histogram window (TreatmentStarting).
  void BeginTreatment(const QString& title);
  // Step 7, "Parameter Image": the raster goes to the parameter window with `title` +
  // "  (1:1)" as caption and becomes the current parameter image; display mode 1 (gray:
  // palette and gray histogram enabled) or 3 (colour: both disabled); the margin is the
  // border the treatment left uncomputed.
  void ShowParameterImage(std::shared_ptr<TRasterImage> raster, const QString& title,
                          int margin, int displayMode);
  // Step 7, "Wrapped Image": the raster replaces the picture of the DEM window.
  void ShowWrappedImage(std::shared_ptr<TRasterImage> raster);
  // A new current view state (null arguments copy the current one's); keeps two states.
  std::shared_ptr<TViewState> PushViewState(std::shared_ptr<TDemModel> dem,
                                            std::shared_ptr<TRasterImage> raster);
  // The opening of a DEM: the model and its relief become the current view state as they are.
  void InstallOpenedDem(std::shared_ptr<TDemModel> dem, std::shared_ptr<TRasterImage> relief,
                        const QString& path);

  QString ParameterTitle() const override { return parameterTitle_; }
  void SetParameterTitle(const QString& title) { parameterTitle_ = title; }
  QString CaptionedTitle() const { return captionedTitle_; }
  int DisplayMode() const { return displayMode_; }
  void SetDisplayMode(int mode);
  int Margin() const { return margin_; }
  void SetMargin(int margin) { margin_ = margin; }
  // Opening a parameter image from a file: it becomes current without a treatment.
  void SetParameterImage(std::shared_ptr<TRasterImage> raster);

  // The value grid of the current result (see result_values.h), set once its picture is
  // shown; a new treatment, an opened parameter image or DEM drop it. Enables or disables the
  // value export and the value histogram.
  void SetResultValues(TResultValues values);
  const TResultValues& ResultValues() const { return resultValues_; }
  // "Slope 23.4°" under the cell of `window` while it shows the result the values belong to:
  // the parameter window for a parameter result, the DEM window for a wrapped one or once
  // "Wrapping" put the parameter image there.
  QString ValueReadoutText(const TImageWindow& window, int column, int line) const override;

  // Diagrams: the kind the Diagram button opens (0 none, 1 local fractal, 2 dissection
  // density, 3 dissection density 3D, 4 drainage fractal dimension). Setting it enables the
  // Diagram submenu, that kind's item and the button.
  void SetDiagramKind(int kind);
  int DiagramKind() const { return diagramKind_; }
  // The module owning a diagram window registers how to open it; the Diagram button and the
  // item of that kind in the Diagram submenu then open it.
  void RegisterDiagram(int kind, std::function<void()> open);
  void OpenDiagram(int kind);

  // The drainage raster of an extraction or an opened file: shown in the drainage window.
  // An extraction also enables the drainage save commands.
  void SetDrainageRaster(std::shared_ptr<TRasterImage> raster, bool extracted);
  // The one check of every treatment that reads the drainage network over the DEM: true
  // unless a DEM is open whose size differs from the network's; then a warning under
  // `caption` says so and the treatment must not run.
  bool NetworkMatchesDem(const QString& caption);
  // False once a DEM of another size was opened after the network.
  bool NetworkMatchesDemSize() const;

  // UTM frame for the status readout: the coordinate dialog's module gives the source and
  // says when the coordinates were confirmed.
  void SetUtmFrameSource(std::function<TUtmFrame()> source) { utmSource_ = std::move(source); }
  void SetUtmCoordinatesSet(bool set) { utmSet_ = set; }
  bool UtmCoordinatesSet() const { return utmSet_; }
  std::optional<TUtmFrame> UtmFrame() const override;

  // The page rectangle of printing, in printer pixels; left -1 until a layout was accepted.
  PrinterRect PrinterRectangle() const { return printerRect_; }
  void SetPrinterRectangle(const PrinterRect& rect) { printerRect_ = rect; }

  bool MagnifierDown() const override;
  void SetStatusText(int panel, const QString& text) override;
  QString DemPath() const override { return demPath_; }

  // --- File names kept by the frame.
  QString LastFileName() const { return lastFileName_; }
  void SetLastFileName(const QString& path) { lastFileName_ = path; }
  QString HeaderFileName() const { return headerFileName_; }
  QString DemDirectory() const { return demDirectory_; }
  // Keeps `path` as the last opened raster: its directory and its ".txt" header name.
  void SetOpenedRasterPath(const QString& path);
  // Initial directory of the image, drainage and table dialogs ("IMAGEDIR").
  QString ImageDirectory() const;
  // Directory of the work file "orvane.raw": $ORVANE_WORKDIR, else the per-user default.
  QString WorkDirectory() const;
  void SetWorkDirectory(const QString& directory) { workDirectory_ = directory; }

  // Called with the path of a file dropped on the frame (the Open DEM module sets it).
  void SetDropHandler(std::function<void(const QString&)> handler) {
    dropHandler_ = std::move(handler);
  }
  // Opens a file named outside the menus (command line) exactly as a dropped one.
  void OpenPath(const QString& path) {
    if (dropHandler_) dropHandler_(path);
  }

  // The state changes of the menus.
  void EnableForOpenDem();
  void EnableForParameterImage(int displayMode);

  // Window commands.
  void CascadeWindows();
  void TileWindows();

 signals:
  // A treatment starts: windows that must not stay open during it hide themselves.
  void TreatmentStarting();
  // A DEM was opened: dialogs that keep its figures refresh them.
  void DemOpened(const orvane::TDemOpenedInfo& info);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void CreateDocumentWindows();
  void ConnectShellCommands();
  QString barMnemonics_;  // the Alt-key letters the menu bar uses so far
  QMenu* AddMenu(QWidget* parent, const QString& caption, const QString& name);
  QAction* AddItem(QMenu* menu, const QString& caption, const QString& name);
  QAction* AddButton(const QString& name, const QString& hint);
  QMdiSubWindow* AddDocument(TImageWindow* window);
  void LoupeToggled(bool down);
  void ShowCopyright();
  void ShowAbout();

  TSettings& settings_;
  TViewStates viewStates_;
  std::shared_ptr<TRasterImage> openingRelief_;
  std::shared_ptr<TRasterImage> parameterImage_;
  std::shared_ptr<TRasterImage> drainageRaster_;
  QString parameterTitle_;
  QString captionedTitle_;
  int displayMode_ = 1;
  int margin_ = 0;
  TResultValues resultValues_;
  int diagramKind_ = 0;
  std::map<int, std::function<void()>> diagrams_;
  PrinterRect printerRect_;
  bool utmSet_ = false;
  std::function<TUtmFrame()> utmSource_;
  QString demPath_;
  QString lastFileName_;
  QString headerFileName_;
  QString demDirectory_;
  QString workDirectory_;
  std::function<void(const QString&)> dropHandler_;

  QMdiArea* mdi_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QLabel* panels_[kStatusPanels] = {};
  TDemImageWindow* demWindow_ = nullptr;
  TParameterImageWindow* paramWindow_ = nullptr;
  TDrainageImageWindow* riverWindow_ = nullptr;
  TDynamicScaleDialog* dynamicScale_ = nullptr;
  TImageSizeDialog* coordImage_ = nullptr;
  TByteCountDialog* byteForm_ = nullptr;
  TPreferencesDialog* prefsForm_ = nullptr;
  std::unique_ptr<TProgressSink> progress_;
};

}  // namespace orvane
