// The dissection3d treatment's declaration: network length along the terrain per unit of area.
#include "core/drainage/density_image.h"
#include "core/drainage/density_treatment.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"

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
  if (wanted & kOutputPicture) {
    const int choice = args.Int("palette");
    const TClassTable table =
        DensityClassTable(choice, args.Flag("scale"), result->minimum, result->maximum);
    output.picture = std::make_unique<TRasterImage>(
        Dissection3DImage(*result, choice, table, args.Flag("smooth")));
  }
  if (wanted & kOutputHistogram)  // the diagram's 3D counts up to its bound
    output.histogram = DensityHistogramTable(result->histogram3D, result->upperBound);
  if ((wanted & kOutputValues) || in.dem->HasNoData()) output.values = Dissection3DValues(*result);
  MarkCellsWithoutGround(output, *in.dem, WindowFrame::Margin(result->columns, result->lines, result->halfWidth),
                         (wanted & kOutputValues) != 0);
  output.figures = {{"min", result->minimum}, {"max", result->maximum}};
  return output;
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
    .outputs = kOutputPicture | kOutputValues | kOutputFigures | kOutputHistogram,
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
    .examples = "orvane-cli dissection3d --dem data/jacksboro_m2.raw --pixel 90 --drainage d.bmp "
                "--window 20 --out dd3d.bmp",
};

}  // namespace orvane
