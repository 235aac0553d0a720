// Windows bitmap (BMP) files of a TRasterImage: the one writer and the one reader every
// bitmap of the program goes through (the windows, the 3D view, the command line).
//
// Written form: 14-byte file header, 40-byte information header, for 8-bit rasters (kinds 0
// and 1) a palette of 256 entries (blue, green, red, 0) so pixels start at byte 1078, for
// 24-bit rasters (kind 2) pixels at byte 54; lines stored bottom first, each padded with zero
// bytes to a multiple of 4; 10000 pixels per metre both ways; no compression.
//
// Reading accepts exactly these two layouts (8-bit with offset 1078, 24-bit with offset 54,
// 40-byte information header, compression 0). A negative height is read as a top-down file
// (first stored line on top). Every size is checked against the file's length before anything
// is allocated, so a hostile header can neither overflow the arithmetic nor make us allocate
// more than the file holds. An 8-bit file with a gray-ramp palette loads as kind 0, with any
// other palette as kind 1.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/common/result.h"
#include "core/terrain/raster_image.h"

namespace orvane {

inline constexpr std::uint32_t kBmpFileHeaderSize = 14;
inline constexpr std::uint32_t kBmpInfoHeaderSize = 40;
inline constexpr std::uint32_t kBmpPaletteOffset = 1078;  // 14 + 40 + 256 x 4
inline constexpr std::uint32_t kBmpRgbOffset = 54;
// Widest or tallest bitmap we read; larger headers are refused as malformed.
inline constexpr std::int64_t kBmpMaxSide = 100000;

// Bytes of one stored line: the row length rounded up to a multiple of 4.
inline std::int64_t BmpStride(std::int64_t columns, int bitsPerPixel) {
  return ((columns * bitsPerPixel / 8) + 3) / 4 * 4;
}

// Writes the raster atomically (an existing file is replaced only once every byte is
// written); the raster's fileName becomes the path on success. Errors carry the message for
// the user: kCannotOpen when the file cannot be created, kWriteFailed when it cannot be
// written or the raster is empty or too large for a bitmap.
[[nodiscard]] Status SaveRasterBmp(TRasterImage& raster, const std::string& path);

// Reads a bitmap into a new raster whose fileName is the path. Errors carry the message for
// the user: kCannotOpen (cannot open or read), kShortRead (header or pixels short),
// kWriteFailed (palette short), kWrongFormat (not a layout this program writes),
// kAllocationFailed.
[[nodiscard]] Expected<std::unique_ptr<TRasterImage>> LoadRasterBmp(const std::string& path);

}  // namespace orvane
