// What a window treatment accepts as its window size, and what it says of a window outside: the
// lower bound of its declared "window" parameter (or a stricter one of its own), and, where the
// window must fit in the DEM, an upper bound from the DEM's size. The desktop's window-size
// dialog refuses with these messages and stays open.
#pragma once

#include <string>

#include "core/treatment/treatment.h"

namespace orvane {

struct WindowLimits {
  int minimum = 0;  // 0: no lower bound
  std::string tooSmall;
  int maximum = 0;  // 0: no upper bound
  std::string tooLarge;
  // The declared "window": what the command line refuses is refused with its message.
  const ParamDeclaration* declared = nullptr;

  // Also refuses, with "The window is larger than the DEM", a window whose odd side
  // 2 trunc((ws - shift) / 2) + 1 does not fit in the smaller side of a columns x lines grid.
  WindowLimits& FittingIn(int columns, int lines, int shift);
  // Why a window of `size` cells is refused; empty when it is accepted.
  std::string Refusal(int size) const;
};

// The lower bound of the "window" parameter `treatment` declares, raised to `stricterMinimum`
// where the treatment's dialog refuses more than the declaration, refused with `tooSmall`.
WindowLimits DeclaredWindowLimits(const TreatmentDescriptor& treatment, const std::string& tooSmall,
                                  int stricterMinimum = 0);

}  // namespace orvane
