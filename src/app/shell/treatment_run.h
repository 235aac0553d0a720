// The runner's private helper (declared_treatment.h runs every treatment through it): work
// under the progress window, off the GUI thread, a cancel and an allocation failure ending the
// same way, nothing changed. Besides the runner, only background work that is no treatment
// (opening, importing, exporting a file) calls it directly:
//
//   auto imported = RunTreatment(main, "ERREUR", GridSize{lines, columns},
//                                [&] { return ImportGrid(path, &sink); });
//   if (!imported) return;                                  // cancelled, or the message shown
//
// The work lambda runs on a worker thread: it may read core data (DEM, rasters, copied
// parameters) but never a QObject, a dialog or the frame.
#pragma once

#include <QString>
#include <cstdint>
#include <new>
#include <optional>
#include <type_traits>
#include <utility>

#include "app/shell/workbench.h"
#include "app/shell/progress_form.h"
#include "app/shell/prompter.h"
#include "core/common/grid_memory.h"
#include "core/common/result.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

// The size named by "not enough memory for a grid of L x C" when a computation runs out of
// memory somewhere that does not say which grid it was allocating: that of its input.
struct GridSize {
  std::int64_t lines = 0;
  std::int64_t columns = 0;
};
inline GridSize GridOf(const TDemModel& dem) { return {dem.lines, dem.columns}; }
inline GridSize GridOf(const TRasterImage& raster) { return {raster.lines, raster.columns}; }

// Runs `work` under the progress window. Empty when the user cancelled (nothing shown) or the
// memory ran out (the warning shown, under `caption`).
template <class F>
auto RunComputation(TWorkbench& main, const QString& caption, GridSize size, F&& work)
    -> std::optional<std::invoke_result_t<F&>> {
  QString failure;
  try {
    return main.ProgressWindow().Run(std::forward<F>(work));
  } catch (const GridAllocationError& error) {
    failure = QString::fromStdString(error.what());
  } catch (const std::bad_alloc&) {
    failure = QString::fromStdString(GridMemoryMessage(size.lines, size.columns));
  }
  Prompts().Warning(&main, caption, failure);
  return std::nullopt;
}

namespace detail {
template <class E>
struct ExpectedValue;
template <class T>
struct ExpectedValue<Expected<T>> {
  using type = T;
};
}  // namespace detail

// The same for a computation giving an Expected<T>: its value, or empty after a cancel or
// after its error was shown (a kCancelled error is not shown).
template <class F>
auto RunTreatment(TWorkbench& main, const QString& caption, GridSize size, F&& work)
    -> std::optional<typename detail::ExpectedValue<std::invoke_result_t<F&>>::type> {
  auto run = RunComputation(main, caption, size, std::forward<F>(work));
  if (!run) return std::nullopt;
  if (!*run) {
    if (run->error().code != kCancelled) {
      Prompts().Warning(&main, caption, WithoutOptionName(QString::fromStdString(run->error().message)));
    }
    return std::nullopt;
  }
  return std::move(**run);
}

}  // namespace orvane
