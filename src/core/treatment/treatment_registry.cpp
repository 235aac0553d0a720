// The list of declared treatments, in the order of orvane-cli --help. To add a treatment,
// declare it next to its compute function (see docs/architecture.md) and add it here.
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
