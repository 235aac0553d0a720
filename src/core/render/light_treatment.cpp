#include "core/render/light_treatment.h"

#include <numbers>

namespace orvane {

std::vector<ParamDeclaration> LightParamSpecs() {
  // The bracketed defaults are the built-in light's; --settings may hold another.
  return {
      {.name = "azimuth",
       .type = ParamType::kReal,
       .help = "light azimuth in degrees as in the settings file [315]",
       .unit = "degrees"},
      {.name = "elevation",
       .type = ParamType::kReal,
       .help = "light elevation in degrees [65]",
       .unit = "degrees",
       .minimum = 0.0,
       .maximum = 90.0},
      {.name = "exaggeration", .type = ParamType::kReal, .help = "vertical exaggeration [2]"},
      {.name = "brightness",
       .type = ParamType::kReal,
       .help = "brightness index, <1 matt, >1 glossy [2]"},
  };
}

TLightParams LightFromArgs(const TLightParams& base, const TreatmentArgs& args) {
  TLightParams light = base;
  constexpr double kRadians = std::numbers::pi / 180.0;
  if (args.Has("azimuth")) light.azimuth = static_cast<float>(args.Real("azimuth") * kRadians);
  if (args.Has("elevation")) light.elevation = static_cast<float>(args.Real("elevation") * kRadians);
  if (args.Has("exaggeration")) light.exaggeration = static_cast<float>(args.Real("exaggeration"));
  if (args.Has("brightness")) light.brightness = static_cast<float>(args.Real("brightness"));
  return light;
}

}  // namespace orvane
