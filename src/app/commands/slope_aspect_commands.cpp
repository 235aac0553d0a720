#include "app/commands/slope_aspect_commands.h"

#include <QAction>

#include "app/display/diagram_forms.h"
#include "app/main_form.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_run.h"
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
  if (Prompts().Exec(*pentes_) != QDialog::Accepted) return;
  const std::shared_ptr<TDemModel> dem = main_.CurrentDemShared();
  if (!dem) return;
  const bool gray = pentes_->GrayTones();
  const TSlopeParams params = pentes_->Params();
  const float weight = pentes_->ShadingWeight();
  const std::shared_ptr<TRasterImage> relief = main_.OpeningRelief();
  ProgressSink* sink = main_.Progress();
  auto result = RunTreatment(main_, "ERREUR", GridOf(*dem),
                             [&]() -> Expected<std::shared_ptr<TRasterImage>> {
                               auto slope = ComputeSlope(*dem, params, sink);
                               if (!slope) return slope.error();
                               return WithRelief(std::move(slope->image), relief, weight);
                             });
  if (!result) return;
  main_.BeginTreatment(" SLOPE ");
  if (pentes_->ResultKind() == 1) {
    main_.ShowWrappedImage(std::move(*result));
  } else {
    main_.ShowParameterImage(std::move(*result), " SLOPE ", 0, gray ? 1 : 3);
  }
}

void TSlopeAspectCommands::SlopeInfo1Click() { Prompts().Exec(*slopeInfo_); }

void TSlopeAspectCommands::AspectTreatment1Click() {
  if (Prompts().Exec(*aspect_) != QDialog::Accepted) return;
  const std::shared_ptr<TDemModel> dem = main_.CurrentDemShared();
  if (!dem) return;
  const bool gray = aspect_->GrayTones();
  const TAspectParams params = aspect_->Params();
  // Gray results are not blended.
  const float weight = gray ? 0.0f : aspect_->ShadingWeight();
  const std::shared_ptr<TRasterImage> relief = main_.OpeningRelief();
  ProgressSink* sink = main_.Progress();
  struct Done {
    std::shared_ptr<TRasterImage> image;
    TDirectionHistogram histogram;
  };
  auto done = RunTreatment(main_, "ERREUR", GridOf(*dem), [&]() -> Expected<Done> {
    auto computed = ComputeAspect(*dem, params, sink);
    if (!computed) return computed.error();
    return Done{WithRelief(std::move(computed->image), relief, weight),
                std::move(computed->histogram)};
  });
  if (!done) return;
  main_.BeginTreatment(" ASPECT ");
  aspect_->Histogram() = done->histogram;
  if (aspect_->ResultKind() == 1) {
    main_.ShowWrappedImage(std::move(done->image));
  } else {
    main_.ShowParameterImage(std::move(done->image), " ASPECT ", 0, gray ? 1 : 3);
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
