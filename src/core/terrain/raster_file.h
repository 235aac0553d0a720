// Raw files of 8-bit rasters (parameter images, drainage networks) and the file helpers the
// windows and the command line share.
//
// Raw form: lines x columns bytes, top line first, no header, no padding; beside it a text
// header, the name as typed plus ".txt", of six integers each on its own CR LF line: lines,
// columns, 1 (bytes per pixel), 0 and 255 (value range), the DEM's pixel size truncated.
// Readers use only the first two numbers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/common/result.h"
#include "core/terrain/bmp_file.h"  // SaveRasterBmp, LoadRasterBmp: the bitmap form
#include "core/terrain/raster_image.h"

namespace orvane {

// The six-line header text (CR LF line ends).
std::string RasterHeaderText(int lines, int columns, int pixelSizeTruncated);

// Writes basePathAsTyped + ".txt" (header) and basePathAsTyped + ".raw" (the low byte of
// GetValue of every pixel, line by line). Both files are written atomically; when one fails
// neither is replaced.
Status SaveRasterRaw(const TRasterImage& raster, const std::string& basePathAsTyped,
                     int pixelSizeTruncated);

// The same with the two paths given exactly (the command line's "--out site.raw").
Status SaveRasterRawFiles(const TRasterImage& raster, const std::string& rawPath,
                          const std::string& headerPath, int pixelSizeTruncated);

// Reads lines x columns bytes into a new kind-0 raster. A file shorter than that still loads:
// the missing pixels are 0 and `missingBytes` (when given) receives how many were missing.
Expected<std::unique_ptr<TRasterImage>> LoadRasterRaw(const std::string& rawPath, int lines,
                                                      int columns,
                                                      std::int64_t* missingBytes = nullptr);

// Opens a raster by its extension: ".bmp" as a bitmap, ".raw" with its ".txt" header (size
// from HeaderPathFor). Any other extension is refused (kBadParameter).
Expected<std::unique_ptr<TRasterImage>> LoadRasterFile(const std::string& path,
                                                       std::int64_t* missingBytes = nullptr);

// Lower-case extension including the dot ("" when there is none).
std::string LowerExtension(const std::string& path);

}  // namespace orvane
