// The sample DEM (data/jacksboro_m2.raw: 344 lines x 403 columns of unsigned 16-bit metres,
// 90 m pixels) opened as the application opens it, for every test that needs real terrain.
#pragma once

#include <memory>
#include <string>

#include "core/terrain/dem_file.h"
#include "core/terrain/dem_model.h"

namespace orvane::testing {

inline constexpr int kSampleLines = 344;
inline constexpr int kSampleColumns = 403;

inline std::string SampleDemPath() { return std::string(ORVANE_SAMPLE_DIR) + "/jacksboro_m2.raw"; }

// The type-2 model of the opening (pixel 90 m, unit m), without the work file; null when the
// sample cannot be read.
inline std::unique_ptr<TDemModel> LoadSampleDem() {
  auto scan = ScanDemFile(SampleDemPath(), kSampleLines, kSampleColumns, 2);
  if (!scan) return nullptr;
  auto model = LoadScannedDem(std::move(*scan),
                              {.unitFactor = 1, .pixelSizeMetres = 90.0, .writeWorkFile = false});
  if (!model) return nullptr;
  return std::move(*model);
}

}  // namespace orvane::testing
