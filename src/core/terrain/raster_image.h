// TRasterImage: the picture type of every result.
//
// Kind 0: 8-bit gray; kind 1: 8-bit with a 256-entry palette; kind 2: 24-bit, bytes blue,
// green, red (the BMP order, also used by palette entries and by TColor). Access is
// (column, line); writes outside are ignored, reads outside report code 3. Storage is one
// contiguous block of lines; Row() gives a line's bytes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/common/result.h"

namespace orvane {

enum RasterKind : std::uint8_t {
  kRasterGray = 0,
  kRasterPalette = 1,
  kRasterRgb = 2,
};

struct TColor {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  friend bool operator==(const TColor&, const TColor&) = default;
};

inline constexpr TColor Rgb(int red, int green, int blue) {
  return TColor{static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(green),
                static_cast<std::uint8_t>(red)};
}

// One palette entry: blue, green, red, 0.
using TPaletteEntry = std::array<std::uint8_t, 4>;
using TPalette = std::array<TPaletteEntry, 256>;
using THistogram256 = std::array<std::uint64_t, 256>;

// Largest side Resample accepts.
inline constexpr int kMaxRasterResampleSide = 20000;

class TRasterImage {
 public:
  // An empty raster: no grid, lines and columns -1.
  TRasterImage();
  // Allocates and fills with black; allocError is 1 when that fails.
  TRasterImage(int columns, int lines, std::uint8_t kind);

  std::string fileName;
  int allocError = 0;
  int lines = -1;
  int columns = -1;
  std::uint8_t kind = kRasterGray;
  std::string title = "Aucun";
  std::string authorName = "Anonyme";
  TPalette palette{};
  // 1 on the cells that rest on NoData ground (painted in the NoData colour), line after line;
  // empty when there is none. Histograms skip them; a GeoTIFF marks them.
  std::vector<std::uint8_t> noData;
  bool IsNoData(int column, int line) const {
    return !noData.empty() && Inside(column, line) &&
           noData[static_cast<std::size_t>(line) * static_cast<std::size_t>(columns) +
                  static_cast<std::size_t>(column)] != 0;
  }

  // Fails with kAllocationFailed and the grid-memory message when the pixels cannot be
  // allocated (allocError is then 1 and the raster empty). Sizes of 0 allocate nothing.
  [[nodiscard]] Status Allocate(int columns, int lines, std::uint8_t kind);
  void Release();
  bool IsAllocated() const { return !pixels_.empty(); }
  int BytesPerPixel() const { return kind == kRasterRgb ? 3 : 1; }
  bool Inside(int column, int line) const {
    return column >= 0 && line >= 0 && column < columns && line < lines;
  }

  void SetValue(int column, int line, int value);
  // 0, or 3 outside (value then -1). Kind 2 gives (blue + green + red) / 3.
  int GetValue(int column, int line, int& value) const;
  void SetColor(int column, int line, const TColor& colour);
  int GetColor(int column, int line, TColor& colour) const;
  // Mean colour over the (2k + 1)^2 window, pixels inside only; 3 if none is inside.
  int MeanColor(int column, int line, int halfSize, TColor& colour) const;
  void Fill(const TColor& colour);

  std::unique_ptr<TRasterImage> Clone() const;
  // Fails when the target cannot hold the pixels (the Allocate error).
  [[nodiscard]] Status CopyTo(TRasterImage& target) const;
  void CopyWindow(TRasterImage& target, int column, int line, const TColor& outside,
                  int halfSize) const;
  void Histogram(THistogram256& red, THistogram256& green, THistogram256& blue) const;
  std::unique_ptr<TRasterImage> Blend(const TRasterImage& other, double t) const;
  std::unique_ptr<TRasterImage> Combine(const TRasterImage& other, int operation) const;
  // Each table holds 256 entries of 4 bytes; the first byte of entry c replaces component c.
  std::unique_ptr<TRasterImage> ApplyTables(const std::array<std::uint32_t, 256>& red,
                                            const std::array<std::uint32_t, 256>& green,
                                            const std::array<std::uint32_t, 256>& blue) const;
  std::unique_ptr<TRasterImage> Resample(double factor, int method, int degree) const;

  std::uint8_t* Row(int line) {
    return pixels_.data() + static_cast<std::size_t>(line) * RowBytes();
  }
  const std::uint8_t* Row(int line) const {
    return pixels_.data() + static_cast<std::size_t>(line) * RowBytes();
  }
  std::size_t RowBytes() const {
    return static_cast<std::size_t>(columns < 0 ? 0 : columns) * BytesPerPixel();
  }

 private:
  std::vector<std::uint8_t> pixels_;
};

// The gray ramp palette: entry i = (i, i, i, 0).
TPalette GrayRamp();

// A new columns x lines raster of `kind` (its pixels 0), or null when the memory cannot be had.
std::unique_ptr<TRasterImage> NewRasterOrNull(int columns, int lines, std::uint8_t kind);

}  // namespace orvane
