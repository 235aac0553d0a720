// "Surface Parameters" > "Slope" and "Aspect": the treatments and their info windows.
#pragma once

#include <QObject>

namespace orvane {

class TAspectFen;
class TInfoAspectCalcForm;
class TInfoSlopeCalcForm;
class TMainForm;
class TPentesForm;
class TRasterImage;

class TSlopeAspectCommands : public QObject {
  Q_OBJECT

 public:
  explicit TSlopeAspectCommands(TMainForm& main);

  void SlopeTreatment1Click();
  void SlopeInfo1Click();
  void AspectTreatment1Click();
  void AspectInfo1Click();

  TPentesForm& PentesForm() { return *pentes_; }
  TAspectFen& AspectFen() { return *aspect_; }

 private:
  TMainForm& main_;
  TPentesForm* pentes_;
  TInfoSlopeCalcForm* slopeInfo_;
  TAspectFen* aspect_;
  TInfoAspectCalcForm* aspectInfo_;
};

void InstallSlopeAspectCommands(TMainForm& main);

}  // namespace orvane
