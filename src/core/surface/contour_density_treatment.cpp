// The contour-density treatment's declaration: the length of contour lines per square window
// (blocks or moving window), as gray levels 0 .. D.
#include "core/surface/contour_density.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

ContourDensityParams ParamsOf(const TreatmentArgs& args) {
  ContourDensityParams params;
  params.window = args.Int("window");
  params.interval = args.Int("interval");
  params.dynamism = args.Int("dynamism");
  params.tiling = static_cast<ContourTiling>(args.Int("tiling"));
  return params;
}

Expected<TreatmentOutput> RunContourDensity(const TreatmentInputs& in, const TreatmentArgs& args,
                                            unsigned wanted, ProgressSink* progress) {
  ContourDensityParams params = ParamsOf(args);
  params.unitDivisor = in.unitFactor;
  TreatmentOutput output;
  if ((wanted & kOutputValues) || in.dem->HasNoData())
    params.density = output.values.emplace(in.dem->columns, in.dem->lines, "km/km2").values.data();
  auto result = ComputeContourDensity(*in.dem, params, progress);
  if (!result) return result.error();
  output.picture = std::move(result->image);
  output.margin = result->margin;
  MarkCellsWithoutGround(output, *in.dem, result->frame, (wanted & kOutputValues) != 0);
  return output;
}

}  // namespace

extern const TreatmentDescriptor kContourDensityTreatment{
    .id = "contour-density",
    .title = "Contour Line Density",
    .menu = "Surface Parameters",
    .summary = "Contour-line density image",
    .inputs = kInputDem,
    .params =
        {
            WindowSideParam("Window size S in pixels", 0, kMaxDemSide),
            {.name = "interval",
             .type = ParamType::kInteger,
             .help = "Hypsometric interval I in metres",
             .unit = "m",
             .required = true,
             .minimum = 0,
             .maximum = 1000000},
            DynamismParam("Gray level of the densest window"),
            {.name = "tiling",
             .type = ParamType::kChoice,
             .help = "grid: S x S blocks; moving: a window around every cell",
             .choices = {{"grid", static_cast<int>(ContourTiling::kSquaredGrid), "Squared Grid"},
                         {"moving", static_cast<int>(ContourTiling::kMovingWindow), "Moving Window"}},
             .defaultText = "grid"},
        },
    .outputs = kOutputPicture | kOutputValues,
    .valueName = "Contour-line density",
    .valueUnit = "km/km2",
    .valueNoData = "moving window: cells closer than trunc(S / 2) + 1 to a border; grid: the first "
                   "line and column and the right and bottom remainder narrower than S",
    .noDataRule = "NaN where the cell is NoData or fewer than half of its window's (block's) cells "
                  "have a known contour length (it reads the cells two steps around); the density "
                  "is that of those cells",
    .halo = [](const TreatmentArgs&) -> std::optional<int> { return std::nullopt; },
    .notLocalReason = "the contour levels count from the DEM's lowest elevation and the blocks from "
                      "its first line and column (ComputeContourDensity)",
    .check = [](const TreatmentArgs& args) -> Status { return CheckContourDensityParams(ParamsOf(args)); },
    .run = RunContourDensity,
    .examples = "orvane-cli contour-density --dem data/jacksboro_m2.raw --pixel 90 --window 10 "
                "--interval 20 --tiling moving --out density.bmp",
};

}  // namespace orvane
