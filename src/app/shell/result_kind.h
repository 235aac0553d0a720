// Where a treatment puts its picture: in the parameter window ("Parameter Image") or in place
// of the DEM window's picture ("Wrapped Image").
#pragma once

namespace orvane {

enum class ResultKind { kParameterImage, kWrappedImage };

}  // namespace orvane
