// The contours treatment's declaration: the contour lines of chosen levels, each line pixel
// holding the index of its level.
#include "core/surface/contour_lines.h"
#include "core/treatment/nodata_rule.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

ContourLinesParams ParamsOf(const TreatmentArgs& args) {
  return ContourLinesParams{args.Int("first"), args.Int("last"), args.Int("interval"), 1};
}

Expected<TreatmentOutput> RunContours(const TreatmentInputs& in, const TreatmentArgs& args,
                                      unsigned wanted, ProgressSink* progress) {
  ContourLinesParams params = ParamsOf(args);
  params.unitDivisor = in.unitFactor;
  auto result = ComputeContourLines(*in.dem, params, progress);
  if (!result) return result.error();
  TreatmentOutput output;
  if (wanted & kOutputValues) output.values = ContourLineValues(*result);
  output.picture = std::move(result->image);
  // Whether a cell lies on a line reads its direct neighbours.
  ApplyNoData(output, NoDataInWindows(*in.dem, 1));
  return output;
}

}  // namespace

extern const TreatmentDescriptor kContoursTreatment{
    .id = "contours",
    .title = "Contour Line Extraction",
    .menu = "DEM Form",
    .summary = "Contour-line image (level index per pixel)",
    .inputs = kInputDem,
    .params =
        {
            {.name = "first",
             .type = ParamType::kInteger,
             .help = "First contour line, metres",
             .unit = "m",
             .required = true},
            {.name = "last",
             .type = ParamType::kInteger,
             .help = "Last contour line, metres",
             .unit = "m",
             .required = true},
            {.name = "interval",
             .type = ParamType::kInteger,
             .help = "Hypsometric interval, metres",
             .unit = "m",
             .required = true},
        },
    .outputs = kOutputPicture | kOutputValues,
    .valueName = "Contour elevation",
    .valueUnit = "m",
    .valueNoData = "cells not on the contour line of a listed level",
    .noDataRule = kNeighbourNoDataRule,
    // A cell's level is absolute; whether it lies on a line reads its four direct neighbours.
    .halo = [](const TreatmentArgs&) -> std::optional<int> { return 1; },
    .check = [](const TreatmentArgs& args) -> Status { return CheckContourLinesParams(ParamsOf(args)); },
    .run = RunContours,
    .examples = "orvane-cli contours --dem data/jacksboro_m2.raw --pixel 90 --first 200 --last 400 "
                "--interval 20 --out contours.bmp",
};

}  // namespace orvane
