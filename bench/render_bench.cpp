// Relief rendering: shading, slices, cast shadows and the draped perspective surface on
// synthetic terrain of the sizes users open.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "core/render/cast_shadows.h"
#include "core/render/perspective.h"
#include "core/render/shading.h"
#include "core/render/slices.h"

namespace orvane {
namespace {

// Smooth hills with some roughness, in metres, pixel 30 m.
std::unique_ptr<TDemModel> Terrain(int side) {
  auto dem = std::make_unique<TDemModel>(side, side, kDemInt32);
  for (int l = 0; l < side; ++l)
    for (int c = 0; c < side; ++c) {
      const double z = 800 + 300 * std::sin(c * 0.013) * std::cos(l * 0.017) +
                       60 * std::sin(c * 0.11 + l * 0.07) + ((c * 7919 + l * 104729) % 13);
      dem->Int32Row(l)[c] = static_cast<std::int32_t>(z);
    }
  dem->pixelSizeX = dem->pixelSizeY = 30.0f;
  dem->UpdateMinMax();
  return dem;
}

void BM_RenderShaded(benchmark::State& state) {
  auto dem = Terrain(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(RenderShaded(*dem, TLightParams{}));
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
}
BENCHMARK(BM_RenderShaded)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderSlicesShadowed(benchmark::State& state) {
  auto dem = Terrain(static_cast<int>(state.range(0)));
  TClassTable table = HypsoTable(kSliceHypsoMap1);
  table.ScaleBounds(dem->minElevation, dem->maxElevation);
  const TLightParams light;
  for (auto _ : state) benchmark::DoNotOptimize(RenderSlices(*dem, &light, &table, 0.5, true));
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
}
BENCHMARK(BM_RenderSlicesShadowed)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderGrayTones(benchmark::State& state) {
  auto dem = Terrain(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(RenderSlices(*dem, nullptr, nullptr, 1.0, false));
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
}
BENCHMARK(BM_RenderGrayTones)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderCastShadows(benchmark::State& state) {
  auto dem = Terrain(static_cast<int>(state.range(0)));
  const double azimuth = 315.0 * 3.141592653589793 / 180.0;
  for (auto _ : state) benchmark::DoNotOptimize(RenderCastShadows(*dem, azimuth, 0.35, 0.4));
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
}
BENCHMARK(BM_RenderCastShadows)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderSurface(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  auto dem = Terrain(side);
  dem->smoothing3D = 1;
  auto drape = RenderShaded(*dem, TLightParams{});
  TView3D view;
  view.b = -0.7071f;
  view.cx = side * 30.0f / 2;
  view.cy = side * 30.0f / 2;
  view.cz = (dem->minElevation + dem->maxElevation) / 2;
  view.tx = 2 * 30.0f * side;
  view.ty = -view.cy;
  view.tz = -view.cz;
  view.width = 640;
  view.height = 480;
  view.sx = 320;
  view.sy = 240;
  for (auto _ : state) benchmark::DoNotOptimize(RenderSurface(*dem, *drape, view));
  state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_RenderSurface)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvane
