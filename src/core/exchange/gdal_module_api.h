/* The plain C table between orvane_core and the GDAL module (liborvane_gdal.so).
 *
 * Only the module links libgdal: linking it into every program costs tens of milliseconds of
 * start-up (the static initialisation of GDAL's dependencies), paid even by runs that never
 * open a GeoTIFF. gdal_raster.cpp opens the module with dlopen on the first GDAL raster and
 * calls it through this table; the conversions, checks and messages stay in the core.
 *
 * The module exports one symbol, ORVANE_GDAL_ENTRY_NAME, a function that returns the table
 * when it was built for the caller's ORVANE_GDAL_ABI_VERSION and null otherwise. Change the
 * version with any change of this file.
 *
 * Errors: GDAL's messages are kept (not printed) between begin_quiet and end_quiet, on the
 * calling thread; last_error gives the latest one ("" when none). Datasets are opaque. */
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ORVANE_GDAL_ABI_VERSION 6u
#define ORVANE_GDAL_ENTRY_NAME "orvane_gdal_module_api"
#define ORVANE_GDAL_MODULE_FILE "liborvane_gdal.so"

typedef struct OrvaneGdalDataset OrvaneGdalDataset;

/* Cell types the core reads and writes. */
typedef enum OrvaneGdalCellType {
  ORVANE_GDAL_BYTE = 1,
  ORVANE_GDAL_INT32 = 2,
  ORVANE_GDAL_FLOAT32 = 3,
  ORVANE_GDAL_FLOAT64 = 4
} OrvaneGdalCellType;

/* How a written GeoTIFF is compressed. */
typedef enum OrvaneGdalCompression {
  ORVANE_GDAL_DEFLATE = 0,
  ORVANE_GDAL_ZSTD = 1,
  ORVANE_GDAL_LZW = 2,
  ORVANE_GDAL_UNCOMPRESSED = 3
} OrvaneGdalCompression;

/* What an opened raster holds. The strings belong to the dataset and live until it closes. */
typedef struct OrvaneGdalFacts {
  const char* driver;     /* short name, "GTiff"; "" when unknown */
  int columns;
  int lines;
  int band_count;
  /* Band 1 (meaningful when band_count > 0). */
  const char* data_type;  /* "Float32" */
  int data_type_bytes;
  int data_type_usable;   /* 1: an integer or real type (neither unknown nor complex) */
  int data_type_float32;
  const char* unit_type;  /* "" when none */
  double scale;
  int has_scale;
  double offset;
  int has_offset;
  int all_valid;          /* 1: no NoData value and no mask */
  /* Georeference. */
  int has_geotransform;
  double geotransform[6];
  const char* crs_wkt;    /* "" when none */
  int has_crs;
  const char* crs_name;   /* "" when unknown */
  int projected;
  int geographic;
  int utm_zone;           /* 0 when not UTM */
  int utm_north;
  double linear_units;    /* metres per projected unit */
  double semi_major;      /* ellipsoid; 0 when unknown */
  double inverse_flattening;  /* 0 when unknown or a sphere */
  double angular_units;   /* radians per geographic unit */
  /* Band 1 again. */
  int data_type_real;     /* 1: Float32 or Float64 */
  int block_columns;      /* the block GDAL reads at once */
  int block_lines;
  int pixel_interleaved;  /* 1: a block holds the cells of every band */
  int compressed;         /* 0: the driver stores the blocks as they are (uncompressed) */
  double file_bytes;      /* size of the dataset's files together; 0 when unknown */
} OrvaneGdalFacts;

typedef struct OrvaneGdalApi {
  uint32_t abi_version;
  uint32_t table_size; /* sizeof(OrvaneGdalApi) as the module was built */

  void (*begin_quiet)(void);
  void (*end_quiet)(void);
  void (*reset_error)(void);
  /* 1 when the latest message is a failure or worse. */
  int (*failed)(void);
  const char* (*last_error)(void);

  /* Read-only opening of any raster GDAL reads; null on failure. */
  OrvaneGdalDataset* (*open_read)(const char* path);
  /* 0 on success. The strings of `facts` live until the dataset closes. */
  int (*describe)(OrvaneGdalDataset* dataset, OrvaneGdalFacts* facts);
  /* Line `line` of band 1 as doubles into `values` (`columns` of them) and, when `mask` is
   * not null, its validity mask as bytes (0 invalid). 0 on success. */
  int (*read_line)(OrvaneGdalDataset* dataset, int line, double* values, uint8_t* mask);

  /* A new compressed GeoTIFF (rgb: its three bands are red, green, blue); null on failure.
   * Until it closes, GDAL writes no .aux.xml side file from this thread. */
  OrvaneGdalDataset* (*create_geotiff)(const char* path, int columns, int lines, int bands,
                                       OrvaneGdalCellType type, int rgb);
  /* Six geotransform terms and a CRS (`crs_wkt` null or "" for none). 0 on success. */
  int (*georeference)(OrvaneGdalDataset* dataset, const double* geotransform,
                      const char* crs_wkt);
  /* Colour table of band 1: 256 entries of red, green, blue. 0 on success. */
  int (*set_palette)(OrvaneGdalDataset* dataset, const uint8_t* rgb);
  int (*set_unit_type)(OrvaneGdalDataset* dataset, const char* unit);
  /* Writes line `line`: with bands == 1, band 1 from `values` of `type`; with bands == 3,
   * bytes interleaved blue, green, red (a bitmap's row order) into bands 3, 2, 1. */
  int (*write_line)(OrvaneGdalDataset* dataset, int line, int bands, OrvaneGdalCellType type,
                    const void* values);

  /* Closes a dataset (null is allowed); 0 when GDAL reported no failure while closing. */
  int (*close)(OrvaneGdalDataset* dataset);

  /* The WKT of WGS 84 / UTM zone `zone` (1..60); null on failure. Free it with free_text. */
  char* (*utm_wkt)(int zone, int north);
  void (*free_text)(char* text);
  /* A new one-band Float32 GeoTIFF for a value grid: tiled, DEFLATE with the floating-point
   * predictor, NaN declared as NoData; null on failure. */
  OrvaneGdalDataset* (*create_value_geotiff)(const char* path, int columns, int lines);
  /* The CRS facts (has_crs .. angular_units, crs_name, crs_wkt) of a definition GDAL accepts:
   * WKT, "EPSG:4326", PROJ. The strings live until the thread's next call. 0 on success. */
  int (*describe_crs)(const char* definition, OrvaneGdalFacts* facts);
  /* The NoData value of band 1. 0 on success. */
  int (*set_nodata)(OrvaneGdalDataset* dataset, double value);
  /* Line `line` of the mask shared by every band (made internal to the GeoTIFF on the first
   * call): one byte per cell, 0 where the cell holds no data. 0 on success. */
  int (*write_mask_line)(OrvaneGdalDataset* dataset, int line, const uint8_t* mask);

  /* create_geotiff (tiled_values 0) or create_value_geotiff (tiled_values 1, then one Float32
   * band) with the given compression, the blocks compressed on every processor core. */
  OrvaneGdalDataset* (*create_geotiff_compressed)(const char* path, int columns, int lines,
                                                  int bands, OrvaneGdalCellType type, int rgb,
                                                  int tiled_values,
                                                  OrvaneGdalCompression compression);
  /* Writes `count` lines from `line` on, stored one after another in `values` (bands as
   * write_line), and hands every block they complete to the compressing threads: the file's
   * blocks are not kept in memory. Lines are best given in bands of block_lines. 0 on success. */
  int (*write_lines)(OrvaneGdalDataset* dataset, int line, int count, int bands,
                     OrvaneGdalCellType type, const void* values);
  /* Lines per block of band 1 (the tile or strip height). */
  int (*block_lines)(OrvaneGdalDataset* dataset);
  /* `count` lines of band 1 from `line` on, one after another in `values` as `type`
   * (ORVANE_GDAL_INT32, ORVANE_GDAL_FLOAT32 or ORVANE_GDAL_FLOAT64), and when `mask` is not
   * null their validity mask as bytes (0 invalid). One call per band of lines: GDAL reads each
   * block once, and blocks read whole then leave GDAL's block cache. 0 on success. */
  int (*read_lines)(OrvaneGdalDataset* dataset, int line, int count, OrvaneGdalCellType type,
                    void* values, uint8_t* mask);
  /* create_geotiff_compressed (tiled_values 0) with strips of `strip_lines` lines (0: GDAL's
   * choice). */
  OrvaneGdalDataset* (*create_geotiff_strips)(const char* path, int columns, int lines,
                                              int bands, OrvaneGdalCellType type, int rgb,
                                              OrvaneGdalCompression compression,
                                              int strip_lines);
} OrvaneGdalApi;

typedef const OrvaneGdalApi* (*OrvaneGdalEntry)(uint32_t abi_version);

#ifdef __cplusplus
}
#endif
