#include "core/exchange/gdal_raster.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <mutex>
#include <new>

#include "core/common/atomic_file.h"
#include "core/common/text_builder.h"
#include "core/exchange/nearest_fill.h"

namespace orvane {

namespace {

constexpr double kPi = 3.14159265358979323846;

void RegisterDrivers() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

// GDAL's messages are kept for our own reports instead of going to stderr.
class GdalErrorScope {
 public:
  GdalErrorScope() {
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
  }
  ~GdalErrorScope() { CPLPopErrorHandler(); }
  GdalErrorScope(const GdalErrorScope&) = delete;
  GdalErrorScope& operator=(const GdalErrorScope&) = delete;

  static bool Failed() { return CPLGetLastErrorType() >= CE_Failure; }
  // ": GDAL's last message", or "" when it said nothing.
  static std::string Reason() {
    const char* message = CPLGetLastErrorMsg();
    return message && *message ? std::string(": ") + message : std::string();
  }
};

struct DatasetCloser {
  void operator()(void* dataset) const {
    if (dataset) GDALClose(static_cast<GDALDatasetH>(dataset));
  }
};
using DatasetPtr = std::unique_ptr<void, DatasetCloser>;

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string Number(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return buffer;
}

bool IsMetreUnit(std::string unit) {
  std::transform(unit.begin(), unit.end(), unit.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return unit.empty() || unit == "m" || unit == "metre" || unit == "meter" ||
         unit == "metres" || unit == "meters";
}

// Metres per degree along a meridian and along the parallel at latitude `phi` (radians) on an
// ellipsoid of semi-major axis `a` and flattening `f`.
void MetresPerRadian(double a, double f, double phi, double& alongMeridian,
                     double& alongParallel) {
  const double e2 = f * (2.0 - f);
  const double s = std::sin(phi);
  const double w = std::sqrt(1.0 - e2 * s * s);
  alongMeridian = a * (1.0 - e2) / (w * w * w);
  alongParallel = a / w * std::cos(phi);
}

// The ground sizes of a cell and the CRS facts, from the georeference's CRS `srs` (may be null).
void ReadCrs(OGRSpatialReferenceH srs, GdalRasterInfo& info) {
  const double gx = std::fabs(info.georef.transform[1]);
  const double gy = std::fabs(info.georef.transform[5]);
  if (srs) {
    if (const char* name = OSRGetName(srs)) info.crsName = name;
    info.projected = OSRIsProjected(srs) != 0;
    info.geographic = !info.projected && OSRIsGeographic(srs) != 0;
    int north = 1;
    if (info.projected) {
      info.georef.utmZone = std::max(0, OSRGetUTMZone(srs, &north));
      info.georef.utmNorth = north != 0;
    }
  }
  if (!info.hasGeoTransform) return;
  if (info.projected) {
    const double metresPerUnit = OSRGetLinearUnits(srs, nullptr);
    const double k = metresPerUnit > 0.0 ? metresPerUnit : 1.0;
    info.pixelWidthMetres = gx * k;
    info.pixelHeightMetres = gy * k;
  } else if (info.geographic) {
    OGRErr err = OGRERR_NONE;
    double a = OSRGetSemiMajor(srs, &err);
    if (err != OGRERR_NONE || !(a > 0.0)) a = 6378137.0;
    const double inverseFlattening = OSRGetInvFlattening(srs, &err);
    const double f = err == OGRERR_NONE && inverseFlattening > 0.0 ? 1.0 / inverseFlattening : 0.0;
    double radiansPerUnit = OSRGetAngularUnits(srs, nullptr);
    if (!(radiansPerUnit > 0.0)) radiansPerUnit = kPi / 180.0;
    const GeoReference& g = info.georef;
    const double centre = (g.transform[3] + g.lines * g.transform[5] / 2.0) * radiansPerUnit;
    info.centralLatitude = centre * 180.0 / kPi;
    double meridian = 0.0, parallel = 0.0;
    MetresPerRadian(a, f, centre, meridian, parallel);
    info.pixelWidthMetres = gx * radiansPerUnit * parallel;
    info.pixelHeightMetres = gy * radiansPerUnit * meridian;
  } else {
    info.pixelWidthMetres = gx;
    info.pixelHeightMetres = gy;
    info.warnings.push_back(Quoted(info.path) +
                            " has no coordinate reference system: its cell size " + Number(gx) +
                            " x " + Number(gy) + " is taken as metres");
  }
  const double w = info.pixelWidthMetres, h = info.pixelHeightMetres;
  info.pixelSizeMetres = std::fabs(w - h) <= 1e-9 * std::max(w, h) ? w : std::sqrt(w * h);
}

Expected<GdalRasterInfo> Inspect(GDALDatasetH dataset, const std::string& path) {
  GdalRasterInfo info;
  info.path = path;
  if (GDALDriverH driver = GDALGetDatasetDriver(dataset))
    info.driver = GDALGetDriverShortName(driver);
  info.columns = GDALGetRasterXSize(dataset);
  info.lines = GDALGetRasterYSize(dataset);
  info.bandCount = GDALGetRasterCount(dataset);
  if (info.bandCount < 1) return Error{kWrongFormat, Quoted(path) + " holds no raster band"};
  GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
  const GDALDataType type = GDALGetRasterDataType(band);
  info.dataType = GDALGetDataTypeName(type) ? GDALGetDataTypeName(type) : "Unknown";
  info.dataTypeBytes = GDALGetDataTypeSizeBytes(type);
  if (type == GDT_Unknown || GDALDataTypeIsComplex(type))
    return Error{kWrongFormat, Quoted(path) + " holds " + info.dataType +
                                   " values: elevations must be integers or reals"};
  if (info.lines < 1 || info.columns < 1 || info.lines > kMaxDemFileSide ||
      info.columns > kMaxDemFileSide) {
    return Error{kWrongFormat, Quoted(path) + " is " + std::to_string(info.lines) + " lines x " +
                                   std::to_string(info.columns) +
                                   " columns: a DEM has 1 to " + std::to_string(kMaxDemFileSide) +
                                   " lines and columns (cut it first, e.g. gdal_translate -srcwin)"};
  }
  if (info.bandCount > 1)
    info.warnings.push_back(Quoted(path) + " has " + std::to_string(info.bandCount) +
                            " bands: band 1 is imported");

  info.georef.lines = info.lines;
  info.georef.columns = info.columns;
  double gt[6];
  if (GDALGetGeoTransform(dataset, gt) == CE_None) {
    if (gt[2] != 0.0 || gt[4] != 0.0)
      return Error{kWrongFormat, Quoted(path) +
                                     " is rotated (its geotransform has rotation terms): warp it "
                                     "to a north-up grid first, e.g. with gdalwarp"};
    if (!(gt[1] > 0.0) || gt[5] == 0.0 || !std::isfinite(gt[0]) || !std::isfinite(gt[3]))
      return Error{kWrongFormat, Quoted(path) + " has an unusable geotransform (cell width " +
                                     Number(gt[1]) + ", height " + Number(gt[5]) + ")"};
    info.hasGeoTransform = true;
    // Line 0 is the north edge: a south-up raster is turned over when read.
    if (gt[5] > 0.0) {
      gt[3] += info.lines * gt[5];
      gt[5] = -gt[5];
    }
    std::copy(gt, gt + 6, info.georef.transform.begin());
  }
  const char* wkt = GDALGetProjectionRef(dataset);
  if (wkt && *wkt) info.georef.crsWkt = wkt;
  ReadCrs(GDALGetSpatialRef(dataset), info);
  const char* unit = GDALGetRasterUnitType(band);
  if (unit && !IsMetreUnit(unit))
    info.warnings.push_back(Quoted(path) + " gives its elevations in '" + unit +
                            "': they are imported as numbers of that unit");
  return info;
}

Expected<DatasetPtr> OpenForReading(const std::string& path) {
  RegisterDrivers();
  DatasetPtr dataset(
      GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
  if (!dataset) {
    // A file the system will not open (no permission, missing) is said with its reason.
    if (path.rfind("/vsi", 0) != 0) {
      if (std::FILE* file = std::fopen(path.c_str(), "rb")) std::fclose(file);
      else return Error{kCannotOpen, "cannot open " + FileReason(path, errno)};
    }
    std::string reason = GdalErrorScope::Reason();
    if (reason.empty()) reason = ": not a raster GDAL can read";
    return Error{kCannotOpen, "cannot open " + Quoted(path) + reason};
  }
  return dataset;
}

}  // namespace

bool ToStoredElevation(double product, double relativeTolerance, std::int32_t& stored) {
  const double whole = std::nearbyint(product);
  if (std::fabs(product - whole) <= std::fabs(product) * relativeTolerance) product = whole;
  const double t = std::trunc(product);
  if (!(t >= std::numeric_limits<std::int32_t>::min() &&
        t <= std::numeric_limits<std::int32_t>::max()))
    return false;
  stored = static_cast<std::int32_t>(t);
  return true;
}

namespace {

// A GeoTIFF written by GDAL under a temporary name beside the target, renamed onto it when
// the dataset closed without error.
class GeoTiffTarget {
 public:
  explicit GeoTiffTarget(std::string path) : path_(std::move(path)) {}
  ~GeoTiffTarget() { Discard(); }
  GeoTiffTarget(const GeoTiffTarget&) = delete;
  GeoTiffTarget& operator=(const GeoTiffTarget&) = delete;

  Status Create(int columns, int lines, int bands, GDALDataType type, bool rgb,
                const GeoReference* georef, bool tiledFloat = false) {
    if (Status s = file_.OpenForName(path_); !s) return s;
    temp_ = file_.TemporaryPath();
    RegisterDrivers();
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    if (!driver) return Error{kCannotOpen, "GDAL has no GeoTIFF driver"};
    char** options = nullptr;
    options = CSLSetNameValue(options, "COMPRESS", "DEFLATE");
    if (rgb) options = CSLSetNameValue(options, "PHOTOMETRIC", "RGB");
    if (tiledFloat) {
      // Value grids: tiles for quick windows in GIS viewers, and the floating-point predictor,
      // which compresses smooth real surfaces far better than bytes.
      options = CSLSetNameValue(options, "TILED", "YES");
      options = CSLSetNameValue(options, "PREDICTOR", "3");
    }
    dataset_ = GDALCreate(driver, temp_.c_str(), columns, lines, bands, type, options);
    CSLDestroy(options);
    if (!dataset_)
      return Error{kCannotOpen, "cannot create " + Quoted(path_) + GdalErrorScope::Reason()};
    if (georef) {
      double gt[6];
      std::copy(georef->transform.begin(), georef->transform.end(), gt);
      if (GDALSetGeoTransform(dataset_, gt) != CE_None ||
          (!georef->crsWkt.empty() && GDALSetProjection(dataset_, georef->crsWkt.c_str()) != CE_None))
        return Error{kWriteFailed, "cannot georeference " + Quoted(path_) + GdalErrorScope::Reason()};
    }
    return Status::Ok();
  }

  GDALDatasetH dataset() const { return dataset_; }

  Status WriteFailed() const {
    return Error{kWriteFailed, "cannot write " + Quoted(path_) + GdalErrorScope::Reason()};
  }

  // Closes the dataset, syncs the file and renames it onto the target.
  Status Commit() {
    CPLErrorReset();
    GDALClose(dataset_);
    dataset_ = nullptr;
    if (GdalErrorScope::Failed()) return WriteFailed();
    if (Status s = file_.Commit(); !s) return s;
    temp_.clear();
    return Status::Ok();
  }

 private:
  void Discard() {
    if (dataset_) GDALClose(dataset_);
    dataset_ = nullptr;
    if (!temp_.empty()) std::remove((temp_ + ".aux.xml").c_str());
    file_.Abandon();
    temp_.clear();
  }

  std::string path_;
  AtomicFileWriter file_;  // the temporary file GDAL writes, renamed onto path_ at the end
  std::string temp_;
  GDALDatasetH dataset_ = nullptr;
};

// No .aux.xml side files while exporting.
class NoSideFiles {
 public:
  NoSideFiles() {
    const char* old = CPLGetThreadLocalConfigOption("GDAL_PAM_ENABLED", nullptr);
    if (old) old_ = old;
    hadOld_ = old != nullptr;
    CPLSetThreadLocalConfigOption("GDAL_PAM_ENABLED", "NO");
  }
  ~NoSideFiles() {
    CPLSetThreadLocalConfigOption("GDAL_PAM_ENABLED", hadOld_ ? old_.c_str() : nullptr);
  }
  NoSideFiles(const NoSideFiles&) = delete;
  NoSideFiles& operator=(const NoSideFiles&) = delete;

 private:
  std::string old_;
  bool hadOld_ = false;
};

}  // namespace

bool IsGeoTiffPath(const std::string& path) {
  std::string lower = path;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const auto ends = [&](const char* suffix) {
    const std::string s(suffix);
    return lower.size() >= s.size() && lower.compare(lower.size() - s.size(), s.size(), s) == 0;
  };
  return ends(".tif") || ends(".tiff");
}

GeoReference GeoReferenceFromUtmFrame(const UtmFrame& frame) {
  GeoReference georef;
  georef.lines = frame.lines;
  georef.columns = frame.columns;
  const double dx = frame.columns > 0 ? (frame.xMax - frame.xMin) / frame.columns : 0.0;
  const double dy = frame.lines > 0 ? (frame.yMax - frame.yMin) / frame.lines : 0.0;
  georef.transform = {frame.xMin, dx, 0.0, frame.yMax, 0.0, -dy};
  const int zone = std::abs(frame.zone);
  if (zone < 1 || zone > 60) return georef;
  georef.utmZone = zone;
  georef.utmNorth = frame.zone > 0;
  GdalErrorScope errors;
  OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
  if (OSRImportFromEPSG(srs, (georef.utmNorth ? 32600 : 32700) + zone) != OGRERR_NONE) {
    OSRDestroySpatialReference(srs);
    srs = OSRNewSpatialReference(nullptr);
    OSRSetWellKnownGeogCS(srs, "WGS84");
    OSRSetUTM(srs, zone, georef.utmNorth ? 1 : 0);
  }
  char* wkt = nullptr;
  if (OSRExportToWkt(srs, &wkt) == OGRERR_NONE && wkt) georef.crsWkt = wkt;
  CPLFree(wkt);
  OSRDestroySpatialReference(srs);
  return georef;
}

UtmFrame UtmFrameOf(const GeoReference& georef) {
  UtmFrame frame;
  frame.zone = georef.utmZone == 0 ? 0 : (georef.utmNorth ? georef.utmZone : -georef.utmZone);
  frame.xMin = georef.XMin();
  frame.xMax = georef.XMax();
  frame.yMin = georef.YMin();
  frame.yMax = georef.YMax();
  frame.lines = georef.lines;
  frame.columns = georef.columns;
  return frame;
}

Expected<GdalRasterInfo> InspectGdalRaster(const std::string& path) {
  GdalErrorScope errors;
  auto dataset = OpenForReading(path);
  if (!dataset) return dataset.error();
  return Inspect(static_cast<GDALDatasetH>(dataset->get()), path);
}

Expected<GdalDemGrid> ReadGdalDem(const std::string& path, int unitFactor,
                                  ProgressSink* progress) {
  if (unitFactor != 1 && unitFactor != 10 && unitFactor != 100 && unitFactor != 1000)
    return Error{kBadParameter, "the vertical unit factor must be 1, 10, 100 or 1000"};
  GdalErrorScope errors;
  auto opened = OpenForReading(path);
  if (!opened) return opened.error();
  GDALDatasetH dataset = static_cast<GDALDatasetH>(opened->get());
  auto info = Inspect(dataset, path);
  if (!info) return info.error();

  GdalDemGrid grid;
  grid.info = std::move(*info);
  const int lines = grid.info.lines, columns = grid.info.columns;
  const std::size_t cells = static_cast<std::size_t>(lines) * columns;
  std::vector<std::uint8_t> valid;
  try {
    grid.scan.values.resize(cells);
    valid.assign(cells, 1);
  } catch (const std::bad_alloc&) {
    return Error{kAllocationFailed, "not enough memory to read " + Quoted(path)};
  }
  grid.scan.lines = lines;
  grid.scan.columns = columns;
  grid.scan.bytesPerElement = 4;
  grid.scan.fileLength = static_cast<std::int64_t>(cells) * 4;

  GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
  int hasScale = 0, hasOffset = 0;
  double scale = GDALGetRasterScale(band, &hasScale);
  double offset = GDALGetRasterOffset(band, &hasOffset);
  if (!hasScale || scale == 0.0) scale = 1.0;
  if (!hasOffset) offset = 0.0;
  const GDALDataType type = GDALGetRasterDataType(band);
  const double tolerance = ElevationPrecision(type == GDT_Float32);
  const int maskFlags = GDALGetMaskFlags(band);
  GDALRasterBandH mask = (maskFlags & GMF_ALL_VALID) ? nullptr : GDALGetMaskBand(band);
  const bool southUp = [&] {
    double gt[6];
    return GDALGetGeoTransform(dataset, gt) == CE_None && gt[5] > 0.0;
  }();

  std::vector<double> row(static_cast<std::size_t>(columns));
  std::vector<std::uint8_t> maskRow(mask ? static_cast<std::size_t>(columns) : 0);
  std::int64_t lo = std::numeric_limits<std::int64_t>::max();
  std::int64_t hi = std::numeric_limits<std::int64_t>::min();
  std::int64_t holes = 0;
  ProgressScope scope(progress);
  for (int line = 0; line < lines; ++line) {
    const int source = southUp ? lines - 1 - line : line;
    if (GDALRasterIO(band, GF_Read, 0, source, columns, 1, row.data(), columns, 1, GDT_Float64,
                     0, 0) != CE_None ||
        (mask && GDALRasterIO(mask, GF_Read, 0, source, columns, 1, maskRow.data(), columns, 1,
                              GDT_Byte, 0, 0) != CE_None)) {
      return Error{kOutsideOrShortRead, "cannot read line " + std::to_string(source) + " of " +
                                            Quoted(path) + GdalErrorScope::Reason()};
    }
    const std::size_t base = static_cast<std::size_t>(line) * columns;
    for (int c = 0; c < columns; ++c) {
      const double raw = row[c];
      if ((mask && maskRow[c] == 0) || std::isnan(raw)) {
        valid[base + c] = 0;
        grid.scan.values[base + c] = 0;
        ++holes;
        continue;
      }
      std::int32_t stored = 0;
      if (!ToStoredElevation((raw * scale + offset) * unitFactor, tolerance, stored)) {
        return Error{kWrongFormat, Quoted(path) + " holds the elevation " +
                                       Number(raw * scale + offset) + " at line " +
                                       std::to_string(source) + ", column " + std::to_string(c) +
                                       ": beyond the 32-bit range in units of 1/" +
                                       std::to_string(unitFactor) + " m (choose a coarser unit)"};
      }
      grid.scan.values[base + c] = stored;
      lo = std::min<std::int64_t>(lo, stored);
      hi = std::max<std::int64_t>(hi, stored);
    }
    scope.Step(0.8 * (line + 1) / lines);
    if (scope.Cancelled()) return Error{kCancelled, "the import was cancelled"};
  }
  if (holes == static_cast<std::int64_t>(cells))
    return Error{kWrongFormat, Quoted(path) + " holds no valid elevation: every cell is NoData"};
  grid.noDataFilled = FillFromNearestValid(grid.scan.values, valid, lines, columns);
  scope.Step(1.0);
  grid.minValue = lo;
  grid.maxValue = hi;
  // The figures an opening shows start from 1000000 and 0.
  grid.scan.minValue = std::min<std::int64_t>(1000000, lo);
  grid.scan.maxValue = std::max<std::int64_t>(0, hi);
  return grid;
}

double ElevationPrecision(bool float32) { return float32 ? std::ldexp(1.0, -22) : std::ldexp(1.0, -40); }

GdalRasterInfo DescribeGeoReference(const GeoReference& georef) {
  GdalRasterInfo info;
  info.lines = georef.lines;
  info.columns = georef.columns;
  info.georef = georef;
  info.hasGeoTransform = true;
  GdalErrorScope errors;
  OGRSpatialReferenceH srs = nullptr;
  if (!georef.crsWkt.empty()) {
    srs = OSRNewSpatialReference(nullptr);
    // Any definition GDAL understands: WKT, "EPSG:4326", PROJ strings.
    if (OSRSetFromUserInput(srs, georef.crsWkt.c_str()) != OGRERR_NONE) {
      OSRDestroySpatialReference(srs);
      srs = nullptr;
    }
  }
  ReadCrs(srs, info);
  if (srs) OSRDestroySpatialReference(srs);
  return info;
}

void ApplyGroundPixelSizes(TDemModel& model, const GdalRasterInfo& info, int unitFactor) {
  if (!info.hasGeoTransform || !(info.pixelWidthMetres > 0.0) || !(info.pixelHeightMetres > 0.0))
    return;
  model.pixelSizeX = static_cast<float>(info.pixelHeightMetres * unitFactor);
  model.pixelSizeY = static_cast<float>(info.pixelWidthMetres * unitFactor);
}

Expected<GdalImportResult> ImportGdalRaster(const GdalImportParams& params,
                                            ProgressSink* progress) {
  if (params.outputName.empty())
    return Error{kBadParameter, "give the name of the imported DEM"};
  auto grid = ReadGdalDem(params.sourcePath, params.unitFactor, progress);
  if (!grid) return grid.error();
  GdalImportResult result;
  result.info = grid->info;
  result.noDataFilled = grid->noDataFilled;
  result.minValue = grid->minValue;
  result.maxValue = grid->maxValue;
  result.dataPath = params.outputName + "_m4.raw";
  result.headerPath = params.outputName + "_m4.txt";
  const auto& values = grid->scan.values;
  const std::string_view bytes(reinterpret_cast<const char*>(values.data()),
                               values.size() * sizeof(std::int32_t));
  TextBuilder header;
  header.Format("%d\n%d\n%d\n%lld\n%lld\n", grid->info.lines, grid->info.columns,
                grid->info.dataTypeBytes, static_cast<long long>(grid->minValue),
                static_cast<long long>(grid->maxValue));
  const std::string headerText = header.Crlf();
  if (Status s = WriteFilesAtomically({{result.dataPath, bytes}, {result.headerPath, headerText}});
      !s)
    return s.error();
  return result;
}

Status ExportRasterGeoTiff(const TRasterImage& raster, const std::string& path,
                           const GeoReference* georef) {
  if (!raster.IsAllocated() || raster.columns < 1 || raster.lines < 1)
    return Error{kBadParameter, "there is no image to export to " + Quoted(path)};
  GdalErrorScope errors;
  NoSideFiles noSideFiles;
  const bool rgb = raster.kind == kRasterRgb;
  GeoTiffTarget target(path);
  if (Status s = target.Create(raster.columns, raster.lines, rgb ? 3 : 1, GDT_Byte, rgb, georef);
      !s)
    return s;
  GDALDatasetH dataset = target.dataset();
  if (raster.kind == kRasterPalette) {
    GDALColorTableH table = GDALCreateColorTable(GPI_RGB);
    for (int i = 0; i < 256; ++i) {
      const TPaletteEntry& e = raster.palette[static_cast<std::size_t>(i)];
      const GDALColorEntry entry{e[2], e[1], e[0], 255};
      GDALSetColorEntry(table, i, &entry);
    }
    const CPLErr set = GDALSetRasterColorTable(GDALGetRasterBand(dataset, 1), table);
    GDALDestroyColorTable(table);
    if (set != CE_None) return target.WriteFailed();
  }
  // Bitmap rows hold blue, green, red: buffer band 0 goes to band 3 (red is band 1).
  int bandMap[3] = {3, 2, 1};
  for (int line = 0; line < raster.lines; ++line) {
    auto* row = const_cast<std::uint8_t*>(raster.Row(line));
    const CPLErr written =
        rgb ? GDALDatasetRasterIO(dataset, GF_Write, 0, line, raster.columns, 1, row,
                                  raster.columns, 1, GDT_Byte, 3, bandMap, 3,
                                  static_cast<GSpacing>(raster.columns) * 3, 1)
            : GDALRasterIO(GDALGetRasterBand(dataset, 1), GF_Write, 0, line, raster.columns, 1,
                           row, raster.columns, 1, GDT_Byte, 0, 0);
    if (written != CE_None) return target.WriteFailed();
  }
  return target.Commit();
}

Status ExportValuesGeoTiff(const ValueGrid& grid, const std::string& path,
                           const GeoReference* georef) {
  if (grid.columns < 1 || grid.lines < 1 ||
      grid.values.size() != static_cast<std::size_t>(grid.columns) * grid.lines)
    return Error{kBadParameter, "there are no values to export to " + Quoted(path)};
  GdalErrorScope errors;
  NoSideFiles noSideFiles;
  GeoTiffTarget target(path);
  if (Status s = target.Create(grid.columns, grid.lines, 1, GDT_Float32, false, georef, true); !s)
    return s;
  GDALRasterBandH band = GDALGetRasterBand(target.dataset(), 1);
  // NaN marks the cells without a value; GDAL and the GIS read "nan" as the NoData value.
  if (GDALSetRasterNoDataValue(band, std::numeric_limits<double>::quiet_NaN()) != CE_None)
    return target.WriteFailed();
  if (!grid.unit.empty()) GDALSetRasterUnitType(band, grid.unit.c_str());
  auto* cells = const_cast<float*>(grid.values.data());
  if (GDALRasterIO(band, GF_Write, 0, 0, grid.columns, grid.lines, cells, grid.columns,
                   grid.lines, GDT_Float32, 0, 0) != CE_None)
    return target.WriteFailed();
  return target.Commit();
}

Status ExportDemGeoTiff(const TDemModel& dem, int unitFactor, const std::string& path,
                        const GeoReference* georef, ProgressSink* progress) {
  if (!dem.IsAllocated() || dem.columns < 1 || dem.lines < 1)
    return Error{kBadParameter, "there is no DEM to export to " + Quoted(path)};
  if (unitFactor < 1) unitFactor = 1;
  GdalErrorScope errors;
  NoSideFiles noSideFiles;
  const bool whole = unitFactor == 1;
  GeoTiffTarget target(path);
  if (Status s = target.Create(dem.columns, dem.lines, 1, whole ? GDT_Int32 : GDT_Float32, false,
                               georef);
      !s)
    return s;
  GDALRasterBandH band = GDALGetRasterBand(target.dataset(), 1);
  GDALSetRasterUnitType(band, "m");
  std::vector<std::int32_t> wholeRow(whole ? static_cast<std::size_t>(dem.columns) : 0);
  std::vector<float> realRow(whole ? 0 : static_cast<std::size_t>(dem.columns));
  ProgressScope scope(progress);
  for (int line = 0; line < dem.lines; ++line) {
    for (int c = 0; c < dem.columns; ++c) {
      const double z = dem.GetElevation(c, line);
      if (whole) {
        wholeRow[c] = static_cast<std::int32_t>(std::clamp(
            std::trunc(z), static_cast<double>(std::numeric_limits<std::int32_t>::min()),
            static_cast<double>(std::numeric_limits<std::int32_t>::max())));
      } else {
        realRow[c] = static_cast<float>(z / unitFactor);
      }
    }
    void* data = whole ? static_cast<void*>(wholeRow.data()) : static_cast<void*>(realRow.data());
    if (GDALRasterIO(band, GF_Write, 0, line, dem.columns, 1, data, dem.columns, 1,
                     whole ? GDT_Int32 : GDT_Float32, 0, 0) != CE_None)
      return target.WriteFailed();
    scope.Step(static_cast<double>(line + 1) / dem.lines);
  }
  return target.Commit();
}

}  // namespace orvane
