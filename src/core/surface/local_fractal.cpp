#include "core/surface/local_fractal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/common/parallel.h"
#include "core/common/running_minmax.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/window_driver.h"

namespace orvane {

bool LocalFractalWindowOf(int windowSize, LocalFractalWindow& window) {
  if (windowSize == 12) {
    window = {6, 12, {1, 2, 3, 4, 6}};
    return true;
  }
  if (windowSize == 24) {
    window = {12, 24, {1, 2, 3, 4, 6, 12}};
    return true;
  }
  return false;
}

int LocalFractalColumnHeight(long long difference, double heightStep, int half) {
  if (difference > 0) {
    const double steps = static_cast<double>(difference) / heightStep;
    if (steps >= half) return 2 * half;
    return half + static_cast<int>(steps);
  }
  const double steps = static_cast<double>(-difference) / heightStep;
  if (steps >= half) return 0;  // F or more steps below the reference: an empty column
  return half - static_cast<int>(steps);
}

namespace {

// The fit shared by the public function and the fast path, so both give the same bits: `logOf`
// gives ln N (a table look-up in the fast path, the same std::log values).
template <class LogOf>
double FitDimension(const std::vector<int>& sizes, const double* logSizes, const int* counts,
                    LogOf logOf) {
  double sx = 0.0, sy = 0.0, sxy = 0.0, sxx = 0.0;
  int k = 0;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (counts[i] <= 0) continue;
    const double x = logSizes[i];
    const double y = logOf(counts[i]);
    sx += x;
    sy += y;
    sxy += x * y;
    sxx += x * x;
    ++k;
  }
  if (k < 2) return 0.0;
  const double slope = (k * sxy - sx * sy) / (k * sxx - sx * sx);
  const double d = -slope;
  return d >= 0.0 ? d : 0.0;
}

}  // namespace

double LocalFractalFit(const std::vector<int>& sizes, const int* counts) {
  std::vector<double> logSizes(sizes.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) logSizes[i] = std::log(static_cast<double>(sizes[i]));
  return FitDimension(sizes, logSizes.data(), counts,
                      [](int n) { return std::log(static_cast<double>(n)); });
}

std::vector<int> LocalFractalElevations(const TDemModel& dem, int unitDivisor) {
  std::vector<int> e(static_cast<std::size_t>(dem.lines) * dem.columns);
  const int u = unitDivisor > 0 ? unitDivisor : 1;
  ParallelForLines(dem.lines, [&](int line) {
    int* row = e.data() + static_cast<std::size_t>(line) * dem.columns;
    for (int c = 0; c < dem.columns; ++c) {
      row[c] = TruncatedElevation(dem.GetElevation(c, line)) / u;
    }
  });
  return e;
}

namespace {

// Boxes counted in the z direction over one footprint, by the difference between the
// footprint's highest elevation and the reference: one row per box size.
class BoxCountTable {
 public:
  BoxCountTable(const LocalFractalWindow& w, double step, long long range) : window_(w), step_(step) {
    // Past +-limit a column is full (2F) or empty, so a narrower table clamps.
    const double limit = std::ceil(w.half * step) + 2.0;
    const bool clamps = limit < static_cast<double>(range);
    const long long reach = clamps ? static_cast<long long>(limit) : range;
    if (reach > (1LL << 21)) return;  // too wide: counted directly
    clamps_ = clamps;
    lo_ = -reach;
    hi_ = reach;
    width_ = static_cast<std::size_t>(hi_ - lo_ + 1);
    table_.resize(width_ * w.boxSizes.size());
    for (std::size_t si = 0; si < w.boxSizes.size(); ++si) {
      for (long long d = lo_; d <= hi_; ++d) {
        table_[si * width_ + static_cast<std::size_t>(d - lo_)] = static_cast<std::uint8_t>(Direct(si, d));
      }
    }
  }

  bool tabled() const { return !table_.empty(); }
  bool clamps() const { return clamps_; }
  // Row of box size si, indexed by the difference itself.
  const std::uint8_t* Row(std::size_t si) const {
    return table_.data() + si * width_ + static_cast<std::size_t>(-lo_);
  }
  int lo() const { return static_cast<int>(lo_); }
  int hi() const { return static_cast<int>(hi_); }

  int Direct(std::size_t si, long long difference) const {
    const int s = window_.boxSizes[si];
    const int t = LocalFractalColumnHeight(difference, step_, window_.half);
    if (t <= 0) return 0;
    const int corners = (window_.side - 1) / s + 1;
    return std::min((t + s - 1) / s, corners);
  }

 private:
  const LocalFractalWindow& window_;
  double step_;
  bool clamps_ = false;
  long long lo_ = 0, hi_ = 0;
  std::size_t width_ = 0;
  std::vector<std::uint8_t> table_;
};

// Adds the z-box counts of one line of footprints to the counts of every centre of a line:
// n[c] += count(top[c + shift] - reference[c - 1]).
template <int Mode>  // 0 table, 1 clamped table, 2 direct
void AddFootprints(const BoxCountTable& table, std::size_t si, const int* top, int shift,
                   const int* reference, int first, int last, int* n) {
  if constexpr (Mode == 0) {
    const std::uint8_t* count = table.Row(si);
    for (int c = first; c <= last; ++c) n[c] += count[top[c + shift] - reference[c - 1]];
  } else if constexpr (Mode == 1) {
    const std::uint8_t* count = table.Row(si);
    const int lo = table.lo(), hi = table.hi();
    for (int c = first; c <= last; ++c) {
      n[c] += count[std::clamp(top[c + shift] - reference[c - 1], lo, hi)];
    }
  } else {
    for (int c = first; c <= last; ++c) {
      n[c] += table.Direct(si, static_cast<long long>(top[c + shift]) - reference[c - 1]);
    }
  }
}

}  // namespace

Expected<LocalFractalResult> ComputeLocalFractal(const TDemModel& dem,
                                                 const LocalFractalParams& params,
                                                 ProgressSink* progress) {
  LocalFractalWindow w;
  if (!LocalFractalWindowOf(params.windowSize, w)) {
    return Error{kBadParameter, "The moving window size must be 12 or 24"};
  }
  const double step = params.pixelSize * params.factorH;
  if (!(step > 0.0) || !std::isfinite(step)) {
    return Error{kBadParameter,
                 "The adaptive factor H (times the pixel size) must be greater than 0"};
  }
  const int F = w.half;
  const int lines = dem.lines, columns = dem.columns;
  if (Status fits = CheckWindowFits(dem, 2 * F, "The DEM is smaller than the moving window"); !fits)
    return fits.error();
  LocalFractalResult result;
  // The picture stops one line and column short of the centres at the far ends.
  WindowDriver driver(WindowFrame::Margin(columns, lines, F), progress);
  if (Status status = driver.Allocate(result.image, kRasterGray, Rgb(255, 255, 255)); !status)
    return status.error();
  const WindowFrame& frame = driver.Frame();
  WindowRun& run = driver.Run();

  std::vector<int> e = LocalFractalElevations(dem, params.unitDivisor);
  if (dem.HasNoData()) {
    // The NoData cells' stored values are no heights: set to a ground height so they neither
    // widen the range of the box-count table nor overflow a difference. No value is taken from
    // a window that holds one of them.
    int lowest = std::numeric_limits<int>::max();
    for (std::size_t k = 0; k < e.size(); ++k)
      if (dem.Validity()[k]) lowest = std::min(lowest, e[k]);
    for (std::size_t k = 0; k < e.size(); ++k)
      if (!dem.Validity()[k]) e[k] = lowest;
  }
  const auto [lowIt, highIt] = std::minmax_element(e.begin(), e.end());
  const long long range = static_cast<long long>(*highIt) - *lowIt;
  const BoxCountTable table(w, step, range);
  const int mode = !table.tabled() ? 2 : table.clamps() ? 1 : 0;

  const int cells = 2 * F - 1;  // window cells each way; the cube's last voxel column stays empty
  const std::size_t nSizes = w.boxSizes.size();
  std::vector<double> logSizes(nSizes);
  for (std::size_t i = 0; i < nSizes; ++i) logSizes[i] = std::log(static_cast<double>(w.boxSizes[i]));
  std::vector<double> logCounts(static_cast<std::size_t>(w.side) * w.side * w.side + 1, 0.0);
  for (std::size_t n = 1; n < logCounts.size(); ++n) logCounts[n] = std::log(static_cast<double>(n));
  const auto logOf = [&logCounts](int n) { return logCounts[static_cast<std::size_t>(n)]; };

  result.dimension.assign(static_cast<std::size_t>(lines) * columns, 0.0);
  const int firstLine = F, lastLine = lines - F;  // centres, both ends included
  const int firstColumn = F, lastColumn = columns - F;

  // Bands of centre lines: the footprint maxima of a band's lines are made once and serve
  // every centre line and both volumes.
  constexpr int kBand = 32;
  const auto stride = static_cast<std::size_t>(columns);
  const Status done = run.ForEachBlock(
      firstLine, lastLine + 1, kBand,
      [&](int r0, int bandEnd) {
        const int r1 = bandEnd - 1;
        const int y0 = r0 - F;            // first line any footprint of the band starts on
        const int y1 = r1 + F - 1;        // last line any footprint reaches
        const int bandLines = y1 - y0 + 1;
        // top[b][a]: highest elevation over b lines from y and a columns from x.
        std::vector<int> colMax(stride), scratch;
        std::vector<int> top[2][2];
        std::vector<int> counts(2 * nSizes * static_cast<std::size_t>(kBand) * stride, 0);
        auto countRow = [&](int v, std::size_t si, int r) {
          return counts.data() + ((static_cast<std::size_t>(v) * nSizes + si) * kBand +
                                  static_cast<std::size_t>(r - r0)) * stride;
        };
        for (std::size_t si = 0; si < nSizes; ++si) {
          const int s = w.boxSizes[si];
          const int corners = (w.side - 1) / s + 1;
          const int heights[2] = {s, s - 1};  // a full footprint, and the short last one
          for (int bi = 0; bi < 2; ++bi) {
            const int b = heights[bi];
            if (b <= 0) continue;
            for (int ai = 0; ai < 2; ++ai) {
              if (heights[ai] > 0) top[bi][ai].assign(static_cast<std::size_t>(bandLines) * stride, 0);
            }
            for (int y = y0; y + b - 1 <= y1; ++y) {
              const int* first = e.data() + static_cast<std::size_t>(y) * stride;
              std::copy(first, first + columns, colMax.begin());
              for (int yy = y + 1; yy < y + b; ++yy) {
                const int* row = e.data() + static_cast<std::size_t>(yy) * stride;
                for (int c = 0; c < columns; ++c) colMax[c] = std::max(colMax[c], row[c]);
              }
              for (int ai = 0; ai < 2; ++ai) {
                if (heights[ai] <= 0) continue;
                SlidingMax(colMax.data(), columns, heights[ai],
                           top[bi][ai].data() + static_cast<std::size_t>(y - y0) * stride, scratch);
              }
            }
          }
          for (int r = r0; r <= r1; ++r) {
            const int* reference = e.data() + static_cast<std::size_t>(r - 1) * stride;
            for (int v = 0; v < 2; ++v) {  // the second volume sits one cell up and left
              int* n = countRow(v, si, r);
              for (int k = 0; k < corners; ++k) {
                const int b = std::min(s, cells - k * s);
                if (b <= 0) continue;
                const int y = r - F + 1 - v + k * s;
                for (int l = 0; l < corners; ++l) {
                  const int a = std::min(s, cells - l * s);
                  if (a <= 0) continue;
                  // Footprint (k, l) of centre c starts at column c - F + 1 - v + l s.
                  const int* src = top[b == s ? 0 : 1][a == s ? 0 : 1].data() +
                                   static_cast<std::size_t>(y - y0) * stride;
                  const int shift = l * s - F + 1 - v;
                  switch (mode) {
                    case 0:
                      AddFootprints<0>(table, si, src, shift, reference, firstColumn, lastColumn, n);
                      break;
                    case 1:
                      AddFootprints<1>(table, si, src, shift, reference, firstColumn, lastColumn, n);
                      break;
                    default:
                      AddFootprints<2>(table, si, src, shift, reference, firstColumn, lastColumn, n);
                      break;
                  }
                }
              }
            }
          }
        }
        std::vector<int> n1(nSizes), n2(nSizes);
        for (int r = r0; r <= r1; ++r) {
          double* out = result.dimension.data() + static_cast<std::size_t>(r) * stride;
          for (int c = firstColumn; c <= lastColumn; ++c) {
            for (std::size_t si = 0; si < nSizes; ++si) {
              n1[si] = countRow(0, si, r)[c];
              n2[si] = countRow(1, si, r)[c];
            }
            out[c] = (FitDimension(w.boxSizes, logSizes.data(), n1.data(), logOf) +
                      FitDimension(w.boxSizes, logSizes.data(), n2.data(), logOf)) * 0.5;
          }
        }
      });
  if (!done) return done.error();
  if (dem.HasNoData()) {
    // Box counting over a window with missing columns would measure the outline of the hole,
    // not the roughness of the ground: a window with any NoData cell gives no dimension.
    const TGroundCounts ground(dem);
    const std::int64_t cells = 4 * static_cast<std::int64_t>(F) * F;
    MapLines(firstLine, lastLine + 1, [&](int r) {
      double* row = result.dimension.data() + static_cast<std::size_t>(r) * columns;
      for (int c = firstColumn; c <= lastColumn; ++c)
        if (ground.Count(c - F, r - F, c + F - 1, r + F - 1) != cells) row[c] = kNoDimension;
    });
  }

  // Extremes over every centre, in line order.
  double minimum = std::numeric_limits<double>::infinity();
  double maximum = -std::numeric_limits<double>::infinity();
  for (int r = firstLine; r <= lastLine; ++r) {
    for (int c = firstColumn; c <= lastColumn; ++c) {
      const double d = result.dimension[static_cast<std::size_t>(r) * columns + c];
      if (d == kNoDimension) continue;
      minimum = std::min(minimum, d);
      maximum = std::max(maximum, d);
    }
  }
  if (minimum > maximum) minimum = maximum = 0.0;  // every window holds NoData
  result.minimum = minimum;
  result.maximum = maximum;
  result.diagramUpper = static_cast<int>(100.0 * maximum);
  result.diagramStart = static_cast<int>(100.0 * minimum);
  result.margin = F + 1;

  // Image and diagram: one line and column fewer at the far ends than the centres.
  const double spread = maximum - minimum;
  for (int r = frame.firstLine; r < frame.endLine; ++r) {
    std::uint8_t* row = result.image.Row(r);
    for (int c = frame.firstColumn; c < frame.endColumn; ++c) {
      const double d = result.dimension[static_cast<std::size_t>(r) * columns + c];
      if (d == kNoDimension) {
        row[c] = 255;
        continue;
      }
      const int bin = static_cast<int>(100.0 * d);
      if (bin >= 0 && bin < kLocalFractalBins) ++result.diagram[static_cast<std::size_t>(bin)];
      // Equal extremes (a uniform surface) have no scale: every cell is drawn 0.
      row[c] = spread > 0.0 ? static_cast<std::uint8_t>((d - minimum) / spread * 254.0) : 0;
    }
  }
  return result;
}

ValueGrid LocalFractalValues(const LocalFractalResult& result, int columns, int lines,
                             int windowSize) {
  ValueGrid values(columns, lines, "");
  const int half = windowSize / 2;
  for (int l = half; l < lines - half; ++l)
    for (int c = half; c < columns - half; ++c)
    {
      const double d = result.dimension[static_cast<std::size_t>(l) * columns + c];
      values.At(c, l) = d == kNoDimension ? kNoValue : static_cast<float>(d);
    }
  return values;
}

}  // namespace orvane
