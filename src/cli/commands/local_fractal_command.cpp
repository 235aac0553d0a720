// local-fractal: the local fractal dimension image, its extremes and its diagram table.
#include <algorithm>

#include "cli/command.h"
#include "core/render/histogram_table.h"
#include "core/surface/local_fractal.h"

namespace orvane::cli {

namespace {

class LocalFractalCommand : public Command {
 public:
  std::string Name() const override { return "local-fractal"; }
  std::string Summary() const override {
    return "Local fractal dimension (box counting in a moving window)";
  }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--window", window_, "Moving window size: 12 or 24")
        ->check(CLI::IsMember({12, 24}))
        ->default_val(12);
    app.add_option("--h", h_, "Adaptive factor H (height step = pixel size x H)")->required();
    AddOutputOption(app, out_);
    AddHistogramOption(app, histogram_);
  }
  int Run(CommandContext& context) override {
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    LocalFractalParams params;
    params.windowSize = window_;
    params.factorH = h_;
    params.unitDivisor = dem->unitFactor;
    params.pixelSize = dem->wholeMetres;
    auto result = ComputeLocalFractal(*dem->model, params, context.progress);
    if (!result) return Report(context, result.error());
    if (Status s = WriteRasterOutput(result->image, out_, *dem); !s) {
      return Report(context, s);
    }
    if (!histogram_.empty()) {
      // The rows of the diagram window's "Save": classes trunc(100 min) up to the bound
      // trunc(100 max), the bound itself excluded, as the window draws them.
      const int first = std::max(0, result->diagramStart);
      const int end = std::min(result->diagramUpper, 300);
      const std::string table = ClassValueTable(result->diagram, first, end, 0.01);
      if (Status s = WriteTextOutput(histogram_, table); !s) return Report(context, s);
    }
    PrintValue(context.out, "min", result->minimum);
    PrintValue(context.out, "max", result->maximum);
    return kExitOk;
  }

 private:
  DemOptions dem_;
  int window_ = 12;
  double h_ = 0.0;
  std::string out_;
  std::string histogram_;
};

}  // namespace

std::unique_ptr<Command> MakeLocalFractalCommand() {
  return std::make_unique<LocalFractalCommand>();
}

}  // namespace orvane::cli
