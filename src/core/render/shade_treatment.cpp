// The shade treatment's declaration: the gray shaded relief the application shows when it opens
// a DEM, and the shading it is truncated from.
#include "core/common/grid_memory.h"
#include "core/render/light_treatment.h"
#include "core/render/shading.h"
#include "core/settings/settings_file.h"
#include "core/treatment/nodata_rule.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunShade(const TreatmentInputs& in, const TreatmentArgs& args,
                                   unsigned wanted, ProgressSink* progress) {
  const TDemModel& dem = *in.dem;
  const TLightParams light = LightFromArgs(in.settings->light, args);
  TreatmentOutput output;
  if (wanted & kOutputPicture) {
    output.picture = RenderShaded(dem, light, progress);
    if (!output.picture) return GridMemoryError(dem.lines, dem.columns);
  }
  if (wanted & kOutputValues) {
    // The float grid of the shading: the picture is each value truncated.
    TFloatGrid grid(dem.columns, dem.lines);
    if (!grid.IsAllocated()) return GridMemoryError(dem.lines, dem.columns);
    grid.Fill(kNoValue);
    ShadeToGrid(dem, grid, light, progress);
    ValueGrid& values = output.values.emplace(dem.columns, dem.lines, "");
    for (int l = 0; l < dem.lines; ++l) std::copy_n(grid.Row(l), dem.columns, values.Row(l));
  }
  ApplyNoData(output, NoDataInWindows(dem, 1));
  return output;
}

}  // namespace

extern const TreatmentDescriptor kShadeTreatment{
    .id = "shade",
    .title = "Shading",
    .menu = "DEM Form",
    .summary = "Gray shaded relief of a DEM",
    .inputs = kInputDem,
    .params = LightParamSpecs(),
    .outputs = kOutputPicture | kOutputValues,
    .valueName = "Shading (0 to 255)",
    .valueNoData = "the last line and the last column",
    .noDataRule = kNeighbourNoDataRule,
    // A cell is lit through the plane of its right and lower neighbours.
    .halo = [](const TreatmentArgs&) -> std::optional<int> { return 1; },
    .run = RunShade,
    .examples = "orvane-cli shade --dem data/jacksboro_m2.raw --pixel 90 --azimuth 315 --elevation 45 "
                "--out shade.bmp",
};

}  // namespace orvane
