// slope: the slope image of a DEM, in one of the three class tables or in gray tones.
#include "cli/command.h"
#include "core/common/grid_memory.h"
#include "core/render/shading.h"
#include "core/surface/slope.h"

namespace orvane::cli {

namespace {

class SlopeCommand : public Command {
 public:
  std::string Name() const override { return "slope"; }
  std::string Summary() const override { return "Slope image (class table or gray tones)"; }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--table", table_, "colour table 1, 2, 3 or gray tones")
        ->check(CLI::IsMember({"1", "2", "3", "gray"}))
        ->capture_default_str();
    app.add_option("--norm", norm_, "normalization of the gray tones")
        ->check(CLI::IsMember({90, 180, 255}))
        ->capture_default_str();
    app.add_flag("--smooth", smooth_, "interpolate colours between neighbouring classes");
    app.add_flag("--shade", shade_, "average with the shaded relief made at opening");
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    TSlopeParams params;
    params.grayTones = table_ == "gray";
    if (!params.grayTones) {
      // The colour tables always take normalization 90, as the dialog checks it for them.
      if (norm_ != 90) return Report(context, UsageError("--norm 180 and 255 are only for --table gray"));
      params.table = SlopeTable(table_[0] - '0');
    }
    params.normalization = norm_;
    params.smoothing = smooth_;
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    auto slope = ComputeSlope(*dem->model, params, context.progress);
    if (!slope) return Report(context, slope.error());
    std::unique_ptr<TRasterImage> result = std::move(slope->image);
    if (shade_) {
      auto relief = RenderShaded(*dem->model, dem->settings.light, context.progress);
      if (!relief) return Report(context, GridMemoryError(dem->model->lines, dem->model->columns));
      result = result->Blend(*relief, 0.5);
      if (!result) return Report(context, Error{kAllocationFailed, "Cannot blend with the shaded relief"});
    }
    return Report(context, WriteRasterOutput(*result, out_, *dem));
  }

 private:
  DemOptions dem_;
  std::string table_ = "2";
  int norm_ = 90;
  bool smooth_ = false;
  bool shade_ = false;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeSlopeCommand() { return std::make_unique<SlopeCommand>(); }

}  // namespace orvane::cli
