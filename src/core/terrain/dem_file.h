// DEM files on disk and the opening of a DEM.
//
// A DEM is a headerless raw grid (lines x columns elements, top line first, little-endian
// unsigned 16-bit or signed 32-bit integers; extra bytes at the end are ignored) and a text
// header beside it, same name with extension ".txt", whose first two integers are the number
// of lines and the number of columns.
//
// Opening a DEM reads the grid (ScanDemFile), lets the user see its figures and choose the
// unit and pixel size, widens every value to a signed 32-bit integer, writes the work file
// "orvane.raw" into the work directory and reads it back as a type-2 model (LoadScannedDem).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/terrain/dem_model.h"

namespace orvane {

// Largest number of lines or columns a DEM header may announce.
inline constexpr int kMaxDemFileSide = 32767;
// Largest pixel size accepted, in metres: coarser than any DEM of the Earth (a degree is about
// 111 km), and small enough for its whole metres to stay an int.
inline constexpr double kMaxPixelSizeMetres = 1e6;
// The message refusing a pixel size outside (0, kMaxPixelSizeMetres].
std::string PixelSizeRangeMessage();
// Name of the work file written at every opening.
inline constexpr const char* kDemWorkFileName = "orvane.raw";

// The raw path with its extension replaced by ".txt" (appended when there is none).
std::string HeaderPathFor(const std::string& rawPath);

struct DemHeader {
  int lines = 0;
  int columns = 0;
};
// Reads "%d %d" (lines, then columns) from a header file. Errors name the file: it cannot be
// opened (kCannotOpen), holds no two integers (kWrongFormat), or a size is zero, negative or
// above kMaxDemFileSide (kWrongFormat).
Expected<DemHeader> ReadDemHeader(const std::string& headerPath);
// Same rule for sizes from elsewhere (a dialog, the command line); `origin` names the source.
Status CheckDemSize(int lines, int columns, const std::string& origin);

// The element width a raw DEM's name gives: 2 for "*_m2.raw", 4 for "*_m4.raw" (any case), 0
// for any other name.
int ElementWidthFromName(const std::string& rawPath);
// The element width a raw DEM's size proves: 2 or 4 when the file holds exactly lines x
// columns elements of that width, 0 otherwise.
int ElementWidthFromSize(std::int64_t fileSize, int lines, int columns);

struct DemFileScan {
  int lines = 0, columns = 0, bytesPerElement = 2;
  std::int64_t fileLength = -1;
  // Figures shown before the DEM is loaded: the scan starts from 1000000 and 0, so an empty
  // grid shows exactly these, and so do grids lying entirely above or below them.
  std::int64_t minValue = 1000000, maxValue = 0;
  std::vector<std::int32_t> values;  // lines x columns, top line first
  // The exact lowest and highest of `values`, when ScanDemFile read them (a scan built or
  // changed elsewhere leaves this empty and the model scans its grid).
  std::optional<std::pair<std::int32_t, std::int32_t>> valueRange;
};
// Reads the grid (16-bit unsigned widened without sign, or 32-bit signed) and scans it for the
// minimum and maximum. Refuses a width other than 2 or 4 (kBadParameter) and a file shorter
// than lines x columns x width (kWrongFormat) before allocating anything.
Expected<DemFileScan> ScanDemFile(const std::string& rawPath, int lines, int columns,
                                  int bytesPerElement);

struct DemOpenOptions {
  int unitFactor = 1;             // stored units per metre: 1, 10, 100 or 1000
  double pixelSizeMetres = 1.0;   // ground size of a pixel
  std::string workDirectory;      // empty: DefaultWorkDirectory()
  // false: the widened grid goes straight into the model, without the work file (callers that
  // would delete the work directory on return anyway, such as the command-line tool).
  bool writeWorkFile = true;
  // Polled once per line while the work file is written: when it turns true the opening
  // stops with kCancelled and the work file on disk stays as it was.
  const ProgressSink* cancel = nullptr;
};

// Per-user data directory: $XDG_DATA_HOME/orvane, else ~/.local/share/orvane (created on
// demand by LoadScannedDem).
std::string DefaultWorkDirectory();

// The signature line every opened DEM carries as producer text.
std::string DemSignatureLine();

// Writes the widened grid to <workDirectory>/orvane.raw and reads it back with ReadRaw into a
// type-2 model: pixelSizeX = pixelSizeY = pixelSizeMetres x unitFactor, scale 1, offset 0,
// producer text the signature line, author "Anonyme", minimum and maximum recomputed.
Expected<std::unique_ptr<TDemModel>> LoadScannedDem(const DemFileScan& scan,
                                                    const DemOpenOptions& options);
// Same model; without the work file the scan's grid is moved into it (no copy, no disk).
Expected<std::unique_ptr<TDemModel>> LoadScannedDem(DemFileScan&& scan,
                                                    const DemOpenOptions& options);

// Header (or the given size when both lines and columns are positive), scan and load.
Expected<std::unique_ptr<TDemModel>> OpenDemFile(const std::string& rawPath, int bytesPerElement,
                                                 const DemOpenOptions& options, int lines = 0,
                                                 int columns = 0);

}  // namespace orvane
