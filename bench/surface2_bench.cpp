// Local fractal dimension, total depth and surface 3D on a 2000 x 2000 DEM.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "core/surface/local_fractal.h"
#include "core/surface/surface3d.h"
#include "core/surface/total_depth.h"

namespace orvane {
namespace {

const TDemModel& Dem2000() {
  static TDemModel dem = [] {
    constexpr int kSide = 2000;
    TDemModel d(kSide, kSide, kDemInt32);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> noise(-4, 4);
    for (int l = 0; l < kSide; ++l) {
      std::int32_t* row = d.Int32Row(l);
      for (int c = 0; c < kSide; ++c) {
        // Valleys and ridges with noise: every column height of the voxel windows occurs.
        row[c] = static_cast<std::int32_t>(600 + 150 * std::sin(c * 0.02) * std::cos(l * 0.017)) +
                 noise(rng);
      }
    }
    d.pixelSizeX = d.pixelSizeY = 30.0f;
    return d;
  }();
  return dem;
}

void BM_LocalFractal(benchmark::State& state) {
  LocalFractalParams p;
  p.windowSize = static_cast<int>(state.range(0));
  p.factorH = 0.1;
  p.pixelSize = 30;
  for (auto _ : state) benchmark::DoNotOptimize(ComputeLocalFractal(Dem2000(), p));
}
BENCHMARK(BM_LocalFractal)->Arg(12)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TotalDepth51(benchmark::State& state) {
  for (auto _ : state) {
    auto relief = ComputeTotalDepthRelief(Dem2000(), 51);
    const TClassTable table =
        TotalDepthClassTable(kDepthColored, true, relief->minimum, relief->maximum);
    benchmark::DoNotOptimize(RenderTotalDepth(*relief, kDepthColored, table, true));
  }
}
BENCHMARK(BM_TotalDepth51)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Surface3D51(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ComputeSurface3D(Dem2000(), {51}));
}
BENCHMARK(BM_Surface3D51)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvane
