// The dissection3d treatment's declaration: network length along the terrain per unit of area.
#include "core/drainage/density_image.h"
#include "core/drainage/density_treatment.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/nodata_rule.h"
#include "core/treatment/treatment.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunDissection3D(const TreatmentInputs& in, const TreatmentArgs& args,
                                          unsigned wanted, ProgressSink* progress) {
  Dissection3DParams params;
  params.windowSize = args.Int("window");
  params.unitDivisor = in.unitFactor;
  params.pixelSize = in.wholeMetres;
  auto result = ComputeDissection3D(*in.dem, *in.drainage, params, progress);
  if (!result) return result.error();

  TreatmentOutput output;
  if (wanted & kOutputHistogram)  // the diagram's 3D counts up to its bound
    output.histogram = DensityHistogramTable(result->histogram3D, result->upperBound);
  KeptDrawing<Dissection3DResult> drawing;
  if ((wanted & kOutputValues) || in.dem->HasNoData()) {
    output.values = Dissection3DValues(*result);
    drawing.noData = CellsWithoutGround(
        *in.dem, WindowFrame::Margin(result->columns, result->lines, result->halfWidth), *output.values);
    ApplyNoData(output, drawing.noData);
    if (!(wanted & kOutputValues)) output.values.reset();
  }
  output.figures = {{"min", result->minimum}, {"max", result->maximum}};
  drawing.computed = std::move(*result);
  output.drawing = std::move(drawing);
  if (Status drawn = DrawKeptPicture(output, args, wanted, kDissection3DTreatment); !drawn)
    return drawn.error();
  return output;
}

// The picture of the 3D densities in the palette chosen, the NoData cells in their colour.
Expected<std::unique_ptr<TRasterImage>> RenderDissection3D(const TreatmentOutput& computed,
                                                           const TreatmentArgs& args) {
  const auto* drawing = KeptDrawingOf<Dissection3DResult>(computed);
  if (!drawing) return Error{kBadParameter, "No 3D densities were kept to draw"};
  const Dissection3DResult& result = drawing->computed;
  auto picture = std::make_unique<TRasterImage>(
      Dissection3DImage(result, args.Int("palette"), DensityTableOf(args, result.minimum, result.maximum),
                        args.Flag("smooth")));
  if (!drawing->noData.empty()) PaintNoData(*picture, drawing->noData);
  return picture;
}

}  // namespace

extern const TreatmentDescriptor kDissection3DTreatment{
    .id = "dissection3d",
    .title = "3D Dissection Density",
    .menu = "Drainage Network Parameters",
    .summary = "3D dissection density: drainage length along the terrain per unit of area",
    .inputs = kInputDrainage | kInputDem,
    .params = JoinParams(
        {
            WindowSideParam("window size N in pixels (at least 2)", 2),
        },
        DensityPaletteParams()),
    .outputs = kOutputPicture | kOutputValues | kOutputFigures | kOutputHistogram | kOutputDrawing,
    .valueName = "3D dissection density",
    .valueUnit = "km/km2",
    .valueNoData = "cells closer than trunc((N - 1) / 2) to a border",
    .noDataRule = "NaN where the cell is NoData or fewer than half of its window's cells hold "
                  "ground; NoData cells are never network and the area is that of the ground cells",
    // The window reaches trunc((N - 1) / 2) cells; its cells' links read their neighbours and
    // the neighbours' elevations.
    .halo = [](const TreatmentArgs& args) -> std::optional<int> {
      return (args.Int("window") - 1) / 2 + 1;
    },
    .run = RunDissection3D,
    .render = RenderDissection3D,
    .examples = "orvane-cli dissection3d --dem data/jacksboro_m2.raw --pixel 90 --drainage d.bmp "
                "--window 20 --out dd3d.bmp",
};

}  // namespace orvane
