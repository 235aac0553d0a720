// Shape, contour-density and circular-window treatments on a 2000 x 2000 DEM.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "core/surface/circular_window.h"
#include "core/surface/contour_density.h"
#include "core/surface/convexity.h"
#include "core/surface/horizontal_surfaces.h"

namespace orvane {
namespace {

const TDemModel& SurfaceDem() {
  static TDemModel dem = [] {
    constexpr int kSide = 2000;
    TDemModel d(kSide, kSide, kDemInt32);
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> noise(-4, 4);
    for (int l = 0; l < kSide; ++l) {
      std::int32_t* row = d.Int32Row(l);
      for (int c = 0; c < kSide; ++c)
        row[c] = static_cast<std::int32_t>(600 + 250 * std::sin(c * 0.006) * std::cos(l * 0.009)) + noise(rng);
    }
    d.pixelSizeX = d.pixelSizeY = 30.0f;
    d.UpdateMinMax();
    return d;
  }();
  return dem;
}

void BM_Convexity(benchmark::State& state) {
  const ShapeParams params{static_cast<int>(state.range(0)), 255};
  for (auto _ : state) benchmark::DoNotOptimize(ComputeConvexity(SurfaceDem(), params));
}
BENCHMARK(BM_Convexity)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HorizontalBinary(benchmark::State& state) {
  const HorizontalParams params{static_cast<int>(state.range(0)), 255, true};
  for (auto _ : state) benchmark::DoNotOptimize(ComputeHorizontalSurfaces(SurfaceDem(), params));
}
BENCHMARK(BM_HorizontalBinary)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

// Argument 0: squared grid, 1: moving window; window 51, interval 5 m (about 100 levels).
void BM_ContourDensity(benchmark::State& state) {
  ContourDensityParams params;
  params.window = 51;
  params.interval = 5;
  params.tiling = static_cast<DensityTiling>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(ComputeContourDensity(SurfaceDem(), params));
}
BENCHMARK(BM_ContourDensity)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Arguments: statistic 1 .. 6, radius.
void BM_CircularWindow(benchmark::State& state) {
  const CircularParams params{static_cast<int>(state.range(1)), static_cast<int>(state.range(0))};
  for (auto _ : state) benchmark::DoNotOptimize(ComputeCircularWindow(SurfaceDem(), params));
}
BENCHMARK(BM_CircularWindow)
    ->ArgsProduct({{1, 2, 3, 4, 5, 6}, {10, 25}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace orvane
