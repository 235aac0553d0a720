// horizontal: the share of each cell's largest fitting window at its own height, or the
// binary mask of flats.
#include "cli/command.h"
#include "core/surface/horizontal_surfaces.h"

namespace orvane::cli {

namespace {

class HorizontalCommand : public Command {
 public:
  std::string Name() const override { return "horizontal"; }
  std::string Summary() const override { return "Horizontal-surfaces image (share at the centre's height)"; }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--range", range_, "Half-size R of the largest window (0 computes nothing)")
        ->required()
        ->check(CLI::Range(0, kMaxDemSide));
    app.add_option("--dynamism", dynamism_, "Gray level of a full share")->check(CLI::IsMember({100, 255}));
    app.add_flag("--binarize", binarize_, "Selection and binarization: 0 on flats, 200 elsewhere");
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    auto result = ComputeHorizontalSurfaces(*dem->model, {range_, dynamism_, binarize_}, context.progress);
    if (!result) return Report(context, result.error());
    return Report(context, WriteRasterOutput(*result->image, out_, *dem));
  }

 private:
  DemOptions dem_;
  int range_ = 0;
  int dynamism_ = 100;
  bool binarize_ = false;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeHorizontalCommand() { return std::make_unique<HorizontalCommand>(); }

}  // namespace orvane::cli
