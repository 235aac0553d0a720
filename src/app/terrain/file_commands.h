// Opening and saving files from the main frame: "Open DEM" (menu, tool button, Ctrl+O and a
// file dropped on the frame), open and save the parameter image, open and save the drainage
// network.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "app/shell/prompter.h"
#include "app/terrain/dynamic_scale.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

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
  // The opening after the file was chosen; `filterIndex` 1 reads 16-bit elements, 2 reads
  // 32-bit elements, 3 asks. True when the DEM was opened.
  bool OpenDem(const QString& path, int filterIndex);
  // A dropped file: the width follows the name (_m2.raw, _m4.raw), else it is asked.
  bool OpenDroppedFile(const QString& path);

  // `fromMenu`: the menu command reports a bitmap it cannot read and asks about a size
  // differing from the DEM's; the tool button does neither for bitmaps.
  void OpenParameterImage(bool fromMenu);
  void SaveParameterClick();
  void OpenDrainageNetwork1Click();
  void SaveDrainage1Click();

 private:
  // Lines and columns from the header beside `path`, or asked with the image-size dialog
  // when there is none. False when the user gave up or the size is unusable.
  bool SizeFromHeader(const QString& path, int& lines, int& columns);
  // The element width chosen by the filter, asked for "All Raw Types"; 0 when given up.
  int ElementWidth(int filterIndex);
  bool SameSizeAsDem(const TRasterImage& raster) const;
  int PixelSizeTruncated() const;
  // The file chosen in an open or save dialog of the image directory, whose name becomes the
  // session's last file name; empty when cancelled.
  FileAnswer AskFileToOpen(const char* title, const char* filter);
  FileAnswer AskFileToSave(const char* title, const char* filter);
  // The bitmap at `path`; null once "The File has a wrong format" was said.
  std::unique_ptr<TRasterImage> ReadBitmap(const QString& path);
  // The 8-bit raw grid at `path` of the size its header gives; null once the error was said. A
  // file shorter than its header is read with its missing cells 0, and the user told so.
  std::unique_ptr<TRasterImage> ReadRaw(const QString& path, int lines, int columns);
  // `raster` saved at `path` as raw and header, or as a bitmap, ".raw" or ".bmp" not doubled.
  Status SaveImage(TRasterImage& raster, const QString& path, bool raw) const;

  TWorkbench& main_;
};

}  // namespace orvane
