#include "core/common/grid_memory.h"

#include <atomic>
#include <cstdint>
#include <limits>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace orvane {

namespace {
std::atomic<std::int64_t> gCeiling{0};
}  // namespace

std::string GridMemoryMessage(std::int64_t lines, std::int64_t columns) {
  return "not enough memory for a grid of " + std::to_string(lines) + " x " +
         std::to_string(columns);
}

Error GridMemoryError(std::int64_t lines, std::int64_t columns) {
  return Error{kAllocationFailed, GridMemoryMessage(lines, columns)};
}

GridAllocationError::GridAllocationError(std::int64_t lines, std::int64_t columns)
    : lines_(lines), columns_(columns), message_(GridMemoryMessage(lines, columns)) {}

std::int64_t GridBytes(std::int64_t lines, std::int64_t columns, std::int64_t cellBytes) {
  if (lines < 0 || columns < 0 || cellBytes < 0) return -1;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  if (lines == 0 || columns == 0 || cellBytes == 0) return 0;
  if (lines > kMax / columns) return -1;
  const std::int64_t cells = lines * columns;
  if (cells > kMax / cellBytes) return -1;
  return cells * cellBytes;
}

bool GridBytesAllowed(std::int64_t bytes) {
  if (bytes < 0) return false;
  const std::int64_t ceiling = gCeiling.load(std::memory_order_relaxed);
  return ceiling <= 0 || bytes <= ceiling;
}

void SetGridByteCeiling(std::int64_t bytes) { gCeiling.store(bytes, std::memory_order_relaxed); }

std::int64_t GridByteCeiling() { return gCeiling.load(std::memory_order_relaxed); }

void AdviseLargePages(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t kLargePage = std::uintptr_t{1} << 21;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t last = (start + bytes) & ~(kLargePage - 1);
  if (data != nullptr && last > first)
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

}  // namespace orvane
