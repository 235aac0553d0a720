// GeoTIFF and the other raster formats GDAL reads: import of a single-band raster as a DEM,
// export of parameter images, drainage rasters and DEMs as georeferenced GeoTIFF.
//
// Import. Band 1 is read (a raster with more bands says so in a warning). Each elevation,
// after the band's own scale and offset, is multiplied by the chosen unit factor U (1 m,
// 10 dm, 100 cm, 1000 mm) and truncated toward zero to a signed 32-bit integer; a product that
// lies within the precision of the source's data type of a whole number is that whole number
// (123.7 stored as a 32-bit float is 123.69999695; in decimetres it gives 1237, not 1236).
// A product beyond the 32-bit range is refused (a coarser unit is needed). Without a chosen
// unit, reals are read in the finest unit their range allows. Invalid cells (the band's NoData
// value or mask, and NaN) are marked in a validity mask and their stored values take the value
// of the nearest valid cell by Euclidean distance (nearest_fill.h, exact, O(cells)), so that no
// computation meets a wild number there. A block larger than the file could hold is refused
// before anything is read.
// Rows run from north to south: a raster stored south-up is turned over. A rotated
// geotransform is refused. The pixel size comes from the geotransform: projected units are
// converted to metres with the CRS's linear unit; geographic degrees are converted at the
// DEM's central latitude on the CRS's ellipsoid (meridian radius for the north-south size,
// radius of the parallel for the east-west size). Without a geotransform there is no pixel
// size and the caller supplies one.
// The written pair is name + "_m4.raw" (signed 32-bit little-endian, top line first) and
// name + "_m4.txt" with the five lines of the ILWIS import: lines, columns, the source's element
// size in bytes, least and greatest value. The Open DEM command reads it as any 32-bit DEM.
//
// Export. A gray raster becomes one Byte band, a palette raster one Byte band with its colour
// table, an RGB raster three Byte bands; a DEM becomes Int32 elevations in metres when U is 1
// and Float32 metres otherwise (whole metres would lose the precision the unit was chosen for).
// Every file is written to a temporary file beside the target and renamed onto it.
//
// GDAL itself is reached through the GDAL module (gdal_module.h), opened on the first call
// that needs it; when the module cannot be loaded, those calls return an Error that says so.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/exchange/utm_frame.h"
#include "core/terrain/elevation_unit.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"
#include "core/treatment/treatment.h"

namespace orvane {

// Where a grid lies on the ground.
struct GeoReference {
  // GDAL order: X of the west edge, cell width, 0, Y of the north edge, 0, -cell height.
  std::array<double, 6> transform{0.0, 1.0, 0.0, 0.0, 0.0, -1.0};
  std::string crsWkt;  // empty: no known coordinate reference system
  int utmZone = 0;     // 1..60 when the CRS is a UTM projection, else 0
  bool utmNorth = true;
  int lines = 0;
  int columns = 0;

  double XMin() const { return transform[0]; }
  double XMax() const { return transform[0] + columns * transform[1]; }
  double YMax() const { return transform[3]; }
  double YMin() const { return transform[3] + lines * transform[5]; }
};

// The georeference of a UTM frame typed in the coordinate dialog: corners as given, the CRS
// WGS 84 / UTM of the zone (zone > 0 north, zone < 0 south); no CRS for zone 0 or beyond 60.
GeoReference GeoReferenceFromUtmFrame(const UtmFrame& frame);

// The UTM frame a georeference sets in the coordinate dialog (zone 0 when not UTM).
UtmFrame UtmFrameOf(const GeoReference& georef);

// What a raster holds, found without reading its cells.
struct GdalRasterInfo {
  std::string path;
  std::string driver;  // short name, "GTiff"
  int lines = 0;
  int columns = 0;
  int bandCount = 0;
  std::string dataType;  // of band 1, "Float32"
  int dataTypeBytes = 0;
  // Reals: a real type, or whole numbers under a fractional scale or offset.
  bool realValued = false;
  bool hasGeoTransform = false;
  GeoReference georef;     // meaningful when hasGeoTransform
  std::string crsName;     // "WGS 84 / UTM zone 14N"; empty when unknown
  bool projected = false;
  bool geographic = false;
  // Ground size of a cell in metres (0 without a geotransform): east-west (a column step)
  // and north-south (a line step), and the square pixel of the same area, the DEM's P.
  double pixelWidthMetres = 0.0;
  double pixelHeightMetres = 0.0;
  double pixelSizeMetres = 0.0;
  double centralLatitude = 0.0;  // degrees, geographic rasters only
  std::vector<std::string> warnings;
};

// Opens the raster and checks it can become a DEM: band 1 of a real or integer type, at most
// kMaxDemFileSide lines and columns, no rotation. Errors name the file and the reason.
Expected<GdalRasterInfo> InspectGdalRaster(const std::string& path);

// Band 1 converted to whole units of 1/U metre, holes filled, ready to be loaded as the opening
// of a DEM does (LoadScannedDem).
struct GdalDemGrid {
  GdalRasterInfo info;
  DemFileScan scan;  // bytesPerElement 4; minimum and maximum scanned as an opening does
  // NoData cells; their stored values take the nearest valid elevation.
  std::int64_t noDataFilled = 0;
  // 1 where the cell holds an elevation, 0 where it is NoData; empty when every cell is valid.
  std::vector<std::uint8_t> validity;
  std::int64_t minValue = 0;  // true least and greatest converted values
  std::int64_t maxValue = 0;
  int unitFactor = 1;       // the U the values are in
  bool unitChosen = false;  // U was chosen from the range of a real-valued raster
};

// unitFactor: 1, 10, 100, 1000 or 10000; 0 chooses: metres for whole numbers, and for reals the
// finest unit their range allows, none finer than `finestChosen` (FinestUnitFactor; Float32
// rasters are still read once).
Expected<GdalDemGrid> ReadGdalDem(const std::string& path, int unitFactor,
                                  ProgressSink* progress = nullptr,
                                  int finestChosen = kFinestUnitFactor);

// A raster read a band of lines at a time (for those who stream it): each band converted as
// ReadGdalDem converts a whole raster, in the unit of the whole (given, or chosen as
// ReadGdalDem(path, 0) chooses it: one reading pass first for reals). Lines count from the
// north, south-up rasters included. A band whose cells are all NoData is no error: its
// validity is all 0. Its grid's info is the whole raster's.
class GdalDemBands {
 public:
  static Expected<GdalDemBands> Open(const std::string& path, int unitFactor);
  GdalDemBands(GdalDemBands&&) noexcept;
  GdalDemBands& operator=(GdalDemBands&&) noexcept;
  ~GdalDemBands();

  const GdalRasterInfo& info() const;
  int unitFactor() const;
  bool unitChosen() const;
  // Lines [first, first + count).
  Expected<GdalDemGrid> Read(int first, int count);

 private:
  struct State;
  explicit GdalDemBands(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

// The unit factor ReadGdalDem(path, 0) reads `path` in (one reading pass for reals), for those
// who read the raster block by block and must all use the unit of the whole.
Expected<int> ChosenGdalUnitFactor(const std::string& path);

// The stored value of an elevation already multiplied by U: truncated toward zero, except that
// a product within `relativeTolerance` (relative) of a whole number is that number. False
// beyond the signed 32-bit range.
bool ToStoredElevation(double product, double relativeTolerance, std::int32_t& stored);
// The relative precision of a source's reals: 2^-22 for 32-bit floats, 2^-40 otherwise.
double ElevationPrecision(bool float32);

// The ground sizes of a cell (pixelWidthMetres, pixelHeightMetres, pixelSizeMetres,
// centralLatitude, the CRS facts) of a grid placed by `georef` (lines, columns, transform,
// crsWkt: WKT or any definition GDAL accepts, such as "EPSG:4326"), as the import finds them.
GdalRasterInfo DescribeGeoReference(const GeoReference& georef);

// Sets the model's two pixel sizes to the raster's ground sizes (pixelSizeX is the step
// between lines, pixelSizeY between columns, both in units of 1/U metre) when the raster has
// a geotransform; the opening gave both the square pixel P.
void ApplyGroundPixelSizes(TDemModel& model, const GdalRasterInfo& info, int unitFactor);

struct GdalImportParams {
  std::string sourcePath;
  // 0: chosen as ReadGdalDem chooses, at most millimetres: the written pair is reopened by
  // naming its unit.
  int unitFactor = 1;
  std::string outputName;  // path as typed, without "_m4.raw"
};

struct GdalImportResult {
  std::string dataPath;    // outputName + "_m4.raw"
  std::string headerPath;  // outputName + "_m4.txt"
  GdalRasterInfo info;
  std::int64_t noDataFilled = 0;  // NoData cells, written with the nearest valid elevation
  std::vector<std::uint8_t> validity;  // as GdalDemGrid's: what the raw pair cannot keep
  std::int64_t minValue = 0;
  std::int64_t maxValue = 0;
  int unitFactor = 1;  // the U of the written values
  bool unitChosen = false;
};

Expected<GdalImportResult> ImportGdalRaster(const GdalImportParams& params,
                                            ProgressSink* progress = nullptr);

// How a written GeoTIFF is compressed. DEFLATE is the most widely read; ZSTD compresses about
// as well in less time; LZW is read by the oldest software; none writes fastest and largest.
// Value grids add the floating-point predictor to any of the three. The blocks are compressed
// on every core while the next lines are handed over.
enum class GeoTiffCompression { kDeflate, kZstd, kLzw, kNone };
// "deflate", "zstd", "lzw", "none" (the names of --compress), in that order.
const std::vector<std::string>& GeoTiffCompressionNames();
// The compression of a name of GeoTiffCompressionNames(); false for another name.
bool ParseGeoTiffCompression(const std::string& name, GeoTiffCompression& compression);

// The parameter image or drainage raster as GeoTIFF; `georef` may be null (no georeference).
Status ExportRasterGeoTiff(const TRasterImage& raster, const std::string& path,
                           const GeoReference* georef,
                           GeoTiffCompression compression = GeoTiffCompression::kDeflate);

// A value grid as a Float32 GeoTIFF: tiled, DEFLATE with the floating-point predictor (or the
// given compression), NaN declared as NoData, the unit as the band's unit; `georef` may be null.
Status ExportValuesGeoTiff(const ValueGrid& grid, const std::string& path,
                           const GeoReference* georef,
                           GeoTiffCompression compression = GeoTiffCompression::kDeflate);
// A value grid written as ExportValuesGeoTiff writes it, a band of lines at a time from the
// top: each band's blocks go to the compressing threads as it is handed over, so that the
// next band can be computed meanwhile. The file takes its name at Commit; until then, and
// when dropped without Commit, the target is left as it was.
class ValuesGeoTiffWriter {
 public:
  static Expected<ValuesGeoTiffWriter> Create(const std::string& path, int columns, int lines,
                                              const std::string& unit, const GeoReference* georef,
                                              GeoTiffCompression compression);
  ValuesGeoTiffWriter(ValuesGeoTiffWriter&&) noexcept;
  ValuesGeoTiffWriter& operator=(ValuesGeoTiffWriter&&) noexcept;
  ~ValuesGeoTiffWriter();

  // Lines best handed over at once: whole blocks, a few megabytes.
  int LinesPerWrite() const;
  // The next `count` lines, one after another in `rows`.
  Status Write(int count, const float* rows);
  Status Commit();

 private:
  struct State;
  explicit ValuesGeoTiffWriter(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

// The DEM as GeoTIFF elevations in metres (GetElevation / unitFactor).
Status ExportDemGeoTiff(const TDemModel& dem, int unitFactor, const std::string& path,
                        const GeoReference* georef, ProgressSink* progress = nullptr);

// True for ".tif" and ".tiff" in any case.
bool IsGeoTiffPath(const std::string& path);

}  // namespace orvane
