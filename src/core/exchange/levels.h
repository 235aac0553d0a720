// Levels adjustment of the image in the DEM window: per colour channel a minimum and a maximum
// that stretch [lo, hi] over 0..255 (below lo gives 0, above hi 255), optionally linked across
// the three channels. The bounds always keep lo < hi.
#pragma once

#include <array>
#include <cstdint>

#include "core/terrain/raster_image.h"

namespace orvane {

using TLevelsTable = std::array<std::uint32_t, 256>;

// v < lo: 0; lo <= v <= hi: trunc((v - lo) * 255 / (hi - lo)); v > hi: 255.
TLevelsTable LevelsTable(int lo, int hi);

// Histogram as the dialog shows it after stretching: values below lo in bin 0, above hi in 255,
// v in between in bin (v - lo) * 255 / (hi - lo).
THistogram256 StretchedHistogram(const THistogram256& counts, int lo, int hi);

enum LevelsChannel { kLevelsRed = 0, kLevelsGreen = 1, kLevelsBlue = 2 };

class LevelsState {
 public:
  struct Bounds {
    int lo = 0;
    int hi = 255;
  };

  // Back to 0..255 on every channel; link on for gray images (and locked), off for colour.
  void Reset(bool grayImage);

  // A minimum at or above the maximum pushes the maximum to minimum + 1, and the reverse; with
  // the link on the other channels take this channel's bounds.
  void SetMinimum(int channel, int value);
  void SetMaximum(int channel, int value);
  // Ticking the link gives every channel the least minimum and the greatest maximum.
  void SetLinked(bool linked);

  bool Linked() const { return linked_; }
  bool LinkLocked() const { return linkLocked_; }
  const Bounds& Channel(int channel) const { return bounds_[static_cast<std::size_t>(channel)]; }

  TLevelsTable Table(int channel) const {
    return LevelsTable(Channel(channel).lo, Channel(channel).hi);
  }
  // The image with the three tables applied (gray images average the three results).
  std::unique_ptr<TRasterImage> Apply(const TRasterImage& image) const;

 private:
  void Propagate(int channel);

  std::array<Bounds, 3> bounds_{};
  bool linked_ = false;
  bool linkLocked_ = false;
};

}  // namespace orvane
