// The list of declared treatments, in the order of orvane-cli --help. To add a treatment,
// declare it next to its compute function (see docs/architecture.md) and add it here.
#include "core/common/treatment.h"

namespace orvane {

extern const TreatmentDescriptor kSlopeTreatment;
extern const TreatmentDescriptor kTotalDepthTreatment;
extern const TreatmentDescriptor kCircularTreatment;

const std::vector<const TreatmentDescriptor*>& AllTreatments() {
  static const std::vector<const TreatmentDescriptor*> kAll = {
      &kSlopeTreatment,
      &kCircularTreatment,
      &kTotalDepthTreatment,
  };
  return kAll;
}

}  // namespace orvane
