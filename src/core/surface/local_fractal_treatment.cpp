// The local-fractal treatment's declaration: the box-counting dimension in a moving window,
// its extremes and its diagram table.
#include <algorithm>

#include "core/render/histogram_table.h"
#include "core/surface/local_fractal.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunLocalFractal(const TreatmentInputs& in, const TreatmentArgs& args,
                                          unsigned wanted, ProgressSink* progress) {
  const TDemModel& dem = *in.dem;
  LocalFractalParams params;
  params.windowSize = args.Int("window");
  params.factorH = args.Real("h");
  params.unitDivisor = in.unitFactor;
  // The dialog's whole-metre pixel size.
  params.pixelSize = static_cast<int>(
      in.pixelMetres > 0.0 ? in.pixelMetres : dem.pixelSizeX / static_cast<double>(in.unitFactor));
  auto result = ComputeLocalFractal(dem, params, progress);
  if (!result) return result.error();
  TreatmentOutput output;
  if ((wanted & kOutputValues) || dem.HasNoData())
    output.values = LocalFractalValues(*result, dem.columns, dem.lines, params.windowSize);
  if (wanted & kOutputHistogram) {
    // The rows of the diagram window's "Save": classes trunc(100 min) through trunc(100 max),
    // the maximum's class included, as the window draws them.
    const int first = std::max(0, result->diagramStart);
    const int end = DiagramClassCount(result->diagramUpper, result->diagram.size());
    output.histogram = ClassValueTable(result->diagram, first, end, 0.01);
  }
  output.figures = {{"min", result->minimum}, {"max", result->maximum}};
  output.margin = result->margin;
  output.picture = std::make_unique<TRasterImage>(std::move(result->image));
  // The desktop fills its diagram window from the counts.
  if (wanted & kOutputDrawing)
    output.drawing = LocalFractalDiagram{result->diagram, result->diagramUpper, result->diagramStart};
  MarkCellsWithoutGround(output, dem, WindowFrame::Margin(dem.columns, dem.lines, params.windowSize / 2),
                         (wanted & kOutputValues) != 0);
  return output;
}

}  // namespace

extern const TreatmentDescriptor kLocalFractalTreatment{
    .id = "local-fractal",
    .title = "Local Fractal Dimension",
    .menu = "Surface Parameters",
    .summary = "Local fractal dimension (box counting in a moving window)",
    .inputs = kInputDem,
    .params =
        {
            WindowOf12Or24Param("Moving window size: 12 or 24"),
            {.name = "h",
             .type = ParamType::kReal,
             .help = "Adaptive factor H (height step = pixel size x H)",
             .required = true,
             .positive = true,
             .positiveMessage = "the adaptive factor H must be above 0"},
        },
    .outputs = kOutputPicture | kOutputValues | kOutputFigures | kOutputHistogram,
    .valueName = "Local fractal dimension",
    .valueNoData = "cells closer than half the window (6 or 12) to a border",
    // Not over the ground cells: box counting over missing voxel columns measures the outline
    // of the hole instead of the roughness of the ground.
    .noDataRule = "NaN where the window (the 2F x 2F cells from F before the cell) holds a NoData "
                  "cell: box counting over missing columns would measure the hole's outline",
    .histogramAfterPicture = true,
    // The two voxel volumes of a centre span F = window / 2 cells each way; the last line and
    // column of centres are not drawn, so a block needs one cell more to draw all its own.
    // (The box-count table follows the DEM's range but gives the same counts for any range.)
    .halo = [](const TreatmentArgs& args) -> std::optional<int> { return args.Int("window") / 2 + 1; },
    .run = RunLocalFractal,
    .examples = "orvane-cli local-fractal --dem data/jacksboro_m2.raw --pixel 90 --h 0.5 --out lfd.bmp "
                "--histogram lfd.txt",
};

}  // namespace orvane
