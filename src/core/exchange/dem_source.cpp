// Opening a DEM from a raw grid, a GDAL raster or elevations in memory.
#include "core/exchange/dem_source.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/exchange/nearest_fill.h"
#include "core/terrain/elevation_unit.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/raster_file.h"

namespace orvane {

namespace {

Error UsageError(std::string message) { return Error{kBadParameter, std::move(message)}; }

int RawWidthOf(const DemSource& source) {
  return source.bytes != 0 ? source.bytes : ElementWidthFromName(source.path);
}

// The cells of a raw grid whose stored value is `noData` become NoData: 0 in the returned
// mask, their values the nearest valid value, the scan's figures those of the valid cells.
Expected<std::vector<std::uint8_t>> MarkRawNoData(DemFileScan& scan, double noData,
                                                  const std::string& path) {
  std::vector<std::uint8_t> valid(scan.values.size(), 1);
  std::int32_t lo = std::numeric_limits<std::int32_t>::max();
  std::int32_t hi = std::numeric_limits<std::int32_t>::min();
  std::size_t holes = 0;
  for (std::size_t k = 0; k < scan.values.size(); ++k) {
    if (static_cast<double>(scan.values[k]) == noData) {
      valid[k] = 0;
      ++holes;
      continue;
    }
    lo = std::min(lo, scan.values[k]);
    hi = std::max(hi, scan.values[k]);
  }
  if (holes == 0) return valid;
  if (holes == scan.values.size())
    return Error{kWrongFormat, "'" + path + "' holds no valid elevation: every cell is NoData"};
  FillFromNearestValid(scan.values, valid, scan.lines, scan.columns);
  scan.minValue = std::min<std::int64_t>(1000000, lo);
  scan.maxValue = std::max<std::int64_t>(0, hi);
  scan.valueRange = std::make_pair(lo, hi);
  return valid;
}

// Lines GDAL read, opened as any DEM is.
Expected<OpenedDem> OpenGdalGrid(Expected<GdalDemGrid>&& grid, const DemSource& source) {
  if (!grid) return grid.error();
  OpenedDem dem;
  dem.bytes = 4;
  dem.unitFactor = grid->unitFactor;
  dem.unitName = UnitNameOf(grid->unitFactor);
  dem.unitChosen = grid->unitChosen;
  dem.noDataCells = grid->noDataFilled;
  const GdalRasterInfo& info = grid->info;
  dem.warnings = info.warnings;
  if (source.fillNoData && grid->noDataFilled > 0)
    dem.warnings.push_back(std::to_string(grid->noDataFilled) + " NoData cells of '" +
                           source.path + "' were filled with the nearest valid elevation");
  std::vector<std::uint8_t> validity =
      source.fillNoData ? std::vector<std::uint8_t>() : std::move(grid->validity);
  const bool givenPixel = source.pixel > 0.0;
  dem.pixelMetres = givenPixel ? source.pixel : info.pixelSizeMetres;
  if (!(dem.pixelMetres > 0.0))
    return UsageError("--pixel is required: '" + source.path + "' has no georeference");
  dem.wholeMetres = static_cast<int>(dem.pixelMetres);
  dem.scanMin = grid->scan.minValue;
  dem.scanMax = grid->scan.maxValue;
  if (info.hasGeoTransform) dem.georef = info.georef;

  DemOpenOptions open;
  open.unitFactor = dem.unitFactor;
  open.pixelSizeMetres = dem.pixelMetres;
  open.writeWorkFile = false;
  auto model = LoadScannedDem(std::move(grid->scan), open);
  if (!model) return model.error();
  dem.model = std::move(*model);
  if (!validity.empty())
    if (Status s = dem.model->SetValidity(std::move(validity)); !s) return s.error();
  // Cells that are not square (geographic rasters) keep their two ground sizes.
  dem.pixelWidthMetres = dem.pixelHeightMetres = dem.pixelMetres;
  if (!givenPixel) {
    ApplyGroundPixelSizes(*dem.model, info, dem.unitFactor);
    if (info.hasGeoTransform && info.pixelWidthMetres > 0.0 && info.pixelHeightMetres > 0.0) {
      dem.pixelWidthMetres = info.pixelWidthMetres;
      dem.pixelHeightMetres = info.pixelHeightMetres;
    }
  }
  return dem;
}

// A raster GDAL reads, opened as any DEM is.
Expected<OpenedDem> OpenGdalSource(const DemSource& source, ProgressSink* progress) {
  return OpenGdalGrid(
      ReadGdalDem(source.path, source.unit.empty() ? 0 : UnitFactorOf(source.unit), progress),
      source);
}

}  // namespace

Expected<OpenedDem> OpenDemBand(GdalDemBands& bands, int first, int count,
                                const DemSource& source) {
  return OpenGdalGrid(bands.Read(first, count), source);
}

int UnitFactorOf(const std::string& unit) {
  static const std::pair<const char*, int> kUnits[] = {{"m", 1}, {"dm", 10}, {"cm", 100}, {"mm", 1000}, {"0.1mm", kFinestUnitFactor}};
  for (const auto& [name, factor] : kUnits)
    if (unit == name) return factor;
  return 0;
}

bool IsRawDemSource(const DemSource& source) {
  return LowerExtension(source.path) == ".raw" || source.bytes != 0 || source.lines != 0 ||
         source.columns != 0;
}

Status CheckDemSource(const DemSource& source) {
  if (IsRawDemSource(source) && RawWidthOf(source) == 0)
    return UsageError("--bytes is required: '" + source.path +
                      "' ends neither in _m2.raw nor in _m4.raw (allowed: 2, 4)");
  if (!source.unit.empty() && UnitFactorOf(source.unit) == 0)
    return UsageError("--unit: '" + source.unit + "' is not one of m, dm, cm, mm");
  if (IsRawDemSource(source) && !(source.pixel > 0.0))
    return UsageError("--pixel is required for a raw DEM: its pixel size in metres");
  if (source.noData && !IsRawDemSource(source))
    return UsageError("--nodata is for a raw grid: '" + source.path +
                      "' is read through GDAL, whose NoData value is used");
  return Status::Ok();
}

Expected<OpenedDem> OpenDemSource(const DemSource& source, ProgressSink* progress) {
  if (Status s = CheckDemSource(source); !s) return s.error();
  if (!IsRawDemSource(source)) return OpenGdalSource(source, progress);
  OpenedDem dem;
  dem.bytes = RawWidthOf(source);
  dem.unitName = source.unit.empty() ? std::string("m") : source.unit;
  dem.unitFactor = UnitFactorOf(dem.unitName);
  dem.pixelMetres = source.pixel;
  dem.wholeMetres = static_cast<int>(source.pixel);
  dem.pixelWidthMetres = dem.pixelHeightMetres = source.pixel;

  int lines = source.lines;
  int columns = source.columns;
  if (lines <= 0 || columns <= 0) {
    auto header = ReadDemHeader(HeaderPathFor(source.path));
    if (!header) {
      Error error = header.error();
      if (error.code == kCannotOpen) error.message += " (give --lines and --columns)";
      return error;
    }
    lines = header->lines;
    columns = header->columns;
  }
  auto scan = ScanDemFile(source.path, lines, columns, dem.bytes);
  if (!scan) return scan.error();
  std::vector<std::uint8_t> validity;
  if (source.noData) {
    auto marked = MarkRawNoData(*scan, *source.noData, source.path);
    if (!marked) return marked.error();
    validity = std::move(*marked);
    dem.noDataCells = static_cast<std::int64_t>(
        std::count(validity.begin(), validity.end(), std::uint8_t{0}));
    if (source.fillNoData) {
      if (dem.noDataCells > 0)
        dem.warnings.push_back(std::to_string(dem.noDataCells) + " NoData cells of '" +
                               source.path + "' were filled with the nearest valid elevation");
      validity.clear();
    }
  }
  dem.scanMin = scan->minValue;
  dem.scanMax = scan->maxValue;

  // The grid goes straight into the model, with the values and figures the work file gives.
  DemOpenOptions open;
  open.unitFactor = dem.unitFactor;
  open.pixelSizeMetres = source.pixel;
  open.writeWorkFile = false;
  auto model = LoadScannedDem(std::move(*scan), open);
  if (!model) return model.error();
  dem.model = std::move(*model);
  if (!validity.empty())
    if (Status s = dem.model->SetValidity(std::move(validity)); !s) return s.error();
  return dem;
}

Expected<OpenedDem> OpenDemGrid(DemGrid&& grid, const std::string& origin,
                                ProgressSink* progress) {
  OpenedDem dem;
  dem.bytes = 4;
  dem.unitFactor = UnitFactorOf(grid.unit);
  if (dem.unitFactor == 0)
    return UsageError("--unit: '" + grid.unit + "' is not one of m, dm, cm, mm");
  dem.unitName = grid.unit;
  const double w = grid.pixelWidthMetres, h = grid.pixelHeightMetres;
  if (!(w > 0.0) || !(h > 0.0) || !(w <= kMaxPixelSizeMetres) || !(h <= kMaxPixelSizeMetres))
    return UsageError("--pixel: " + PixelSizeRangeMessage());
  if (Status s = CheckDemSize(grid.lines, grid.columns, origin); !s) return s.error();
  const std::size_t cells = static_cast<std::size_t>(grid.lines) * grid.columns;
  if (grid.values.size() != cells || (!grid.valid.empty() && grid.valid.size() != cells))
    return Error{kWrongFormat, origin + " does not hold lines x columns values"};

  if (!grid.valid.empty()) {
    if (std::none_of(grid.valid.begin(), grid.valid.end(), [](std::uint8_t v) { return v != 0; }))
      return Error{kWrongFormat, origin + " holds no valid elevation: every cell is NoData"};
    const std::int64_t filled =
        FillFromNearestValid(grid.values, grid.valid, grid.lines, grid.columns, progress);
    dem.noDataCells = filled;
    if (filled > 0 && grid.fillNoData)
      dem.warnings.push_back(std::to_string(filled) + " NoData cells of " + origin +
                             " were filled with the nearest valid elevation");
    if (grid.fillNoData) grid.valid.clear();
  }
  DemFileScan scan;
  scan.lines = grid.lines;
  scan.columns = grid.columns;
  scan.bytesPerElement = 4;
  scan.fileLength = static_cast<std::int64_t>(cells) * 4;
  // The holes hold their nearest valid values: the extremes are those of the valid cells.
  const auto [lo, hi] = std::minmax_element(grid.values.begin(), grid.values.end());
  // The figures an opening shows start from 1000000 and 0.
  scan.minValue = std::min<std::int64_t>(1000000, *lo);
  scan.maxValue = std::max<std::int64_t>(0, *hi);
  scan.values = std::move(grid.values);
  dem.scanMin = scan.minValue;
  dem.scanMax = scan.maxValue;
  dem.pixelMetres = std::fabs(w - h) <= 1e-9 * std::max(w, h) ? w : std::sqrt(w * h);
  dem.wholeMetres = static_cast<int>(dem.pixelMetres);
  dem.pixelWidthMetres = w;
  dem.pixelHeightMetres = h;

  DemOpenOptions open;
  open.unitFactor = dem.unitFactor;
  open.pixelSizeMetres = dem.pixelMetres;
  open.writeWorkFile = false;
  auto model = LoadScannedDem(std::move(scan), open);
  if (!model) return model.error();
  dem.model = std::move(*model);
  if (w != dem.pixelMetres || h != dem.pixelMetres) {
    // Cells that are not square keep their two ground sizes, as a geographic raster's do.
    dem.model->pixelSizeX = static_cast<float>(h * dem.unitFactor);
    dem.model->pixelSizeY = static_cast<float>(w * dem.unitFactor);
  }
  if (!grid.valid.empty())
    if (Status s = dem.model->SetValidity(std::move(grid.valid)); !s) return s.error();
  return dem;
}

}  // namespace orvane
