// Rasters made with GDAL itself for the import and export tests, and GDAL read-backs.
#pragma once

#include <cpl_string.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace orvane::testing {

struct TestRaster {
  int columns = 0;
  int lines = 0;
  int bands = 1;
  GDALDataType type = GDT_Float32;
  std::vector<double> values;  // band 1 (and every other band), line-major
  std::optional<std::array<double, 6>> transform;
  int epsg = 0;  // 0: no CRS
  std::optional<double> noData;
  double scale = 1.0, offset = 0.0;  // metres = stored * scale + offset
};

inline void RegisterGdal() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

inline std::string EpsgWkt(int epsg) {
  OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
  OSRImportFromEPSG(srs, epsg);
  char* wkt = nullptr;
  OSRExportToWkt(srs, &wkt);
  std::string text = wkt ? wkt : "";
  CPLFree(wkt);
  OSRDestroySpatialReference(srs);
  return text;
}

// Writes `raster` as a GeoTIFF; false when GDAL fails.
inline bool WriteTestGeoTiff(const std::string& path, const TestRaster& raster) {
  RegisterGdal();
  GDALDriverH driver = GDALGetDriverByName("GTiff");
  GDALDatasetH ds = GDALCreate(driver, path.c_str(), raster.columns, raster.lines, raster.bands,
                               raster.type, nullptr);
  if (!ds) return false;
  if (raster.transform) {
    double gt[6];
    for (int i = 0; i < 6; ++i) gt[i] = (*raster.transform)[static_cast<std::size_t>(i)];
    GDALSetGeoTransform(ds, gt);
  }
  if (raster.epsg) GDALSetProjection(ds, EpsgWkt(raster.epsg).c_str());
  std::vector<double> values = raster.values;
  bool ok = true;
  for (int b = 1; b <= raster.bands; ++b) {
    GDALRasterBandH band = GDALGetRasterBand(ds, b);
    if (raster.noData) GDALSetRasterNoDataValue(band, *raster.noData);
    if (raster.scale != 1.0) GDALSetRasterScale(band, raster.scale);
    if (raster.offset != 0.0) GDALSetRasterOffset(band, raster.offset);
    ok = ok && GDALRasterIO(band, GF_Write, 0, 0, raster.columns, raster.lines, values.data(),
                            raster.columns, raster.lines, GDT_Float64, 0, 0) == CE_None;
  }
  GDALClose(ds);
  return ok;
}

// What GDAL reads back from a file.
struct ReadBack {
  bool opened = false;
  int columns = 0, lines = 0, bands = 0;
  GDALDataType type = GDT_Unknown;
  std::array<double, 6> transform{};
  bool hasTransform = false;
  std::string wkt;
  int utmZone = 0;
  int utmNorth = 0;
  std::vector<std::vector<double>> values;  // per band, line-major
  std::vector<std::array<short, 4>> colours; // colour table of band 1 (r, g, b, a)
  std::string unit;
};

inline ReadBack ReadTestRaster(const std::string& path) {
  RegisterGdal();
  ReadBack back;
  GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
  if (!ds) return back;
  back.opened = true;
  back.columns = GDALGetRasterXSize(ds);
  back.lines = GDALGetRasterYSize(ds);
  back.bands = GDALGetRasterCount(ds);
  back.hasTransform = GDALGetGeoTransform(ds, back.transform.data()) == CE_None;
  if (const char* wkt = GDALGetProjectionRef(ds)) back.wkt = wkt;
  if (OGRSpatialReferenceH srs = GDALGetSpatialRef(ds))
    back.utmZone = OSRGetUTMZone(srs, &back.utmNorth);
  for (int b = 1; b <= back.bands; ++b) {
    GDALRasterBandH band = GDALGetRasterBand(ds, b);
    if (b == 1) {
      back.type = GDALGetRasterDataType(band);
      if (const char* unit = GDALGetRasterUnitType(band)) back.unit = unit;
      if (GDALColorTableH table = GDALGetRasterColorTable(band)) {
        for (int i = 0; i < GDALGetColorEntryCount(table); ++i) {
          const GDALColorEntry* e = GDALGetColorEntry(table, i);
          back.colours.push_back({e->c1, e->c2, e->c3, e->c4});
        }
      }
    }
    std::vector<double> values(static_cast<std::size_t>(back.columns) * back.lines);
    if (GDALRasterIO(band, GF_Read, 0, 0, back.columns, back.lines, values.data(), back.columns,
                     back.lines, GDT_Float64, 0, 0) != CE_None)
      back.opened = false;
    back.values.push_back(std::move(values));
  }
  GDALClose(ds);
  return back;
}

}  // namespace orvane::testing
