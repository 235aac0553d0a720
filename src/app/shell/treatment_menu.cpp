#include "app/shell/treatment_menu.h"

#include <map>

#include "app/shell/workbench.h"

namespace orvane {

const char* TreatmentMenuAction(const std::string& id) {
  static const std::map<std::string, const char*> kActions = {
      {"slope", "SlopeTreatment1"},
      {"aspect", "AspectTreatment1"},
      {"shade", "Shadowing1"},
      {"slices", "Shadowing1"},
      {"convexity", "Convexity1"},
      {"concavity", "Concavity1"},
      {"horizontal", "HorizontalSurfaces1"},
      {"contour-density", "Global1"},
      {"contours", "ContourLineExtraction1"},
      {"global-fractal", "DimensionFractale1"},
      {"circular", "CircularWindowTreatment1"},
      {"extract-drainage", "ExtractDrainageNetwork1"},
      {"dissection", "PixelDensity1"},
      {"dissection3d", "DissectionDensity3DTreatment1"},
      {"headwaters", "Headwaterstreatment1"},
      {"drainage-fractal", "FractalDimensionTreatment1"},
      {"ratio-depth", "RatioDepthTreatment1"},
      {"incrust", "ParameterImage1"},
      {"gray-histogram", "GrayHisto1"},
      {"palette", "OpenPalette1"},
      {"render3d", "View3D1"},
      {"local-fractal", "LocalFractalTreatment1"},
      {"total-depth", "TotalDepthTreatment1"},
      {"surface3d", "Surface3DTreatment1"},
  };
  const auto found = kActions.find(id);
  return found == kActions.end() ? nullptr : found->second;
}

QAction* FindAction(TWorkbench& main, const char* name) { return main.Action(name); }

}  // namespace orvane
