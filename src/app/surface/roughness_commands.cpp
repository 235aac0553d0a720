#include "app/surface/roughness_commands.h"

#include <QAction>
#include <algorithm>
#include <memory>

#include "app/display/diagram_forms.h"
#include "app/drainage/dissection_forms.h"
#include "app/shell/workbench.h"
#include "app/shell/busy_cursor.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_run.h"
#include "app/surface/local_fractal_form.h"
#include "app/surface/total_depth_form.h"
#include "app/shell/treatment_menu.h"
#include "core/settings/settings_file.h"
#include "core/surface/local_fractal.h"
#include "core/surface/surface3d.h"
#include "core/surface/total_depth.h"

namespace orvane {

TRoughnessCommands::TRoughnessCommands(TWorkbench& main)
    : QObject(&main),
      main_(main),
      localFractal_(new TLocalFractalDialog(&main)),
      totalDepth_(new TClassPaletteDialog(kTotalDepthPalette, &main)) {
  WindowSizeDialogOf(main);  // the shared window-size dialog exists from start-up
}

void TRoughnessCommands::LocalFractalTreatment1Click() {
  TDemModel* dem = main_.Session().CurrentDem();
  if (!dem) return;
  QString title = " LOCAL FRACTAL DIMENSION  WINDOW SIZE ";
  // The treatment runs however the dialog is closed, with the values it holds, as long as H
  // is a number (OK refuses anything else and keeps the dialog open).
  Prompts().Exec(*localFractal_);
  if (!localFractal_->HasFactorH()) {
    Prompts().Warning(&main_, "ERREUR", TLocalFractalDialog::kNoFactorH);
    return;
  }
  const int windowSize = localFractal_->WindowSize();
  const double h = localFractal_->FactorH();
  title += QString::asprintf(" %d ", windowSize) + QString::asprintf(" Coeff H = %4.2lf ", h);

  LocalFractalParams params;
  params.windowSize = windowSize;
  params.factorH = h;
  params.unitDivisor = main_.Session().UnitFactor();
  params.pixelSize = main_.Session().PixelSize();
  const std::shared_ptr<TDemModel> shared = main_.Session().CurrentDemShared();
  ProgressSink* sink = main_.Progress();
  // The diagram comes with the picture: the values are drawn from the same result, as the
  // declaration draws them.
  using Done = WithDeclaredValues<LocalFractalResult>;
  auto done = RunTreatment(main_, "ERREUR", GridOf(*dem), [&]() -> Expected<Done> {
    auto fractal = ComputeLocalFractal(*shared, params, sink);
    if (!fractal) return fractal.error();
    ValueGrid values = LocalFractalValues(*fractal, shared->columns, shared->lines, windowSize);
    return Done{std::move(*fractal), DeclaredValues("local-fractal", std::move(values))};
  });
  if (!done) return;
  LocalFractalResult* result = &done->computed;
  main_.BeginTreatment(title);
  Prompts().Warning(&main_, "LOCAL FRACTAL DIMENSION",
                    QString::asprintf("Min = %lf Max = %lf ", result->minimum, result->maximum));

  TLocalFractalDiagram& diagram = DiagramWindow<TLocalFractalDiagram>(main_);
  std::copy(result->diagram.begin(), result->diagram.end(), diagram.Counts().begin());
  diagram.SetUpperBound(result->diagramUpper);
  diagram.SetStart(result->diagramStart);

  // No placement choice: always the parameter image, whose printing items come with it.
  ShowTreatmentResult(main_, std::make_shared<TRasterImage>(std::move(result->image)),
                      {.title = title, .margin = result->margin}, done->values);
  main_.Session().SetDiagramKind(DiagramKind::kLocalFractal);
  Prompts().Exec(diagram);
}

void TRoughnessCommands::TotalDepthTreatment1Click() {
  TDemModel* dem = main_.Session().CurrentDem();
  if (!dem) return;
  QString title = " TOTAL DEPTH   GRID SIZE ";
  TWindowSizeDialog& window = WindowSizeDialogOf(main_);
  // The window's odd side 2 (ws / 2) + 1 must fit in the DEM.
  const WindowLimits limits = DeclaredWindowLimits("total-depth", "The window size must be at least 1")
                                  .FittingIn(dem->columns, dem->lines, 0);
  if (window.Ask(main_.Session().PixelSize(), limits) != QDialog::Accepted) return;
  title += window.SideText();

  const int windowSize = window.WindowSize();
  const std::shared_ptr<TDemModel> shared = main_.Session().CurrentDemShared();
  const int unitFactor = std::max(1, main_.Session().UnitFactor());
  ProgressSink* sink = main_.Progress();
  // The colours are chosen after the run, from its range: the relief is kept for them, and the
  // value grid is drawn from the same relief, as the declaration draws it.
  using Done = WithDeclaredValues<TotalDepthRelief>;
  auto done = RunTreatment(main_, "ERREUR", GridOf(*dem), [&]() -> Expected<Done> {
    auto relief = ComputeTotalDepthRelief(*shared, windowSize, sink);
    if (!relief) return relief.error();
    ValueGrid values(relief->columns, relief->lines, "m");
    TotalDepthMetres(*relief, unitFactor, values.values.data());
    return Done{std::move(*relief), DeclaredValues("total-depth", std::move(values))};
  });
  if (!done) return;
  const TotalDepthRelief* relief = &done->computed;
  main_.BeginTreatment(title);
  // The visualisation dialog shows the relief range; the treatment goes on however it closes.
  totalDepth_->SetRange(relief->minimum, relief->maximum);
  Prompts().Exec(*totalDepth_);

  BusyCursor busy;
  auto image = std::make_shared<TRasterImage>(RenderTotalDepth(
      *relief, totalDepth_->PaletteChoice(), totalDepth_->ClassTable(), totalDepth_->Smoothing()));
  ShowTreatmentResult(main_, std::move(image),
                      {.title = title,
                       .margin = relief->half + 1,
                       .mode = DisplayMode::kColour,
                       .placement = totalDepth_->Placement()},
                      done->values);
}

void TRoughnessCommands::Surface3DTreatment1Click() {
  TDemModel* dem = main_.Session().CurrentDem();
  if (!dem) return;
  QString title = " 3D SURFACE  WINDOW SIZE ";
  TWindowSizeDialog& window = WindowSizeDialogOf(main_);
  if (window.Ask(main_.Session().PixelSize()) != QDialog::Accepted) return;
  const int S = window.WindowSize();
  title += QString::asprintf(" %d x %d ", S, S);

  TreatmentArgs args;
  args.Set("window", S);
  auto run = RunDeclaredTreatment(main_, "surface3d", args);
  if (!run) return;
  main_.BeginTreatment(title);
  ShowTreatmentResult(main_, run->Picture(), {.title = title, .margin = run->output.margin}, *run);
}

void InstallRoughnessCommands(TWorkbench& main) {
  auto* module = new TRoughnessCommands(main);
  ConnectAction(main, "LocalFractalTreatment1", module, &TRoughnessCommands::LocalFractalTreatment1Click);
  ConnectAction(main, "TotalDepthTreatment1", module, &TRoughnessCommands::TotalDepthTreatment1Click);
  ConnectAction(main, "Surface3DTreatment1", module, &TRoughnessCommands::Surface3DTreatment1Click);
}

}  // namespace orvane
