// The dissection treatment's declaration: drainage network per window, by cell count or length,
// on adjacent blocks or in a moving window.
#include <algorithm>

#include "core/drainage/density_image.h"
#include "core/drainage/density_treatment.h"
#include "core/drainage/dissection_density.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/nodata_rule.h"
#include "core/treatment/treatment.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunDissection(const TreatmentInputs& in, const TreatmentArgs& args,
                                        unsigned wanted, ProgressSink* progress) {
  DissectionParams params;
  params.tiling = args.Int("tiling") == 0 ? DensityTiling::kGrid : DensityTiling::kMoving;
  params.measure = args.Int("measure") == 0 ? DensityMeasure::kPixels : DensityMeasure::kLength;
  params.windowSize = args.Int("window");
  params.ground = in.dem;
  auto field = ComputeDissectionDensity(*in.drainage, params, progress);
  if (!field) return field.error();

  TreatmentOutput output;
  KeptDrawing<DensityField> drawing;
  drawing.computed = std::move(*field);
  const DensityField& computed = drawing.computed;
  if (wanted & kOutputHistogram) output.histogram = DensityHistogramTable(computed.histogram, computed.bound);
  if ((wanted & kOutputValues) || in.dem->HasNoData()) {
    output.values = DissectionValues(computed, params.measure);
    drawing.noData = CellsWithoutGround(*in.dem, computed.Frame(), *output.values);
    ApplyNoData(output, drawing.noData);
    if (!(wanted & kOutputValues)) output.values.reset();
  }
  output.figures = {{"min", computed.minimum}, {"max", computed.maximum}};
  output.drawing = std::move(drawing);
  if (Status drawn = DrawKeptPicture(output, args, wanted, kDissectionTreatment); !drawn) return drawn.error();
  return output;
}

// The picture of the densities in the palette chosen, the NoData cells in their colour.
Expected<std::unique_ptr<TRasterImage>> RenderDissection(const TreatmentOutput& computed,
                                                         const TreatmentArgs& args) {
  const auto* drawing = KeptDrawingOf<DensityField>(computed);
  if (!drawing) return Error{kBadParameter, "No density field was kept to draw"};
  const DensityField& field = drawing->computed;
  auto image = RenderDensityField(field, args.Int("palette"),
                                  DensityTableOf(args, field.minimum, field.maximum), args.Flag("smooth"));
  if (!image) return image.error();
  if (!drawing->noData.empty()) PaintNoData(*image->image, drawing->noData);
  return std::move(image->image);
}

}  // namespace

extern const TreatmentDescriptor kDissectionTreatment{
    .id = "dissection",
    .title = "Dissection Density",
    .menu = "Drainage Network Parameters",
    .summary = "Dissection density (network pixels or length per window) of a drainage network",
    .inputs = kInputDrainage | kInputDem,
    .params = JoinParams(
        {
            {.name = "tiling",
             .type = ParamType::kChoice,
             .help = "adjacent blocks or a window centred on every pixel",
             .required = true,
             .choices = {{"grid", 0, "Grid"}, {"moving", 1, "Moving Window"}}},
            {.name = "measure",
             .type = ParamType::kChoice,
             .help = "network pixel count or network length",
             .required = true,
             .choices = {{"pixels", 0, "Pixel Density"}, {"length", 1, "Drainage Length"}}},
            WindowSideParam("window size WS in pixels (at least 2)", 2),
        },
        DensityPaletteParams()),
    .outputs = kOutputPicture | kOutputValues | kOutputFigures | kOutputHistogram | kOutputDrawing,
    .valueName = "Dissection density",
    .valueUnit = "% of the window's cells (pixels) or network pixel lengths per 100 cells (length)",
    .valueNoData = "grid: the strip right and below the last whole block; moving window: cells "
                   "closer than trunc(WS / 2) to a border",
    .noDataRule = "NaN on NoData cells and where fewer than half of the window's cells hold ground; "
                  "NoData cells are never network and the density is per cell of ground",
    // The moving window reads trunc(WS / 2) cells around its centre, and the length measure
    // the neighbours of those cells. The network is the raster's first non-background gray
    // value: a block of a raster drawn in one colour finds the same one.
    .halo = [](const TreatmentArgs& args) -> std::optional<int> {
      if (args.Int("tiling") == 0) return std::nullopt;
      return args.Int("window") / 2 + (args.Int("measure") == 1 ? 1 : 0);
    },
    .notLocalReason = "the grid tiling lays its blocks from the raster's top-left corner "
                      "(ComputeDissectionDensity), so a cell's block depends on where the "
                      "raster starts; the moving window is local",
    .run = RunDissection,
    .render = RenderDissection,
    .examples =
        "orvane-cli dissection --dem data/jacksboro_m2.raw --pixel 90 --drainage d.bmp "
        "--tiling moving --measure length --window 20 --out dissection.bmp --histogram dd.txt",
};

}  // namespace orvane
