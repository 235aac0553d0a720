// gray-histogram: the gray-level histogram table of a parameter image inside its margin.
#include "cli/command.h"
#include "core/render/histogram_table.h"

namespace orvane::cli {

namespace {

class GrayHistogramCommand : public Command {
 public:
  std::string Name() const override { return "gray-histogram"; }
  std::string Summary() const override { return "Gray-level histogram table of a parameter image"; }
  void AddOptions(CLI::App& app) override {
    AddRasterInputOption(app, "--param", param_, "parameter image: .bmp, or .raw with its .txt header");
    app.add_option("--margin", margin_, "border width left out, in pixels")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    AddHistogramOption(app, histogram_, true);
  }
  int Run(CommandContext& context) override {
    auto image = LoadRasterInput(param_, context);
    if (!image) return Report(context, image.error());
    return Report(context,
                  WriteTextOutput(histogram_, GrayHistogramTable(GrayLevelHistogram(**image, margin_))));
  }

 private:
  std::string param_;
  int margin_ = 0;
  std::string histogram_;
};

}  // namespace

std::unique_ptr<Command> MakeGrayHistogramCommand() {
  return std::make_unique<GrayHistogramCommand>();
}

}  // namespace orvane::cli
