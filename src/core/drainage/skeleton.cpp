#include "core/drainage/skeleton.h"

#include <array>
#include <cstdlib>

#include "core/drainage/network_value.h"

namespace orvane {

namespace {

constexpr std::uint8_t kObject = 255;
constexpr std::uint8_t kPad = 5;

// Border cells clockwise from the top-left, as (column, line) in the window.
constexpr int kRingColumn[8] = {0, 1, 2, 2, 2, 1, 0, 0};
constexpr int kRingLine[8] = {0, 0, 0, 1, 2, 2, 2, 1};

// Largest connected group of border cells that holds at least one `seed` cell and grows
// through `seed` or padding cells; `diagonal` allows steps to all eight neighbours.
int LargestRun(const std::uint8_t window[9], std::uint8_t seed, bool diagonal) {
  auto member = [&](int c, int l) {
    if (c == 1 && l == 1) return false;  // runs never pass through the centre
    const std::uint8_t v = window[l * 3 + c];
    return v == seed || v == kPad;
  };
  bool seen[9] = {};
  int best = 0;
  for (int k = 0; k < 8; ++k) {
    const int start = kRingLine[k] * 3 + kRingColumn[k];
    if (seen[start] || window[start] != seed) continue;
    int stack[9];
    int top = 0;
    int size = 0;
    stack[top++] = start;
    seen[start] = true;
    while (top > 0) {
      const int cell = stack[--top];
      ++size;
      const int c = cell % 3;
      const int l = cell / 3;
      for (int dl = -1; dl <= 1; ++dl) {
        for (int dc = -1; dc <= 1; ++dc) {
          if (dl == 0 && dc == 0) continue;
          if (!diagonal && dl != 0 && dc != 0) continue;
          const int nc = c + dc;
          const int nl = l + dl;
          if (nc < 0 || nc > 2 || nl < 0 || nl > 2) continue;
          const int n = nl * 3 + nc;
          if (seen[n] || !member(nc, nl)) continue;
          seen[n] = true;
          stack[top++] = n;
        }
      }
    }
    if (size > best) best = size;
  }
  return best;
}

// Border cells fall in four classes for the test: 0, padding 5, object 255, anything else.
// The test depends on nothing else, so it is tabulated once over the 4^8 border patterns.
int CellClass(std::uint8_t v) {
  switch (v) {
    case 0: return 0;
    case kPad: return 1;
    case kObject: return 2;
    default: return 3;
  }
}

constexpr std::uint8_t kClassValue[4] = {0, kPad, kObject, 77};

struct DeletableTable {
  std::array<bool, 1 << 16> deletable{};
  DeletableTable() {
    for (int key = 0; key < (1 << 16); ++key) {
      std::uint8_t window[9];
      window[4] = kObject;
      for (int k = 0; k < 8; ++k) {
        window[kRingLine[k] * 3 + kRingColumn[k]] = kClassValue[(key >> (2 * k)) & 3];
      }
      deletable[static_cast<std::size_t>(key)] = DeletableWindow(window);
    }
  }
};

const DeletableTable& Table() {
  static const DeletableTable table;
  return table;
}

}  // namespace

bool DeletableWindow(const std::uint8_t window[9]) {
  int objects = 0;
  for (int i = 0; i < 9; ++i) objects += window[i] == kObject ? 1 : 0;
  if (objects <= 2) return false;

  int r[8];
  for (int k = 0; k < 8; ++k) r[k] = window[kRingLine[k] * 3 + kRingColumn[k]] != 0 ? 1 : 0;
  const int sides = std::abs(r[7] - r[1]) + std::abs(r[1] - r[3]) + std::abs(r[3] - r[5]) +
                    std::abs(r[5] - r[7]);
  int corners = 0;
  for (int k = 0; k < 8; k += 2) {
    corners += r[k] * std::abs(r[k] - r[(k + 7) % 8]) * std::abs(r[k] - r[(k + 1) % 8]);
  }
  const int connectivity = static_cast<int>(0.5 * sides + corners);
  if (connectivity != 1) return false;

  if (LargestRun(window, 0, false) < 2) return false;
  return LargestRun(window, kObject, true) >= 2;
}

std::int64_t SkeletonizeGray(std::vector<std::uint8_t>& gray, int columns, int lines,
                             const ProgressSink* cancel, const std::uint8_t* ground) {
  if (columns <= 0 || lines <= 0) return 0;
  // Padded copy: a one-cell frame of 5 stands for the cells outside the raster.
  const int stride = columns + 2;
  const std::size_t padded = static_cast<std::size_t>(stride) * static_cast<std::size_t>(lines + 2);
  std::vector<std::uint8_t> g(padded, kPad);
  for (int y = 0; y < lines; ++y) {
    const std::uint8_t* in = gray.data() + static_cast<std::size_t>(y) * columns;
    std::uint8_t* out = g.data() + static_cast<std::size_t>(y + 1) * stride + 1;
    const std::uint8_t* onGround = ground ? ground + static_cast<std::size_t>(y) * columns : nullptr;
    for (int x = 0; x < columns; ++x) out[x] = onGround && !onGround[x] ? kPad : in[x];
  }

  // Offsets of the ring cells r0..r7 and of the side neighbours (north, south, east, west).
  const std::ptrdiff_t s = stride;
  const std::ptrdiff_t ring[8] = {-s - 1, -s, -s + 1, 1, s + 1, s, s - 1, -1};
  const std::ptrdiff_t side[4] = {-s, s, 1, -1};
  const auto& table = Table().deletable;

  // Pixels to examine per direction: those whose window changed since they were last examined
  // in that direction. At the start every object pixel is due in every direction.
  std::vector<std::uint8_t> due(padded, 0);
  std::array<std::vector<std::uint32_t>, 4> queue;
  for (int y = 1; y <= lines; ++y) {
    for (int x = 1; x <= columns; ++x) {
      const std::uint32_t i = static_cast<std::uint32_t>(y * stride + x);
      if (g[i] != kObject) continue;
      due[i] = 0x0F;
      for (auto& q : queue) q.push_back(i);
    }
  }

  std::int64_t removedTotal = 0;
  std::vector<std::uint32_t> removed;
  std::vector<std::uint32_t> work;
  for (;;) {
    bool any = false;
    for (int d = 0; d < 4; ++d) {
      work.clear();
      work.swap(queue[static_cast<std::size_t>(d)]);
      removed.clear();
      const std::uint8_t bit = static_cast<std::uint8_t>(1u << d);
      std::size_t examined = 0;
      for (const std::uint32_t i : work) {
        // A pass over a large network can take seconds: look at the cancel flag as often as
        // a line loop would.
        if (cancel && (++examined & 0xFFFF) == 0 && cancel->Cancelled()) return -1;
        due[i] = static_cast<std::uint8_t>(due[i] & ~bit);
        if (g[i] != kObject || g[i + side[d]] == kObject) continue;
        int key = 0;
        for (int k = 0; k < 8; ++k) key |= CellClass(g[i + ring[k]]) << (2 * k);
        if (table[static_cast<std::size_t>(key)]) removed.push_back(i);
      }
      if (removed.empty()) continue;
      any = true;
      removedTotal += static_cast<std::int64_t>(removed.size());
      for (const std::uint32_t i : removed) g[i] = 0;
      for (const std::uint32_t i : removed) {
        for (const std::ptrdiff_t o : ring) {
          const std::uint32_t n = static_cast<std::uint32_t>(static_cast<std::ptrdiff_t>(i) + o);
          if (g[n] != kObject || due[n] == 0x0F) continue;
          for (int dd = 0; dd < 4; ++dd) {
            const std::uint8_t b = static_cast<std::uint8_t>(1u << dd);
            if (due[n] & b) continue;
            due[n] = static_cast<std::uint8_t>(due[n] | b);
            queue[static_cast<std::size_t>(dd)].push_back(n);
          }
        }
      }
    }
    if (!any) break;
    if (cancel && cancel->Cancelled()) return -1;
  }

  for (int y = 0; y < lines; ++y) {
    std::uint8_t* out = gray.data() + static_cast<std::size_t>(y) * columns;
    const std::uint8_t* in = g.data() + static_cast<std::size_t>(y + 1) * stride + 1;
    const std::uint8_t* onGround = ground ? ground + static_cast<std::size_t>(y) * columns : nullptr;
    for (int x = 0; x < columns; ++x)
      if (!onGround || onGround[x]) out[x] = in[x];
  }
  return removedTotal;
}

std::unique_ptr<TRasterImage> Skeletonize(const TRasterImage& source) {
  if (!source.IsAllocated()) return nullptr;
  auto out = source.Clone();
  if (!out || !out->IsAllocated()) return nullptr;
  std::vector<std::uint8_t> gray = GrayValues(source);
  const std::vector<std::uint8_t> before = gray;
  SkeletonizeGray(gray, source.columns, source.lines);
  for (int y = 0; y < source.lines; ++y) {
    for (int x = 0; x < source.columns; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * source.columns + x;
      if (gray[i] != before[i]) out->SetValue(x, y, 0);
    }
  }
  return out;
}

}  // namespace orvane
