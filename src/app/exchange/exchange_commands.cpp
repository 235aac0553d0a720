#include "app/exchange/exchange_commands.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QStringList>

#include "app/display/image_window.h"
#include "app/display/levels_form.h"
#include "app/exchange/gdal_forms.h"
#include "app/exchange/ilwis_forms.h"
#include "app/exchange/page_print_form.h"
#include "app/shell/busy_cursor.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_menu.h"
#include "app/shell/treatment_run.h"
#include "app/shell/workbench.h"
#include "app/terrain/file_commands.h"
#include "core/common/atomic_file.h"
#include "core/exchange/gdal_import_notes.h"
#include "core/exchange/ilwis_export.h"
#include "core/exchange/ilwis_import.h"

namespace orvane {

namespace {

const char* const kImportGdalTitle = " IMPORT GEOTIFF / GDAL RASTER";

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TExchangeCommands::TExchangeCommands(TWorkbench& main)
    : QObject(&main),
      main_(main),
      formIlwis_(new TIlwisExportDialog(&main)),
      importForm_(new TIlwisImportDialog(&main)),
      importGdal_(new TImportGdalDialog(&main)),
      exportGeoTiff_(new TExportGeoTiffDialog(&main)),
      coordinates_(new TUtmCoordinatesDialog(&main)),
      levels_(new TLevelsDialog(&main)),
      pagePrintForm_(new TPageLayoutDialog(&main)) {
  setObjectName("ExchangeCommands");
  main_.SetUtmFrameSource([this] { return coordinates_->TypedFrame(); });
  connect(&main_, &TWorkbench::DemOpened, this, [this](const TDemOpenedInfo& info) {
    coordinates_->SetDemFrame(info.lines, info.columns, info.pixelSize);
    formIlwis_->SetDemFigures(info);
    // Another DEM: the georeference of the last import no longer describes it. The import
    // sets it again right after its own opening.
    imported_.reset();
  });
}

void TExchangeCommands::Report(const Status& status) {
  if (!status) Prompts().Warning(&main_, "ERREUR", Text(status.message()));
}

void TExchangeCommands::Ilwis1Click() {
  const TDemModel* dem = main_.Session().CurrentDem();
  if (!dem) return;
  // Only an accepted dialog exports: closing it gives up.
  if (Prompts().Exec(*formIlwis_) != QDialog::Accepted) return;
  IlwisExportParams params = formIlwis_->Params();
  // The export goes to the folder of the last file opened.
  const QString last = main_.Session().LastFileName();
  params.folder = last.isEmpty() ? std::string() : QFileInfo(last).absolutePath().toStdString();
  params.unitDivisor = std::max(1, main_.Session().UnitFactor());
  ProgressSink* sink = main_.Progress();
  // The export runs off the GUI thread; its errors and a memory failure are shown by the run.
  RunTreatment(main_, "ERREUR", GridOf(*dem), [&] { return ExportIlwis(*dem, params, sink); });
}

void TExchangeCommands::ImportIlwis1Click() {
  const FileAnswer answer = Prompts().OpenFile(&main_, {
      .title = " IMPORT ILWIS FILE",
      .directory = main_.Session().DemDirectory(),
      .filter = "FILE [*.mpr]|*.mpr",
      .mustExist = true});
  if (!answer.ok()) return;
  main_.Session().SetLastFileName(answer.path);
  main_.Session().SetOpenedRasterPath(answer.path);

  BusyCursor busy;
  const Expected<IlwisMapInfo> info = ReadIlwisMapInfo(answer.path.toStdString());
  busy.Release();
  if (!info) return Report(info.error());
  importForm_->SetMapFigures(info->lines, info->columns, info->elementSize);
  // Cancel gives up the conversion.
  if (Prompts().Exec(*importForm_) != QDialog::Accepted) return;

  IlwisImportParams params;
  params.mprPath = answer.path.toStdString();
  params.type = importForm_->ElementType();
  params.outputName = importForm_->OutputName().toStdString();
  ProgressSink* sink = main_.Progress();
  const auto imported = RunTreatment(main_, "ERREUR", GridSize{info->lines, info->columns},
                                     [&] { return ImportIlwis(params, sink); });
  if (imported && !imported->warning.empty())
    Prompts().Warning(&main_, "ERREUR", Text(imported->warning));
}

void TExchangeCommands::ImportGdal1Click() {
  const FileAnswer answer = Prompts().OpenFile(&main_, {
      .title = kImportGdalTitle,
      .directory = main_.Session().DemDirectory(),
      .filter = "GeoTIFF [*.tif, *.tiff]|*.tif *.tiff|All Files|*",
      .mustExist = true});
  if (answer.ok()) ImportGdalFile(answer.path);
}

void TExchangeCommands::ImportGdalFile(const QString& path) {
  main_.Session().SetLastFileName(path);
  BusyCursor busy;
  const Expected<GdalRasterInfo> info = InspectGdalRaster(path.toStdString());
  busy.Release();
  if (!info) return Report(info.error());
  importGdal_->SetRaster(*info);
  if (Prompts().Exec(*importGdal_) != QDialog::Accepted) return;

  GdalImportParams params;
  params.sourcePath = path.toStdString();
  params.unitFactor = importGdal_->UnitFactor();
  params.outputName = importGdal_->OutputName().trimmed().toStdString();
  ProgressSink* sink = main_.Progress();
  const auto imported = RunTreatment(main_, "ERREUR", GridSize{info->lines, info->columns},
                                     [&] { return ImportGdalRaster(params, sink); });
  if (!imported) return;
  const GdalRasterInfo& raster = imported->info;
  const bool fill = importGdal_->FillNoData();
  const double pixel =
      raster.hasGeoTransform ? raster.pixelSizeMetres : importGdal_->TypedPixelSize();
  if (!OpenImportedDem(*imported, imported->unitFactor, pixel, raster.hasGeoTransform, fill))
    return;
  if (raster.hasGeoTransform) imported_ = raster.georef;
  if (raster.hasGeoTransform && raster.projected) {
    // The raster's zone and corners, as the coordinate dialog's OK would pass them on.
    auto coordinate = [](double v) { return QString::number(v, 'g', 15); };
    const GeoReference& georef = raster.georef;
    const QStringList texts = {QString::number(georef.utmZone), coordinate(georef.XMin()),
                               coordinate(georef.YMin()), coordinate(georef.XMax()),
                               coordinate(georef.YMax())};
    coordinates_->SetFrameTexts(texts);
    formIlwis_->SetFrameTexts(texts);
    main_.Session().SetUtmCoordinatesSet(true);
  }

  QStringList notes;
  for (const std::string& note : GdalImportNotes(*imported, fill)) notes << Text(note);
  if (!notes.isEmpty()) Prompts().Information(&main_, kImportGdalTitle, notes.join("\n"));
}

bool TExchangeCommands::OpenImportedDem(const GdalImportResult& result, int unitFactor,
                                        double pixelSize, bool groundSizes, bool fillNoData) {
  const QString path = Text(result.dataPath);
  main_.Session().SetLastFileName(path);
  main_.Session().SetOpenedRasterPath(path);

  const int lines = result.info.lines, columns = result.info.columns;
  auto scan = RunTreatment(main_, "ERREUR", GridSize{lines, columns},
                           [&] { return ScanDemFile(result.dataPath, lines, columns, 4); });
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
  return InstallScannedDem(main_, path, *scan, options, previousScale, [&](TDemModel& dem) {
    // Cells that are not square (geographic rasters) keep their two ground sizes.
    if (groundSizes) ApplyGroundPixelSizes(dem, result.info, unitFactor);
    // The raw pair holds the filled values; the mask says which cells are not ground.
    if (!fillNoData && !result.validity.empty()) (void)dem.SetValidity(result.validity);
  });
}

std::optional<UtmFrame> TExchangeCommands::TypedUtmFrame() const {
  const std::optional<TUtmFrame> utm = main_.UtmFrame();
  if (!utm || !(utm->xMax > utm->xMin) || !(utm->yMax > utm->yMin) || utm->lines <= 0 ||
      utm->columns <= 0)
    return std::nullopt;
  return utm;
}

std::optional<QString> TExchangeCommands::AskGeoTiffPath(const QString& title) {
  const FileAnswer answer = Prompts().SaveFile(
      &main_, {.title = title, .directory = main_.ImageDirectory(), .filter = "GeoTIFF [*.tif]|*.tif"});
  if (!answer.ok()) return std::nullopt;
  QString path = answer.path;
  if (!IsGeoTiffPath(path.toStdString())) path += ".tif";
  main_.Session().SetLastFileName(path);
  return path;
}

void TExchangeCommands::ExportValues1Click() {
  const TResultValues values = main_.Session().ResultValues();
  if (!values) return;
  const std::optional<QString> path = AskGeoTiffPath("Export Values (GeoTIFF)");
  if (!path) return;
  // Where the value grid lies: the import's georeference, else the UTM frame, else unknown.
  std::optional<GeoReference> georef = imported_;
  if (const std::optional<UtmFrame> frame = TypedUtmFrame(); frame && !georef)
    georef = GeoReferenceFromUtmFrame(*frame);
  BusyCursor busy;
  const Status written = ExportValuesGeoTiff(*values.grid, path->toStdString(),
                                             georef ? &*georef : nullptr,
                                             exportGeoTiff_->Compression());
  busy.Release();
  Report(written);
}

void TExchangeCommands::ExportGeoTiff1Click() {
  const std::shared_ptr<TRasterImage> parameter = main_.Session().ParameterImage();
  const std::shared_ptr<TRasterImage> drainage = main_.Session().DrainageRaster();
  const TDemModel* dem = main_.Session().CurrentDem();
  const bool hasParameter = parameter && parameter->IsAllocated();
  const bool hasDrainage = drainage && drainage->IsAllocated();
  const bool hasDem = dem && dem->IsAllocated();
  if (!hasParameter && !hasDrainage && !hasDem) return;

  const std::optional<UtmFrame> frame = TypedUtmFrame();
  exportGeoTiff_->SetAvailable(hasParameter, hasDrainage, hasDem, imported_.has_value(),
                               frame.has_value());
  if (Prompts().Exec(*exportGeoTiff_) != QDialog::Accepted) return;
  const std::optional<QString> asked = AskGeoTiffPath("Export GeoTIFF");
  if (!asked) return;
  const std::string path = asked->toStdString();

  std::optional<GeoReference> georef;
  if (exportGeoTiff_->GeoSource() == TExportGeoTiffDialog::kFromImport) georef = imported_;
  if (exportGeoTiff_->GeoSource() == TExportGeoTiffDialog::kFromUtmFrame && frame)
    georef = GeoReferenceFromUtmFrame(*frame);
  const GeoReference* where = georef ? &*georef : nullptr;
  const GeoTiffCompression compression = exportGeoTiff_->Compression();
  BusyCursor busy;
  Status written;
  switch (exportGeoTiff_->Chosen()) {
    case TExportGeoTiffDialog::kParameterImage:
      written = hasParameter ? ExportRasterGeoTiff(*parameter, path, where, compression)
                             : Status(Error{kBadParameter, "There is no parameter image"});
      break;
    case TExportGeoTiffDialog::kDrainage:
      written = hasDrainage ? ExportRasterGeoTiff(*drainage, path, where, compression)
                            : Status(Error{kBadParameter, "There is no drainage network"});
      break;
    case TExportGeoTiffDialog::kDem:
      written = hasDem ? ExportDemGeoTiff(*dem, std::max(1, main_.Session().UnitFactor()), path,
                                          where, main_.Progress())
                       : Status(Error{kBadParameter, "There is no DEM"});
      break;
  }
  busy.Release();
  Report(written);
}

void TExchangeCommands::CoordUtm1Click() {
  if (Prompts().Exec(*coordinates_) != QDialog::Accepted) return;
  formIlwis_->SetFrameTexts(coordinates_->FrameTexts());
  main_.Session().SetUtmCoordinatesSet(true);
}

void TExchangeCommands::WrapImage1Click() {
  // The wrapped image and the parameter image are one raster with two holders.
  if (const auto image = main_.Session().ParameterImage()) main_.ShowWrappedImage(image);
}

void TExchangeCommands::Modifier1Click() {
  const std::shared_ptr<TRasterImage> shown = main_.Session().DisplayedRaster();
  if (!shown || !shown->IsAllocated()) return;
  levels_->SetImage(*shown);
  if (Prompts().Exec(*levels_) != QDialog::Accepted) return;
  BusyCursor busy;
  std::shared_ptr<TRasterImage> adjusted = levels_->State().Apply(*shown);
  if (adjusted) main_.ShowWrappedImage(std::move(adjusted));
}

bool TExchangeCommands::Configurationdelimpression1Click() {
  pagePrintForm_->SetBitmap(main_.ParamWindow().Bitmap());
  if (Prompts().Exec(*pagePrintForm_) != QDialog::Accepted) return false;
  main_.Session().SetPrinterRectangle(pagePrintForm_->Rectangle());
  return true;
}

void TExchangeCommands::ImprimerClick() {
  const QImage& bitmap = main_.ParamWindow().Bitmap();
  if (bitmap.isNull()) return;
  if (main_.Session().PrinterRectangle().left == -1 && !Configurationdelimpression1Click()) return;
  QPrinter& printer = pagePrintForm_->Printer();
  if (pagePrintForm_->PrintsToPdf() && pagePrintForm_->AsksPdfFile()) {
    const FileAnswer answer = Prompts().SaveFile(&main_, {
        .title = "Print to a PDF File",
        .directory = main_.ImageDirectory(),
        .filter = "PDF [*.pdf]|*.pdf"});
    if (!answer.ok()) return;
    QString path = answer.path;
    if (QFileInfo(path).suffix().isEmpty()) path += ".pdf";
    printer.setOutputFileName(path);
  }
  const PrinterRect r = main_.Session().PrinterRectangle();
  // A PDF is written under a temporary name beside the chosen file and renamed onto it once
  // the page is complete: a file that cannot be written is said and the old one stays.
  const QString target = printer.outputFileName();
  const bool toFile = pagePrintForm_->PrintsToPdf() && !target.isEmpty();
  AtomicFileWriter pdf;
  if (toFile) {
    if (const Status opened = pdf.OpenForName(target.toStdString()); !opened) return Report(opened);
    printer.setOutputFileName(QString::fromStdString(pdf.TemporaryPath()));
  }
  BusyCursor busy;
  QPainter painter;
  const bool started = painter.begin(&printer);
  bool ended = false;
  if (started) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), bitmap);
    ended = painter.end();
  }
  if (toFile) printer.setOutputFileName(target);
  busy.Release();
  if (!started) {
    const QString where = pagePrintForm_->PrintsToPdf() ? target : printer.printerName();
    Prompts().Warning(&main_, "ERREUR", "The printing could not start on " + where);
    return;
  }
  if (toFile)
    Report(ended ? pdf.Commit()
                 : Status(Error{kWriteFailed, "cannot write '" + target.toStdString() + "'"}));
}

void InstallExchangeCommands(TWorkbench& main) {
  auto* module = new TExchangeCommands(main);
  // GeoTIFF exchange: the import and the two exports. "Values (GeoTIFF)" writes the value grid
  // of the current result, as data rather than a picture; enabled by the frame while there is one.
  main.Menu("Import1")->addAction("GeoTIFF / GDAL raster")->setObjectName("ImportGdal1");
  main.Menu("Export1")->addAction("GeoTIFF")->setObjectName("ExportGeoTiff1");
  QAction* exportValues = main.Menu("Export1")->addAction("Values (GeoTIFF)");
  exportValues->setObjectName("ExportValues1");
  exportValues->setEnabled(static_cast<bool>(main.Session().ResultValues()));
  for (const auto& [name, handler] :
       {std::pair{"Ilwis1", &TExchangeCommands::Ilwis1Click},
        {"ImportIlwis1", &TExchangeCommands::ImportIlwis1Click},
        {"ImportGdal1", &TExchangeCommands::ImportGdal1Click},
        {"ExportGeoTiff1", &TExchangeCommands::ExportGeoTiff1Click},
        {"ExportValues1", &TExchangeCommands::ExportValues1Click},
        {"CoordUtm1", &TExchangeCommands::CoordUtm1Click},
        {"WrapImage1", &TExchangeCommands::WrapImage1Click},
        {"Modifier1", &TExchangeCommands::Modifier1Click},
        {"Imprimer", &TExchangeCommands::ImprimerClick}})
    ConnectAction(main, name, module, handler);
  ConnectAction(main, "Configurationdelimpression1", module,
                [module] { module->Configurationdelimpression1Click(); });
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
        files->OpenDem(path, 3);
    });
  }
}

}  // namespace orvane
