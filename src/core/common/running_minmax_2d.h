// Minimum and maximum over every rectangular window of a grid, in constant time per cell
// whatever the window size.
//
// Along the lines with SlidingMin / SlidingMax (running_minmax.h), then down the columns with
// the same van Herk / Gil-Werman blocks taken a whole line at a time, so the inner loops run
// over contiguous memory and vectorise. Results equal a plain window scan exactly.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "core/common/parallel.h"
#include "core/common/running_minmax.h"

namespace orvane {

// The first half of a window extreme: across(l, c) = minimum (or maximum) of `in` over columns
// c .. c + width - 1 of line l, for the columns - width + 1 windows that fit, line after line.
template <class T>
std::vector<T> SlidingAlongLines(const T* in, int columns, int lines, int width, bool maximum) {
  std::vector<T> across;
  if (width < 1 || width > columns || lines < 1) return across;
  const auto stride = static_cast<std::size_t>(columns - width + 1);
  across.resize(static_cast<std::size_t>(lines) * stride);
  ParallelForLines(lines, [&](int line) {
    thread_local std::vector<T> scratch;
    const T* src = in + static_cast<std::size_t>(line) * static_cast<std::size_t>(columns);
    T* dst = across.data() + static_cast<std::size_t>(line) * stride;
    if (maximum) {
      SlidingMax(src, columns, width, dst, scratch);
    } else {
      SlidingMin(src, columns, width, dst, scratch);
    }
  });
  return across;
}

// The second half: out(l, c) = pick of across over lines l .. l + height - 1 (lines of
// `stride` values), for the lines - height + 1 windows that fit.
template <class T>
std::vector<T> SlidingDownColumns(const std::vector<T>& across, std::size_t stride, int lines, int height,
                                  bool maximum) {
  std::vector<T> out;
  if (height < 1 || height > lines || across.size() < static_cast<std::size_t>(lines) * stride) return out;
  const auto pick = [maximum](T a, T b) { return (maximum ? a < b : b < a) ? b : a; };
  const int outLines = lines - height + 1;
  // Blocks of `height` lines; each output line is the pick of the suffix of its block and the
  // prefix of the next block.
  out.resize(static_cast<std::size_t>(outLines) * stride);
  const auto acrossRow = [&](int l) { return across.data() + static_cast<std::size_t>(l) * stride; };
  const int blocks = (outLines + height - 1) / height;
  ParallelForLines(
      blocks,
      [&](int block) {
        const int start = block * height;
        const int end = start + height;  // <= lines because start < outLines
        std::vector<T> suffix(static_cast<std::size_t>(height) * stride);
        const auto suffixRow = [&](int l) {
          return suffix.data() + static_cast<std::size_t>(l - start) * stride;
        };
        std::copy(acrossRow(end - 1), acrossRow(end - 1) + stride, suffixRow(end - 1));
        for (int l = end - 2; l >= start; --l) {
          const T* below = suffixRow(l + 1);
          const T* src = acrossRow(l);
          T* dst = suffixRow(l);
          for (std::size_t c = 0; c < stride; ++c) dst[c] = pick(below[c], src[c]);
        }
        const int last = std::min(outLines, end);
        std::vector<T> prefix;
        for (int l = start; l < last; ++l) {
          T* dst = out.data() + static_cast<std::size_t>(l) * stride;
          const T* suf = suffixRow(l);
          if (l == start) {
            std::copy(suf, suf + stride, dst);
            continue;
          }
          const T* add = acrossRow(l + height - 1);  // prefix of the next block grows by a line
          if (prefix.empty()) {
            prefix.assign(add, add + stride);
          } else {
            for (std::size_t c = 0; c < stride; ++c) prefix[c] = pick(prefix[c], add[c]);
          }
          for (std::size_t c = 0; c < stride; ++c) dst[c] = pick(suf[c], prefix[c]);
        }
      },
      nullptr, 1);
  return out;
}

// out(l, c) = minimum (or maximum) of `in` over lines l .. l + height - 1 and columns
// c .. c + width - 1, for the (lines - height + 1) x (columns - width + 1) windows that fit,
// line after line. Empty when the window does not fit.
template <class T>
std::vector<T> SlidingWindowExtreme(const T* in, int columns, int lines, int width, int height,
                                    bool maximum) {
  if (width < 1 || height < 1 || width > columns || height > lines) return {};
  const std::vector<T> across = SlidingAlongLines(in, columns, lines, width, maximum);
  return SlidingDownColumns(across, static_cast<std::size_t>(columns - width + 1), lines, height, maximum);
}

}  // namespace orvane
