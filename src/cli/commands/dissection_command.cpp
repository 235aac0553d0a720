// dissection: dissection density of the drainage network on a grid or in a moving window.
#include "cli/command.h"
#include "core/drainage/density_image.h"
#include "core/drainage/dissection_density.h"
#include "core/render/histogram_table.h"

namespace orvane::cli {

namespace {

class DissectionCommand : public Command {
 public:
  std::string Name() const override { return "dissection"; }
  std::string Summary() const override {
    return "Dissection density (network pixels or length per window) of a drainage network";
  }
  void AddOptions(CLI::App& app) override {
    AddRasterInputOption(app, "--drainage", drainage_, "drainage raster");
    dem_.Add(app);
    app.add_option("--tiling", tiling_, "adjacent blocks or a window centred on every pixel")
        ->required()
        ->check(CLI::IsMember({"grid", "moving"}));
    app.add_option("--measure", measure_, "network pixel count or network length")
        ->required()
        ->check(CLI::IsMember({"pixels", "length"}));
    app.add_option("--window", window_, "window size WS in pixels (at least 2)")
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

    DissectionParams params;
    params.tiling = tiling_ == "grid" ? DensityTiling::kGrid : DensityTiling::kMoving;
    params.measure = measure_ == "pixels" ? DensityMeasure::kPixels : DensityMeasure::kLength;
    params.windowSize = window_;
    auto field = ComputeDissectionDensity(**drainage, params, context.progress);
    if (!field) return Report(context, field.error());

    const int choice = palette_ == "colored" ? kColoredPalette
                       : palette_ == "gray"  ? kGrayTonesPalette
                                             : kGrayTones0255;
    const TClassTable table = DensityClassTable(choice, scale_, field->minimum, field->maximum);
    auto image = RenderDensityField(*field, choice, table, smooth_);
    if (!image) return Report(context, image.error());

    const Status written = WriteRasterOutput(*image->image, out_, *dem);
    if (!written) return Report(context, written);
    if (!histogram_.empty()) {
      const std::string text =
          ClassValueTable(image->histogram, 0, DiagramClassCount(image->bound), 0.1);
      const Status saved = WriteTextOutput(histogram_, text);
      if (!saved) return Report(context, saved);
    }
    PrintValue(context.out, "min", field->minimum);
    PrintValue(context.out, "max", field->maximum);
    return kExitOk;
  }

 private:
  DemOptions dem_;
  std::string drainage_;
  std::string tiling_;
  std::string measure_;
  int window_ = 0;
  std::string palette_ = "colored";
  bool smooth_ = false;
  bool scale_ = false;
  std::string histogram_;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeDissectionCommand() { return std::make_unique<DissectionCommand>(); }

}  // namespace orvane::cli
