#include "app/surface/slope_aspect_commands.h"

#include <QAction>

#include "app/display/diagram_forms.h"
#include "app/shell/workbench.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_run.h"
#include "app/surface/aspect_forms.h"
#include "app/surface/slope_forms.h"
#include "app/shell/treatment_menu.h"
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

TSlopeAspectCommands::TSlopeAspectCommands(TWorkbench& main)
    : QObject(&main),
      main_(main),
      slope_(new TSlopeDialog(&main)),
      slopeInfo_(new TSlopeInfoForm(&main)),
      aspect_(new TAspectDialog(&main)),
      aspectInfo_(new TAspectInfoForm(&main)) {
  setObjectName("SlopeAspectCommands");
  TAspectDialog* fen = aspect_;
  DiagramWindow<TDirectionHistogramWindow>(main).SetSource([fen] { return fen->Histogram(); });
}

void TSlopeAspectCommands::SlopeTreatment1Click() {
  if (Prompts().Exec(*slope_) != QDialog::Accepted) return;
  if (!main_.Session().CurrentDem()) return;
  const bool gray = slope_->GrayTones();
  TreatmentArgs args;
  args.Set("table", slope_->TableChoice());
  args.Set("norm", slope_->Normalization());
  args.Set("smooth", slope_->Smoothing() ? 1 : 0);
  // The shadow is the relief made at opening, blended here rather than made again.
  args.Set("shade", 0);
  auto run = RunDeclaredTreatment(main_, "slope", args);
  if (!run) return;
  auto image = WithRelief(std::move(run->output.picture), main_.Session().OpeningRelief(),
                          slope_->ShadingWeight());
  main_.BeginTreatment(" SLOPE ");
  ShowTreatmentResult(main_, std::move(image),
                      {.title = " SLOPE ",
                       .mode = gray ? DisplayMode::kGray : DisplayMode::kColour,
                       .placement = slope_->Placement()},
                      *run);
}

void TSlopeAspectCommands::SlopeInfo1Click() { Prompts().Exec(*slopeInfo_); }

void TSlopeAspectCommands::AspectTreatment1Click() {
  if (Prompts().Exec(*aspect_) != QDialog::Accepted) return;
  const std::shared_ptr<TDemModel> dem = main_.Session().CurrentDemShared();
  if (!dem) return;
  const bool gray = aspect_->GrayTones();
  TAspectParams params = aspect_->Params();
  // Gray results are not blended.
  const float weight = gray ? 0.0f : aspect_->ShadingWeight();
  const std::shared_ptr<TRasterImage> relief = main_.Session().OpeningRelief();
  ProgressSink* sink = main_.Progress();
  struct Done {
    std::shared_ptr<TRasterImage> image;
    TDirectionHistogram histogram;
    DeclaredRun values;
  };
  // The direction histogram comes with the picture: the degrees are taken in the same pass, as
  // the declaration takes them.
  auto done = RunTreatment(main_, "ERREUR", GridOf(*dem), [&]() -> Expected<Done> {
    ValueGrid degrees(dem->columns, dem->lines, "degrees");
    params.degrees = degrees.values.data();
    auto computed = ComputeAspect(*dem, params, sink);
    if (!computed) return computed.error();
    return Done{WithRelief(std::move(computed->image), relief, weight),
                std::move(computed->histogram), DeclaredValues("aspect", std::move(degrees))};
  });
  if (!done) return;
  main_.BeginTreatment(" ASPECT ");
  aspect_->Histogram() = done->histogram;
  ShowTreatmentResult(main_, std::move(done->image),
                      {.title = " ASPECT ",
                       .mode = gray ? DisplayMode::kGray : DisplayMode::kColour,
                       .placement = aspect_->Placement()},
                      done->values);
  main_.SetEnabled("AspectSpeedButton", true);
}

void TSlopeAspectCommands::AspectInfo1Click() { Prompts().Exec(*aspectInfo_); }

void InstallSlopeAspectCommands(TWorkbench& main) {
  auto* commands = new TSlopeAspectCommands(main);
  ConnectAction(main, "SlopeTreatment1", commands, &TSlopeAspectCommands::SlopeTreatment1Click);
  ConnectAction(main, "SlopeInfo1", commands, &TSlopeAspectCommands::SlopeInfo1Click);
  ConnectAction(main, "AspectTreatment1", commands, &TSlopeAspectCommands::AspectTreatment1Click);
  ConnectAction(main, "AspectInfo1", commands, &TSlopeAspectCommands::AspectInfo1Click);
}

}  // namespace orvane
