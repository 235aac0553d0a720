// Running minimum and maximum of a sliding window along a line of values.
//
// SlidingMin(in, count, window, out) writes out[i] = min(in[i .. i + window - 1]) for
// i = 0 .. count - window (nothing when the window is longer than the line). The van Herk /
// Gil-Werman scheme splits the line into blocks of `window` values, takes prefix minima
// forward and suffix minima backward inside each block, and answers every window with one
// comparison of a suffix and a prefix: about three comparisons per value whatever the window
// length. The scratch vector is reused between calls to avoid allocations in row loops.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace orvane {

namespace running_detail {

template <class T, class Better>
void Sliding(const T* in, int count, int window, T* out, std::vector<T>& scratch, Better better) {
  if (window <= 0 || count < window) return;
  if (window == 1) {
    std::copy(in, in + count, out);
    return;
  }
  const auto n = static_cast<std::size_t>(count);
  scratch.resize(2 * n);
  T* prefix = scratch.data();      // best of in[block start .. i]
  T* suffix = scratch.data() + n;  // best of in[i .. block end]
  for (int start = 0; start < count; start += window) {
    const int end = std::min(count, start + window);
    prefix[start] = in[start];
    for (int i = start + 1; i < end; ++i) prefix[i] = better(prefix[i - 1], in[i]);
    suffix[end - 1] = in[end - 1];
    for (int i = end - 2; i >= start; --i) suffix[i] = better(suffix[i + 1], in[i]);
  }
  for (int i = 0; i + window <= count; ++i) out[i] = better(suffix[i], prefix[i + window - 1]);
}

}  // namespace running_detail

template <class T>
void SlidingMin(const T* in, int count, int window, T* out, std::vector<T>& scratch) {
  running_detail::Sliding(in, count, window, out, scratch,
                          [](const T& a, const T& b) { return b < a ? b : a; });
}

template <class T>
void SlidingMax(const T* in, int count, int window, T* out, std::vector<T>& scratch) {
  running_detail::Sliding(in, count, window, out, scratch,
                          [](const T& a, const T& b) { return a < b ? b : a; });
}

}  // namespace orvane
