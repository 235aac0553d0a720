// The vertical unit a real-valued elevation grid is stored in.
//
// Every opened DEM holds whole numbers of 1/U metre in 32 bits. Real elevations (a Float32
// raster, a float array) keep their precision in the finest U whose stored values, and the
// difference of any two of them, still fit: tenths of a millimetre for any terrain on Earth
// (±214 km). A slope over 1 m cells then moves by a few thousandths of a degree at most;
// millimetres moved it by up to 0.04°. Finer units would leave the sums and differences of
// the window treatments too little room below 2^31.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace orvane {

// The unit of the finest automatic choice: tenths of a millimetre.
inline constexpr int kFinestUnitFactor = 10000;
// The finest unit `--unit` and the opening dialogs can name: a DEM pair written to disk, which
// is reopened by naming its unit, is never finer.
inline constexpr int kFinestNamedUnitFactor = 1000;

// The finest of 10000, 1000, 100, 10 and 1, and not finer than `finest`, in which `lowest` and `highest` (metres, lowest <=
// highest) and their difference stay within the signed 32-bit range; 1 when none does (the
// conversion then refuses the values as it always has).
inline int FinestUnitFactor(double lowest, double highest, int finest = kFinestUnitFactor) {
  if (!std::isfinite(lowest) || !std::isfinite(highest)) return 1;
  const double reach = std::fmax(std::fmax(std::fabs(lowest), std::fabs(highest)),
                                 std::fabs(highest - lowest));
  constexpr double kLargest = static_cast<double>(std::numeric_limits<std::int32_t>::max());
  for (const int factor : {kFinestUnitFactor, 1000, 100, 10})
    if (factor <= finest && reach * factor <= kLargest) return factor;
  return 1;
}

// "m", "dm", "cm", "mm" or "0.1mm" for U = 1, 10, 100, 1000, 10000; "" otherwise.
inline const char* UnitNameOf(int factor) {
  switch (factor) {
    case 1: return "m";
    case 10: return "dm";
    case 100: return "cm";
    case 1000: return "mm";
    case kFinestUnitFactor: return "0.1mm";
    default: return "";
  }
}

}  // namespace orvane
