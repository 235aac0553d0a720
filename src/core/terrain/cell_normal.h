// The normal of a DEM cell: the plain sum of the unit, upward normals of the (up to four)
// triangles the cell forms with its side neighbours, (up, right), (right, down), (down, left)
// and (left, up). The slope, the DEM model's normal grid and the shading all read it, so they
// must form it with the same operations in the same order: the vector slope kernel repeats
// them lane by lane.
#pragma once

#include <cmath>

namespace orvane {

struct TPoint3 {
  double x, y, z;
};

// Adds the unit, upward normal of the triangle (centre, a, b) to `sum`; a flat-degenerate
// triangle adds nothing.
inline void AddTriangleNormal(const TPoint3& centre, const TPoint3& a, const TPoint3& b,
                              TPoint3& sum) {
  const TPoint3 u{centre.x - a.x, centre.y - a.y, centre.z - a.z};
  const TPoint3 v{b.x - a.x, b.y - a.y, b.z - a.z};
  TPoint3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
  const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (length == 0.0) return;
  n = {n.x / length, n.y / length, n.z / length};
  if (n.z < 0.0) n = {-n.x, -n.y, -n.z};
  sum = {sum.x + n.x, sum.y + n.y, sum.z + n.z};
}

// The side neighbours of a cell, as points; a neighbour beyond the grid is absent and its
// triangles are left out.
struct TCellNeighbours {
  TPoint3 up{}, right{}, down{}, left{};
  bool hasUp = false, hasRight = false, hasDown = false, hasLeft = false;
};

inline TPoint3 CellNormal(const TPoint3& centre, const TCellNeighbours& around) {
  TPoint3 sum{0.0, 0.0, 0.0};
  if (around.hasUp && around.hasRight) AddTriangleNormal(centre, around.up, around.right, sum);
  if (around.hasRight && around.hasDown) AddTriangleNormal(centre, around.right, around.down, sum);
  if (around.hasDown && around.hasLeft) AddTriangleNormal(centre, around.down, around.left, sum);
  if (around.hasLeft && around.hasUp) AddTriangleNormal(centre, around.left, around.up, sum);
  return sum;
}

}  // namespace orvane
