// What the treatments drawn with the density palette dialog declare alike: the --palette,
// --smooth and --scale parameters, and the diagram's histogram table.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/drainage/dissection_density.h"
#include "core/treatment/treatment.h"

namespace orvane {

// palette (colored, gray, gray255), smooth, scale.
std::vector<ParamDeclaration> DensityPaletteParams();

// The diagram's counts up to its bound, in tenths of a density, as a tab-separated table.
std::string DensityHistogramTable(std::span<const std::int32_t> counts, int bound);

// `first` followed by `more`: a parameter list built from shared pieces.
std::vector<ParamDeclaration> JoinParams(std::vector<ParamDeclaration> first, const std::vector<ParamDeclaration>& more);

// The value grid of the densities: each window's density on the cells its picture paints (a
// block, or the centre alone). NaN elsewhere.
ValueGrid DissectionValues(const DensityField& field, DensityMeasure measure);

}  // namespace orvane
