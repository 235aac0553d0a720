// The list of declared treatments, in the order of orvane-cli --help. To add a treatment,
// declare it next to its compute function (see docs/architecture.md), name it in
// treatment_registry.h and add it here.
#include "core/treatment/treatment_registry.h"

namespace orvane {

const std::vector<const TreatmentDescriptor*>& AllTreatments() {
  static const std::vector<const TreatmentDescriptor*> kAll = {
      &kSlopeTreatment,
      &kAspectTreatment,
      &kShadeTreatment,
      &kSlicesTreatment,
      &kConvexityTreatment,
      &kConcavityTreatment,
      &kHorizontalTreatment,
      &kContourDensityTreatment,
      &kContoursTreatment,
      &kGlobalFractalTreatment,
      &kCircularTreatment,
      &kExtractDrainageTreatment,
      &kDissectionTreatment,
      &kDissection3DTreatment,
      &kHeadwatersTreatment,
      &kDrainageFractalTreatment,
      &kRatioDepthTreatment,
      &kIncrustTreatment,
      &kGrayHistogramTreatment,
      &kPaletteTreatment,
      &kRender3dTreatment,
      &kLocalFractalTreatment,
      &kTotalDepthTreatment,
      &kSurface3DTreatment,
  };
  return kAll;
}

}  // namespace orvane
