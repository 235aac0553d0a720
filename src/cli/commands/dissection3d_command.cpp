// dissection3d: network length per area, flat and along the terrain, in a moving window.
#include "cli/command.h"
#include "core/drainage/density_image.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/render/histogram_table.h"

namespace orvane::cli {

namespace {

class Dissection3DCommand : public Command {
 public:
  std::string Name() const override { return "dissection3d"; }
  std::string Summary() const override {
    return "3D dissection density: drainage length along the terrain per unit of area";
  }
  void AddOptions(CLI::App& app) override {
    AddRasterInputOption(app, "--drainage", drainage_, "drainage raster");
    dem_.Add(app);
    app.add_option("--window", window_, "window size N in pixels (at least 2)")
        ->required()
        ->check(CLI::Range(2, 100000));
    app.add_option("--palette", palette_, "class colours, gray classes, or gray tones 0..254")
        ->check(CLI::IsMember({"colored", "gray", "gray255"}))
        ->capture_default_str();
    app.add_flag("--smooth", smooth_, "interpolate colours between classes");
    app.add_flag("--scale", scale_, "spread the class bounds over the densities' range");
    AddHistogramOption(app, histogram_);
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    auto drainage = LoadRasterInput(drainage_, context);
    if (!drainage) return Report(context, drainage.error());
    Dissection3DParams params;
    params.windowSize = window_;
    params.unitDivisor = dem->unitFactor;
    params.pixelSize = dem->wholeMetres;
    auto result = ComputeDissection3D(*dem->model, **drainage, params, context.progress);
    if (!result) return Report(context, result.error());

    const int choice = palette_ == "colored" ? kColoredPalette
                       : palette_ == "gray"  ? kGrayTonesPalette
                                             : kGrayTones0255;
    const TClassTable table = DensityClassTable(choice, scale_, result->minimum, result->maximum);
    TRasterImage image = Dissection3DImage(*result, choice, table, smooth_);
    const Status written = WriteRasterOutput(image, out_, *dem);
    if (!written) return Report(context, written);
    if (!histogram_.empty()) {
      // The diagram saves the 3D counts up to its bound, as its window draws them.
      const std::string text =
          ClassValueTable(result->histogram3D, 0, DiagramClassCount(result->upperBound), 0.1);
      const Status saved = WriteTextOutput(histogram_, text);
      if (!saved) return Report(context, saved);
    }
    PrintValue(context.out, "min", result->minimum);
    PrintValue(context.out, "max", result->maximum);
    return kExitOk;
  }

 private:
  DemOptions dem_;
  std::string drainage_;
  int window_ = 0;
  std::string palette_ = "colored";
  bool smooth_ = false;
  bool scale_ = false;
  std::string histogram_;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeDissection3DCommand() {
  return std::make_unique<Dissection3DCommand>();
}

}  // namespace orvane::cli
