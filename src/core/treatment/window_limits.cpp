#include "core/treatment/window_limits.h"

#include <algorithm>

namespace orvane {

WindowLimits& WindowLimits::FittingIn(int columns, int lines, int shift) {
  // The largest ws with 2 trunc((ws - shift) / 2) + 1 <= the smaller side.
  maximum = 2 * ((std::min(columns, lines) - 1) / 2) + 1 + shift;
  tooLarge = "The window is larger than the DEM";
  return *this;
}

std::string WindowLimits::Refusal(int size) const {
  std::string refusal = size < minimum ? tooSmall : maximum > 0 && size > maximum ? tooLarge : "";
  if (refusal.empty() && declared) {
    if (Status checked = CheckParamValue(*declared, size); !checked) refusal = checked.message();
  }
  return refusal;
}

WindowLimits DeclaredWindowLimits(const TreatmentDescriptor& treatment, const std::string& tooSmall,
                                  int stricterMinimum) {
  const ParamDeclaration* window = treatment.Param("window");
  const int declared = window ? static_cast<int>(window->minimum.value_or(window->positive ? 1.0 : 0.0)) : 0;
  return {.minimum = std::max(declared, stricterMinimum), .tooSmall = tooSmall, .declared = window};
}

}  // namespace orvane
