// liborvane_gdal.so: the only code of ORVANE that calls GDAL, behind the C table of
// core/exchange/gdal_module_api.h. It holds no logic of its own beyond driving GDAL.
#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <limits>
#include <mutex>
#include <string>

#include "core/exchange/gdal_module_api.h"

struct OrvaneGdalDataset {
  GDALDatasetH handle = nullptr;
  // Written datasets turn GDAL's .aux.xml side files off on their thread until they close.
  bool ownsPamOption = false;
  bool hadPamOption = false;
  std::string previousPamOption;
};

namespace {

void RegisterDrivers() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

GDALDataType ToGdal(OrvaneGdalCellType type) {
  switch (type) {
    case ORVANE_GDAL_BYTE: return GDT_Byte;
    case ORVANE_GDAL_INT32: return GDT_Int32;
    case ORVANE_GDAL_FLOAT32: return GDT_Float32;
    case ORVANE_GDAL_FLOAT64: return GDT_Float64;
  }
  return GDT_Unknown;
}

const char* OrEmpty(const char* text) { return text ? text : ""; }

void BeginQuiet() {
  CPLPushErrorHandler(CPLQuietErrorHandler);
  CPLErrorReset();
}
void EndQuiet() { CPLPopErrorHandler(); }
void ResetError() { CPLErrorReset(); }
int Failed() { return CPLGetLastErrorType() >= CE_Failure ? 1 : 0; }
const char* LastError() { return OrEmpty(CPLGetLastErrorMsg()); }

OrvaneGdalDataset* OpenRead(const char* path) {
  RegisterDrivers();
  GDALDatasetH handle =
      GDALOpenEx(path, GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
  if (!handle) return nullptr;
  auto* dataset = new OrvaneGdalDataset;
  dataset->handle = handle;
  return dataset;
}

// The CRS facts of `srs` (may be null) into `facts`.
void CrsFacts(OGRSpatialReferenceH srs, OrvaneGdalFacts* facts) {
  if (!srs) return;
  facts->has_crs = 1;
  facts->crs_name = OrEmpty(OSRGetName(srs));
  facts->projected = OSRIsProjected(srs) != 0;
  facts->geographic = !facts->projected && OSRIsGeographic(srs) != 0;
  if (facts->projected) {
    int north = 1;
    facts->utm_zone = OSRGetUTMZone(srs, &north);
    facts->utm_north = north != 0;
    facts->linear_units = OSRGetLinearUnits(srs, nullptr);
  }
  if (facts->geographic) {
    OGRErr err = OGRERR_NONE;
    const double a = OSRGetSemiMajor(srs, &err);
    facts->semi_major = err == OGRERR_NONE ? a : 0.0;
    const double inverse = OSRGetInvFlattening(srs, &err);
    facts->inverse_flattening = err == OGRERR_NONE ? inverse : 0.0;
    facts->angular_units = OSRGetAngularUnits(srs, nullptr);
  }
}

// The CRS facts of a definition GDAL accepts (WKT, "EPSG:4326", PROJ); the strings live until
// the thread's next call. 0 on success.
int DescribeCrs(const char* definition, OrvaneGdalFacts* facts) {
  thread_local std::string name, wkt;
  *facts = OrvaneGdalFacts{};
  facts->driver = facts->data_type = facts->unit_type = facts->crs_name = facts->crs_wkt = "";
  OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
  if (OSRSetFromUserInput(srs, definition) != OGRERR_NONE) {
    OSRDestroySpatialReference(srs);
    return 1;
  }
  char* text = nullptr;
  if (OSRExportToWkt(srs, &text) == OGRERR_NONE && text) wkt = text;
  CPLFree(text);
  CrsFacts(srs, facts);
  name = facts->crs_name;
  facts->crs_name = name.c_str();
  facts->crs_wkt = wkt.c_str();
  OSRDestroySpatialReference(srs);
  return 0;
}

int Describe(OrvaneGdalDataset* dataset, OrvaneGdalFacts* facts) {
  if (!dataset || !facts) return 1;
  *facts = OrvaneGdalFacts{};
  GDALDatasetH ds = dataset->handle;
  GDALDriverH driver = GDALGetDatasetDriver(ds);
  facts->driver = driver ? OrEmpty(GDALGetDriverShortName(driver)) : "";
  facts->columns = GDALGetRasterXSize(ds);
  facts->lines = GDALGetRasterYSize(ds);
  facts->band_count = GDALGetRasterCount(ds);
  facts->data_type = "";
  facts->unit_type = "";
  if (facts->band_count > 0) {
    GDALRasterBandH band = GDALGetRasterBand(ds, 1);
    const GDALDataType type = GDALGetRasterDataType(band);
    facts->data_type = GDALGetDataTypeName(type) ? GDALGetDataTypeName(type) : "Unknown";
    facts->data_type_bytes = GDALGetDataTypeSizeBytes(type);
    facts->data_type_usable = type != GDT_Unknown && !GDALDataTypeIsComplex(type);
    facts->data_type_float32 = type == GDT_Float32;
    facts->unit_type = OrEmpty(GDALGetRasterUnitType(band));
    facts->scale = GDALGetRasterScale(band, &facts->has_scale);
    facts->offset = GDALGetRasterOffset(band, &facts->has_offset);
    facts->all_valid = (GDALGetMaskFlags(band) & GMF_ALL_VALID) != 0;
    facts->data_type_real = type == GDT_Float32 || type == GDT_Float64;
    GDALGetBlockSize(band, &facts->block_columns, &facts->block_lines);
    const char* interleave = GDALGetMetadataItem(ds, "INTERLEAVE", "IMAGE_STRUCTURE");
    facts->pixel_interleaved =
        facts->band_count > 1 && interleave && EQUAL(interleave, "PIXEL") ? 1 : 0;
    const char* compression = GDALGetMetadataItem(ds, "COMPRESSION", "IMAGE_STRUCTURE");
    const bool tiff = EQUAL(facts->driver, "GTiff");
    facts->compressed = tiff && (!compression || EQUAL(compression, "NONE")) ? 0 : 1;
  }
  if (char** files = GDALGetFileList(ds)) {
    for (char** file = files; *file; ++file) {
      VSIStatBufL stat;
      if (VSIStatL(*file, &stat) == 0) facts->file_bytes += static_cast<double>(stat.st_size);
    }
    CSLDestroy(files);
  }
  facts->has_geotransform = GDALGetGeoTransform(ds, facts->geotransform) == CE_None;
  facts->crs_wkt = OrEmpty(GDALGetProjectionRef(ds));
  facts->crs_name = "";
  CrsFacts(GDALGetSpatialRef(ds), facts);
  return 0;
}

int ReadLine(OrvaneGdalDataset* dataset, int line, double* values, uint8_t* mask) {
  GDALRasterBandH band = GDALGetRasterBand(dataset->handle, 1);
  const int columns = GDALGetRasterXSize(dataset->handle);
  if (GDALRasterIO(band, GF_Read, 0, line, columns, 1, values, columns, 1, GDT_Float64, 0, 0) !=
      CE_None)
    return 1;
  if (mask && GDALRasterIO(GDALGetMaskBand(band), GF_Read, 0, line, columns, 1, mask, columns, 1,
                           GDT_Byte, 0, 0) != CE_None)
    return 1;
  return 0;
}

int ReadLines(OrvaneGdalDataset* dataset, int line, int count, OrvaneGdalCellType type,
              void* values, uint8_t* mask) {
  GDALRasterBandH band = GDALGetRasterBand(dataset->handle, 1);
  const int columns = GDALGetRasterXSize(dataset->handle);
  if (GDALRasterIO(band, GF_Read, 0, line, columns, count, values, columns, count, ToGdal(type),
                   0, 0) != CE_None)
    return 1;
  if (mask && GDALRasterIO(GDALGetMaskBand(band), GF_Read, 0, line, columns, count, mask,
                           columns, count, GDT_Byte, 0, 0) != CE_None)
    return 1;
  // Blocks read whole are not read again: they leave the block cache now, instead of filling
  // it up to GDAL's limit (hundreds of megabytes) while a large raster is read.
  int blockColumns = 0, blockLines = 0;
  GDALGetBlockSize(band, &blockColumns, &blockLines);
  const int end = line + count;
  if (blockLines > 0 && (end % blockLines == 0 || end == GDALGetRasterYSize(dataset->handle)))
    GDALFlushRasterCache(band);
  return 0;
}

void RestorePamOption(const OrvaneGdalDataset& dataset) {
  if (dataset.ownsPamOption)
    CPLSetThreadLocalConfigOption("GDAL_PAM_ENABLED",
                                  dataset.hadPamOption ? dataset.previousPamOption.c_str()
                                                       : nullptr);
}

int Close(OrvaneGdalDataset* dataset);

const char* CompressionName(OrvaneGdalCompression compression) {
  switch (compression) {
    case ORVANE_GDAL_DEFLATE: return "DEFLATE";
    case ORVANE_GDAL_ZSTD: return "ZSTD";
    case ORVANE_GDAL_LZW: return "LZW";
    case ORVANE_GDAL_UNCOMPRESSED: return "NONE";
  }
  return "DEFLATE";
}

OrvaneGdalDataset* CreateTiff(const char* path, int columns, int lines, int bands,
                              OrvaneGdalCellType type, int rgb, bool tiledValues,
                              OrvaneGdalCompression compression = ORVANE_GDAL_DEFLATE,
                              int stripLines = 0) {
  RegisterDrivers();
  GDALDriverH driver = GDALGetDriverByName("GTiff");
  if (!driver) {
    CPLError(CE_Failure, CPLE_AppDefined, "GDAL has no GeoTIFF driver");
    return nullptr;
  }
  auto* dataset = new OrvaneGdalDataset;
  const char* old = CPLGetThreadLocalConfigOption("GDAL_PAM_ENABLED", nullptr);
  dataset->ownsPamOption = true;
  dataset->hadPamOption = old != nullptr;
  if (old) dataset->previousPamOption = old;
  CPLSetThreadLocalConfigOption("GDAL_PAM_ENABLED", "NO");

  char** options = nullptr;
  const bool compressed = compression != ORVANE_GDAL_UNCOMPRESSED;
  options = CSLSetNameValue(options, "COMPRESS", CompressionName(compression));
  // The blocks are compressed on every core while the caller feeds the next ones; the bytes
  // written are those of a single thread.
  if (compressed) options = CSLSetNameValue(options, "NUM_THREADS", "ALL_CPUS");
  // ZSTD's first level: four times faster than DEFLATE on real grids and as small; GDAL's own
  // default (9) is slower than DEFLATE for a few per cent.
  if (compression == ORVANE_GDAL_ZSTD) options = CSLSetNameValue(options, "ZSTD_LEVEL", "1");
  if (rgb) options = CSLSetNameValue(options, "PHOTOMETRIC", "RGB");
  // Past 2 GB of cells a compressed file may still pass the 4 GB a classic TIFF addresses.
  options = CSLSetNameValue(options, "BIGTIFF", "IF_SAFER");
  if (!tiledValues && stripLines > 0)
    options = CSLSetNameValue(options, "BLOCKYSIZE", std::to_string(stripLines).c_str());
  if (tiledValues) {
    // Tiles for quick windows in GIS viewers, and the floating-point predictor, which
    // compresses smooth real surfaces far better than bytes.
    options = CSLSetNameValue(options, "TILED", "YES");
    if (compressed) options = CSLSetNameValue(options, "PREDICTOR", "3");
  }
  dataset->handle = GDALCreate(driver, path, columns, lines, bands, ToGdal(type), options);
  CSLDestroy(options);
  if (!dataset->handle) {
    // Not through Close, which would clear the creation's message.
    RestorePamOption(*dataset);
    delete dataset;
    return nullptr;
  }
  // NaN marks the cells without a value; GDAL and the GIS read "nan" as the NoData value.
  if (tiledValues && GDALSetRasterNoDataValue(GDALGetRasterBand(dataset->handle, 1),
                                              std::numeric_limits<double>::quiet_NaN()) != CE_None) {
    Close(dataset);
    return nullptr;
  }
  return dataset;
}

OrvaneGdalDataset* CreateGeoTiff(const char* path, int columns, int lines, int bands,
                                 OrvaneGdalCellType type, int rgb) {
  return CreateTiff(path, columns, lines, bands, type, rgb, false);
}

OrvaneGdalDataset* CreateValueGeoTiff(const char* path, int columns, int lines) {
  return CreateTiff(path, columns, lines, 1, ORVANE_GDAL_FLOAT32, 0, true);
}

OrvaneGdalDataset* CreateGeoTiffCompressed(const char* path, int columns, int lines, int bands,
                                           OrvaneGdalCellType type, int rgb, int tiledValues,
                                           OrvaneGdalCompression compression) {
  if (tiledValues)
    return CreateTiff(path, columns, lines, 1, ORVANE_GDAL_FLOAT32, 0, true, compression);
  return CreateTiff(path, columns, lines, bands, type, rgb, false, compression);
}

OrvaneGdalDataset* CreateGeoTiffStrips(const char* path, int columns, int lines, int bands,
                                       OrvaneGdalCellType type, int rgb,
                                       OrvaneGdalCompression compression, int stripLines) {
  return CreateTiff(path, columns, lines, bands, type, rgb, false, compression, stripLines);
}

int Georeference(OrvaneGdalDataset* dataset, const double* geotransform, const char* crsWkt) {
  double gt[6];
  for (int i = 0; i < 6; ++i) gt[i] = geotransform[i];
  if (GDALSetGeoTransform(dataset->handle, gt) != CE_None) return 1;
  if (crsWkt && *crsWkt && GDALSetProjection(dataset->handle, crsWkt) != CE_None) return 1;
  return 0;
}

int Close(OrvaneGdalDataset* dataset) {
  if (!dataset) return 0;
  CPLErrorReset();
  if (dataset->handle) GDALClose(dataset->handle);
  const int result = Failed();
  RestorePamOption(*dataset);
  delete dataset;
  return result;
}

int SetPalette(OrvaneGdalDataset* dataset, const uint8_t* rgb) {
  GDALColorTableH table = GDALCreateColorTable(GPI_RGB);
  for (int i = 0; i < 256; ++i) {
    const GDALColorEntry entry{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2], 255};
    GDALSetColorEntry(table, i, &entry);
  }
  const CPLErr set = GDALSetRasterColorTable(GDALGetRasterBand(dataset->handle, 1), table);
  GDALDestroyColorTable(table);
  return set == CE_None ? 0 : 1;
}

int SetUnitType(OrvaneGdalDataset* dataset, const char* unit) {
  return GDALSetRasterUnitType(GDALGetRasterBand(dataset->handle, 1), unit) == CE_None ? 0 : 1;
}

int WriteLine(OrvaneGdalDataset* dataset, int line, int bands, OrvaneGdalCellType type,
              const void* values) {
  const int columns = GDALGetRasterXSize(dataset->handle);
  void* data = const_cast<void*>(values);  // GDAL's signature serves reading and writing
  if (bands == 3) {
    int bandMap[3] = {3, 2, 1};
    return GDALDatasetRasterIO(dataset->handle, GF_Write, 0, line, columns, 1, data, columns, 1,
                               GDT_Byte, 3, bandMap, 3, static_cast<GSpacing>(columns) * 3,
                               1) == CE_None
               ? 0
               : 1;
  }
  return GDALRasterIO(GDALGetRasterBand(dataset->handle, 1), GF_Write, 0, line, columns, 1, data,
                      columns, 1, ToGdal(type), 0, 0) == CE_None
             ? 0
             : 1;
}

int BlockLines(OrvaneGdalDataset* dataset) {
  int width = 0, height = 0;
  GDALGetBlockSize(GDALGetRasterBand(dataset->handle, 1), &width, &height);
  return height > 0 ? height : 1;
}

int WriteLines(OrvaneGdalDataset* dataset, int line, int count, int bands,
               OrvaneGdalCellType type, const void* values) {
  GDALDatasetH ds = dataset->handle;
  const int columns = GDALGetRasterXSize(ds);
  const int lines = GDALGetRasterYSize(ds);
  void* data = const_cast<void*>(values);
  CPLErr written = CE_None;
  if (bands == 3) {
    int bandMap[3] = {3, 2, 1};
    written = GDALDatasetRasterIO(ds, GF_Write, 0, line, columns, count, data, columns, count,
                                  GDT_Byte, 3, bandMap, 3, static_cast<GSpacing>(columns) * 3, 1);
  } else {
    written = GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Write, 0, line, columns, count, data,
                           columns, count, ToGdal(type), 0, 0);
  }
  if (written != CE_None) return 1;
  // Blocks the lines completed go to the compressing threads now and leave the block cache,
  // instead of piling up there until the file closes.
  const int end = line + count;
  if (end % BlockLines(dataset) == 0 || end == lines) {
    for (int b = 1; b <= GDALGetRasterCount(ds); ++b)
      if (GDALFlushRasterCache(GDALGetRasterBand(ds, b)) != CE_None) return 1;
  }
  return 0;
}

char* UtmWkt(int zone, int north) {
  OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
  if (OSRImportFromEPSG(srs, (north ? 32600 : 32700) + zone) != OGRERR_NONE) {
    // Without the EPSG database the same CRS is built from its parts.
    OSRDestroySpatialReference(srs);
    srs = OSRNewSpatialReference(nullptr);
    OSRSetWellKnownGeogCS(srs, "WGS84");
    OSRSetUTM(srs, zone, north ? 1 : 0);
  }
  char* wkt = nullptr;
  if (OSRExportToWkt(srs, &wkt) != OGRERR_NONE) {
    CPLFree(wkt);
    wkt = nullptr;
  }
  OSRDestroySpatialReference(srs);
  return wkt;
}

void FreeText(char* text) { CPLFree(text); }

int SetNoData(OrvaneGdalDataset* dataset, double value) {
  return GDALSetRasterNoDataValue(GDALGetRasterBand(dataset->handle, 1), value) == CE_None ? 0 : 1;
}

int WriteMaskLine(OrvaneGdalDataset* dataset, int line, const uint8_t* mask) {
  GDALRasterBandH band = GDALGetRasterBand(dataset->handle, 1);
  if ((GDALGetMaskFlags(band) & GMF_PER_DATASET) == 0) {
    // Inside the GeoTIFF: a side file would keep the temporary name the file is written under.
    const char* old = CPLGetThreadLocalConfigOption("GDAL_TIFF_INTERNAL_MASK", nullptr);
    const std::string previous = old ? old : "";
    CPLSetThreadLocalConfigOption("GDAL_TIFF_INTERNAL_MASK", "YES");
    const CPLErr made = GDALCreateDatasetMaskBand(dataset->handle, GMF_PER_DATASET);
    CPLSetThreadLocalConfigOption("GDAL_TIFF_INTERNAL_MASK", old ? previous.c_str() : nullptr);
    if (made != CE_None) return 1;
  }
  const int columns = GDALGetRasterXSize(dataset->handle);
  return GDALRasterIO(GDALGetMaskBand(band), GF_Write, 0, line, columns, 1,
                      const_cast<uint8_t*>(mask), columns, 1, GDT_Byte, 0, 0) == CE_None
             ? 0
             : 1;
}

const OrvaneGdalApi kApi = {
    ORVANE_GDAL_ABI_VERSION,
    sizeof(OrvaneGdalApi),
    BeginQuiet,
    EndQuiet,
    ResetError,
    Failed,
    LastError,
    OpenRead,
    Describe,
    ReadLine,
    CreateGeoTiff,
    Georeference,
    SetPalette,
    SetUnitType,
    WriteLine,
    Close,
    UtmWkt,
    FreeText,
    CreateValueGeoTiff,
    DescribeCrs,
    SetNoData,
    WriteMaskLine,
    CreateGeoTiffCompressed,
    WriteLines,
    BlockLines,
    ReadLines,
    CreateGeoTiffStrips,
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const OrvaneGdalApi* orvane_gdal_module_api(
    uint32_t abiVersion) {
  return abiVersion == ORVANE_GDAL_ABI_VERSION ? &kApi : nullptr;
}
