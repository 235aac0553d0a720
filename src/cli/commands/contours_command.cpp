// contours: the contour lines of the levels first, first + interval, ... last, each pixel on a
// line holding the index of its level.
#include "cli/command.h"
#include "core/surface/contour_lines.h"

namespace orvane::cli {

namespace {

class ContoursCommand : public Command {
 public:
  std::string Name() const override { return "contours"; }
  std::string Summary() const override { return "Contour-line image (level index per pixel)"; }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--first", first_, "First contour line, metres")->required();
    app.add_option("--last", last_, "Last contour line, metres")->required();
    app.add_option("--interval", interval_, "Hypsometric interval, metres")->required();
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    ContourLinesParams params{first_, last_, interval_, 1};
    if (Status status = CheckContourLinesParams(params); !status) return Report(context, status);
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    params.unitDivisor = dem->unitFactor;
    auto result = ComputeContourLines(*dem->model, params, context.progress);
    if (!result) return Report(context, result.error());
    return Report(context, WriteRasterOutput(*result->image, out_, *dem));
  }

 private:
  DemOptions dem_;
  int first_ = 0;
  int last_ = 0;
  int interval_ = 0;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeContoursCommand() { return std::make_unique<ContoursCommand>(); }

}  // namespace orvane::cli
