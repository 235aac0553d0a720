// GeoTIFF import: the bytes become an in-memory GDAL file read by InspectGdalRaster and
// ReadGdalDem as the import does. Only the GeoTIFF driver stays registered, so the runs
// explore the TIFF paths and our conversion rather than every format GDAL knows.
#include <cpl_conv.h>
#include <cpl_vsi.h>
#include <gdal.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/exchange/gdal_raster.h"

namespace {

constexpr const char* kPath = "/vsimem/orvane-fuzz.tif";
// Sizes above this are skipped: a valid sparse TIFF of a few bytes may hold 32767 x 32767
// cells, which the import rightly reads in full (the huge case has its own test).
constexpr std::int64_t kMaxCells = 1 << 20;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  CPLSetConfigOption("GDAL_PAM_ENABLED", "NO");
  CPLSetConfigOption("GDAL_DISABLE_READDIR_ON_OPEN", "EMPTY_DIR");
  CPLSetConfigOption("GDAL_CACHEMAX", "64");
  CPLSetConfigOption("CPL_DEBUG", "OFF");
  // The core registers GDAL's drivers once, on its first call: make that call, then keep the
  // GeoTIFF driver only.
  (void)orvane::InspectGdalRaster("/vsimem/none.tif");
  for (int i = GDALGetDriverCount() - 1; i >= 0; --i) {
    GDALDriverH driver = GDALGetDriver(i);
    if (std::strcmp(GDALGetDriverShortName(driver), "GTiff") != 0) {
      GDALDeregisterDriver(driver);
      GDALDestroyDriver(driver);
    }
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  VSILFILE* file =
      VSIFileFromMemBuffer(kPath, const_cast<GByte*>(data), static_cast<vsi_l_offset>(size), FALSE);
  if (!file) return 0;
  VSIFCloseL(file);
  auto info = InspectGdalRaster(kPath);
  if (info && static_cast<std::int64_t>(info->lines) * info->columns <= kMaxCells) {
    auto grid = ReadGdalDem(kPath, 10);
    if (grid) {
      const GdalDemGrid& g = *grid;
      const auto cells = static_cast<std::size_t>(g.info.lines) * g.info.columns;
      if (g.scan.values.size() != cells || g.minValue > g.maxValue) std::abort();
      for (std::int32_t v : g.scan.values)
        if (v < g.minValue || v > g.maxValue) std::abort();  // holes filled from valid cells
    }
  }
  VSIUnlink(kPath);
  return 0;
}
