#include "core/render/perspective.h"

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <cmath>
#include <new>
#include <thread>

#include "core/common/parallel.h"
#include "core/terrain/elevation_rows.h"
#include "core/terrain/float_grid.h"

namespace orvane {

namespace {

constexpr TColor kBackgroundGray{128, 128, 128};
constexpr float kFarthest = 3.4028235e38f;

std::unique_ptr<TRasterImage> NewRgb(int columns, int lines, const TColor& fill) {
  auto raster = NewRasterOrNull(columns, lines, kRasterRgb);
  if (raster) raster->Fill(fill);
  return raster;
}

// Region code against [0, width - 1] x [0, height - 1]: 0 / 10 / 20 for above / inside /
// below, plus 0 / 1 / 2 for left / inside / right.
int RegionCode(int x, int y, int width, int height) {
  const int vertical = y < 0 ? 0 : (y > height - 1 ? 20 : 10);
  const int horizontal = x < 0 ? 0 : (x > width - 1 ? 2 : 1);
  return vertical + horizontal;
}

// Line i of the DEM projected, point by point (the same arithmetic for every caller).
void ProjectLine(const TDemModel& dem, const TView3D& view, int i, std::vector<double>& row,
                 TProjectedPoint* out) {
  row.resize(static_cast<std::size_t>(dem.columns));
  LoadElevationRow(dem, i, row.data());
  const double px = dem.pixelSizeX, py = dem.pixelSizeY;
  for (int j = 0; j < dem.columns; ++j) out[j] = ProjectPoint(view, j * px, i * py, row[j]);
}

// Colour of every grid point from the draped raster: its own pixel, or the mean over the
// (2k + 1)^2 window (pixels inside the raster only, integer division) through summed-area
// tables. Points without any raster pixel take the background gray.
bool GridPointColours(const TDemModel& dem, const TRasterImage& drape, std::uint32_t smoothing,
                      std::vector<TColor>& colours) {
  try {
    colours.assign(static_cast<std::size_t>(dem.lines) * dem.columns, kBackgroundGray);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const int k = static_cast<int>(std::min<std::uint32_t>(smoothing, 1u << 20));
  if (k == 0) {
    ParallelForLines(dem.lines, [&](int i) {
      for (int j = 0; j < dem.columns; ++j) {
        TColor c;
        if (drape.GetColor(j, i, c) == 0) colours[static_cast<std::size_t>(i) * dem.columns + j] = c;
      }
    });
    return true;
  }
  const int dl = std::max(drape.lines, 0);
  const int dc = std::max(drape.columns, 0);
  // Window sums without a whole-raster table: per block of grid lines, column sums over the
  // window's raster lines (added and removed as the window moves down), then prefix sums along
  // the line. 32-bit unsigned sums wrap exactly as the differences of a 32-bit table would.
  constexpr int kBlockLines = 64;
  ParallelForLines((dem.lines + kBlockLines - 1) / kBlockLines, [&](int block) {
    const int first = block * kBlockLines;
    const int last = std::min(dem.lines, first + kBlockLines);
    std::vector<std::uint32_t> column[3], prefix[3];
    for (int ch = 0; ch < 3; ++ch) {
      column[ch].assign(static_cast<std::size_t>(dc), 0);
      prefix[ch].assign(static_cast<std::size_t>(dc) + 1, 0);
    }
    auto addLine = [&](int l, bool add) {
      for (int c = 0; c < dc; ++c) {
        TColor px;
        drape.GetColor(c, l, px);
        const std::uint32_t value[3] = {px.blue, px.green, px.red};
        for (int ch = 0; ch < 3; ++ch) {
          std::uint32_t& sum = column[ch][static_cast<std::size_t>(c)];
          sum = add ? sum + value[ch] : sum - value[ch];
        }
      }
    };
    int top = 0, bottom = -1;  // raster lines summed in `column`: top .. bottom
    for (int i = first; i < last; ++i) {
      const int l0 = std::max(i - k, 0), l1 = std::min(i + k, dl - 1);
      if (l0 > l1) continue;
      if (top > bottom) top = bottom + 1;  // nothing summed yet
      if (l0 > bottom) {  // the window jumped past the summed lines: start again
        for (int ch = 0; ch < 3; ++ch) std::fill(column[ch].begin(), column[ch].end(), 0u);
        top = l0;
        bottom = l0 - 1;
      }
      while (bottom < l1) addLine(++bottom, true);
      while (top < l0) addLine(top++, false);
      for (int ch = 0; ch < 3; ++ch) {
        for (int c = 0; c < dc; ++c)
          prefix[ch][static_cast<std::size_t>(c) + 1] = prefix[ch][static_cast<std::size_t>(c)] + column[ch][static_cast<std::size_t>(c)];
      }
      for (int j = 0; j < dem.columns; ++j) {
        const int c0 = std::max(j - k, 0), c1 = std::min(j + k, dc - 1);
        if (c0 > c1) continue;
        const std::uint32_t count = static_cast<std::uint32_t>(l1 - l0 + 1) * (c1 - c0 + 1);
        std::uint8_t mean[3];
        for (int ch = 0; ch < 3; ++ch) {
          const std::uint32_t sum = prefix[ch][static_cast<std::size_t>(c1) + 1] - prefix[ch][static_cast<std::size_t>(c0)];
          mean[ch] = static_cast<std::uint8_t>(sum / count);
        }
        colours[static_cast<std::size_t>(i) * dem.columns + j] = TColor{mean[0], mean[1], mean[2]};
      }
    }
  });
  return true;
}

struct SurfaceJob {
  const TDemModel& dem;
  const std::vector<TColor>& colours;
  TRasterImage& target;
  TFloatGrid& depth;
};

void Plot(SurfaceJob& job, int x, int y, double depth, int red, int green, int blue) {
  const float d = static_cast<float>(depth);
  float& cell = job.depth.At(x, y);
  if (d < cell) {
    cell = d;
    std::uint8_t* p = job.target.Row(y) + 3 * static_cast<std::size_t>(x);
    p[0] = static_cast<std::uint8_t>(blue);
    p[1] = static_cast<std::uint8_t>(green);
    p[2] = static_cast<std::uint8_t>(red);
  }
}

// Draws the cells of DEM line i whose pixels fall on output lines [bandTop, bandEnd), from the
// projected points of lines i (`upper`) and i + 1 (`lower`).
void DrawCellLine(SurfaceJob& job, int i, const TProjectedPoint* upper, const TProjectedPoint* lower,
                  int bandTop, int bandEnd) {
  const int columns = job.dem.columns;
  const int width = job.target.columns;
  const int height = job.target.lines;
  for (int j = 0; j + 1 < columns; ++j) {
    const std::size_t i0 = static_cast<std::size_t>(i) * columns + j;
    const std::size_t i1 = i0 + columns;
    const TProjectedPoint q[4] = {upper[j], upper[j + 1], lower[j + 1], lower[j]};
    if (q[0].x <= -3000 || q[1].x <= -3000 || q[2].x <= -3000 || q[3].x <= -3000) continue;
    const int code0 = RegionCode(q[0].x, q[0].y, width, height);
    if (code0 != 11 && code0 == RegionCode(q[1].x, q[1].y, width, height) &&
        code0 == RegionCode(q[2].x, q[2].y, width, height) &&
        code0 == RegionCode(q[3].x, q[3].y, width, height))
      continue;
    const TColor c[4] = {job.colours[i0], job.colours[i0 + 1], job.colours[i1 + 1],
                         job.colours[i1]};
    int minX = std::min({q[0].x, q[1].x, q[2].x, q[3].x});
    int maxX = std::max({q[0].x, q[1].x, q[2].x, q[3].x});
    int minY = std::min({q[0].y, q[1].y, q[2].y, q[3].y});
    int maxY = std::max({q[0].y, q[1].y, q[2].y, q[3].y});
    if (minX == maxX && minY == maxY) {
      // The whole cell on one pixel: the mean of its corners.
      if (minX < 0 || minX >= width || minY < bandTop || minY >= bandEnd) continue;
      const double d = (static_cast<double>(q[0].depth) + q[1].depth + q[2].depth + q[3].depth) / 4;
      Plot(job, minX, minY, d, (c[0].red + c[1].red + c[2].red + c[3].red) / 4,
           (c[0].green + c[1].green + c[2].green + c[3].green) / 4,
           (c[0].blue + c[1].blue + c[2].blue + c[3].blue) / 4);
      continue;
    }
    minX = std::max(minX, 0);
    maxX = std::min(maxX, width - 1);
    minY = std::max(minY, bandTop);
    maxY = std::min(maxY, bandEnd - 1);
    for (int y = minY; y <= maxY; ++y) {
      for (int x = minX; x <= maxX; ++x) {
        double u = 0, v = 0;
        if (!CellParameters(q, x, y, u, v)) continue;
        // Written out per channel as the bilinear formula reads, so every truncation
        // matches the plain evaluation.
        auto mix = [u, v](double a0, double a1, double a2, double a3) {
          return a0 * (1 - u) * (1 - v) + a1 * (1 - u) * v + a3 * u * (1 - v) + a2 * u * v;
        };
        Plot(job, x, y, mix(q[0].depth, q[1].depth, q[2].depth, q[3].depth),
             static_cast<int>(mix(c[0].red, c[1].red, c[2].red, c[3].red)),
             static_cast<int>(mix(c[0].green, c[1].green, c[2].green, c[3].green)),
             static_cast<int>(mix(c[0].blue, c[1].blue, c[2].blue, c[3].blue)));
      }
    }
  }
}

// Renders into `target` (already filled with its background). Progress goes from `base` to
// `base + span`. False when a work array cannot be made or the run was cancelled.
bool DrawSurfaceInto(const TDemModel& dem, const TRasterImage& drape, const TView3D& viewIn,
                     std::uint32_t smoothing, TRasterImage& target, ProgressSink* progress,
                     double base, double span) {
  TView3D view = viewIn;
  ComputeRotation(view);
  if (!dem.IsAllocated() || dem.lines <= 0 || dem.columns <= 0) return false;
  std::vector<TColor> colours;
  if (!GridPointColours(dem, drape, smoothing, colours)) return false;
  TFloatGrid depth(target.columns, target.lines);
  if (depth.error != 0 || !depth.IsAllocated()) return false;
  depth.Fill(kFarthest);
  SurfaceJob job{dem, colours, target, depth};

  const int cellLines = dem.lines - 1;
  if (cellLines <= 0 || dem.columns < 2) return true;
  const std::int64_t cells = static_cast<std::int64_t>(cellLines) * (dem.columns - 1);
  const int bands = cells < 4096 ? 1 : std::max(1, std::min(WorkerCount(), target.lines));
  const int bandHeight = (target.lines + bands - 1) / bands;
  std::atomic<bool> cancelled{false};
  auto runBand = [&](int band, bool reports) {
    const int top = band * bandHeight;
    const int end = std::min(target.lines, top + bandHeight);
    // Two lines of projected points rolled down the DEM rather than the whole grid of them:
    // each band projects the lines itself (cheap beside the drawing).
    std::vector<TProjectedPoint> upper(static_cast<std::size_t>(dem.columns));
    std::vector<TProjectedPoint> lower(upper.size());
    std::vector<double> row;
    ProjectLine(dem, view, 0, row, upper.data());
    for (int i = 0; i < cellLines; ++i) {
      if (cancelled.load(std::memory_order_relaxed)) return;
      if (reports && progress) {
        progress->Step(base + span * i / cellLines);
        if (progress->Cancelled()) cancelled.store(true);
      }
      ProjectLine(dem, view, i + 1, row, lower.data());
      DrawCellLine(job, i, upper.data(), lower.data(), top, end);
      upper.swap(lower);
    }
  };
  std::vector<std::thread> workers;
  for (int band = 1; band < bands; ++band) workers.emplace_back(runBand, band, false);
  runBand(0, true);
  for (auto& t : workers) t.join();
  return !cancelled.load();
}

bool SameSizeOrOneDimension(const TDemModel& dem, const TRasterImage& drape) {
  return !(drape.columns != dem.columns && drape.lines != dem.lines);
}

}  // namespace

void ComputeRotation(TView3D& view) {
  const double ca = std::cos(view.a), sa = std::sin(view.a);
  const double cb = std::cos(view.b), sb = std::sin(view.b);
  const double cc = std::cos(view.c), sc = std::sin(view.c);
  const double m[3][3] = {
      {cc * cb, -cb * sc, sb},
      {cc * sb * sa + sc * ca, cc * ca - sc * sb * sa, -cb * sa},
      {sc * sa - cc * sb * ca, sc * sb * ca + cc * sa, cb * ca},
  };
  for (int r = 0; r < 3; ++r)
    for (int k = 0; k < 3; ++k) view.matrix[r][k] = static_cast<float>(m[r][k]);
}

TProjectedPoint ProjectPoint(const TView3D& view, double x, double y, double z) {
  const double dx = x - view.cx;
  const double dy = y - view.cy;
  const double dz = view.exaggeration * (z - view.cz);
  const auto& m = view.matrix;
  const double rx = m[0][0] * dx + m[0][1] * dy + m[0][2] * dz + view.tx + view.cx;
  const double ry = m[1][0] * dx + m[1][1] * dy + m[1][2] * dz + view.ty + view.cy;
  const double rz = m[2][0] * dx + m[2][1] * dy + m[2][2] * dz + view.tz + view.cz;
  TProjectedPoint p;
  const double d = view.distance;
  if (2.0 * d >= rx) return p;
  const double f = d * 20000.0 / (d + rx);
  double sx = view.sx + f * ry;
  double sy = view.sy - f * rz;
  const double radius = std::sqrt(sx * sx + sy * sy);
  if (radius > 32000.0) {
    sx *= 32000.0 / radius;
    sy *= 32000.0 / radius;
  }
  p.x = static_cast<std::int32_t>(sx);
  p.y = static_cast<std::int32_t>(sy);
  p.depth = static_cast<float>(rx);
  return p;
}

std::vector<TProjectedPoint> ProjectDem(const TDemModel& dem, const TView3D& view) {
  std::vector<TProjectedPoint> points;
  if (!dem.IsAllocated() || dem.lines <= 0 || dem.columns <= 0) return points;
  try {
    points.resize(static_cast<std::size_t>(dem.lines) * dem.columns);
  } catch (const std::bad_alloc&) {
    return {};
  }
  ParallelForLines(dem.lines, [&](int i) {
    thread_local std::vector<double> row;
    ProjectLine(dem, view, i, row, points.data() + static_cast<std::size_t>(i) * dem.columns);
  });
  return points;
}

bool CellParameters(const TProjectedPoint q[4], double px, double py, double& u, double& v) {
  // Distance ratio of p between two opposite edges, measured along the normal of the first:
  // h and k are the multiples of the normal that reach each edge's line from p.
  auto across = [px, py](const TProjectedPoint& a0, const TProjectedPoint& a1,
                         const TProjectedPoint& b0, const TProjectedPoint& b1, double& t) {
    const double ex = static_cast<double>(a1.x) - a0.x, ey = static_cast<double>(a1.y) - a0.y;
    const double fx = static_cast<double>(b1.x) - b0.x, fy = static_cast<double>(b1.y) - b0.y;
    const double nx = -ey, ny = ex;  // (y0 - y1, x1 - x0)
    const double denA = nx * ey - ny * ex;
    const double denB = nx * fy - ny * fx;
    if (denA == 0.0 || denB == 0.0 || (fx == 0.0 && fy == 0.0)) {
      t = 0.5;
      return true;
    }
    const double h = -((px - a0.x) * ey - (py - a0.y) * ex) / denA;
    const double k = -((px - b0.x) * fy - (py - b0.y) * fx) / denB;
    if ((h > 0 && k > 0) || (h < 0 && k < 0)) return false;
    const double span = std::abs(h - k);
    t = span == 0.0 ? 0.5 : std::abs(h) / span;
    return true;
  };
  return across(q[0], q[1], q[3], q[2], u) && across(q[0], q[3], q[1], q[2], v);
}

std::unique_ptr<TRasterImage> RenderSurface(const TDemModel& dem, const TRasterImage& drape,
                                            const TView3D& view, ProgressSink* progress) {
  ProgressScope scope(progress);
  if (view.width <= 0 || view.height <= 0 || !SameSizeOrOneDimension(dem, drape)) return nullptr;
  auto output = NewRgb(view.width, view.height, kBackgroundGray);
  if (!output) return nullptr;
  if (!DrawSurfaceInto(dem, drape, view, dem.smoothing3D, *output, progress, 0.0, 1.0))
    return nullptr;
  return output;
}

namespace {

std::unique_ptr<TRasterImage> StereoSurface(const TDemModel& dem, const TRasterImage& drape,
                                            const TView3D& view, double eyeDistance,
                                            std::uint32_t smoothing, ProgressSink* progress) {
  if (view.width <= 0 || view.height <= 0 || !SameSizeOrOneDimension(dem, drape)) return nullptr;
  auto output = NewRgb(view.width, view.height, TColor{});
  auto left = NewRgb(view.width, view.height, TColor{});
  auto right = NewRgb(view.width, view.height, TColor{});
  if (!output || !left || !right) return nullptr;
  // Each eye gets its own copy of the view, so the caller's view is never shifted.
  TView3D eye = view;
  eye.ty = static_cast<float>(view.ty - eyeDistance / 2);
  if (!DrawSurfaceInto(dem, drape, eye, smoothing, *left, progress, 0.0, 0.5)) return nullptr;
  eye.ty = static_cast<float>(view.ty + eyeDistance / 2);
  if (!DrawSurfaceInto(dem, drape, eye, smoothing, *right, progress, 0.5, 0.5)) return nullptr;
  for (int l = 0; l < output->lines; ++l) {
    std::uint8_t* out = output->Row(l);
    const std::uint8_t* pl = left->Row(l);
    const std::uint8_t* pr = right->Row(l);
    for (int c = 0; c < output->columns; ++c) {
      out[3 * c] = pl[3 * c];
      out[3 * c + 1] = pl[3 * c + 1];
      out[3 * c + 2] = pr[3 * c + 2];
    }
  }
  return output;
}

void SetPixel(TRasterImage& canvas, int x, int y, const TColor& pen, PenMode mode) {
  if (!canvas.Inside(x, y)) return;
  std::uint8_t* p = canvas.Row(y) + 3 * static_cast<std::size_t>(x);
  if (mode == PenMode::kCopy) {
    p[0] = pen.blue, p[1] = pen.green, p[2] = pen.red;
  } else {
    p[0] &= pen.blue, p[1] &= pen.green, p[2] &= pen.red;
  }
}

// Draws the DEM's projected points with the draped raster's colours: `which` 0 sets every
// channel, 1 (right eye) only red, 2 (left eye) only green and blue.
void DrawPoints(TRasterImage& canvas, const TDemModel& dem, const TRasterImage& drape,
                const TView3D& view, int which) {
  if (!dem.IsAllocated() || dem.lines <= 0 || dem.columns <= 0) return;
  // One line of projected points at a time, in the order of the whole grid.
  std::vector<TProjectedPoint> line(static_cast<std::size_t>(dem.columns));
  std::vector<double> row;
  for (int i = 0; i < dem.lines; ++i) {
    ProjectLine(dem, view, i, row, line.data());
    for (int j = 0; j < dem.columns; ++j) {
      const TProjectedPoint& p = line[static_cast<std::size_t>(j)];
      if (p.x == kUnprojected && p.y == kUnprojected) continue;
      if (!canvas.Inside(p.x, p.y)) continue;
      TColor colour = kBackgroundGray;
      drape.GetColor(j, i, colour);
      std::uint8_t* px = canvas.Row(p.y) + 3 * static_cast<std::size_t>(p.x);
      if (which != 1) px[0] = colour.blue, px[1] = colour.green;  // 1: right view keeps them
      if (which != 2) px[2] = colour.red;                          // 2: left view keeps red
    }
  }
}

void DrawWireFrame(TRasterImage& canvas, const TDemModel& dem, const TView3D& view,
                   const TColor& pen, PenMode mode) {
  if (!dem.IsAllocated() || dem.lines <= 0 || dem.columns <= 0) return;
  auto polyline = [&](int count, auto at) {
    const TProjectedPoint* previous = nullptr;
    for (int k = 0; k < count; ++k) {
      const TProjectedPoint& p = at(k);
      if (p.x == kUnprojected && p.y == kUnprojected) continue;
      if (previous) DrawLine(canvas, previous->x, previous->y, p.x, p.y, pen, mode);
      else SetPixel(canvas, p.x, p.y, pen, mode);
      previous = &p;
    }
  };
  // The lines one at a time, then the columns a block at a time: projected points for a few
  // lines or columns instead of the whole grid, drawn in the same order.
  std::vector<TProjectedPoint> line(static_cast<std::size_t>(dem.columns));
  std::vector<double> row;
  for (int i = 0; i < dem.lines; ++i) {
    ProjectLine(dem, view, i, row, line.data());
    polyline(dem.columns, [&](int j) -> const TProjectedPoint& { return line[static_cast<std::size_t>(j)]; });
  }
  constexpr int kColumnsAtOnce = 64;
  const auto lines = static_cast<std::size_t>(dem.lines);
  std::vector<TProjectedPoint> block(lines * kColumnsAtOnce);
  const double px = dem.pixelSizeX, py = dem.pixelSizeY;
  for (int j0 = 0; j0 < dem.columns; j0 += kColumnsAtOnce) {
    const int j1 = std::min(dem.columns, j0 + kColumnsAtOnce);
    // Elevations as LoadElevationRow gives them, so the points are those of ProjectLine.
    ParallelForLines(dem.lines, [&](int i) {
      for (int j = j0; j < j1; ++j)
        block[static_cast<std::size_t>(j - j0) * lines + i] = ProjectPoint(view, j * px, i * py, dem.GetElevation(j, i));
    });
    for (int j = j0; j < j1; ++j) {
      const TProjectedPoint* column = block.data() + static_cast<std::size_t>(j - j0) * lines;
      polyline(dem.lines, [&](int i) -> const TProjectedPoint& { return column[i]; });
    }
  }
}

}  // namespace

std::unique_ptr<TRasterImage> RenderSurfaceStereo(const TDemModel& dem, const TRasterImage& drape,
                                                  const TView3D& view, double eyeDistance,
                                                  ProgressSink* progress) {
  ProgressScope scope(progress);
  return StereoSurface(dem, drape, view, eyeDistance, dem.smoothing3D, progress);
}

void DrawLine(TRasterImage& canvas, int x0, int y0, int x1, int y1, const TColor& pen,
              PenMode mode) {
  if (!canvas.IsAllocated() || canvas.kind != kRasterRgb) return;
  const int w = canvas.columns, h = canvas.lines;
  if ((x0 < 0 && x1 < 0) || (y0 < 0 && y1 < 0) || (x0 >= w && x1 >= w) || (y0 >= h && y1 >= h))
    return;
  // Clip the segment to the canvas (Liang-Barsky) so long lines cost only their visible part.
  double t0 = 0.0, t1 = 1.0;
  const double dx = static_cast<double>(x1) - x0, dy = static_cast<double>(y1) - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {static_cast<double>(x0), w - 1.0 - x0, static_cast<double>(y0), h - 1.0 - y0};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0.0) {
      if (q[k] < 0.0) return;
      continue;
    }
    const double r = q[k] / p[k];
    if (p[k] < 0.0) t0 = std::max(t0, r);
    else t1 = std::min(t1, r);
  }
  if (t0 > t1) return;
  int ax = static_cast<int>(std::lround(x0 + t0 * dx)), ay = static_cast<int>(std::lround(y0 + t0 * dy));
  const int bx = static_cast<int>(std::lround(x0 + t1 * dx)), by = static_cast<int>(std::lround(y0 + t1 * dy));
  const int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
  const int ex = std::abs(bx - ax), ey = -std::abs(by - ay);
  int err = ex + ey;
  for (;;) {
    SetPixel(canvas, ax, ay, pen, mode);
    if (ax == bx && ay == by) break;
    const int e2 = 2 * err;
    if (e2 >= ey) err += ey, ax += sx;
    if (e2 <= ex) err += ex, ay += sy;
  }
}

void DrawView(TRasterImage& canvas, const TDemModel& dem, const TRasterImage& drape,
              const TView3D& viewIn, const TDrawOptions& options, ProgressSink* progress) {
  if (!canvas.IsAllocated() || canvas.kind != kRasterRgb) return;
  if (options.stereo)
    canvas.Fill(options.mode == kViewPoints ? TColor{} : Rgb(255, 255, 255));
  else
    canvas.Fill(options.faceColour);
  if (!dem.IsAllocated()) return;
  TView3D view = viewIn;
  ComputeRotation(view);
  const float leftTy = static_cast<float>(view.ty - options.eyeDistance / 2);
  const float rightTy = static_cast<float>(view.ty + options.eyeDistance / 2);
  switch (options.mode) {
    case kViewPoints:
      if (!options.stereo) {
        DrawPoints(canvas, dem, drape, view, 0);
      } else {
        TView3D eye = view;
        eye.ty = leftTy;
        DrawPoints(canvas, dem, drape, eye, 2);
        eye.ty = rightTy;
        DrawPoints(canvas, dem, drape, eye, 1);
      }
      break;
    case kViewWireFrame:
      if (!options.stereo) {
        DrawWireFrame(canvas, dem, view, TColor{}, PenMode::kCopy);
      } else {
        TView3D eye = view;
        eye.ty = leftTy;
        DrawWireFrame(canvas, dem, eye, Rgb(255, 0, 0), PenMode::kMask);
        eye.ty = rightTy;
        DrawWireFrame(canvas, dem, eye, Rgb(0, 255, 255), PenMode::kMask);
      }
      break;
    case kViewSurface: {
      ProgressScope scope(progress);
      std::unique_ptr<TRasterImage> result;
      if (options.stereo) {
        result = StereoSurface(dem, drape, view, options.eyeDistance, options.smoothing, progress);
      } else if (view.width > 0 && view.height > 0 && SameSizeOrOneDimension(dem, drape)) {
        result = NewRgb(view.width, view.height, kBackgroundGray);
        if (result && !DrawSurfaceInto(dem, drape, view, options.smoothing, *result, progress, 0.0, 1.0))
          result.reset();
      }
      if (!result) break;
      const int lines = std::min(result->lines, canvas.lines);
      const std::size_t bytes = 3 * static_cast<std::size_t>(std::min(result->columns, canvas.columns));
      for (int l = 0; l < lines; ++l) std::copy_n(result->Row(l), bytes, canvas.Row(l));
      break;
    }
    default:
      break;
  }
}

}  // namespace orvane
