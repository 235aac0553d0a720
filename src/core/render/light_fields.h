// The light as the light dialog shows and reads it: the azimuth in the user's degrees (0 up),
// the texts of its fields cleaned as they are typed, and the light as the declared light
// options take it.
#pragma once

#include <cmath>
#include <string>
#include <string_view>

#include "core/settings/light_params.h"
#include "core/treatment/treatment.h"

namespace orvane {

// A light as the declared light options give it, in degrees.
TreatmentArgs LightArgs(const TLightParams& light);

// A light field's text cleaned (a point becomes a comma, the text is cut at the first character
// that is not a digit, a minus or a comma, empty text becomes "0") and its value (the comma read
// as the decimal separator). A value outside [lowest, highest] is held to it and its text is
// that number.
struct LightField {
  std::string text;
  double value = 0.0;
};
LightField CleanLightField(std::string_view typed, double lowest = -HUGE_VAL,
                           double highest = HUGE_VAL);

// The azimuth as the user sees it: degrees plus 90 (0 = up), plus 360 when negative; and back.
double DisplayedAzimuth(float azimuth);
float AzimuthFromDisplayed(double degrees);

}  // namespace orvane
