#include "app/commands/slope_aspect_commands.h"

#include <QAction>

#include "app/display/diagram_forms.h"
#include "app/main_form.h"
#include "app/shell/busy_cursor.h"
#include "app/shell/prompter.h"
#include "app/surface/aspect_forms.h"
#include "app/surface/slope_forms.h"
#include "core/surface/aspect.h"
#include "core/surface/slope.h"

namespace orvane {

namespace {

// (1 - w) result + w relief per channel, the relief being the shaded relief made when the DEM
// was opened; the result itself when w is 0 or there is no relief of its size.
std::shared_ptr<TRasterImage> WithRelief(std::unique_ptr<TRasterImage> result,
                                         const std::shared_ptr<TRasterImage>& relief, float w) {
  if (w > 0.0f && relief && relief->columns == result->columns && relief->lines == result->lines) {
    if (auto blended = result->Blend(*relief, w)) return std::shared_ptr<TRasterImage>(std::move(blended));
  }
  return std::shared_ptr<TRasterImage>(std::move(result));
}

}  // namespace

TSlopeAspectCommands::TSlopeAspectCommands(TMainForm& main)
    : QObject(&main),
      main_(main),
      pentes_(new TPentesForm(&main)),
      slopeInfo_(new TInfoSlopeCalcForm(&main)),
      aspect_(new TAspectFen(&main)),
      aspectInfo_(new TInfoAspectCalcForm(&main)) {
  setObjectName("SlopeAspectCommands");
  TAspectFen* fen = aspect_;
  DiagramWindow<THistDirForm>(main).SetSource([fen] { return fen->Histogram(); });
}

void TSlopeAspectCommands::SlopeTreatment1Click() {
  main_.BeginTreatment(" SLOPE ");
  if (Prompts().Exec(*pentes_) != QDialog::Accepted) return;
  TDemModel* dem = main_.CurrentDem();
  if (!dem) return;
  BusyCursor busy;
  const bool gray = pentes_->GrayTones();
  auto slope = ComputeSlope(*dem, pentes_->Params(), main_.Progress());
  if (!slope) {
    busy.Release();
    Prompts().Warning(&main_, "ERREUR", QString::fromStdString(slope.error().message));
    return;
  }
  auto result = WithRelief(std::move(slope->image), main_.OpeningRelief(), pentes_->ShadingWeight());
  if (pentes_->ResultKind() == 1) {
    main_.ShowWrappedImage(std::move(result));
  } else {
    main_.ShowParameterImage(std::move(result), " SLOPE ", 0, gray ? 1 : 3);
  }
}

void TSlopeAspectCommands::SlopeInfo1Click() { Prompts().Exec(*slopeInfo_); }

void TSlopeAspectCommands::AspectTreatment1Click() {
  main_.BeginTreatment(" ASPECT ");
  if (Prompts().Exec(*aspect_) != QDialog::Accepted) return;
  TDemModel* dem = main_.CurrentDem();
  if (!dem) return;
  BusyCursor busy;
  const bool gray = aspect_->GrayTones();
  auto computed = ComputeAspect(*dem, aspect_->Params(), main_.Progress());
  if (!computed) {
    busy.Release();
    Prompts().Warning(&main_, "ERREUR", QString::fromStdString(computed.error().message));
    return;
  }
  aspect_->Histogram() = computed->histogram;
  // Gray results are not blended.
  auto result = WithRelief(std::move(computed->image), main_.OpeningRelief(),
                           gray ? 0.0f : aspect_->ShadingWeight());
  if (aspect_->ResultKind() == 1) {
    main_.ShowWrappedImage(std::move(result));
  } else {
    main_.ShowParameterImage(std::move(result), " ASPECT ", 0, gray ? 1 : 3);
  }
  main_.SetEnabled("AspectSpeedButton", true);
}

void TSlopeAspectCommands::AspectInfo1Click() { Prompts().Exec(*aspectInfo_); }

void InstallSlopeAspectCommands(TMainForm& main) {
  auto* commands = new TSlopeAspectCommands(main);
  const auto connectAction = [&](const char* name, void (TSlopeAspectCommands::*handler)()) {
    if (QAction* action = main.Action(name)) {
      QObject::connect(action, &QAction::triggered, commands, handler);
    }
  };
  connectAction("SlopeTreatment1", &TSlopeAspectCommands::SlopeTreatment1Click);
  connectAction("SlopeInfo1", &TSlopeAspectCommands::SlopeInfo1Click);
  connectAction("AspectTreatment1", &TSlopeAspectCommands::AspectTreatment1Click);
  connectAction("AspectInfo1", &TSlopeAspectCommands::AspectInfo1Click);
}

}  // namespace orvane
