#include "core/surface/slope.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/common/parallel.h"

namespace orvane {

namespace {

struct Vec3 {
  double x, y, z;
};

inline Vec3 Sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Adds the unit, upward normal of the triangle (centre, a, b) to `sum`; a flat-degenerate
// triangle adds nothing. Same arithmetic, in the same order, as the DEM model's normal grid.
inline void AddTriangle(const Vec3& centre, const Vec3& a, const Vec3& b, Vec3& sum) {
  Vec3 n = Cross(Sub(centre, a), Sub(b, a));
  const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (length == 0.0) return;
  n = {n.x / length, n.y / length, n.z / length};
  if (n.z < 0.0) n = {-n.x, -n.y, -n.z};
  sum = {sum.x + n.x, sum.y + n.y, sum.z + n.z};
}

// Elevations of one line as doubles, exactly as GetElevation gives them.
void ReadElevations(const TDemModel& dem, int line, double* out) {
  if (dem.elementType == kDemInt32) {
    const std::int32_t* row = dem.Int32Row(line);
    const double offset = dem.offset, scale = dem.scale;
    for (int j = 0; j < dem.columns; ++j) out[j] = offset + scale * static_cast<double>(row[j]);
  } else {
    for (int j = 0; j < dem.columns; ++j) out[j] = dem.GetElevation(j, line);
  }
}

constexpr int kLinesPerChunk = 32;

}  // namespace

TClassTable SlopeTable(int number) {
  switch (number) {
    case 1:
    case 3:
      return TClassTable({{number == 1 ? 0.0f : 1.0f, 0, number == 1 ? 0 : 90, number == 1 ? 255 : 0},
                          {4.0f, 0, 128, 0},
                          {9.0f, 0, 160, 0},
                          {14.0f, 0, 255, 0},
                          {19.0f, 128, 255, 0},
                          {24.0f, 160, 255, 0},
                          {29.0f, 200, 255, 0},
                          {34.0f, 255, 255, 0},
                          {39.0f, 255, 225, 0},
                          {44.0f, 255, 160, 0},
                          {49.0f, 255, 128, 0},
                          {54.0f, 255, 90, 0},
                          {59.0f, 255, 0, 0},
                          {64.0f, 180, 0, 0}});
    case 2:
      return TClassTable({{1.0f, 0, 0, 255},
                          {3.0f, 0, 128, 128},
                          {8.0f, 0, 160, 0},
                          {15.0f, 128, 192, 0},
                          {22.0f, 255, 255, 0},
                          {30.0f, 255, 128, 0},
                          {45.0f, 255, 0, 0},
                          {90.0f, 0, 0, 0}});
    default:
      return TClassTable();
  }
}

double SlopeDegrees(float nx, float ny, float nz) {
  const double x = nx, y = ny, z = nz;
  const double length = std::sqrt(x * x + y * y + z * z);
  if (length == 0.0) return 0.0;
  return (std::numbers::pi / 2 - std::fabs(std::asin(z / length))) * 57.29577951308232;
}

Expected<TSlopeResult> ComputeSlope(const TDemModel& dem, const TSlopeParams& params,
                                    ProgressSink* progress) {
  if (!dem.IsAllocated() || dem.lines <= 0 || dem.columns <= 0) {
    return Error{kBadParameter, "No DEM is open"};
  }
  if (params.grayTones && params.normalization != 90 && params.normalization != 180 &&
      params.normalization != 255) {
    return Error{kBadParameter, "Normalization must be 90, 180 or 255"};
  }
  if (!params.grayTones && params.table.empty()) {
    return Error{kBadParameter, "The colour table is empty"};
  }
  const int W = dem.columns, H = dem.lines;
  auto image = std::make_unique<TRasterImage>(W, H, params.grayTones ? kRasterGray : kRasterRgb);
  if (image->allocError || !image->IsAllocated()) {
    return Error{kAllocationFailed, "Not enough memory for the slope image"};
  }

  const double px = dem.pixelSizeX, py = dem.pixelSizeY;
  const double levels = params.normalization - 1;
  TRasterImage& out = *image;

  ProgressScope scope(progress);
  const int chunks = (H + kLinesPerChunk - 1) / kLinesPerChunk;
  ParallelForLines(
      chunks,
      [&](int chunk) {
        const int first = chunk * kLinesPerChunk;
        const int last = std::min(H, first + kLinesPerChunk);
        // Three rolling rows of elevations: above, current, below.
        std::vector<double> rows(static_cast<std::size_t>(3) * W);
        double* above = rows.data();
        double* here = above + W;
        double* below = here + W;
        if (first > 0) ReadElevations(dem, first - 1, above);
        ReadElevations(dem, first, here);
        for (int i = first; i < last; ++i) {
          const bool hasU = i > 0, hasD = i + 1 < H;
          if (hasD) ReadElevations(dem, i + 1, below);
          const double xi = i * px;
          const double xu = (i - 1) * px;
          const double xd = (i + 1) * px;
          std::uint8_t* target = out.Row(i);
          for (int j = 0; j < W; ++j) {
            const double yj = j * py;
            const Vec3 centre{xi, yj, here[j]};
            const bool hasL = j > 0, hasR = j + 1 < W;
            Vec3 up{}, down{}, left{}, right{};
            if (hasU) up = {xu, yj, above[j]};
            if (hasD) down = {xd, yj, below[j]};
            if (hasL) left = {xi, (j - 1) * py, here[j - 1]};
            if (hasR) right = {xi, (j + 1) * py, here[j + 1]};
            Vec3 sum{0.0, 0.0, 0.0};
            if (hasU && hasR) AddTriangle(centre, up, right, sum);
            if (hasR && hasD) AddTriangle(centre, right, down, sum);
            if (hasD && hasL) AddTriangle(centre, down, left, sum);
            if (hasL && hasU) AddTriangle(centre, left, up, sum);
            const double s = SlopeDegrees(static_cast<float>(sum.x), static_cast<float>(sum.y),
                                          static_cast<float>(sum.z));
            if (params.grayTones) {
              target[j] = static_cast<std::uint8_t>(static_cast<int>(s * (1.0 / 90) * levels));
            } else {
              const TColor c = params.table.ColorOf(s, params.smoothing);
              std::uint8_t* p = target + 3 * static_cast<std::size_t>(j);
              p[0] = c.blue;
              p[1] = c.green;
              p[2] = c.red;
            }
          }
          // Roll the rows down by one line.
          double* oldAbove = above;
          above = here;
          here = below;
          below = oldAbove;
        }
      },
      progress, 1);
  if (scope.Cancelled()) return Error{kCancelled, "Slope computation cancelled"};
  return TSlopeResult{std::move(image)};
}

}  // namespace orvane
