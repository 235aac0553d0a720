#include "core/exchange/nearest_fill.h"

#include <algorithm>
#include <limits>

#include "core/common/parallel.h"

namespace orvane {

namespace {

constexpr int kColumnsPerBlock = 256;

// Pass 1: for every cell the line of the nearest valid cell in its column (-1: none in the
// column). The column blocks sweep the lines in order, which keeps memory access sequential.
std::vector<std::int32_t> NearestLineInColumn(const std::vector<std::uint8_t>& valid, int lines,
                                              int columns) {
  std::vector<std::int32_t> nearest(static_cast<std::size_t>(lines) * columns, -1);
  const int blocks = (columns + kColumnsPerBlock - 1) / kColumnsPerBlock;
  ParallelForLines(
      blocks,
      [&](int block) {
        const int first = block * kColumnsPerBlock;
        const int last = std::min(columns, first + kColumnsPerBlock);
        std::vector<std::int32_t> seen(static_cast<std::size_t>(last - first), -1);
        for (int line = 0; line < lines; ++line) {
          const std::size_t row = static_cast<std::size_t>(line) * columns;
          for (int c = first; c < last; ++c) {
            if (valid[row + c]) seen[c - first] = line;
            nearest[row + c] = seen[c - first];
          }
        }
        std::fill(seen.begin(), seen.end(), -1);
        for (int line = lines - 1; line >= 0; --line) {
          const std::size_t row = static_cast<std::size_t>(line) * columns;
          for (int c = first; c < last; ++c) {
            if (valid[row + c]) seen[c - first] = line;
            const std::int32_t below = seen[c - first];
            if (below < 0) continue;
            std::int32_t& above = nearest[row + c];
            // Strictly closer only: on a tie the upper cell stays.
            if (above < 0 || below - line < line - above) above = below;
          }
        }
      },
      nullptr, 1);
  return nearest;
}

// Pass 2 for one line: source[c] = the column whose nearest-in-column cell is nearest to
// (line, c). Returns false when the line sees no valid cell at all.
bool NearestColumnsOnLine(const std::int32_t* nearestLine, int line, int columns,
                          std::vector<int>& hull, std::vector<double>& bounds,
                          std::vector<int>& source) {
  auto height = [&](int c) {
    const double g = static_cast<double>(line - nearestLine[c]);
    return g * g + static_cast<double>(c) * c;
  };
  int k = -1;
  for (int q = 0; q < columns; ++q) {
    if (nearestLine[q] < 0) continue;
    if (k < 0) {
      k = 0;
      hull[0] = q;
      bounds[0] = -std::numeric_limits<double>::infinity();
      bounds[1] = std::numeric_limits<double>::infinity();
      continue;
    }
    // bounds[0] is minus infinity, so the envelope never empties.
    double s = 0.0;
    for (;;) {
      const int v = hull[k];
      s = (height(q) - height(v)) / (2.0 * (q - v));
      if (s > bounds[k]) break;
      --k;
    }
    ++k;
    hull[k] = q;
    bounds[k] = s;
    bounds[k + 1] = std::numeric_limits<double>::infinity();
  }
  if (k < 0) return false;
  int j = 0;
  for (int c = 0; c < columns; ++c) {
    while (bounds[j + 1] < c) ++j;
    source[c] = hull[j];
  }
  return true;
}

template <class Visit>
void ForEachLineNearest(const std::vector<std::uint8_t>& valid, int lines, int columns,
                        ProgressSink* progress, Visit&& visit) {
  const std::vector<std::int32_t> nearestLine = NearestLineInColumn(valid, lines, columns);
  ParallelForLines(
      lines,
      [&](int line) {
        thread_local std::vector<int> hull, source;
        thread_local std::vector<double> bounds;
        hull.resize(columns);
        source.resize(columns);
        bounds.resize(static_cast<std::size_t>(columns) + 1);
        const std::int32_t* row = nearestLine.data() + static_cast<std::size_t>(line) * columns;
        if (!NearestColumnsOnLine(row, line, columns, hull, bounds, source)) return;
        visit(line, row, source);
      },
      progress);
}

}  // namespace

std::vector<std::int64_t> NearestValidCells(const std::vector<std::uint8_t>& valid, int lines,
                                            int columns, ProgressSink* progress) {
  std::vector<std::int64_t> nearest(static_cast<std::size_t>(lines) * columns, -1);
  if (lines <= 0 || columns <= 0) return nearest;
  ForEachLineNearest(valid, lines, columns, progress,
                     [&](int line, const std::int32_t* row, const std::vector<int>& source) {
                       std::int64_t* out =
                           nearest.data() + static_cast<std::size_t>(line) * columns;
                       for (int c = 0; c < columns; ++c)
                         out[c] = static_cast<std::int64_t>(row[source[c]]) * columns + source[c];
                     });
  return nearest;
}

std::int64_t FillFromNearestValid(std::vector<std::int32_t>& values,
                                  const std::vector<std::uint8_t>& valid, int lines, int columns,
                                  ProgressSink* progress) {
  if (lines <= 0 || columns <= 0) return 0;
  const std::size_t cells = static_cast<std::size_t>(lines) * columns;
  const std::int64_t holes = std::count(valid.begin(), valid.begin() + cells, std::uint8_t{0});
  if (holes == 0 || holes == static_cast<std::int64_t>(cells)) return 0;
  // Only invalid cells are written and only valid ones read, so lines may run in parallel.
  ForEachLineNearest(valid, lines, columns, progress,
                     [&](int line, const std::int32_t* row, const std::vector<int>& source) {
                       const std::size_t base = static_cast<std::size_t>(line) * columns;
                       for (int c = 0; c < columns; ++c) {
                         if (valid[base + c]) continue;
                         const int from = source[c];
                         values[base + c] =
                             values[static_cast<std::size_t>(row[from]) * columns + from];
                       }
                     });
  return holes;
}

}  // namespace orvane
