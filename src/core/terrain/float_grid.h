// Float work grids: shading, depth buffers, the 3D viewer's transforms (TFloatGrid) and the
// summed surface normals of a DEM (TNormalGrid). Stored contiguously, line after line.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace orvane {

class TFloatGrid {
 public:
  TFloatGrid() = default;
  // Allocates only when both sizes are positive; error becomes 3 when that fails.
  TFloatGrid(int columns, int lines);

  int columns = 0;
  int lines = 0;
  int error = 0;

  bool IsAllocated() const { return !cells_.empty(); }
  void Fill(float value);
  void Release();

  float* Row(int line) { return cells_.data() + static_cast<std::size_t>(line) * columns; }
  const float* Row(int line) const {
    return cells_.data() + static_cast<std::size_t>(line) * columns;
  }
  float& At(int column, int line) { return Row(line)[column]; }
  float At(int column, int line) const { return Row(line)[column]; }

  // Matrix product this x other (this is lines x columns); null when the inner sizes differ.
  std::unique_ptr<TFloatGrid> Multiply(const TFloatGrid& other) const;

 private:
  std::vector<float> cells_;
};

class TNormalGrid {
 public:
  TNormalGrid(int columns, int lines);

  TFloatGrid x, y, z;
  int allocError = 0;
};

}  // namespace orvane
