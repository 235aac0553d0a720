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
#include "app/shell/treatment_run.h"
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
  const std::shared_ptr<TDemModel> dem = main_.Session().CurrentDemShared();
  if (!dem) return;
  // The treatment runs however the dialog was closed, as long as the range is at least 1.
  Prompts().Exec(*conCav_);
  if (conCav_->Range() < 1) return Prompts().Warning(&main_, "ERREUR", kNoWindowRange);
  const ShapeParams params{conCav_->Range(), conCav_->Dynamism()};
  const QString title = Q(convexity ? ConvexityTitle(params.range) : ConcavityTitle(params.range));
  ProgressSink* sink = main_.Progress();
  // The shares are taken in the same pass as the picture, as the declaration takes them (the
  // margin comes with the result).
  const char* id = convexity ? "convexity" : "concavity";
  auto result = RunTreatment(main_, "ERREUR", GridOf(*dem), [&] {
    return ComputeWithValues(id, dem->columns, dem->lines, "", [&](float* shares) {
      ShapeParams withShares = params;
      withShares.shares = shares;
      return convexity ? ComputeConvexity(*dem, withShares, sink)
                       : ComputeConcavity(*dem, withShares, sink);
    });
  });
  if (!result) return;
  main_.BeginTreatment(title);
  ShowTreatmentResult(main_, std::move(result->computed.image),
                      {.title = title,
                       .margin = result->computed.margin,
                       .placement = conCav_->Placement()},
                      result->values);
}

void TShapeCommands::Convexity1Click() { RunConvexityOrConcavity(true); }
void TShapeCommands::Concavity1Click() { RunConvexityOrConcavity(false); }

void TShapeCommands::HorizontalSurfaces1Click() {
  const std::shared_ptr<TDemModel> dem = main_.Session().CurrentDemShared();
  if (!dem) return;
  Prompts().Exec(*horizSurf_);  // runs however the dialog was closed, with a range of 1 or more
  if (horizSurf_->Range() < 1) return Prompts().Warning(&main_, "ERREUR", kNoWindowRange);
  const HorizontalParams params{horizSurf_->Range(), horizSurf_->Dynamism(), horizSurf_->Binarize()};
  const QString title = Q(HorizontalTitle(params.range));
  ProgressSink* sink = main_.Progress();
  auto result = RunTreatment(main_, "ERREUR", GridOf(*dem), [&] {
    return ComputeWithValues("horizontal", dem->columns, dem->lines, "", [&](float* shares) {
      HorizontalParams withShares = params;
      withShares.shares = shares;
      return ComputeHorizontalSurfaces(*dem, withShares, sink);
    });
  });
  if (!result) return;
  main_.BeginTreatment(title);
  // As a parameter image this result leaves the gray histogram as it was and turns the
  // palette off.
  const EnabledStates histogram(main_, {"GrayHisto1", "HistoGrSpeedButton"});
  const bool wrapped = ShowTreatmentResult(main_, std::move(result->computed.image),
                                           {.title = title,
                                            .margin = result->computed.margin,
                                            .placement = horizSurf_->Placement()},
                                           result->values);
  if (wrapped) return;
  histogram.Restore(main_);
  main_.SetEnabled("OpenPalette1", false);
  main_.SetEnabled("PaletteSpeedButton", false);
}

void TShapeCommands::Global1Click() {
  const std::shared_ptr<TDemModel> dem = main_.Session().CurrentDemShared();
  if (!dem) return;
  const int unit = std::max(1, main_.Session().UnitFactor());
  contourLine_->SetDynamicScale(dem->minElevation / unit, dem->maxElevation / unit,
                                main_.Session().PixelSizeText());
  contourLine_->SetDemPixelSize(dem->pixelSizeX);
  Prompts().Exec(*contourLine_);
  ContourDensityParams params;
  params.window = contourLine_->WindowSize();
  params.interval = contourLine_->Interval();
  params.dynamism = contourLine_->Dynamism();
  params.tiling = contourLine_->Tiling() == 1 ? DensityTiling::kMovingWindow : DensityTiling::kSquaredGrid;
  params.unitDivisor = unit;
  // Left without an interval or a window (Cancel, close box): nothing to compute.
  if (!CheckContourDensityParams(params)) return;
  ProgressSink* sink = main_.Progress();
  auto result = RunTreatment(main_, "ERREUR", GridOf(*dem), [&] {
    return ComputeWithValues("contour-density", dem->columns, dem->lines, "km/km2",
                             [&](float* density) {
                               ContourDensityParams withDensity = params;
                               withDensity.density = density;
                               return ComputeContourDensity(*dem, withDensity, sink);
                             });
  });
  if (!result) return;
  main_.BeginTreatment(kContourDensityTitle);
  main_.Session().SetMargin(params.window / 2);
  ShowTreatmentResult(main_, std::move(result->computed.image),
                      {.title = kContourDensityTitle,
                       .margin = result->computed.margin,
                       .placement = contourLine_->Placement()},
                      result->values);
}

void TShapeCommands::ContourLineExtraction1Click() {
  TDemModel* dem = main_.Session().CurrentDem();
  if (!dem) return;
  const int unit = std::max(1, main_.Session().UnitFactor());
  {
    BusyCursor busy;
    const ContourHeightRange range = ContourHeights(*dem, unit);
    contLine_->SetHeights(range.minimum, range.maximum, main_.Session().PixelSizeText());
  }
  if (Prompts().Exec(*contLine_) != QDialog::Accepted) return;
  const ContourLinesParams params{contLine_->First(), contLine_->Last(), contLine_->Interval(), unit};
  const std::shared_ptr<TDemModel> shared = main_.Session().CurrentDemShared();
  ProgressSink* sink = main_.Progress();
  // Held through a pointer: GCC 12 misreads the destruction of this Expected when it is moved
  // through the optional of the run (a false -Wfree-nonheap-object).
  auto run = RunComputation(main_, "ERREUR", GridOf(*dem), [&] {
    return std::make_unique<Expected<ContourLinesResult>>(ComputeContourLines(*shared, params, sink));
  });
  if (!run) return;
  Expected<ContourLinesResult>& result = **run;
  if (!result) {
    if (result.error().code != kCancelled) Prompts().Warning(&main_, "ERREUR", Q(result.error().message));
    return;
  }
  contourLevels_ = result->levels;
  DeclaredRun values = DeclaredValues("contours", ContourLineValues(*result));
  // Only saving and wrapping apply to a level-index image.
  const EnabledStates others(main_, {"Tools1", "OpenPalette1", "PaletteSpeedButton", "GrayHisto1",
                                     "HistoGrSpeedButton"});
  ShowTreatmentResult(main_, std::move(result->image), {.title = kContourLinesTitle}, values);
  others.Restore(main_);
  main_.SetVisible("Save1", true);
}

void TShapeCommands::DimensionFractale1Click() {
  const std::shared_ptr<TDemModel> dem = main_.Session().CurrentDemShared();
  if (!dem) return;
  auto result = RunComputation(main_, kGlobalFractalCaption, GridOf(*dem),
                               [&] { return ComputeGlobalFractal(*dem); });
  if (!result) return;
  Prompts().Warning(&main_, kGlobalFractalCaption,
                    Q(*result ? GlobalFractalMessage(**result) : result->error().message));
}

void TShapeCommands::CircularWindowTreatment1Click() {
  const std::shared_ptr<TDemModel> dem = main_.Session().CurrentDemShared();
  if (!dem) return;
  circularWindow_->SetPixelSize(dem->pixelSizeX);
  circularWindow_->SetGridSize(dem->columns, dem->lines);
  if (Prompts().Exec(*circularWindow_) != QDialog::Accepted) return;
  const int radius = circularWindow_->Radius(), statistic = circularWindow_->Statistic();
  const QString title = Q(CircularTitle(statistic, radius));
  TreatmentArgs args;
  args.Set("radius", radius);
  args.Set("stat", statistic);
  auto run = RunDeclaredTreatment(main_, "circular", args);
  if (!run) return;
  main_.BeginTreatment(title);  // also hides the direction histogram
  const bool wrapped = ShowTreatmentResult(
      main_, run->Picture(),
      {.title = title, .margin = run->output.margin, .placement = circularWindow_->Placement()},
      *run);
  if (!wrapped) main_.ParamWindow().SetCaption(title);  // no "(1:1)"
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
