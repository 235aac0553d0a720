// The render3d treatment's declaration: the perspective picture the 3D viewer's "Create" draws,
// from the viewer's initial view with the angles, distance and exaggeration given.
#include <algorithm>

#include "core/common/grid_memory.h"
#include "core/render/perspective.h"
#include "core/render/shading.h"
#include "core/render/view_camera.h"
#include "core/settings/settings_file.h"
#include "core/terrain/raster_file.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunRender3d(const TreatmentInputs& in, const TreatmentArgs& args, unsigned,
                                      ProgressSink* progress) {
  const TDemModel& model = *in.dem;
  TreatmentOutput output;
  const std::string drapePath = args.Text("drape");
  std::unique_ptr<TRasterImage> drape;
  if (drapePath.empty()) {
    drape = RenderShaded(model, in.settings->light);
  } else {
    std::int64_t missing = 0;
    auto loaded = LoadRasterFile(drapePath, &missing);
    if (!loaded) return loaded.error();
    if (missing > 0)
      output.warnings.push_back("'" + drapePath + "' lacks " + std::to_string(missing) +
                                " bytes; the missing pixels read as 0");
    drape = std::move(*loaded);
  }
  if (!drape) return GridMemoryError(model.lines, model.columns);
  if (drape->lines != model.lines || drape->columns != model.columns)
    return Error{kWrongFormat,
                 drapePath + ": The size of the DEM and the size of the image are not similar"};

  // The 3D viewer's initial view, with the angles, distance and exaggeration given.
  const int width = args.Int("width"), height = args.Int("height");
  TView3D view = InitialView(&model);
  view.a = static_cast<float>(args.Real("a"));
  view.b = static_cast<float>(args.Real("b"));
  view.c = static_cast<float>(args.Real("c"));
  view.exaggeration = static_cast<float>(args.Real("exaggeration"));
  view.distance = static_cast<float>(args.Real("distance"));
  view.width = width;
  view.height = height;
  view.sx = width / 2;
  view.sy = height / 2;

  TDrawOptions options;
  options.mode = args.Int("mode");
  options.stereo = args.Flag("stereo");
  options.eyeDistance = in.settings->eyeDistance;
  options.smoothing = static_cast<std::uint32_t>(std::max(0, in.settings->smoothing3D));
  auto picture = std::make_unique<TRasterImage>(width, height, kRasterRgb);
  if (picture->allocError) return GridMemoryError(picture->lines, picture->columns);
  DrawView(*picture, model, *drape, view, options, progress);
  output.picture = std::move(picture);
  output.colourPicture = true;
  return output;
}

}  // namespace

extern const TreatmentDescriptor kRender3dTreatment{
    .id = "render3d",
    .title = "3D View",
    .menu = "DEM Form",
    .summary = "Perspective view of a DEM, 24-bit picture",
    .inputs = kInputDem,
    .params =
        {
            {.name = "mode",
             .type = ParamType::kChoice,
             .help = "drawing",
             .choices = {{"points", kViewPoints, "Points"},
                         {"wire", kViewWireFrame, "Wire Frame"},
                         {"surface", kViewSurface, "Surface"}},
             .defaultText = "surface",
             .showDefault = true},
            {.name = "stereo", .type = ParamType::kFlag, .help = "red/cyan stereo pair"},
            {.name = "drape",
             .type = ParamType::kText,
             .help = "image draped over the DEM [shaded relief] (.bmp, or .raw with its .txt "
                     "header)",
             .typeName = "PATH"},
            {.name = "width",
             .type = ParamType::kInteger,
             .help = "picture width",
             .unit = "pixels",
             .minimum = 1,
             .maximum = 8000,
             .defaultText = "640",
             .showDefault = true},
            {.name = "height",
             .type = ParamType::kInteger,
             .help = "picture height",
             .unit = "pixels",
             .minimum = 1,
             .maximum = 8000,
             .defaultText = "480",
             .showDefault = true},
            {.name = "a",
             .type = ParamType::kReal,
             .help = "rotation angle a, radians",
             .unit = "radians",
             .defaultText = "0",
             .showDefault = true},
            {.name = "b",
             .type = ParamType::kReal,
             .help = "rotation angle b, radians",
             .unit = "radians",
             .defaultText = "-0.7071",
             .showDefault = true},
            {.name = "c",
             .type = ParamType::kReal,
             .help = "rotation angle c, radians",
             .unit = "radians",
             .defaultText = "0",
             .showDefault = true},
            {.name = "distance",
             .type = ParamType::kReal,
             .help = "viewing distance",
             .positive = true,
             .positiveMessage = "the viewing distance must be a positive number",
             .defaultText = "0.05",
             .showDefault = true},
            {.name = "exaggeration",
             .type = ParamType::kReal,
             .help = "vertical exaggeration",
             .defaultText = "1",
             .showDefault = true},
        },
    .outputs = kOutputPicture,
    .colourPicture = true,
    .pictureOnDemGrid = false,
    .halo = [](const TreatmentArgs&) -> std::optional<int> { return std::nullopt; },
    .notLocalReason = "a perspective view of the whole DEM (DrawView), not a value per cell",
    .run = RunRender3d,
    .examples = "orvane-cli render3d --dem data/jacksboro_m2.raw --pixel 90 --mode wire "
                "--exaggeration 3 --out view.bmp",
};

}  // namespace orvane
