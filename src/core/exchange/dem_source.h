// Opening a DEM without the desktop's dialogs, for orvane-cli and the Python module: a raw grid
// with its header, any raster GDAL reads, or elevations already in memory. The model is the one
// the Open DEM command makes (LoadScannedDem), built without the work file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/exchange/gdal_raster.h"
#include "core/terrain/dem_model.h"

namespace orvane {

// Where the DEM is and what the user said about it; the CLI's --dem options.
struct DemSource {
  std::string path;
  int bytes = 0;  // raw element width 2 or 4; 0: from the name (_m2.raw, _m4.raw)
  int lines = 0;  // raw grid size when the header is missing (both needed)
  int columns = 0;
  // Vertical unit: m, dm, cm, mm; empty: metres, except for a real-valued GDAL raster, read
  // in the finest unit its range allows.
  std::string unit;
  double pixel = 0.0;      // metres; 0: a GDAL raster's georeference gives it
  std::optional<double> noData;  // raw grid: the stored value that marks NoData
  // NoData cells become ground with the elevation of the nearest valid cell (otherwise they
  // stay NoData: the model's validity mask).
  bool fillNoData = false;
};

struct OpenedDem {
  std::unique_ptr<TDemModel> model;
  int bytes = 2;
  int unitFactor = 1;  // U: 1, 10, 100, 1000
  std::string unitName = "m";
  bool unitChosen = false;   // U chosen from the range of a real-valued raster
  std::int64_t noDataCells = 0;  // cells the source marks NoData (filled or kept as NoData)
  double pixelMetres = 0.0;  // P as given or found
  int wholeMetres = 0;       // trunc(P)
  // Ground size of a cell in metres: east-west (a column step) and north-south (a line step);
  // both P unless a georeference or the caller gave two.
  double pixelWidthMetres = 0.0;
  double pixelHeightMetres = 0.0;
  std::int64_t scanMin = 0;  // figures of the scan before loading
  std::int64_t scanMax = 0;
  std::optional<GeoReference> georef;  // a raster with a geotransform
  std::vector<std::string> warnings;   // for the user, without prefix
};

// U of a vertical unit name, 0 when it is not one of m, dm, cm, mm.
int UnitFactorOf(const std::string& unit);

// True when the source is read as a raw grid: a .raw name or any raw size option given.
bool IsRawDemSource(const DemSource& source);

// The checks made before any file is read (unit, raw width, raw pixel size); messages name
// the CLI's options.
Status CheckDemSource(const DemSource& source);

// Reads and opens the DEM (CheckDemSource first).
Expected<OpenedDem> OpenDemSource(const DemSource& source, ProgressSink* progress = nullptr);

// Lines [first, first + count) of a GDAL raster read band by band, opened as OpenDemSource
// opens the whole of it (`source` the same, of that raster): the same unit and cell sizes,
// NoData kept or filled within the band. Every cell may be NoData.
Expected<OpenedDem> OpenDemBand(GdalDemBands& bands, int first, int count,
                                const DemSource& source);

// Elevations in memory, already in stored units (1/U metre), line after line; `valid` (empty:
// all valid) marks the cells that hold one; the others are NoData (the model's validity mask),
// their stored values the nearest valid value, or ground with that value when `fillNoData`.
// Pixel sizes in metres: east-west (column step) and north-south (line step); P is their
// common value, or the side of the square of the same area.
struct DemGrid {
  int lines = 0;
  int columns = 0;
  std::vector<std::int32_t> values;
  std::vector<std::uint8_t> valid;
  bool fillNoData = false;
  std::string unit = "m";
  double pixelWidthMetres = 0.0;
  double pixelHeightMetres = 0.0;
};
// `origin` names the grid in messages ("the array").
Expected<OpenedDem> OpenDemGrid(DemGrid&& grid, const std::string& origin,
                                ProgressSink* progress = nullptr);

}  // namespace orvane
