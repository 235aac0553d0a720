// dissection3d: network length per area, flat and along the terrain, in a moving window.
#include "cli/command.h"
#include "cli/density_options.h"
#include "core/drainage/density_image.h"
#include "core/morphometry/dissection_density_3d.h"

namespace orvane::cli {

namespace {

class Dissection3DCommand : public Command {
 public:
  std::string Name() const override { return "dissection3d"; }
  std::string Summary() const override {
    return "3D dissection density: drainage length along the terrain per unit of area";
  }
  void AddOptions(CLI::App& app) override {
    inputs_.Add(app);
    app.add_option("--window", window_, "window size N in pixels (at least 2)")
        ->required()
        ->check(CLI::Range(2, 100000));
    palette_.Add(app);
    AddHistogramOption(app, histogram_);
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto inputs = LoadDrainageDem(inputs_, context);
    if (!inputs) return Report(context, inputs.error());
    const LoadedDem& dem = inputs->dem;
    TRasterImage& drainage = *inputs->drainage;
    Dissection3DParams params;
    params.windowSize = window_;
    params.unitDivisor = dem.unitFactor;
    params.pixelSize = dem.wholeMetres;
    auto result = ComputeDissection3D(*dem.model, drainage, params, context.progress);
    if (!result) return Report(context, result.error());

    const int choice = palette_.Choice();
    const TClassTable table =
        DensityClassTable(choice, palette_.scale, result->minimum, result->maximum);
    TRasterImage image = Dissection3DImage(*result, choice, table, palette_.smooth);
    const Status written = WriteRasterOutput(image, out_, dem);
    if (!written) return Report(context, written);
    if (!histogram_.empty()) {
      // The diagram saves the 3D counts up to its bound, as its window draws them.
      const Status saved =
          WriteDensityHistogram(histogram_, result->histogram3D, result->upperBound);
      if (!saved) return Report(context, saved);
    }
    PrintValue(context.out, "min", result->minimum);
    PrintValue(context.out, "max", result->maximum);
    return kExitOk;
  }

 private:
  DrainageDemOptions inputs_;
  int window_ = 0;
  DensityPaletteOptions palette_;
  std::string histogram_;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeDissection3DCommand() {
  return std::make_unique<Dissection3DCommand>();
}

}  // namespace orvane::cli
