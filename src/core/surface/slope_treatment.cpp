// The slope treatment's declaration: degrees per cell, pictured in a class table or gray tones.
#include <algorithm>
#include <limits>

#include "core/surface/gradient_picture.h"
#include "core/surface/slope.h"
#include "core/treatment/nodata_rule.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunSlope(const TreatmentInputs& in, const TreatmentArgs& args,
                                   unsigned wanted, ProgressSink* progress) {
  const TDemModel& dem = *in.dem;
  TSlopeParams params;
  ReadGrayOrClassParams(args, "table", kSlopeGrayTones, SlopeTable, params);
  TreatmentOutput output;
  if (wanted & kOutputValues) {
    output.values.emplace(dem.columns, dem.lines, "degrees");
    params.degrees = output.values->values.data();
    // Values alone: no picture is made, nor its levels.
    params.picture = (wanted & kOutputPicture) != 0;
  }
  auto slope = ComputeSlope(dem, params, progress);
  if (!slope) return slope.error();
  // One line or one column forms no triangle: the picture shows it level, but its value is
  // unknown, not 0.
  if (output.values && (dem.lines < 2 || dem.columns < 2))
    std::fill(output.values->values.begin(), output.values->values.end(),
              std::numeric_limits<float>::quiet_NaN());
  if (Status s = TakeGradientPicture(output, std::move(slope->image), params.grayTones, in, args, wanted, progress); !s)
    return s.error();
  ApplyNoData(output, NoDataInWindows(dem, 1));
  return output;
}

}  // namespace

extern const TreatmentDescriptor kSlopeTreatment{
    .id = "slope",
    .title = "Slope",
    .menu = "Surface Parameters",
    .summary = "Slope image (class table or gray tones)",
    .inputs = kInputDem,
    .params =
        {
            {.name = "table",
             .type = ParamType::kChoice,
             .help = "colour table 1, 2, 3 or gray tones",
             .choices = {{"1", 1, "Table 1"}, {"2", 2, "Table 2"}, {"3", 3, "Table 3"},
                         {"gray", kSlopeGrayTones, "Gray Tones"}},
             .defaultText = "2",
             .showDefault = true},
            GrayNormalizationParam("normalization of the gray tones", {90, 180, 255}, 90),
            SmoothColoursParam("interpolate colours between neighbouring classes"),
            ShadedReliefParam("average with the shaded relief made at opening"),
        },
    .outputs = kOutputPicture | kOutputValues,
    .valueName = "Slope",
    .valueUnit = "degrees",
    .valueNoData = "none: every cell has a slope (edge cells from their two or three triangles), "
                   "except on a DEM one cell wide or tall, which forms no triangle",
    .noDataRule = kNeighbourNoDataRule,
    // The summed normal reads the four direct neighbours; edge cells use the triangles they
    // have, so a block's own border differs from the grid's: one cell of halo.
    .halo = [](const TreatmentArgs&) -> std::optional<int> { return 1; },
    .check = [](const TreatmentArgs& args) -> Status {
      // The colour tables always take normalization 90, as the dialog checks it for them.
      if (args.Int("table") != kSlopeGrayTones && args.Int("norm") != 90)
        return Error{kBadParameter, "--norm 180 and 255 are only for --table gray"};
      return Status::Ok();
    },
    .run = RunSlope,
    .examples =
        "orvane-cli slope --dem data/jacksboro_m2.raw --pixel 90 --out slope.bmp\n"
        "orvane-cli slope --dem data/jacksboro_m2.raw --pixel 90 --table gray --norm 255 --out slope.raw",
};

}  // namespace orvane
