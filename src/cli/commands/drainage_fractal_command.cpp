// drainage-fractal: box-counting fractal dimension of the drainage network in a moving window.
#include "cli/command.h"
#include "core/morphometry/drainage_fractal.h"
#include "core/render/histogram_table.h"

namespace orvane::cli {

namespace {

class DrainageFractalCommand : public Command {
 public:
  std::string Name() const override { return "drainage-fractal"; }
  std::string Summary() const override {
    return "Fractal dimension of the drainage network (whole window or joined segments)";
  }
  void AddOptions(CLI::App& app) override {
    AddRasterInputOption(app, "--drainage", drainage_, "drainage raster");
    app.add_option("--mode", mode_, "all network cells of the window, or the segment joined to "
                                    "the centre")
        ->required()
        ->check(CLI::IsMember({"global", "segments"}));
    app.add_option("--window", window_, "moving window size")
        ->check(CLI::IsMember({12, 24}))
        ->capture_default_str();
    app.add_option("--scale", scale_, "dynamic scale of the image")
        ->check(CLI::IsMember({100, 255}))
        ->capture_default_str();
    AddHistogramOption(app, histogram_);
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto drainage = LoadRasterInput(drainage_, context);
    if (!drainage) return Report(context, drainage.error());
    DrainageFractalParams params;
    params.mode = mode_ == "global" ? FractalMode::kGlobal : FractalMode::kSegments;
    params.windowSize = window_;
    params.dynamicScale = scale_;
    auto result = ComputeDrainageFractal(**drainage, params, context.progress);
    if (!result) return Report(context, result.error());
    // The header's pixel size is not known without a DEM: 0 as for a bare image.
    const Status written = WriteRasterOutput(result->image, out_, 0);
    if (!written) return Report(context, written);
    if (!histogram_.empty()) {
      const Status saved = WriteTextOutput(histogram_, FractalDiagramTable(*result));
      if (!saved) return Report(context, saved);
    }
    PrintValue(context.out, "min", result->minimum);
    PrintValue(context.out, "max", result->maximum);
    return kExitOk;
  }

 private:
  std::string drainage_;
  std::string mode_;
  int window_ = 12;
  int scale_ = 100;
  std::string histogram_;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeDrainageFractalCommand() {
  return std::make_unique<DrainageFractalCommand>();
}

}  // namespace orvane::cli
