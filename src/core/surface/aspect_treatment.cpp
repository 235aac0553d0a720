// The aspect treatment's declaration: the azimuth of steepest descent per cell, pictured in the
// painting palette or in gray tones, with its direction frequency table.
#include "core/render/histogram_table.h"
#include "core/surface/aspect.h"
#include "core/surface/gradient_picture.h"
#include "core/treatment/nodata_rule.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunAspect(const TreatmentInputs& in, const TreatmentArgs& args,
                                    unsigned wanted, ProgressSink* progress) {
  const TDemModel& dem = *in.dem;
  TAspectParams params;
  ReadGrayOrClassParams(args, "palette", kAspectGrayTones, [](int) { return AspectPaintingPalette(); }, params);
  TreatmentOutput output;
  if (wanted & kOutputValues)
    params.degrees = output.values.emplace(dem.columns, dem.lines, "degrees").values.data();
  const std::vector<std::uint8_t> noData = NoDataInWindows(dem, 1);
  if (!noData.empty()) params.uncounted = noData.data();
  auto aspect = ComputeAspect(dem, params, progress);
  if (!aspect) return aspect.error();
  if (Status s = TakeGradientPicture(output, std::move(aspect->image), params.grayTones, in, args, wanted, progress); !s)
    return s.error();
  if (wanted & kOutputHistogram) output.histogram = DirectionTable(aspect->histogram);
  // The desktop's direction diagram is drawn from the frequencies.
  if (wanted & kOutputDrawing) output.drawing = aspect->histogram;
  ApplyNoData(output, noData);
  return output;
}

}  // namespace

extern const TreatmentDescriptor kAspectTreatment{
    .id = "aspect",
    .title = "Aspect",
    .menu = "Surface Parameters",
    .summary = "Aspect image (painting palette or gray tones) and direction frequencies",
    .inputs = kInputDem,
    .params =
        {
            {.name = "palette",
             .type = ParamType::kChoice,
             .help = "painting palette or gray tones",
             .choices = {{"painting", kAspectPaintingPalette, "Painting Palette"},
                         {"gray", kAspectGrayTones, "Gray Tones"}},
             .defaultText = "painting",
             .showDefault = true},
            GrayNormalizationParam("normalization N: level = aspect x N / 360", {18, 36, 90, 180, 255, 360},
                                   360),
            SmoothColoursParam("interpolate colours between neighbouring classes"),
            ShadedReliefParam("average with the shaded relief made at opening (painting palette)"),
        },
    .outputs = kOutputPicture | kOutputValues | kOutputHistogram,
    .valueName = "Aspect",
    .valueUnit = "degrees",
    .valueNoData = "flat cells (a zero Sobel gradient: level neighbourhoods) and the outer "
                   "ring of cells",
    .noDataRule = kNeighbourNoDataRule,
    .histogramAfterPicture = true,
    // The 3 x 3 Sobel kernels read the eight neighbours; the grid's outer ring has no value.
    .halo = [](const TreatmentArgs&) -> std::optional<int> { return 1; },
    .check = [](const TreatmentArgs& args) -> Status {
      if (args.Int("palette") == kAspectPaintingPalette) {
        // The painting palette's classes are bounded in degrees: its levels are the azimuth.
        if (args.Int("norm") != 360)
          return Error{kBadParameter, "--norm applies to --palette gray only"};
      } else if (args.Flag("shade")) {
        return Error{kBadParameter, "--shade applies to --palette painting only"};
      }
      return Status::Ok();
    },
    .run = RunAspect,
    .examples = "orvane-cli aspect --dem data/jacksboro_m2.raw --pixel 90 --smooth --out aspect.bmp "
                "--histogram aspect.txt",
};

}  // namespace orvane
