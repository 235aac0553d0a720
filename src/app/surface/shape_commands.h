// The shape, contour, circular-window and global fractal commands of the main frame:
// "Shape Surface" (convexity, concavity, horizontal surfaces), "Contour Line Density" >
// "Global", "DEM Form" > "Contour Line Extraction" and "Global Fractal Dimension",
// "Circular Moving Window" > "Treatment" and "Info".
#pragma once

#include <QObject>

namespace orvane {

class TWorkbench;
class TCircularWindowInfoForm;
class TCircularWindowDialog;
class TConvexityConcavityDialog;
class TContourDensityDialog;
class TContourExtractionDialog;
class THorizontalSurfacesDialog;

class TShapeCommands : public QObject {
  Q_OBJECT

 public:
  explicit TShapeCommands(TWorkbench& main);

  void Convexity1Click();
  void Concavity1Click();
  void HorizontalSurfaces1Click();
  void Global1Click();
  void ContourLineExtraction1Click();
  void DimensionFractale1Click();
  void CircularWindowTreatment1Click();
  void CircularWindowInfo1Click();


 private:
  void RunConvexityOrConcavity(bool convexity);

  TWorkbench& main_;
  TConvexityConcavityDialog* conCav_;
  THorizontalSurfacesDialog* horizSurf_;
  TContourExtractionDialog* contourLine_;
  TContourDensityDialog* contLine_;
  TCircularWindowDialog* circularWindow_;
  TCircularWindowInfoForm* cwInfo_;
};

}  // namespace orvane
