#include "core/morphometry/drainage_fractal.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>

#include "core/drainage/network_value.h"
#include "core/render/histogram_table.h"
#include "core/treatment/window_driver.h"

namespace orvane {

namespace {

constexpr std::uint32_t Bit(int column) { return std::uint32_t{1} << column; }

// Bits 0, s, 2s, ... below ws: one bit per box column.
std::uint32_t BoxStarts(int s, int ws) {
  std::uint32_t mask = 0;
  for (int c = 0; c < ws; c += s) mask |= Bit(c);
  return mask;
}

// Marks bits of `seeds` and every bit reachable from one of them by steps toward higher
// columns through bits of `open` (a left-to-right fill inside runs of network cells).
std::uint32_t FillTowardHigherColumns(std::uint32_t seeds, std::uint32_t open) {
  std::uint32_t fill = seeds & open;
  std::uint32_t pass = open;
  fill |= pass & (fill << 1);
  pass &= pass << 1;
  fill |= pass & (fill << 2);
  pass &= pass << 2;
  fill |= pass & (fill << 4);
  pass &= pass << 4;
  fill |= pass & (fill << 8);
  pass &= pass << 8;
  fill |= pass & (fill << 16);
  return fill;
}

std::uint32_t Spread(std::uint32_t v) { return v | (v << 1) | (v >> 1); }

// The network as bit rows: line y holds `stride` 64-bit words, bit x % 64 of word x / 64 for
// column x, plus one zero word so a window may read one word past the last column.
struct BitRaster {
  int columns = 0;
  int lines = 0;
  std::size_t stride = 0;
  std::vector<std::uint64_t> words;

  BitRaster(const std::vector<std::uint8_t>& mask, int columns_, int lines_)
      : columns(columns_), lines(lines_) {
    stride = static_cast<std::size_t>(columns + 63) / 64 + 1;
    words.assign(stride * static_cast<std::size_t>(lines), 0);
    for (int y = 0; y < lines; ++y) {
      const std::uint8_t* in = mask.data() + static_cast<std::size_t>(y) * columns;
      std::uint64_t* out = words.data() + static_cast<std::size_t>(y) * stride;
      for (int x = 0; x < columns; ++x) {
        if (in[x]) out[x >> 6] |= std::uint64_t{1} << (x & 63);
      }
    }
  }

  // `count` (<= 32) bits of line y starting at column x0.
  std::uint32_t Bits(int y, int x0, int count) const {
    const std::uint64_t* row = words.data() + static_cast<std::size_t>(y) * stride;
    const int shift = x0 & 63;
    std::uint64_t v = row[x0 >> 6] >> shift;
    if (shift + count > 64) v |= row[(x0 >> 6) + 1] << (64 - shift);
    return static_cast<std::uint32_t>(v & ((std::uint64_t{1} << count) - 1));
  }
};

}  // namespace

Expected<FractalWindow> FractalWindowOf(int windowSize) {
  FractalWindow w;
  if (windowSize == 12) {
    w = FractalWindow{12, 5, 6, 10, 7, 1, {1, 2, 3, 6, 12}, {}, {}};
  } else if (windowSize == 24) {
    w = FractalWindow{24, 11, 12, 20, 13, 1, {1, 2, 3, 6, 12, 24}, {}, {}};
  } else {
    return Error{kBadParameter, "The moving window size must be 12 or 24 (got " +
                                    std::to_string(windowSize) + ")."};
  }
  // Tables of the logarithms, the same values std::log gives each time.
  for (int s : w.boxSizes) w.logSize.push_back(std::log(static_cast<double>(s)));
  w.logCount.assign(static_cast<std::size_t>(w.size * w.size) + 1, 0.0);
  for (int n = 1; n <= w.size * w.size; ++n) {
    w.logCount[static_cast<std::size_t>(n)] = std::log(static_cast<double>(n));
  }
  return w;
}

TBoxCounts BoxCounts(const std::uint32_t* rows, const FractalWindow& window) {
  const int ws = window.size;
  const std::size_t sizes = window.boxSizes.size();
  TBoxCounts counts{};
  int n1 = 0;
  for (int r = 0; r < ws; ++r) n1 += std::popcount(rows[r]);
  counts[0] = n1;
  for (std::size_t k = 1; k + 1 < sizes; ++k) {
    const int s = window.boxSizes[k];
    const std::uint32_t starts = BoxStarts(s, ws);
    int n = 0;
    for (int band = 0; band < ws; band += s) {
      std::uint32_t any = 0;
      for (int r = band; r < band + s; ++r) any |= rows[r];
      // Fold each box's columns onto its first column.
      std::uint32_t folded = any;
      for (int c = 1; c < s; ++c) folded |= any >> c;
      n += std::popcount(folded & starts);
    }
    counts[k] = n;
  }
  counts[sizes - 1] = 1;
  return counts;
}

double FractalDimensionFromCounts(const TBoxCounts& counts, const FractalWindow& window) {
  int k = 0;
  double sx = 0.0, sy = 0.0, sxy = 0.0, sxx = 0.0;
  for (std::size_t i = 0; i < window.boxSizes.size(); ++i) {
    if (counts[i] <= 0) continue;
    const double x = window.logSize[i];
    const double y = window.logCount[static_cast<std::size_t>(counts[i])];
    ++k;
    sx += x;
    sy += y;
    sxy += x * y;
    sxx += x * x;
  }
  if (k < 2) return 0.0;
  const double slope = (k * sxy - sx * sy) / (k * sxx - sx * sx);
  const double d = -slope;
  return d >= 1.0 ? d : 1.0;
}

int GrowSegment(const std::uint32_t* network, std::uint32_t* segment, const FractalWindow& window) {
  const int ws = window.size;
  std::fill(segment, segment + ws + 1, 0u);
  segment[window.before] = Bit(window.before);
  // The sweeps visit lines and columns 1 .. ws - 1; within a line the columns go left to
  // right, so a mark runs on to the right through a run of network cells at once.
  const std::uint32_t visited = (Bit(ws) - 1) & ~Bit(0);
  for (int sweep = 0; sweep < window.growLimit - 1; ++sweep) {
    bool changed = false;
    for (int r = 1; r < ws; ++r) {
      const std::uint32_t open = network[r] & visited;
      const std::uint32_t seeds = Spread(segment[r - 1] | segment[r] | segment[r + 1]) & open;
      const std::uint32_t next = segment[r] | FillTowardHigherColumns(seeds, open);
      if (next != segment[r]) {
        segment[r] = next;
        changed = true;
      }
    }
    if (!changed) break;  // every later sweep would repeat this one
  }

  auto net = [&](int r, int c) { return (network[r] >> c) & 1u; };
  auto seg = [&](int r, int c) { return (segment[r] >> c) & 1u; };
  auto mark = [&](int r, int c) { segment[r] |= Bit(c); };
  const int last = ws - 1;
  // Edge pass: each border cell looks at its three neighbours one step inside.
  for (int r = 1; r <= ws - 2; ++r) {
    if (net(r, 0) && (seg(r - 1, 1) | seg(r, 1) | seg(r + 1, 1))) mark(r, 0);
  }
  for (int r = 1; r <= ws - 2; ++r) {
    if (net(r, last) && (seg(r - 1, last - 1) | seg(r, last - 1) | seg(r + 1, last - 1))) {
      mark(r, last);
    }
  }
  for (int c = 1; c <= ws - 2; ++c) {
    if (net(0, c) && (seg(1, c - 1) | seg(1, c) | seg(1, c + 1))) mark(0, c);
  }
  for (int c = 1; c <= ws - 2; ++c) {
    if (net(last, c) && (seg(last - 1, c - 1) | seg(last - 1, c) | seg(last - 1, c + 1))) {
      mark(last, c);
    }
  }
  if (net(0, 0) && (seg(0, 1) | seg(1, 0) | seg(1, 1))) mark(0, 0);
  if (net(0, last) && (seg(0, last - 1) | seg(1, last) | seg(1, last - 1))) mark(0, last);
  if (net(last, last) && (seg(last - 1, last) | seg(last, last - 1) | seg(last - 1, last - 1))) {
    mark(last, last);
  }
  if (net(last, 0) && (seg(last - 1, 0) | seg(last, 1) | seg(last - 1, 1))) mark(last, 0);

  int marked = 0;
  for (int r = 0; r < ws; ++r) marked += std::popcount(segment[r]);
  return marked;
}

Expected<DrainageFractalResult> ComputeDrainageFractal(const TRasterImage& network,
                                                       const DrainageFractalParams& params,
                                                       ProgressSink* progress) {
  auto windowOr = FractalWindowOf(params.windowSize);
  if (!windowOr) return windowOr.error();
  const FractalWindow window = *windowOr;
  if (params.dynamicScale != 100 && params.dynamicScale != 255) {
    return Error{kBadParameter, "The dynamic scale must be 100 or 255 (got " +
                                    std::to_string(params.dynamicScale) + ")."};
  }
  if (const Status checked = CheckNetworkRaster(network); !checked) return checked.error();
  NetworkValue value;
  const std::vector<std::uint8_t> mask =
      NetworkMask(network, NetworkValueRule::kFirstOfLastLine, &value);
  if (!value.found) return EmptyNetworkError();

  const int W = network.columns;
  const int H = network.lines;
  const int ws = window.size;
  const int l = window.before;
  const int m = window.after;
  const bool segments = params.mode == FractalMode::kSegments;

  DrainageFractalResult result;
  result.networkValue = value.value;
  result.margin = segments ? window.marginSegments : window.marginGlobal;
  result.dimension.assign(static_cast<std::size_t>(W) * H, 0.0);
  // The centres: l cells from the top and left borders, m from the bottom and right. The
  // picture's margin is theirs; segments then draws every cell, its untreated ones D = 0.
  const WindowFrame centres{W, H, l, l, W - m, H - m};
  WindowDriver driver(centres, progress, "Cancelled.");
  if (Status status = driver.Allocate(result.image, kRasterGray, TColor{255, 255, 255}); !status)
    return status.error();

  const BitRaster bits(mask, W, H);
  std::vector<int> grownPerLine(static_cast<std::size_t>(std::max(0, centres.endLine - l)), 0);
  const Status status = driver.Lines([&](int y) {
    std::uint32_t rows[33] = {};
    std::uint32_t grown[33] = {};
    double* out = result.dimension.data() + static_cast<std::size_t>(y) * W;
    const std::uint8_t* centreMask = mask.data() + static_cast<std::size_t>(y) * W;
    int done = 0;
    for (int x = centres.firstColumn; x < centres.endColumn; ++x) {
      if (segments && !centreMask[x]) continue;
      for (int r = 0; r < ws; ++r) rows[r] = bits.Bits(y - l + r, x - l, ws);
      ++done;
      if (!segments) {
        out[x] = FractalDimensionFromCounts(BoxCounts(rows, window), window);
      } else if (GrowSegment(rows, grown, window) >= ws) {
        out[x] = FractalDimensionFromCounts(BoxCounts(grown, window), window);
      } else {
        continue;
      }
      if (params.values) params.values[static_cast<std::size_t>(y) * W + x] = static_cast<float>(out[x]);
    }
    grownPerLine[static_cast<std::size_t>(y - l)] = done;
  });
  if (!status) return status.error();
  for (int n : grownPerLine) result.computedCentres += n;

  // The scan: computed centres for global, the whole grid for segments.
  const WindowFrame scanned = segments ? WindowFrame::Margin(W, H, 0) : centres;
  const int y0 = scanned.firstLine, y1 = scanned.endLine;
  const int x0 = scanned.firstColumn, x1 = scanned.endColumn;
  double dMin = 500.0, dMax = 0.0;
  for (int y = y0; y < y1; ++y) {
    const double* row = result.dimension.data() + static_cast<std::size_t>(y) * W;
    for (int x = x0; x < x1; ++x) {
      dMin = std::min(dMin, row[x]);
      dMax = std::max(dMax, row[x]);
    }
  }
  result.minimum = dMin;
  result.maximum = dMax;
  result.upperBound = static_cast<int>(100.0 * dMax);
  result.histogram.assign(static_cast<std::size_t>(std::max(0, result.upperBound)) + 1, 0);
  const double range = dMax - dMin;
  for (int y = y0; y < y1; ++y) {
    const double* row = result.dimension.data() + static_cast<std::size_t>(y) * W;
    std::uint8_t* pixels = result.image.Row(y);
    for (int x = x0; x < x1; ++x) {
      const int bin = static_cast<int>(100.0 * row[x]);
      if (bin >= 0 && bin <= result.upperBound) ++result.histogram[static_cast<std::size_t>(bin)];
      const int v = range > 0.0 ? static_cast<int>((row[x] - dMin) / range * params.dynamicScale)
                                : 0;
      pixels[x] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
    }
  }
  return result;
}

std::string FractalDiagramTable(const DrainageFractalResult& result) {
  return ClassValueTable(result.histogram, 101,
                         DiagramClassCount(result.upperBound, result.histogram.size()), 0.01);
}

}  // namespace orvane
