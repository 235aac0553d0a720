#include "core/render/histogram_table.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "core/common/atomic_file.h"

namespace orvane {

namespace {

void AppendInt(std::string& out, long long v) {
  char buffer[32];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  out.append(buffer, r.ptr);
}

void AppendFixed6(std::string& out, double v) {
  char buffer[400];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 6);
  out.append(buffer, r.ptr);
}

void EndRow(std::string& out) { out += "\r\n"; }

std::int32_t CountAt(std::span<const std::int32_t> counts, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < counts.size() ? counts[static_cast<std::size_t>(i)] : 0;
}

}  // namespace

TGrayHistogram GrayLevelHistogram(const TRasterImage& image, int margin) {
  TGrayHistogram counts{};
  if (!image.IsAllocated() || margin < 0) return counts;
  const int bpp = image.BytesPerPixel();
  for (int l = margin; l < image.lines - margin; ++l) {
    const std::uint8_t* row = image.Row(l);
    for (int c = margin; c < image.columns - margin; ++c) {
      if (image.IsNoData(c, l)) continue;  // no level: the cell rests on NoData
      const std::uint8_t* p = row + static_cast<std::size_t>(c) * bpp;
      const int v = bpp == 3 ? (p[0] + p[1] + p[2]) / 3 : p[0];
      ++counts[static_cast<std::size_t>(v)];
    }
  }
  return counts;
}

std::int32_t PeakCount(std::span<const std::int32_t> counts, int first, int end) {
  std::int32_t peak = 0;
  for (int i = std::max(0, first); i < end && static_cast<std::size_t>(i) < counts.size(); ++i) {
    peak = std::max(peak, counts[static_cast<std::size_t>(i)]);
  }
  return peak;
}

int DiagramClassCount(int bound, std::size_t held) {
  if (bound < 0) return 0;
  return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(bound) + 1, held));
}

std::string GrayHistogramTable(const TGrayHistogram& counts) {
  std::string out;
  for (int g = 0; g < 256; ++g) {
    AppendInt(out, g);
    out += '\t';
    AppendInt(out, counts[static_cast<std::size_t>(g)]);
    EndRow(out);
  }
  return out;
}

std::string DirectionTable(std::span<const std::int32_t> counts) {
  std::string out;
  for (int i = 0; i < 360; ++i) {
    AppendInt(out, i);
    out += '\t';
    AppendInt(out, CountAt(counts, i));
    EndRow(out);
  }
  return out;
}

std::string ClassValueTable(std::span<const std::int32_t> counts, int first, int end, double step) {
  std::string out;
  for (int i = std::max(0, first); i < end; ++i) {
    AppendFixed6(out, step * i);
    out += '\t';
    AppendInt(out, CountAt(counts, i));
    EndRow(out);
  }
  return out;
}

std::string TableFileName(const std::string& typed, int filterIndex) {
  return typed + (filterIndex == 2 ? ".ts" : ".xls");
}

Status WriteTextFile(const std::string& path, const std::string& text) {
  return WriteFileAtomically(path, text);
}

}  // namespace orvane
