// slices: the "Shadowing" command: hypsometric slices or gray tones, optionally blended with
// the shading and darkened by cast shadows.
#include <optional>

#include "cli/command.h"
#include "core/common/grid_memory.h"
#include "cli/commands/light_options.h"
#include "core/render/cast_shadows.h"
#include "core/render/shading.h"
#include "core/render/slices.h"

namespace orvane::cli {

namespace {

class SlicesCommand : public Command {
 public:
  std::string Name() const override { return "slices"; }
  std::string Summary() const override { return "Hypsometric slices and shading of a DEM"; }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--table", table_, "colour table")
        ->check(CLI::IsMember({"none", "1", "2", "3", "gray"}))
        ->capture_default_str();
    app.add_flag("--smooth", smooth_, "smooth colour transitions inside the slices");
    app.add_flag("--scale", scale_, "spread the slice bounds evenly over the DEM's range");
    app.add_flag("--shadow", shadow_, "blend the slices with the shaded relief");
    app.add_option("--cast-shadows", castShadows_,
                   "add cast shadows (with --shadow); light left in a shadow, in percent")
        ->check(CLI::Range(0.0, 100.0))
        ->type_name("PERCENT");
    light_.Add(app);
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    if (table_ == "none" && !shadow_)
      return Report(context, UsageError("You must use a colormap or a single shadow"));
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    const TDemModel& model = *dem->model;
    // The light options stand for the light dialog confirmed with OK.
    const TLightParams light = light_.Resolve(dem->settings.light);

    std::unique_ptr<TRasterImage> result;
    if (table_ == "none") {
      result = RenderShaded(model, light, context.progress);
    } else if (table_ == "gray") {
      result = RenderSlices(model, nullptr, nullptr, 1.0, false, context.progress);
    } else {
      TClassTable table = HypsoTable(std::stoi(table_));
      if (scale_) table.ScaleBounds(model.minElevation, model.maxElevation);
      result = RenderSlices(model, &light, &table, shadow_ ? 0.5 : 1.0, smooth_, context.progress);
    }
    if (!result) return Report(context, GridMemoryError(model.lines, model.columns));

    if (castShadows_ && shadow_) {
      auto shadows = RenderCastShadows(model, light.azimuth, light.elevation, *castShadows_ / 100.0,
                                       context.progress);
      if (!shadows) return Report(context, GridMemoryError(model.lines, model.columns));
      auto combined = shadows->Combine(*result, 2);
      if (!combined) return Report(context, GridMemoryError(model.lines, model.columns));
      result = std::move(combined);
    }
    return Report(context, WriteRasterOutput(*result, out_, *dem));
  }

 private:
  DemOptions dem_;
  LightOptions light_;
  std::string table_ = "1";
  bool smooth_ = false;
  bool scale_ = false;
  bool shadow_ = false;
  std::optional<double> castShadows_;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeSlicesCommand() { return std::make_unique<SlicesCommand>(); }

}  // namespace orvane::cli
