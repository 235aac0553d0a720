#include "core/terrain/nodata_paint.h"

#include <algorithm>
#include <cstddef>

namespace orvane {

namespace {

std::uint32_t Packed(const TColor& c) {
  return static_cast<std::uint32_t>(c.red) << 16 | static_cast<std::uint32_t>(c.green) << 8 | c.blue;
}

TColor Unpacked(std::uint32_t v) {
  return Rgb(static_cast<int>(v >> 16 & 255), static_cast<int>(v >> 8 & 255),
             static_cast<int>(v & 255));
}

// Colours the eye reads as "not terrain", tried in order.
constexpr TColor kNoDataCandidates[] = {Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(255, 255, 255),
                                        Rgb(128, 0, 128), Rgb(255, 128, 192), Rgb(0, 0, 0)};

// The colours the picture shows on its valid cells, as a bit per 24-bit colour.
std::vector<bool> UsedColours(const TRasterImage& picture, const std::vector<std::uint8_t>& noData) {
  std::vector<bool> used(std::size_t{1} << 24, false);
  for (int l = 0; l < picture.lines; ++l) {
    const std::uint8_t* row = picture.Row(l);
    const std::uint8_t* skip = noData.data() + static_cast<std::size_t>(l) * picture.columns;
    for (int c = 0; c < picture.columns; ++c) {
      if (skip[c]) continue;
      TColor colour;
      if (picture.kind == kRasterRgb) {
        const std::uint8_t* p = row + 3 * static_cast<std::size_t>(c);
        colour = TColor{p[0], p[1], p[2]};
      } else if (picture.kind == kRasterPalette) {
        const TPaletteEntry& e = picture.palette[row[c]];
        colour = TColor{e[0], e[1], e[2]};
      } else {
        colour = Rgb(row[c], row[c], row[c]);
      }
      used[Packed(colour)] = true;
    }
  }
  return used;
}

TColor FirstUnused(const std::vector<bool>& used) {
  for (const TColor& c : kNoDataCandidates)
    if (!used[Packed(c)]) return c;
  for (std::uint32_t v = Packed(kNoDataCandidates[0]);; v = (v + 1) & 0xFFFFFF)
    if (!used[v]) return Unpacked(v);
}

void ToRgb(TRasterImage& picture) {
  TRasterImage rgb(picture.columns, picture.lines, kRasterRgb);
  for (int l = 0; l < picture.lines; ++l) {
    const std::uint8_t* from = picture.Row(l);
    std::uint8_t* to = rgb.Row(l);
    for (int c = 0; c < picture.columns; ++c) {
      const std::uint8_t k = from[c];
      const TPaletteEntry e = picture.kind == kRasterPalette ? picture.palette[k]
                                                             : TPaletteEntry{k, k, k, 0};
      std::copy_n(e.data(), 3, to + 3 * static_cast<std::size_t>(c));
    }
  }
  rgb.fileName = picture.fileName;
  rgb.title = picture.title;
  rgb.authorName = picture.authorName;
  picture = std::move(rgb);
}

}  // namespace

TColor NoDataColourFor(const TRasterImage& picture, const std::vector<std::uint8_t>& noData) {
  return FirstUnused(UsedColours(picture, noData));
}

void PaintNoData(TRasterImage& picture, const std::vector<std::uint8_t>& noData) {
  if (noData.empty() || !picture.IsAllocated() ||
      noData.size() != static_cast<std::size_t>(picture.lines) * picture.columns)
    return;
  if (picture.kind != kRasterRgb) {
    std::vector<bool> levelUsed(256, false);
    for (int l = 0; l < picture.lines; ++l) {
      const std::uint8_t* row = picture.Row(l);
      const std::uint8_t* skip = noData.data() + static_cast<std::size_t>(l) * picture.columns;
      for (int c = 0; c < picture.columns; ++c)
        if (!skip[c]) levelUsed[row[c]] = true;
    }
    // The highest free level: gray pictures use their lowest levels first.
    int free = 255;
    while (free >= 0 && levelUsed[static_cast<std::size_t>(free)]) --free;
    if (free >= 0) {
      if (picture.kind == kRasterGray) {
        picture.palette = GrayRamp();
        picture.kind = kRasterPalette;
      }
      const TColor colour = NoDataColourFor(picture, noData);
      picture.palette[static_cast<std::size_t>(free)] = {colour.blue, colour.green, colour.red, 0};
      for (std::size_t k = 0; k < noData.size(); ++k) {
        if (!noData[k]) continue;
        picture.Row(0)[k] = static_cast<std::uint8_t>(free);
      }
      picture.noData = noData;
      return;
    }
    ToRgb(picture);
  }
  const TColor colour = NoDataColourFor(picture, noData);
  for (std::size_t k = 0; k < noData.size(); ++k) {
    if (!noData[k]) continue;
    std::uint8_t* p = picture.Row(0) + 3 * k;
    p[0] = colour.blue;
    p[1] = colour.green;
    p[2] = colour.red;
  }
  picture.noData = noData;
}

}  // namespace orvane
