// aspect: the aspect image of a DEM in the painting palette or in gray tones, and its
// direction frequency table.
#include "cli/command.h"
#include "core/common/grid_memory.h"
#include "core/render/histogram_table.h"
#include "core/render/shading.h"
#include "core/surface/aspect.h"

namespace orvane::cli {

namespace {

class AspectCommand : public Command {
 public:
  std::string Name() const override { return "aspect"; }
  std::string Summary() const override {
    return "Aspect image (painting palette or gray tones) and direction frequencies";
  }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--palette", palette_, "painting palette or gray tones")
        ->check(CLI::IsMember({"painting", "gray"}))
        ->capture_default_str();
    app.add_option("--norm", norm_, "normalization N: level = aspect x N / 360")
        ->check(CLI::IsMember({18, 36, 90, 180, 255, 360}))
        ->capture_default_str();
    app.add_flag("--smooth", smooth_, "interpolate colours between neighbouring classes");
    app.add_flag("--shade", shade_, "average with the shaded relief made at opening (painting palette)");
    AddOutputOption(app, out_);
    AddHistogramOption(app, histogram_);
  }
  int Run(CommandContext& context) override {
    TAspectParams params;
    params.grayTones = palette_ == "gray";
    if (!params.grayTones) {
      if (norm_ != 360) return Report(context, UsageError("--norm applies to --palette gray only"));
      params.table = AspectPaintingPalette();
    } else if (shade_) {
      return Report(context, UsageError("--shade applies to --palette painting only"));
    }
    params.normalization = norm_;
    params.smoothing = smooth_;
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    auto aspect = ComputeAspect(*dem->model, params, context.progress);
    if (!aspect) return Report(context, aspect.error());
    std::unique_ptr<TRasterImage> result = std::move(aspect->image);
    if (shade_) {
      auto relief = RenderShaded(*dem->model, dem->settings.light, context.progress);
      if (!relief) return Report(context, GridMemoryError(dem->model->lines, dem->model->columns));
      result = result->Blend(*relief, 0.5);
      if (!result) return Report(context, Error{kAllocationFailed, "Cannot blend with the shaded relief"});
    }
    const Status written = WriteRasterOutput(*result, out_, *dem);
    if (!written) return Report(context, written);
    if (!histogram_.empty()) {
      return Report(context, WriteTextOutput(histogram_, DirectionTable(aspect->histogram)));
    }
    return kExitOk;
  }

 private:
  DemOptions dem_;
  std::string palette_ = "painting";
  int norm_ = 360;
  bool smooth_ = false;
  bool shade_ = false;
  std::string out_;
  std::string histogram_;
};

}  // namespace

std::unique_ptr<Command> MakeAspectCommand() { return std::make_unique<AspectCommand>(); }

}  // namespace orvane::cli
