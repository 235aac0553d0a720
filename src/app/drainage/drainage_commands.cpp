// The drainage commands of the main frame: extraction of the network from the DEM, the four
// dissection densities and their information window, the headwaters density, and the
// incrusting of the network into the parameter image, each run through its declaration.
#include <QAction>
#include <functional>
#include <memory>
#include <utility>

#include "app/display/diagram_forms.h"
#include "app/drainage/drainage_forms.h"
#include "app/shell/window_size_dialog.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_menu.h"
#include "app/shell/workbench.h"
#include "core/drainage/density_treatment.h"
#include "core/drainage/incrust.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

namespace {

// "DEM Form" > "Extract Drainage Network".
void ExtractDrainageNetwork(TWorkbench& main, TDrainageExtractionDialog& extraction) {
  if (!main.Session().CurrentDem()) return;
  if (Prompts().Exec(extraction) != QDialog::Accepted) return;
  auto run = RunDeclaredTreatment(main, kExtractDrainageTreatment, extraction.Args(), kOutputPicture);
  if (!run) return;  // cancelled or failed: the network and the view stay as they were
  main.ShowDrainageRaster(run->Picture(), true);
}

// "Dissection Density" > "Grid" / "Moving Window" > "Pixel Density" / "Drainage Length".
void DissectionDensity(TWorkbench& main, DensityTiling tiling, DensityMeasure measure) {
  if (!main.Session().DrainageRaster() || !main.NetworkMatchesDem("ERROR")) return;
  TWindowSizeDialog& window = WindowSizeDialogOf(main);
  const WindowLimits limits =
      DeclaredWindowLimits(kDissectionTreatment, "The window size must be at least 2 pixels");
  if (window.Ask(main.Session().PixelSize(), limits) != QDialog::Accepted) return;
  const QString title = DissectionTitle({.tiling = tiling, .measure = measure}) + window.SideText();
  const bool moving = tiling == DensityTiling::kMoving;
  TreatmentArgs args;
  args.Set("tiling", moving ? 1 : 0);
  args.Set("measure", measure == DensityMeasure::kLength ? 1 : 0);
  args.Set("window", window.WindowSize());
  // A moving-window result is the parameter image too.
  const auto wrapped = RunInDensityPalette<DensityField>(
      main, kDissectionTreatment, args, title, moving, [&main](const DensityField& field) {
        TDissectionDiagram& diagram = DiagramWindow<TDissectionDiagram>(main);
        diagram.Counts() = field.histogram;
        diagram.SetBound(field.bound);
      });
  if (!wrapped) return;
  if (!*wrapped) {
    // The gray histogram is offered for the grid results only.
    if (moving && main.Session().DisplayMode() == DisplayMode::kGray) {
      main.SetEnabled("GrayHisto1", false);
      main.SetEnabled("HistoGrSpeedButton", false);
    }
    main.Session().SetDiagramKind(DiagramKind::kDissectionDensity);
  }
  Prompts().Exec(DiagramWindow<TDissectionDiagram>(main));
}

// "Headwaters Density" > "Treatment".
void HeadwatersDensity(TWorkbench& main) {
  if (!main.Session().DrainageRaster() || !main.Session().CurrentDem() ||
      !main.NetworkMatchesDem("ERROR"))
    return;
  THeadwatersDialog& form = FrameChild<THeadwatersDialog>(main);
  form.SetPixelSize(main.Session().PixelSize());
  // The treatment goes on however the dialog is closed, as long as HWS is a number.
  if (!form.ExecForValues(main, "ERROR")) return;
  const QString title = " HEADWATERS DENSITY   MOVING WINDOW SIZE " +
                        QString::asprintf("%2.3f x %2.3f km", form.SideKm(), form.SideKm());
  RunAndShow(main, kHeadwatersTreatment, form.Args(), title, form.Placement());
}

// "Incrust Drainage" > "-> Parameter Image".
void IncrustDrainage(TWorkbench& main) {
  const TSession& session = main.Session();
  if (!session.DrainageRaster()) return;
  if (!session.ParameterImage()) {
    Prompts().Warning(&main, "ERREUR", kNoParameterImageMessage);
    return;
  }
  auto run = RunDeclaredTreatment(main, kIncrustTreatment, {}, kOutputPicture);
  if (!run) return;
  // The caption, display mode, margin and menus stay as they are.
  main.ShowParameterImage(run->Picture(), session.ParameterTitle(), session.Margin(), session.DisplayMode());
}

}  // namespace

void InstallDrainageCommands(TWorkbench& main) {
  // The dialogs exist from start-up, like every dialog of the program.
  WindowSizeDialogOf(main);
  DensityPaletteDialogOf(main);
  QDialog* method = MakeDissectionMethodForm(&main);
  FrameChild<THeadwatersDialog>(main);
  auto* extraction = new TDrainageExtractionDialog(&main);
  TWorkbench* frame = &main;
  auto density = [frame](DensityTiling tiling, DensityMeasure measure) {
    return [=] { DissectionDensity(*frame, tiling, measure); };
  };
  const std::pair<const char*, std::function<void()>> items[] = {
      {"ExtractDrainageNetwork1", [=] { ExtractDrainageNetwork(*frame, *extraction); }},
      {"PixelDensity1", density(DensityTiling::kGrid, DensityMeasure::kPixels)},
      {"DrainageLength1", density(DensityTiling::kGrid, DensityMeasure::kLength)},
      {"PixelDensity2", density(DensityTiling::kMoving, DensityMeasure::kPixels)},
      {"DrainageLength2", density(DensityTiling::kMoving, DensityMeasure::kLength)},
      {"DiesstionDensityInfo1", [method] { Prompts().Exec(*method); }},
      {"Headwaterstreatment1", [frame] { HeadwatersDensity(*frame); }},
      {"ParameterImage1", [frame] { IncrustDrainage(*frame); }},
  };
  for (const auto& [action, handler] : items) ConnectAction(main, action, &main, handler);
}

}  // namespace orvane
