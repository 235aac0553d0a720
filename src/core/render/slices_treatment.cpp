// The slices treatment's declaration (the "Shadowing" dialog): hypsometric slices or gray
// tones, optionally blended with the shading and darkened by cast shadows.
#include "core/common/grid_memory.h"
#include "core/render/cast_shadows.h"
#include "core/render/light_treatment.h"
#include "core/render/shading.h"
#include "core/render/slices.h"
#include "core/settings/settings_file.h"
#include "core/treatment/nodata_rule.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunSlices(const TreatmentInputs& in, const TreatmentArgs& args,
                                    unsigned, ProgressSink* progress) {
  const TDemModel& model = *in.dem;
  // The light options stand for the light dialog confirmed with OK.
  const TLightParams light = LightFromArgs(in.settings->light, args);
  const int tableIndex = args.Int("table");
  const bool shadow = args.Flag("shadow");
  std::unique_ptr<TRasterImage> result;
  if (tableIndex == kSliceNone) {
    result = RenderShaded(model, light, progress);
  } else if (tableIndex == kSliceGrayTones) {
    result = RenderSlices(model, nullptr, nullptr, 1.0, false, progress);
  } else {
    TClassTable table = HypsoTable(tableIndex);
    if (args.Flag("scale")) table.ScaleBounds(model.minElevation, model.maxElevation);
    result = RenderSlices(model, &light, &table, shadow ? 0.5 : 1.0, args.Flag("smooth"), progress);
  }
  if (!result) return GridMemoryError(model.lines, model.columns);

  if (args.Has("cast-shadows") && shadow) {
    auto shadows = RenderCastShadows(model, light.azimuth, light.elevation,
                                     args.Real("cast-shadows") / 100.0, progress);
    if (!shadows) return GridMemoryError(model.lines, model.columns);
    auto combined = shadows->Combine(*result, 2);
    if (!combined) return GridMemoryError(model.lines, model.columns);
    result = std::move(combined);
  }
  TreatmentOutput output;
  output.picture = std::move(result);
  // The shading alone is the shade's picture, voids and the cells lit through them included.
  if (tableIndex == kSliceNone) ApplyNoData(output, NoDataInWindows(model, 1));
  return output;
}

std::vector<ParamDeclaration> SlicesParamSpecs() {
  std::vector<ParamDeclaration> params = {
      {.name = "table",
       .type = ParamType::kChoice,
       .help = "colour table",
       .choices = {{"none", kSliceNone, "None"},
                   {"1", kSliceHypsoMap1, "HypsoMap 1"},
                   {"2", kSliceHypsoMap2, "HypsoMap 2"},
                   {"3", kSliceHypsoMap3, "HypsoMap 3"},
                   {"gray", kSliceGrayTones, "Gray Tones"}},
       .defaultText = "1",
       .showDefault = true},
      SmoothColoursParam("smooth colour transitions inside the slices"),
      SpreadClassesParam("spread the slice bounds evenly over the DEM's range"),
      {.name = "shadow", .type = ParamType::kFlag, .help = "blend the slices with the shaded relief"},
      {.name = "cast-shadows",
       .type = ParamType::kReal,
       .help = "add cast shadows (with --shadow); light left in a shadow, in percent",
       .unit = "%",
       .minimum = 0.0,
       .maximum = 100.0,
       .typeName = "PERCENT"},
  };
  for (ParamDeclaration& light : LightParamSpecs()) params.push_back(std::move(light));
  return params;
}

}  // namespace

extern const TreatmentDescriptor kSlicesTreatment{
    .id = "slices",
    .title = "Shadowing",
    .menu = "DEM Form",
    .summary = "Hypsometric slices and shading of a DEM",
    .inputs = kInputDem,
    .params = SlicesParamSpecs(),
    .outputs = kOutputPicture,
    .valueName = {},
    .valueUnit = {},
    .valueNoData = {},
    // Slices of a built-in table and the shading read a cell and its right and lower neighbours.
    .halo = [](const TreatmentArgs& args) -> std::optional<int> {
      const int table = args.Int("table");
      if (table == kSliceGrayTones || args.Flag("scale") ||
          (args.Has("cast-shadows") && args.Flag("shadow")))
        return std::nullopt;
      return 1;
    },
    .notLocalReason = "the gray tones and --scale spread over the DEM's elevation range "
                      "(RenderSlices), and cast shadows are traced across the whole grid "
                      "(RenderCastShadows)",
    .check = [](const TreatmentArgs& args) -> Status {
      if (args.Int("table") == kSliceNone && !args.Flag("shadow"))
        return Error{kBadParameter, "You must use a colormap or a single shadow"};
      return Status::Ok();
    },
    .run = RunSlices,
    .examples = "orvane-cli slices --dem data/jacksboro_m2.raw --pixel 90 --table 2 --smooth --shadow "
                "--out slices.bmp",
};

}  // namespace orvane
