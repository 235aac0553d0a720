// Slope and aspect on a 4000 x 4000 DEM, the size of a large survey sheet.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "core/surface/aspect.h"
#include "core/surface/slope.h"

namespace orvane {
namespace {

const TDemModel& BigDem() {
  static TDemModel dem = [] {
    constexpr int kSide = 4000;
    TDemModel d(kSide, kSide, kDemInt32);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> noise(-3, 3);
    for (int l = 0; l < kSide; ++l) {
      std::int32_t* row = d.Int32Row(l);
      for (int c = 0; c < kSide; ++c) {
        // Rolling hills with a little noise: every slope class and direction occurs.
        row[c] = static_cast<std::int32_t>(500 + 120 * std::sin(c * 0.01) * std::cos(l * 0.013)) +
                 noise(rng);
      }
    }
    d.pixelSizeX = d.pixelSizeY = 30.0f;
    return d;
  }();
  return dem;
}

void BM_SlopeGray(benchmark::State& state) {
  TSlopeParams p;
  p.grayTones = true;
  p.normalization = 255;
  for (auto _ : state) benchmark::DoNotOptimize(ComputeSlope(BigDem(), p));
}
BENCHMARK(BM_SlopeGray)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SlopeColourSmooth(benchmark::State& state) {
  TSlopeParams p;
  p.table = SlopeTable(1);
  p.smoothing = true;
  for (auto _ : state) benchmark::DoNotOptimize(ComputeSlope(BigDem(), p));
}
BENCHMARK(BM_SlopeColourSmooth)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AspectPainting(benchmark::State& state) {
  TAspectParams p;
  p.table = AspectPaintingPalette();
  for (auto _ : state) benchmark::DoNotOptimize(ComputeAspect(BigDem(), p));
}
BENCHMARK(BM_AspectPainting)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AspectGray(benchmark::State& state) {
  TAspectParams p;
  p.grayTones = true;
  p.normalization = 255;
  for (auto _ : state) benchmark::DoNotOptimize(ComputeAspect(BigDem(), p));
}
BENCHMARK(BM_AspectGray)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvane
