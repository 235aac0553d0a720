// A menu treatment run through its declaration: the dialog's choices become TreatmentArgs, the
// declaration's run gives the picture and, when it declares one, the value grid the picture
// is made from; the grid then becomes the current result's (status readout, value export,
// value histogram).
//
//   TreatmentArgs args;                                    // from the dialog
//   args.Set("radius", dialog.Radius());
//   auto run = RunDeclaredTreatment(main, "circular", args);
//   if (!run) return;                                      // cancelled, or the error shown
//   main.BeginTreatment(title);
//   ShowTreatmentResult(main, run->Picture(),
//                       {.title = title, .margin = run->output.margin,
//                        .placement = dialog.Placement()}, *run);
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "app/shell/result_kind.h"
#include "app/shell/session.h"
#include "core/treatment/treatment.h"

namespace orvane {

class TDemModel;
class TWorkbench;
class TRasterImage;
struct TSettings;

struct DeclaredRun {
  const TreatmentDescriptor* treatment = nullptr;
  TreatmentOutput output;
  // The picture, as the frame's windows share it.
  std::shared_ptr<TRasterImage> Picture();
};

// What a run reads of the frame besides the DEM, copied on the GUI thread so that the worker
// reads no part of the frame.
struct DeclaredContext {
  std::shared_ptr<const TSettings> settings;
  int unitFactor = 1;
  double pixelMetres = 0.0;  // P as typed, in metres
  int wholeMetres = 0;       // trunc(P)
  std::shared_ptr<TRasterImage> drainage;  // the network treatments' input, when one is loaded
  std::shared_ptr<TRasterImage> parameter;  // the current parameter image, when there is one
};
DeclaredContext ContextOf(TWorkbench& main);

// For a worker thread: the declaration `id` run on `dem` with `args` (completed with the
// declared defaults and checked), asking for `wanted` among what it gives.
Expected<DeclaredRun> RunDeclaration(const std::string& id, const TDemModel& dem,
                                     const DeclaredContext& context, TreatmentArgs args,
                                     unsigned wanted, ProgressSink* progress);
Expected<DeclaredRun> RunDeclaration(const TreatmentDescriptor& treatment, const TDemModel& dem,
                                     const DeclaredContext& context, TreatmentArgs args,
                                     unsigned wanted, ProgressSink* progress);

// A value grid computed with the picture by the treatment's own compute function (the GUI
// needs more of its result than the declaration gives, a diagram or a margin), held as the
// run of declaration `id` would hold it.
DeclaredRun DeclaredValues(const std::string& id, ValueGrid values);

// The same on the current DEM, under the progress window; empty after a cancel or once an
// error (an unknown id, a refused parameter, a failed run) was shown under "ERREUR".
std::optional<DeclaredRun> RunDeclaredTreatment(
    TWorkbench& main, const std::string& id, const TreatmentArgs& args,
    unsigned wanted = kOutputPicture | kOutputValues);
std::optional<DeclaredRun> RunDeclaredTreatment(
    TWorkbench& main, const TreatmentDescriptor& treatment, const TreatmentArgs& args,
    unsigned wanted = kOutputPicture | kOutputValues);

// A result computed with its picture and the value grid taken in the same pass.
template <typename Result>
struct WithDeclaredValues {
  Result computed;
  DeclaredRun values;
};

// For a worker thread, a compute function that fills the value grid in the same pass as its
// picture: `compute(cells)` gets the cells of a columns x lines grid in `unit` (NaN where it
// writes nothing) and returns an Expected result, which comes back with the grid held as the
// run of declaration `id` would hold it.
template <typename Compute>
auto ComputeWithValues(const std::string& id, int columns, int lines, const std::string& unit,
                       Compute compute) {
  using Result = std::decay_t<decltype(*compute(static_cast<float*>(nullptr)))>;
  using Done = WithDeclaredValues<Result>;
  ValueGrid grid(columns, lines, unit);
  auto computed = compute(grid.values.data());
  if (!computed) return Expected<Done>(computed.error());
  return Expected<Done>(Done{std::move(*computed), DeclaredValues(id, std::move(grid))});
}

// After its picture was shown: the run's value grid, if any, becomes the current result's,
// read over the parameter window or, for a wrapped result, over the DEM window.
void KeepDeclaredValues(TWorkbench& main, DeclaredRun& run, bool wrapped);

// How a treatment's picture is shown.
struct ResultDisplay {
  QString title;  // the parameter window's caption (with "  (1:1)") and the session's title
  int margin = 0;  // the border the treatment left uncomputed
  DisplayMode mode = DisplayMode::kGray;
  ResultKind placement = ResultKind::kParameterImage;
  // A wrapped picture also becomes the current parameter image, without a title or margin.
  bool wrappedAlsoParameter = false;
};

// The end of a treatment once its picture is made: the picture goes over the DEM (wrapped) or
// to the parameter window as `display` says, then the run's value grid, if any, becomes the
// current result's, read where the picture went. True when the picture was wrapped.
bool ShowTreatmentResult(TWorkbench& main, std::shared_ptr<TRasterImage> picture,
                         const ResultDisplay& display, DeclaredRun& values);
// The same for a treatment without a value grid.
bool ShowTreatmentResult(TWorkbench& main, std::shared_ptr<TRasterImage> picture,
                         const ResultDisplay& display);

}  // namespace orvane
