// Counting the values of a line segment that lie below, above or at a given height.
//
// The shape and circular-window treatments count, for every cell, the window cells on either
// side of the centre's height. Written in blocks of eight with separate counters so the
// compiler turns each loop into vector compares at the project's normal optimisation level.
#pragma once

#include <cstdint>

namespace orvane {

namespace window_count_detail {

template <class Test>
inline int CountIf(const std::int32_t* p, int n, Test test) {
  std::int32_t acc[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  int k = 0;
  for (; k + 8 <= n; k += 8) {
    for (int j = 0; j < 8; ++j) acc[j] += test(p[k + j]) ? 1 : 0;
  }
  int total = 0;
  for (int j = 0; j < 8; ++j) total += acc[j];
  for (; k < n; ++k) total += test(p[k]) ? 1 : 0;
  return total;
}

}  // namespace window_count_detail

inline int CountBelow(const std::int32_t* p, int n, std::int32_t v) {
  return window_count_detail::CountIf(p, n, [v](std::int32_t x) { return x < v; });
}
inline int CountAbove(const std::int32_t* p, int n, std::int32_t v) {
  return window_count_detail::CountIf(p, n, [v](std::int32_t x) { return x > v; });
}
inline int CountEqual(const std::int32_t* p, int n, std::int32_t v) {
  return window_count_detail::CountIf(p, n, [v](std::int32_t x) { return x == v; });
}

}  // namespace orvane
