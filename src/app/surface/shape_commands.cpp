#include "app/surface/shape_commands.h"

#include <QAction>
#include <initializer_list>
#include <map>
#include <string>

#include "app/display/image_window.h"
#include "app/shell/workbench.h"
#include "app/shell/busy_cursor.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/surface/circular_forms.h"
#include "app/surface/contour_forms.h"
#include "app/surface/shape_forms.h"
#include "app/terrain/dynamic_scale.h"
#include "app/shell/treatment_menu.h"
#include "core/surface/circular_window.h"
#include "core/surface/contour_density.h"
#include "core/surface/contour_lines.h"
#include "core/surface/convexity.h"
#include "core/surface/global_fractal.h"
#include "core/surface/horizontal_surfaces.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The enabled state of some components, to put back what a treatment must not change.
class EnabledStates {
 public:
  EnabledStates(const TWorkbench& main, std::initializer_list<const char*> names) {
    for (const char* name : names) states_[name] = main.IsEnabled(name);
  }
  void Restore(TWorkbench& main) const {
    for (const auto& [name, enabled] : states_) main.SetEnabled(name, enabled);
  }

 private:
  std::map<QString, bool> states_;
};

}  // namespace

TShapeCommands::TShapeCommands(TWorkbench& main)
    : QObject(&main),
      main_(main),
      conCav_(new TConvexityConcavityDialog(&main)),
      horizSurf_(new THorizontalSurfacesDialog(&main)),
      contourLine_(new TContourExtractionDialog(&main)),
      circularWindow_(new TCircularWindowDialog(&main)),
      cwInfo_(new TCircularWindowInfoForm(&main)) {
  contLine_ = new TContourDensityDialog(&main);
}

void TShapeCommands::RunConvexityOrConcavity(bool convexity) {
  if (!main_.Session().CurrentDem()) return;
  // The treatment runs however the dialog was closed, as long as the range is at least 1.
  Prompts().Exec(*conCav_);
  if (const QString refusal = conCav_->Refusal(); !refusal.isEmpty())
    return Prompts().Warning(&main_, "ERREUR", refusal);
  const int range = conCav_->Range();
  TreatmentArgs args;
  args.Set("range", range);
  args.Set("dynamism", conCav_->Dynamism());
  auto run = RunDeclaredTreatment(main_, convexity ? kConvexityTreatment : kConcavityTreatment, args);
  if (!run) return;
  const QString title = Q(convexity ? ConvexityTitle(range) : ConcavityTitle(range));
  main_.BeginTreatment(title);
  ShowTreatmentResult(main_, *run, {.title = title, .placement = conCav_->Placement()});
}

void TShapeCommands::Convexity1Click() { RunConvexityOrConcavity(true); }
void TShapeCommands::Concavity1Click() { RunConvexityOrConcavity(false); }

void TShapeCommands::HorizontalSurfaces1Click() {
  if (!main_.Session().CurrentDem()) return;
  Prompts().Exec(*horizSurf_);  // runs however the dialog was closed, with a range it accepts
  if (const QString refusal = horizSurf_->Refusal(); !refusal.isEmpty())
    return Prompts().Warning(&main_, "ERREUR", refusal);
  TreatmentArgs args;
  args.Set("range", horizSurf_->Range());
  args.Set("dynamism", horizSurf_->Dynamism());
  args.Set("binarize", horizSurf_->Binarize() ? 1 : 0);
  auto run = RunDeclaredTreatment(main_, kHorizontalTreatment, args);
  if (!run) return;
  const QString title = Q(HorizontalTitle(horizSurf_->Range()));
  main_.BeginTreatment(title);
  // As a parameter image this result leaves the gray histogram as it was and turns the
  // palette off.
  const EnabledStates histogram(main_, {"GrayHisto1", "HistoGrSpeedButton"});
  if (ShowTreatmentResult(main_, *run, {.title = title, .placement = horizSurf_->Placement()})) return;
  histogram.Restore(main_);
  main_.SetEnabled("OpenPalette1", false);
  main_.SetEnabled("PaletteSpeedButton", false);
}

void TShapeCommands::Global1Click() {
  TDemModel* dem = main_.Session().CurrentDem();
  if (!dem) return;
  const int unit = std::max(1, main_.Session().UnitFactor());
  contourLine_->SetDynamicScale(dem->minElevation / unit, dem->maxElevation / unit,
                                main_.Session().PixelSizeText());
  contourLine_->SetDemPixelSize(dem->pixelSizeX);
  contourLine_->SetLevelRange(TruncatedElevation(dem->minElevation),
                              TruncatedElevation(dem->maxElevation), unit);
  Prompts().Exec(*contourLine_);
  // Left with values that give no result (Cancel, close box): nothing to compute.
  if (!contourLine_->Refusal().isEmpty()) return;
  TreatmentArgs args;
  args.Set("window", contourLine_->WindowSize());
  args.Set("interval", contourLine_->Interval());
  args.Set("dynamism", contourLine_->Dynamism());
  args.Set("tiling", static_cast<int>(contourLine_->Tiling() == 1 ? ContourTiling::kMovingWindow
                                                                  : ContourTiling::kSquaredGrid));
  auto run = RunDeclaredTreatment(main_, kContourDensityTreatment, args);
  if (!run) return;
  main_.BeginTreatment(kContourDensityTitle);
  main_.Session().SetMargin(contourLine_->WindowSize() / 2);
  ShowTreatmentResult(main_, *run, {.title = kContourDensityTitle, .placement = contourLine_->Placement()});
}

void TShapeCommands::ContourLineExtraction1Click() {
  TDemModel* dem = main_.Session().CurrentDem();
  if (!dem) return;
  {
    BusyCursor busy;
    const ContourHeightRange range = ContourHeights(*dem, std::max(1, main_.Session().UnitFactor()));
    contLine_->SetHeights(range.minimum, range.maximum, main_.Session().PixelSizeText());
  }
  if (Prompts().Exec(*contLine_) != QDialog::Accepted) return;
  TreatmentArgs args;
  args.Set("first", contLine_->First());
  args.Set("last", contLine_->Last());
  args.Set("interval", contLine_->Interval());
  auto run = RunDeclaredTreatment(main_, kContoursTreatment, args);
  if (!run) return;
  // Only saving and wrapping apply to a level-index image.
  const EnabledStates others(main_, {"Tools1", "OpenPalette1", "PaletteSpeedButton", "GrayHisto1",
                                     "HistoGrSpeedButton"});
  ShowTreatmentResult(main_, *run, {.title = kContourLinesTitle});
  others.Restore(main_);
  main_.SetVisible("Save1", true);
}

void TShapeCommands::DimensionFractale1Click() {
  if (!main_.Session().CurrentDem()) return;
  auto run = RunDeclaredTreatment(main_, kGlobalFractalTreatment, {}, kOutputFigures,
                                  kGlobalFractalCaption);
  if (!run) return;
  const GlobalFractalResult result{.dimension = run->FigureValue("D"),
                                   .correlation = run->FigureValue("r")};
  Prompts().Warning(&main_, kGlobalFractalCaption, Q(GlobalFractalMessage(result)));
}

void TShapeCommands::CircularWindowTreatment1Click() {
  const std::shared_ptr<TDemModel> dem = main_.Session().CurrentDemShared();
  if (!dem) return;
  circularWindow_->SetPixelSize(dem->pixelSizeX);
  circularWindow_->SetGridSize(dem->columns, dem->lines);
  if (Prompts().Exec(*circularWindow_) != QDialog::Accepted) return;
  const int radius = circularWindow_->Radius(), statistic = circularWindow_->Statistic();
  TreatmentArgs args;
  args.Set("radius", radius);
  args.Set("stat", statistic);
  auto run = RunDeclaredTreatment(main_, kCircularTreatment, args);
  if (!run) return;
  const QString title = Q(CircularTitle(statistic, radius));
  main_.BeginTreatment(title);  // also hides the direction histogram
  if (!ShowTreatmentResult(main_, *run, {.title = title, .placement = circularWindow_->Placement()}))
    main_.ParamWindow().SetCaption(title);  // no "(1:1)"
}

void TShapeCommands::CircularWindowInfo1Click() { Prompts().Exec(*cwInfo_); }

void InstallShapeCommands(TWorkbench& main) {
  auto* commands = new TShapeCommands(main);
  ConnectAction(main, "Convexity1", commands, &TShapeCommands::Convexity1Click);
  ConnectAction(main, "Concavity1", commands, &TShapeCommands::Concavity1Click);
  ConnectAction(main, "HorizontalSurfaces1", commands, &TShapeCommands::HorizontalSurfaces1Click);
  ConnectAction(main, "Global1", commands, &TShapeCommands::Global1Click);
  ConnectAction(main, "ContourLineExtraction1", commands, &TShapeCommands::ContourLineExtraction1Click);
  ConnectAction(main, "DimensionFractale1", commands, &TShapeCommands::DimensionFractale1Click);
  ConnectAction(main, "CircularWindowTreatment1", commands, &TShapeCommands::CircularWindowTreatment1Click);
  ConnectAction(main, "CircularWindowInfo1", commands, &TShapeCommands::CircularWindowInfo1Click);
}

}  // namespace orvane
