// The list of command modules: each treatment or group of commands plugs into the main frame
// here, and only here.
//
// How a module is written (src/app/<group>/<group>_commands.cpp):
//
//   void InstallSlopeCommands(TWorkbench& main) {
//     // A QObject child of the frame holds the module's dialogs (made once, reused, so their
//     // values persist) and its handlers.
//     auto* module = new SlopeCommands(main);            // parent: &main
//     QObject::connect(main.Action("SlopeTreatment1"), &QAction::triggered, module,
//                      &SlopeCommands::SlopeTreatment1Click);
//   }
//
// Menu items and tool-bar buttons are QActions found by component name (main.Action("...")),
// submenus QMenus (main.Menu("...")); main.SetEnabled / SetVisible change either. A handler
// of the treatment pattern:
//   if (Prompts().Exec(dialog) != QDialog::Accepted) return;
//   const Params params = dialog.Params();                 // copy every value the work needs
//   ProgressSink* sink = main.Progress();
//   auto result = RunTreatment(main, "ERREUR", GridOf(*dem),    // app/shell/treatment_run.h
//                              [&] { return ComputeSomething(*dem, params, sink); });
//   if (!result) return;             // cancelled, out of memory or failed: the message is shown
//   main.BeginTreatment(" SLOPE ");                       // title; hides the direction histogram
//   ShowTreatmentResult(main, std::move(raster),          // app/shell/declared_treatment.h
//                       {.title = title, .margin = margin, .mode = displayMode,
//                        .placement = dialog.Placement()},
//                       values);     // the parameter or DEM window, then the result's values
// The computation runs off the GUI thread under the modal window "Progression" with its
// Cancel button: it reads only core data (never a widget), and nothing of the frame changes
// before the result is back, so a cancel leaves everything as it was.
// Message boxes, file dialogs and modal dialogs always go through Prompts() (tests replace
// it). The user's data is main.Session() (app/shell/session.h): the DEM, U and P
// (UnitFactor(), PixelSize()), the drainage raster (null until one was extracted or opened),
// the relief to blend with (OpeningRelief()), the file names. The light and directories come
// from main.Settings(). Diagram windows register with main.RegisterDiagram(kind, opener) (the
// Diagram button and the Diagram submenu items are then connected) and treatments call
// main.Session().SetDiagramKind(kind).
// Modules that keep figures of the opened DEM connect to the signal TWorkbench::DemOpened.
//
// To add a module: declare its installer below and call it in InstallCommandModules.
#include "app/command_modules.h"

#include "app/shell/declared_dialog.h"

#include "app/shell/workbench.h"

namespace orvane {

void InstallFileCommands(TWorkbench& main);
void InstallDiagramCommands(TWorkbench& main);
void InstallSurfaceCommands(TWorkbench& main);
void InstallDrainageCommands(TWorkbench& main);
void InstallMorphometryCommands(TWorkbench& main);
void InstallReliefCommands(TWorkbench& main);
void InstallExchangeCommands(TWorkbench& main);
void InstallGdalCommands(TWorkbench& main);

void InstallCommandModules(TWorkbench& main) {
  InstallFileCommands(main);
  InstallDiagramCommands(main);
  InstallSurfaceCommands(main);
  InstallDrainageCommands(main);
  InstallMorphometryCommands(main);
  InstallReliefCommands(main);
  InstallExchangeCommands(main);
  InstallGdalCommands(main);
  // Declared treatments without a dialog of their own: a generic one under "More Treatments".
  InstallDeclaredTreatments(main, AllTreatments());
}

}  // namespace orvane
