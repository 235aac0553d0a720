// headwaters: density of the drainage network's upstream ends in a square moving window.
#include "cli/command.h"
#include "core/drainage/headwaters_density.h"

namespace orvane::cli {

namespace {

class HeadwatersCommand : public Command {
 public:
  std::string Name() const override { return "headwaters"; }
  std::string Summary() const override {
    return "Headwaters density of a drainage network in a moving window";
  }
  void AddOptions(CLI::App& app) override {
    inputs_.Add(app);
    app.add_option("--hws", hws_, "half window size V (window 2V + 1)")
        ->required()
        ->check(CLI::Range(0, 100000));
    app.add_option("--scale", scale_, "dynamic scale of the gray result")
        ->check(CLI::IsMember({100, 255}))
        ->capture_default_str();
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto inputs = LoadDrainageDem(inputs_, context);
    if (!inputs) return Report(context, inputs.error());
    const LoadedDem& dem = inputs->dem;
    TRasterImage& drainage = *inputs->drainage;
    auto result = HeadwatersDensity(drainage, *dem.model, {hws_, scale_}, context.progress);
    if (!result) {
      Error error = result.error();
      if (error.code == kWrongFormat) error.message = "'" + inputs_.drainage + "': " + error.message;
      return Report(context, error);
    }
    const Status written = WriteRasterOutput(*result->image, out_, dem);
    if (!written) return Report(context, written);
    PrintValue(context.out, "headwaters", result->headwaters);
    return kExitOk;
  }

 private:
  DrainageDemOptions inputs_;
  int hws_ = 0;
  int scale_ = 100;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeHeadwatersCommand() { return std::make_unique<HeadwatersCommand>(); }

}  // namespace orvane::cli
