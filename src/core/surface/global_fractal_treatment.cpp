// The global-fractal treatment's declaration: one fractal dimension for the whole DEM and the
// correlation of its fit, as figures.
#include "core/surface/global_fractal.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunGlobalFractal(const TreatmentInputs& in, const TreatmentArgs&,
                                           unsigned, ProgressSink*) {
  auto result = ComputeGlobalFractal(*in.dem);
  // The DEM cannot give a fit (too small, horizontal): a property of the file, not of a
  // parameter.
  if (!result) return Error{kWrongFormat, result.error().message};
  TreatmentOutput output;
  output.figures = {{"D", result->dimension}, {"r", result->correlation}};
  return output;
}

}  // namespace

extern const TreatmentDescriptor kGlobalFractalTreatment{
    .id = "global-fractal",
    .title = "Global Fractal Dimension",
    .menu = "DEM Form",
    .summary = "Global fractal dimension D and correlation r",
    .inputs = kInputDem,
    .params = {},
    .outputs = kOutputFigures,
    .valueName = {},
    .valueUnit = {},
    .valueNoData = {},
    .pictureRequired = false,
    .halo = [](const TreatmentArgs&) -> std::optional<int> { return std::nullopt; },
    .notLocalReason = "one dimension for the whole DEM, fitted from the centre cell's differences "
                      "to every other cell (ComputeGlobalFractal)",
    .run = RunGlobalFractal,
    .examples = "orvane-cli global-fractal --dem data/jacksboro_m2.raw --pixel 90",
};

}  // namespace orvane
