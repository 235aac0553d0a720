// ILWIS raster-map export: writes the current DEM as the four files of an ILWIS map with one
// generic name — georeference (.grf), value domain (.dom), map description (.mpr) and the data
// (.mp#, 8-byte little-endian doubles, top line first).
//
// Each exported value is trunc(elevation) / U with integer division (U the vertical unit
// divisor 1, 10, 100 or 1000), so elevations become whole units of the divided scale. The text
// files have CR LF line ends and "%lf" (six decimals) numbers. "MinMax" is the least and greatest
// exported value; "Perc1" is those two less 10 and less 20. Cost: one pass over the grid.
#pragma once

#include <string>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/terrain/dem_model.h"

namespace orvane {

struct IlwisExportParams {
  std::string folder;  // output folder; empty means the current directory
  std::string name;    // generic name, at most 127 characters
  int zone = 0;
  double xMin = 0.0;
  double yMin = 0.0;
  double xMax = 0.0;
  double yMax = 0.0;
  int unitDivisor = 1;  // U
};

struct IlwisExportResult {
  long long minValue = 0;
  long long maxValue = 0;
  std::vector<std::string> files;  // .mp#, .grf, .dom, .mpr, in the order written
};

// The four file contents, without touching the disk (the text ones with CR LF line ends).
struct IlwisExportFiles {
  std::string data;
  std::string georeference;
  std::string domain;
  std::string map;
  long long minValue = 0;
  long long maxValue = 0;
};

IlwisExportFiles BuildIlwisExport(const TDemModel& dem, const IlwisExportParams& params,
                                  ProgressSink* progress = nullptr);

// Writes the four files; a file that cannot be written is reported with its name and reason.
Expected<IlwisExportResult> ExportIlwis(const TDemModel& dem, const IlwisExportParams& params,
                                        ProgressSink* progress = nullptr);

// Exported value of one elevation: trunc(elevation) / U, truncating toward zero.
long long IlwisExportValue(double elevation, int unitDivisor);

}  // namespace orvane
