// Drainage network extraction from a DEM: marking, thinning, colouring.
//
// Marking: a cell is a valley cell when, in a square window of range R (2R + 1 cells a side)
// centred on it, more than 55 % of the other cells are strictly higher, heights compared as
// elevations truncated toward zero. Ranges 2 .. upper are tried (the lower range only bounds
// the dialog's input: the passes always start at 2); a cell is examined at range R only when
// the whole window lies inside the DEM, and a cell marked at any range stays marked.
// NoData cells lie outside the grid: never marked, and a window holding one is not examined,
// as a window reaching past the border is not; the thinning reads them as outside the raster.
// Thinning: Skeletonize (skeleton.h). Colouring: skeleton pixels take the network colour,
// all others become white (255, 255, 255), so a pixel is network exactly when its gray value
// is not 255.
// Cost: each cell's window grows ring by ring, so a cell costs (2U + 1)^2 comparisons instead
// of the sum over all ranges; a whole line's cells grow together so the comparisons run as
// vector instructions, and lines run in parallel. The result equals that of examining every
// range, every cell, every window cell.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

enum NetworkColourCode : int {
  kNetworkBlack = 0,
  kNetworkBlue = 1,
  kNetworkRed = 2,
  kNetworkGreen = 3,
  kNetworkYellow = 4,
};

// The colour of network pixels for a colour code. Yellow is a real yellow (red 255, green 255,
// blue 0, gray value 170); unknown codes draw black. No code gives gray value 255.
TColor NetworkColour(int colourCode);

struct ExtractionParams {
  int lowerRange = 0;
  int upperRange = 0;
  int colourCode = kNetworkBlack;
  int connection = 0;  // stored with the dialog; no step of the extraction reads it
  // When not null: columns x lines values, 1 at network cells and 0 elsewhere (NaN at NoData
  // cells), line after line.
  float* mask = nullptr;
};

// The dialog's checks, in its order, with its messages (caption "ERROR").
Status ValidateExtractionRanges(int lowerRange, int upperRange);

// Mark grid: 255 at valley cells, 0 elsewhere; columns x lines bytes, line after line.
std::vector<std::uint8_t> MarkValleyCells(const TDemModel& dem, int upperRange,
                                          ProgressSink* progress = nullptr);

struct ExtractionResult {
  std::unique_ptr<TRasterImage> network;  // colour raster of the DEM's size
  std::int64_t markedCells = 0;
  std::int64_t networkCells = 0;
};

// Marks, thins and colours. Runs with whatever upper range it is given (below 2 nothing is
// marked and the network is empty); validation is the caller's. Errors: no DEM grid,
// allocation failure, cancellation.
Expected<ExtractionResult> ExtractDrainage(const TDemModel& dem, const ExtractionParams& params,
                                           ProgressSink* progress = nullptr);

}  // namespace orvane
