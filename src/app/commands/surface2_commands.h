// The window treatments of "Surface Parameters" that measure roughness and relief: local
// fractal dimension (with its diagram), total depth and surface 3D. The last two ask their
// window size in the shared filter-size dialog TDDFen.
#pragma once

#include <QObject>

namespace orvane {

class TMainForm;
class TLocalFractForm;
class TTotalDepthForm;

class TSurface2Commands : public QObject {
  Q_OBJECT

 public:
  explicit TSurface2Commands(TMainForm& main);

  TLocalFractForm& LocalFractForm() { return *localFract_; }
  TTotalDepthForm& TotalDepthForm() { return *totalDepth_; }

  // "Surface Parameters" > "Local Fractal Dimension" > "Treatment".
  void LocalFractalTreatment1Click();
  // "Surface Parameters" > "Total Depth" > "Treatment".
  void TotalDepthTreatment1Click();
  // "Surface Parameters" > "Surface 3D" > "Treatment".
  void Surface3DTreatment1Click();

 private:
  TMainForm& main_;
  TLocalFractForm* localFract_;
  TTotalDepthForm* totalDepth_;
};

void InstallSurface2Commands(TMainForm& main);

}  // namespace orvane
