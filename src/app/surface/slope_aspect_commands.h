// "Surface Parameters" > "Slope" and "Aspect": the treatments and their info windows.
#pragma once

#include <QObject>
#include <QString>

#include "app/shell/result_kind.h"
#include "core/treatment/treatment.h"

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
  // Runs `treatment`, blends its picture with the opening relief by `weight` and shows it;
  // false when nothing was shown.
  bool ShowBlended(const TreatmentDescriptor& treatment, TreatmentArgs args, const QString& title,
                   float weight, ResultKind placement);

  TWorkbench& main_;
  TSlopeDialog* slope_;
  TSlopeInfoForm* slopeInfo_;
  TAspectDialog* aspect_;
  TAspectInfoForm* aspectInfo_;
};

void InstallSlopeAspectCommands(TWorkbench& main);

}  // namespace orvane
