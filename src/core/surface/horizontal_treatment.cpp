// The horizontal-surfaces treatment's declaration: the share of a square window at the centre
// cell's height, as gray levels 0 .. D or a binary mask of flats.
#include "core/common/treatment.h"
#include "core/surface/horizontal_surfaces.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunHorizontal(const TreatmentInputs& in, const TreatmentArgs& args,
                                        unsigned wanted, ProgressSink* progress) {
  HorizontalParams params{args.Int("range"), args.Int("dynamism"), args.Flag("binarize")};
  TreatmentOutput output;
  if (wanted & kOutputValues)
    params.shares = output.values.emplace(in.dem->columns, in.dem->lines, "").values.data();
  auto result = ComputeHorizontalSurfaces(*in.dem, params, progress);
  if (!result) return result.error();
  output.picture = std::move(result->image);
  return output;
}

}  // namespace

extern const TreatmentDescriptor kHorizontalTreatment{
    .id = "horizontal",
    .title = "Horizontal Surfaces",
    .summary = "Horizontal-surfaces image (share at the centre's height)",
    .inputs = kInputDem,
    .params =
        {
            {.name = "range",
             .type = ParamType::kInteger,
             .help = "Half-size R of the largest window (0 computes nothing)",
             .unit = "pixels",
             .required = true,
             .minimum = 0,
             .maximum = kMaxDemSide},
            {.name = "dynamism",
             .type = ParamType::kInteger,
             .help = "Gray level of a full share",
             .allowed = {100, 255},
             .defaultText = "100"},
            {.name = "binarize",
             .type = ParamType::kFlag,
             .help = "Selection and binarization: 0 on flats, 200 elsewhere"},
        },
    .outputs = kOutputPicture | kOutputValues,
    // With --binarize, the largest share over the window sizes: the picture's flats are where
    // it exceeds 99 / D.
    .valueName = "Horizontal share",
    .valueNoData = "the outer ring of cells; every cell when R = 0",
    // The largest window of half-size up to R that fits around the cell.
    .halo = [](const TreatmentArgs& args) -> std::optional<int> { return args.Int("range"); },
    .run = RunHorizontal,
    .examples = "orvane-cli horizontal --dem data/jacksboro_m2.raw --pixel 90 --range 3 --binarize "
                "--out flats.bmp",
};

}  // namespace orvane
