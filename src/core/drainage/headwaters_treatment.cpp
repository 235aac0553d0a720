// The headwaters treatment's declaration: upstream ends of the network per moving window.
#include "core/drainage/headwaters_density.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunHeadwaters(const TreatmentInputs& in, const TreatmentArgs& args,
                                        unsigned wanted, ProgressSink* progress) {
  const TRasterImage& drainage = *in.drainage;
  HeadwatersParams params{args.Int("hws"), args.Int("scale")};
  TreatmentOutput output;
  if ((wanted & kOutputValues) || in.dem->HasNoData())
    params.counts = output.values.emplace(drainage.columns, drainage.lines, "headwaters").values.data();
  auto result = HeadwatersDensity(drainage, *in.dem, params, progress);
  if (!result) {
    Error error = result.error();
    // A raster larger than the DEM: the message names the raster.
    if (error.code == kWrongFormat) error.message = "'" + in.drainageName + "': " + error.message;
    return error;
  }
  output.picture = std::move(result->image);
  output.margin = result->margin;
  output.figures = {{"headwaters", result->headwaters}};
  MarkCellsWithoutGround(output, *in.dem, WindowFrame::Margin(drainage.columns, drainage.lines, params.halfWindow),
                         (wanted & kOutputValues) != 0);
  return output;
}

}  // namespace

extern const TreatmentDescriptor kHeadwatersTreatment{
    .id = "headwaters",
    .title = "Headwaters Density",
    .menu = "Drainage Network Parameters",
    .summary = "Headwaters density of a drainage network in a moving window",
    .inputs = kInputDrainage | kInputDem,
    .params =
        {
            {.name = "hws",
             .type = ParamType::kInteger,
             .help = "half window size V (window 2V + 1)",
             .unit = "pixels",
             .required = true,
             .minimum = 0,
             .maximum = 100000},
            DynamicScaleParam("dynamic scale of the gray result", 100),
        },
    .outputs = kOutputPicture | kOutputValues | kOutputFigures,
    .valueName = "Headwaters",
    .valueUnit = "headwaters per window",
    .valueNoData = "cells closer than V to a border of the drainage raster",
    .noDataRule = "NaN where the cell is NoData or fewer than half of its window's cells hold "
                  "ground; the count of the ground cells is scaled to the window, and a network "
                  "end beside NoData is no headwater (as on the border)",
    // A headwater of the window (V around the centre) is told by its eight neighbours. The
    // network is the gray value of the last line holding network: a block of a raster drawn
    // in one colour finds the same one.
    .halo = [](const TreatmentArgs& args) -> std::optional<int> { return args.Int("hws") + 1; },
    .run = RunHeadwaters,
    .examples = "orvane-cli headwaters --dem data/jacksboro_m2.raw --pixel 90 --drainage d.bmp "
                "--hws 10 --out headwaters.bmp",
};

}  // namespace orvane
