// The list of declared treatments, in the order of orvane-cli --help. To add a treatment,
// declare it next to its compute function (see docs/architecture.md) and add it here.
#include "core/common/treatment.h"

namespace orvane {

extern const TreatmentDescriptor kSlopeTreatment;
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

const std::vector<const TreatmentDescriptor*>& AllTreatments() {
  static const std::vector<const TreatmentDescriptor*> kAll = {
      &kSlopeTreatment,
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
      &kTotalDepthTreatment,
  };
  return kAll;
}

}  // namespace orvane
