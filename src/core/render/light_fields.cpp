#include "core/render/light_fields.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <numbers>

namespace orvane {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

}  // namespace

TreatmentArgs LightArgs(const TLightParams& light) {
  TreatmentArgs args;
  args.Set("azimuth", light.azimuth * kDegrees);
  // 90 degrees in single precision reads back a hair above 90: held to the range it stands for.
  args.Set("elevation", std::clamp(light.elevation * kDegrees, 0.0, 90.0));
  args.Set("exaggeration", light.exaggeration);
  args.Set("brightness", light.brightness);
  return args;
}

LightField CleanLightField(std::string_view typed, double lowest, double highest) {
  LightField field;
  std::size_t end = 0;
  while (end < typed.size() && ((typed[end] >= '0' && typed[end] <= '9') || typed[end] == '-' ||
                                typed[end] == ',' || typed[end] == '.'))
    ++end;
  field.text = std::string(typed.substr(0, end));
  std::replace(field.text.begin(), field.text.end(), '.', ',');
  if (field.text.empty()) field.text.push_back('0');
  std::string pointed = field.text;
  std::replace(pointed.begin(), pointed.end(), ',', '.');
  // from_chars ignores the user's locale; a text it cannot read counts as 0.
  if (std::from_chars(pointed.data(), pointed.data() + pointed.size(), field.value).ec != std::errc())
    field.value = 0.0;
  if (field.value < lowest || field.value > highest) {
    field.value = std::clamp(field.value, lowest, highest);
    char held[32];
    std::snprintf(held, sizeof held, "%g", field.value);
    field.text = std::string(held);
  }
  return field;
}

double DisplayedAzimuth(float azimuth) {
  double degrees = azimuth * kDegrees + 90.0;
  if (degrees < 0.0) degrees += 360.0;
  return degrees;
}

float AzimuthFromDisplayed(double degrees) {
  return static_cast<float>(degrees * std::numbers::pi / 180.0 - std::numbers::pi / 2.0);
}

}  // namespace orvane
