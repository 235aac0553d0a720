// ratio-depth: relief of the drainage network over the relief of the terrain, per window.
#include "cli/command.h"
#include "core/morphometry/ratio_depth.h"

namespace orvane::cli {

namespace {

class RatioDepthCommand : public Command {
 public:
  std::string Name() const override { return "ratio-depth"; }
  std::string Summary() const override {
    return "Ratio of the drainage network's relief to the surface relief in a moving window";
  }
  void AddOptions(CLI::App& app) override {
    inputs_.Add(app);
    app.add_option("--window", window_, "window size WS in pixels")
        ->required()
        ->check(CLI::Range(0, 100000));
    app.add_option("--scale", scale_, "dynamic scale of the image")
        ->check(CLI::IsMember({100, 255}))
        ->capture_default_str();
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto inputs = LoadDrainageDem(inputs_, context);
    if (!inputs) return Report(context, inputs.error());
    const LoadedDem& dem = inputs->dem;
    TRasterImage& drainage = *inputs->drainage;
    auto result = ComputeRatioDepth(*dem.model, drainage, {window_, scale_}, context.progress);
    if (!result) return Report(context, result.error());
    const Status written = WriteRasterOutput(result->image, out_, dem);
    if (!written) return Report(context, written);
    return kExitOk;
  }

 private:
  DrainageDemOptions inputs_;
  int window_ = 0;
  int scale_ = 255;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeRatioDepthCommand() { return std::make_unique<RatioDepthCommand>(); }

}  // namespace orvane::cli
