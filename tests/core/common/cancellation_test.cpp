// Cancellation: line loops stop within a line per worker, the thinning stops and leaves its
// grid alone, and a treatment cancelled before its end gives kCancelled, never a partial image.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "core/common/parallel.h"
#include "core/drainage/dissection_density.h"
#include "core/drainage/drainage_extraction.h"
#include "core/drainage/headwaters_density.h"
#include "core/drainage/skeleton.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/morphometry/drainage_fractal.h"
#include "core/morphometry/ratio_depth.h"
#include "core/surface/circular_window.h"
#include "core/surface/contour_lines.h"
#include "core/surface/convexity.h"
#include "core/surface/horizontal_surfaces.h"
#include "core/surface/local_fractal.h"
#include "core/surface/slope.h"
#include "core/surface/surface3d.h"
#include "core/surface/total_depth.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {
namespace {

// A sink that turns cancelled after `after` polls, from whichever thread polls.
class CancelAfter : public ProgressSink {
 public:
  explicit CancelAfter(int after) : left_(after) {}
  bool Cancelled() const override { return left_.fetch_sub(1) <= 0; }

 private:
  mutable std::atomic<int> left_;
};

TEST(Cancellation, EveryWorkerOfALineLoopStopsSoonAfterACancel) {
  CancelAfter sink(20);
  std::atomic<int> lines{0};
  ParallelForLines(4000, [&](int) { lines.fetch_add(1); }, &sink);
  // Each worker finishes at most the line it is on once the flag is seen.
  EXPECT_LT(lines.load(), 20 + 2 * WorkerCount());
  EXPECT_GT(lines.load(), 0);
}

TEST(Cancellation, ThinningStopsAndLeavesTheGridAsGiven) {
  const int columns = 300, lines = 200;
  std::vector<std::uint8_t> gray(static_cast<std::size_t>(columns) * lines, 0);
  for (int l = 20; l < 180; ++l)
    for (int c = 20; c < 280; ++c) gray[static_cast<std::size_t>(l) * columns + c] = 255;
  const std::vector<std::uint8_t> before = gray;
  CancelAfter sink(0);
  EXPECT_EQ(SkeletonizeGray(gray, columns, lines, &sink), -1);
  EXPECT_EQ(gray, before);
  EXPECT_GT(SkeletonizeGray(gray, columns, lines), 0);  // without a sink it runs to the end
}

template <class T>
int CodeOf(const Expected<T>& result) {
  return result ? kOk : result.error().code;
}

class AlwaysCancelled : public ProgressSink {
 public:
  bool Cancelled() const override { return true; }
};

TEST(Cancellation, TreatmentsCancelledFromTheStartGiveNoResult) {
  const int w = 80, h = 60;
  auto dem = std::make_unique<TDemModel>(w, h, kDemInt32);
  for (int l = 0; l < h; ++l)
    for (int c = 0; c < w; ++c) dem->Int32Row(l)[c] = 200 + 5 * std::abs(c % 12 - 6) + l / 3;
  dem->pixelSizeX = dem->pixelSizeY = 90.0f;
  dem->UpdateMinMax();
  TRasterImage network(w, h, kRasterGray);
  for (int l = 0; l < h; ++l)
    for (int c = 0; c < w; ++c) network.SetValue(c, l, (l == 30 || c == 20) ? 0 : 255);

  AlwaysCancelled sink;
  TSlopeParams slope;
  slope.table = SlopeTable(2);
  Dissection3DParams dissection3d;
  dissection3d.windowSize = 11;
  dissection3d.unitDivisor = 1;
  dissection3d.pixelSize = 90;
  const std::vector<std::pair<const char*, int>> codes = {
      {"slope", CodeOf(ComputeSlope(*dem, slope, &sink))},
      {"circular", CodeOf(ComputeCircularWindow(*dem, {5, 3}, &sink))},
      {"convexity", CodeOf(ComputeConvexity(*dem, {5, 100}, &sink))},
      {"horizontal", CodeOf(ComputeHorizontalSurfaces(*dem, {3, 100, true}, &sink))},
      {"concavity", CodeOf(ComputeConcavity(*dem, {5, 100}, &sink))},
      {"local fractal", CodeOf(ComputeLocalFractal(*dem, {12, 0.05, 1, 90}, &sink))},
      {"total depth", CodeOf(ComputeTotalDepthRelief(*dem, 11, &sink))},
      {"surface 3D", CodeOf(ComputeSurface3D(*dem, {11}, &sink))},
      {"contour lines", CodeOf(ComputeContourLines(*dem, {200, 300, 10, 1}, &sink))},
      {"extraction", CodeOf(ExtractDrainage(*dem, ExtractionParams{1, 5, kNetworkBlack, 0}, &sink))},
      {"dissection", CodeOf(ComputeDissectionDensity(network, {DensityTiling::kMoving, DensityMeasure::kPixels, 11}, &sink))},
      {"headwaters", CodeOf(HeadwatersDensity(network, *dem, {3, 100}, &sink))},
      {"drainage fractal", CodeOf(ComputeDrainageFractal(network, {FractalMode::kGlobal, 12, 100}, &sink))},
      {"3D dissection", CodeOf(ComputeDissection3D(*dem, network, dissection3d, &sink))},
      {"ratio depth", CodeOf(ComputeRatioDepth(*dem, network, {11, 255}, &sink))},
  };
  for (const auto& [name, code] : codes) EXPECT_EQ(code, kCancelled) << name;
}

}  // namespace
}  // namespace orvane
