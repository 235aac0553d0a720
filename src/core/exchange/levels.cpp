#include "core/exchange/levels.h"

#include <algorithm>

namespace orvane {

TLevelsTable LevelsTable(int lo, int hi) {
  TLevelsTable table{};
  for (int v = 0; v < 256; ++v) {
    if (v < lo) {
      table[v] = 0;
    } else if (v > hi) {
      table[v] = 255;
    } else {
      table[v] = hi > lo ? static_cast<std::uint32_t>((v - lo) * 255 / (hi - lo)) : 255;
    }
  }
  return table;
}

THistogram256 StretchedHistogram(const THistogram256& counts, int lo, int hi) {
  THistogram256 shown{};
  for (int v = 0; v < 256; ++v) {
    int bin = 0;
    if (v < lo) {
      bin = 0;
    } else if (v > hi) {
      bin = 255;
    } else {
      bin = hi > lo ? (v - lo) * 255 / (hi - lo) : 255;
    }
    shown[static_cast<std::size_t>(bin)] += counts[static_cast<std::size_t>(v)];
  }
  return shown;
}

void LevelsState::Reset(bool grayImage) {
  bounds_.fill(Bounds{});
  linked_ = grayImage;
  linkLocked_ = grayImage;
}

void LevelsState::SetMinimum(int channel, int value) {
  Bounds& b = bounds_[static_cast<std::size_t>(channel)];
  b.lo = std::clamp(value, 0, 254);
  if (b.lo >= b.hi) b.hi = b.lo + 1;
  Propagate(channel);
}

void LevelsState::SetMaximum(int channel, int value) {
  Bounds& b = bounds_[static_cast<std::size_t>(channel)];
  b.hi = std::clamp(value, 1, 255);
  if (b.hi <= b.lo) b.lo = b.hi - 1;
  Propagate(channel);
}

void LevelsState::SetLinked(bool linked) {
  if (linkLocked_) linked = true;
  linked_ = linked;
  if (!linked_) return;
  int lo = 255;
  int hi = 0;
  for (const Bounds& b : bounds_) {
    lo = std::min(lo, b.lo);
    hi = std::max(hi, b.hi);
  }
  bounds_.fill(Bounds{lo, hi});
}

void LevelsState::Propagate(int channel) {
  if (!linked_) return;
  const Bounds b = bounds_[static_cast<std::size_t>(channel)];
  bounds_.fill(b);
}

std::unique_ptr<TRasterImage> LevelsState::Apply(const TRasterImage& image) const {
  return image.ApplyTables(Table(kLevelsRed), Table(kLevelsGreen), Table(kLevelsBlue));
}

}  // namespace orvane
