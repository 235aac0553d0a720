// The gray-histogram treatment's declaration: the gray-level counts of a parameter image.
#include "core/render/histogram_table.h"
#include "core/treatment/treatment.h"

namespace orvane {

extern const TreatmentDescriptor kGrayHistogramTreatment{
    .id = "gray-histogram",
    .title = "Gray Level Histogram",
    .menu = "Tools",
    .summary = "Gray-level histogram table of a parameter image",
    .inputs = kInputParam,
    .params =
        {
            {.name = "margin",
             .type = ParamType::kInteger,
             .help = "border width left out, in pixels",
             .unit = "pixels",
             .minimum = 0,
             .defaultText = "0",
             .showDefault = true},
        },
    .outputs = kOutputHistogram,
    .pictureRequired = false,
    .histogramRequired = true,
    .paramHelp = "parameter image",
    // A table of the whole image: the counts are not per cell.
    .halo = [](const TreatmentArgs&) -> std::optional<int> { return std::nullopt; },
    .notLocalReason = "a table of the whole image (GrayLevelHistogram), not a value per cell",
    .run = [](const TreatmentInputs& in, const TreatmentArgs& args, unsigned,
              ProgressSink*) -> Expected<TreatmentOutput> {
      TreatmentOutput output;
      output.histogram = GrayHistogramTable(GrayLevelHistogram(*in.param, args.Int("margin")));
      return output;
    },
    .examples =
        "orvane-cli gray-histogram --param slope.raw --margin 1 --histogram slope-histogram.txt",
};

}  // namespace orvane
