// The light parameters shared by the shade and slices treatments: angles in degrees as the
// settings file keeps them (azimuth "TETA", elevation "PHI"), each defaulting to the light of
// the settings.
#pragma once

#include <vector>

#include "core/settings/light_params.h"
#include "core/treatment/treatment.h"

namespace orvane {

// --azimuth --elevation --exaggeration --brightness, without defaults of their own.
std::vector<ParamDeclaration> LightParamSpecs();

// `base` with the light parameters given in `args` over it.
TLightParams LightFromArgs(const TLightParams& base, const TreatmentArgs& args);

}  // namespace orvane
