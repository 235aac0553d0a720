#include "core/render/palette.h"

#include <algorithm>
#include <array>
#include <new>

#include "core/common/parallel.h"

namespace orvane {

TClassTable PaletteTable(int index, double min, double max) {
  static constexpr int kClassical[kPaletteClassCount][3] = {
      {0, 100, 0},   {0, 128, 0},   {0, 160, 0},   {0, 255, 0},   {128, 255, 0},
      {160, 255, 0}, {200, 255, 0}, {255, 255, 0}, {255, 200, 0}, {255, 128, 0}};
  const double step = (max - min) / kPaletteClassCount;
  std::vector<TClassEntry> entries;
  for (int i = 0; i < kPaletteClassCount; ++i) {
    TClassEntry e;
    e.bound = static_cast<float>(min + (i + 1) * step);
    e.red = kClassical[i][0];
    e.green = kClassical[i][1];
    e.blue = kClassical[i][2];
    entries.push_back(e);
  }
  // "Blue Base" differs only in its lowest class.
  if (index != kPaletteClassical) entries[0].red = 0, entries[0].green = 0, entries[0].blue = 255;
  return TClassTable(std::move(entries));
}

TGrayRange InnerGrayRange(const TRasterImage& image, int margin) {
  TGrayRange range;
  for (int l = margin; l < image.lines - margin; ++l)
    for (int c = margin; c < image.columns - margin; ++c) {
      int v = 0;
      if (image.GetValue(c, l, v) != 0) continue;
      range.min = std::min(range.min, v);
      range.max = std::max(range.max, v);
    }
  return range;
}

std::unique_ptr<TRasterImage> ApplyPalette(const TRasterImage& image, const TClassTable& table,
                                           bool smoothing, int margin, ProgressSink* progress) {
  if (!image.IsAllocated()) return nullptr;
  ProgressScope scope(progress);
  std::unique_ptr<TRasterImage> result = NewRasterOrNull(image.columns, image.lines, kRasterRgb);
  if (!result) return nullptr;
  result->Fill(Rgb(255, 255, 255));
  // Gray values are 0..255: one lookup per value instead of a scan per pixel.
  std::array<TColor, 256> lookup;
  for (int v = 0; v < 256; ++v) lookup[static_cast<std::size_t>(v)] = table.ColorOf(v, smoothing);
  const int m = std::max(margin, 0);
  const int lastLine = image.lines - m;
  if (lastLine <= m) return result;
  ParallelForLines(
      lastLine - m,
      [&](int k) {
        const int l = m + k;
        for (int c = m; c < image.columns - m; ++c) {
          int v = 0;
          image.GetValue(c, l, v);
          result->SetColor(c, l, lookup[static_cast<std::size_t>(std::clamp(v, 0, 255))]);
        }
      },
      progress);
  scope.Step(1.0);
  return result;
}

}  // namespace orvane
