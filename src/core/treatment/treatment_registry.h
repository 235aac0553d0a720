// The declared treatments by reference: front ends name a treatment by its declaration
// (kSlopeTreatment), not by a string id, so that a misspelt reference does not compile.
#pragma once

#include "core/treatment/treatment.h"

namespace orvane {

extern const TreatmentDescriptor kSlopeTreatment;
extern const TreatmentDescriptor kAspectTreatment;
extern const TreatmentDescriptor kShadeTreatment;
extern const TreatmentDescriptor kSlicesTreatment;
extern const TreatmentDescriptor kConvexityTreatment;
extern const TreatmentDescriptor kConcavityTreatment;
extern const TreatmentDescriptor kHorizontalTreatment;
extern const TreatmentDescriptor kContourDensityTreatment;
extern const TreatmentDescriptor kContoursTreatment;
extern const TreatmentDescriptor kGlobalFractalTreatment;
extern const TreatmentDescriptor kTotalDepthTreatment;
extern const TreatmentDescriptor kCircularTreatment;
extern const TreatmentDescriptor kExtractDrainageTreatment;
extern const TreatmentDescriptor kDissectionTreatment;
extern const TreatmentDescriptor kDissection3DTreatment;
extern const TreatmentDescriptor kHeadwatersTreatment;
extern const TreatmentDescriptor kDrainageFractalTreatment;
extern const TreatmentDescriptor kRatioDepthTreatment;
extern const TreatmentDescriptor kIncrustTreatment;
extern const TreatmentDescriptor kGrayHistogramTreatment;
extern const TreatmentDescriptor kPaletteTreatment;
extern const TreatmentDescriptor kRender3dTreatment;
extern const TreatmentDescriptor kLocalFractalTreatment;
extern const TreatmentDescriptor kSurface3DTreatment;

}  // namespace orvane
