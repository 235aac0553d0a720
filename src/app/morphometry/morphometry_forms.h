// The dialogs of the drainage morphometry:
//   - TDrainageFractalDialog (" DRAINAGE NETWORK FRACTAL"): window size 12 or 24, dynamic scale
//     100 or 255, parameter or wrapped image, for both fractal treatments of the network;
//   - " FRACTAL DIMENSION COMPUTATION": how the box counting works;
//   - TRatioOfDepthsDialog ("  DRAINAGE/SURFACE"): dynamic scale and result kind of the ratio depth.
// Each exists once, a child of the main frame reached through FrameChild, so
// the user's choices persist between runs.
#pragma once

#include "app/surface/surface_forms.h"

namespace orvane {

class TDeclaredRadios;

class TDrainageFractalDialog : public TTreatmentDialog {
  Q_OBJECT

 public:
  explicit TDrainageFractalDialog(QWidget* parent = nullptr);

  // The declared 12 or 24, and 100 or 255.
  int WindowSize() const;
  int DynamicScale() const;

 private:
  TDeclaredRadios* size_;
  TDeclaredRadios* scale_;
};

class TRatioOfDepthsDialog : public TTreatmentDialog {
  Q_OBJECT

 public:
  explicit TRatioOfDepthsDialog(QWidget* parent = nullptr);

  // The declared 100 or 255.
  int DynamicScale() const;

 private:
  TDeclaredRadios* scale_;
};

// The explanation of the box counting (" FRACTAL DIMENSION COMPUTATION").
QDialog* MakeDrainageFractalInfoForm(QWidget* parent);

}  // namespace orvane
