// The declarations of the shape surfaces: the share of a square window's cells lying lower
// (convexity) or higher (concavity) than the centre, or at its height (horizontal surfaces, as
// gray levels or a binary mask of flats), as gray levels 0 .. D.
#include "core/surface/convexity.h"
#include "core/surface/horizontal_surfaces.h"
#include "core/treatment/nodata_rule.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

using ShapeCompute = Expected<ShapeResult> (*)(const TDemModel&, const ShapeParams&, ProgressSink*);

Expected<TreatmentOutput> RunShape(ShapeCompute compute, const TreatmentInputs& in,
                                   const TreatmentArgs& args, unsigned wanted,
                                   ProgressSink* progress) {
  ShapeParams params{args.Int("range"), args.Int("dynamism")};
  TreatmentOutput output;
  if (wanted & kOutputValues)
    params.shares = output.values.emplace(in.dem->columns, in.dem->lines, "").values.data();
  auto result = compute(*in.dem, params, progress);
  if (!result) return result.error();
  output.picture = std::move(result->image);
  output.margin = result->margin;
  ApplyNoData(output, NoDataInWindows(*in.dem, params.range, true));
  return output;
}

Expected<TreatmentOutput> RunHorizontal(const TreatmentInputs& in, const TreatmentArgs& args,
                                        unsigned wanted, ProgressSink* progress) {
  HorizontalParams params{args.Int("range"), args.Int("dynamism"), args.Flag("binarize")};
  TreatmentOutput output;
  if (wanted & kOutputValues)
    params.shares = output.values.emplace(in.dem->columns, in.dem->lines, "").values.data();
  auto result = ComputeHorizontalSurfaces(*in.dem, params, progress);
  if (!result) return result.error();
  output.picture = std::move(result->image);
  output.margin = result->margin;
  ApplyNoData(output, NoDataInWindows(*in.dem, params.range, true));
  return output;
}

// The window is counted whole: a share over filled-in cells would be invented.
constexpr const char* kShapeNoDataRule =
    "NaN where the cell's window (the largest up to R that fits) holds a NoData cell";

std::vector<ParamDeclaration> ShapeParamSpecs() {
  return {
      {.name = "range",
       .type = ParamType::kInteger,
       .help = "Half-size R of the largest window (0 computes nothing)",
       .unit = "pixels",
       .required = true,
       .minimum = 0,
       .maximum = kMaxDemSide},
      DynamismParam("Gray level of a full share"),
  };
}

// Each cell takes the largest window of half-size up to R that fits around it, so a block's
// cells need R cells around them to see the window the whole grid gives them.
std::optional<int> ShapeHalo(const TreatmentArgs& args) { return args.Int("range"); }

}  // namespace

extern const TreatmentDescriptor kConvexityTreatment{
    .id = "convexity",
    .title = "Convexity",
    .menu = "Surface Parameters",
    .summary = "Convexity image (share of lower neighbours)",
    .inputs = kInputDem,
    .params = ShapeParamSpecs(),
    .outputs = kOutputPicture | kOutputValues,
    .valueName = "Convexity share",
    .valueNoData = "the outer ring of cells; every cell when R = 0",
    .noDataRule = kShapeNoDataRule,
    .halo = ShapeHalo,
    .run =
        [](const TreatmentInputs& in, const TreatmentArgs& args, unsigned wanted,
           ProgressSink* progress) { return RunShape(&ComputeConvexity, in, args, wanted, progress); },
    .examples =
        "orvane-cli convexity --dem data/jacksboro_m2.raw --pixel 90 --range 5 --out convexity.bmp",
};

extern const TreatmentDescriptor kConcavityTreatment{
    .id = "concavity",
    .title = "Concavity",
    .menu = "Surface Parameters",
    .summary = "Concavity image (share of higher neighbours)",
    .inputs = kInputDem,
    .params = ShapeParamSpecs(),
    .outputs = kOutputPicture | kOutputValues,
    .valueName = "Concavity share",
    .valueNoData = "the outer ring of cells; every cell when R = 0",
    .noDataRule = kShapeNoDataRule,
    .halo = ShapeHalo,
    .run =
        [](const TreatmentInputs& in, const TreatmentArgs& args, unsigned wanted,
           ProgressSink* progress) { return RunShape(&ComputeConcavity, in, args, wanted, progress); },
    .examples = "orvane-cli concavity --dem data/jacksboro_m2.raw --pixel 90 --range 5 --dynamism 255 "
                "--out concavity.bmp",
};

extern const TreatmentDescriptor kHorizontalTreatment{
    .id = "horizontal",
    .title = "Horizontal Surfaces",
    .menu = "Surface Parameters",
    .summary = "Horizontal-surfaces image (share at the centre's height)",
    .inputs = kInputDem,
    .params = [] {
      std::vector<ParamDeclaration> params = ShapeParamSpecs();
      params.push_back({.name = "binarize",
                        .type = ParamType::kFlag,
                        .help = "Selection and binarization: 0 on flats, 200 elsewhere"});
      return params;
    }(),
    .outputs = kOutputPicture | kOutputValues,
    // With --binarize, the largest share over the window sizes: the picture's flats are where
    // it exceeds 99 / D.
    .valueName = "Horizontal share",
    .valueNoData = "the outer ring of cells; every cell when R = 0",
    .noDataRule = kShapeNoDataRule,
    .halo = ShapeHalo,
    .run = RunHorizontal,
    .examples = "orvane-cli horizontal --dem data/jacksboro_m2.raw --pixel 90 --range 3 --binarize "
                "--out flats.bmp",
};

}  // namespace orvane
