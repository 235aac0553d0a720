// Perspective rendering of a DEM: rotation, projection, and the three drawings (points, wire
// frame, depth-tested draped surface), each optionally as a red/cyan stereo pair.
//
// A DEM cell (column j, line i) is the point (j x pixelSizeX, i x pixelSizeY, elevation). It is
// moved by the centre, exaggerated vertically, rotated, translated and seen along the rotated x
// axis from the viewing distance D: f = 20000 D / (D + rx), screen (sx + f ry, sy - f rz),
// depth rx; points with rx <= 2 D are not projected. The surface draws every grid cell as a
// quadrilateral with bilinear colours and depths, kept where nearer than the depth buffer.
// Cost: projection and colours once per grid point; the surface splits the output's lines
// across the cores (each worker owns a band of lines, so results do not depend on timing).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/common/progress.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

// The view: owned by the caller (3D viewer, information window, command line) and read here.
struct TView3D {
  float a = 0.0f, b = 0.0f, c = 0.0f;  // rotation angles, radians
  float matrix[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  float cx = 0.0f, cy = 0.0f, cz = 0.0f;  // centre of rotation
  float exaggeration = 1.0f;
  float tx = 0.0f, ty = 0.0f, tz = 0.0f;  // translation; ty is the horizontal eye position
  float distance = 0.05f;                 // viewing distance D
  int sx = 0, sy = 0;                     // screen centre
  int width = 0, height = 0;              // output size in pixels
};

inline constexpr int kUnprojected = -9999;

struct TProjectedPoint {
  std::int32_t x = kUnprojected;
  std::int32_t y = kUnprojected;
  float depth = 0.0f;
};

// Fills view.matrix from the angles a, b, c.
void ComputeRotation(TView3D& view);

// Projects the DEM point (x, y, z) with the view's matrix as it stands.
TProjectedPoint ProjectPoint(const TView3D& view, double x, double y, double z);

// Every cell, line-major (index = line x columns + column), with the view's matrix as it
// stands. Empty when the array cannot be allocated.
std::vector<TProjectedPoint> ProjectDem(const TDemModel& dem, const TView3D& view);

// The (u, v) of screen point (px, py) in the quadrilateral q0 q1 q2 q3 (q0 = (line i, column
// j), q1 = (i, j + 1), q2 = (i + 1, j + 1), q3 = (i + 1, j)): u across the lines, measured from
// edge q0 q1 towards q3 q2, and v across the columns, from q0 q3 towards q1 q2. False when the
// point lies outside. A degenerate pair of edges gives 0.5 and does not reject the point.
bool CellParameters(const TProjectedPoint q[4], double px, double py, double& u, double& v);

// RGB raster of the view's output size, gray (128, 128, 128) where nothing is drawn. The draped
// raster gives the colours (the mean over the (2k + 1)^2 window around each grid point when
// the DEM's smoothing3D k is not 0); grid points outside it take the background gray. Null when
// the output cannot be made, its size is not positive, or the draped raster differs from the
// DEM in both columns and lines.
std::unique_ptr<TRasterImage> RenderSurface(const TDemModel& dem, const TRasterImage& drape,
                                            const TView3D& view, ProgressSink* progress = nullptr);

// Left eye at ty - e/2, right eye at ty + e/2, each rendered on black; the output takes the red
// of the right view and the green and blue of the left view.
std::unique_ptr<TRasterImage> RenderSurfaceStereo(const TDemModel& dem, const TRasterImage& drape,
                                                  const TView3D& view, double eyeDistance,
                                                  ProgressSink* progress = nullptr);

enum ViewMode : int {
  kViewPoints = 0,
  kViewWireFrame = 1,
  kViewSurface = 2,
};

struct TDrawOptions {
  int mode = kViewWireFrame;
  bool stereo = false;
  double eyeDistance = 10.0;              // the stereo base
  std::uint32_t smoothing = 0;            // colour smoothing of the surface
  TColor faceColour = Rgb(240, 240, 240);  // background without stereo
};

// Draws the DEM on an RGB canvas (the whole canvas is the clipping rectangle): background, then
// points, wire frame (black, or red and cyan with the AND pen in stereo) or surface.
void DrawView(TRasterImage& canvas, const TDemModel& dem, const TRasterImage& drape,
              const TView3D& view, const TDrawOptions& options, ProgressSink* progress = nullptr);

// Line drawing on an RGB raster, clipped to it. The mask mode ANDs the pen into the pixels.
enum class PenMode { kCopy, kMask };
void DrawLine(TRasterImage& canvas, int x0, int y0, int x1, int y1, const TColor& pen,
              PenMode mode = PenMode::kCopy);

}  // namespace orvane
