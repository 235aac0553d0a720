// TMainForm: the main frame. Menus, tool bar and status bar; the document windows and the
// progress window; the treatment pattern's shared tail. The data of the user's work is its
// TSession (shell/session.h). Command handlers live in the command modules
// (command_modules.cpp): main() installs them on the frame, and they reach it only through
// TWorkbench (shell/workbench.h), finding their menu items and buttons by component name.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "app/display/image_window.h"
#include "app/shell/progress_form.h"
#include "app/shell/session.h"
#include "app/shell/workbench.h"
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

class TMainForm : public TWorkbench, public TImageHost {
  Q_OBJECT

 public:
  // `settings` is the application's settings record; it must outlive the frame.
  explicit TMainForm(TSettings& settings, QWidget* parent = nullptr);
  ~TMainForm() override;

  // --- Components by name: menu items and tool-bar buttons are QActions, submenus QMenus.
  QAction* Action(const QString& name) const override;
  QMenu* Menu(const QString& name) const override;
  // Works on an action or on a menu's entry in its parent.
  void SetEnabled(const QString& name, bool enabled) override;
  void SetVisible(const QString& name, bool visible) override;
  bool IsEnabled(const QString& name) const override;
  bool IsVisible(const QString& name) const;
  QString StatusText(int panel) const;

  // --- The user's data: view states, parameter image, result values, drainage network, U and
  // P, file names (see shell/session.h).
  TSession& Session() override { return session_; }
  const TSession& Session() const override { return session_; }

  // --- The application's settings.
  TSettings& Settings() override { return settings_; }
  // Initial directory of the image, drainage and table dialogs ("IMAGEDIR").
  QString ImageDirectory() const override;

  // --- Dialogs other modules read.
  // The dynamic-scale dialog: its answer at the opening of a DEM becomes the session's U and P.
  TDynamicScaleDialog& DynamicScaleDialog() override { return *dynamicScale_; }
  TImageSizeDialog& ImageSizeDialog() override { return *imageSize_; }
  TByteCountDialog& ByteCountDialog() override { return *byteCount_; }
  TPreferencesDialog& PreferencesDialog() { return *preferences_; }

  // --- Document windows.
  // The DEM window, created at the first opening; null before.
  TDemImageWindow* DemWindow() const { return demWindow_; }
  TDemImageWindow& EnsureDemWindow();
  TParameterImageWindow& ParamWindow() const override { return *paramWindow_; }
  TDrainageImageWindow& RiverWindow() const { return *riverWindow_; }
  QMdiArea& MdiArea() const override { return *mdi_; }

  // --- Progress: the sink to hand to core computations; it shows "Progression".
  ProgressSink* Progress() override { return progress_.get(); }
  // The progress window's sink, whose Run starts a treatment off the GUI thread.
  TProgressSink& ProgressWindow() override { return *progress_; }
  // Installs the three progress callbacks of a DEM model on the progress window.
  void ConnectProgress(TDemModel& dem);

  // --- The treatment pattern, and what the document windows show (kept in the session).
  // Step 1-2: the parameter title; drops the result values; hides the direction-histogram
  // window (TreatmentStarting).
  void BeginTreatment(const QString& title) override;
  // Step 7, "Parameter Image": the raster goes to the parameter window with `title` +
  // "  (1:1)" as caption and becomes the current parameter image; gray mode enables the
  // palette and gray histogram, colour disables both; the margin is the border the treatment
  // left uncomputed.
  void ShowParameterImage(std::shared_ptr<TRasterImage> raster, const QString& title,
                          int margin, DisplayMode displayMode) override;
  // Step 7, "Wrapped Image": the raster replaces the picture of the DEM window.
  void ShowWrappedImage(std::shared_ptr<TRasterImage> raster) override;
  // A new current view state (null arguments copy the current one's; two states are kept),
  // shown in the DEM window.
  std::shared_ptr<TViewState> ShowViewState(std::shared_ptr<TDemModel> dem,
                                            std::shared_ptr<TRasterImage> raster);
  // The opening of a DEM: the model and its relief become the current view state as they are.
  void InstallOpenedDem(std::shared_ptr<TDemModel> dem, std::shared_ptr<TRasterImage> relief,
                        const QString& path) override;
  // A raster that becomes the current parameter image without a treatment's title (an opened
  // file, a wrapped result kept as parameter image too): gray or colour by its kind, no
  // margin, the result values dropped.
  void ShowParameterImage(std::shared_ptr<TRasterImage> raster) override;
  // The drainage raster of an extraction or an opened file: shown in the drainage window.
  // An extraction also enables the drainage save commands.
  void ShowDrainageRaster(std::shared_ptr<TRasterImage> raster, bool extracted) override;
  // The one check of every treatment that reads the drainage network over the DEM: true
  // unless a DEM is open whose size differs from the network's; then a warning under
  // `caption` says so and the treatment must not run.
  bool NetworkMatchesDem(const QString& caption) override;

  // "Slope 23.4°" under the cell of `window` while it shows the result the values belong to:
  // the parameter window for a parameter result, the DEM window for a wrapped one or once
  // "Wrapping" put the parameter image there.
  QString ValueReadoutText(const TImageWindow& window, int column, int line) const override;

  // Diagrams: the module owning a diagram window registers how to open it; the Diagram
  // button opens the session's diagram kind, the items of the Diagram submenu their own.
  // Setting the session's kind enables the Diagram submenu, that kind's item and the button.
  void RegisterDiagram(DiagramKind kind, std::function<void()> open) override;
  void OpenDiagram(DiagramKind kind);

  // UTM frame for the status readout once the session says the coordinates were set: the
  // coordinate dialog's module gives the source.
  void SetUtmFrameSource(std::function<TUtmFrame()> source) override {
    utmSource_ = std::move(source);
  }
  std::optional<TUtmFrame> UtmFrame() const override;

  bool MagnifierDown() const override;
  void SetStatusText(int panel, const QString& text) override;

  // Called with the path of a file dropped on the frame (the Open DEM module sets it).
  void SetDropHandler(std::function<void(const QString&)> handler) override {
    dropHandler_ = std::move(handler);
  }
  // Opens a file named outside the menus (command line) exactly as a dropped one.
  void OpenPath(const QString& path) override {
    if (dropHandler_) dropHandler_(path);
  }

  // The state changes of the menus.
  void EnableForOpenDem();
  void EnableForParameterImage(DisplayMode displayMode);

  // Window commands.
  void CascadeWindows();
  void TileWindows();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // What the document windows read of the session (call Session() for these).
  TDemModel* CurrentDem() const override { return session_.CurrentDem(); }
  int UnitFactor() const override { return session_.UnitFactor(); }
  QString ParameterTitle() const override { return session_.ParameterTitle(); }
  QString DemPath() const override { return session_.DemPath(); }

  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void CreateDocumentWindows();
  void ConnectShellCommands();
  void ConnectSession();
  QString barMnemonics_;  // the Alt-key letters the menu bar uses so far
  QMenu* AddMenu(QWidget* parent, const QString& caption, const QString& name);
  QAction* AddItem(QMenu* menu, const QString& caption, const QString& name);
  QAction* AddButton(const QString& name, const QString& hint);
  QMdiSubWindow* AddDocument(TImageWindow* window);
  void LoupeToggled(bool down);
  void ShowCopyright();
  void ShowAbout();

  TSettings& settings_;
  TSession session_;
  std::map<DiagramKind, std::function<void()>> diagrams_;
  std::function<TUtmFrame()> utmSource_;
  std::function<void(const QString&)> dropHandler_;

  QMdiArea* mdi_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QLabel* panels_[kStatusPanels] = {};
  TDemImageWindow* demWindow_ = nullptr;
  TParameterImageWindow* paramWindow_ = nullptr;
  TDrainageImageWindow* riverWindow_ = nullptr;
  TDynamicScaleDialog* dynamicScale_ = nullptr;
  TImageSizeDialog* imageSize_ = nullptr;
  TByteCountDialog* byteCount_ = nullptr;
  TPreferencesDialog* preferences_ = nullptr;
  std::unique_ptr<TProgressSink> progress_;
};

}  // namespace orvane
