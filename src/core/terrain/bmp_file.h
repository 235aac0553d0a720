// Windows bitmap (BMP) files of a TRasterImage.
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

// The same operations as TRasterImage::SaveBmp/LoadBmp, with the message for the user. The
// code of the Status is the raster's result code (SaveBmp: 4 cannot create, 6 write failed;
// LoadBmp: 1 allocation, 4 cannot open, 5 short, 6 short palette, 7 wrong format). A failed
// load leaves the raster as it was; a successful one replaces size, kind, palette and pixels
// and sets fileName.
Status WriteBmpFile(TRasterImage& raster, const std::string& path);
Status ReadBmpFile(TRasterImage& raster, const std::string& path);

}  // namespace orvane
