#include "cli/density_options.h"

#include "cli/command.h"
#include "core/drainage/density_image.h"
#include "core/render/histogram_table.h"

namespace orvane::cli {

void DensityPaletteOptions::Add(CLI::App& app) {
  app.add_option("--palette", palette, "class colours, gray classes, or gray tones 0..254")
      ->check(CLI::IsMember({"colored", "gray", "gray255"}))
      ->capture_default_str();
  app.add_flag("--smooth", smooth, "interpolate colours between classes");
  app.add_flag("--scale", scale, "spread the class bounds over the densities' range");
}

int DensityPaletteOptions::Choice() const {
  return palette == "colored" ? kColoredPalette
         : palette == "gray"  ? kGrayTonesPalette
                              : kGrayTones0255;
}

Status WriteDensityHistogram(const std::string& path, std::span<const std::int32_t> counts,
                             int bound) {
  return WriteTextOutput(path, ClassValueTable(counts, 0, DiagramClassCount(bound), 0.1));
}

}  // namespace orvane::cli
