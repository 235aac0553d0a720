// shade: the gray shaded relief the application shows when it opens a DEM.
#include "cli/command.h"
#include "core/common/grid_memory.h"
#include "cli/commands/light_options.h"
#include "core/render/shading.h"

namespace orvane::cli {

namespace {

class ShadeCommand : public Command {
 public:
  std::string Name() const override { return "shade"; }
  std::string Summary() const override { return "Gray shaded relief of a DEM"; }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    light_.Add(app);
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    const TLightParams light = light_.Resolve(dem->settings.light);
    auto shaded = RenderShaded(*dem->model, light, context.progress);
    if (!shaded) return Report(context, GridMemoryError(dem->model->lines, dem->model->columns));
    return Report(context, WriteRasterOutput(*shaded, out_, *dem));
  }

 private:
  DemOptions dem_;
  LightOptions light_;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeShadeCommand() { return std::make_unique<ShadeCommand>(); }

}  // namespace orvane::cli
