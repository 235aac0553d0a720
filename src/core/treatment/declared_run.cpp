#include "core/treatment/declared_run.h"

#include <variant>

#include "core/terrain/raster_image.h"

namespace orvane {

std::shared_ptr<TRasterImage> DeclaredRun::Picture() {
  return std::shared_ptr<TRasterImage>(std::move(output.picture));
}

double DeclaredRun::FigureValue(const std::string& key) const {
  for (const Figure& figure : output.figures) {
    if (figure.key != key) continue;
    if (const auto* real = std::get_if<double>(&figure.value)) return *real;
    if (const auto* whole = std::get_if<std::int64_t>(&figure.value)) return static_cast<double>(*whole);
  }
  return 0.0;
}

Expected<DeclaredRun> RunDeclaration(const TreatmentDescriptor& treatment, const TDemModel* dem,
                                     const DeclaredContext& context, TreatmentArgs args,
                                     unsigned wanted, ProgressSink* progress) {
  DeclaredRun run;
  run.treatment = &treatment;
  if (Status s = CompleteArgs(treatment, args); !s) return s.error();
  TreatmentInputs inputs;
  if (treatment.inputs & kInputDem) {
    if (!dem) return Error{kBadParameter, "No DEM is open"};
    inputs.dem = dem;
  }
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
  // A treatment drawn in one phase draws when asked for its drawing.
  if ((wanted & kOutputDrawing) && !treatment.render) wanted |= kOutputPicture;
  auto output = treatment.run(inputs, args, wanted & (treatment.outputs | kOutputDrawing), progress);
  if (!output) return output.error();
  run.output = std::move(*output);
  run.args = std::move(args);
  return run;
}

}  // namespace orvane
