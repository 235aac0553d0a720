// Filling the holes of a grid with the value of the nearest valid cell.
//
// "Nearest" is the exact Euclidean distance between cell centres. Two passes, O(cells):
// down and up every column to find the nearest valid cell in that column, then along every
// line the lower envelope of the parabolas (c - c')^2 + g(c')^2 (g: the column distance of
// the first pass) picks the column whose nearest cell is closest. Ties keep the cell found
// first: the upper one in a column, the envelope's earlier parabola along a line.
// The columns of the first pass and the lines of the second run in parallel; results do not
// depend on the number of threads.
#pragma once

#include <cstdint>
#include <vector>

#include "core/common/progress.h"

namespace orvane {

// For every cell (line-major) the index of the nearest cell whose `valid` byte is non-zero;
// a valid cell is its own nearest. All -1 when no cell is valid.
std::vector<std::int64_t> NearestValidCells(const std::vector<std::uint8_t>& valid, int lines,
                                            int columns, ProgressSink* progress = nullptr);

// Gives every invalid cell of `values` the value of its nearest valid cell and returns how many
// cells were filled. Valid cells are left as they are; with no valid cell nothing changes.
std::int64_t FillFromNearestValid(std::vector<std::int32_t>& values,
                                  const std::vector<std::uint8_t>& valid, int lines, int columns,
                                  ProgressSink* progress = nullptr);

}  // namespace orvane
