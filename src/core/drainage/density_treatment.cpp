#include "core/drainage/density_treatment.h"

#include "core/drainage/density_image.h"
#include "core/render/histogram_table.h"

namespace orvane {

std::vector<ParamSpec> DensityPaletteParams() {
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
      {.name = "scale",
       .type = ParamType::kFlag,
       .help = "spread the class bounds over the densities' range"},
  };
}

std::string DensityHistogramTable(std::span<const std::int32_t> counts, int bound) {
  return ClassValueTable(counts, 0, DiagramClassCount(bound), 0.1);
}

std::vector<ParamSpec> JoinParams(std::vector<ParamSpec> first, const std::vector<ParamSpec>& more) {
  first.insert(first.end(), more.begin(), more.end());
  return first;
}

}  // namespace orvane
