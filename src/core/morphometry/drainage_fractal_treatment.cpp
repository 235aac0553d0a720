// The drainage-fractal treatment's declaration: box-counting dimension of the network per window.
#include "core/morphometry/drainage_fractal.h"
#include "core/drainage/density_treatment.h"
#include "core/treatment/treatment.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunDrainageFractal(const TreatmentInputs& in, const TreatmentArgs& args,
                                             unsigned wanted, ProgressSink* progress) {
  DrainageFractalParams params;
  params.mode = args.Int("mode") == 0 ? FractalMode::kGlobal : FractalMode::kSegments;
  params.windowSize = args.Int("window");
  params.dynamicScale = args.Int("scale");
  TreatmentOutput output;
  if (wanted & kOutputValues)
    params.values =
        output.values.emplace(in.drainage->columns, in.drainage->lines, "").values.data();
  auto result = ComputeDrainageFractal(*in.drainage, params, progress);
  if (!result) return result.error();
  if (wanted & kOutputHistogram) output.histogram = FractalDiagramTable(*result);
  output.figures = {{"min", result->minimum}, {"max", result->maximum}};
  output.margin = result->margin;
  // The picture is made with the dimensions; the desktop keeps the whole result for its
  // diagram.
  output.drawing = KeptDrawing<DrainageFractalResult>{std::move(*result), {}};
  if (Status drawn = DrawKeptPicture(output, args, wanted, kDrainageFractalTreatment); !drawn)
    return drawn.error();
  return output;
}

Expected<std::unique_ptr<TRasterImage>> RenderDrainageFractal(const TreatmentOutput& computed,
                                                              const TreatmentArgs&) {
  const auto* drawing = KeptDrawingOf<DrainageFractalResult>(computed);
  if (!drawing) return Error{kBadParameter, "No fractal dimensions were kept to draw"};
  return std::make_unique<TRasterImage>(drawing->computed.image);
}

}  // namespace

extern const TreatmentDescriptor kDrainageFractalTreatment{
    .id = "drainage-fractal",
    .title = "Drainage Fractal Dimension",
    .menu = "Drainage Network Parameters",
    .summary = "Fractal dimension of the drainage network (whole window or joined segments)",
    .inputs = kInputDrainage,
    .params =
        {
            {.name = "mode",
             .type = ParamType::kChoice,
             .help = "all network cells of the window, or the segment joined to the centre",
             .required = true,
             .choices = {{"global", 0, "Global"}, {"segments", 1, "Segments"}}},
            WindowOf12Or24Param("moving window size"),
            DynamicScaleParam("dynamic scale of the image", 100),
        },
    .outputs = kOutputPicture | kOutputValues | kOutputFigures | kOutputHistogram | kOutputDrawing,
    .valueName = "Drainage fractal dimension",
    .valueNoData = "cells closer than WS / 2 - 1 (top, left) or WS / 2 (bottom, right) to a "
                   "border; with segments also the cells off the network and those whose joined "
                   "segment has fewer than WS cells (the picture draws them as D = 0)",
    .noDataRule = "none of its own: it reads the network raster alone, without the DEM; the "
                  "NoData cells of an extracted network are never network cells",
    // The window reaches WS / 2 - 1 cells before its centre and WS / 2 after. The network is
    // the gray value of the last line holding network: a block of a raster drawn in one colour
    // finds the same one.
    .halo = [](const TreatmentArgs& args) -> std::optional<int> { return args.Int("window") / 2; },
    .run = RunDrainageFractal,
    .render = RenderDrainageFractal,
    .examples = "orvane-cli drainage-fractal --drainage d.bmp --mode segments --window 24 "
                "--out dfractal.bmp",
};

}  // namespace orvane
