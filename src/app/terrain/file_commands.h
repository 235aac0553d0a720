// Opening and saving files from the main frame: "Open DEM" (menu, tool button, Ctrl+O and a
// raw file dropped on the frame), open and save the parameter image, open and save the drainage
// network.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>

#include "app/shell/prompter.h"
#include "app/terrain/dynamic_scale.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/dem_model.h"

namespace orvane {

class TWorkbench;

// The end of every DEM opening, once its grid is scanned and the dynamic-scale dialog answered:
// the grid loaded into a DEM model with `options` (in the session's work directory) and its
// shaded relief made, both under "Progression" (see treatment_run.h), `adjust` running on the
// new model before its relief; then U and P taken from the dialog, the DEM installed in the
// frame and announced (DemOpened). When the load is cancelled or refused (the message shown)
// nothing of the frame changes and the dialog shows `previousScale` again. True when opened.
bool InstallScannedDem(TWorkbench& main, const QString& path, const DemFileScan& scan,
                       DemOpenOptions options,
                       const TDynamicScaleDialog::Snapshot& previousScale,
                       const std::function<void(TDemModel&)>& adjust = {});

class TFileCommands : public QObject {
  Q_OBJECT

 public:
  explicit TFileCommands(TWorkbench& main);

  // "Files" > "Open" > "DEM" and OpenDEMSpeedButton: the file dialog, then OpenDem.
  void OpenDEM1Click();
  // The opening after the file was chosen; the width comes from the file's size or name, else
  // `filterIndex` 1 reads 16-bit elements, 2 reads 32-bit elements, 3 asks (as for a dropped
  // file). True when the DEM was opened.
  bool OpenDem(const QString& path, int filterIndex);

  // `fromMenu`: the menu command reports a bitmap it cannot read and asks about a size
  // differing from the DEM's; the tool button does neither for bitmaps.
  void OpenParameterImage(bool fromMenu);
  void SaveParameterClick();
  void OpenDrainageNetwork1Click();
  void SaveDrainage1Click();

 private:
  // The file chosen in a save dialog of the image directory, which starts in the folder and
  // with the type last chosen in it; empty when cancelled.
  FileAnswer AskFileToSave(const char* title, const char* filter);

  TWorkbench& main_;
  std::map<QString, FileDialogMemory> saveDialogs_;
};

}  // namespace orvane
