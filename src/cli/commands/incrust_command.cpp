// incrust: the drainage network burnt into a parameter image as black.
#include "cli/command.h"
#include "core/drainage/incrust.h"

namespace orvane::cli {

namespace {

class IncrustCommand : public Command {
 public:
  std::string Name() const override { return "incrust"; }
  std::string Summary() const override {
    return "Burn the drainage network into a parameter image as black";
  }
  void AddOptions(CLI::App& app) override {
    AddRasterInputOption(app, "--drainage", drainage_, "drainage raster");
    AddRasterInputOption(app, "--param", param_, "parameter image");
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto drainage = LoadRasterInput(drainage_, context);
    if (!drainage) return Report(context, drainage.error());
    auto param = LoadRasterInput(param_, context);
    if (!param) return Report(context, param.error());
    // An 8-bit gray parameter image stays gray (display mode 1); any other becomes colour.
    const bool gray = (*param)->kind == kRasterGray;
    auto result = IncrustDrainage(param->get(), drainage->get(), gray);
    if (!result) return Report(context, result.error());
    // The header's pixel size is not known without a DEM: 0 as for a bare image.
    const Status written = WriteRasterOutput(**result, out_, 0);
    if (!written) return Report(context, written);
    return kExitOk;
  }

 private:
  std::string drainage_;
  std::string param_;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeIncrustCommand() { return std::make_unique<IncrustCommand>(); }

}  // namespace orvane::cli
