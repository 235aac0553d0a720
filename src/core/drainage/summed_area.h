// Summed-area table over a grid of counts: any rectangle's sum in four look-ups.
//
// Built once in O(columns x lines) with 64-bit integer sums, so window sums are exact and a
// 51-pixel window costs the same as a 5-pixel one. Rectangles are given by inclusive first and
// exclusive last column and line; parts outside the grid are clipped away.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvane {

class SummedArea {
 public:
  SummedArea() = default;

  // `values` holds columns x lines entries, line after line.
  template <class T>
  SummedArea(const std::vector<T>& values, int columns, int lines) {
    Build(values.data(), columns, lines);
  }

  template <class T>
  void Build(const T* values, int columns, int lines) {
    columns_ = std::max(0, columns);
    lines_ = std::max(0, lines);
    const std::size_t stride = static_cast<std::size_t>(columns_) + 1;
    sums_.assign(stride * (static_cast<std::size_t>(lines_) + 1), 0);
    for (int y = 0; y < lines_; ++y) {
      const T* in = values + static_cast<std::size_t>(y) * columns_;
      const std::int64_t* above = sums_.data() + static_cast<std::size_t>(y) * stride;
      std::int64_t* out = sums_.data() + static_cast<std::size_t>(y + 1) * stride;
      std::int64_t run = 0;
      for (int x = 0; x < columns_; ++x) {
        run += static_cast<std::int64_t>(in[x]);
        out[x + 1] = above[x + 1] + run;
      }
    }
  }

  // Sum over columns [x0, x1) and lines [y0, y1).
  std::int64_t Sum(int x0, int y0, int x1, int y1) const {
    x0 = std::clamp(x0, 0, columns_);
    x1 = std::clamp(x1, 0, columns_);
    y0 = std::clamp(y0, 0, lines_);
    y1 = std::clamp(y1, 0, lines_);
    if (x0 >= x1 || y0 >= y1) return 0;
    return At(x1, y1) - At(x0, y1) - At(x1, y0) + At(x0, y0);
  }

  int columns() const { return columns_; }
  int lines() const { return lines_; }

 private:
  std::int64_t At(int x, int y) const {
    return sums_[static_cast<std::size_t>(y) * (static_cast<std::size_t>(columns_) + 1) +
                 static_cast<std::size_t>(x)];
  }

  int columns_ = 0;
  int lines_ = 0;
  std::vector<std::int64_t> sums_;
};

}  // namespace orvane
