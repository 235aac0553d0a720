// ILWIS raster-map import: converts an ILWIS map (.mpr description + .mp# data) into a DEM file
// pair the Open DEM command reads: name + "_m4.raw" (signed 32-bit) and name + "_m4.txt", or,
// for byte maps, name + ".raw" and name + ".txt" with the bytes copied.
//
// The size comes from the .mpr's "Size=L C" entry; the element size the dialog shows is
// E = (data file bytes) / (L x C). Floats and doubles are truncated toward zero, unsigned shorts
// widened without sign. The header holds lines, columns, E, least and greatest value.
#pragma once

#include <cstdint>
#include <string>

#include "core/common/progress.h"
#include "core/common/result.h"

namespace orvane {

enum class IlwisElementType : int {
  kNone = 0,
  kCharacter = 1,
  kUnsignedShort = 2,
  kInteger = 3,
  kFloat = 4,
  kDouble = 5,
};

int IlwisElementBytes(IlwisElementType type);

// What the import finds before asking for the element type.
struct IlwisMapInfo {
  int lines = 0;
  int columns = 0;
  std::int64_t dataBytes = 0;  // size of the .mp# file
  int elementSize = 0;         // dataBytes / (lines x columns)
  std::string dataPath;        // the .mpr path with extension ".mp#"
  bool exactMultiple = true;   // dataBytes is a whole number of cells
};

// The "Size=" word gives the lines (all its digits), the next number the columns.
Expected<IlwisMapInfo> ReadIlwisMapInfo(const std::string& mprPath);

struct IlwisImportParams {
  std::string mprPath;
  IlwisElementType type = IlwisElementType::kNone;
  std::string outputName;  // used as a path as typed, without extension
};

struct IlwisImportResult {
  std::string dataPath;
  std::string headerPath;
  IlwisMapInfo info;
  long long minValue = 0;
  long long maxValue = 0;
  std::string warning;  // set when the data file is not a whole number of cells
};

// "Check the Format" when no element type is chosen.
Expected<IlwisImportResult> ImportIlwis(const IlwisImportParams& params,
                                        ProgressSink* progress = nullptr);

}  // namespace orvane
