// The drainage morphometry commands of the main frame: fractal dimension of the network
// (global and drainage segments) and its information window, 3D dissection density, ratio of
// drainage depth to surface; and the diagram windows of the first two.
#pragma once

#include <QObject>

#include "core/morphometry/drainage_fractal.h"

namespace orvane {

class TDemModel;
class TWorkbench;

class TMorphometryCommands : public QObject {
  Q_OBJECT

 public:
  explicit TMorphometryCommands(TWorkbench& main);

  // "Fractal Dimension" > "Global Treatment" / "Drainage Segments" / "Info".
  void DFRedGlobal1Click() { DrainageFractal(FractalMode::kGlobal); }
  void FractalDimensionTreatment1Click() { DrainageFractal(FractalMode::kSegments); }
  void FractalDimensionInfo1Click();
  // "Dissection Dendity 3D" > "Treatment".
  void DissectionDensity3DTreatment1Click();
  // "Ratio Depth Red/Surface" > "Treatment".
  void RatioDepthTreatment1Click();
  // "Tools" > "Diagram" > "Fract. Drainage" / "Dissection Dens. 3D".
  void FractRed1Click();
  void DiagDD3D1Click();

 private:
  void DrainageFractal(FractalMode mode);
  // The DEM the drainage network is read over; null when there is no network (silently), no
  // DEM or a DEM of another size (both said under "ERROR").
  TDemModel* DemUnderNetwork();

  TWorkbench& main_;
};

void InstallMorphometryCommands(TWorkbench& main);

}  // namespace orvane
