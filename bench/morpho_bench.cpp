// Drainage morphometry on a 2000 x 2000 terrain and the network extracted from it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "core/drainage/drainage_extraction.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/morphometry/drainage_fractal.h"
#include "core/morphometry/ratio_depth.h"

namespace orvane {
namespace {

constexpr int kSide = 2000;

// Rolling hills of several wavelengths, in decimetres: valleys at every scale.
std::unique_ptr<TDemModel> MakeTerrain() {
  auto dem = std::make_unique<TDemModel>(kSide, kSide, kDemInt32);
  for (int y = 0; y < kSide; ++y) {
    std::int32_t* row = dem->Int32Row(y);
    for (int x = 0; x < kSide; ++x) {
      double z = 5000.0;
      double amplitude = 2000.0, wave = 700.0;
      for (int octave = 0; octave < 5; ++octave) {
        z += amplitude * std::sin(x / wave + 1.3 * octave) * std::cos(y / (0.8 * wave) - octave);
        amplitude *= 0.5;
        wave *= 0.45;
      }
      row[x] = static_cast<std::int32_t>(z);
    }
  }
  dem->pixelSizeX = dem->pixelSizeY = 300.0f;  // 30 m pixels in decimetres
  dem->UpdateMinMax();
  return dem;
}

struct Scene {
  std::unique_ptr<TDemModel> dem = MakeTerrain();
  std::unique_ptr<TRasterImage> network;
  Scene() {
    ExtractionParams params;
    params.lowerRange = 1;
    params.upperRange = 4;
    network = std::move(ExtractDrainage(*dem, params)->network);
  }
};

const Scene& TheScene() {
  static const Scene scene;
  return scene;
}

void BM_FractalGlobal(benchmark::State& state) {
  const Scene& s = TheScene();
  const int ws = static_cast<int>(state.range(0));
  for (auto _ : state) {
    auto r = ComputeDrainageFractal(*s.network, {FractalMode::kGlobal, ws, 100});
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_FractalGlobal)->Arg(12)->Arg(24)->Unit(benchmark::kMillisecond);

void BM_FractalSegments(benchmark::State& state) {
  const Scene& s = TheScene();
  const int ws = static_cast<int>(state.range(0));
  for (auto _ : state) {
    auto r = ComputeDrainageFractal(*s.network, {FractalMode::kSegments, ws, 100});
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_FractalSegments)->Arg(12)->Arg(24)->Unit(benchmark::kMillisecond);

void BM_Dissection3D(benchmark::State& state) {
  const Scene& s = TheScene();
  for (auto _ : state) {
    auto r = ComputeDissection3D(*s.dem, *s.network, {static_cast<int>(state.range(0)), 10, 30});
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_Dissection3D)->Arg(51)->Unit(benchmark::kMillisecond);

void BM_RatioDepth(benchmark::State& state) {
  const Scene& s = TheScene();
  for (auto _ : state) {
    auto r = ComputeRatioDepth(*s.dem, *s.network, {static_cast<int>(state.range(0)), 255});
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_RatioDepth)->Arg(51)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane
