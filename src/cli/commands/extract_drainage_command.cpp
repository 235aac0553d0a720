// extract-drainage: the drainage network of a DEM (valley marking, thinning, colouring).
#include <algorithm>
#include <map>

#include "cli/command.h"
#include "core/drainage/drainage_extraction.h"

namespace orvane::cli {

namespace {

const std::map<std::string, int> kColourCodes = {{"black", kNetworkBlack},
                                                 {"blue", kNetworkBlue},
                                                 {"red", kNetworkRed},
                                                 {"green", kNetworkGreen},
                                                 {"yellow", kNetworkYellow}};

class ExtractDrainageCommand : public Command {
 public:
  std::string Name() const override { return "extract-drainage"; }
  std::string Summary() const override {
    return "Drainage network of a DEM: valley cells thinned to one-pixel lines";
  }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--upper", upper_, "upper range R (window 2R + 1); the passes run R = 2 .. U")
        ->required();
    app.add_option("--lower", lower_, "lower range, at least 1 and below the upper range")
        ->capture_default_str();
    app.add_option("--colour", colour_, "network colour")
        ->check(CLI::IsMember({"black", "blue", "red", "green", "yellow"}))
        ->capture_default_str();
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    const Status valid = ValidateExtractionRanges(lower_, upper_);
    if (!valid) {
      std::string message = valid.message();
      std::replace(message.begin(), message.end(), '\n', ' ');
      const std::string option = lower_ < 1 ? "--lower" : "--upper";
      return Report(context, UsageError(option + ": " + message));
    }
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    ExtractionParams params;
    params.lowerRange = lower_;
    params.upperRange = upper_;
    params.colourCode = kColourCodes.at(colour_);
    auto result = ExtractDrainage(*dem->model, params, context.progress);
    if (!result) return Report(context, result.error());
    // A drainage raster is saved as the drainage window saves it: its gray values in a raw
    // file, or the colour bitmap.
    const Status written = WriteRasterOutput(*result->network, out_, *dem,
                                             /*colourResult=*/false);
    if (!written) return Report(context, written);
    PrintValue(context.out, "networkCells", result->networkCells);
    return kExitOk;
  }

 private:
  DemOptions dem_;
  int upper_ = 0;
  int lower_ = 1;
  std::string colour_ = "black";
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeExtractDrainageCommand() {
  return std::make_unique<ExtractDrainageCommand>();
}

}  // namespace orvane::cli
