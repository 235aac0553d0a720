#include "app/shell/declared_treatment.h"

#include "app/shell/workbench.h"
#include "app/shell/prompter.h"
#include "app/shell/result_values.h"
#include "app/shell/text_values.h"
#include "app/shell/treatment_run.h"
#include "core/settings/settings_file.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

std::shared_ptr<TRasterImage> DeclaredRun::Picture() {
  return std::shared_ptr<TRasterImage>(std::move(output.picture));
}

DeclaredContext ContextOf(TWorkbench& main) {
  DeclaredContext context;
  context.settings = std::make_shared<const TSettings>(main.Settings());
  context.unitFactor = main.Session().UnitFactor();
  context.pixelMetres = LeadingDouble(main.Session().PixelSizeText());
  context.wholeMetres = main.Session().PixelSize();
  context.drainage = main.Session().DrainageRaster();
  context.parameter = main.Session().ParameterImage();
  return context;
}

DeclaredRun DeclaredValues(const std::string& id, ValueGrid values) {
  DeclaredRun run;
  run.treatment = FindTreatment(id);
  if (run.treatment) run.output.values = std::move(values);
  return run;
}

Expected<DeclaredRun> RunDeclaration(const std::string& id, const TDemModel& dem,
                                     const DeclaredContext& context, TreatmentArgs args,
                                     unsigned wanted, ProgressSink* progress) {
  const TreatmentDescriptor* treatment = FindTreatment(id);
  if (!treatment) return Error{kBadParameter, "No treatment is declared as '" + id + "'"};
  return RunDeclaration(*treatment, dem, context, std::move(args), wanted, progress);
}

Expected<DeclaredRun> RunDeclaration(const TreatmentDescriptor& treatment, const TDemModel& dem,
                                     const DeclaredContext& context, TreatmentArgs args,
                                     unsigned wanted, ProgressSink* progress) {
  DeclaredRun run;
  run.treatment = &treatment;
  if (Status s = CompleteArgs(treatment, args); !s) return s.error();
  TreatmentInputs inputs;
  inputs.dem = &dem;
  inputs.settings = context.settings.get();
  inputs.unitFactor = context.unitFactor >= 1 ? context.unitFactor : 1;
  inputs.pixelMetres = context.pixelMetres > 0.0 ? context.pixelMetres : 0.0;
  inputs.wholeMetres = context.wholeMetres;
  if (treatment.inputs & kInputDrainage) {
    if (!context.drainage) return Error{kBadParameter, "No drainage network is loaded"};
    inputs.drainage = context.drainage.get();
  }
  if (treatment.inputs & kInputParam) {
    if (!context.parameter) return Error{kBadParameter, "No parameter image is open"};
    inputs.param = context.parameter.get();
  }
  auto output = treatment.run(inputs, args, wanted & treatment.outputs, progress);
  if (!output) return output.error();
  run.output = std::move(*output);
  return run;
}

std::optional<DeclaredRun> RunDeclaredTreatment(TWorkbench& main, const std::string& id,
                                                const TreatmentArgs& args, unsigned wanted) {
  const TreatmentDescriptor* treatment = FindTreatment(id);
  if (!treatment) {
    Prompts().Warning(&main, "ERREUR", QString::fromStdString("No treatment is declared as '" + id + "'"));
    return std::nullopt;
  }
  return RunDeclaredTreatment(main, *treatment, args, wanted);
}

std::optional<DeclaredRun> RunDeclaredTreatment(TWorkbench& main,
                                                const TreatmentDescriptor& treatment,
                                                const TreatmentArgs& args, unsigned wanted) {
  const std::shared_ptr<TDemModel> dem = main.Session().CurrentDemShared();
  if (!dem) return std::nullopt;
  const DeclaredContext context = ContextOf(main);
  ProgressSink* sink = main.Progress();
  return RunTreatment(main, "ERREUR", GridOf(*dem), [&, dem] {
    return RunDeclaration(treatment, *dem, context, args, wanted, sink);
  });
}

void KeepDeclaredValues(TWorkbench& main, DeclaredRun& run, bool wrapped) {
  if (!run.treatment || !run.output.values) return;
  TResultValues values;
  values.grid = std::make_shared<const ValueGrid>(std::move(*run.output.values));
  run.output.values.reset();
  values.name = QString::fromStdString(run.treatment->valueName);
  values.wrapped = wrapped;
  main.Session().SetResultValues(std::move(values));
}

bool ShowTreatmentResult(TWorkbench& main, std::shared_ptr<TRasterImage> picture,
                         const ResultDisplay& display) {
  if (display.placement != ResultKind::kWrappedImage) {
    main.ShowParameterImage(std::move(picture), display.title, display.margin, display.mode);
    return false;
  }
  main.ShowWrappedImage(picture);
  if (display.wrappedAlsoParameter) main.ShowParameterImage(std::move(picture));
  return true;
}

bool ShowTreatmentResult(TWorkbench& main, std::shared_ptr<TRasterImage> picture,
                         const ResultDisplay& display, DeclaredRun& values) {
  const bool wrapped = ShowTreatmentResult(main, std::move(picture), display);
  KeepDeclaredValues(main, values, wrapped);
  return wrapped;
}

}  // namespace orvane
