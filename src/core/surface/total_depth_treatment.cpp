// The total-depth treatment's declaration: the relief of a square window around every cell.
#include "core/surface/total_depth.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/nodata_rule.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

// What the picture is drawn from: the relief and the cells NoData leaves without one.
using TotalDepthDrawing = KeptDrawing<TotalDepthRelief>;

// The picture of the relief in the palette chosen, its classes spread over the relief's range
// with "scale" (over "minimum" .. "maximum" where the desktop's dialog had them typed), the
// cells without ground in the NoData colour.
std::unique_ptr<TRasterImage> DrawTotalDepth(const TotalDepthDrawing& drawing, const TreatmentArgs& args) {
  const TotalDepthRelief& relief = drawing.computed;
  const int palette = args.Int("palette");
  const TClassTable table = TotalDepthClassTable(palette, args.Flag("scale"),
                                                 args.Real("minimum", relief.minimum),
                                                 args.Real("maximum", relief.maximum));
  auto picture = std::make_unique<TRasterImage>(RenderTotalDepth(relief, palette, table, args.Flag("smooth")));
  if (!drawing.noData.empty()) PaintNoData(*picture, drawing.noData);
  return picture;
}

Expected<std::unique_ptr<TRasterImage>> RenderTotalDepthPicture(const TreatmentOutput& computed,
                                                               const TreatmentArgs& args) {
  const auto* drawing = KeptDrawingOf<TotalDepthRelief>(computed);
  if (!drawing) return Error{kBadParameter, "No total depth relief to draw"};
  return DrawTotalDepth(*drawing, args);
}

Expected<TreatmentOutput> RunTotalDepth(const TreatmentInputs& in, const TreatmentArgs& args,
                                        unsigned wanted, ProgressSink* progress) {
  auto relief = ComputeTotalDepthRelief(*in.dem, args.Int("window"), progress);
  if (!relief) return relief.error();
  TreatmentOutput output;
  output.colourPicture = true;
  output.margin = relief->half + 1;
  output.figures = {{"min", std::int64_t{relief->minimum}}, {"max", std::int64_t{relief->maximum}}};
  TotalDepthDrawing drawing;
  if ((wanted & kOutputValues) || in.dem->HasNoData()) {
    ValueGrid& values = output.values.emplace(relief->columns, relief->lines, "m");
    TotalDepthMetres(*relief, in.unitFactor, values.values.data());
    if (in.dem->HasNoData()) {
      drawing.noData = CellsWithoutGround(
          *in.dem, WindowFrame::Margin(relief->columns, relief->lines, relief->half), values);
      ApplyNoData(output, drawing.noData);
    }
    if (!(wanted & kOutputValues)) output.values.reset();
  }
  drawing.computed = std::move(*relief);
  if (wanted & kOutputPicture) output.picture = DrawTotalDepth(drawing, args);
  if (wanted & kOutputDrawing) output.drawing = std::move(drawing);
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
    .render = RenderTotalDepthPicture,
    .examples = "orvane-cli total-depth --dem data/jacksboro_m2.raw --pixel 90 --window 11 --smooth "
                "--out depth.bmp",
};

}  // namespace orvane
