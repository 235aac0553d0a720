// dissection: dissection density of the drainage network on a grid or in a moving window.
#include "cli/command.h"
#include "cli/density_options.h"
#include "core/drainage/density_image.h"
#include "core/drainage/dissection_density.h"

namespace orvane::cli {

namespace {

class DissectionCommand : public Command {
 public:
  std::string Name() const override { return "dissection"; }
  std::string Summary() const override {
    return "Dissection density (network pixels or length per window) of a drainage network";
  }
  void AddOptions(CLI::App& app) override {
    inputs_.Add(app);
    app.add_option("--tiling", tiling_, "adjacent blocks or a window centred on every pixel")
        ->required()
        ->check(CLI::IsMember({"grid", "moving"}));
    app.add_option("--measure", measure_, "network pixel count or network length")
        ->required()
        ->check(CLI::IsMember({"pixels", "length"}));
    app.add_option("--window", window_, "window size WS in pixels (at least 2)")
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

    DissectionParams params;
    params.tiling = tiling_ == "grid" ? DensityTiling::kGrid : DensityTiling::kMoving;
    params.measure = measure_ == "pixels" ? DensityMeasure::kPixels : DensityMeasure::kLength;
    params.windowSize = window_;
    auto field = ComputeDissectionDensity(drainage, params, context.progress);
    if (!field) return Report(context, field.error());

    const int choice = palette_.Choice();
    const TClassTable table =
        DensityClassTable(choice, palette_.scale, field->minimum, field->maximum);
    auto image = RenderDensityField(*field, choice, table, palette_.smooth);
    if (!image) return Report(context, image.error());

    const Status written = WriteRasterOutput(*image->image, out_, dem);
    if (!written) return Report(context, written);
    if (!histogram_.empty()) {
      const Status saved = WriteDensityHistogram(histogram_, image->histogram, image->bound);
      if (!saved) return Report(context, saved);
    }
    PrintValue(context.out, "min", field->minimum);
    PrintValue(context.out, "max", field->maximum);
    return kExitOk;
  }

 private:
  DrainageDemOptions inputs_;
  std::string tiling_;
  std::string measure_;
  int window_ = 0;
  DensityPaletteOptions palette_;
  std::string histogram_;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeDissectionCommand() { return std::make_unique<DissectionCommand>(); }

}  // namespace orvane::cli
