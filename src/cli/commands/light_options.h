// The light options shared by shade and slices: angles in degrees as the settings file keeps
// them (azimuth "TETA", elevation "PHI"), defaults from --settings or the built-in light.
#pragma once

#include <CLI/CLI.hpp>

#include <numbers>
#include <optional>

#include "core/render/light_params.h"

namespace orvane::cli {

struct LightOptions {
  std::optional<double> azimuth, elevation, exaggeration, brightness;

  void Add(CLI::App& app) {
    app.add_option("--azimuth", azimuth, "light azimuth in degrees as in the settings file [315]");
    app.add_option("--elevation", elevation, "light elevation in degrees [65]")
        ->check(CLI::Range(0.0, 90.0));
    app.add_option("--exaggeration", exaggeration, "vertical exaggeration [2]");
    app.add_option("--brightness", brightness, "brightness index, <1 matt, >1 glossy [2]");
  }

  // The given values over `base`.
  TLightParams Resolve(const TLightParams& base) const {
    TLightParams light = base;
    constexpr double kRadians = std::numbers::pi / 180.0;
    if (azimuth) light.azimuth = static_cast<float>(*azimuth * kRadians);
    if (elevation) light.elevation = static_cast<float>(*elevation * kRadians);
    if (exaggeration) light.exaggeration = static_cast<float>(*exaggeration);
    if (brightness) light.brightness = static_cast<float>(*brightness);
    return light;
  }
};

}  // namespace orvane::cli
