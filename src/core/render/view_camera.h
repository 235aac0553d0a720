// How the 3D viewer's drags and reset buttons move a view over the coarse copy of a DEM: the
// arithmetic on TView3D, so the dialog only reads the mouse and the buttons.
#pragma once

#include <array>
#include <string>

#include "core/render/perspective.h"
#include "core/terrain/dem_model.h"

namespace orvane {

// What a drag changes.
enum class DragQuantity { kRotation, kMove, kVertical, kZoom };

// The view of a fresh activation: tilted by b = -sqrt(2) / 2, the rotation centre in the middle
// of `dem` half-way up its relief, the eye twice its longer side away; only the tilt without one.
TView3D InitialView(const TDemModel* dem);

// `view` after a drag of (dx, dy) pixels from `start`, the view at the press, with the left or
// the right button and the speed factor of the modifier keys. Rotation: 120 pixels turn by one
// radian; moves grow with the square of the drag, in the DEM's pixel sizes; the viewing
// distance never falls below 0.001.
void DragView(TView3D& view, const TView3D& start, DragQuantity quantity, bool left, bool right,
              double dx, double dy, double speed, const TDemModel* dem);

// A reset button: "Rotation" (the initial tilt), "Move" (the rotation centre over the middle of
// `dem` at half its relief, the eye twice its longer side away; nothing without a DEM),
// "Vertical" (no exaggeration) or "Zoom" (the initial viewing distance).
void ResetView(TView3D& view, DragQuantity quantity, const TDemModel* dem);

// Observer mode: on, the rotation centre moves to the eye and the angles turn round; off, the
// centre goes back over the middle of `dem` at half its relief. While it is on, a drag keeps
// the centre at -t (FollowObserver).
void SetObserverView(TView3D& view, bool on, const TDemModel* dem);
void FollowObserver(TView3D& view);

// The viewer's status texts: the angles a, b, c in degrees, the translation in km, the
// exaggeration and the viewing distance.
std::array<std::string, 8> ViewPanelTexts(const TView3D& view);

// The three angles brought back into [0, 2 pi).
void WrapAngles(TView3D& view);

}  // namespace orvane
