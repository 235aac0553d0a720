// The light of the hill shading: one record read from the settings file at start-up, a working
// copy in the light dialog. Angles in radians: azimuth 0 points along increasing columns,
// pi/2 along increasing lines.
#pragma once

#include <numbers>

namespace orvane {

struct TLightParams {
  float azimuth = static_cast<float>(315.0 * std::numbers::pi / 180.0);
  float elevation = static_cast<float>(65.0 * std::numbers::pi / 180.0);
  float exaggeration = 2.0f;
  float brightness = 2.0f;
};

}  // namespace orvane
