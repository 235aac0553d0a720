// Memory for grids: the one message a failed grid allocation gives, the exception that
// carries it out of code that cannot return an Error, and a ceiling tests use to make an
// allocation fail without exhausting the machine.
//
// TDemModel, TRasterImage and TFloatGrid ask GridBytesAllowed before allocating; a size whose
// byte count overflows, passes their own maximum or this ceiling fails like a refused
// allocation, and the treatments report it with GridMemoryError(lines, columns).
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "core/common/result.h"

namespace orvane {

// "not enough memory for a grid of L x C".
std::string GridMemoryMessage(std::int64_t lines, std::int64_t columns);
Error GridMemoryError(std::int64_t lines, std::int64_t columns);

// Thrown where a grid allocation fails in code that has no Error to return. It is a
// std::bad_alloc, so every handler of that still catches it.
class GridAllocationError : public std::bad_alloc {
 public:
  GridAllocationError(std::int64_t lines, std::int64_t columns);
  const char* what() const noexcept override { return message_.c_str(); }
  std::int64_t Lines() const { return lines_; }
  std::int64_t Columns() const { return columns_; }

 private:
  std::int64_t lines_;
  std::int64_t columns_;
  std::string message_;
};

// Bytes of lines x columns cells of `cellBytes` bytes, or -1 when that overflows 63 bits or a
// size is negative.
std::int64_t GridBytes(std::int64_t lines, std::int64_t columns, std::int64_t cellBytes);

// False when `bytes` is negative (an overflowed size) or above the ceiling.
bool GridBytesAllowed(std::int64_t bytes);

// The ceiling, in bytes, of one grid allocation; 0 (the default) sets none. Meant for tests.
void SetGridByteCeiling(std::int64_t bytes);
std::int64_t GridByteCeiling();

// Asks the system to back the whole 2 MiB spans of [data, data + bytes) with large pages when
// they are first touched: a grid of tens of megabytes then costs a few dozen page faults
// instead of thousands. A hint only; nothing changes where the system has no such pages.
void AdviseLargePages(void* data, std::size_t bytes);

// v.assign(count, value), the new storage advised for large pages before it is first written.
// Throws std::bad_alloc like assign.
template <class T>
void AssignOnLargePages(std::vector<T>& v, std::size_t count, const T& value) {
  v.clear();
  v.reserve(count);
  AdviseLargePages(v.data(), count * sizeof(T));
  v.assign(count, value);
}

// Sets a ceiling for the lifetime of the object and puts the previous one back.
class ScopedGridByteCeiling {
 public:
  explicit ScopedGridByteCeiling(std::int64_t bytes) : previous_(GridByteCeiling()) {
    SetGridByteCeiling(bytes);
  }
  ~ScopedGridByteCeiling() { SetGridByteCeiling(previous_); }
  ScopedGridByteCeiling(const ScopedGridByteCeiling&) = delete;
  ScopedGridByteCeiling& operator=(const ScopedGridByteCeiling&) = delete;

 private:
  std::int64_t previous_;
};

}  // namespace orvane
