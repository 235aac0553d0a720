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

  const IlwisImportParams params{.mprPath = answer.path.toStdString(),
                                 .type = importForm_->ElementType(),
                                 .outputName = importForm_->OutputName().toStdString()};
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

  const GdalImportParams params{.sourcePath = path.toStdString(),
                                .unitFactor = importGdal_->UnitFactor(),
                                .outputName = importGdal_->OutputName().trimmed().toStdString()};
  ProgressSink* sink = main_.Progress();
  const auto imported = RunTreatment(main_, "ERREUR", GridSize{info->lines, info->columns},
                                     [&] { return ImportGdalRaster(params, sink); });
  if (!imported) return;
  const GdalRasterInfo& raster = imported->info;
  const bool fill = importGdal_->FillNoData();
  const double pixel =
      raster.hasGeoTransform ? raster.pixelSizeMetres : importGdal_->TypedPixelSize();
  const int unit = imported->unitFactor;
  const QString dataPath = Text(imported->dataPath);
  main_.Session().SetLastFileName(dataPath);
  main_.Session().SetOpenedRasterPath(dataPath);
  // The written pair opened as Open DEM does, its dynamic-scale dialog filled as if answered:
  // it checks the pixel size, and its answer becomes U and P.
  const auto answer = [&](TDynamicScaleDialog& scale) -> std::optional<DemOpenOptions> {
    scale.ChooseUnit(unit);
    scale.SetPixelSizeText(QString::number(pixel, 'g', 10));
    scale.setResult(QDialog::Rejected);
    scale.OkClick();  // refuses a pixel below one metre with its own message
    if (scale.result() != QDialog::Accepted) return std::nullopt;
    return DemOpenOptions{.unitFactor = unit, .pixelSizeMetres = pixel};
  };
  const auto adjust = [&](TDemModel& dem) {
    // Cells that are not square (geographic rasters) keep their two ground sizes.
    if (raster.hasGeoTransform) ApplyGroundPixelSizes(dem, raster, unit);
    // The raw pair holds the filled values; the mask says which cells are not ground.
    if (!fill && !imported->validity.empty()) (void)dem.SetValidity(imported->validity);
  };
  if (!OpenScannedDem(main_, dataPath, raster.lines, raster.columns, 4, QFileInfo(dataPath).size(),
                      answer, adjust))
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

std::optional<UtmFrame> TExchangeCommands::TypedUtmFrame() const {
  const std::optional<TUtmFrame> utm = main_.UtmFrame();
  // Confirmed, with corners in order and cells.
  if (!utm || utm->lines <= 0 || utm->columns <= 0 || !UtmCalculatedPixelSize(*utm)) return std::nullopt;
  return utm;
}

void TExchangeCommands::WriteGeoTiff(const QString& title, const std::optional<GeoReference>& georef,
                                     const GeoTiffWriter& write) {
  const FileAnswer answer = Prompts().SaveFile(
      &main_, {.title = title, .directory = main_.ImageDirectory(), .filter = "GeoTIFF [*.tif]|*.tif"});
  if (!answer.ok()) return;
  QString path = answer.path;
  if (!IsGeoTiffPath(path.toStdString())) path += ".tif";
  main_.Session().SetLastFileName(path);
  BusyCursor busy;
  const Status written = write(path.toStdString(), georef ? &*georef : nullptr);
  busy.Release();
  Report(written);
}

void TExchangeCommands::ExportValues1Click() {
  const TResultValues values = main_.Session().ResultValues();
  if (!values) return;
  // Where the value grid lies: the import's georeference, else the UTM frame, else unknown.
  std::optional<GeoReference> georef = imported_;
  if (const std::optional<UtmFrame> frame = TypedUtmFrame(); frame && !georef)
    georef = GeoReferenceFromUtmFrame(*frame);
  WriteGeoTiff("Export Values (GeoTIFF)", georef, [&](const std::string& path, const GeoReference* where) {
    return ExportValuesGeoTiff(*values.grid, path, where, exportGeoTiff_->Compression());
  });
}

void TExchangeCommands::ExportGeoTiff1Click() {
  const std::shared_ptr<TRasterImage> parameter = main_.Session().ParameterImage();
  const std::shared_ptr<TRasterImage> drainage = main_.Session().DrainageRaster();
  const TDemModel* dem = main_.Session().CurrentDem();
  // The two images in the dialog's order, null when there is none.
  const TRasterImage* images[2] = {parameter && parameter->IsAllocated() ? parameter.get() : nullptr,
                                   drainage && drainage->IsAllocated() ? drainage.get() : nullptr};
  const bool hasDem = dem && dem->IsAllocated();
  if (!images[0] && !images[1] && !hasDem) return;

  const std::optional<UtmFrame> frame = TypedUtmFrame();
  exportGeoTiff_->SetAvailable(images[0], images[1], hasDem, imported_.has_value(), frame.has_value());
  if (Prompts().Exec(*exportGeoTiff_) != QDialog::Accepted) return;
  std::optional<GeoReference> georef;
  if (exportGeoTiff_->GeoSource() == TExportGeoTiffDialog::kFromImport) georef = imported_;
  if (exportGeoTiff_->GeoSource() == TExportGeoTiffDialog::kFromUtmFrame && frame)
    georef = GeoReferenceFromUtmFrame(*frame);
  const int chosen = exportGeoTiff_->Chosen();
  WriteGeoTiff("Export GeoTIFF", georef, [&](const std::string& path, const GeoReference* where) {
    const char* const missing[3] = {"There is no parameter image", "There is no drainage network",
                                    "There is no DEM"};
    if (chosen == TExportGeoTiffDialog::kDem && hasDem)
      return ExportDemGeoTiff(*dem, std::max(1, main_.Session().UnitFactor()), path, where,
                              main_.Progress());
    if (chosen != TExportGeoTiffDialog::kDem && images[chosen])
      return ExportRasterGeoTiff(*images[chosen], path, where, exportGeoTiff_->Compression());
    return Status(Error{kBadParameter, missing[chosen]});
  });
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
