#include "core/surface/circular_window.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <type_traits>

#include "core/common/running_minmax.h"
#include "core/common/window_count.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"
#include "core/treatment/window_driver.h"

namespace orvane {

namespace {

__extension__ typedef __int128 Int128;

// One chord of the disc: line offset di (0 .. 2R) and columns dj .. dj + length - 1.
struct Chord {
  int di;
  int dj;
  int length;
};

std::vector<Chord> Chords(const std::vector<std::uint8_t>& disc, int radius) {
  const int side = 2 * radius + 1;
  std::vector<Chord> chords;
  for (int i = 0; i < side; ++i) {
    int j = 0;
    while (j < side) {
      if (!disc[static_cast<std::size_t>(i) * side + j]) {
        ++j;
        continue;
      }
      int end = j;
      while (end < side && disc[static_cast<std::size_t>(i) * side + end]) ++end;
      chords.push_back({i, j, end - j});
      j = end;
    }
  }
  return chords;
}

// trunc(sqrt(num / den)) for num >= 0, den > 0, exactly.
std::int64_t TruncSqrtRatio(Int128 num, Int128 den) {
  if (num <= 0) return 0;
  auto k = static_cast<std::int64_t>(std::sqrt(static_cast<double>(num) / static_cast<double>(den)));
  while (k > 0 && static_cast<Int128>(k) * k * den > num) --k;
  while (static_cast<Int128>(k + 1) * (k + 1) * den <= num) ++k;
  return k;
}

// trunc((v0 - mu) / sigma) with d = n v0 - sum v, s = n sum v^2 - (sum v)^2: the square of the
// quotient is d^2 (n - 1) / (n s).
std::int64_t Deviation(std::int64_t d, Int128 s, std::int64_t n) {
  if (s <= 0 || d == 0) return 0;
  const Int128 magnitude = static_cast<Int128>(d < 0 ? -d : d);
  const std::int64_t k = TruncSqrtRatio(magnitude * magnitude * (n - 1), static_cast<Int128>(n) * s);
  return d < 0 ? -k : k;
}

// A rectangle of the disc: rows r - t .. r + t, columns c - h .. c + h around the centre (r, c).
struct Block {
  int t;
  int h;
};

// Rectangles whose union is the disc, one per distinct chord half-width (the widest rows
// first), when every row of the disc is one chord centred on the centre column and the chords
// narrow away from the centre row; empty otherwise. The range (a maximum and a minimum, which
// overlaps do not disturb) then needs a few rectangles instead of every chord.
std::vector<Block> DiscBlocks(const std::vector<Chord>& chords, int radius) {
  const int side = 2 * radius + 1;
  std::vector<int> half(static_cast<std::size_t>(side), -1);
  for (const Chord& chord : chords) {
    int& h = half[static_cast<std::size_t>(chord.di)];
    if (h != -1 || chord.dj + chord.length - 1 != 2 * radius - chord.dj) return {};
    h = radius - chord.dj;
  }
  std::vector<Block> blocks;
  for (int t = 0; t <= radius; ++t) {
    const int h = half[static_cast<std::size_t>(radius + t)];
    if (h < 0 || h != half[static_cast<std::size_t>(radius - t)]) return {};
    if (t > 0 && h > half[static_cast<std::size_t>(radius + t - 1)]) return {};
    if (t == radius || half[static_cast<std::size_t>(radius + t + 1)] < h) blocks.push_back({t, h});
  }
  return blocks;
}

// Extremes of the columns over a growing band of lines: lo[c] = min(lo[c], a[c], b[c]), same
// for hi.
__attribute__((target_clones("avx2", "default"))) void WidenBand(const std::int32_t* a, const std::int32_t* b,
                                                                  int count, std::int32_t* lo, std::int32_t* hi) {
  for (int c = 0; c < count; ++c) {
    lo[c] = std::min(lo[c], std::min(a[c], b[c]));
    hi[c] = std::max(hi[c], std::max(a[c], b[c]));
  }
}

// Whole-number heights line after line, read in place.
struct Rows {
  const std::int32_t* data = nullptr;
  int columns = 0;
  int lines = 0;
  const std::int32_t* Row(int line) const {
    return data + static_cast<std::size_t>(line) * static_cast<std::size_t>(columns);
  }
  static Rows Of(const TIntGridView& z) { return {z.data(), z.columns, z.lines}; }
  static Rows Of(const TIntGrid& z) { return {z.values.data(), z.columns, z.lines}; }
};

// The same for one extreme, when minima and maxima read different heights (NoData cells).
void WidenLow(const std::int32_t* a, const std::int32_t* b, int count, std::int32_t* lo) {
  for (int c = 0; c < count; ++c) lo[c] = std::min(lo[c], std::min(a[c], b[c]));
}
void WidenHigh(const std::int32_t* a, const std::int32_t* b, int count, std::int32_t* hi) {
  for (int c = 0; c < count; ++c) hi[c] = std::max(hi[c], std::max(a[c], b[c]));
}

// Adds, for every computed column c of a line, the sums of u and u^2 (when `squares`) over one
// chord: a running window along the chord's source row, one value in and one out per step.
// S2 is 128 bits when the squares of a disc may pass 2^62 (millimetre DEMs, large discs).
template <class S2>
void AddChordSums(const std::int32_t* row, std::int32_t base, int first, int length, int c0, int c1,
                  std::int64_t* s1, S2* s2) {
  std::int64_t run1 = 0;
  S2 run2 = 0;
  for (int k = 0; k < length; ++k) {
    const std::int64_t u = static_cast<std::int64_t>(row[first + k]) - base;
    run1 += u;
    run2 += static_cast<S2>(u) * u;
  }
  const std::int32_t* out = row + first;           // leaves the window
  const std::int32_t* in = row + first + length;   // enters it
  const int count = c1 - c0;
  if (s2) {
    for (int k = 0; k < count; ++k) {
      s1[c0 + k] += run1;
      s2[c0 + k] += run2;
      if (k + 1 == count) break;
      const std::int64_t a = static_cast<std::int64_t>(in[k]) - base, b = static_cast<std::int64_t>(out[k]) - base;
      run1 += a - b;
      run2 += static_cast<S2>(a) * a - static_cast<S2>(b) * b;
    }
  } else {
    for (int k = 0; k < count; ++k) {
      s1[c0 + k] += run1;
      if (k + 1 == count) break;
      run1 += static_cast<std::int64_t>(in[k]) - out[k];
    }
  }
}

// Column sums of u and u^2 over a band of lines grown by one line up and one down.
__attribute__((target_clones("avx2", "default"))) void GrowBandSums(const std::int32_t* a, const std::int32_t* b,
                                                                     std::int32_t base, int count, std::int64_t* v1,
                                                                     std::int64_t* v2) {
  if (v2) {
    for (int c = 0; c < count; ++c) {
      const std::int64_t x = static_cast<std::int64_t>(a[c]) - base, y = static_cast<std::int64_t>(b[c]) - base;
      v1[c] += x + y;
      v2[c] += x * x + y * y;
    }
  } else {
    for (int c = 0; c < count; ++c) v1[c] += static_cast<std::int64_t>(a[c]) + b[c] - 2 * static_cast<std::int64_t>(base);
  }
}

// Adds to s[c], c in [c0, c1), the sum of d over columns c - h .. c + h.
void AddWindowSums(const std::int64_t* d, int h, int c0, int c1, std::int64_t* s) {
  std::int64_t run = 0;
  for (int x = c0 - h; x <= c0 + h; ++x) run += d[x];
  for (int c = c0; c < c1; ++c) {
    s[c] += run;
    if (c + 1 < c1) run += d[c + h + 1] - d[c - h];
  }
}

// The disc sums of u and u^2 (when s2) of every computed cell of line r, the disc cut into
// disjoint strips: the lines whose chords share a half-width h form two bands (above and below)
// of width 2h + 1. Column sums over the band of lines r - t .. r + t grow one line up and down
// at a time; at each block's t, the difference from the previous block's column sums is the
// strip's columns, summed along the line over 2h + 1 columns.
void AddStripSums(const Rows& z, int r, std::int32_t base, const std::vector<Block>& blocks, int c0,
                  int c1, std::int64_t* s1, std::int64_t* s2) {
  const int w = z.columns;
  thread_local std::vector<std::int64_t> v1, v2, p1, p2, d;
  v1.assign(static_cast<std::size_t>(w), 0);
  p1.assign(static_cast<std::size_t>(w), 0);
  d.resize(static_cast<std::size_t>(w));
  if (s2) {
    v2.assign(static_cast<std::size_t>(w), 0);
    p2.assign(static_cast<std::size_t>(w), 0);
  }
  const std::int32_t* centre = z.Row(r);
  for (int c = 0; c < w; ++c) {
    const std::int64_t u = static_cast<std::int64_t>(centre[c]) - base;
    v1[static_cast<std::size_t>(c)] = u;
    if (s2) v2[static_cast<std::size_t>(c)] = u * u;
  }
  std::size_t next = 0;
  for (int t = 0; next < blocks.size(); ++t) {
    if (t > 0) GrowBandSums(z.Row(r - t), z.Row(r + t), base, w, v1.data(), s2 ? v2.data() : nullptr);
    if (blocks[next].t != t) continue;
    const int h = blocks[next++].h;
    for (int pass = 0; pass < (s2 ? 2 : 1); ++pass) {
      std::vector<std::int64_t>& v = pass == 0 ? v1 : v2;
      std::vector<std::int64_t>& p = pass == 0 ? p1 : p2;
      for (int c = 0; c < w; ++c) {
        d[static_cast<std::size_t>(c)] = v[static_cast<std::size_t>(c)] - p[static_cast<std::size_t>(c)];
        p[static_cast<std::size_t>(c)] = v[static_cast<std::size_t>(c)];
      }
      AddWindowSums(d.data(), h, c0, c1, pass == 0 ? s1 : s2);
    }
  }
}

// The heights a run reads. Without NoData every view is the DEM's heights. With NoData, each
// view holds at the NoData cells the value that drops out of what it serves: the base for the
// sums (u = 0), the highest height for minima and counts below, the lowest for maxima; and
// `ground` counts the disc's ground cells.
struct DiscHeights {
  Rows centre;  // the true heights (the centre's own)
  Rows sums;
  Rows low;
  Rows high;
  Rows ground;  // data null when every cell is ground
  const TDemModel* dem = nullptr;
};

// The statistic of a cell without a value in the integer grid: no statistic reaches it.
template <class V>
constexpr V kNoStatistic = std::numeric_limits<V>::min();

// The statistic of every computed cell into `values` (lines x columns, others left 0), and its
// real value into `real` when not null (heights in metres, through `unitFactor`); the cancel
// error when the run is cancelled. S2: the type of the sums of squares.
template <class V, class S2>
Status ComputeValues(const DiscHeights& z, const std::vector<Chord>& chords, int radius, int statistic,
                     std::int32_t base, std::int64_t n, int unitFactor, V* values, float* real,
                     WindowDriver& driver) {
  const int w = z.centre.columns;
  const bool needSquares = statistic == kCircularStdDev || statistic == kCircularDeviation;
  // The strips serve 64-bit sums; 128-bit squares go chord by chord.
  const bool wide = sizeof(S2) > sizeof(std::int64_t);
  const std::vector<Block> blocks =
      statistic == kCircularPercentile || (wide && needSquares) ? std::vector<Block>{} : DiscBlocks(chords, radius);
  const double unit = unitFactor > 1 ? unitFactor : 1.0;
  const bool partial = z.ground.data != nullptr;
  return driver.Lines(
      [&](int r) {
        V* out = values + static_cast<std::size_t>(r) * w;
        float* realOut = real ? real + static_cast<std::size_t>(r) * w : nullptr;
        const int c0 = radius, c1 = w - radius;  // computed columns [c0, c1)
        // The disc's ground cells, and which cells have enough of them for a value.
        thread_local std::vector<std::int64_t> groundSum;
        if (partial) {
          groundSum.assign(static_cast<std::size_t>(w), 0);
          if (!blocks.empty()) {
            AddStripSums(z.ground, r, 0, blocks, c0, c1, groundSum.data(), nullptr);
          } else {
            for (const Chord& chord : chords)
              AddChordSums<std::int64_t>(z.ground.Row(r - radius + chord.di), 0, c0 - radius + chord.dj,
                                         chord.length, c0, c1, groundSum.data(), nullptr);
          }
        }
        const std::uint8_t* centreGround = partial ? z.dem->ValidityRow(r) : nullptr;
        const auto cellsOf = [&](int c) { return partial ? groundSum[static_cast<std::size_t>(c)] : n; };
        const auto hasValue = [&](int c) { return !partial || (centreGround[c] && EnoughGround(groundSum[static_cast<std::size_t>(c)], n)); };
        const auto put = [&](int c, std::int64_t value, double realValue) {
          if (!hasValue(c)) {
            out[c] = kNoStatistic<V>;
            if (realOut) realOut[c] = kNoValue;
            return;
          }
          out[c] = static_cast<V>(value);
          if (realOut) realOut[c] = static_cast<float>(realValue);
        };
        if (statistic == kCircularRange) {
          thread_local std::vector<std::int32_t> lo, hi, runLo, runHi, scratch;
          lo.assign(static_cast<std::size_t>(w), std::numeric_limits<std::int32_t>::max());
          hi.assign(static_cast<std::size_t>(w), std::numeric_limits<std::int32_t>::min());
          runLo.resize(static_cast<std::size_t>(w));
          runHi.resize(static_cast<std::size_t>(w));
          if (!blocks.empty()) {
            // Column extremes over the lines r - t .. r + t for t = 0 .. R, and at each block's
            // t its running extremes along the line over 2h + 1 columns.
            thread_local std::vector<std::int32_t> bandLo, bandHi;
            bandLo.assign(z.low.Row(r), z.low.Row(r) + w);
            bandHi.assign(z.high.Row(r), z.high.Row(r) + w);
            std::size_t next = 0;
            for (int t = 0; t <= radius && next < blocks.size(); ++t) {
              if (t > 0 && z.low.data == z.high.data) {
                WidenBand(z.low.Row(r - t), z.low.Row(r + t), w, bandLo.data(), bandHi.data());
              } else if (t > 0) {
                WidenLow(z.low.Row(r - t), z.low.Row(r + t), w, bandLo.data());
                WidenHigh(z.high.Row(r - t), z.high.Row(r + t), w, bandHi.data());
              }
              if (blocks[next].t != t) continue;
              const int bh = blocks[next++].h;
              SlidingMin(bandLo.data(), w, 2 * bh + 1, runLo.data(), scratch);
              SlidingMax(bandHi.data(), w, 2 * bh + 1, runHi.data(), scratch);
              for (int c = c0; c < c1; ++c) {
                lo[c] = std::min(lo[c], runLo[c - bh]);
                hi[c] = std::max(hi[c], runHi[c - bh]);
              }
            }
          } else {
            for (const Chord& chord : chords) {
              SlidingMin(z.low.Row(r - radius + chord.di), w, chord.length, runLo.data(), scratch);
              SlidingMax(z.high.Row(r - radius + chord.di), w, chord.length, runHi.data(), scratch);
              // Cell c uses columns c - R + dj .. ; the window starting there is runLo[c - R + dj].
              const int shift = chord.dj - radius;
              for (int c = c0; c < c1; ++c) {
                lo[c] = std::min(lo[c], runLo[c + shift]);
                hi[c] = std::max(hi[c], runHi[c + shift]);
              }
            }
          }
          for (int c = c0; c < c1; ++c) {
            const std::int64_t range = static_cast<std::int64_t>(hi[c]) - lo[c];
            put(c, range, static_cast<double>(range) / unit);
          }
          return;
        }
        const std::int32_t* centre = z.centre.Row(r);
        if (statistic == kCircularPercentile) {
          for (int c = c0; c < c1; ++c) {
            if (!hasValue(c)) {
              put(c, 0, 0.0);
              continue;
            }
            std::int64_t below = 0;
            for (const Chord& chord : chords)
              below += CountBelow(z.low.Row(r - radius + chord.di) + (c - radius + chord.dj), chord.length, centre[c]);
            const std::int64_t percentile = 100 * below / cellsOf(c);
            put(c, percentile, static_cast<double>(percentile));
          }
          return;
        }
        thread_local std::vector<std::int64_t> sum1;
        thread_local std::vector<S2> sum2;
        sum1.assign(static_cast<std::size_t>(w), 0);
        if (needSquares) sum2.assign(static_cast<std::size_t>(w), 0);
        if (!blocks.empty()) {
          std::int64_t* squares = nullptr;  // wide squares never go by strips
          if constexpr (sizeof(S2) == sizeof(std::int64_t)) squares = needSquares ? sum2.data() : nullptr;
          AddStripSums(z.sums, r, base, blocks, c0, c1, sum1.data(), squares);
        } else {
          for (const Chord& chord : chords) {
            AddChordSums<S2>(z.sums.Row(r - radius + chord.di), base, c0 - radius + chord.dj, chord.length, c0, c1,
                             sum1.data(), needSquares ? sum2.data() : nullptr);
          }
        }
        for (int c = c0; c < c1; ++c) {
          const std::int64_t m = cellsOf(c);
          if (!hasValue(c)) {
            put(c, 0, 0.0);
            continue;
          }
          const std::int64_t s1 = sum1[c];
          const std::int64_t u0 = static_cast<std::int64_t>(centre[c]) - base;
          const std::int64_t d = m * u0 - s1;  // m (v0 - mu)
          std::int64_t value = 0;
          double realValue = 0.0;
          switch (statistic) {
            case kCircularMean: {
              // From the sum of the heights themselves, so the value does not depend on the
              // base (a block's lowest height under Dask).
              const std::int64_t total = s1 + m * base;
              value = total / m;
              realValue = static_cast<double>(total) / static_cast<double>(m) / unit;
              break;
            }
            case kCircularDifference:
              value = std::llabs(d / m);
              realValue = std::fabs(static_cast<double>(d)) / static_cast<double>(m) / unit;
              break;
            case kCircularStdDev: {
              const Int128 s = static_cast<Int128>(m) * sum2[c] - static_cast<Int128>(s1) * s1;
              value = TruncSqrtRatio(s, static_cast<Int128>(m) * (m - 1));
              realValue = std::sqrt(static_cast<double>(s) / (static_cast<double>(m) * static_cast<double>(m - 1))) / unit;
              break;
            }
            default: {
              const Int128 s = static_cast<Int128>(m) * sum2[c] - static_cast<Int128>(s1) * s1;
              value = Deviation(d, s, m);
              // (v0 - mu) / sigma = d sqrt((m - 1) / (m s)); 0 where sigma = 0.
              if (s > 0 && d != 0)
                realValue = static_cast<double>(d) *
                            std::sqrt(static_cast<double>(m - 1) / (static_cast<double>(m) * static_cast<double>(s)));
              break;
            }
          }
          put(c, value, realValue);
        }
      });
}

// G, the largest statistic, and the gray levels trunc(value / G x 254) of the computed cells;
// the cells without a statistic stay 255 like the margin. Mean elevations below sea level
// would all fall to 0 that way: when the lowest mean is negative, the levels spread over the
// means' range instead, trunc((v - min) / (G - min) x 254).
template <class V>
std::int64_t ScaleToGray(const V* values, int w, int h, int radius, int statistic,
                         TRasterImage& image, const WindowDriver& driver) {
  std::int64_t lowest = 0;
  std::int64_t highest = std::numeric_limits<std::int64_t>::min();
  for (int r = radius; r < h - radius; ++r)
    for (int c = radius; c < w - radius; ++c) {
      const V v = values[static_cast<std::size_t>(r) * w + c];
      if (v == kNoStatistic<V>) continue;
      highest = std::max<std::int64_t>(highest, v);
      lowest = std::min<std::int64_t>(lowest, v);
    }
  const bool overRange = statistic == kCircularMean && lowest < 0;
  const std::int64_t g = overRange ? highest : std::max<std::int64_t>(0, highest);
  const std::int64_t base = overRange ? lowest : 0;
  driver.QuickLines([&](int r) {
    std::uint8_t* out = image.Row(r);
    for (int c = radius; c < w - radius; ++c) {
      const V value = values[static_cast<std::size_t>(r) * w + c];
      int gray = 0;
      if (value == kNoStatistic<V>) {
        gray = 255;
      } else if (g > base) {
        const double scaled = static_cast<double>(value - base) / static_cast<double>(g - base) * 254.0;
        gray = static_cast<int>(std::clamp(scaled, 0.0, 255.0));
      }
      out[c] = static_cast<std::uint8_t>(gray);
    }
  });
  return g;
}

}  // namespace

std::vector<std::uint8_t> CircularDisc(int radius) {
  if (radius < 0) return {};
  const int side = 2 * radius + 1;
  std::vector<std::uint8_t> disc(static_cast<std::size_t>(side) * side, 0);
  const double degree = 4.0 * std::atan(1.0) * (1.0 / 180.0);
  for (int rho = radius; rho >= 0; --rho) {
    for (int k = 0; k < 1440; ++k) {
      const double t = k * 0.25 * degree;
      const int i = static_cast<int>(std::cos(t) * rho) + radius;
      const int j = static_cast<int>(std::sin(t) * rho) + radius;
      disc[static_cast<std::size_t>(i) * side + j] = 1;
    }
  }
  return disc;
}

Status CheckCircularParams(const CircularParams& params) {
  const bool noRadius = params.radius <= 0;
  const bool noStatistic = params.statistic < 1 || params.statistic > 6;
  if (noRadius && noStatistic) return Error{kBadParameter, "Radius and Treatment undefined"};
  if (noRadius) return Error{kBadParameter, "Radius undefined"};
  if (noStatistic) return Error{kBadParameter, "Treatment undefined"};
  return Status::Ok();
}

const char* CircularStatisticName(int statistic) {
  switch (statistic) {
    case kCircularMean: return "Mean Elevation";
    case kCircularDifference: return "Difference from Mean Elevation";
    case kCircularStdDev: return "Standard Deviation of Elevation";
    case kCircularRange: return "Elevation Range";
    case kCircularDeviation: return "Deviation from Mean Elevation";
    case kCircularPercentile: return "Percentile";
    default: return "";
  }
}

std::string CircularTitle(int statistic, int radius) {
  std::string name = CircularStatisticName(statistic);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return " " + name + "  CIRCULAR WINDOW  RADIUS " + std::to_string(radius) + " pixels";
}

double CircularSurfaceKm2(int radius, int pixelSize) {
  if (radius < 0) return 0.0;
  const std::vector<std::uint8_t> disc = CircularDisc(radius);
  const auto cells = static_cast<double>(std::count(disc.begin(), disc.end(), 1));
  return cells * pixelSize * pixelSize / 1e6;
}

Expected<CircularResult> ComputeCircularWindow(const TDemModel& dem, const CircularParams& params,
                                               ProgressSink* progress) {
  if (!dem.IsAllocated() || dem.columns <= 0 || dem.lines <= 0)
    return Error{kBadParameter, "No DEM is open"};
  if (Status status = CheckCircularParams(params); !status) return status.error();
  const int w = dem.columns;
  const int h = dem.lines;
  const int radius = params.radius;
  if (radius > kMaxDemSide) return Error{kBadParameter, "The radius is larger than the DEM"};

  CircularResult result;
  result.margin = radius + 2;
  WindowDriver driver(WindowFrame::Margin(w, h, radius), progress);  // the cells with the whole disc
  result.image = std::make_unique<TRasterImage>();
  if (Status status = driver.Allocate(*result.image, kRasterGray, Rgb(255, 255, 255)); !status)
    return status.error();
  if (!driver.Frame().HasCentre()) return result;
  driver.Run();  // the progress begins before the preparations
  const TIntGridView z(dem);
  const std::vector<Chord> chords = Chords(CircularDisc(radius), radius);
  std::int64_t n = 0;
  for (const Chord& chord : chords) n += chord.length;
  const int statistic = params.statistic;

  // Sums of u = v - base and u^2 (u >= 0), over the ground cells: 64-bit while the sums of
  // u^2 over a line and over the disc stay below 2^62, 128-bit beyond (millimetre DEMs with
  // large discs); the deviation's exact test squares n (v0 - mu) once more.
  const GroundExtremes extremes = GroundExtremesOf(z, dem);
  const std::int32_t base = extremes.lowest;
  const std::int64_t span = static_cast<std::int64_t>(extremes.highest) - base;
  const bool needSquares = statistic == kCircularStdDev || statistic == kCircularDeviation;
  const Int128 squareBound = static_cast<Int128>(span) * span * std::max<std::int64_t>(n, w);
  const bool wide = needSquares && squareBound >= (static_cast<Int128>(1) << 62);
  const double nd = static_cast<double>(n), sd = static_cast<double>(span);
  if (needSquares && sd * sd * nd * nd * nd >= 0x1p126)
    return Error{kBadParameter, "The elevation span is too large for the standard deviation"};

  // With NoData, the views that keep the NoData cells out of the sums, extremes and counts.
  DiscHeights heights;
  heights.dem = &dem;
  heights.centre = heights.sums = heights.low = heights.high = Rows::Of(z);
  TIntGrid sums, low, high, ground;
  if (dem.HasNoData()) {
    ground = GroundIndicator(dem);
    heights.ground = Rows::Of(ground);
    if (statistic == kCircularRange || statistic == kCircularPercentile) {
      low = TruncatedElevationsFilled(dem, std::numeric_limits<std::int32_t>::max());
      heights.low = Rows::Of(low);
    }
    if (statistic == kCircularRange) {
      high = TruncatedElevationsFilled(dem, std::numeric_limits<std::int32_t>::min());
      heights.high = Rows::Of(high);
    }
    if (statistic <= kCircularStdDev || statistic == kCircularDeviation) {
      sums = TruncatedElevationsFilled(dem, base);
      heights.sums = Rows::Of(sums);
    }
  }

  // Every statistic lies within the span (the mean between the extremes), so 32-bit storage
  // holds them exactly unless the heights spread over more than 2^31.
  float* real = params.values;
  if (real) {
    // The cells without the whole disc have no value.
    std::fill(real, real + static_cast<std::size_t>(w) * h, kNoValue);
  }
  const auto compute = [&](auto* values) {
    using V = std::remove_pointer_t<decltype(values)>;
    const Status done =
        wide ? ComputeValues<V, Int128>(heights, chords, radius, statistic, base, n, params.unitFactor, values, real, driver)
             : ComputeValues<V, std::int64_t>(heights, chords, radius, statistic, base, n, params.unitFactor, values,
                                              real, driver);
    if (!done) return Expected<std::int64_t>(done.error());
    return Expected<std::int64_t>(ScaleToGray(values, w, h, radius, statistic, *result.image, driver));
  };
  Expected<std::int64_t> g = Error{};
  if (span <= std::numeric_limits<std::int32_t>::max()) {
    std::vector<std::int32_t> values(static_cast<std::size_t>(w) * h, 0);
    g = compute(values.data());
  } else {
    std::vector<std::int64_t> values(static_cast<std::size_t>(w) * h, 0);
    g = compute(values.data());
  }
  if (!g) return g.error();
  result.maximum = *g;
  return result;
}

}  // namespace orvane
