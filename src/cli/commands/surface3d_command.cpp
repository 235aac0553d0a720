// surface3d: the ratio of 3D surface to map area in a square window, as gray levels 0 ... 100.
#include "cli/command.h"
#include "core/surface/surface3d.h"

namespace orvane::cli {

namespace {

class Surface3DCommand : public Command {
 public:
  std::string Name() const override { return "surface3d"; }
  std::string Summary() const override {
    return "Surface 3D: real surface over map area in a square window";
  }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--window", window_, "Window size S in pixels")
        ->required()
        ->check(CLI::Range(1, 100000));
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    auto result = ComputeSurface3D(*dem->model, {window_}, context.progress);
    if (!result) return Report(context, result.error());
    if (Status s = WriteRasterOutput(result->image, out_, *dem); !s) {
      return Report(context, s);
    }
    return kExitOk;
  }

 private:
  DemOptions dem_;
  int window_ = 0;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeSurface3DCommand() { return std::make_unique<Surface3DCommand>(); }

}  // namespace orvane::cli
