// TMainForm: the main frame. Menus, tool bar and status bar; the document windows and the
// progress window; the treatment pattern's shared tail. The data of the user's work is its
// TSession (shell/session.h). Command handlers live in the command modules
// (<group>/<group>_commands.cpp): InstallCommandModules installs them on the frame, and they
// reach it only through TWorkbench (shell/workbench.h), finding their menu items and buttons by
// component name (docs/architecture.md says how a module is written).
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

class QLabel;
class QMdiSubWindow;
class QToolBar;

namespace orvane {

class TPreferencesDialog;

class TMainForm : public TWorkbench, public TImageHost {
  Q_OBJECT

 public:
  // `settings` is the application's settings record; it must outlive the frame.
  explicit TMainForm(TSettings& settings, QWidget* parent = nullptr);

  // What the modules ask of the frame: see TWorkbench.
  QAction* Action(const QString& name) const override;
  QMenu* Menu(const QString& name) const override;
  void SetEnabled(const QString& name, bool enabled) override;
  void SetVisible(const QString& name, bool visible) override;
  bool IsEnabled(const QString& name) const override;
  TSession& Session() override { return session_; }
  const TSession& Session() const override { return session_; }
  TSettings& Settings() override { return settings_; }
  QString ImageDirectory() const override;
  TDynamicScaleDialog& DynamicScaleDialog() override { return *dynamicScale_; }
  TImageSizeDialog& ImageSizeDialog() override { return *imageSize_; }
  TByteCountDialog& ByteCountDialog() override { return *byteCount_; }
  TParameterImageWindow& ParamWindow() const override { return *paramWindow_; }
  QMdiArea& MdiArea() const override { return *mdi_; }
  ProgressSink* Progress() override { return progress_.get(); }
  TProgressSink& ProgressWindow() override { return *progress_; }
  void BeginTreatment(const QString& title) override;
  void ShowParameterImage(std::shared_ptr<TRasterImage> raster, const QString& title,
                          int margin, DisplayMode displayMode) override;
  void ShowParameterImage(std::shared_ptr<TRasterImage> raster) override;
  void ShowWrappedImage(std::shared_ptr<TRasterImage> raster) override;
  void InstallOpenedDem(std::shared_ptr<TDemModel> dem, std::shared_ptr<TRasterImage> relief,
                        const QString& path) override;
  void ShowDrainageRaster(std::shared_ptr<TRasterImage> raster, bool extracted) override;
  bool NetworkMatchesDem(const QString& caption) override;
  void ShowResultNote(const QString& text) override { SetStatusText(kValuePanel, text); }
  void RegisterDiagram(DiagramKind kind, std::function<void()> open) override;
  void SetUtmFrameSource(std::function<TUtmFrame()> source) override {
    utmSource_ = std::move(source);
  }
  std::optional<TUtmFrame> UtmFrame() const override;
  void SetDropHandler(std::function<void(const QString&)> handler) override {
    dropHandler_ = std::move(handler);
  }
  void OpenPath(const QString& path) override {
    if (dropHandler_) dropHandler_(path);
  }

  // What the document windows ask of the frame: see TImageHost.
  QString ValueReadoutText(const TImageWindow& window, int column, int line) const override;
  bool MagnifierDown() const override;
  void SetStatusText(int panel, const QString& text) override;

  // --- The frame's own.
  bool IsVisible(const QString& name) const;
  QString StatusText(int panel) const;
  // The DEM window, created at the first opening; null before.
  TDemImageWindow* DemWindow() const { return demWindow_; }
  TDemImageWindow& EnsureDemWindow();
  TDrainageImageWindow& RiverWindow() const { return *riverWindow_; }
  // A new current view state (null arguments copy the current one's; two states are kept),
  // shown in the DEM window.
  std::shared_ptr<TViewState> ShowViewState(std::shared_ptr<TDemModel> dem,
                                            std::shared_ptr<TRasterImage> raster);
  // "Tile": the document windows side by side; Previous and Next are disabled.
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
  // A menu's entry in its parent, or the action of that name.
  QAction* Entry(const QString& name) const;
  QAction* AddButton(const QString& name, const QString& hint);
  QMdiSubWindow* AddDocument(TImageWindow* window);
  // The parameter window and the session take `raster`, the menus follow its mode.
  void PutParameterImage(std::shared_ptr<TRasterImage> raster, int margin, DisplayMode displayMode);
  // Notes the drainage window's caption when its network is not of the open DEM, with a
  // warning when the sizes differ.
  void MarkNetwork();
  void LoupeToggled(bool down);

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

// Connects every command module to the frame: each treatment or group of commands plugs in
// there, and only there.
void InstallCommandModules(TWorkbench& main);

}  // namespace orvane
