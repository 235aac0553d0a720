#include "core/exchange/gdal_raster.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <type_traits>
#include <memory>
#include <new>

#include "core/common/atomic_file.h"
#include "core/common/parallel.h"
#include "core/common/text_builder.h"
#include "core/exchange/gdal_module.h"
#include "core/exchange/nearest_fill.h"
#include "core/terrain/elevation_unit.h"

namespace orvane {

namespace {

constexpr double kPi = 3.14159265358979323846;

// GDAL's messages are kept for our own reports instead of going to stderr.
class GdalErrorScope {
 public:
  explicit GdalErrorScope(const OrvaneGdalApi& gdal) : gdal_(gdal) { gdal_.begin_quiet(); }
  ~GdalErrorScope() { gdal_.end_quiet(); }
  GdalErrorScope(const GdalErrorScope&) = delete;
  GdalErrorScope& operator=(const GdalErrorScope&) = delete;

  // ": GDAL's last message", or "" when it said nothing.
  std::string Reason() const {
    const char* message = gdal_.last_error();
    return message && *message ? std::string(": ") + message : std::string();
  }

 private:
  const OrvaneGdalApi& gdal_;
};

struct DatasetCloser {
  const OrvaneGdalApi* gdal = nullptr;
  void operator()(OrvaneGdalDataset* dataset) const {
    if (dataset) gdal->close(dataset);
  }
};
using DatasetPtr = std::unique_ptr<OrvaneGdalDataset, DatasetCloser>;

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

// The ground sizes of a cell and the CRS facts of the dataset.
void ReadCrs(const OrvaneGdalFacts& facts, GdalRasterInfo& info) {
  info.georef.crsWkt = facts.crs_wkt;
  const double gx = std::fabs(info.georef.transform[1]);
  const double gy = std::fabs(info.georef.transform[5]);
  if (facts.has_crs) {
    info.crsName = facts.crs_name;
    info.projected = facts.projected != 0;
    info.geographic = facts.geographic != 0;
    if (info.projected) {
      info.georef.utmZone = std::max(0, facts.utm_zone);
      info.georef.utmNorth = facts.utm_north != 0;
    }
  }
  if (!info.hasGeoTransform) return;
  if (info.projected) {
    const double k = facts.linear_units > 0.0 ? facts.linear_units : 1.0;
    info.pixelWidthMetres = gx * k;
    info.pixelHeightMetres = gy * k;
  } else if (info.geographic) {
    const double a = facts.semi_major > 0.0 ? facts.semi_major : 6378137.0;
    const double f = facts.inverse_flattening > 0.0 ? 1.0 / facts.inverse_flattening : 0.0;
    double radiansPerUnit = facts.angular_units;
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

// GDAL reads a block whole before giving any of its cells. A forged header can declare a
// block of gigabytes in a file of a few hundred bytes (one strip over every band of a
// pixel-interleaved raster): refused before anything is allocated. A block is allowed when it
// is small (no harm in reading it), or when the file could hold it: its size for stored
// blocks, a generous compression ratio for compressed ones.
Status CheckBlockSize(const OrvaneGdalFacts& facts, const std::string& path) {
  if (!(facts.file_bytes > 0.0) || facts.block_columns < 1 || facts.block_lines < 1)
    return Status::Ok();
  constexpr double kHarmlessBlockBytes = 64.0 * 1024 * 1024;
  constexpr double kLargestCompressionRatio = 4096.0;
  const double bands = facts.pixel_interleaved ? std::max(1, facts.band_count) : 1;
  const double block = static_cast<double>(facts.block_columns) * facts.block_lines *
                       std::max(1, facts.data_type_bytes) * bands;
  const double holdable = facts.file_bytes * (facts.compressed ? kLargestCompressionRatio : 1.0);
  if (block <= kHarmlessBlockBytes || block <= holdable) return Status::Ok();
  std::string shape = std::to_string(facts.block_columns) + " x " +
                      std::to_string(facts.block_lines) + " cells";
  if (bands > 1) shape += " of " + std::to_string(facts.band_count) + " bands";
  return Error{kWrongFormat, Quoted(path) + " declares blocks of " + Number(block) +
                                 " bytes (" + shape + ") in a file of " +
                                 Number(facts.file_bytes) +
                                 " bytes: the file is damaged or forged, nothing was read"};
}

Expected<GdalRasterInfo> Inspect(const OrvaneGdalApi& gdal, OrvaneGdalDataset* dataset,
                                 const std::string& path, OrvaneGdalFacts& facts) {
  GdalRasterInfo info;
  info.path = path;
  if (gdal.describe(dataset, &facts) != 0)
    return Error{kCannotOpen, "cannot read " + Quoted(path)};
  info.driver = facts.driver;
  info.columns = facts.columns;
  info.lines = facts.lines;
  info.bandCount = facts.band_count;
  if (info.bandCount < 1) return Error{kWrongFormat, Quoted(path) + " holds no raster band"};
  info.dataType = facts.data_type;
  info.dataTypeBytes = facts.data_type_bytes;
  const double scale = facts.has_scale && facts.scale != 0.0 ? facts.scale : 1.0;
  const double offset = facts.has_offset ? facts.offset : 0.0;
  info.realValued = facts.data_type_real != 0 || scale != std::trunc(scale) ||
                    offset != std::trunc(offset);
  if (!facts.data_type_usable)
    return Error{kWrongFormat, Quoted(path) + " holds " + info.dataType +
                                   " values: elevations must be integers or reals"};
  if (info.lines < 1 || info.columns < 1 || info.lines > kMaxDemFileSide ||
      info.columns > kMaxDemFileSide) {
    return Error{kWrongFormat, Quoted(path) + " is " + std::to_string(info.lines) + " lines x " +
                                   std::to_string(info.columns) +
                                   " columns: a DEM has 1 to " + std::to_string(kMaxDemFileSide) +
                                   " lines and columns (cut it first, e.g. gdal_translate -srcwin)"};
  }
  if (Status s = CheckBlockSize(facts, path); !s) return s.error();
  if (info.bandCount > 1)
    info.warnings.push_back(Quoted(path) + " has " + std::to_string(info.bandCount) +
                            " bands: band 1 is imported");

  info.georef.lines = info.lines;
  info.georef.columns = info.columns;
  if (facts.has_geotransform) {
    double gt[6];
    std::copy(facts.geotransform, facts.geotransform + 6, gt);
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
  ReadCrs(facts, info);
  const std::string unit = facts.unit_type;
  if (!unit.empty() && !IsMetreUnit(unit))
    info.warnings.push_back(Quoted(path) + " gives its elevations in '" + unit +
                            "': they are imported as numbers of that unit");
  return info;
}

Expected<DatasetPtr> OpenForReading(const OrvaneGdalApi& gdal, const GdalErrorScope& errors,
                                    const std::string& path) {
  DatasetPtr dataset(gdal.open_read(path.c_str()), DatasetCloser{&gdal});
  if (!dataset) {
    // A file the system will not open (no permission, missing) is said with its reason.
    if (path.rfind("/vsi", 0) != 0) {
      if (std::FILE* file = std::fopen(path.c_str(), "rb")) std::fclose(file);
      else return Error{kCannotOpen, "cannot open " + FileReason(path, errno)};
    }
    std::string reason = errors.Reason();
    if (reason.empty()) reason = ": not a raster GDAL can read";
    return Error{kCannotOpen, "cannot open " + Quoted(path) + reason};
  }
  return dataset;
}

// A raster opened for reading and inspected: band 1's facts (their strings live as long as the
// dataset), what the core makes of them, and the band's scale and offset to metres.
struct InspectedRaster {
  DatasetPtr dataset;
  OrvaneGdalFacts facts{};
  GdalRasterInfo info;
  double scale = 1.0, offset = 0.0;
};

Expected<InspectedRaster> OpenAndInspect(const OrvaneGdalApi& gdal, const GdalErrorScope& errors,
                                         const std::string& path) {
  auto opened = OpenForReading(gdal, errors, path);
  if (!opened) return opened.error();
  InspectedRaster raster;
  raster.dataset = std::move(*opened);
  auto info = Inspect(gdal, raster.dataset.get(), path, raster.facts);
  if (!info) return info.error();
  raster.info = std::move(*info);
  const OrvaneGdalFacts& facts = raster.facts;
  raster.scale = facts.has_scale && facts.scale != 0.0 ? facts.scale : 1.0;
  raster.offset = facts.has_offset ? facts.offset : 0.0;
  return raster;
}

// Truncation toward zero, except that a product within the source's precision of a whole
// number is that number.
// The rounding is done by hand: nearbyint and trunc are library calls on baseline x86-64, and
// this runs once per cell of every raster read.
bool ToStoredValue(double product, double relativeTolerance, std::int32_t& stored) {
  const double magnitude = std::fabs(product);
  // From 2^52 on (and for NaN and infinities) nothing fits 32 bits.
  constexpr double kWholeFrom = 0x1p52;
  if (!(magnitude < kWholeFrom)) return false;
  // Adding 2^52 leaves no fraction bits: the sum is rounded to the nearest whole number, ties
  // to even, as nearbyint does in the default rounding mode.
  const double whole = std::copysign((magnitude + kWholeFrom) - kWholeFrom, product);
  if (std::fabs(product - whole) <= magnitude * relativeTolerance) product = whole;
  const double t = static_cast<double>(static_cast<std::int64_t>(product));
  if (!(t >= std::numeric_limits<std::int32_t>::min() &&
        t <= std::numeric_limits<std::int32_t>::max()))
    return false;
  stored = static_cast<std::int32_t>(t);
  return true;
}

OrvaneGdalCompression ToModule(GeoTiffCompression compression) {
  switch (compression) {
    case GeoTiffCompression::kDeflate: return ORVANE_GDAL_DEFLATE;
    case GeoTiffCompression::kZstd: return ORVANE_GDAL_ZSTD;
    case GeoTiffCompression::kLzw: return ORVANE_GDAL_LZW;
    case GeoTiffCompression::kNone: return ORVANE_GDAL_UNCOMPRESSED;
  }
  return ORVANE_GDAL_DEFLATE;
}

// Lines handed to GDAL at once: whole blocks, and enough of them (about 4 MB) that the
// compressing threads always have blocks to work on.
int LinesPerWrite(const OrvaneGdalApi& gdal, OrvaneGdalDataset* dataset, std::size_t lineBytes) {
  const int block = std::max(1, gdal.block_lines(dataset));
  const std::size_t wanted = (std::size_t{4} << 20) / std::max<std::size_t>(1, lineBytes);
  return block * static_cast<int>(std::clamp<std::size_t>(wanted / block, 1, 1024));
}

// Lines per strip of a picture: about 32 KB. GDAL's own choice (8 KB, a line or two of a
// picture) hands each strip to a compressing thread as a small TIFF of its own, whose set-up
// costs a tenth of the compression; larger strips compress slower (DEFLATE searches further
// back) for a few per cent of size.
int PictureStripLines(std::size_t lineBytes, int lines) {
  constexpr std::size_t kStripBytes = std::size_t{32} << 10;
  return static_cast<int>(
      std::clamp<std::size_t>(kStripBytes / std::max<std::size_t>(1, lineBytes), 1,
                              static_cast<std::size_t>(std::max(1, lines))));
}

// A GeoTIFF written by GDAL under a temporary name beside the target, renamed onto it when
// the dataset closed without error. GDAL writes no .aux.xml side file meanwhile.
class GeoTiffTarget {
 public:
  GeoTiffTarget(const OrvaneGdalApi& gdal, const GdalErrorScope& errors, std::string path)
      : gdal_(gdal), errors_(errors), path_(std::move(path)) {}
  ~GeoTiffTarget() { Discard(); }
  GeoTiffTarget(const GeoTiffTarget&) = delete;
  GeoTiffTarget& operator=(const GeoTiffTarget&) = delete;

  // `tiledValues`: a value grid, tiled with the floating-point predictor. `stripLines`: the
  // height of the strips of another grid (0: GDAL's choice).
  Status Create(int columns, int lines, int bands, OrvaneGdalCellType type, bool rgb,
                const GeoReference* georef, bool tiledValues = false,
                GeoTiffCompression compression = GeoTiffCompression::kDeflate,
                int stripLines = 0) {
    if (Status s = file_.OpenForName(path_); !s) return s;
    temp_ = file_.TemporaryPath();
    dataset_ = stripLines > 0 && !tiledValues
                   ? gdal_.create_geotiff_strips(temp_.c_str(), columns, lines, bands, type,
                                                 rgb ? 1 : 0, ToModule(compression), stripLines)
                   : gdal_.create_geotiff_compressed(temp_.c_str(), columns, lines, bands, type,
                                                     rgb ? 1 : 0, tiledValues ? 1 : 0,
                                                     ToModule(compression));
    if (!dataset_) return Error{kCannotOpen, "cannot create " + Quoted(path_) + errors_.Reason()};
    if (georef && gdal_.georeference(dataset_, georef->transform.data(),
                                     georef->crsWkt.c_str()) != 0)
      return Error{kWriteFailed, "cannot georeference " + Quoted(path_) + errors_.Reason()};
    return Status::Ok();
  }

  OrvaneGdalDataset* dataset() const { return dataset_; }

  Status WriteFailed() const {
    return Error{kWriteFailed, "cannot write " + Quoted(path_) + errors_.Reason()};
  }

  // Closes the dataset, syncs the file and renames it onto the target.
  Status Commit() {
    const int closed = gdal_.close(dataset_);
    dataset_ = nullptr;
    if (closed != 0) return WriteFailed();
    if (Status s = file_.Commit(); !s) return s;
    temp_.clear();
    return Status::Ok();
  }

 private:
  void Discard() {
    if (dataset_) gdal_.close(dataset_);
    dataset_ = nullptr;
    if (!temp_.empty()) std::remove((temp_ + ".aux.xml").c_str());
    file_.Abandon();
    temp_.clear();
  }

  const OrvaneGdalApi& gdal_;
  const GdalErrorScope& errors_;
  std::string path_;
  AtomicFileWriter file_;  // the temporary file GDAL writes, renamed onto path_ at the end
  std::string temp_;
  OrvaneGdalDataset* dataset_ = nullptr;
};

// The picture's NoData cells: a one-band picture declares their level (the one level they
// alone have) as its NoData value; a 24-bit one gets a mask, 0 on them.
Status MarkNoData(const OrvaneGdalApi& gdal, GeoTiffTarget& target, const TRasterImage& raster) {
  if (raster.noData.empty()) return Status::Ok();
  const auto first = std::find(raster.noData.begin(), raster.noData.end(), std::uint8_t{1});
  if (first == raster.noData.end()) return Status::Ok();
  if (raster.kind != kRasterRgb) {
    const std::size_t k = static_cast<std::size_t>(first - raster.noData.begin());
    return gdal.set_nodata(target.dataset(), raster.Row(0)[k]) == 0 ? Status::Ok()
                                                                     : target.WriteFailed();
  }
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(raster.columns));
  for (int line = 0; line < raster.lines; ++line) {
    const std::uint8_t* noData = raster.noData.data() + static_cast<std::size_t>(line) * raster.columns;
    for (int c = 0; c < raster.columns; ++c) mask[c] = noData[c] ? 0 : 255;
    if (gdal.write_mask_line(target.dataset(), line, mask.data()) != 0) return target.WriteFailed();
  }
  return Status::Ok();
}

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
  // The CRS is optional here: without the GDAL module the frame keeps its corners only.
  auto gdal = GdalModule();
  if (!gdal) return georef;
  GdalErrorScope errors(**gdal);
  if (char* wkt = (*gdal)->utm_wkt(zone, georef.utmNorth ? 1 : 0)) {
    georef.crsWkt = wkt;
    (*gdal)->free_text(wkt);
  }
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
  auto gdal = GdalModule();
  if (!gdal) return gdal.error();
  GdalErrorScope errors(**gdal);
  auto raster = OpenAndInspect(**gdal, errors, path);
  if (!raster) return raster.error();
  return std::move(raster->info);
}

bool ToStoredElevation(double product, double relativeTolerance, std::int32_t& stored) {
  return ToStoredValue(product, relativeTolerance, stored);
}

double ElevationPrecision(bool float32) {
  return float32 ? std::ldexp(1.0, -22) : std::ldexp(1.0, -40);
}

GdalRasterInfo DescribeGeoReference(const GeoReference& georef) {
  GdalRasterInfo info;
  info.lines = georef.lines;
  info.columns = georef.columns;
  info.georef = georef;
  info.hasGeoTransform = true;
  OrvaneGdalFacts facts{};
  facts.crs_wkt = facts.crs_name = "";
  auto gdal = GdalModule();
  if (!gdal) {
    info.warnings.push_back(gdal.error().message);
  } else if (!georef.crsWkt.empty()) {
    GdalErrorScope errors(**gdal);
    if ((*gdal)->describe_crs(georef.crsWkt.c_str(), &facts) != 0) {
      facts = OrvaneGdalFacts{};
      facts.crs_wkt = facts.crs_name = "";
    }
  }
  // The definition as given stays the georeference's CRS when GDAL gives no WKT for it.
  const std::string given = georef.crsWkt;
  ReadCrs(facts, info);
  if (info.georef.crsWkt.empty()) info.georef.crsWkt = given;
  return info;
}

namespace {

template <typename Cell>
constexpr OrvaneGdalCellType kCellType =
    std::is_same_v<Cell, float> ? ORVANE_GDAL_FLOAT32 : ORVANE_GDAL_FLOAT64;

// Lines read at once: about a million cells, whole blocks where they fit (GDAL then reads each
// block once per call, instead of once per line). Blocks taller than the band (wide tiled
// rasters) are left to GDAL's block cache: a band of whole blocks could then take gigabytes.
int LinesPerRead(int columns, int lines, int blockLines) {
  const int block = std::max(1, blockLines);
  const int wanted = std::max(1, (1 << 20) / std::max(1, columns));
  return std::min(lines, block <= wanted ? wanted / block * block : wanted);
}

// Lines [from, to) of a raster's file.
struct LineSpan {
  int from = 0, to = 0;
};

// Reads lines `span` of band 1 in bands of LinesPerRead lines and hands `use(first, count,
// cells, mask)` each band of `count` lines from line `first` of the file on; `mask` is null
// when every cell is valid.
template <typename Cell, typename Use>
Status ForEachBand(const OrvaneGdalApi& gdal, const GdalErrorScope& errors,
                   OrvaneGdalDataset* dataset, const GdalRasterInfo& info, int blockLines,
                   bool mask, LineSpan span, Use&& use) {
  const int columns = info.columns, lines = span.to - span.from;
  const int band = LinesPerRead(columns, lines, blockLines);
  std::vector<Cell> cells(static_cast<std::size_t>(band) * columns);
  std::vector<std::uint8_t> maskCells(mask ? cells.size() : 0);
  for (int first = span.from; first < span.to; first += band) {
    const int count = std::min(band, span.to - first);
    if (gdal.read_lines(dataset, first, count, kCellType<Cell>, cells.data(),
                        mask ? maskCells.data() : nullptr) != 0)
      return Error{kOutsideOrShortRead, "cannot read lines " + std::to_string(first) + " to " +
                                            std::to_string(first + count - 1) + " of " +
                                            Quoted(info.path) + errors.Reason()};
    if (Status s = use(first, count, cells.data(), mask ? maskCells.data() : nullptr); !s)
      return s;
  }
  return Status::Ok();
}

// ForEachBand with each band's lines handed to `useLine(line, cells, mask)` on every core
// (bodies write only to their own line's slots), then `afterBand(first, count)` on the calling
// thread.
template <typename Cell, typename UseLine, typename AfterBand>
Status ForEachLineOnEveryCore(const OrvaneGdalApi& gdal, const GdalErrorScope& errors,
                              OrvaneGdalDataset* dataset, const GdalRasterInfo& info,
                              int blockLines, bool mask, LineSpan span, UseLine&& useLine,
                              AfterBand&& afterBand) {
  return ForEachBand<Cell>(
      gdal, errors, dataset, info, blockLines, mask, span,
      [&](int first, int count, const Cell* cells, const std::uint8_t* maskCells) {
        ParallelForLines(count, [&](int k) {
          const std::size_t at = static_cast<std::size_t>(k) * info.columns;
          useLine(first + k, cells + at, maskCells ? maskCells + at : nullptr);
        });
        return afterBand(first, count);
      });
}

// Reads lines `span` of band 1 as `type` (4-byte cells) straight into `cells` (their grid, in
// the file's line order), and the mask into `mask` (null: every cell valid), a band of lines
// at a time; each band's lines go to `useLine(line)` on every core, then `afterBand(first,
// count)` runs on the calling thread.
template <typename UseLine, typename AfterBand>
Status ForEachBandInPlace(const OrvaneGdalApi& gdal, const GdalErrorScope& errors,
                          OrvaneGdalDataset* dataset, const GdalRasterInfo& info, int blockLines,
                          LineSpan span, OrvaneGdalCellType type, std::int32_t* cells,
                          std::uint8_t* mask, UseLine&& useLine, AfterBand&& afterBand) {
  const int columns = info.columns;
  const int band = LinesPerRead(columns, span.to - span.from, blockLines);
  for (int first = span.from; first < span.to; first += band) {
    const int count = std::min(band, span.to - first);
    const std::size_t at = static_cast<std::size_t>(first - span.from) * columns;
    if (gdal.read_lines(dataset, first, count, type, cells + at, mask ? mask + at : nullptr) != 0)
      return Error{kOutsideOrShortRead, "cannot read lines " + std::to_string(first) + " to " +
                                            std::to_string(first + count - 1) + " of " +
                                            Quoted(info.path) + errors.Reason()};
    ParallelForLines(count, [&](int k) { useLine(first + k); });
    if (Status s = afterBand(first, count); !s) return s;
  }
  return Status::Ok();
}

// The lowest and highest elevation (metres, after the band's scale and offset) of the valid
// cells: one reading pass, made only to choose the unit of a real-valued raster, its lines
// scanned on every core. Float32 cells are read as they are stored (half the bytes of doubles).
// The extremes are taken among the stored cells: scale and offset, applied after, keep the
// order of the cells (reversed by a negative scale).
template <typename Cell>
Expected<std::pair<double, double>> ElevationRangeOf(const OrvaneGdalApi& gdal,
                                                     const GdalErrorScope& errors,
                                                     OrvaneGdalDataset* dataset,
                                                     const GdalRasterInfo& info, int blockLines,
                                                     bool mask, double scale, double offset) {
  std::vector<std::pair<Cell, Cell>> ranges(
      static_cast<std::size_t>(info.lines),
      {std::numeric_limits<Cell>::infinity(), -std::numeric_limits<Cell>::infinity()});
  Status read = ForEachLineOnEveryCore<Cell>(
      gdal, errors, dataset, info, blockLines, mask, LineSpan{0, info.lines},
      [&](int line, const Cell* cells, const std::uint8_t* maskRow) {
        Cell lo = std::numeric_limits<Cell>::infinity();
        Cell hi = -lo;
        for (int c = 0; c < info.columns; ++c) {
          if ((maskRow && maskRow[c] == 0) || std::isnan(cells[c])) continue;
          lo = std::min(lo, cells[c]);
          hi = std::max(hi, cells[c]);
        }
        ranges[static_cast<std::size_t>(line)] = {lo, hi};
      },
      [](int, int) { return Status::Ok(); });
  if (!read) return read.error();
  Cell lo = std::numeric_limits<Cell>::infinity();
  Cell hi = -lo;
  for (const auto& [low, high] : ranges) {
    lo = std::min(lo, low);
    hi = std::max(hi, high);
  }
  if (!(lo <= hi))
    return std::make_pair(std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity());
  const double a = lo * scale + offset, b = hi * scale + offset;
  return std::make_pair(std::min(a, b), std::max(a, b));
}

Expected<std::pair<double, double>> ElevationRange(const OrvaneGdalApi& gdal,
                                                   const GdalErrorScope& errors,
                                                   OrvaneGdalDataset* dataset,
                                                   const GdalRasterInfo& info,
                                                   const OrvaneGdalFacts& facts, double scale,
                                                   double offset) {
  const bool mask = !facts.all_valid;
  return facts.data_type_float32
             ? ElevationRangeOf<float>(gdal, errors, dataset, info, facts.block_lines, mask,
                                       scale, offset)
             : ElevationRangeOf<double>(gdal, errors, dataset, info, facts.block_lines, mask,
                                        scale, offset);
}

// The unit a raster is read in when none is given: metres for whole numbers; for reals the
// finest unit the range of their valid cells allows, none finer than `finest` (metres when no
// cell is valid).
struct UnitChoice {
  int factor = 1;
  bool chosen = false;
};

UnitChoice UnitOfRange(double lowest, double highest, int finest) {
  if (!(lowest <= highest)) return {};
  return {FinestUnitFactor(lowest, highest, finest), true};
}

// The unit of an inspected raster read without a chosen unit: one reading pass for reals.
Expected<UnitChoice> ChooseUnit(const OrvaneGdalApi& gdal, const GdalErrorScope& errors,
                                const InspectedRaster& raster, int finest) {
  if (!raster.info.realValued) return UnitChoice{};
  auto range = ElevationRange(gdal, errors, raster.dataset.get(), raster.info, raster.facts,
                              raster.scale, raster.offset);
  if (!range) return range.error();
  return UnitOfRange(range->first, range->second, finest);
}

// Band 1 holds whole numbers that a signed 32-bit integer holds, without scale or offset: GDAL
// can widen them straight into the grid.
bool HoldsPlainWholeNumbers(const OrvaneGdalFacts& facts, double scale, double offset) {
  static constexpr const char* kTypes[] = {"Byte", "Int8", "UInt16", "Int16", "Int32"};
  if (scale != 1.0 || offset != 0.0) return false;
  return std::any_of(std::begin(kTypes), std::end(kTypes),
                     [&](const char* type) { return std::strcmp(facts.data_type, type) == 0; });
}

// Turns the grid's lines (and the mask's) upside down: rasters stored south-up are read in
// their own order.
template <typename Cell>
void TurnOver(std::vector<Cell>& cells, int lines, int columns) {
  if (cells.empty()) return;
  for (int top = 0, bottom = lines - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(cells.begin() + static_cast<std::ptrdiff_t>(top) * columns,
                     cells.begin() + static_cast<std::ptrdiff_t>(top + 1) * columns,
                     cells.begin() + static_cast<std::ptrdiff_t>(bottom) * columns);
}

bool IsSouthUp(const OrvaneGdalFacts& facts) {
  return facts.has_geotransform && facts.geotransform[5] > 0.0;
}

bool IsUnitFactor(int unitFactor) {
  return unitFactor == 1 || unitFactor == 10 || unitFactor == 100 || unitFactor == 1000 ||
         unitFactor == kFinestUnitFactor;
}

// Lines `wanted` (from the north: for a south-up raster, the file's lines counted from its
// end) of an inspected raster, converted as ReadGdalDem converts a whole raster. unitFactor 0
// chooses as ReadGdalDem does. The whole raster must hold a valid cell; the cells of a part
// of it may all be NoData (validity all 0). grid.info stays the whole raster's.
Expected<GdalDemGrid> ReadRasterLines(const OrvaneGdalApi& gdal, const GdalErrorScope& errors,
                                      const InspectedRaster& raster, int unitFactor,
                                      int finestChosen, LineSpan wanted,
                                      ProgressSink* progress) {
  const std::string& path = raster.info.path;
  OrvaneGdalDataset* dataset = raster.dataset.get();
  const OrvaneGdalFacts& facts = raster.facts;

  GdalDemGrid grid;
  grid.info = raster.info;
  const bool southUp = IsSouthUp(facts);
  const bool wholeRaster = wanted.from == 0 && wanted.to == raster.info.lines;
  const LineSpan span = southUp ? LineSpan{raster.info.lines - wanted.to,
                                           raster.info.lines - wanted.from}
                                : wanted;
  const int lines = span.to - span.from, columns = grid.info.columns;
  const std::size_t cells = static_cast<std::size_t>(lines) * columns;
  const double scale = raster.scale, offset = raster.offset;
  const double tolerance = ElevationPrecision(facts.data_type_float32 != 0);
  const bool mask = !facts.all_valid;
  const bool plainWhole = HoldsPlainWholeNumbers(facts, scale, offset);
  // The grid's row of a line of the file.
  const auto rowOf = [&](int line) { return static_cast<std::size_t>(line - span.from); };
  // Float32 cells whose unit is still to be chosen are read once (below).
  const bool float32Once = unitFactor == 0 && grid.info.realValued && facts.data_type_float32;
  // Every line is read into its own place in the grid, in the file's order (turned over at the
  // end for a south-up raster). Without a NoData mask, whole numbers are all valid and the
  // Float32 cells read once get a mask only when one of them is NaN: no mask is made for them.
  std::vector<std::uint8_t> valid;
  try {
    grid.scan.values.resize(cells);
    if (mask || !(plainWhole || float32Once)) valid.assign(cells, 1);
  } catch (const std::bad_alloc&) {
    return Error{kAllocationFailed, "not enough memory to read " + Quoted(path)};
  }
  grid.scan.lines = lines;
  grid.scan.columns = columns;
  grid.scan.bytesPerElement = 4;
  grid.scan.fileLength = static_cast<std::int64_t>(cells) * 4;

  // What each line of the file gave: lines are converted on every core, each into its own
  // slot, and the first failing line in the file's order is the one reported.
  struct LineFigures {
    std::int64_t lo = std::numeric_limits<std::int64_t>::max();
    std::int64_t hi = std::numeric_limits<std::int64_t>::min();
    std::int64_t holes = 0;
    Status status;
  };
  std::vector<LineFigures> figures(static_cast<std::size_t>(lines));
  ProgressScope scope(progress);
  auto beyondRange = [&](double elevation, int line, int column) -> Error {
    return Error{kWrongFormat, Quoted(path) + " holds the elevation " + Number(elevation) +
                                   " at line " + std::to_string(line) + ", column " +
                                   std::to_string(column) +
                                   ": beyond the 32-bit range in units of 1/" +
                                   std::to_string(unitFactor) + " m (choose a coarser unit)"};
  };
  // Stores line `line` of the file from `rawAt(column)`, the cells `validAt` refuses and NaN as
  // holes, the rest in whole units of 1/unitFactor m.
  auto storeLine = [&](int line, auto&& rawAt, auto&& validAt) {
    LineFigures& out = figures[rowOf(line)];
    const std::size_t base = rowOf(line) * columns;
    std::int32_t* values = grid.scan.values.data() + base;
    std::int32_t lowest = std::numeric_limits<std::int32_t>::max();
    std::int32_t highest = std::numeric_limits<std::int32_t>::min();
    std::int64_t holes = 0;
    for (int c = 0; c < columns; ++c) {
      const double raw = rawAt(c);
      if (!validAt(c) || std::isnan(raw)) {
        valid[base + c] = 0;
        values[c] = 0;
        ++holes;
        continue;
      }
      std::int32_t stored = 0;
      if (!ToStoredValue((raw * scale + offset) * unitFactor, tolerance, stored)) {
        out.status = beyondRange(raw * scale + offset, line, c);
        return;
      }
      values[c] = stored;
      lowest = std::min(lowest, stored);
      highest = std::max(highest, stored);
    }
    if (lowest <= highest) out.lo = lowest, out.hi = highest;
    out.holes = holes;
  };
  // The same for a line of plain whole numbers already in place, and its mask (0 or 255 from
  // GDAL) when there is one.
  auto storeWholeLine = [&](int line) {
    LineFigures& out = figures[rowOf(line)];
    const std::size_t base = rowOf(line) * columns;
    std::int32_t* values = grid.scan.values.data() + base;
    std::int32_t lowest = std::numeric_limits<std::int32_t>::max();
    std::int32_t highest = std::numeric_limits<std::int32_t>::min();
    if (!mask && unitFactor == 1) {
      for (int c = 0; c < columns; ++c) {
        lowest = std::min(lowest, values[c]);
        highest = std::max(highest, values[c]);
      }
      out.lo = lowest, out.hi = highest;
      return;
    }
    std::uint8_t* validRow = mask ? valid.data() + base : nullptr;
    std::int64_t holes = 0;
    for (int c = 0; c < columns; ++c) {
      if (validRow) {
        if (validRow[c] == 0) {
          values[c] = 0;
          ++holes;
          continue;
        }
        validRow[c] = 1;
      }
      const std::int64_t stored = static_cast<std::int64_t>(values[c]) * unitFactor;
      if (stored < std::numeric_limits<std::int32_t>::min() ||
          stored > std::numeric_limits<std::int32_t>::max()) {
        out.status = beyondRange(values[c], line, c);
        return;
      }
      values[c] = static_cast<std::int32_t>(stored);
      lowest = std::min(lowest, values[c]);
      highest = std::max(highest, values[c]);
    }
    if (lowest <= highest) out.lo = lowest, out.hi = highest;
    out.holes = holes;
  };
  auto step = [&](double fraction) -> Status {
    scope.Step(fraction);
    if (scope.Cancelled()) return Error{kCancelled, "the import was cancelled"};
    return Status::Ok();
  };
  auto firstFailure = [&](int first, int count) -> Status {
    for (int k = first; k < first + count; ++k)
      if (!figures[rowOf(k)].status) return figures[rowOf(k)].status;
    return Status::Ok();
  };
  auto takeUnit = [&](UnitChoice choice) {
    unitFactor = choice.factor;
    grid.unitChosen = choice.chosen;
  };

  if (float32Once) {
    // Float32 cells whose unit is still to be chosen are read once: they wait in the grid's
    // own four bytes per cell (as their bits) while the range of the whole raster is found,
    // then become stored values in place.
    std::vector<std::pair<double, double>> ranges(
        static_cast<std::size_t>(lines),
        {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()});
    std::vector<std::uint8_t> linesWithNaN(static_cast<std::size_t>(lines), 0);
    Status read = ForEachBandInPlace(
        gdal, errors, dataset, grid.info, facts.block_lines, span, ORVANE_GDAL_FLOAT32,
        grid.scan.values.data(), mask ? valid.data() : nullptr,
        [&](int line) {
          const std::size_t base = rowOf(line) * columns;
          const float* row = reinterpret_cast<const float*>(grid.scan.values.data() + base);
          std::uint8_t* validRow = mask ? valid.data() + base : nullptr;
          auto& [lowest, highest] = ranges[rowOf(line)];
          for (int c = 0; c < columns; ++c) {
            if ((validRow && validRow[c] == 0) || std::isnan(row[c])) {
              if (validRow) validRow[c] = 0;
              else linesWithNaN[rowOf(line)] = 1;
              continue;
            }
            if (validRow) validRow[c] = 1;  // GDAL's mask says 255
            const double z = row[c] * scale + offset;
            lowest = std::min(lowest, z);
            highest = std::max(highest, z);
          }
        },
        [&](int first, int count) { return step(0.4 * (first + count - span.from) / lines); });
    if (!read) return read.error();
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -std::numeric_limits<double>::infinity();
    for (const auto& [low, high] : ranges) {
      lowest = std::min(lowest, low);
      highest = std::max(highest, high);
    }
    takeUnit(UnitOfRange(lowest, highest, finestChosen));
    const bool anyNaN =
        std::find(linesWithNaN.begin(), linesWithNaN.end(), 1) != linesWithNaN.end();
    if (valid.empty() && anyNaN) {
      try {
        valid.assign(cells, 1);  // NaN cells become holes as they are stored
      } catch (const std::bad_alloc&) {
        return Error{kAllocationFailed, "not enough memory to read " + Quoted(path)};
      }
    }
    ParallelForLines(lines, [&](int row) {
      const std::int32_t* bits = &grid.scan.values[static_cast<std::size_t>(row) * columns];
      const std::uint8_t* validRow =
          valid.empty() ? nullptr : valid.data() + static_cast<std::size_t>(row) * columns;
      storeLine(
          span.from + row,
          [&](int c) {
            float z;
            std::memcpy(&z, bits + c, sizeof z);
            return static_cast<double>(z);
          },
          [&](int c) { return !validRow || validRow[c] != 0; });
    });
    if (Status s = step(0.8); !s) return s.error();
  } else if (plainWhole) {
    // Whole numbers stay in metres unless a unit is given; GDAL widens them into the grid and
    // each line is multiplied there, without a real per cell.
    if (unitFactor == 0) unitFactor = 1;
    Status read = ForEachBandInPlace(
        gdal, errors, dataset, grid.info, facts.block_lines, span, ORVANE_GDAL_INT32,
        grid.scan.values.data(), mask ? valid.data() : nullptr, storeWholeLine,
        [&](int first, int count) -> Status {
          if (Status s = firstFailure(first, count); !s) return s;
          return step(0.8 * (first + count - span.from) / lines);
        });
    if (!read) return read.error();
  } else {
    if (unitFactor == 0) {
      auto choice = ChooseUnit(gdal, errors, raster, finestChosen);
      if (!choice) return choice.error();
      takeUnit(*choice);
    }
    Status read = ForEachLineOnEveryCore<double>(
        gdal, errors, dataset, grid.info, facts.block_lines, mask, span,
        [&](int line, const double* row, const std::uint8_t* maskRow) {
          storeLine(
              line, [&](int c) { return row[c]; },
              [&](int c) { return !maskRow || maskRow[c] != 0; });
        },
        [&](int first, int count) -> Status {
          if (Status s = firstFailure(first, count); !s) return s;
          return step(0.8 * (first + count - span.from) / lines);
        });
    if (!read) return read.error();
  }
  grid.unitFactor = unitFactor;
  std::int64_t lo = std::numeric_limits<std::int64_t>::max();
  std::int64_t hi = std::numeric_limits<std::int64_t>::min();
  std::int64_t holes = 0;
  for (const LineFigures& line : figures) {
    if (!line.status) return line.status.error();
    lo = std::min(lo, line.lo);
    hi = std::max(hi, line.hi);
    holes += line.holes;
  }
  if (holes == static_cast<std::int64_t>(cells)) {
    if (wholeRaster)
      return Error{kWrongFormat, Quoted(path) + " holds no valid elevation: every cell is NoData"};
    grid.validity = std::move(valid);
    grid.noDataFilled = holes;
    return grid;
  }
  if (southUp) {
    TurnOver(grid.scan.values, lines, columns);
    TurnOver(valid, lines, columns);
  }
  // The holes' stored values take the nearest valid elevation, so that no computation ever
  // meets a wild number there; the mask says they are not ground.
  if (holes > 0) {
    grid.noDataFilled = FillFromNearestValid(grid.scan.values, valid, lines, columns);
    grid.validity = std::move(valid);
  }
  scope.Step(1.0);
  grid.minValue = lo;
  grid.maxValue = hi;
  // The figures an opening shows start from 1000000 and 0; the filled holes hold valid
  // elevations, so the grid's own extremes are those of its valid cells.
  grid.scan.minValue = std::min<std::int64_t>(1000000, lo);
  grid.scan.maxValue = std::max<std::int64_t>(0, hi);
  grid.scan.valueRange =
      std::make_pair(static_cast<std::int32_t>(lo), static_cast<std::int32_t>(hi));
  return grid;
}

}  // namespace

Expected<GdalDemGrid> ReadGdalDem(const std::string& path, int unitFactor,
                                  ProgressSink* progress, int finestChosen) {
  if (unitFactor != 0 && !IsUnitFactor(unitFactor))
    return Error{kBadParameter, "the vertical unit factor must be 1, 10, 100, 1000 or 10000"};
  auto module = GdalModule();
  if (!module) return module.error();
  const OrvaneGdalApi& gdal = **module;
  GdalErrorScope errors(gdal);
  auto raster = OpenAndInspect(gdal, errors, path);
  if (!raster) return raster.error();
  return ReadRasterLines(gdal, errors, *raster, unitFactor, finestChosen,
                         LineSpan{0, raster->info.lines}, progress);
}

struct GdalDemBands::State {
  const OrvaneGdalApi* gdal = nullptr;
  InspectedRaster raster;
  int unitFactor = 1;
  bool unitChosen = false;
};

GdalDemBands::GdalDemBands(std::unique_ptr<State> state) : state_(std::move(state)) {}
GdalDemBands::GdalDemBands(GdalDemBands&&) noexcept = default;
GdalDemBands& GdalDemBands::operator=(GdalDemBands&&) noexcept = default;
GdalDemBands::~GdalDemBands() = default;

Expected<GdalDemBands> GdalDemBands::Open(const std::string& path, int unitFactor) {
  if (unitFactor != 0 && !IsUnitFactor(unitFactor))
    return Error{kBadParameter, "the vertical unit factor must be 1, 10, 100, 1000 or 10000"};
  auto module = GdalModule();
  if (!module) return module.error();
  GdalErrorScope errors(**module);
  auto raster = OpenAndInspect(**module, errors, path);
  if (!raster) return raster.error();
  auto state = std::make_unique<State>();
  state->gdal = *module;
  if (unitFactor == 0) {
    auto choice = ChooseUnit(**module, errors, *raster, kFinestUnitFactor);
    if (!choice) return choice.error();
    state->unitFactor = choice->factor;
    state->unitChosen = choice->chosen;
  } else {
    state->unitFactor = unitFactor;
  }
  state->raster = std::move(*raster);
  return GdalDemBands(std::move(state));
}

const GdalRasterInfo& GdalDemBands::info() const { return state_->raster.info; }
int GdalDemBands::unitFactor() const { return state_->unitFactor; }
bool GdalDemBands::unitChosen() const { return state_->unitChosen; }

Expected<GdalDemGrid> GdalDemBands::Read(int first, int count) {
  const GdalRasterInfo& whole = info();
  if (first < 0 || count < 1 || first + count > whole.lines)
    return Error{kBadParameter, "lines " + std::to_string(first) + " to " +
                                    std::to_string(first + count - 1) + " are not all in " +
                                    Quoted(whole.path)};
  GdalErrorScope errors(*state_->gdal);
  auto grid = ReadRasterLines(*state_->gdal, errors, state_->raster, state_->unitFactor,
                              kFinestUnitFactor, LineSpan{first, first + count}, nullptr);
  if (grid) grid->unitChosen = state_->unitChosen;
  return grid;
}

Expected<int> ChosenGdalUnitFactor(const std::string& path) {
  auto module = GdalModule();
  if (!module) return module.error();
  GdalErrorScope errors(**module);
  auto raster = OpenAndInspect(**module, errors, path);
  if (!raster) return raster.error();
  auto choice = ChooseUnit(**module, errors, *raster, kFinestUnitFactor);
  if (!choice) return choice.error();
  return choice->factor;
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
  auto grid = ReadGdalDem(params.sourcePath, params.unitFactor, progress, kFinestNamedUnitFactor);
  if (!grid) return grid.error();
  GdalImportResult result;
  result.info = grid->info;
  result.noDataFilled = grid->noDataFilled;
  result.unitFactor = grid->unitFactor;
  result.unitChosen = grid->unitChosen;
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
  result.validity = std::move(grid->validity);
  return result;
}

const std::vector<std::string>& GeoTiffCompressionNames() {
  static const std::vector<std::string> names = {"deflate", "zstd", "lzw", "none"};
  return names;
}

bool ParseGeoTiffCompression(const std::string& name, GeoTiffCompression& compression) {
  static constexpr GeoTiffCompression kInOrder[] = {
      GeoTiffCompression::kDeflate, GeoTiffCompression::kZstd, GeoTiffCompression::kLzw,
      GeoTiffCompression::kNone};
  const auto& names = GeoTiffCompressionNames();
  for (std::size_t k = 0; k < names.size(); ++k) {
    if (names[k] == name) {
      compression = kInOrder[k];
      return true;
    }
  }
  return false;
}

Status ExportRasterGeoTiff(const TRasterImage& raster, const std::string& path,
                           const GeoReference* georef, GeoTiffCompression compression) {
  if (!raster.IsAllocated() || raster.columns < 1 || raster.lines < 1)
    return Error{kBadParameter, "there is no image to export to " + Quoted(path)};
  auto module = GdalModule();
  if (!module) return module.error();
  const OrvaneGdalApi& gdal = **module;
  GdalErrorScope errors(gdal);
  const bool rgb = raster.kind == kRasterRgb;
  GeoTiffTarget target(gdal, errors, path);
  if (Status s = target.Create(raster.columns, raster.lines, rgb ? 3 : 1, ORVANE_GDAL_BYTE, rgb,
                               georef, false, compression,
                               PictureStripLines(raster.RowBytes(), raster.lines));
      !s)
    return s;
  if (raster.kind == kRasterPalette) {
    // Palette entries hold blue, green, red.
    std::uint8_t colours[256 * 3];
    for (int i = 0; i < 256; ++i) {
      const TPaletteEntry& e = raster.palette[static_cast<std::size_t>(i)];
      colours[3 * i] = e[2];
      colours[3 * i + 1] = e[1];
      colours[3 * i + 2] = e[0];
    }
    if (gdal.set_palette(target.dataset(), colours) != 0) return target.WriteFailed();
  }
  // Rows lie one after another in the raster: bands of them go to GDAL without a copy.
  const int step = LinesPerWrite(gdal, target.dataset(), raster.RowBytes());
  for (int line = 0; line < raster.lines; line += step) {
    const int count = std::min(step, raster.lines - line);
    if (gdal.write_lines(target.dataset(), line, count, rgb ? 3 : 1, ORVANE_GDAL_BYTE,
                         raster.Row(line)) != 0)
      return target.WriteFailed();
  }
  if (Status s = MarkNoData(gdal, target, raster); !s) return s;
  return target.Commit();
}

struct ValuesGeoTiffWriter::State {
  State(const OrvaneGdalApi& gdal, const std::string& path)
      : gdal(gdal), errors(gdal), target(gdal, errors, path) {}
  const OrvaneGdalApi& gdal;
  GdalErrorScope errors;
  GeoTiffTarget target;
  int columns = 0, lines = 0, written = 0, linesPerWrite = 1;
};

ValuesGeoTiffWriter::ValuesGeoTiffWriter(std::unique_ptr<State> state)
    : state_(std::move(state)) {}
ValuesGeoTiffWriter::ValuesGeoTiffWriter(ValuesGeoTiffWriter&&) noexcept = default;
ValuesGeoTiffWriter& ValuesGeoTiffWriter::operator=(ValuesGeoTiffWriter&&) noexcept = default;
ValuesGeoTiffWriter::~ValuesGeoTiffWriter() = default;

Expected<ValuesGeoTiffWriter> ValuesGeoTiffWriter::Create(const std::string& path, int columns,
                                                          int lines, const std::string& unit,
                                                          const GeoReference* georef,
                                                          GeoTiffCompression compression) {
  if (columns < 1 || lines < 1)
    return Error{kBadParameter, "there are no values to export to " + Quoted(path)};
  auto module = GdalModule();
  if (!module) return module.error();
  auto state = std::make_unique<State>(**module, path);
  if (Status s = state->target.Create(columns, lines, 1, ORVANE_GDAL_FLOAT32, false, georef,
                                      true, compression);
      !s)
    return s.error();
  if (!unit.empty()) state->gdal.set_unit_type(state->target.dataset(), unit.c_str());
  state->columns = columns;
  state->lines = lines;
  state->linesPerWrite =
      orvane::LinesPerWrite(state->gdal, state->target.dataset(), sizeof(float) * columns);
  return ValuesGeoTiffWriter(std::move(state));
}

int ValuesGeoTiffWriter::LinesPerWrite() const { return state_->linesPerWrite; }

Status ValuesGeoTiffWriter::Write(int count, const float* rows) {
  State& s = *state_;
  if (count < 1 || s.written + count > s.lines)
    return Error{kBadParameter, "more lines than the grid holds"};
  if (s.gdal.write_lines(s.target.dataset(), s.written, count, 1, ORVANE_GDAL_FLOAT32, rows) != 0)
    return s.target.WriteFailed();
  s.written += count;
  return Status::Ok();
}

Status ValuesGeoTiffWriter::Commit() {
  if (state_->written != state_->lines)
    return Error{kBadParameter, "the grid's last lines were not written"};
  return state_->target.Commit();
}

Status ExportValuesGeoTiff(const ValueGrid& grid, const std::string& path,
                           const GeoReference* georef, GeoTiffCompression compression) {
  if (grid.columns < 1 || grid.lines < 1 ||
      grid.values.size() != static_cast<std::size_t>(grid.columns) * grid.lines)
    return Error{kBadParameter, "there are no values to export to " + Quoted(path)};
  auto writer =
      ValuesGeoTiffWriter::Create(path, grid.columns, grid.lines, grid.unit, georef, compression);
  if (!writer) return writer.error();
  const int step = writer->LinesPerWrite();
  for (int line = 0; line < grid.lines; line += step) {
    const float* rows = grid.values.data() + static_cast<std::size_t>(line) * grid.columns;
    if (Status s = writer->Write(std::min(step, grid.lines - line), rows); !s) return s;
  }
  return writer->Commit();
}

Status ExportDemGeoTiff(const TDemModel& dem, int unitFactor, const std::string& path,
                        const GeoReference* georef, ProgressSink* progress) {
  if (!dem.IsAllocated() || dem.columns < 1 || dem.lines < 1)
    return Error{kBadParameter, "there is no DEM to export to " + Quoted(path)};
  if (unitFactor < 1) unitFactor = 1;
  auto module = GdalModule();
  if (!module) return module.error();
  const OrvaneGdalApi& gdal = **module;
  GdalErrorScope errors(gdal);
  const bool whole = unitFactor == 1;
  const OrvaneGdalCellType type = whole ? ORVANE_GDAL_INT32 : ORVANE_GDAL_FLOAT32;
  GeoTiffTarget target(gdal, errors, path);
  if (Status s = target.Create(dem.columns, dem.lines, 1, type, false, georef); !s) return s;
  gdal.set_unit_type(target.dataset(), "m");
  // NoData cells leave as NoData, never as the nearest elevation they hold in memory.
  constexpr std::int32_t kWholeNoData = std::numeric_limits<std::int32_t>::min();
  if (dem.HasNoData() &&
      gdal.set_nodata(target.dataset(), whole ? static_cast<double>(kWholeNoData)
                                              : std::numeric_limits<double>::quiet_NaN()) != 0)
    return target.WriteFailed();
  std::vector<std::int32_t> wholeRow(whole ? static_cast<std::size_t>(dem.columns) : 0);
  std::vector<float> realRow(whole ? 0 : static_cast<std::size_t>(dem.columns));
  ProgressScope scope(progress);
  for (int line = 0; line < dem.lines; ++line) {
    for (int c = 0; c < dem.columns; ++c) {
      const double z = dem.GetElevation(c, line);
      if (!dem.IsValid(c, line)) {
        if (whole) wholeRow[c] = kWholeNoData;
        else realRow[c] = std::numeric_limits<float>::quiet_NaN();
        continue;
      }
      if (whole) {
        wholeRow[c] = static_cast<std::int32_t>(std::clamp(
            std::trunc(z), static_cast<double>(std::numeric_limits<std::int32_t>::min()),
            static_cast<double>(std::numeric_limits<std::int32_t>::max())));
      } else {
        realRow[c] = static_cast<float>(z / unitFactor);
      }
    }
    const void* data =
        whole ? static_cast<const void*>(wholeRow.data()) : static_cast<const void*>(realRow.data());
    if (gdal.write_line(target.dataset(), line, 1, type, data) != 0) return target.WriteFailed();
    scope.Step(static_cast<double>(line + 1) / dem.lines);
  }
  return target.Commit();
}

}  // namespace orvane
