// "Surface Parameters" > "Slope" and "Aspect": the treatments and their info windows.
#pragma once

#include <QObject>

namespace orvane {

class TAspectDialog;
class TAspectInfoForm;
class TSlopeInfoForm;
class TWorkbench;
class TSlopeDialog;
class TRasterImage;

class TSlopeAspectCommands : public QObject {
  Q_OBJECT

 public:
  explicit TSlopeAspectCommands(TWorkbench& main);

  void SlopeTreatment1Click();
  void SlopeInfo1Click();
  void AspectTreatment1Click();
  void AspectInfo1Click();

  TSlopeDialog& SlopeDialog() { return *slope_; }
  TAspectDialog& AspectDialog() { return *aspect_; }

 private:
  TWorkbench& main_;
  TSlopeDialog* slope_;
  TSlopeInfoForm* slopeInfo_;
  TAspectDialog* aspect_;
  TAspectInfoForm* aspectInfo_;
};

void InstallSlopeAspectCommands(TWorkbench& main);

}  // namespace orvane
