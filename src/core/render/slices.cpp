#include "core/render/slices.h"

#include <algorithm>
#include <new>
#include <vector>

#include "core/common/parallel.h"
#include "core/terrain/elevation_rows.h"
#include "core/render/shading.h"

namespace orvane {

const std::vector<std::string>& SliceTableNames() {
  static const std::vector<std::string> names = {"None",       "HypsoMap 1",   "HypsoMap 2",
                                                 "HypsoMap 3", "Personalized", "Gray Tones"};
  return names;
}

TClassTable HypsoTable(int index) {
  switch (index) {
    case kSliceHypsoMap1:
      return TClassTable({{0, 0, 90, 0},       {50, 0, 128, 0},     {100, 0, 160, 0},
                          {200, 0, 255, 0},    {400, 128, 255, 0},  {800, 160, 255, 0},
                          {1500, 200, 255, 0}, {2000, 255, 255, 0}, {3000, 255, 225, 0},
                          {4000, 255, 160, 0}, {5000, 255, 128, 0}, {6000, 255, 90, 0},
                          {7000, 255, 0, 0}});
    case kSliceHypsoMap2:
      return TClassTable({{0, 0, 0, 255},      {50, 0, 128, 0},     {100, 0, 160, 0},
                          {200, 0, 192, 0},    {400, 0, 255, 0},    {800, 255, 255, 0},
                          {1500, 255, 128, 0}, {2000, 255, 0, 0},   {2500, 192, 0, 0},
                          {3000, 128, 0, 0},   {4000, 64, 0, 0},    {5000, 128, 128, 128},
                          {6000, 255, 255, 255}});
    case kSliceHypsoMap3:
      return TClassTable({{0, 0, 0, 0},         {50, 128, 64, 64},    {100, 192, 0, 0},
                          {200, 255, 0, 0},     {500, 255, 128, 0},   {1000, 255, 192, 0},
                          {2000, 255, 255, 0},  {3000, 255, 255, 128}, {4000, 255, 255, 192},
                          {5000, 255, 255, 255}});
    default:
      return TClassTable();
  }
}

namespace {

// Gray level of an elevation: truncated (z - min) / a, the maximum itself always 255 (the
// quotient of the range by its 255th part can fall a hair short of 255).
int GrayTone(double z, double min, double max, double a) {
  if (z >= max) return 255;
  const double level = (z - min) / a;
  if (!(level > 0.0)) return 0;
  return std::min(255, static_cast<int>(level));
}

}  // namespace

std::unique_ptr<TRasterImage> RenderSlices(const TDemModel& dem, const TLightParams* light,
                                           const TClassTable* table, double weight,
                                           bool smoothing, ProgressSink* progress) {
  if (dem.lines < 0 || dem.lines > kMaxDemSide || dem.columns < 0 || dem.columns > kMaxDemSide)
    return nullptr;
  ProgressScope scope(progress);
  const double min = dem.minElevation;
  const double max = dem.maxElevation;
  const double a = (max - min) / 255.0;
  if (a == 0.0 || !dem.IsAllocated()) return NewRasterOrNull(dem.columns, dem.lines, kRasterGray);

  if (light == nullptr || table == nullptr || table->empty()) {
    auto raster = NewRasterOrNull(dem.columns, dem.lines, kRasterGray);
    if (!raster) return nullptr;
    ParallelForLines(
        dem.lines,
        [&](int i) {
          thread_local std::vector<double> row;
          row.resize(static_cast<std::size_t>(dem.columns));
          LoadElevationRow(dem, i, row.data());
          std::uint8_t* out = raster->Row(i);
          for (int j = 0; j < dem.columns; ++j)
            out[j] = static_cast<std::uint8_t>(GrayTone(row[j], min, max, a));
        },
        progress);
    if (scope.Cancelled()) return nullptr;
    scope.Step(1.0);
    return raster;
  }

  auto raster = NewRasterOrNull(dem.columns, dem.lines, kRasterRgb);
  if (!raster) return nullptr;
  const TShadeKernel kernel(dem, *light);
  const double w = weight;
  ParallelForLines(
      dem.lines,
      [&](int i) {
        thread_local std::vector<double> upper, lower;
        upper.resize(static_cast<std::size_t>(dem.columns));
        lower.resize(static_cast<std::size_t>(dem.columns));
        LoadElevationRow(dem, i, upper.data());
        const bool shadedLine = i + 1 < dem.lines;
        if (shadedLine) LoadElevationRow(dem, i + 1, lower.data());
        std::uint8_t* out = raster->Row(i);
        for (int j = 0; j < dem.columns; ++j) {
          // The shaded relief's pixel, exactly as RenderShaded makes it.
          int shade = 0;
          if (shadedLine && j + 1 < dem.columns)
            shade = static_cast<int>(
                static_cast<float>(kernel(upper[j], upper[j + 1], lower[j]) * 255.0));
          const TColor slice = table->ColorOf(upper[j], smoothing);
          auto blend = [&](int s) {
            return static_cast<std::uint8_t>(
                std::clamp(static_cast<int>(shade * (1.0 - w) + s * w), 0, 255));
          };
          out[3 * j] = blend(slice.blue);
          out[3 * j + 1] = blend(slice.green);
          out[3 * j + 2] = blend(slice.red);
        }
      },
      progress);
  if (scope.Cancelled()) return nullptr;
  scope.Step(1.0);
  return raster;
}

}  // namespace orvane
