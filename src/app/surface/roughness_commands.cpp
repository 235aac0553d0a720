#include "app/surface/roughness_commands.h"

#include <QAction>
#include <algorithm>
#include <any>
#include <memory>

#include "app/display/diagram_forms.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_menu.h"
#include "app/shell/window_size_dialog.h"
#include "app/shell/workbench.h"
#include "app/surface/local_fractal_form.h"
#include "app/surface/total_depth_form.h"
#include "core/surface/local_fractal.h"
#include "core/treatment/treatment_registry.h"

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
  // The treatment runs however the dialog is closed, with the values it holds, as long as
  // they can give a result (OK refuses anything else and keeps the dialog open).
  const int unit = std::max(1, main_.Session().UnitFactor());
  const auto metres = [unit](double z) { return static_cast<std::int64_t>(z) / unit; };
  localFractal_->SetRelief(metres(dem->maxElevation) - metres(dem->minElevation),
                           main_.Session().PixelSize());
  Prompts().Exec(*localFractal_);
  if (const QString refusal = localFractal_->Refusal(); !refusal.isEmpty()) {
    Prompts().Warning(&main_, "ERREUR", refusal);
    return;
  }
  TreatmentArgs args;
  args.Set("window", localFractal_->WindowSize());
  args.Set("h", localFractal_->FactorH());
  auto run = RunDeclaredTreatment(main_, kLocalFractalTreatment, args,
                                  kOutputValues | kOutputFigures | kOutputDrawing);
  if (!run) return;
  const QString title = " LOCAL FRACTAL DIMENSION  WINDOW SIZE " +
                        QString::asprintf(" %d ", localFractal_->WindowSize()) +
                        QString::asprintf(" Coeff H = %4.2lf ", localFractal_->FactorH());
  main_.BeginTreatment(title);
  Prompts().Warning(&main_, "LOCAL FRACTAL DIMENSION",
                    QString::asprintf("Min = %lf Max = %lf ", run->FigureValue("min"),
                                      run->FigureValue("max")));
  TLocalFractalDiagram& diagram = DiagramWindow<TLocalFractalDiagram>(main_);
  const auto& drawn = std::any_cast<const LocalFractalDiagram&>(run->output.drawing);
  std::copy(drawn.counts.begin(), drawn.counts.end(), diagram.Counts().begin());
  diagram.SetUpperBound(drawn.upper);
  diagram.SetStart(drawn.start);
  // No placement choice: always the parameter image, whose printing items come with it.
  ShowTreatmentResult(main_, *run, {.title = title});
  main_.Session().SetDiagramKind(DiagramKind::kLocalFractal);
  Prompts().Exec(diagram);
}

void TRoughnessCommands::TotalDepthTreatment1Click() {
  TDemModel* dem = main_.Session().CurrentDem();
  if (!dem) return;
  TWindowSizeDialog& window = WindowSizeDialogOf(main_);
  // The window's odd side 2 (ws / 2) + 1 must fit in the DEM.
  const WindowLimits limits = DeclaredWindowLimits(kTotalDepthTreatment, "The window size must be at least 1")
                                  .FittingIn(dem->columns, dem->lines, 0);
  if (window.Ask(main_.Session().PixelSize(), limits) != QDialog::Accepted) return;
  const QString title = " TOTAL DEPTH   GRID SIZE " + window.SideText();
  TreatmentArgs args;
  args.Set("window", window.WindowSize());
  // The colours are chosen after the run, from its range.
  auto run = RunDeclaredTreatment(main_, kTotalDepthTreatment, args,
                                  kOutputDrawing | kOutputValues | kOutputFigures);
  if (!run) return;
  main_.BeginTreatment(title);
  // The visualisation dialog shows the relief range; the treatment goes on however it closes.
  totalDepth_->SetRange(static_cast<int>(run->FigureValue("min")),
                        static_cast<int>(run->FigureValue("max")));
  Prompts().Exec(*totalDepth_);
  if (!RenderDeclaredPicture(main_, *run, totalDepth_->DisplayArgs())) return;
  ShowTreatmentResult(main_, *run, {.title = title, .placement = totalDepth_->Placement()});
}

void TRoughnessCommands::Surface3DTreatment1Click() {
  if (!main_.Session().CurrentDem()) return;
  TWindowSizeDialog& window = WindowSizeDialogOf(main_);
  const WindowLimits limits = DeclaredWindowLimits(kSurface3DTreatment, "The window size must be at least 1");
  if (window.Ask(main_.Session().PixelSize(), limits) != QDialog::Accepted) return;
  const int side = window.WindowSize();
  TreatmentArgs args;
  args.Set("window", side);
  auto run = RunDeclaredTreatment(main_, kSurface3DTreatment, args);
  if (!run) return;
  const QString title = " 3D SURFACE  WINDOW SIZE " + QString::asprintf(" %d x %d ", side, side);
  main_.BeginTreatment(title);
  ShowTreatmentResult(main_, *run, {.title = title});
}

void InstallRoughnessCommands(TWorkbench& main) {
  auto* module = new TRoughnessCommands(main);
  ConnectAction(main, "LocalFractalTreatment1", module, &TRoughnessCommands::LocalFractalTreatment1Click);
  ConnectAction(main, "TotalDepthTreatment1", module, &TRoughnessCommands::TotalDepthTreatment1Click);
  ConnectAction(main, "Surface3DTreatment1", module, &TRoughnessCommands::Surface3DTreatment1Click);
}

}  // namespace orvane
