// The drainage commands of the main frame: extraction of the network from the DEM, the four
// dissection densities and their information window, the headwaters density, and the
// incrusting of the network into the parameter image.
#pragma once

#include <QObject>

#include "core/drainage/dissection_density.h"

namespace orvane {

class TWorkbench;
class TDrainageExtractionDialog;

class TDrainageCommands : public QObject {
  Q_OBJECT

 public:
  explicit TDrainageCommands(TWorkbench& main);

  TDrainageExtractionDialog& ExtractionDialog() { return *extraction_; }

  // "DEM Form" > "Extract Drainage Network".
  void ExtractDrainageNetwork1Click();
  // "Dissection Density" > "Grid" / "Moving Window" > "Pixel Density" / "Drainage Length".
  void PixelDensity1Click() { DissectionDensity(DensityTiling::kGrid, DensityMeasure::kPixels); }
  void DrainageLength1Click() { DissectionDensity(DensityTiling::kGrid, DensityMeasure::kLength); }
  void PixelDensity2Click() { DissectionDensity(DensityTiling::kMoving, DensityMeasure::kPixels); }
  void DrainageLength2Click() { DissectionDensity(DensityTiling::kMoving, DensityMeasure::kLength); }
  // "Dissection Density" > "Info".
  void DiesstionDensityInfo1Click();
  // "Headwaters Density" > "Treatment".
  void Headwaterstreatment1Click();
  // "Incrust Drainage" > "-> Parameter Image".
  void ParameterImage1Click();

 private:
  void DissectionDensity(DensityTiling tiling, DensityMeasure measure);

  TWorkbench& main_;
  TDrainageExtractionDialog* extraction_;
};

void InstallDrainageCommands(TWorkbench& main);

}  // namespace orvane
