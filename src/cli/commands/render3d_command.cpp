// render3d: the perspective picture the 3D viewer's "Create" draws, from the viewer's initial
// view with the angles, distance and exaggeration given.
#include <algorithm>

#include "cli/command.h"
#include "core/common/grid_memory.h"
#include "core/render/perspective.h"
#include "core/render/shading.h"

namespace orvane::cli {

namespace {

class Render3dCommand : public Command {
 public:
  std::string Name() const override { return "render3d"; }
  std::string Summary() const override { return "Perspective view of a DEM, 24-bit picture"; }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--mode", mode_, "drawing")
        ->check(CLI::IsMember({"points", "wire", "surface"}))
        ->capture_default_str();
    app.add_flag("--stereo", stereo_, "red/cyan stereo pair");
    AddRasterInputOption(app, "--drape", drape_, "image draped over the DEM [shaded relief]", false);
    app.add_option("--width", width_, "picture width")->check(CLI::Range(1, 8000))->capture_default_str();
    app.add_option("--height", height_, "picture height")->check(CLI::Range(1, 8000))->capture_default_str();
    app.add_option("--a", a_, "rotation angle a, radians")->capture_default_str();
    app.add_option("--b", b_, "rotation angle b, radians")->capture_default_str();
    app.add_option("--c", c_, "rotation angle c, radians")->capture_default_str();
    app.add_option("--distance", distance_, "viewing distance")->check(CLI::PositiveNumber)->capture_default_str();
    app.add_option("--exaggeration", exaggeration_, "vertical exaggeration")->capture_default_str();
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    TDemModel& model = *dem->model;
    std::unique_ptr<TRasterImage> drape;
    if (drape_.empty()) {
      drape = RenderShaded(model, dem->settings.light);
    } else {
      auto loaded = LoadRasterInput(drape_, context);
      if (!loaded) return Report(context, loaded.error());
      drape = std::move(*loaded);
    }
    if (!drape) return Report(context, GridMemoryError(model.lines, model.columns));
    if (drape->lines != model.lines || drape->columns != model.columns)
      return Report(context, Error{kWrongFormat, drape_ + ": The size of the DEM and the size of the image are not similar"});

    // The 3D viewer's initial view, with the angles, distance and exaggeration given.
    TView3D view;
    view.a = static_cast<float>(a_);
    view.b = static_cast<float>(b_);
    view.c = static_cast<float>(c_);
    view.exaggeration = static_cast<float>(exaggeration_);
    view.distance = static_cast<float>(distance_);
    const float px = model.pixelSizeX, py = model.pixelSizeY;
    view.cx = model.columns * px / 2;
    view.cy = model.lines * py / 2;
    view.cz = model.minElevation + (model.maxElevation - model.minElevation) / 2;
    view.tx = 2 * px * static_cast<float>(std::max(model.lines, model.columns));
    view.ty = -view.cy;
    view.tz = -view.cz;
    view.width = width_;
    view.height = height_;
    view.sx = width_ / 2;
    view.sy = height_ / 2;

    TDrawOptions options;
    options.mode = mode_ == "points" ? kViewPoints : mode_ == "wire" ? kViewWireFrame : kViewSurface;
    options.stereo = stereo_;
    options.eyeDistance = dem->settings.eyeDistance;
    options.smoothing = static_cast<std::uint32_t>(std::max(0, dem->settings.smoothing3D));
    TRasterImage picture(width_, height_, kRasterRgb);
    if (picture.allocError) return Report(context, GridMemoryError(picture.lines, picture.columns));
    DrawView(picture, model, *drape, view, options, context.progress);
    return Report(context, WriteRasterOutput(picture, out_, dem->PixelSizeTruncated(), true));
  }

 private:
  DemOptions dem_;
  std::string mode_ = "surface";
  bool stereo_ = false;
  std::string drape_;
  int width_ = 640;
  int height_ = 480;
  double a_ = 0.0, b_ = -0.7071, c_ = 0.0;
  double distance_ = 0.05;
  double exaggeration_ = 1.0;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeRender3dCommand() { return std::make_unique<Render3dCommand>(); }

}  // namespace orvane::cli
