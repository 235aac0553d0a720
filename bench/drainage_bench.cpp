// Drainage treatments on a 2000 x 2000 DEM: extraction with upper range 10, the four
// dissection-density variants with a 51-pixel window, headwaters density with half window 25.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "core/drainage/density_image.h"
#include "core/drainage/dissection_density.h"
#include "core/drainage/drainage_extraction.h"
#include "core/drainage/headwaters_density.h"

namespace {

using namespace orvane;

constexpr int kSide = 2000;

// Rolling relief with valleys every few dozen pixels and some noise.
const TDemModel& BenchDem() {
  static const std::unique_ptr<TDemModel> dem = [] {
    auto d = std::make_unique<TDemModel>(kSide, kSide, kDemInt32);
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> noise(0, 3);
    for (int y = 0; y < kSide; ++y) {
      std::int32_t* row = d->Int32Row(y);
      for (int x = 0; x < kSide; ++x) {
        const double relief = 400.0 + 60.0 * std::sin(x * 0.043) * std::cos(y * 0.031) +
                              25.0 * std::sin((x + 2 * y) * 0.11);
        row[x] = static_cast<std::int32_t>(relief) + noise(rng);
      }
    }
    d->pixelSizeX = d->pixelSizeY = 90.0f;
    d->UpdateMinMax();
    return d;
  }();
  return *dem;
}

const TRasterImage& BenchNetwork() {
  static const std::unique_ptr<TRasterImage> net = [] {
    auto r = ExtractDrainage(BenchDem(), {1, 4, kNetworkBlack, 0});
    return std::move(r->network);
  }();
  return *net;
}

void BM_ExtractDrainageUpper10(benchmark::State& state) {
  const TDemModel& dem = BenchDem();
  for (auto _ : state) {
    auto r = ExtractDrainage(dem, {1, 10, kNetworkBlue, 0});
    benchmark::DoNotOptimize(r->networkCells);
  }
}
BENCHMARK(BM_ExtractDrainageUpper10)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Dissection(benchmark::State& state) {
  const TRasterImage& net = BenchNetwork();
  DissectionParams params;
  params.tiling = state.range(0) == 0 ? DensityTiling::kGrid : DensityTiling::kMoving;
  params.measure = state.range(1) == 0 ? DensityMeasure::kPixels : DensityMeasure::kLength;
  params.windowSize = 51;
  const TClassTable table = DensityDefaultTable(kColoredPalette);
  for (auto _ : state) {
    auto field = ComputeDissectionDensity(net, params);
    auto image = RenderDensityField(*field, kColoredPalette, table, true);
    benchmark::DoNotOptimize(image->bound);
  }
}
BENCHMARK(BM_Dissection)
    ->ArgNames({"moving", "length"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_HeadwatersHalfWindow25(benchmark::State& state) {
  const TRasterImage& net = BenchNetwork();
  const TDemModel& dem = BenchDem();
  for (auto _ : state) {
    auto r = HeadwatersDensity(net, dem, {25, 100});
    benchmark::DoNotOptimize(r->maximum);
  }
}
BENCHMARK(BM_HeadwatersHalfWindow25)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

