#include "app/terrain/file_commands.h"

#include <QAction>
#include <QDialog>
#include <QFileInfo>
#include <tuple>

#include "app/shell/workbench.h"
#include "app/shell/busy_cursor.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_run.h"
#include "app/terrain/dynamic_scale.h"
#include "app/terrain/size_dialogs.h"
#include "app/shell/treatment_menu.h"
#include "core/settings/settings_file.h"
#include "core/treatment/treatment_registry.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/raster_file.h"
#include "core/terrain/raw_width.h"

namespace orvane {

namespace {

const char* const kDemFilter =
    "DEM Integer2 [_m2.raw]|*_m2.raw|DEM Integer4 [_m4.raw]|*_m4.raw|All Raw Types|*.raw";
const char* const kOpenParameterFilter = "Bitmap [*.bmp]|*.bmp|Image [*.raw]|*.raw";
const char* const kSaveRawFilter = "Image Raw|*.raw|Image BMP|*.bmp";
const char* const kSaveBmpFilter = "Bitmaps (*.bmp)|*.bmp";
const char* const kOpenDrainageFilter = "Bitmap [*.bmp]|*.bmp|Image Raw [*.raw]|*.raw";
const char* const kSizeQuestion = "DEM and Image have not the same size\nDo you want to read it ?";
const char* const kWrongFormatMessage = "The File has a wrong format";

QString Text(const std::string& s) { return QString::fromStdString(s); }

// Lines and columns from the header beside `path`, or asked with the image-size dialog when
// there is none. False when the user gave up or the size is unusable.
bool SizeFromHeader(TWorkbench& main, const QString& path, int& lines, int& columns) {
  Expected<DemHeader> read = ReadDemHeader(HeaderPathFor(path.toStdString()));
  if (read) {
    lines = read->lines;
    columns = read->columns;
    return true;
  }
  if (read.error().code != kCannotOpen) {
    Prompts().Warning(&main, "ERREUR", Text(read.error().message));
    return false;
  }
  // No header beside the file: the user gives the size.
  TImageSizeDialog& dialog = main.ImageSizeDialog();
  if (Prompts().Exec(dialog) != QDialog::Accepted) return false;
  const Status size = CheckDemSize(dialog.Lines(), dialog.Columns(), "The image size");
  if (!size) {
    Prompts().Warning(&main, "ERREUR", Text(size.message()));
    return false;
  }
  lines = dialog.Lines();
  columns = dialog.Columns();
  return true;
}

// The element width of the raw file `path` of `fileSize` bytes (-1: unknown): the width its
// size proves, else the one its name gives, else the filter's, asked for "All Raw Types".
// 0 when given up, or once a file too short for either width was refused with its figures.
int ElementWidth(TWorkbench& main, const QString& path, std::int64_t fileSize, int lines,
                 int columns, int filterIndex) {
  // The filter chosen, or the question of "All Raw Types", only after the file's size and name.
  const Expected<int> known = RawElementWidth(path.toStdString(), fileSize, lines, columns);
  if (!known) {
    Prompts().Warning(&main, "ERREUR", Text(known.error().message));
    return 0;
  }
  if (*known) return *known;
  for (;;) {
    if (filterIndex == 1) return 2;
    if (filterIndex == 2) return 4;
    TByteCountDialog& dialog = main.ByteCountDialog();
    if (Prompts().Exec(dialog) != QDialog::Accepted) return 0;
    const int bytes = dialog.Bytes();
    if (bytes == 2 || bytes == 4) {
      filterIndex = bytes / 2;
    } else {
      Prompts().Warning(&main, "ERREUR", "Number of Bytes wrong: 2 (Integer2) or 4 (Integer4)");
    }
  }
}

// The file chosen in an open dialog of the image directory, whose name becomes the session's
// last file name; empty when cancelled.
FileAnswer AskFileToOpen(TWorkbench& main, const char* title, const char* filter) {
  const FileAnswer answer = Prompts().OpenFile(
      &main, {.title = title, .directory = main.ImageDirectory(), .filter = filter, .mustExist = true});
  if (answer.ok()) main.Session().SetLastFileName(answer.path);
  return answer;
}

// The bitmap at `path`; null once "The File has a wrong format" was said.
std::unique_ptr<TRasterImage> ReadBitmap(TWorkbench& main, const QString& path) {
  Expected<std::unique_ptr<TRasterImage>> loaded = [&] {
    BusyCursor busy;
    return LoadRasterBmp(path.toStdString());
  }();
  if (!loaded) {
    Prompts().Warning(&main, "ERREUR", kWrongFormatMessage);
    return nullptr;
  }
  return std::move(*loaded);
}

// The 8-bit raw grid at `path` of the size its header gives; null once the error was said. A
// file shorter than its header is read with its missing cells 0, and the user told so.
std::unique_ptr<TRasterImage> ReadRaw(TWorkbench& main, const QString& path, int lines, int columns) {
  std::int64_t missing = 0;
  Expected<std::unique_ptr<TRasterImage>> loaded =
      LoadRasterRaw(path.toStdString(), lines, columns, &missing);
  if (!loaded) {
    Prompts().Warning(&main, "ERREUR", Text(loaded.error().message));
    return nullptr;
  }
  // A network or an image cut short would otherwise show its missing cells as real zeros.
  if (missing > 0) {
    Prompts().Warning(&main, "ERREUR",
                      QStringLiteral("The File is shorter than its header announces: "
                                     "%1 bytes missing, read as 0")
                          .arg(missing));
  }
  return std::move(*loaded);
}

// `raster` saved at `path` as raw and header (with the DEM's whole-metre pixel size), or as a
// bitmap, ".raw" or ".bmp" not doubled; a failure said.
void SaveImage(TWorkbench& main, TRasterImage& raster, const QString& path, bool raw) {
  BusyCursor busy;
  const TDemModel* dem = main.Session().CurrentDem();
  const Status saved =
      raw ? SaveRasterRaw(raster, WithoutSuffix(path, ".raw").toStdString(),
                          dem ? static_cast<int>(dem->pixelSizeX) : 0)
          : SaveRasterBmp(raster, (WithoutSuffix(path, ".bmp") + ".bmp").toStdString());
  busy.Release();
  if (!saved) Prompts().Warning(&main, "ERREUR", Text(saved.message()));
}

}  // namespace

TFileCommands::TFileCommands(TWorkbench& main) : QObject(&main), main_(main) {
  setObjectName("FileCommands");
}

void TFileCommands::OpenDEM1Click() {
  QString directory = QString::fromStdString(main_.Settings().demDir);
  if (!QFileInfo(directory).isDir()) directory = main_.Session().DemDirectory();
  const FileAnswer answer = Prompts().OpenFile(
      &main_, {.title = "Open DEM", .directory = directory, .filter = kDemFilter, .mustExist = true});
  if (answer.ok()) OpenDem(answer.path, answer.filterIndex);
}

bool TFileCommands::OpenDem(const QString& path, int filterIndex) {
  // The DEM window keeps its caption until the new DEM is installed.
  main_.Session().SetLastFileName(path);
  main_.Session().SetOpenedRasterPath(path);

  int lines = 0, columns = 0;
  if (!SizeFromHeader(main_, path, lines, columns)) return false;

  TDynamicScaleDialog& scale = main_.DynamicScaleDialog();
  const QFileInfo file(path);
  const std::int64_t realSize = file.exists() ? file.size() : -1;

  const int width = ElementWidth(main_, path, realSize, lines, columns, filterIndex);
  if (width == 0) return false;

  const std::string file_path = path.toStdString();
  auto scan = RunTreatment(main_, "ERREUR", GridSize{lines, columns}, [&] {
    return ScanDemFile(file_path, lines, columns, width);
  });
  if (!scan) return false;
  const TDynamicScaleDialog::Snapshot previousScale = scale.ShowScan(*scan, realSize);
  // Closing the dialog without OK gives up the opening: no unit, no pixel size.
  if (Prompts().Exec(scale) != QDialog::Accepted) return false;

  DemOpenOptions options;
  options.unitFactor = scale.UnitFactor();
  options.pixelSizeMetres = scale.PixelSizeDecimal();
  return InstallScannedDem(main_, path, *scan, options, previousScale);
}

FileAnswer TFileCommands::AskFileToSave(const char* title, const char* filter) {
  FileRequest request;
  request.title = title;
  request.directory = main_.ImageDirectory();
  request.filter = filter;
  FileDialogMemory& memory = saveDialogs_[title];
  memory.Apply(request);
  const FileAnswer answer = Prompts().SaveFile(&main_, request);
  memory.Keep(answer);
  if (answer.ok()) main_.Session().SetLastFileName(answer.path);
  return answer;
}

void TFileCommands::OpenParameterImage(bool fromMenu) {
  const FileAnswer answer = AskFileToOpen(main_, "OPEN PARAMETER", kOpenParameterFilter);
  if (!answer.ok()) return;
  const TDemModel* dem = main_.Session().CurrentDem();
  std::shared_ptr<TRasterImage> raster;
  if (answer.filterIndex == 1) {
    // The tool button reports a bitmap it cannot read as well: opening nothing without a word
    // would hide it.
    raster = ReadBitmap(main_, answer.path);
    if (!raster) return;
    if (fromMenu && dem && (raster->lines != dem->lines || raster->columns != dem->columns) &&
        !Prompts().Question(&main_, "ERREUR", kSizeQuestion)) {
      return;
    }
  } else {
    main_.Session().SetOpenedRasterPath(answer.path);
    // The DEM window keeps its caption: it still shows the DEM, not this file.
    int lines = 0, columns = 0;
    if (!SizeFromHeader(main_, answer.path, lines, columns)) return;
    if (dem && (lines != dem->lines || columns != dem->columns) &&
        !Prompts().Question(&main_, "ERREUR", kSizeQuestion)) {
      return;
    }
    raster = ReadRaw(main_, answer.path, lines, columns);
    if (!raster) return;
  }
  main_.ShowParameterImage(std::move(raster));
}

void TFileCommands::SaveParameterClick() {
  std::shared_ptr<TRasterImage> raster = main_.Session().ParameterImage();
  if (!raster) return;
  // A colour image has no raw form: bitmap only.
  const bool colour = main_.Session().DisplayMode() == DisplayMode::kColour;
  const FileAnswer answer = colour ? AskFileToSave("Save Image Parameter", kSaveBmpFilter)
                                   : AskFileToSave("Save Parameter Image", kSaveRawFilter);
  if (!answer.ok()) return;
  SaveImage(main_, *raster, answer.path, !colour && answer.filterIndex == 1);
}

void TFileCommands::OpenDrainageNetwork1Click() {
  const FileAnswer answer = AskFileToOpen(main_, "OPEN DRAINAGE NETWORK", kOpenDrainageFilter);
  if (!answer.ok()) return;
  std::shared_ptr<TRasterImage> raster;
  int lines = 0, columns = 0;
  if (answer.filterIndex == 1)
    raster = ReadBitmap(main_, answer.path);
  else if (SizeFromHeader(main_, answer.path, lines, columns))
    raster = ReadRaw(main_, answer.path, lines, columns);
  if (raster) main_.ShowDrainageRaster(std::move(raster), false);
}

void TFileCommands::SaveDrainage1Click() {
  std::shared_ptr<TRasterImage> raster = main_.Session().DrainageRaster();
  if (!raster) return;
  const FileAnswer answer = AskFileToSave("Save Drainage Network", kSaveRawFilter);
  if (!answer.ok()) return;
  SaveImage(main_, *raster, answer.path, answer.filterIndex == 1);
}

void InstallFileCommands(TWorkbench& main) {
  auto* commands = new TFileCommands(main);
  // Each command from its menu item and its tool-bar button.
  for (const auto& [item, button, handler] :
       {std::tuple{"OpenDEM1", "OpenDEMSpeedButton", &TFileCommands::OpenDEM1Click},
        {"SaveParameter", "SaveParameterSpeedButton", &TFileCommands::SaveParameterClick},
        {"OpenDrainageNetwork1", "OpenRiverSpeedButton", &TFileCommands::OpenDrainageNetwork1Click},
        {"SaveDrainage1", "SaveRiverSpeedButton", &TFileCommands::SaveDrainage1Click}}) {
    ConnectAction(main, item, commands, handler);
    ConnectAction(main, button, commands, handler);
  }
  // The button opens a bitmap of another size than the DEM without asking.
  ConnectAction(main, "OpenParameterImage1", commands,
                [commands] { commands->OpenParameterImage(true); });
  ConnectAction(main, "OpenParamSpeedButton", commands,
                [commands] { commands->OpenParameterImage(false); });
}

bool InstallScannedDem(TWorkbench& main, const QString& path, const DemFileScan& scan,
                       DemOpenOptions options,
                       const TDynamicScaleDialog::Snapshot& previousScale,
                       const std::function<void(TDemModel&)>& adjust) {
  const TSettings settings = main.Settings();
  ProgressSink* sink = main.Progress();
  options.cancel = sink;
  options.workDirectory = main.Session().WorkDirectory().toStdString();
  struct OpenedDem {
    std::shared_ptr<TDemModel> dem;
    std::shared_ptr<TRasterImage> relief;
  };
  auto opened = RunTreatment(main, "ERREUR", GridSize{scan.lines, scan.columns},
                             [&]() -> Expected<OpenedDem> {
                               auto loaded = LoadScannedDem(scan, options);
                               if (!loaded) return loaded.error();
                               std::shared_ptr<TDemModel> dem = std::move(*loaded);
                               if (adjust) adjust(*dem);
                               // The shaded relief as the shade command draws it: cells
                               // whose light reads a NoData cell in the NoData colour.
                               TreatmentInputs inputs;
                               inputs.dem = dem.get();
                               inputs.settings = &settings;
                               auto shaded = kShadeTreatment.run(inputs, {}, kOutputPicture, sink);
                               std::shared_ptr<TRasterImage> relief =
                                   shaded ? std::move(shaded->picture)
                                          : std::make_shared<TRasterImage>();
                               return OpenedDem{std::move(dem), std::move(relief)};
                             });
  TDynamicScaleDialog& scale = main.DynamicScaleDialog();
  if (!opened) {
    scale.Restore(previousScale);  // the dialog shows again the answers for the DEM still open
    return false;
  }
  // U and P become those of the new DEM only now: an opening given up keeps the open DEM's.
  main.Session().SetDemScale(scale.UnitFactor(), scale.PixelSizeText());

  TDemOpenedInfo info;
  info.path = path;
  info.lines = scan.lines;
  info.columns = scan.columns;
  info.bytesPerElement = scan.bytesPerElement;
  info.minimum = static_cast<double>(scan.minValue);
  info.maximum = static_cast<double>(scan.maxValue);
  info.unitFactor = options.unitFactor;
  info.pixelSize = scale.PixelSize();

  main.InstallOpenedDem(std::move(opened->dem), std::move(opened->relief), path);
  emit main.DemOpened(info);
  return true;
}

}  // namespace orvane
