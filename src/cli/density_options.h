// The options the dissection density images share: --palette --smooth --scale, and the
// writer of their --histogram table.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <span>
#include <string>

#include "core/common/result.h"

namespace orvane::cli {

struct DensityPaletteOptions {
  std::string palette = "colored";
  bool smooth = false;
  bool scale = false;
  void Add(CLI::App& app);
  // kColoredPalette, kGrayTonesPalette or kGrayTones0255.
  int Choice() const;
};

// The diagram's counts up to its bound, in tenths, as a tab-separated table at `path`.
Status WriteDensityHistogram(const std::string& path, std::span<const std::int32_t> counts,
                             int bound);

}  // namespace orvane::cli
