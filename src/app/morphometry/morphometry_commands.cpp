#include "app/morphometry/morphometry_commands.h"

#include <QAction>
#include <memory>

#include "app/display/diagram_forms.h"
#include "app/drainage/dissection_forms.h"
#include "app/shell/workbench.h"
#include "app/morphometry/morphometry_forms.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_menu.h"
#include "core/drainage/density_treatment.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

TMorphometryCommands::TMorphometryCommands(TWorkbench& main) : QObject(&main), main_(main) {
  // The dialogs exist from start-up, like every dialog of the program.
  DrainageFractalDialogOf(main);
  DrainageFractalInfoFormOf(main);
  RatioOfDepthsDialogOf(main);
  WindowSizeDialogOf(main);
  DensityPaletteDialogOf(main);
  DiagramWindow<TDrainageFractalDiagram>(main);
  DiagramWindow<TDissection3DDiagram>(main);
}

void TMorphometryCommands::DrainageFractal(FractalMode mode) {
  if (!main_.Session().DrainageRaster()) return;
  TDrainageFractalDialog& form = DrainageFractalDialogOf(main_);
  Prompts().Exec(form);  // however it is closed, the treatment runs with the settings shown
  const QString title = QString::asprintf(" FRACTAL DIMENSION   MOVING WINDOW SIZE %d ", form.WindowSize());
  TreatmentArgs args;
  args.Set("mode", mode == FractalMode::kGlobal ? 0 : 1);
  args.Set("window", form.WindowSize());
  args.Set("scale", form.DynamicScale());
  // The diagram is filled from the result the run keeps.
  auto run = RunDeclaredTreatment(main_, kDrainageFractalTreatment, args, kOutputDrawing | kOutputValues);
  if (!run) return;
  auto picture = run->treatment->render(run->output, args);
  if (!picture) return;  // the kept result always draws
  const auto& result = std::any_cast<const DrainageFractalResult&>(run->output.drawing);

  main_.BeginTreatment(title);
  TDrainageFractalDiagram& diagram = DiagramWindow<TDrainageFractalDiagram>(main_);
  if (mode == FractalMode::kGlobal) DiagramWindow<TLocalFractalDiagram>(main_).Counts().fill(0);
  diagram.Counts() = result.histogram;
  diagram.SetUpperBound(result.upperBound);

  ShowTreatmentResult(main_, std::shared_ptr<TRasterImage>(std::move(*picture)),
                      {.title = title, .margin = result.margin, .placement = form.Placement()}, *run);
  main_.Session().SetDiagramKind(DiagramKind::kDrainageFractalDimension);
  Prompts().Exec(diagram);
}

void TMorphometryCommands::FractalDimensionInfo1Click() {
  Prompts().Exec(DrainageFractalInfoFormOf(main_));
}

TDemModel* TMorphometryCommands::DemUnderNetwork() {
  if (!main_.Session().DrainageRaster()) return nullptr;
  TDemModel* dem = main_.Session().CurrentDem();
  if (!dem) {  // a network opened from a file before any DEM
    Prompts().Warning(&main_, "ERROR", "No DEM is open");
    return nullptr;
  }
  return main_.NetworkMatchesDem("ERROR") ? dem : nullptr;
}

void TMorphometryCommands::DissectionDensity3DTreatment1Click() {
  TDemModel* dem = DemUnderNetwork();
  if (!dem) return;
  TWindowSizeDialog& window = WindowSizeDialogOf(main_);
  // The window's odd side 2 trunc((ws - 1) / 2) + 1 must fit in the DEM.
  const WindowLimits limits =
      DeclaredWindowLimits("dissection3d", "The window size must be at least 2 pixels")
          .FittingIn(dem->columns, dem->lines, 1);
  if (window.Ask(main_.Session().PixelSize(), limits) != QDialog::Accepted) return;
  // The lengths along the terrain need the elevations in metres: an unset unit is said, not
  // taken for metres.
  if (main_.Session().UnitFactor() < 1) {
    Prompts().Warning(&main_, "ERROR",
                      "The vertical unit of the DEM is not set: open the DEM again and complete "
                      "its dynamic scale.");
    return;
  }
  const QString title = " 3D DISSECTION DENSITY   MOVING WINDOW SIZE " + window.SideText();
  TreatmentArgs args;
  args.Set("window", window.WindowSize());
  // The colours are chosen after the run, from the range of its densities.
  auto run = RunDeclaredTreatment(main_, kDissection3DTreatment, args, kOutputDrawing | kOutputValues);
  if (!run) return;
  const Dissection3DResult& result =
      std::any_cast<const DensityDrawing<Dissection3DResult>&>(run->output.drawing).computed;

  main_.BeginTreatment(title);
  TDissection3DDiagram& diagram = DiagramWindow<TDissection3DDiagram>(main_);
  diagram.Counts2D() = result.histogram2D;
  diagram.Counts3D() = result.histogram3D;
  diagram.SetBound(result.upperBound);
  std::vector<std::int32_t>& flat = DiagramWindow<TDissectionDiagram>(main_).Counts();
  flat.assign(flat.size(), 0);
  const int halfWidth = result.halfWidth;
  const auto wrapped = ShowInDensityPalette(main_, *run, result.minimum, result.maximum, title, true);
  if (!wrapped) return;
  if (!*wrapped) {
    main_.Session().SetDiagramKind(DiagramKind::kDissectionDensity3D);
  } else if (main_.Session().DisplayMode() == DisplayMode::kGray) {
    main_.Session().SetMargin(halfWidth + 1);  // the parameter image's margin m + 1
  }
  Prompts().Exec(diagram);
}

void TMorphometryCommands::RatioDepthTreatment1Click() {
  TDemModel* dem = DemUnderNetwork();
  if (!dem) return;
  TWindowSizeDialog& window = WindowSizeDialogOf(main_);
  // The window's odd side 2 trunc(ws / 2) + 1 must fit in the DEM, and span more than a cell
  // (the declaration takes any window from 0).
  const WindowLimits limits =
      DeclaredWindowLimits("ratio-depth", "The window size must be at least 2 pixels", 2)
          .FittingIn(dem->columns, dem->lines, 0);
  if (window.Ask(main_.Session().PixelSize(), limits) != QDialog::Accepted) return;
  TRatioOfDepthsDialog& form = RatioOfDepthsDialogOf(main_);
  if (Prompts().Exec(form) != QDialog::Accepted) return;
  const QString title = " DEPTH DRAINAGE/SURFACE   GRID SIZE " + window.SideText();
  TreatmentArgs args;
  args.Set("window", window.WindowSize());
  args.Set("scale", form.DynamicScale());
  auto run = RunDeclaredTreatment(main_, kRatioDepthTreatment, args);
  if (!run) return;
  main_.BeginTreatment(title);
  ShowTreatmentResult(main_, run->Picture(),
                      {.title = title, .margin = run->output.margin, .placement = form.Placement()},
                      *run);
}

void TMorphometryCommands::FractRed1Click() { Prompts().Exec(DiagramWindow<TDrainageFractalDiagram>(main_)); }

void TMorphometryCommands::DiagDD3D1Click() { Prompts().Exec(DiagramWindow<TDissection3DDiagram>(main_)); }

void InstallMorphometryCommands(TWorkbench& main) {
  auto* commands = new TMorphometryCommands(main);
  ConnectAction(main, "DFRedGlobal1", commands, &TMorphometryCommands::DFRedGlobal1Click);
  ConnectAction(main, "FractalDimensionTreatment1", commands, &TMorphometryCommands::FractalDimensionTreatment1Click);
  ConnectAction(main, "FractalDimensionInfo1", commands, &TMorphometryCommands::FractalDimensionInfo1Click);
  ConnectAction(main, "DissectionDensity3DTreatment1", commands,
                &TMorphometryCommands::DissectionDensity3DTreatment1Click);
  ConnectAction(main, "RatioDepthTreatment1", commands, &TMorphometryCommands::RatioDepthTreatment1Click);
  // The Diagram button and the Diagram submenu open these through the frame.
  main.RegisterDiagram(DiagramKind::kDissectionDensity3D,
                       [commands] { commands->DiagDD3D1Click(); });
  main.RegisterDiagram(DiagramKind::kDrainageFractalDimension,
                       [commands] { commands->FractRed1Click(); });
}

}  // namespace orvane
