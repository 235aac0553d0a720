// total-depth: the window relief in colour classes or gray levels, and its extremes.
#include <map>

#include "cli/command.h"
#include "core/surface/total_depth.h"

namespace orvane::cli {

namespace {

class TotalDepthCommand : public Command {
 public:
  std::string Name() const override { return "total-depth"; }
  std::string Summary() const override {
    return "Total depth (relief of a square window) in colour classes";
  }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--window", window_, "Window size S in pixels (half window trunc(S / 2))")
        ->required()
        ->check(CLI::Range(1, 100000));
    app.add_option("--palette", palette_, "colored, gray or gray255")
        ->transform(CLI::CheckedTransformer(
            std::map<std::string, int>{{"colored", kDepthColored},
                                       {"gray", kDepthGray},
                                       {"gray255", kDepthGray255}}))
        ->default_str("colored");
    app.add_flag("--smooth", smooth_, "Interpolate colours between classes");
    app.add_flag("--scale", scale_, "Spread the classes over the observed relief");
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    if (out_.size() >= 4 && out_.compare(out_.size() - 4, 4, ".raw") == 0) {
      return Report(context, UsageError("--out: a colour image can only be saved as .bmp, not '" +
                                        out_ + "'"));
    }
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    auto relief = ComputeTotalDepthRelief(*dem->model, window_, context.progress);
    if (!relief) return Report(context, relief.error());
    const TClassTable table =
        TotalDepthClassTable(palette_, scale_, relief->minimum, relief->maximum);
    TRasterImage image = RenderTotalDepth(*relief, palette_, table, smooth_);
    if (Status s = WriteRasterOutput(image, out_, *dem, true); !s) {
      return Report(context, s);
    }
    PrintValue(context.out, "min", relief->minimum);
    PrintValue(context.out, "max", relief->maximum);
    return kExitOk;
  }

 private:
  DemOptions dem_;
  int window_ = 0;
  int palette_ = kDepthColored;
  bool smooth_ = false;
  bool scale_ = false;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeTotalDepthCommand() { return std::make_unique<TotalDepthCommand>(); }

}  // namespace orvane::cli
