// Where a treatment's picture goes: the parameter window or over the DEM (wrapped).
#pragma once

namespace orvane {

enum class ResultKind { kParameterImage, kWrappedImage };

}  // namespace orvane
