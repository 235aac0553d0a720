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
  if (filterIndex == 1 || filterIndex == 2) return 2 * filterIndex;
  TByteCountDialog& dialog = main.ByteCountDialog();
  for (;;) {
    if (Prompts().Exec(dialog) != QDialog::Accepted) return 0;
    if (dialog.Bytes() == 2 || dialog.Bytes() == 4) return dialog.Bytes();
    Prompts().Warning(&main, "ERREUR", "Number of Bytes wrong: 2 (Integer2) or 4 (Integer4)");
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

// The raster chosen in `answer`: the bitmap (first filter) or else the 8-bit raw grid of the
// size its header gives, once `keepSize` (given the size and whether it is a bitmap) agreed;
// null once the reason was said or when it refused.
std::unique_ptr<TRasterImage> ReadChosenRaster(TWorkbench& main, const FileAnswer& answer,
                                               const std::function<bool(int, int, bool)>& keepSize) {
  if (answer.filterIndex == 1) {
    std::unique_ptr<TRasterImage> raster = ReadBitmap(main, answer.path);
    if (raster && !keepSize(raster->lines, raster->columns, true)) return nullptr;
    return raster;
  }
  int lines = 0, columns = 0;
  if (!SizeFromHeader(main, answer.path, lines, columns) || !keepSize(lines, columns, false))
    return nullptr;
  return ReadRaw(main, answer.path, lines, columns);
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

  const QFileInfo file(path);
  const std::int64_t realSize = file.exists() ? file.size() : -1;

  const int width = ElementWidth(main_, path, realSize, lines, columns, filterIndex);
  if (width == 0) return false;

  return OpenScannedDem(main_, path, lines, columns, width, realSize,
                        [](TDynamicScaleDialog& scale) -> std::optional<DemOpenOptions> {
                          // Closing the dialog without OK gives up the opening: no unit, no
                          // pixel size.
                          if (Prompts().Exec(scale) != QDialog::Accepted) return std::nullopt;
                          return DemOpenOptions{.unitFactor = scale.UnitFactor(),
                                                .pixelSizeMetres = scale.PixelSizeDecimal()};
                        });
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
  // The DEM window keeps its caption: it still shows the DEM, not this file.
  if (answer.filterIndex != 1) main_.Session().SetOpenedRasterPath(answer.path);
  const TDemModel* dem = main_.Session().CurrentDem();
  // The tool button does not ask about a bitmap's size, but reports one it cannot read as
  // well: opening nothing without a word would hide it.
  std::shared_ptr<TRasterImage> raster =
      ReadChosenRaster(main_, answer, [&](int lines, int columns, bool bitmap) {
        return (bitmap && !fromMenu) || !dem || (lines == dem->lines && columns == dem->columns) ||
               Prompts().Question(&main_, "ERREUR", kSizeQuestion);
      });
  if (raster) main_.ShowParameterImage(std::move(raster));
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
  std::shared_ptr<TRasterImage> raster =
      ReadChosenRaster(main_, answer, [](int, int, bool) { return true; });
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

bool OpenScannedDem(TWorkbench& main, const QString& path, int lines, int columns, int width,
                    std::int64_t fileSize, const ScaleAnswer& answer,
                    const std::function<void(TDemModel&)>& adjust) {
  const std::string file = path.toStdString();
  const auto scan = RunTreatment(main, "ERREUR", GridSize{lines, columns},
                                 [&] { return ScanDemFile(file, lines, columns, width); });
  if (!scan) return false;
  TDynamicScaleDialog& scale = main.DynamicScaleDialog();
  const TDynamicScaleDialog::Snapshot previousScale = scale.ShowScan(*scan, fileSize);
  std::optional<DemOpenOptions> options = answer(scale);
  if (!options) return false;

  const TSettings settings = main.Settings();
  ProgressSink* sink = main.Progress();
  options->cancel = sink;
  options->workDirectory = main.Session().WorkDirectory().toStdString();
  struct OpenedDem {
    std::shared_ptr<TDemModel> dem;
    std::shared_ptr<TRasterImage> relief;
  };
  auto opened = RunTreatment(main, "ERREUR", GridSize{lines, columns},
                             [&]() -> Expected<OpenedDem> {
                               auto loaded = LoadScannedDem(*scan, *options);
                               if (!loaded) return loaded.error();
                               std::shared_ptr<TDemModel> dem = std::move(*loaded);
                               if (adjust) adjust(*dem);
                               // The shaded relief as the shade command draws it: cells
                               // whose light reads a NoData cell in the NoData colour.
                               const TreatmentInputs inputs{.dem = dem.get(), .settings = &settings};
                               auto shaded = kShadeTreatment.run(inputs, {}, kOutputPicture, sink);
                               std::shared_ptr<TRasterImage> relief =
                                   shaded ? std::move(shaded->picture)
                                          : std::make_shared<TRasterImage>();
                               return OpenedDem{std::move(dem), std::move(relief)};
                             });
  if (!opened) {
    scale.Restore(previousScale);  // the dialog shows again the answers for the DEM still open
    return false;
  }
  // U and P become those of the new DEM only now: an opening given up keeps the open DEM's.
  main.Session().SetDemScale(scale.UnitFactor(), scale.PixelSizeText());

  const TDemOpenedInfo info{.path = path, .lines = scan->lines, .columns = scan->columns,
                            .bytesPerElement = scan->bytesPerElement,
                            .minimum = static_cast<double>(scan->minValue),
                            .maximum = static_cast<double>(scan->maxValue),
                            .unitFactor = options->unitFactor, .pixelSize = scale.PixelSize()};

  main.InstallOpenedDem(std::move(opened->dem), std::move(opened->relief), path);
  emit main.DemOpened(info);
  return true;
}

}  // namespace orvane
