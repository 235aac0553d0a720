#include "app/shell/declared_treatment.h"

#include "app/main_form.h"
#include "app/shell/result_values.h"
#include "app/shell/treatment_run.h"
#include "core/settings/settings_file.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

std::shared_ptr<TRasterImage> DeclaredRun::Picture() {
  return std::shared_ptr<TRasterImage>(std::move(output.picture));
}

Expected<DeclaredRun> RunDeclaration(const std::string& id, const TDemModel& dem,
                                     const TSettings& settings, int unitFactor,
                                     TreatmentArgs args, unsigned wanted, ProgressSink* progress) {
  DeclaredRun run;
  run.treatment = FindTreatment(id);
  if (!run.treatment) return Error{kBadParameter, "No treatment is declared as '" + id + "'"};
  if (Status s = CompleteArgs(*run.treatment, args); !s) return s.error();
  TreatmentInputs inputs;
  inputs.dem = &dem;
  inputs.settings = &settings;
  inputs.unitFactor = unitFactor >= 1 ? unitFactor : 1;
  auto output = run.treatment->run(inputs, args, wanted & run.treatment->outputs, progress);
  if (!output) return output.error();
  run.output = std::move(*output);
  return run;
}

std::optional<DeclaredRun> RunDeclaredTreatment(TMainForm& main, const std::string& id,
                                                const TreatmentArgs& args, unsigned wanted) {
  const std::shared_ptr<TDemModel> dem = main.CurrentDemShared();
  if (!dem) return std::nullopt;
  // Copied on the GUI thread: the worker reads no part of the frame.
  const TSettings settings = main.Settings();
  const int unitFactor = main.UnitFactor();
  ProgressSink* sink = main.Progress();
  return RunTreatment(main, "ERREUR", GridOf(*dem), [&, dem] {
    return RunDeclaration(id, *dem, settings, unitFactor, args, wanted, sink);
  });
}

void KeepDeclaredValues(TMainForm& main, DeclaredRun& run, bool wrapped) {
  if (!run.output.values) return;
  TResultValues values;
  values.grid = std::make_shared<const ValueGrid>(std::move(*run.output.values));
  run.output.values.reset();
  values.name = QString::fromStdString(run.treatment->valueName);
  values.wrapped = wrapped;
  main.SetResultValues(std::move(values));
}

}  // namespace orvane
