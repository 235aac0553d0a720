#include "core/render/perspective.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "core/render/shading.h"
#include "support/compare.h"
#include "support/dems.h"

namespace orvane {
namespace {

using testing::CountDifferences;

// The view the 3D viewer starts from, for a DEM.
TView3D InitialView(const TDemModel& dem, int width, int height) {
  TView3D view;
  view.b = -0.7071f;
  const float px = dem.pixelSizeX, py = dem.pixelSizeY;
  view.cx = dem.columns * px / 2;
  view.cy = dem.lines * py / 2;
  view.cz = dem.minElevation + (dem.maxElevation - dem.minElevation) / 2;
  view.tx = 2 * px * std::max(dem.lines, dem.columns);
  view.ty = -view.cy;
  view.tz = -view.cz;
  view.width = width;
  view.height = height;
  view.sx = width / 2;
  view.sy = height / 2;
  return view;
}

// A drape whose colours vary over the grid and avoid the gray background.
TRasterImage ColourDrape(int columns, int lines) {
  TRasterImage drape(columns, lines, kRasterRgb);
  for (int l = 0; l < lines; ++l)
    for (int c = 0; c < columns; ++c) drape.SetColor(c, l, Rgb((c * 37) % 120, 140 + (l * 11) % 110, (c * l) % 90));
  return drape;
}

// The surface drawn the plain way: every cell, its full bounding box, one depth buffer.
std::unique_ptr<TRasterImage> ReferenceSurface(const TDemModel& dem, const TRasterImage& drape,
                                               TView3D view) {
  auto out = std::make_unique<TRasterImage>(view.width, view.height, kRasterRgb);
  out->Fill(Rgb(128, 128, 128));
  ComputeRotation(view);
  TFloatGrid depth(view.width, view.height);
  depth.Fill(3.4028235e38f);
  auto point = [&](int i, int j) {
    return ProjectPoint(view, j * static_cast<double>(dem.pixelSizeX),
                        i * static_cast<double>(dem.pixelSizeY), dem.GetElevation(j, i));
  };
  auto colour = [&](int i, int j) {
    TColor c = Rgb(128, 128, 128);
    if (dem.smoothing3D != 0) drape.MeanColor(j, i, static_cast<int>(dem.smoothing3D), c);
    else drape.GetColor(j, i, c);
    return c;
  };
  auto code = [&](const TProjectedPoint& p) {
    return (p.y < 0 ? 0 : p.y > view.height - 1 ? 20 : 10) + (p.x < 0 ? 0 : p.x > view.width - 1 ? 2 : 1);
  };
  auto plot = [&](int x, int y, double d, int r, int g, int b) {
    if (static_cast<float>(d) < depth.At(x, y)) {
      depth.At(x, y) = static_cast<float>(d);
      out->SetColor(x, y, Rgb(r, g, b));
    }
  };
  for (int i = 0; i + 1 < dem.lines; ++i)
    for (int j = 0; j + 1 < dem.columns; ++j) {
      const TProjectedPoint q[4] = {point(i, j), point(i, j + 1), point(i + 1, j + 1), point(i + 1, j)};
      const TColor c[4] = {colour(i, j), colour(i, j + 1), colour(i + 1, j + 1), colour(i + 1, j)};
      bool skip = false;
      for (const auto& p : q) skip = skip || p.x <= -3000;
      if (skip) continue;
      if (code(q[0]) != 11 && code(q[0]) == code(q[1]) && code(q[0]) == code(q[2]) && code(q[0]) == code(q[3]))
        continue;
      if (q[0].x == q[1].x && q[0].x == q[2].x && q[0].x == q[3].x && q[0].y == q[1].y &&
          q[0].y == q[2].y && q[0].y == q[3].y) {
        if (!out->Inside(q[0].x, q[0].y)) continue;
        plot(q[0].x, q[0].y, (static_cast<double>(q[0].depth) + q[1].depth + q[2].depth + q[3].depth) / 4,
             (c[0].red + c[1].red + c[2].red + c[3].red) / 4, (c[0].green + c[1].green + c[2].green + c[3].green) / 4,
             (c[0].blue + c[1].blue + c[2].blue + c[3].blue) / 4);
        continue;
      }
      const int x0 = std::max(0, std::min({q[0].x, q[1].x, q[2].x, q[3].x}));
      const int x1 = std::min(view.width - 1, std::max({q[0].x, q[1].x, q[2].x, q[3].x}));
      const int y0 = std::max(0, std::min({q[0].y, q[1].y, q[2].y, q[3].y}));
      const int y1 = std::min(view.height - 1, std::max({q[0].y, q[1].y, q[2].y, q[3].y}));
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
          double u, v;
          if (!CellParameters(q, x, y, u, v)) continue;
          auto mix = [&](double a0, double a1, double a2, double a3) {
            return a0 * (1 - u) * (1 - v) + a1 * (1 - u) * v + a3 * u * (1 - v) + a2 * u * v;
          };
          plot(x, y, mix(q[0].depth, q[1].depth, q[2].depth, q[3].depth),
               static_cast<int>(mix(c[0].red, c[1].red, c[2].red, c[3].red)),
               static_cast<int>(mix(c[0].green, c[1].green, c[2].green, c[3].green)),
               static_cast<int>(mix(c[0].blue, c[1].blue, c[2].blue, c[3].blue)));
        }
    }
  return out;
}

int CountNot(const TRasterImage& image, const TColor& colour) {
  int n = 0;
  for (int l = 0; l < image.lines; ++l)
    for (int c = 0; c < image.columns; ++c) {
      TColor px;
      image.GetColor(c, l, px);
      n += !(px == colour);
    }
  return n;
}

TEST(PerspectiveTest, RotationIsOrthonormal) {
  TView3D view;
  ComputeRotation(view);
  for (int r = 0; r < 3; ++r)
    for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(view.matrix[r][k], r == k ? 1.0f : 0.0f);
  view.a = 0.4f, view.b = -1.1f, view.c = 2.5f;
  ComputeRotation(view);
  for (int r = 0; r < 3; ++r)
    for (int k = 0; k < 3; ++k) {
      double dot = 0;
      for (int m = 0; m < 3; ++m) dot += view.matrix[r][m] * view.matrix[k][m];
      EXPECT_NEAR(dot, r == k ? 1.0 : 0.0, 1e-6);
    }
  EXPECT_NEAR(view.matrix[0][2], std::sin(-1.1), 1e-6);
}

TEST(PerspectiveTest, CentreProjectsToTheScreenCentre) {
  auto dem = testing::RandomDem(30, 20, 4, {.lo = 100, .hi = 900, .pixel = 90.0f});
  TView3D view = InitialView(*dem, 640, 480);
  ComputeRotation(view);
  const TProjectedPoint p = ProjectPoint(view, view.cx, view.cy, view.cz);
  EXPECT_EQ(p.x, 320);
  EXPECT_EQ(p.y, 240);
  EXPECT_FLOAT_EQ(p.depth, view.tx + view.cx);
  // Far points are pulled in to a radius of 32000 around the origin.
  const TProjectedPoint far = ProjectPoint(view, 0, 1e9, view.cz);
  EXPECT_LE(std::hypot(far.x, far.y), 32000.0 + 1);
  EXPECT_GE(std::hypot(far.x, far.y), 31990.0);
}

TEST(PerspectiveTest, CellParametersOfASquare) {
  // q0 (0, 0), q1 one column right, q2 diagonal, q3 one line down.
  const TProjectedPoint q[4] = {{0, 0, 1}, {10, 0, 1}, {10, 10, 1}, {0, 10, 1}};
  double u = -1, v = -1;
  ASSERT_TRUE(CellParameters(q, 2.5, 5, u, v));
  EXPECT_DOUBLE_EQ(u, 0.5);
  EXPECT_DOUBLE_EQ(v, 0.25);
  ASSERT_TRUE(CellParameters(q, 10, 10, u, v));
  EXPECT_DOUBLE_EQ(u, 1.0);
  EXPECT_DOUBLE_EQ(v, 1.0);
  EXPECT_FALSE(CellParameters(q, 12, 5, u, v));
  EXPECT_FALSE(CellParameters(q, 5, -1, u, v));
  // A cell squeezed to a triangle: the collapsed pair gives 0.5 and rejects nothing.
  const TProjectedPoint tri[4] = {{0, 0, 1}, {0, 0, 1}, {10, 10, 1}, {0, 10, 1}};
  ASSERT_TRUE(CellParameters(tri, 2, 8, u, v));
  EXPECT_DOUBLE_EQ(u, 0.5);
}

TEST(PerspectiveTest, UnprojectableViewLeavesTheBackground) {
  auto dem = testing::RandomDem(12, 10, 6);
  TView3D view = InitialView(*dem, 80, 60);
  view.tx = -1e6f;  // everything behind the eye
  const TRasterImage drape = ColourDrape(12, 10);
  auto out = RenderSurface(*dem, drape, view);
  ASSERT_TRUE(out);
  EXPECT_EQ(CountNot(*out, Rgb(128, 128, 128)), 0);
  TView3D copy = view;
  ComputeRotation(copy);
  const auto points = ProjectDem(*dem, copy);
  ASSERT_EQ(points.size(), 120u);
  EXPECT_EQ(points[57].x, kUnprojected);
  EXPECT_EQ(points[57].y, kUnprojected);
}

TEST(PerspectiveTest, OnePixelCellWritesTheMeanColour) {
  auto dem = testing::FlatDem(2, 2, 0.0, 1.0f);
  TRasterImage drape(2, 2, kRasterRgb);
  drape.SetColor(0, 0, Rgb(100, 0, 0));
  drape.SetColor(1, 0, Rgb(0, 100, 0));
  drape.SetColor(1, 1, Rgb(0, 0, 100));
  drape.SetColor(0, 1, Rgb(41, 41, 41));
  // Seen straight along x from far away, the 1 x 1 cell shrinks to the screen centre.
  TView3D view;
  view.tx = 1e5f;
  view.width = view.height = 20;
  view.sx = view.sy = 10;
  auto out = RenderSurface(*dem, drape, view);
  ASSERT_TRUE(out);
  TColor c;
  out->GetColor(10, 10, c);
  EXPECT_EQ(c, Rgb(35, 35, 35));
  EXPECT_EQ(CountNot(*out, Rgb(128, 128, 128)), 1);
}

TEST(PerspectiveTest, SurfaceMatchesReferenceRenderer) {
  auto dem = testing::RandomDem(31, 26, 12, {.hi = 600, .pixel = 30.0f});
  const TRasterImage drape = ColourDrape(31, 26);
  for (unsigned smoothing : {0u, 2u}) {
    dem->smoothing3D = smoothing;
    TView3D view = InitialView(*dem, 160, 120);
    auto fast = RenderSurface(*dem, drape, view);
    ASSERT_TRUE(fast);
    EXPECT_EQ(CountDifferences(*fast, *ReferenceSurface(*dem, drape, view)), 0);
    EXPECT_GT(CountNot(*fast, Rgb(128, 128, 128)), 2000);
    // Closer, turned and partly off screen.
    view.a = 0.3f, view.c = 0.8f, view.distance = 0.3f;
    EXPECT_EQ(CountDifferences(*RenderSurface(*dem, drape, view), *ReferenceSurface(*dem, drape, view)), 0);
  }
  auto sample = testing::LoadSampleDem();
  ASSERT_TRUE(sample);
  auto shaded = RenderShaded(*sample, TLightParams{});
  sample->smoothing3D = 1;
  TView3D view = InitialView(*sample, 200, 150);
  view.c = 0.5f;
  EXPECT_EQ(CountDifferences(*RenderSurface(*sample, *shaded, view), *ReferenceSurface(*sample, *shaded, view)), 0);
}

TEST(PerspectiveTest, StereoTakesRedFromTheRightEyeAndGreenBlueFromTheLeft) {
  auto dem = testing::RandomDem(20, 20, 3, {.hi = 300, .pixel = 30.0f});
  const TRasterImage drape = ColourDrape(20, 20);
  TView3D view = InitialView(*dem, 120, 90);
  const double eye = 200.0;
  auto stereo = RenderSurfaceStereo(*dem, drape, view, eye);
  ASSERT_TRUE(stereo);
  TView3D left = view, right = view;
  left.ty = static_cast<float>(view.ty - eye / 2);
  right.ty = static_cast<float>(view.ty + eye / 2);
  auto l = RenderSurface(*dem, drape, left);
  auto r = RenderSurface(*dem, drape, right);
  int checked = 0;
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x) {
      TColor s, a, b;
      stereo->GetColor(x, y, s);
      l->GetColor(x, y, a);
      r->GetColor(x, y, b);
      EXPECT_EQ(s.red, b == Rgb(128, 128, 128) ? 0 : b.red);
      EXPECT_EQ(s.green, a == Rgb(128, 128, 128) ? 0 : a.green);
      EXPECT_EQ(s.blue, a == Rgb(128, 128, 128) ? 0 : a.blue);
      checked += !(a == Rgb(128, 128, 128)) && !(b == Rgb(128, 128, 128));
    }
  EXPECT_GT(checked, 500);
  // The caller's view is untouched.
  EXPECT_FLOAT_EQ(view.ty, -dem->lines * 30.0f / 2);
}

TEST(PerspectiveTest, DrapeSizeRules) {
  auto dem = testing::RandomDem(10, 8, 2);
  const TView3D view = InitialView(*dem, 40, 30);
  EXPECT_EQ(RenderSurface(*dem, ColourDrape(9, 7), view), nullptr);
  EXPECT_NE(RenderSurface(*dem, ColourDrape(10, 5), view), nullptr);
  TView3D empty = view;
  empty.width = 0;
  EXPECT_EQ(RenderSurface(*dem, ColourDrape(10, 8), empty), nullptr);
}

TEST(PerspectiveTest, DrawViewBackgroundsAndPens) {
  auto dem = testing::RandomDem(15, 12, 9, {.hi = 200, .pixel = 30.0f});
  const TRasterImage drape = ColourDrape(15, 12);
  TView3D view = InitialView(*dem, 100, 80);
  TRasterImage canvas(100, 80, kRasterRgb);
  TDrawOptions options;
  options.faceColour = Rgb(240, 240, 240);

  options.mode = kViewWireFrame;
  DrawView(canvas, *dem, drape, view, options);
  // Lines on the face colour, which fills most of the canvas.
  EXPECT_GT(CountNot(canvas, Rgb(240, 240, 240)), 100);
  EXPECT_LT(CountNot(canvas, Rgb(240, 240, 240)), 4000);
  int other = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x) {
      TColor c;
      canvas.GetColor(x, y, c);
      other += !(c == Rgb(240, 240, 240)) && !(c == TColor{});
    }
  EXPECT_EQ(other, 0);  // only black lines on the face colour

  options.stereo = true;
  options.eyeDistance = 100;
  DrawView(canvas, *dem, drape, view, options);
  int red = 0, cyan = 0, black = 0, white = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x) {
      TColor c;
      canvas.GetColor(x, y, c);
      red += c == Rgb(255, 0, 0);
      cyan += c == Rgb(0, 255, 255);
      black += c == TColor{};
      white += c == Rgb(255, 255, 255);
    }
  EXPECT_GT(red, 0);
  EXPECT_GT(cyan, 0);
  EXPECT_EQ(red + cyan + black + white, 8000);

  options.mode = kViewPoints;
  DrawView(canvas, *dem, drape, view, options);
  TColor corner;
  canvas.GetColor(0, 0, corner);
  EXPECT_EQ(corner, TColor{});
  EXPECT_GT(CountNot(canvas, TColor{}), 20);

  options.mode = kViewSurface;
  options.stereo = false;
  DrawView(canvas, *dem, drape, view, options);
  auto direct = RenderSurface(*dem, drape, view);
  EXPECT_EQ(CountDifferences(canvas, *direct), 0);
}

TEST(PerspectiveTest, LinesAreClippedToTheCanvas) {
  TRasterImage canvas(10, 10, kRasterRgb);
  canvas.Fill(Rgb(255, 255, 255));
  DrawLine(canvas, -30000, 5, 30000, 5, TColor{});
  EXPECT_EQ(CountNot(canvas, Rgb(255, 255, 255)), 10);
  DrawLine(canvas, 3, -100, 3, -1, TColor{});  // wholly outside
  EXPECT_EQ(CountNot(canvas, Rgb(255, 255, 255)), 10);
  DrawLine(canvas, 0, 0, 9, 9, Rgb(255, 0, 0), PenMode::kMask);  // AND: white becomes red
  TColor c;
  canvas.GetColor(2, 2, c);
  EXPECT_EQ(c, Rgb(255, 0, 0));
  canvas.GetColor(5, 5, c);
  EXPECT_EQ(c, TColor{});  // black AND red stays black
}

}  // namespace
}  // namespace orvane
