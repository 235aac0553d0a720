#include "core/surface/local_fractal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/common/parallel.h"
#include "core/common/running_minmax.h"
#include "core/common/truncated_elevations.h"

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

double LocalFractalFit(const std::vector<int>& sizes, const int* counts) {
  double sx = 0.0, sy = 0.0, sxy = 0.0, sxx = 0.0;
  int k = 0;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (counts[i] <= 0) continue;
    const double x = std::log(static_cast<double>(sizes[i]));
    const double y = std::log(static_cast<double>(counts[i]));
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

// Boxes counted in the z direction for one footprint, by elevation difference to the reference.
class BoxCountTable {
 public:
  BoxCountTable(const LocalFractalWindow& w, double step, long long range)
      : window_(w), step_(step) {
    // Past these limits the column is full (2F) or empty, so the table clamps.
    const double limit = std::ceil(w.half * step) + 2.0;
    const long long reach = limit < static_cast<double>(range) ? static_cast<long long>(limit) : range;
    if (reach > (1LL << 21)) return;  // too wide: count directly
    lo_ = -reach;
    hi_ = reach;
    const std::size_t width = static_cast<std::size_t>(hi_ - lo_ + 1);
    table_.resize(width * w.boxSizes.size());
    for (std::size_t si = 0; si < w.boxSizes.size(); ++si) {
      for (long long d = lo_; d <= hi_; ++d) {
        table_[si * width + static_cast<std::size_t>(d - lo_)] =
            static_cast<std::uint8_t>(Direct(si, d));
      }
    }
    width_ = width;
  }

  bool tabled() const { return !table_.empty(); }
  const std::uint8_t* Row(std::size_t si) const {
    return table_.data() + si * width_ + static_cast<std::size_t>(-lo_);
  }
  long long lo() const { return lo_; }
  long long hi() const { return hi_; }

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
  long long lo_ = 0, hi_ = 0;
  std::size_t width_ = 0;
  std::vector<std::uint8_t> table_;
};

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
  if (lines < 2 * F || columns < 2 * F || !dem.IsAllocated()) {
    return Error{kBadParameter, "The DEM is smaller than the moving window"};
  }
  ProgressScope scope(progress);

  const std::vector<int> e = LocalFractalElevations(dem, params.unitDivisor);
  const auto [lowIt, highIt] = std::minmax_element(e.begin(), e.end());
  const long long range = static_cast<long long>(*highIt) - *lowIt;
  const BoxCountTable table(w, step, range);

  const int cells = 2 * F - 1;  // window cells each way; the cube's last voxel column stays empty
  const std::size_t nSizes = w.boxSizes.size();
  const auto at = [&](int line, int column) {
    return e[static_cast<std::size_t>(line) * columns + column];
  };

  LocalFractalResult result;
  result.dimension.assign(static_cast<std::size_t>(lines) * columns, 0.0);
  const int firstLine = F, lastLine = lines - F;  // centres, both ends included
  const int firstColumn = F, lastColumn = columns - F;

  ParallelForLines(
      lastLine - firstLine + 1,
      [&](int index) {
        const int r = firstLine + index;
        thread_local std::vector<int> colMax, fullMax, partMax, scratch, counts;
        colMax.resize(static_cast<std::size_t>(columns));
        fullMax.resize(static_cast<std::size_t>(columns));
        partMax.resize(static_cast<std::size_t>(columns));
        counts.assign(2 * nSizes * static_cast<std::size_t>(columns), 0);
        for (int v = 0; v < 2; ++v) {  // the two volumes, the second one cell up and left
          const int y0 = r - F + 1 - v;
          for (std::size_t si = 0; si < nSizes; ++si) {
            const int s = w.boxSizes[si];
            const int corners = (w.side - 1) / s + 1;
            const int partial = cells - (corners - 1) * s;  // width of the last footprint
            int* n = counts.data() + (v * nSizes + si) * static_cast<std::size_t>(columns);
            for (int k = 0; k < corners; ++k) {
              const int b = std::min(s, cells - k * s);
              if (b <= 0) continue;
              // Highest elevation of every column over the footprint's lines.
              const int y = y0 + k * s;
              std::copy(e.begin() + static_cast<std::ptrdiff_t>(y) * columns,
                        e.begin() + static_cast<std::ptrdiff_t>(y + 1) * columns, colMax.begin());
              for (int yy = y + 1; yy < y + b; ++yy) {
                const int* row = e.data() + static_cast<std::size_t>(yy) * columns;
                for (int c = 0; c < columns; ++c) colMax[c] = std::max(colMax[c], row[c]);
              }
              // Highest elevation of every footprint: full width s, and the short last one.
              SlidingMax(colMax.data(), columns, s, fullMax.data(), scratch);
              if (partial > 0 && partial != s) {
                SlidingMax(colMax.data(), columns, partial, partMax.data(), scratch);
              }
              for (int c = firstColumn; c <= lastColumn; ++c) {
                const long long K = at(r - 1, c - 1);
                const int x0 = c - F + 1 - v;
                int sum = 0;
                if (table.tabled()) {
                  const std::uint8_t* count = table.Row(si);
                  for (int l = 0; l < corners; ++l) {
                    const int a = std::min(s, cells - l * s);
                    if (a <= 0) continue;
                    const int top = (a == s ? fullMax : partMax)[static_cast<std::size_t>(x0 + l * s)];
                    const long long d = std::clamp(top - K, table.lo(), table.hi());
                    sum += count[d];
                  }
                } else {
                  for (int l = 0; l < corners; ++l) {
                    const int a = std::min(s, cells - l * s);
                    if (a <= 0) continue;
                    const int top = (a == s ? fullMax : partMax)[static_cast<std::size_t>(x0 + l * s)];
                    sum += table.Direct(si, top - K);
                  }
                }
                n[c] += sum;
              }
            }
          }
        }
        double* out = result.dimension.data() + static_cast<std::size_t>(r) * columns;
        std::vector<int> n1(nSizes), n2(nSizes);
        for (int c = firstColumn; c <= lastColumn; ++c) {
          for (std::size_t si = 0; si < nSizes; ++si) {
            n1[si] = counts[si * columns + c];
            n2[si] = counts[(nSizes + si) * columns + c];
          }
          out[c] = (LocalFractalFit(w.boxSizes, n1.data()) + LocalFractalFit(w.boxSizes, n2.data())) * 0.5;
        }
      },
      progress, 1);
  if (scope.Cancelled()) return Error{kCancelled, "Cancelled"};

  // Extremes over every centre, in line order.
  double minimum = std::numeric_limits<double>::infinity();
  double maximum = -std::numeric_limits<double>::infinity();
  for (int r = firstLine; r <= lastLine; ++r) {
    for (int c = firstColumn; c <= lastColumn; ++c) {
      const double d = result.dimension[static_cast<std::size_t>(r) * columns + c];
      minimum = std::min(minimum, d);
      maximum = std::max(maximum, d);
    }
  }
  result.minimum = minimum;
  result.maximum = maximum;
  result.diagramUpper = static_cast<int>(100.0 * maximum);
  result.diagramStart = static_cast<int>(100.0 * minimum);
  result.margin = F + 1;

  // Image and diagram: one line and column fewer at the far ends than the centres.
  result.image.Allocate(columns, lines, kRasterGray);
  result.image.Fill(Rgb(255, 255, 255));
  const double spread = maximum - minimum;
  for (int r = firstLine; r < lastLine; ++r) {
    std::uint8_t* row = result.image.Row(r);
    for (int c = firstColumn; c < lastColumn; ++c) {
      const double d = result.dimension[static_cast<std::size_t>(r) * columns + c];
      const int bin = static_cast<int>(100.0 * d);
      if (bin >= 0 && bin < kLocalFractalBins) ++result.diagram[static_cast<std::size_t>(bin)];
      // Equal extremes (a uniform surface) have no scale: every cell is drawn 0.
      row[c] = spread > 0.0 ? static_cast<std::uint8_t>((d - minimum) / spread * 254.0) : 0;
    }
  }
  return result;
}

}  // namespace orvane
