// The incrust treatment's declaration: the drainage network burnt into a parameter image.
#include "core/drainage/incrust.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunIncrust(const TreatmentInputs& in, const TreatmentArgs&, unsigned,
                                     ProgressSink*) {
  // An 8-bit gray parameter image stays gray (display mode 1); any other becomes colour.
  const bool gray = in.param->kind == kRasterGray;
  auto result = IncrustDrainage(in.param, in.drainage, gray);
  if (!result) return result.error();
  TreatmentOutput output;
  output.picture = std::move(*result);
  return output;
}

}  // namespace

extern const TreatmentDescriptor kIncrustTreatment{
    .id = "incrust",
    .title = "Incrust Drainage Network",
    .menu = "Drainage Network Parameters",
    .summary = "Burn the drainage network into a parameter image as black",
    .inputs = kInputDrainage | kInputParam,
    .params = {},
    .outputs = kOutputPicture,
    // A picture only: the network's cells become black, the others keep the parameter image's.
    .halo = [](const TreatmentArgs&) -> std::optional<int> { return 0; },
    .run = RunIncrust,
    .examples = "orvane-cli incrust --drainage d.bmp --param slope.bmp --out incrusted.bmp",
};

}  // namespace orvane
