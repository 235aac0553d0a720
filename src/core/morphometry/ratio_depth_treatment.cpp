// The ratio-depth treatment's declaration: the network's relief over the terrain's per window.
#include "core/morphometry/ratio_depth.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunRatioDepth(const TreatmentInputs& in, const TreatmentArgs& args,
                                        unsigned wanted, ProgressSink* progress) {
  RatioDepthParams params{args.Int("window"), args.Int("scale")};
  TreatmentOutput output;
  if ((wanted & kOutputValues) || in.dem->HasNoData())
    params.ratios =
        output.values.emplace(in.drainage->columns, in.drainage->lines, "").values.data();
  auto result = ComputeRatioDepth(*in.dem, *in.drainage, params, progress);
  if (!result) return result.error();
  output.picture = std::make_unique<TRasterImage>(std::move(result->image));
  output.margin = result->margin;
  MarkCellsWithoutGround(output, *in.dem,
                         WindowFrame::Margin(in.drainage->columns, in.drainage->lines, params.windowSize / 2),
                         (wanted & kOutputValues) != 0);
  return output;
}

}  // namespace

extern const TreatmentDescriptor kRatioDepthTreatment{
    .id = "ratio-depth",
    .title = "Ratio of Depths",
    .menu = "Drainage Network Parameters",
    .summary = "Ratio of the drainage network's relief to the surface relief in a moving window",
    .inputs = kInputDrainage | kInputDem,
    .params =
        {
            WindowSideParam("window size WS in pixels", 0),
            DynamicScaleParam("dynamic scale of the image", 255),
        },
    .outputs = kOutputPicture | kOutputValues,
    .valueName = "Ratio of depths",
    .valueNoData = "cells closer than trunc(WS / 2) to a border (the picture leaves them 0); a "
                   "window without relief or without network has ratio 0",
    .noDataRule = "NaN where the cell is NoData or fewer than half of its window's cells hold "
                  "ground; both reliefs are those of the ground cells",
    // The window's own cells only. The network is the raster's first non-background gray
    // value: a block of a raster drawn in one colour finds the same one.
    .halo = [](const TreatmentArgs& args) -> std::optional<int> { return args.Int("window") / 2; },
    .run = RunRatioDepth,
    .examples = "orvane-cli ratio-depth --dem data/jacksboro_m2.raw --pixel 90 --drainage d.bmp "
                "--window 15 --out ratio.bmp",
};

}  // namespace orvane
