// The palette treatment's declaration: an 8-bit parameter image coloured through a ten-class
// "Classical" or "Blue Base" table.
#include "core/common/grid_memory.h"
#include "core/render/palette.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunPalette(const TreatmentInputs& in, const TreatmentArgs& args, unsigned,
                                     ProgressSink* progress) {
  const TRasterImage& param = *in.param;
  if (param.kind == kRasterRgb)
    return Error{kBadParameter, "--param: the palette colours 8-bit images only, " +
                                    in.paramName + " is a colour image"};
  const int margin = args.Int("margin");
  // The classes span the image's values inside the margin unless given.
  const TGrayRange range = InnerGrayRange(param, margin);
  const double min = args.Has("min") ? args.Real("min") : range.min;
  const double max = args.Has("max") ? args.Real("max") : range.max;
  const TClassTable table = PaletteTable(args.Int("table"), min, max);
  TreatmentOutput output;
  output.picture = ApplyPalette(param, table, args.Flag("smooth"), margin, progress);
  if (!output.picture) return GridMemoryError(param.lines, param.columns);
  output.colourPicture = true;
  return output;
}

}  // namespace

extern const TreatmentDescriptor kPaletteTreatment{
    .id = "palette",
    .title = "Palette",
    .menu = "Tools",
    .summary = "Colour an 8-bit parameter image with a ten-class table",
    .inputs = kInputParam,
    .params =
        {
            {.name = "table",
             .type = ParamType::kChoice,
             .help = "colour table",
             .choices = {{"classical", kPaletteClassical, "Classical"},
                         {"bluebase", kPaletteBlueBase, "Blue Base"}},
             .defaultText = "bluebase",
             .showDefault = true},
            {.name = "min",
             .type = ParamType::kReal,
             .help = "lower end of the classes [the image's smallest value inside the margin]"},
            {.name = "max",
             .type = ParamType::kReal,
             .help = "upper end of the classes [the image's largest value inside the margin]"},
            {.name = "margin",
             .type = ParamType::kInteger,
             .help = "border width left white",
             .unit = "pixels",
             .minimum = 0,
             .defaultText = "0",
             .showDefault = true},
            SmoothColoursParam("smooth colour transitions inside the classes"),
        },
    .outputs = kOutputPicture,
    .colourPicture = true,
    .paramHelp = "8-bit parameter image",
    // Each cell's colour is its own value's class; the class bounds, when not given, are the
    // image's extremes inside the margin.
    .halo = [](const TreatmentArgs& args) -> std::optional<int> {
      if (args.Has("min") && args.Has("max")) return 0;
      return std::nullopt;
    },
    .notLocalReason = "without --min and --max the classes span the whole image's gray range "
                      "(InnerGrayRange)",
    .run = RunPalette,
    .examples =
        "orvane-cli palette --param slope.raw --table classical --smooth --out slope-colour.bmp",
};

}  // namespace orvane
