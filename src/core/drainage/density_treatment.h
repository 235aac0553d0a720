// What the treatments drawn with the density palette dialog declare alike: the --palette,
// --smooth and --scale parameters, and the diagram's histogram table.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/drainage/density_image.h"
#include "core/drainage/dissection_density.h"
#include "core/treatment/treatment.h"

namespace orvane {

// palette (colored, gray, gray255), smooth, scale.
std::vector<ParamDeclaration> DensityPaletteParams();

// The class table the palette parameters choose, spread with "scale" over the run's range or,
// when the desktop gives them, over "minimum" .. "maximum" as typed in its palette dialog.
TClassTable DensityTableOf(const TreatmentArgs& args, double minimum, double maximum);

// The end of a run that keeps its drawing in `output`: asked for a picture (and not for the
// drawing), the picture `render` draws from it, the drawing then dropped. A gray picture that
// took a palette for its NoData cells is saved as its gray levels (the colour ones are 24-bit).
Status DrawKeptPicture(TreatmentOutput& output, const TreatmentArgs& args, unsigned wanted,
                       const TreatmentDescriptor& treatment);

// The diagram's counts through its bound (the maximum's class), in tenths of a density, as a
// tab-separated table.
std::string DensityHistogramTable(std::span<const std::int32_t> counts, int bound);

// `first` followed by `more`: a parameter list built from shared pieces.
std::vector<ParamDeclaration> JoinParams(std::vector<ParamDeclaration> first, const std::vector<ParamDeclaration>& more);

// The value grid of the densities: each window's density on the cells its picture paints (a
// block, or the centre alone). NaN elsewhere.
ValueGrid DissectionValues(const DensityField& field, DensityMeasure measure);

}  // namespace orvane
