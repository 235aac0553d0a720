#include "app/exchange/exchange_commands.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

#include "app/exchange/coordinate_form.h"
#include "app/display/levels_form.h"
#include "app/exchange/ilwis_forms.h"
#include "app/exchange/page_print_form.h"
#include "app/display/image_window.h"
#include "app/shell/workbench.h"
#include "app/shell/busy_cursor.h"
#include "app/shell/prompter.h"
#include "core/common/atomic_file.h"
#include "app/shell/treatment_menu.h"
#include "app/shell/treatment_run.h"
#include "core/exchange/ilwis_export.h"
#include "core/exchange/ilwis_import.h"

namespace orvane {

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TExchangeCommands::TExchangeCommands(TWorkbench& main)
    : QObject(&main),
      main_(main),
      formIlwis_(new TIlwisExportDialog(&main)),
      importForm_(new TIlwisImportDialog(&main)),
      coordinates_(new TUtmCoordinatesDialog(&main)),
      levels_(new TLevelsDialog(&main)),
      pagePrintForm_(new TPageLayoutDialog(&main)) {
  setObjectName("ExchangeCommands");
  // The export goes to the folder of the last file opened.
  formIlwis_->SetFolderSource([this] {
    const QString last = main_.Session().LastFileName();
    return last.isEmpty() ? QString() : QFileInfo(last).absolutePath();
  });
  main_.SetUtmFrameSource([this] { return coordinates_->Frame(); });
  connect(&main_, &TWorkbench::DemOpened, this, &TExchangeCommands::DemOpened);
}

void TExchangeCommands::DemOpened(const TDemOpenedInfo& info) {
  coordinates_->SetDemFrame(info.lines, info.columns, info.pixelSize);
  formIlwis_->SetDemFigures(info);
}

void TExchangeCommands::Ilwis1Click() {
  const TDemModel* dem = main_.Session().CurrentDem();
  if (!dem) return;
  // Only an accepted dialog exports: closing it gives up.
  if (Prompts().Exec(*formIlwis_) != QDialog::Accepted) return;
  IlwisExportParams params;
  params.folder = formIlwis_->Folder().toStdString();
  params.name = formIlwis_->GenericName().toStdString();
  params.zone = formIlwis_->Zone();
  params.xMin = formIlwis_->XMin();
  params.yMin = formIlwis_->YMin();
  params.xMax = formIlwis_->XMax();
  params.yMax = formIlwis_->YMax();
  params.unitDivisor = main_.Session().UnitFactor() >= 1 ? main_.Session().UnitFactor() : 1;
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
  if (!info) {
    Prompts().Warning(&main_, "ERREUR", Text(info.error().message));
    return;
  }
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
  if (!imported) return;
  if (!imported->warning.empty()) Prompts().Warning(&main_, "ERREUR", Text(imported->warning));
}

void TExchangeCommands::CoordUtm1Click() {
  if (Prompts().Exec(*coordinates_) != QDialog::Accepted) return;
  formIlwis_->SetFrameTexts(coordinates_->ZoneText(), coordinates_->XMinText(),
                            coordinates_->XMaxText(), coordinates_->YMinText(),
                            coordinates_->YMaxText());
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
    if (const Status opened = pdf.OpenForName(target.toStdString()); !opened) {
      Prompts().Warning(&main_, "ERREUR", Text(opened.message()));
      return;
    }
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
  if (!toFile) return;
  const Status written =
      ended ? pdf.Commit()
            : Status(Error{kWriteFailed, "cannot write '" + target.toStdString() + "'"});
  if (!written) Prompts().Warning(&main_, "ERREUR", Text(written.message()));
}

void InstallExchangeCommands(TWorkbench& main) {
  auto* module = new TExchangeCommands(main);
  for (const auto& [name, handler] :
       {std::pair{"Ilwis1", &TExchangeCommands::Ilwis1Click},
        {"ImportIlwis1", &TExchangeCommands::ImportIlwis1Click},
        {"CoordUtm1", &TExchangeCommands::CoordUtm1Click},
        {"WrapImage1", &TExchangeCommands::WrapImage1Click},
        {"Modifier1", &TExchangeCommands::Modifier1Click},
        {"Imprimer", &TExchangeCommands::ImprimerClick}})
    ConnectAction(main, name, module, handler);
  ConnectAction(main, "Configurationdelimpression1", module,
                [module] { module->Configurationdelimpression1Click(); });
}

}  // namespace orvane
