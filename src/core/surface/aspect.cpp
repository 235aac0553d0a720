#include "core/surface/aspect.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/common/parallel.h"

namespace orvane {

namespace {

constexpr int kLinesPerChunk = 32;

// Elevation truncated toward zero, held inside the 32-bit range.
inline std::int32_t TruncatedElevation(double z) {
  if (std::isnan(z)) return 0;
  if (z >= 2147483647.0) return 2147483647;
  if (z <= -2147483648.0) return -2147483647 - 1;
  return static_cast<std::int32_t>(z);
}

// Truncated elevations of one line; points into the model itself when no conversion changes
// the stored values.
const std::int32_t* TruncatedRow(const TDemModel& dem, int line, std::int32_t* buffer) {
  if (dem.elementType == kDemInt32 && dem.offset == 0.0f && dem.scale == 1.0f) {
    return dem.Int32Row(line);
  }
  if (dem.elementType == kDemInt32) {
    const std::int32_t* row = dem.Int32Row(line);
    const double offset = dem.offset, scale = dem.scale;
    for (int j = 0; j < dem.columns; ++j) {
      buffer[j] = TruncatedElevation(offset + scale * static_cast<double>(row[j]));
    }
  } else {
    for (int j = 0; j < dem.columns; ++j) buffer[j] = TruncatedElevation(dem.GetElevation(j, line));
  }
  return buffer;
}

}  // namespace

TClassTable AspectPaintingPalette() {
  return TClassTable({{15.0f, 255, 0, 0},
                      {45.0f, 255, 64, 0},
                      {75.0f, 255, 128, 0},
                      {105.0f, 255, 198, 0},
                      {135.0f, 255, 255, 0},
                      {165.0f, 198, 255, 64},
                      {195.0f, 128, 198, 128},
                      {225.0f, 0, 128, 255},
                      {255.0f, 0, 0, 255},
                      {285.0f, 128, 0, 255},
                      {315.0f, 198, 0, 194},
                      {345.0f, 255, 0, 194},
                      {360.0f, 255, 0, 0}});
}

TAspectCell AspectOfGradient(double gx, double gy, int normalization) {
  if (std::atan(std::sqrt(gx * gx + gy * gy)) * 180.0 * (1.0 / std::numbers::pi) < 1.0) return {};
  const double theta = std::atan2(-gx, gy) * 57.29577951308232;
  double a = 180.0 - theta;
  if (a < 0.0) a += 360.0;
  if (a >= 360.0) a -= 360.0;
  const double f = normalization * (1.0 / 360);
  return {static_cast<int>(a * f + 0.5), static_cast<int>(a + 0.5)};
}

Expected<TAspectResult> ComputeAspect(const TDemModel& dem, const TAspectParams& params,
                                      ProgressSink* progress) {
  if (!dem.IsAllocated() || dem.lines <= 0 || dem.columns <= 0) {
    return Error{kBadParameter, "No DEM is open"};
  }
  if (params.normalization < 1 || params.normalization > 360) {
    return Error{kBadParameter, "Normalization must be 18, 36, 90, 180, 255 or 360"};
  }
  if (!params.grayTones && params.table.empty()) {
    return Error{kBadParameter, "The colour table is empty"};
  }
  const int W = dem.columns, H = dem.lines;
  auto image = std::make_unique<TRasterImage>(W, H, params.grayTones ? kRasterGray : kRasterRgb);
  if (image->allocError || !image->IsAllocated()) {
    return Error{kAllocationFailed, "Not enough memory for the aspect image"};
  }
  TAspectResult result;
  result.image = std::move(image);
  TRasterImage& out = *result.image;

  // Level values are whole numbers 0 .. N (and kFlatLevel), so their colours are looked up once.
  std::vector<TColor> levelColour;
  if (!params.grayTones) {
    levelColour.resize(static_cast<std::size_t>(params.normalization) + 1);
    for (int v = 0; v <= params.normalization; ++v) {
      levelColour[static_cast<std::size_t>(v)] = params.table.ColorOf(v, params.smoothing);
    }
  }
  const double p = dem.pixelSizeX;
  const double factor = p / 8;

  ProgressScope scope(progress);
  const int interior = std::max(0, H - 2);
  const int chunks = (interior + kLinesPerChunk - 1) / kLinesPerChunk;
  std::vector<TDirectionHistogram> chunkHistograms(static_cast<std::size_t>(chunks));
  if (W >= 3) {
    ParallelForLines(
        chunks,
        [&](int chunk) {
          TDirectionHistogram& histogram = chunkHistograms[static_cast<std::size_t>(chunk)];
          histogram.fill(0);
          std::vector<std::int32_t> buffers(static_cast<std::size_t>(3) * W);
          const int first = 1 + chunk * kLinesPerChunk;
          const int last = std::min(H - 1, first + kLinesPerChunk);
          for (int i = first; i < last; ++i) {
            const std::int32_t* a = TruncatedRow(dem, i - 1, buffers.data());
            const std::int32_t* m = TruncatedRow(dem, i, buffers.data() + W);
            const std::int32_t* b = TruncatedRow(dem, i + 1, buffers.data() + 2 * W);
            std::uint8_t* target = out.Row(i);
            for (int j = 1; j < W - 1; ++j) {
              const std::int64_t sx = -static_cast<std::int64_t>(a[j - 1]) + a[j + 1] -
                                      2 * static_cast<std::int64_t>(m[j - 1]) + 2 * static_cast<std::int64_t>(m[j + 1]) -
                                      b[j - 1] + b[j + 1];
              const std::int64_t sy = static_cast<std::int64_t>(a[j - 1]) + 2 * static_cast<std::int64_t>(a[j]) +
                                      a[j + 1] - b[j - 1] - 2 * static_cast<std::int64_t>(b[j]) - b[j + 1];
              const TAspectCell cell = AspectOfGradient(static_cast<double>(sx) * factor,
                                                        static_cast<double>(sy) * factor,
                                                        params.normalization);
              if (cell.bin >= 0) ++histogram[static_cast<std::size_t>(cell.bin)];
              if (params.grayTones) {
                target[j] = static_cast<std::uint8_t>(std::min(cell.level, 255));
              } else {
                const TColor c = cell.bin < 0 ? Rgb(255, 255, 255)
                                              : levelColour[static_cast<std::size_t>(
                                                    std::min(cell.level, params.normalization))];
                std::uint8_t* px = target + 3 * static_cast<std::size_t>(j);
                px[0] = c.blue;
                px[1] = c.green;
                px[2] = c.red;
              }
            }
          }
        },
        progress, 1);
  }
  if (scope.Cancelled()) return Error{kCancelled, "Aspect computation cancelled"};
  for (const TDirectionHistogram& h : chunkHistograms) {
    for (int k = 0; k < kDirectionBins; ++k) result.histogram[static_cast<std::size_t>(k)] += h[static_cast<std::size_t>(k)];
  }
  return result;
}

}  // namespace orvane
