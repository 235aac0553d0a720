// The desktop's one runner: every menu treatment runs through its declaration's `run`, under the
// progress window, off the GUI thread, a cancel and an allocation failure ending the same way
// (nothing changed; the memory message shown). Its picture then goes to its window and its value
// grid becomes the current result's (status readout, value export, value histogram).
//
//   TreatmentArgs args = dialog.Args();                    // every dialog value read first
//   auto run = RunDeclaredTreatment(main, kCircularTreatment, args);
//   if (!run) return;                                      // cancelled, or the error shown
//   main.BeginTreatment(title);
//   ShowTreatmentResult(main, *run, {.title = title, .placement = dialog.Placement()});
//
// A treatment whose colours are chosen after the run (from its range, its diagram) asks for
// kOutputDrawing, shows its dialog, then draws with the display parameters:
//
//   auto run = RunDeclaredTreatment(main, kTotalDepthTreatment, args,
//                                   kOutputDrawing | kOutputValues | kOutputFigures);
//   ...                                                    // the visualisation dialog
//   if (!RenderDeclaredPicture(main, *run, dialog.DisplayArgs())) return;
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "app/shell/result_kind.h"
#include "app/shell/session.h"
#include "core/treatment/declared_run.h"

namespace orvane {

class TWorkbench;

// What a run reads of the frame besides the DEM, copied on the GUI thread.
DeclaredContext ContextOf(TWorkbench& main);

// The runner: `treatment` on the current DEM (none needed by a treatment that reads no DEM)
// under the progress window; empty after a cancel or once an error (a refused parameter, a
// missing input, a failed run, the memory running out) was shown under `caption`.
std::optional<DeclaredRun> RunDeclaredTreatment(
    TWorkbench& main, const TreatmentDescriptor& treatment, const TreatmentArgs& args,
    unsigned wanted = kOutputPicture | kOutputValues, const QString& caption = "ERREUR");

// The second phase of a run asked for kOutputDrawing: the picture drawn with the display
// parameters `display` (the dialog's choices) into run.output.picture.
// False once the error was shown under `caption`.
bool RenderDeclaredPicture(TWorkbench& main, DeclaredRun& run, const TreatmentArgs& display,
                           const QString& caption = "ERREUR");

// How a treatment's picture is shown.
struct ResultDisplay {
  QString title;  // the parameter window's caption (with "  (1:1)") and the session's title
  int margin = 0;  // the border the treatment left uncomputed (0: the run's own)
  DisplayMode mode = DisplayMode::kGray;
  ResultKind placement = ResultKind::kParameterImage;
  // A wrapped picture also becomes the current parameter image, without a title or margin.
  bool wrappedAlsoParameter = false;
};

// The end of a treatment once its picture is made: the picture goes over the DEM (wrapped) or
// to the parameter window as `display` says, then the run's value grid, if any, becomes the
// current result's, read where the picture went. True when the picture was wrapped.
bool ShowTreatmentResult(TWorkbench& main, std::shared_ptr<TRasterImage> picture,
                         const ResultDisplay& display, DeclaredRun& run);
// The same with the run's own picture; its margin unless `display` gives one, in colour when
// the run's picture is a colour one.
bool ShowTreatmentResult(TWorkbench& main, DeclaredRun& run, ResultDisplay display);
// The same for a picture without a value grid.
bool ShowTreatmentResult(TWorkbench& main, std::shared_ptr<TRasterImage> picture,
                         const ResultDisplay& display);

}  // namespace orvane
