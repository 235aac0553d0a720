#include "app/shell/treatment_menu.h"

#include <map>

#include "app/shell/workbench.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

const char* TreatmentMenuAction(const TreatmentDescriptor& treatment) {
  static const std::map<const TreatmentDescriptor*, const char*> kActions = {
      {&kSlopeTreatment, "SlopeTreatment1"},
      {&kAspectTreatment, "AspectTreatment1"},
      {&kShadeTreatment, "Shadowing1"},
      {&kSlicesTreatment, "Shadowing1"},
      {&kConvexityTreatment, "Convexity1"},
      {&kConcavityTreatment, "Concavity1"},
      {&kHorizontalTreatment, "HorizontalSurfaces1"},
      {&kContourDensityTreatment, "Global1"},
      {&kContoursTreatment, "ContourLineExtraction1"},
      {&kGlobalFractalTreatment, "DimensionFractale1"},
      {&kCircularTreatment, "CircularWindowTreatment1"},
      {&kExtractDrainageTreatment, "ExtractDrainageNetwork1"},
      {&kDissectionTreatment, "PixelDensity1"},
      {&kDissection3DTreatment, "DissectionDensity3DTreatment1"},
      {&kHeadwatersTreatment, "Headwaterstreatment1"},
      {&kDrainageFractalTreatment, "FractalDimensionTreatment1"},
      {&kRatioDepthTreatment, "RatioDepthTreatment1"},
      {&kIncrustTreatment, "ParameterImage1"},
      {&kGrayHistogramTreatment, "GrayHisto1"},
      {&kPaletteTreatment, "OpenPalette1"},
      {&kRender3dTreatment, "View3D1"},
      {&kLocalFractalTreatment, "LocalFractalTreatment1"},
      {&kTotalDepthTreatment, "TotalDepthTreatment1"},
      {&kSurface3DTreatment, "Surface3DTreatment1"},
  };
  const auto found = kActions.find(&treatment);
  return found == kActions.end() ? nullptr : found->second;
}

QAction* FindAction(TWorkbench& main, const char* name) { return main.Action(name); }

}  // namespace orvane
