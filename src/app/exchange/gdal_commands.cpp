#include "app/exchange/gdal_commands.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QStringList>

#include "app/exchange/exchange_commands.h"
#include "app/terrain/file_commands.h"
#include "app/exchange/coordinate_form.h"
#include "app/exchange/gdal_forms.h"
#include "app/exchange/ilwis_forms.h"
#include "app/shell/workbench.h"
#include "app/shell/busy_cursor.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_run.h"
#include "app/shell/text_values.h"
#include "app/terrain/dynamic_scale.h"
#include "core/render/shading.h"
#include "core/terrain/dem_file.h"

namespace orvane {

namespace {

const char* const kImportTitle = " IMPORT GEOTIFF / GDAL RASTER";
const char* const kImportFilter = "GeoTIFF [*.tif, *.tiff]|*.tif *.tiff|All Files|*";
const char* const kExportFilter = "GeoTIFF [*.tif]|*.tif";

QString Text(const std::string& s) { return QString::fromStdString(s); }
QString Coordinate(double v) { return QString::number(v, 'g', 15); }

}  // namespace

TGdalCommands::TGdalCommands(TWorkbench& main)
    : QObject(&main),
      main_(main),
      importForm_(new TImportGdalDialog(&main)),
      exportForm_(new TExportGeoTiffDialog(&main)) {
  setObjectName("GdalCommands");
  connect(&main_, &TWorkbench::DemOpened, this, &TGdalCommands::DemOpened);
}

void TGdalCommands::DemOpened(const TDemOpenedInfo&) {
  // Another DEM: the georeference of the last import no longer describes it. The import sets
  // it again right after its own opening.
  imported_.reset();
}

void TGdalCommands::ImportGdal1Click() {
  const FileAnswer answer = Prompts().OpenFile(&main_, {
      .title = kImportTitle,
      .directory = main_.Session().DemDirectory(),
      .filter = kImportFilter,
      .mustExist = true});
  if (answer.ok()) ImportGdalFile(answer.path);
}

void TGdalCommands::ImportGdalFile(const QString& path) {
  main_.Session().SetLastFileName(path);
  BusyCursor busy;
  const Expected<GdalRasterInfo> info = InspectGdalRaster(path.toStdString());
  busy.Release();
  if (!info) {
    Prompts().Warning(&main_, "ERREUR", Text(info.error().message));
    return;
  }
  importForm_->SetRaster(*info);
  if (Prompts().Exec(*importForm_) != QDialog::Accepted) return;

  GdalImportParams params;
  params.sourcePath = path.toStdString();
  params.unitFactor = importForm_->UnitFactor();
  params.outputName = importForm_->OutputName().trimmed().toStdString();
  ProgressSink* sink = main_.Progress();
  const auto imported = RunTreatment(main_, "ERREUR", GridSize{info->lines, info->columns},
                                     [&] { return ImportGdalRaster(params, sink); });
  if (!imported) return;
  const GdalRasterInfo& raster = imported->info;
  const double pixel =
      raster.hasGeoTransform ? raster.pixelSizeMetres : importForm_->TypedPixelSize();
  if (!OpenImportedDem(*imported, imported->unitFactor, pixel, raster.hasGeoTransform,
                       importForm_->FillNoData()))
    return;
  if (raster.hasGeoTransform) {
    imported_ = raster.georef;
    if (raster.projected) SetUtmFrame(raster.georef);
  }

  QStringList notes;
  if (imported->unitChosen) {
    notes << QStringLiteral("Real elevations: the DEM is in %1, the finest unit that holds them")
                 .arg(imported->unitFactor == 1000  ? "millimeters"
                      : imported->unitFactor == 100 ? "centimeters"
                      : imported->unitFactor == 10  ? "decimeters"
                                                    : "meters");
  }
  if (imported->noDataFilled > 0) {
    notes << (importForm_->FillNoData()
                  ? QStringLiteral("%1 NoData cells were filled with the nearest valid elevation")
                  : QStringLiteral("%1 NoData cells stay NoData: no value rests on them"))
                 .arg(imported->noDataFilled);
  }
  for (const std::string& warning : raster.warnings) notes << Text(warning);
  if (!notes.isEmpty()) Prompts().Information(&main_, kImportTitle, notes.join("\n"));
}

bool TGdalCommands::OpenImportedDem(const GdalImportResult& result, int unitFactor,
                                    double pixelSize, bool groundSizes, bool fillNoData) {
  const QString path = Text(result.dataPath);
  main_.Session().SetLastFileName(path);
  main_.Session().SetOpenedRasterPath(path);

  const int lines = result.info.lines, columns = result.info.columns;
  const std::string dataPath = result.dataPath;
  auto scan = RunTreatment(main_, "ERREUR", GridSize{lines, columns},
                           [&] { return ScanDemFile(dataPath, lines, columns, 4); });
  if (!scan) return false;
  // The dynamic-scale dialog filled as if answered: it checks the pixel size, and its answer
  // becomes U and P.
  TDynamicScaleDialog& scale = main_.DynamicScaleDialog();
  const TDynamicScaleDialog::Snapshot previousScale = scale.ShowScan(*scan, QFileInfo(path).size());
  scale.ChooseUnit(unitFactor);
  scale.SetPixelSizeText(QString::number(pixelSize, 'g', 10));
  scale.setResult(QDialog::Rejected);
  scale.OkClick();  // refuses a pixel below one metre with its own message
  if (scale.result() != QDialog::Accepted) return false;

  DemOpenOptions options;
  options.unitFactor = unitFactor;
  options.pixelSizeMetres = pixelSize;
  const GdalRasterInfo rasterInfo = result.info;
  return InstallScannedDem(main_, path, *scan, options, previousScale, [&](TDemModel& dem) {
    // Cells that are not square (geographic rasters) keep their two ground sizes.
    if (groundSizes) ApplyGroundPixelSizes(dem, rasterInfo, unitFactor);
    // The raw pair holds the filled values; the mask says which cells are not ground.
    if (!fillNoData && !result.validity.empty()) (void)dem.SetValidity(result.validity);
  });
}

void TGdalCommands::SetUtmFrame(const GeoReference& georef) {
  auto* exchange = main_.findChild<TExchangeCommands*>("ExchangeCommands");
  if (!exchange) return;
  const QString zone = QString::number(georef.utmZone);
  const QString xMin = Coordinate(georef.XMin()), xMax = Coordinate(georef.XMax());
  const QString yMin = Coordinate(georef.YMin()), yMax = Coordinate(georef.YMax());
  TUtmCoordinatesDialog& form = exchange->CoordinatesDialog();
  form.SetZoneText(zone);
  form.SetCorners(xMin, yMin, xMax, yMax);
  exchange->FormIlwis().SetFrameTexts(zone, xMin, xMax, yMin, yMax);
  main_.Session().SetUtmCoordinatesSet(true);
}

std::optional<UtmFrame> TGdalCommands::TypedUtmFrame() const {
  const std::optional<TUtmFrame> utm = main_.UtmFrame();
  if (!utm || !(utm->xMax > utm->xMin) || !(utm->yMax > utm->yMin) || utm->lines <= 0 ||
      utm->columns <= 0)
    return std::nullopt;
  auto* exchange = main_.findChild<TExchangeCommands*>("ExchangeCommands");
  return CoreUtmFrame(*utm, exchange ? LeadingInt(exchange->CoordinatesDialog().ZoneText()) : 0);
}

std::optional<GeoReference> TGdalCommands::ValuesGeoReference() const {
  if (imported_) return imported_;
  if (const std::optional<UtmFrame> frame = TypedUtmFrame()) return GeoReferenceFromUtmFrame(*frame);
  return std::nullopt;
}

std::optional<QString> TGdalCommands::AskGeoTiffPath(const QString& title) {
  const FileAnswer answer = Prompts().SaveFile(
      &main_, {.title = title, .directory = main_.ImageDirectory(), .filter = kExportFilter});
  if (!answer.ok()) return std::nullopt;
  QString path = answer.path;
  if (!IsGeoTiffPath(path.toStdString())) path += ".tif";
  main_.Session().SetLastFileName(path);
  return path;
}

void TGdalCommands::ExportValues1Click() {
  const TResultValues values = main_.Session().ResultValues();
  if (!values) return;
  const std::optional<QString> path = AskGeoTiffPath("Export Values (GeoTIFF)");
  if (!path) return;

  const std::optional<GeoReference> georef = ValuesGeoReference();
  BusyCursor busy;
  const Status written =
      ExportValuesGeoTiff(*values.grid, path->toStdString(), georef ? &*georef : nullptr,
                          exportForm_->Compression());
  busy.Release();
  if (!written) Prompts().Warning(&main_, "ERREUR", Text(written.message()));
}

void TGdalCommands::ExportGeoTiff1Click() {
  const std::shared_ptr<TRasterImage> parameter = main_.Session().ParameterImage();
  const std::shared_ptr<TRasterImage> drainage = main_.Session().DrainageRaster();
  const TDemModel* dem = main_.Session().CurrentDem();
  const bool hasParameter = parameter && parameter->IsAllocated();
  const bool hasDrainage = drainage && drainage->IsAllocated();
  const bool hasDem = dem && dem->IsAllocated();
  if (!hasParameter && !hasDrainage && !hasDem) return;

  const std::optional<UtmFrame> frame = TypedUtmFrame();
  exportForm_->SetAvailable(hasParameter, hasDrainage, hasDem, imported_.has_value(),
                            frame.has_value());
  if (Prompts().Exec(*exportForm_) != QDialog::Accepted) return;

  const std::optional<QString> asked = AskGeoTiffPath("Export GeoTIFF");
  if (!asked) return;
  const QString path = *asked;

  std::optional<GeoReference> georef;
  switch (exportForm_->GeoSource()) {
    case TExportGeoTiffDialog::kFromImport: georef = imported_; break;
    case TExportGeoTiffDialog::kFromUtmFrame:
      if (frame) georef = GeoReferenceFromUtmFrame(*frame);
      break;
    case TExportGeoTiffDialog::kNoGeoreference: break;
  }
  const GeoReference* where = georef ? &*georef : nullptr;
  BusyCursor busy;
  Status written;
  switch (exportForm_->Chosen()) {
    case TExportGeoTiffDialog::kParameterImage:
      written = hasParameter ? ExportRasterGeoTiff(*parameter, path.toStdString(), where,
                                                   exportForm_->Compression())
                             : Status(Error{kBadParameter, "There is no parameter image"});
      break;
    case TExportGeoTiffDialog::kDrainage:
      written = hasDrainage ? ExportRasterGeoTiff(*drainage, path.toStdString(), where,
                                                  exportForm_->Compression())
                            : Status(Error{kBadParameter, "There is no drainage network"});
      break;
    case TExportGeoTiffDialog::kDem:
      written = hasDem ? ExportDemGeoTiff(*dem, std::max(1, main_.Session().UnitFactor()),
                                          path.toStdString(), where, main_.Progress())
                       : Status(Error{kBadParameter, "There is no DEM"});
      break;
  }
  busy.Release();
  if (!written) Prompts().Warning(&main_, "ERREUR", Text(written.message()));
}

void InstallGdalCommands(TWorkbench& main) {
  auto* module = new TGdalCommands(main);
  // A file dropped or named on the command line: a GeoTIFF or another raster GDAL reads goes
  // through the import (its NoData, georeference and unit kept; a damaged GeoTIFF's error
  // said there), a raw DEM through Open DEM.
  if (auto* files = main.findChild<TFileCommands*>("FileCommands")) {
    main.SetDropHandler([module, files](const QString& path) {
      const std::string name = path.toStdString();
      if (!path.endsWith(".raw", Qt::CaseInsensitive) &&
          (IsGeoTiffPath(name) || InspectGdalRaster(name)))
        module->ImportGdalFile(path);
      else
        files->OpenDroppedFile(path);
    });
  }
  QAction* import = main.Menu("Import1")->addAction("GeoTIFF / GDAL raster");
  import->setObjectName("ImportGdal1");
  QAction* exportAction = main.Menu("Export1")->addAction("GeoTIFF");
  exportAction->setObjectName("ExportGeoTiff1");
  // The value grid of the current result, as data rather than a picture; enabled by the
  // frame while there is one.
  QAction* exportValues = main.Menu("Export1")->addAction("Values (GeoTIFF)");
  exportValues->setObjectName("ExportValues1");
  exportValues->setEnabled(static_cast<bool>(main.Session().ResultValues()));
  QObject::connect(exportValues, &QAction::triggered, module, &TGdalCommands::ExportValues1Click);
  QObject::connect(import, &QAction::triggered, module, &TGdalCommands::ImportGdal1Click);
  QObject::connect(exportAction, &QAction::triggered, module,
                   &TGdalCommands::ExportGeoTiff1Click);
}

}  // namespace orvane
