// What the slope and aspect treatments share around their kernels: gray tones or a class
// table chosen by one parameter, and the picture averaged with the shaded relief on demand.
#pragma once

#include <memory>

#include "core/common/grid_memory.h"
#include "core/render/class_table.h"
#include "core/render/relief_blend.h"
#include "core/settings/settings_file.h"
#include "core/treatment/treatment.h"

namespace orvane {

// The checks the slope and aspect kernels share, in their order (an open DEM, the kernel's own
// normalization check, a table for colours), then their picture of the DEM's size: gray, or
// 24-bit for colours.
inline Expected<std::unique_ptr<TRasterImage>> NewGradientPicture(const TDemModel& dem, const Status& normalization,
                                                                 bool grayTones, const TClassTable& table) {
  if (!dem.IsAllocated() || dem.lines <= 0 || dem.columns <= 0) return Error{kBadParameter, "No DEM is open"};
  if (!normalization) return normalization.error();
  if (!grayTones && table.empty()) return Error{kBadParameter, "The colour table is empty"};
  auto image = std::make_unique<TRasterImage>(dem.columns, dem.lines, grayTones ? kRasterGray : kRasterRgb);
  if (image->allocError || !image->IsAllocated()) return GridMemoryError(dem.lines, dem.columns);
  return image;
}

// Gray tones when the choice `choice` is `grayChoice`, else the colours of tableOf(choice);
// the "norm" and "smooth" parameters.
template <class Params, class TableOf>
void ReadGrayOrClassParams(const TreatmentArgs& args, const char* choice, int grayChoice,
                           TableOf&& tableOf, Params& params) {
  params.grayTones = args.Int(choice) == grayChoice;
  if (!params.grayTones) params.table = tableOf(args.Int(choice));
  params.normalization = args.Int("norm");
  params.smoothing = args.Flag("smooth");
}

// `picture` as the output's, in colour unless gray tones, averaged with the shaded relief of
// the opening when the picture is wanted and "shade" asked for.
inline Status TakeGradientPicture(TreatmentOutput& output, std::unique_ptr<TRasterImage> picture,
                                  bool grayTones, const TreatmentInputs& in, const TreatmentArgs& args,
                                  unsigned wanted, ProgressSink* progress) {
  output.picture = std::move(picture);
  output.colourPicture = !grayTones;
  if ((wanted & kOutputPicture) && args.Flag("shade"))
    return BlendWithShadedRelief(output.picture, *in.dem, in.settings->light, progress);
  return Status::Ok();
}

}  // namespace orvane
