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

}  // namespace

TFileCommands::TFileCommands(TWorkbench& main) : QObject(&main), main_(main) {
  setObjectName("FileCommands");
}

int TFileCommands::PixelSizeTruncated() const {
  const TDemModel* dem = main_.Session().CurrentDem();
  return dem ? static_cast<int>(dem->pixelSizeX) : 0;
}

bool TFileCommands::SameSizeAsDem(const TRasterImage& raster) const {
  const TDemModel* dem = main_.Session().CurrentDem();
  return !dem || (raster.columns == dem->columns && raster.lines == dem->lines);
}

bool TFileCommands::SizeFromHeader(const QString& path, int& lines, int& columns) {
  const std::string header = HeaderPathFor(path.toStdString());
  Expected<DemHeader> read = ReadDemHeader(header);
  if (read) {
    lines = read->lines;
    columns = read->columns;
    return true;
  }
  if (read.error().code != kCannotOpen) {
    Prompts().Warning(&main_, "ERREUR", Text(read.error().message));
    return false;
  }
  // No header beside the file: the user gives the size.
  TImageSizeDialog& dialog = main_.ImageSizeDialog();
  if (Prompts().Exec(dialog) != QDialog::Accepted) return false;
  const Status size = CheckDemSize(dialog.Lines(), dialog.Columns(), "The image size");
  if (!size) {
    Prompts().Warning(&main_, "ERREUR", Text(size.message()));
    return false;
  }
  lines = dialog.Lines();
  columns = dialog.Columns();
  return true;
}

int TFileCommands::ElementWidth(const QString& path, std::int64_t fileSize, int lines, int columns,
                                int filterIndex) {
  // A file holding exactly the grid in one width proves it; else the name decides, as on the
  // command line; the filter chosen, or the question of "All Raw Types", only after both.
  if (const int proven = ElementWidthFromSize(fileSize, lines, columns)) return proven;
  const std::int64_t cells = static_cast<std::int64_t>(lines) * columns;
  if (fileSize >= 0 && fileSize < 2 * cells) {
    Prompts().Warning(&main_, "ERREUR",
                      QStringLiteral("%1 holds %2 bytes: %3 lines x %4 columns need %5 bytes as "
                                     "Integer2 or %6 as Integer4")
                          .arg(QFileInfo(path).fileName())
                          .arg(fileSize)
                          .arg(lines)
                          .arg(columns)
                          .arg(2 * cells)
                          .arg(4 * cells));
    return 0;
  }
  if (const int named = ElementWidthFromName(path.toStdString())) return named;
  for (;;) {
    if (filterIndex == 1) return 2;
    if (filterIndex == 2) return 4;
    TByteCountDialog& dialog = main_.ByteCountDialog();
    if (Prompts().Exec(dialog) != QDialog::Accepted) return 0;
    const int bytes = dialog.Bytes();
    if (bytes == 2 || bytes == 4) {
      filterIndex = bytes / 2;
    } else {
      Prompts().Warning(&main_, "ERREUR",
                        "Number of Bytes wrong: 2 (Integer2) or 4 (Integer4)");
    }
  }
}

void TFileCommands::OpenDEM1Click() {
  FileRequest request;
  request.title = "Open DEM";
  request.directory = QString::fromStdString(main_.Settings().demDir);
  if (!QFileInfo(request.directory).isDir()) request.directory = main_.Session().DemDirectory();
  request.filter = kDemFilter;
  request.mustExist = true;
  const FileAnswer answer = Prompts().OpenFile(&main_, request);
  if (!answer.ok()) return;
  OpenDem(answer.path, answer.filterIndex);
}

bool TFileCommands::OpenDroppedFile(const QString& path) {
  const QString name = QFileInfo(path).fileName().toLower();
  int filterIndex = 3;
  if (name.endsWith("_m2.raw")) filterIndex = 1;
  if (name.endsWith("_m4.raw")) filterIndex = 2;
  return OpenDem(path, filterIndex);
}

bool TFileCommands::OpenDem(const QString& path, int filterIndex) {
  // The DEM window keeps its caption until the new DEM is installed.
  main_.Session().SetLastFileName(path);
  main_.Session().SetOpenedRasterPath(path);

  int lines = 0, columns = 0;
  if (!SizeFromHeader(path, lines, columns)) return false;

  TDynamicScaleDialog& scale = main_.DynamicScaleDialog();
  const QFileInfo file(path);
  const std::int64_t realSize = file.exists() ? file.size() : -1;

  const int width = ElementWidth(path, realSize, lines, columns, filterIndex);
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

FileAnswer TFileCommands::AskFileToOpen(const char* title, const char* filter) {
  const FileAnswer answer = Prompts().OpenFile(&main_, {
      .title = title,
      .directory = main_.ImageDirectory(),
      .filter = filter,
      .mustExist = true});
  if (answer.ok()) main_.Session().SetLastFileName(answer.path);
  return answer;
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

std::unique_ptr<TRasterImage> TFileCommands::ReadBitmap(const QString& path) {
  Expected<std::unique_ptr<TRasterImage>> loaded = [&] {
    BusyCursor busy;
    return LoadRasterBmp(path.toStdString());
  }();
  if (!loaded) {
    Prompts().Warning(&main_, "ERREUR", kWrongFormatMessage);
    return nullptr;
  }
  return std::move(*loaded);
}

std::unique_ptr<TRasterImage> TFileCommands::ReadRaw(const QString& path, int lines, int columns) {
  std::int64_t missing = 0;
  Expected<std::unique_ptr<TRasterImage>> loaded =
      LoadRasterRaw(path.toStdString(), lines, columns, &missing);
  if (!loaded) {
    Prompts().Warning(&main_, "ERREUR", Text(loaded.error().message));
    return nullptr;
  }
  // A network or an image cut short would otherwise show its missing cells as real zeros.
  if (missing > 0) {
    Prompts().Warning(&main_, "ERREUR",
                      QStringLiteral("The File is shorter than its header announces: "
                                     "%1 bytes missing, read as 0")
                          .arg(missing));
  }
  return std::move(*loaded);
}

Status TFileCommands::SaveImage(TRasterImage& raster, const QString& path, bool raw) const {
  BusyCursor busy;
  if (raw) return SaveRasterRaw(raster, WithoutSuffix(path, ".raw").toStdString(), PixelSizeTruncated());
  return SaveRasterBmp(raster, (WithoutSuffix(path, ".bmp") + ".bmp").toStdString());
}

void TFileCommands::OpenParameterImage(bool fromMenu) {
  const FileAnswer answer = AskFileToOpen("OPEN PARAMETER", kOpenParameterFilter);
  if (!answer.ok()) return;
  std::shared_ptr<TRasterImage> raster;

  if (answer.filterIndex == 1) {
    // The tool button reports a bitmap it cannot read as well: opening nothing without a word
    // would hide it.
    raster = ReadBitmap(answer.path);
    if (!raster) return;
    if (fromMenu && !SameSizeAsDem(*raster) &&
        !Prompts().Question(&main_, "ERREUR", kSizeQuestion)) {
      return;
    }
  } else {
    main_.Session().SetOpenedRasterPath(answer.path);
    // The DEM window keeps its caption: it still shows the DEM, not this file.
    int lines = 0, columns = 0;
    if (!SizeFromHeader(answer.path, lines, columns)) return;
    const TDemModel* dem = main_.Session().CurrentDem();
    if (dem && (lines != dem->lines || columns != dem->columns) &&
        !Prompts().Question(&main_, "ERREUR", kSizeQuestion)) {
      return;
    }
    raster = ReadRaw(answer.path, lines, columns);
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
  const Status saved = SaveImage(*raster, answer.path, !colour && answer.filterIndex == 1);
  if (!saved) Prompts().Warning(&main_, "ERREUR", Text(saved.message()));
}

void TFileCommands::OpenDrainageNetwork1Click() {
  const FileAnswer answer = AskFileToOpen("OPEN DRAINAGE NETWORK", kOpenDrainageFilter);
  if (!answer.ok()) return;
  std::shared_ptr<TRasterImage> raster;
  if (answer.filterIndex == 1) {
    raster = ReadBitmap(answer.path);
    if (!raster) return;
  } else {
    int lines = 0, columns = 0;
    if (!SizeFromHeader(answer.path, lines, columns)) return;
    raster = ReadRaw(answer.path, lines, columns);
    if (!raster) return;
  }
  main_.ShowDrainageRaster(std::move(raster), false);
}

void TFileCommands::SaveDrainage1Click() {
  std::shared_ptr<TRasterImage> raster = main_.Session().DrainageRaster();
  if (!raster) return;
  const FileAnswer answer = AskFileToSave("Save Drainage Network", kSaveRawFilter);
  if (!answer.ok()) return;
  const Status saved = SaveImage(*raster, answer.path, answer.filterIndex == 1);
  if (!saved) Prompts().Warning(&main_, "ERREUR", Text(saved.message()));
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
  main.SetDropHandler([commands](const QString& path) { commands->OpenDroppedFile(path); });
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
