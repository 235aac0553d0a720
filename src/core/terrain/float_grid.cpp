#include "core/terrain/float_grid.h"

#include <algorithm>
#include <new>

#include "core/common/grid_memory.h"

namespace orvane {

TFloatGrid::TFloatGrid(int columns_, int lines_) : columns(columns_), lines(lines_) {
  if (columns_ <= 0 || lines_ <= 0) return;
  if (!GridBytesAllowed(GridBytes(lines_, columns_, sizeof(float)))) {
    error = 3;
    return;
  }
  try {
    cells_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(lines_), 0.0f);
  } catch (const std::bad_alloc&) {
    error = 3;
  }
}

void TFloatGrid::Fill(float value) { std::fill(cells_.begin(), cells_.end(), value); }

void TFloatGrid::Release() {
  cells_.clear();
  cells_.shrink_to_fit();
}

std::unique_ptr<TFloatGrid> TFloatGrid::Multiply(const TFloatGrid& other) const {
  if (columns != other.lines) return nullptr;
  auto product = std::make_unique<TFloatGrid>(other.columns, lines);
  for (int i = 0; i < lines; ++i) {
    for (int j = 0; j < other.columns; ++j) {
      float sum = 0.0f;
      for (int k = 0; k < columns; ++k) sum += At(k, i) * other.At(j, k);
      product->At(j, i) = sum;
    }
  }
  return product;
}

TNormalGrid::TNormalGrid(int columns, int lines)
    : x(columns, lines), y(columns, lines), z(columns, lines) {
  allocError = (x.error || y.error || z.error) ? 1 : 0;
}

}  // namespace orvane
