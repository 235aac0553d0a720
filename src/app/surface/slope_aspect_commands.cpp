#include "app/surface/slope_aspect_commands.h"

#include <QAction>
#include <any>

#include "app/display/diagram_forms.h"
#include "app/shell/workbench.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/surface/aspect_forms.h"
#include "app/surface/slope_forms.h"
#include "app/shell/treatment_menu.h"
#include "core/surface/aspect.h"
#include "core/surface/slope.h"
#include "core/treatment/treatment_registry.h"

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
  TreatmentArgs args;
  args.Set("table", slope_->TableChoice());
  args.Set("norm", slope_->Normalization());
  args.Set("smooth", slope_->Smoothing() ? 1 : 0);
  ShowBlended(kSlopeTreatment, args, " SLOPE ", slope_->ShadingWeight(), slope_->Placement());
}

void TSlopeAspectCommands::SlopeInfo1Click() { Prompts().Exec(*slopeInfo_); }

void TSlopeAspectCommands::AspectTreatment1Click() {
  if (Prompts().Exec(*aspect_) != QDialog::Accepted) return;
  TreatmentArgs args;
  args.Set("palette", aspect_->PaletteIndex());
  // The painting palette's classes are in degrees: no normalization.
  if (aspect_->GrayTones()) args.Set("norm", aspect_->Normalization());
  args.Set("smooth", aspect_->Smoothing() ? 1 : 0);
  // Gray results are not blended.
  const float weight = aspect_->GrayTones() ? 0.0f : aspect_->ShadingWeight();
  if (!ShowBlended(kAspectTreatment, args, " ASPECT ", weight, aspect_->Placement())) return;
  main_.SetEnabled("AspectSpeedButton", true);
}

bool TSlopeAspectCommands::ShowBlended(const TreatmentDescriptor& treatment, TreatmentArgs args,
                                       const QString& title, float weight, ResultKind placement) {
  if (!main_.Session().CurrentDem()) return false;
  // The shadow is the relief made at opening, blended here rather than made again.
  args.Set("shade", 0);
  // The aspect keeps its direction frequencies for the direction diagram.
  auto run = RunDeclaredTreatment(main_, treatment, args, kOutputPicture | kOutputValues | kOutputDrawing);
  if (!run) return false;
  main_.BeginTreatment(title);
  if (const auto* histogram = std::any_cast<TDirectionHistogram>(&run->output.drawing))
    aspect_->Histogram() = *histogram;
  const DisplayMode mode = run->output.colourPicture ? DisplayMode::kColour : DisplayMode::kGray;
  ShowTreatmentResult(main_, WithRelief(std::move(run->output.picture), main_.Session().OpeningRelief(), weight),
                      {.title = title, .mode = mode, .placement = placement}, *run);
  return true;
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
