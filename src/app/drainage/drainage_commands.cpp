#include "app/drainage/drainage_commands.h"

#include <QAction>
#include <memory>

#include "app/display/diagram_forms.h"
#include "app/drainage/dissection_forms.h"
#include "app/drainage/extraction_form.h"
#include "app/drainage/headwaters_form.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_menu.h"
#include "app/shell/workbench.h"
#include "core/drainage/density_treatment.h"
#include "core/drainage/incrust.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

TDrainageCommands::TDrainageCommands(TWorkbench& main)
    : QObject(&main), main_(main), extraction_(new TDrainageExtractionDialog(&main)) {
  // The shared dialogs exist from start-up, like every dialog of the program.
  WindowSizeDialogOf(main);
  DensityPaletteDialogOf(main);
  DissectionMethodFormOf(main);
  HeadwatersDialogOf(main);
}

void TDrainageCommands::ExtractDrainageNetwork1Click() {
  if (!main_.Session().CurrentDem()) return;
  if (Prompts().Exec(*extraction_) != QDialog::Accepted) return;
  auto run = RunDeclaredTreatment(main_, kExtractDrainageTreatment, extraction_->Args(), kOutputPicture);
  if (!run) return;  // cancelled or failed: the network and the view stay as they were
  main_.ShowDrainageRaster(run->Picture(), true);
}

void TDrainageCommands::DissectionDensity(DensityTiling tiling, DensityMeasure measure) {
  if (!main_.Session().DrainageRaster() || !main_.NetworkMatchesDem("ERROR")) return;
  TWindowSizeDialog& window = WindowSizeDialogOf(main_);
  const WindowLimits limits =
      DeclaredWindowLimits("dissection", "The window size must be at least 2 pixels");
  if (window.Ask(main_.Session().PixelSize(), limits) != QDialog::Accepted) return;
  const QString title = DissectionTitle({.tiling = tiling, .measure = measure}) + window.SideText();
  const bool moving = tiling == DensityTiling::kMoving;
  TreatmentArgs args;
  args.Set("tiling", moving ? 1 : 0);
  args.Set("measure", measure == DensityMeasure::kLength ? 1 : 0);
  args.Set("window", window.WindowSize());
  // The colours are chosen after the run, from the range of its densities.
  auto run = RunDeclaredTreatment(main_, kDissectionTreatment, args, kOutputDrawing | kOutputValues);
  if (!run) return;
  const auto& drawing = std::any_cast<const DissectionDrawing&>(run->output.drawing);

  main_.BeginTreatment(title);
  TDissectionDiagram& diagram = DiagramWindow<TDissectionDiagram>(main_);
  diagram.Counts() = drawing.histogram;
  diagram.SetBound(drawing.bound);
  // A moving-window result is the parameter image too.
  const auto wrapped = ShowInDensityPalette(main_, *run, drawing.computed.minimum,
                                            drawing.computed.maximum, title, moving);
  if (!wrapped) return;
  if (!*wrapped) {
    // The gray histogram is offered for the grid results only.
    if (moving && main_.Session().DisplayMode() == DisplayMode::kGray) {
      main_.SetEnabled("GrayHisto1", false);
      main_.SetEnabled("HistoGrSpeedButton", false);
    }
    main_.Session().SetDiagramKind(DiagramKind::kDissectionDensity);
  }
  Prompts().Exec(diagram);
}

void TDrainageCommands::DiesstionDensityInfo1Click() { Prompts().Exec(DissectionMethodFormOf(main_)); }

void TDrainageCommands::Headwaterstreatment1Click() {
  if (!main_.Session().DrainageRaster() || !main_.Session().CurrentDem() ||
      !main_.NetworkMatchesDem("ERROR"))
    return;
  THeadwatersDialog& form = HeadwatersDialogOf(main_);
  form.SetPixelSize(main_.Session().PixelSize());
  // The treatment goes on however the dialog is closed, as long as HWS is a number.
  Prompts().Exec(form);
  if (!form.HasHalfWindow()) {
    Prompts().Warning(&main_, "ERROR", THeadwatersDialog::kNoHalfWindow);
    return;
  }
  const QString title = " HEADWATERS DENSITY   MOVING WINDOW SIZE " +
                        QString::asprintf("%2.3f x %2.3f km", form.SideKm(), form.SideKm());
  TreatmentArgs args;
  args.Set("hws", form.HalfWindow());
  args.Set("scale", form.DynamicScale());
  auto run = RunDeclaredTreatment(main_, kHeadwatersTreatment, args);
  if (!run) return;
  main_.BeginTreatment(title);
  ShowTreatmentResult(main_, run->Picture(),
                      {.title = title, .margin = run->output.margin, .placement = form.Placement()},
                      *run);
}

void TDrainageCommands::ParameterImage1Click() {
  const TSession& session = main_.Session();
  if (!session.DrainageRaster()) return;
  if (!session.ParameterImage()) {
    Prompts().Warning(&main_, "ERREUR", kNoParameterImageMessage);
    return;
  }
  auto run = RunDeclaredTreatment(main_, kIncrustTreatment, {}, kOutputPicture);
  if (!run) return;
  // The caption, display mode, margin and menus stay as they are.
  main_.ShowParameterImage(run->Picture(), session.ParameterTitle(), session.Margin(), session.DisplayMode());
}

void InstallDrainageCommands(TWorkbench& main) {
  auto* commands = new TDrainageCommands(main);
  ConnectAction(main, "ExtractDrainageNetwork1", commands, &TDrainageCommands::ExtractDrainageNetwork1Click);
  ConnectAction(main, "PixelDensity1", commands, &TDrainageCommands::PixelDensity1Click);
  ConnectAction(main, "DrainageLength1", commands, &TDrainageCommands::DrainageLength1Click);
  ConnectAction(main, "PixelDensity2", commands, &TDrainageCommands::PixelDensity2Click);
  ConnectAction(main, "DrainageLength2", commands, &TDrainageCommands::DrainageLength2Click);
  ConnectAction(main, "DiesstionDensityInfo1", commands, &TDrainageCommands::DiesstionDensityInfo1Click);
  ConnectAction(main, "Headwaterstreatment1", commands, &TDrainageCommands::Headwaterstreatment1Click);
  ConnectAction(main, "ParameterImage1", commands, &TDrainageCommands::ParameterImage1Click);
}

}  // namespace orvane
