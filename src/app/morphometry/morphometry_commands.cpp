#include "app/morphometry/morphometry_commands.h"

#include <QAction>
#include <memory>

#include "app/display/diagram_forms.h"
#include "app/drainage/dissection_forms.h"
#include "app/shell/window_size_dialog.h"
#include "app/shell/workbench.h"
#include "app/morphometry/morphometry_forms.h"
#include "app/shell/busy_cursor.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_run.h"
#include "app/shell/treatment_menu.h"
#include "core/drainage/density_image.h"
#include "core/drainage/density_treatment.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/morphometry/ratio_depth.h"

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
  const std::shared_ptr<TRasterImage> drainage = main_.Session().DrainageRaster();
  if (!drainage) return;
  QString title = " FRACTAL DIMENSION   MOVING WINDOW SIZE ";
  TDrainageFractalDialog& form = DrainageFractalDialogOf(main_);
  Prompts().Exec(form);  // however it is closed, the treatment runs with the settings shown
  title += QString::asprintf("%d ", form.WindowSize());
  const DrainageFractalParams params{mode, form.WindowSize(), form.DynamicScale()};
  const ResultKind placement = form.Placement();

  ProgressSink* sink = main_.Progress();
  // The dimensions are taken in the same pass as the picture, as the declaration takes them.
  auto done = RunTreatment(main_, "ERROR", GridOf(*drainage), [&] {
    return ComputeWithValues("drainage-fractal", drainage->columns, drainage->lines, "",
                             [&](float* dimensions) {
                               DrainageFractalParams withValues = params;
                               withValues.values = dimensions;
                               return ComputeDrainageFractal(*drainage, withValues, sink);
                             });
  });
  if (!done) return;
  DrainageFractalResult* result = &done->computed;

  main_.BeginTreatment(title);
  TDrainageFractalDiagram& diagram = DiagramWindow<TDrainageFractalDiagram>(main_);
  if (mode == FractalMode::kGlobal) DiagramWindow<TLocalFractalDiagram>(main_).Counts().fill(0);
  diagram.Counts() = result->histogram;
  diagram.SetUpperBound(result->upperBound);

  ShowTreatmentResult(main_, std::make_shared<TRasterImage>(std::move(result->image)),
                      {.title = title, .margin = result->margin, .placement = placement},
                      done->values);
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
  const std::shared_ptr<TRasterImage> drainage = main_.Session().DrainageRaster();
  QString title = " 3D DISSECTION DENSITY   MOVING WINDOW SIZE ";
  TWindowSizeDialog& window = WindowSizeDialogOf(main_);
  // The window's odd side 2 trunc((ws - 1) / 2) + 1 must fit in the DEM.
  const WindowLimits limits =
      DeclaredWindowLimits("dissection3d", "The window size must be at least 2 pixels")
          .FittingIn(dem->columns, dem->lines, 1);
  if (window.Ask(main_.Session().PixelSize(), limits) != QDialog::Accepted) return;
  title += window.SideText();

  Dissection3DParams params;
  params.windowSize = window.WindowSize();
  params.unitDivisor = main_.Session().UnitFactor();
  params.pixelSize = main_.Session().PixelSize();
  const std::shared_ptr<TDemModel> demShared = main_.Session().CurrentDemShared();
  ProgressSink* sink = main_.Progress();
  // The colours are chosen after the run: the result is kept, and its values drawn from it as
  // the declaration draws them.
  using Done = WithDeclaredValues<Dissection3DResult>;
  auto done = RunTreatment(main_, "ERROR", GridOf(*dem), [&]() -> Expected<Done> {
    auto computed = ComputeDissection3D(*demShared, *drainage, params, sink);
    if (!computed) return computed.error();
    ValueGrid values = Dissection3DValues(*computed);
    return Done{std::move(*computed), DeclaredValues("dissection3d", std::move(values))};
  });
  if (!done) return;
  const Dissection3DResult* result = &done->computed;

  main_.BeginTreatment(title);
  TDissection3DDiagram& diagram = DiagramWindow<TDissection3DDiagram>(main_);
  std::vector<std::int32_t>& flat = DiagramWindow<TDissectionDiagram>(main_).Counts();
  flat.assign(flat.size(), 0);
  TClassPaletteDialog& palette = DensityPaletteDialogOf(main_);
  palette.SetRange(result->minimum, result->maximum);
  Prompts().Exec(palette);  // the treatment goes on however the dialog is closed
  std::unique_ptr<BusyCursor> busy = std::make_unique<BusyCursor>();

  const bool gray = palette.PaletteChoice() == kGrayTones0255;
  auto raster = std::make_shared<TRasterImage>(
      Dissection3DImage(*result, palette.PaletteChoice(), palette.ClassTable(), palette.Smoothing()));
  diagram.Counts2D() = result->histogram2D;
  diagram.Counts3D() = result->histogram3D;
  diagram.SetBound(result->upperBound);

  const bool wrapped = ShowTreatmentResult(main_, std::move(raster),
                                           {.title = title,
                                            .margin = gray ? 1 : main_.Session().Margin(),
                                            .mode = gray ? DisplayMode::kGray : DisplayMode::kColour,
                                            .placement = palette.Placement(),
                                            .wrappedAlsoParameter = true},
                                           done->values);
  if (!wrapped) {
    main_.Session().SetDiagramKind(DiagramKind::kDissectionDensity3D);
  } else if (gray) {
    main_.Session().SetMargin(result->halfWidth + 1);  // the parameter image's margin m + 1
  }
  busy.reset();
  Prompts().Exec(diagram);
}

void TMorphometryCommands::RatioDepthTreatment1Click() {
  TDemModel* dem = DemUnderNetwork();
  if (!dem) return;
  const std::shared_ptr<TRasterImage> drainage = main_.Session().DrainageRaster();
  QString title = " DEPTH DRAINAGE/SURFACE   GRID SIZE ";
  TWindowSizeDialog& window = WindowSizeDialogOf(main_);
  // The window's odd side 2 trunc(ws / 2) + 1 must fit in the DEM, and span more than a cell
  // (the declaration takes any window from 0).
  const WindowLimits limits =
      DeclaredWindowLimits("ratio-depth", "The window size must be at least 2 pixels", 2)
          .FittingIn(dem->columns, dem->lines, 0);
  if (window.Ask(main_.Session().PixelSize(), limits) != QDialog::Accepted) return;
  TRatioOfDepthsDialog& form = RatioOfDepthsDialogOf(main_);
  if (Prompts().Exec(form) != QDialog::Accepted) return;
  title += window.SideText();

  const RatioDepthParams params{window.WindowSize(), form.DynamicScale()};
  const std::shared_ptr<TDemModel> demShared = main_.Session().CurrentDemShared();
  ProgressSink* sink = main_.Progress();
  // The ratios are taken in the same pass as the picture, as the declaration takes them.
  auto done = RunTreatment(main_, "ERROR", GridOf(*dem), [&] {
    return ComputeWithValues("ratio-depth", drainage->columns, drainage->lines, "",
                             [&](float* ratios) {
                               RatioDepthParams withRatios = params;
                               withRatios.ratios = ratios;
                               return ComputeRatioDepth(*demShared, *drainage, withRatios, sink);
                             });
  });
  if (!done) return;
  RatioDepthResult* result = &done->computed;
  main_.BeginTreatment(title);
  ShowTreatmentResult(main_, std::make_shared<TRasterImage>(std::move(result->image)),
                      {.title = title, .margin = result->margin, .placement = form.Placement()},
                      done->values);
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
