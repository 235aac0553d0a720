// The total-depth treatment's declaration: the relief of a square window around every cell.
#include "core/surface/total_depth.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunTotalDepth(const TreatmentInputs& in, const TreatmentArgs& args,
                                        unsigned wanted, ProgressSink* progress) {
  auto relief = ComputeTotalDepthRelief(*in.dem, args.Int("window"), progress);
  if (!relief) return relief.error();
  TreatmentOutput output;
  if (wanted & kOutputPicture) {
    const int palette = args.Int("palette");
    const TClassTable table =
        TotalDepthClassTable(palette, args.Flag("scale"), relief->minimum, relief->maximum);
    output.picture = std::make_unique<TRasterImage>(
        RenderTotalDepth(*relief, palette, table, args.Flag("smooth")));
    output.colourPicture = true;
    output.margin = relief->half + 1;
  }
  if ((wanted & kOutputValues) || in.dem->HasNoData()) {
    ValueGrid& values = output.values.emplace(relief->columns, relief->lines, "m");
    TotalDepthMetres(*relief, in.unitFactor, values.values.data());
  }
  MarkCellsWithoutGround(output, *in.dem, WindowFrame::Margin(relief->columns, relief->lines, relief->half),
                         (wanted & kOutputValues) != 0);
  output.figures = {{"min", std::int64_t{relief->minimum}}, {"max", std::int64_t{relief->maximum}}};
  return output;
}

}  // namespace

extern const TreatmentDescriptor kTotalDepthTreatment{
    .id = "total-depth",
    .title = "Total Depth",
    .menu = "Surface Parameters",
    .summary = "Total depth (relief of a square window) in colour classes",
    .inputs = kInputDem,
    .params =
        {
            WindowSideParam("Window size S in pixels (half window trunc(S / 2))", 1),
            {.name = "palette",
             .type = ParamType::kChoice,
             .help = "colored, gray or gray255",
             .choices = {{"colored", kDepthColored, "Colored Palette"},
                         {"gray", kDepthGray, "Gray Tones Palette"},
                         {"gray255", kDepthGray255, "Gray Tones (0, 255)"}},
             .defaultText = "colored",
             .showDefault = true},
            {.name = "smooth", .type = ParamType::kFlag, .help = "Interpolate colours between classes"},
            SpreadClassesParam("Spread the classes over the observed relief"),
        },
    .outputs = kOutputPicture | kOutputValues | kOutputFigures,
    .valueName = "Total depth",
    .valueUnit = "m",
    .valueNoData = "cells closer than trunc(S / 2) to a border",
    .noDataRule = "NaN where the cell is NoData or fewer than half of its window's cells hold "
                  "ground; the relief is that of the window's ground cells",
    .colourPicture = true,
    .halo = [](const TreatmentArgs& args) -> std::optional<int> { return args.Int("window") / 2; },
    .run = RunTotalDepth,
    .examples = "orvane-cli total-depth --dem data/jacksboro_m2.raw --pixel 90 --window 11 --smooth "
                "--out depth.bmp",
};

}  // namespace orvane
