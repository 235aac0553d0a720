#include "core/surface/circular_window.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/common/running_minmax.h"
#include "core/common/window_count.h"
#include "core/terrain/truncated_elevations.h"
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

// Adds, for every computed column c of a line, the sums of u and u^2 (when `squares`) over one
// chord: a running window along the chord's source row, one value in and one out per step.
void AddChordSums(const std::int32_t* row, std::int32_t base, int first, int length, int c0, int c1,
                  std::int64_t* s1, std::int64_t* s2) {
  std::int64_t run1 = 0, run2 = 0;
  for (int k = 0; k < length; ++k) {
    const std::int64_t u = static_cast<std::int64_t>(row[first + k]) - base;
    run1 += u;
    run2 += u * u;
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
      run2 += a * a - b * b;
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
void AddStripSums(const TIntGridView& z, int r, std::int32_t base, const std::vector<Block>& blocks, int c0,
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

// The statistic of every computed cell into `values` (lines x columns, others left 0); the
// cancel error when the run is cancelled.
template <class V>
Status ComputeValues(const TIntGridView& z, const std::vector<Chord>& chords, int radius, int statistic,
                     std::int32_t base, std::int64_t n, V* values, WindowRun& run) {
  const int w = z.columns, h = z.lines;
  const bool needSquares = statistic == kCircularStdDev || statistic == kCircularDeviation;
  const std::vector<Block> blocks =
      statistic == kCircularPercentile ? std::vector<Block>{} : DiscBlocks(chords, radius);
  return run.ForEachLine(
      radius, h - radius,
      [&](int r) {
        V* out = values + static_cast<std::size_t>(r) * w;
        const int c0 = radius, c1 = w - radius;  // computed columns [c0, c1)
        if (statistic == kCircularRange && !blocks.empty()) {
          // Column extremes over the lines r - t .. r + t for t = 0 .. R, and at each block's
          // t its running extremes along the line over 2h + 1 columns.
          thread_local std::vector<std::int32_t> lo, hi, bandLo, bandHi, runLo, runHi, scratch;
          lo.assign(static_cast<std::size_t>(w), std::numeric_limits<std::int32_t>::max());
          hi.assign(static_cast<std::size_t>(w), std::numeric_limits<std::int32_t>::min());
          bandLo.assign(z.Row(r), z.Row(r) + w);
          bandHi.assign(z.Row(r), z.Row(r) + w);
          runLo.resize(static_cast<std::size_t>(w));
          runHi.resize(static_cast<std::size_t>(w));
          std::size_t next = 0;
          for (int t = 0; t <= radius && next < blocks.size(); ++t) {
            if (t > 0) WidenBand(z.Row(r - t), z.Row(r + t), w, bandLo.data(), bandHi.data());
            if (blocks[next].t != t) continue;
            const int h = blocks[next++].h;
            SlidingMin(bandLo.data(), w, 2 * h + 1, runLo.data(), scratch);
            SlidingMax(bandHi.data(), w, 2 * h + 1, runHi.data(), scratch);
            for (int c = c0; c < c1; ++c) {
              lo[c] = std::min(lo[c], runLo[c - h]);
              hi[c] = std::max(hi[c], runHi[c - h]);
            }
          }
          for (int c = c0; c < c1; ++c) out[c] = static_cast<V>(static_cast<std::int64_t>(hi[c]) - lo[c]);
          return;
        }
        if (statistic == kCircularRange) {
          thread_local std::vector<std::int32_t> lo, hi, runLo, runHi, scratch;
          lo.assign(static_cast<std::size_t>(w), std::numeric_limits<std::int32_t>::max());
          hi.assign(static_cast<std::size_t>(w), std::numeric_limits<std::int32_t>::min());
          runLo.resize(static_cast<std::size_t>(w));
          runHi.resize(static_cast<std::size_t>(w));
          for (const Chord& chord : chords) {
            const std::int32_t* row = z.Row(r - radius + chord.di);
            SlidingMin(row, w, chord.length, runLo.data(), scratch);
            SlidingMax(row, w, chord.length, runHi.data(), scratch);
            // Cell c uses columns c - R + dj .. ; the window starting there is runLo[c - R + dj].
            const int shift = chord.dj - radius;
            for (int c = c0; c < c1; ++c) {
              lo[c] = std::min(lo[c], runLo[c + shift]);
              hi[c] = std::max(hi[c], runHi[c + shift]);
            }
          }
          for (int c = c0; c < c1; ++c) out[c] = static_cast<V>(static_cast<std::int64_t>(hi[c]) - lo[c]);
          return;
        }
        const std::int32_t* centre = z.Row(r);
        if (statistic == kCircularPercentile) {
          for (int c = c0; c < c1; ++c) {
            std::int64_t below = 0;
            for (const Chord& chord : chords)
              below += CountBelow(z.Row(r - radius + chord.di) + (c - radius + chord.dj), chord.length, centre[c]);
            out[c] = static_cast<V>(100 * below / n);
          }
          return;
        }
        thread_local std::vector<std::int64_t> sum1, sum2;
        sum1.assign(static_cast<std::size_t>(w), 0);
        if (needSquares) sum2.assign(static_cast<std::size_t>(w), 0);
        if (!blocks.empty()) {
          AddStripSums(z, r, base, blocks, c0, c1, sum1.data(), needSquares ? sum2.data() : nullptr);
        } else {
          for (const Chord& chord : chords) {
            AddChordSums(z.Row(r - radius + chord.di), base, c0 - radius + chord.dj, chord.length, c0, c1,
                         sum1.data(), needSquares ? sum2.data() : nullptr);
          }
        }
        for (int c = c0; c < c1; ++c) {
          const std::int64_t s1 = sum1[c];
          const std::int64_t u0 = static_cast<std::int64_t>(centre[c]) - base;
          const std::int64_t d = n * u0 - s1;  // n (v0 - mu)
          std::int64_t value = 0;
          switch (statistic) {
            case kCircularMean: value = (s1 + n * base) / n; break;
            case kCircularDifference: value = std::llabs(d / n); break;
            case kCircularStdDev: {
              const Int128 s = static_cast<Int128>(n) * sum2[c] - static_cast<Int128>(s1) * s1;
              value = TruncSqrtRatio(s, static_cast<Int128>(n) * (n - 1));
              break;
            }
            default: {
              const Int128 s = static_cast<Int128>(n) * sum2[c] - static_cast<Int128>(s1) * s1;
              value = Deviation(d, s, n);
              break;
            }
          }
          out[c] = static_cast<V>(value);
        }
      });
}

// G, the largest statistic, and the gray levels trunc(value / G x 254) of the computed cells.
template <class V>
std::int64_t ScaleToGray(const V* values, int w, int h, int radius, TRasterImage& image) {
  std::int64_t g = 0;
  for (int r = radius; r < h - radius; ++r)
    for (int c = radius; c < w - radius; ++c) g = std::max<std::int64_t>(g, values[static_cast<std::size_t>(r) * w + c]);
  MapLines(radius, h - radius, [&](int r) {
    std::uint8_t* out = image.Row(r);
    for (int c = radius; c < w - radius; ++c) {
      int gray = 0;
      if (g > 0) {
        const double scaled = static_cast<double>(values[static_cast<std::size_t>(r) * w + c]) /
                              static_cast<double>(g) * 254.0;
        gray = static_cast<int>(std::clamp(scaled, 0.0, 255.0));
      }
      out[c] = static_cast<std::uint8_t>(gray);
    }
  });
  return g;
}

// The statistics of the cells with the whole disc, in the units of the value grid.
template <class V>
void CopyValues(const V* values, int w, int h, int radius, const CircularParams& params) {
  const bool inHeights = params.statistic <= kCircularRange;
  const double divisor = inHeights && params.unitFactor > 1 ? params.unitFactor : 1.0;
  MapLines(radius, h - radius, [&](int r) {
    float* out = params.values + static_cast<std::size_t>(r) * w;
    const V* in = values + static_cast<std::size_t>(r) * w;
    for (int c = radius; c < w - radius; ++c)
      out[c] = static_cast<float>(static_cast<double>(in[c]) / divisor);
  });
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
  const WindowFrame frame = WindowFrame::Margin(w, h, radius);  // the cells with the whole disc
  result.image = std::make_unique<TRasterImage>();
  if (Status status = AllocateWindowImage(*result.image, frame, kRasterGray, Rgb(255, 255, 255)); !status)
    return status.error();
  if (!frame.HasCentre()) return result;

  WindowRun run(progress);
  const TIntGridView z(dem);
  const std::vector<Chord> chords = Chords(CircularDisc(radius), radius);
  std::int64_t n = 0;
  for (const Chord& chord : chords) n += chord.length;
  const int statistic = params.statistic;

  // Sums of u = v - base and u^2 (u >= 0); the sums of u^2 over a line and over the disc must
  // stay below 2^62 to be exact in 64 bits.
  const auto [lowest, highest] = std::minmax_element(z.data(), z.data() + z.size());
  const std::int32_t base = z.size() == 0 ? 0 : *lowest;
  const std::int64_t span = z.size() == 0 ? 0 : static_cast<std::int64_t>(*highest) - base;
  const bool needSquares = statistic == kCircularStdDev || statistic == kCircularDeviation;
  const Int128 squareBound = static_cast<Int128>(span) * span * std::max<std::int64_t>(n, w);
  if (needSquares && squareBound >= (static_cast<Int128>(1) << 62))
    return Error{kBadParameter, "The elevation span is too large for the standard deviation"};

  // Every statistic lies within the span (the mean between the extremes), so 32-bit storage
  // holds them exactly unless the heights spread over more than 2^31.
  std::int64_t g = 0;
  if (span <= std::numeric_limits<std::int32_t>::max()) {
    std::vector<std::int32_t> values(static_cast<std::size_t>(w) * h, 0);
    if (Status done = ComputeValues(z, chords, radius, statistic, base, n, values.data(), run); !done)
      return done.error();
    if (params.values) CopyValues(values.data(), w, h, radius, params);
    g = ScaleToGray(values.data(), w, h, radius, *result.image);
  } else {
    std::vector<std::int64_t> values(static_cast<std::size_t>(w) * h, 0);
    if (Status done = ComputeValues(z, chords, radius, statistic, base, n, values.data(), run); !done)
      return done.error();
    if (params.values) CopyValues(values.data(), w, h, radius, params);
    g = ScaleToGray(values.data(), w, h, radius, *result.image);
  }
  result.maximum = g;
  return result;
}

}  // namespace orvane
