// The drainage morphometry commands of the main frame: fractal dimension of the network
// (global and drainage segments) and its information window, 3D dissection density, ratio of
// drainage depth to surface, each run through its declaration.
#include <QAction>
#include <functional>
#include <memory>
#include <utility>

#include "app/display/diagram_forms.h"
#include "app/drainage/drainage_forms.h"
#include "app/shell/window_size_dialog.h"
#include "app/shell/workbench.h"
#include "app/morphometry/morphometry_forms.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_menu.h"
#include "core/drainage/density_treatment.h"
#include "core/morphometry/drainage_fractal.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

namespace {

// "Fractal Dimension" > "Global Treatment" / "Drainage Segments".
void DrainageFractal(TWorkbench& main, FractalMode mode) {
  if (!main.Session().DrainageRaster()) return;
  TDrainageFractalDialog& form = FrameChild<TDrainageFractalDialog>(main);
  Prompts().Exec(form);  // however it is closed, the treatment runs with the settings shown
  const QString title = QString::asprintf(" FRACTAL DIMENSION   MOVING WINDOW SIZE %d ", form.WindowSize());
  TreatmentArgs args;
  args.Set("mode", mode == FractalMode::kGlobal ? 0 : 1);
  args.Set("window", form.WindowSize());
  args.Set("scale", form.DynamicScale());
  // The diagram is filled from the result the run keeps.
  auto run = RunDeclaredTreatment(main, kDrainageFractalTreatment, args, kOutputDrawing | kOutputValues);
  if (!run) return;
  auto picture = run->treatment->render(run->output, args);
  const auto* kept = KeptDrawingOf<DrainageFractalResult>(run->output);
  if (!picture || !kept) return;  // a run asked for its drawing keeps one
  const DrainageFractalResult& result = kept->computed;

  main.BeginTreatment(title);
  TDrainageFractalDiagram& diagram = DiagramWindow<TDrainageFractalDiagram>(main);
  if (mode == FractalMode::kGlobal) {
    std::vector<std::int32_t>& local = DiagramWindow<TLocalFractalDiagram>(main).Counts();
    local.assign(local.size(), 0);
  }
  diagram.Counts() = result.histogram;
  diagram.SetUpperBound(result.upperBound);

  ShowTreatmentResult(main, std::shared_ptr<TRasterImage>(std::move(*picture)),
                      {.title = title, .margin = result.margin, .placement = form.Placement()}, *run);
  main.Session().SetDiagramKind(DiagramKind::kDrainageFractalDimension);
  Prompts().Exec(diagram);
}

// The DEM the drainage network is read over; null when there is no network (silently), no
// DEM or a DEM of another size (both said under "ERROR").
TDemModel* DemUnderNetwork(TWorkbench& main) {
  if (!main.Session().DrainageRaster()) return nullptr;
  TDemModel* dem = main.Session().CurrentDem();
  if (!dem) {  // a network opened from a file before any DEM
    Prompts().Warning(&main, "ERROR", "No DEM is open");
    return nullptr;
  }
  return main.NetworkMatchesDem("ERROR") ? dem : nullptr;
}

// "Dissection Density 3D" > "Treatment".
void DissectionDensity3D(TWorkbench& main) {
  TDemModel* dem = DemUnderNetwork(main);
  if (!dem) return;
  TWindowSizeDialog& window = WindowSizeDialogOf(main);
  // The window's odd side 2 trunc((ws - 1) / 2) + 1 must fit in the DEM.
  const WindowLimits limits =
      DeclaredWindowLimits(kDissection3DTreatment, "The window size must be at least 2 pixels")
          .FittingIn(dem->columns, dem->lines, 1);
  if (window.Ask(main.Session().PixelSize(), limits) != QDialog::Accepted) return;
  // The lengths along the terrain need the elevations in metres: an unset unit is said, not
  // taken for metres.
  if (main.Session().UnitFactor() < 1) {
    Prompts().Warning(&main, "ERROR",
                      "The vertical unit of the DEM is not set: open the DEM again and complete "
                      "its dynamic scale.");
    return;
  }
  const QString title = " 3D DISSECTION DENSITY   MOVING WINDOW SIZE " + window.SideText();
  TreatmentArgs args;
  args.Set("window", window.WindowSize());
  int halfWidth = 0;
  const auto wrapped = RunInDensityPalette<Dissection3DResult>(
      main, kDissection3DTreatment, args, title, true, [&](const Dissection3DResult& result) {
        TDissection3DDiagram& diagram = DiagramWindow<TDissection3DDiagram>(main);
        diagram.Counts2D() = result.histogram2D;
        diagram.Counts3D() = result.histogram3D;
        diagram.SetBound(result.upperBound);
        std::vector<std::int32_t>& flat = DiagramWindow<TDissectionDiagram>(main).Counts();
        flat.assign(flat.size(), 0);
        halfWidth = result.halfWidth;
      });
  if (!wrapped) return;
  if (!*wrapped) {
    main.Session().SetDiagramKind(DiagramKind::kDissectionDensity3D);
  } else if (main.Session().DisplayMode() == DisplayMode::kGray) {
    main.Session().SetMargin(halfWidth + 1);  // the parameter image's margin m + 1
  }
  Prompts().Exec(DiagramWindow<TDissection3DDiagram>(main));
}

// "Ratio Depth Red/Surface" > "Treatment".
void RatioOfDepths(TWorkbench& main) {
  TDemModel* dem = DemUnderNetwork(main);
  if (!dem) return;
  TWindowSizeDialog& window = WindowSizeDialogOf(main);
  // The window's odd side 2 trunc(ws / 2) + 1 must fit in the DEM, and span more than a cell
  // (the declaration takes any window from 0).
  const WindowLimits limits =
      DeclaredWindowLimits(kRatioDepthTreatment, "The window size must be at least 2 pixels", 2)
          .FittingIn(dem->columns, dem->lines, 0);
  if (window.Ask(main.Session().PixelSize(), limits) != QDialog::Accepted) return;
  TRatioOfDepthsDialog& form = FrameChild<TRatioOfDepthsDialog>(main);
  if (Prompts().Exec(form) != QDialog::Accepted) return;
  const QString title = " DEPTH DRAINAGE/SURFACE   GRID SIZE " + window.SideText();
  TreatmentArgs args;
  args.Set("window", window.WindowSize());
  args.Set("scale", form.DynamicScale());
  RunAndShow(main, kRatioDepthTreatment, args, title, form.Placement());
}

}  // namespace

void InstallMorphometryCommands(TWorkbench& main) {
  // The dialogs exist from start-up, like every dialog of the program.
  FrameChild<TDrainageFractalDialog>(main);
  QDialog* info = MakeDrainageFractalInfoForm(&main);
  FrameChild<TRatioOfDepthsDialog>(main);
  WindowSizeDialogOf(main);
  DensityPaletteDialogOf(main);
  TWorkbench* frame = &main;
  const std::pair<const char*, std::function<void()>> items[] = {
      {"DFRedGlobal1", [frame] { DrainageFractal(*frame, FractalMode::kGlobal); }},
      {"FractalDimensionTreatment1", [frame] { DrainageFractal(*frame, FractalMode::kSegments); }},
      {"FractalDimensionInfo1", [info] { Prompts().Exec(*info); }},
      {"DissectionDensity3DTreatment1", [frame] { DissectionDensity3D(*frame); }},
      {"RatioDepthTreatment1", [frame] { RatioOfDepths(*frame); }},
  };
  for (const auto& [action, handler] : items) ConnectAction(main, action, &main, handler);
}

}  // namespace orvane
