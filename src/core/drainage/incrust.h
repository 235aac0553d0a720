// Incrusting: the drainage network burnt into a parameter image as black.
//
// Every pixel whose drainage gray value is 255 keeps the parameter image's value (gray result)
// or colour (colour result, palette pixels giving their palette colour); every other pixel,
// network of any colour or a position beyond the network's extent, becomes black. Incrusting
// twice gives the same image as once. Cost: one pass over the parameter image.
#pragma once

#include <memory>

#include "core/common/result.h"
#include "core/terrain/raster_image.h"

namespace orvane {

// `grayResult`: the parameter display mode is 1 (8-bit gray); otherwise the result is colour.
// Errors: no parameter image (the message tells the user to compute or open one), no network,
// allocation failure.
Expected<std::unique_ptr<TRasterImage>> IncrustDrainage(const TRasterImage* parameterImage,
                                                         const TRasterImage* drainage,
                                                         bool grayResult);

// The message given when there is no parameter image to incrust into.
inline constexpr const char* kNoParameterImageMessage =
    "No parameter image: compute or open a parameter image before incrusting the drainage network";

}  // namespace orvane
