// How the total depth is shown (" Total Depth Visu"): the ten-class palette dialog over the
// window relief range of the run, a modal dialog of its own.
#pragma once

#include "app/display/class_palette_dialog.h"

namespace orvane {

extern const ClassPaletteOptions kTotalDepthPalette;

}  // namespace orvane
