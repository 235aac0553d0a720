#include "core/drainage/density_treatment.h"

#include <algorithm>

#include "core/drainage/density_image.h"
#include "core/render/histogram_table.h"

namespace orvane {

std::vector<ParamDeclaration> DensityPaletteParams() {
  return {
      {.name = "palette",
       .type = ParamType::kChoice,
       .help = "class colours, gray classes, or gray tones 0..254",
       .choices = {{"colored", kColoredPalette, "Colored Palette"},
                   {"gray", kGrayTonesPalette, "Gray Tones Palette"},
                   {"gray255", kGrayTones0255, "Gray Tones (0, 255)"}},
       .defaultText = "colored",
       .showDefault = true},
      {.name = "smooth", .type = ParamType::kFlag, .help = "interpolate colours between classes"},
      SpreadClassesParam("spread the class bounds over the densities' range"),
  };
}

TClassTable DensityTableOf(const TreatmentArgs& args, double minimum, double maximum) {
  return DensityClassTable(args.Int("palette"), args.Flag("scale"), args.Real("minimum", minimum),
                           args.Real("maximum", maximum));
}

Status DrawKeptPicture(TreatmentOutput& output, const TreatmentArgs& args, unsigned wanted,
                       const TreatmentDescriptor& treatment) {
  if ((wanted & kOutputDrawing) || !(wanted & kOutputPicture)) return {};
  auto picture = treatment.render(output, args);
  if (!picture) return picture.error();
  output.rawAsGray = (*picture)->kind == kRasterPalette;
  output.picture = std::move(*picture);
  output.drawing.reset();
  return {};
}

std::string DensityHistogramTable(std::span<const std::int32_t> counts, int bound) {
  return ClassValueTable(counts, 0, DiagramClassCount(bound, counts.size()), 0.1);
}

std::vector<ParamDeclaration> JoinParams(std::vector<ParamDeclaration> first, const std::vector<ParamDeclaration>& more) {
  first.insert(first.end(), more.begin(), more.end());
  return first;
}

ValueGrid DissectionValues(const DensityField& field, DensityMeasure measure) {
  ValueGrid values(field.columns, field.lines,
                   measure == DensityMeasure::kPixels ? "%" : "pixel lengths per 100 cells");
  for (int j = 0; j < field.windowsY; ++j) {
    for (int i = 0; i < field.windowsX; ++i) {
      const auto d = static_cast<float>(field.density[static_cast<std::size_t>(j) * field.windowsX + i]);
      int x0, y0, x1, y1;
      field.OutputRect(i, j, x0, y0, x1, y1);
      for (int y = y0; y < std::min(y1, field.lines); ++y)
        for (int x = x0; x < std::min(x1, field.columns); ++x) values.At(x, y) = d;
    }
  }
  return values;
}

}  // namespace orvane
