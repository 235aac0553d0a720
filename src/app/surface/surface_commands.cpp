// The commands of "Surface Parameters" and "DEM Form": slope and aspect (blended with the opening
// relief), convexity, concavity, horizontal surfaces, contour-line density and extraction, the
// global and local fractal dimensions, the circular moving window, total depth and surface 3D
// (whose window size is asked in the shared filter-size dialog), and the explanatory windows.
// Each runs through its declaration; its dialog is a child of the main frame, made at start-up.
#include <QAction>
#include <algorithm>
#include <any>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/display/diagram_forms.h"
#include "app/display/image_window.h"
#include "app/shell/busy_cursor.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_menu.h"
#include "app/shell/window_size_dialog.h"
#include "app/shell/workbench.h"
#include "app/surface/surface_forms.h"
#include "core/surface/circular_window.h"
#include "core/surface/contour_density.h"
#include "core/surface/contour_lines.h"
#include "core/surface/convexity.h"
#include "core/surface/global_fractal.h"
#include "core/surface/horizontal_surfaces.h"
#include "core/surface/local_fractal.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// What puts back the enabled state the components `names` have now, which a treatment must not
// change.
std::function<void()> EnabledStates(TWorkbench& main, std::initializer_list<const char*> names) {
  std::map<QString, bool> states;
  for (const char* name : names) states[name] = main.IsEnabled(name);
  return [&main, states] {
    for (const auto& [name, enabled] : states) main.SetEnabled(name, enabled);
  };
}

// The slope or the aspect from its class-table dialog: the picture blended with the relief made
// when the DEM was opened by the dialog's shading weight w ((1 - w) result + w relief per
// channel; not when w is 0 or the relief has another size), then shown; false when nothing was.
template <class Dialog>
bool ShowBlended(TWorkbench& main, const TreatmentDescriptor& treatment, const QString& title) {
  Dialog& form = FrameChild<Dialog>(main);
  if (Prompts().Exec(form) != QDialog::Accepted || !main.Session().CurrentDem()) return false;
  TreatmentArgs args = form.Args();
  // The shadow is the relief made at opening, blended here rather than made again.
  args.Set("shade", 0);
  // The aspect keeps its direction frequencies for the direction diagram.
  auto run = RunDeclaredTreatment(main, treatment, args, kOutputPicture | kOutputValues | kOutputDrawing);
  if (!run) return false;
  main.BeginTreatment(title);
  if (const auto* histogram = std::any_cast<TDirectionHistogram>(&run->output.drawing))
    FrameChild<TAspectDialog>(main).Histogram() = *histogram;
  std::shared_ptr<TRasterImage> picture = std::move(run->output.picture);
  const auto relief = main.Session().OpeningRelief();
  const float weight = form.ShadingWeight();
  if (weight > 0.0f && relief && relief->columns == picture->columns && relief->lines == picture->lines) {
    if (auto blended = picture->Blend(*relief, weight)) picture = std::move(blended);
  }
  const DisplayMode mode = run->output.colourPicture ? DisplayMode::kColour : DisplayMode::kGray;
  ShowTreatmentResult(main, picture, {.title = title, .mode = mode, .placement = form.Placement()}, *run);
  return true;
}

// Convexity, concavity and horizontal surfaces run however their dialog was closed, as long as
// the range is one it accepts.
void ConvexityOrConcavity(TWorkbench& main, bool convexity) {
  if (!main.Session().CurrentDem()) return;
  TConvexityConcavityDialog& form = FrameChild<TConvexityConcavityDialog>(main);
  if (!form.ExecForValues(main, "ERREUR")) return;
  const int range = form.Args().Int("range");
  const QString title = Q(convexity ? ConvexityTitle(range) : ConcavityTitle(range));
  RunAndShow(main, convexity ? kConvexityTreatment : kConcavityTreatment, form.Args(), title,
             form.Placement());
}

void HorizontalSurfaces(TWorkbench& main) {
  if (!main.Session().CurrentDem()) return;
  THorizontalSurfacesDialog& form = FrameChild<THorizontalSurfacesDialog>(main);
  if (!form.ExecForValues(main, "ERREUR")) return;
  auto run = RunDeclaredTreatment(main, kHorizontalTreatment, form.Args());
  if (!run) return;
  const QString title = Q(HorizontalTitle(form.Args().Int("range")));
  main.BeginTreatment(title);
  // As a parameter image this result leaves the gray histogram as it was and turns the
  // palette off.
  const auto restoreHistogram = EnabledStates(main, {"GrayHisto1", "HistoGrSpeedButton"});
  if (ShowTreatmentResult(main, *run, {.title = title, .placement = form.Placement()})) return;
  restoreHistogram();
  main.SetEnabled("OpenPalette1", false);
  main.SetEnabled("PaletteSpeedButton", false);
}

void ContourDensity(TWorkbench& main) {
  TDemModel* dem = main.Session().CurrentDem();
  if (!dem) return;
  TContourExtractionDialog& form = FrameChild<TContourExtractionDialog>(main);
  const int unit = std::max(1, main.Session().UnitFactor());
  form.SetDem(dem->minElevation / unit, dem->maxElevation / unit, main.Session().PixelSizeText(),
              dem->pixelSizeX);
  form.SetLevelRange(TruncatedElevation(dem->minElevation), TruncatedElevation(dem->maxElevation), unit);
  Prompts().Exec(form);
  // Left with values that give no result (Cancel, close box): nothing to compute.
  if (!form.Refusal().isEmpty()) return;
  auto run = RunDeclaredTreatment(main, kContourDensityTreatment, form.Args());
  if (!run) return;
  main.BeginTreatment(kContourDensityTitle);
  main.Session().SetMargin(form.Args().Int("window") / 2);
  ShowTreatmentResult(main, *run, {.title = kContourDensityTitle, .placement = form.Placement()});
}

void ContourLines(TWorkbench& main) {
  TDemModel* dem = main.Session().CurrentDem();
  if (!dem) return;
  TContourDensityDialog& form = FrameChild<TContourDensityDialog>(main);
  {
    BusyCursor busy;
    const ContourHeightRange range = ContourHeights(*dem, std::max(1, main.Session().UnitFactor()));
    form.SetHeights(range.minimum, range.maximum, main.Session().PixelSizeText());
  }
  if (Prompts().Exec(form) != QDialog::Accepted) return;
  auto run = RunDeclaredTreatment(main, kContoursTreatment, form.Args());
  if (!run) return;
  // Only saving and wrapping apply to a level-index image.
  const auto restoreOthers = EnabledStates(main, {"Tools1", "OpenPalette1", "PaletteSpeedButton",
                                                 "GrayHisto1", "HistoGrSpeedButton"});
  ShowTreatmentResult(main, *run, {.title = kContourLinesTitle});
  restoreOthers();
  main.SetVisible("Save1", true);
}

void GlobalFractal(TWorkbench& main) {
  if (!main.Session().CurrentDem()) return;
  auto run = RunDeclaredTreatment(main, kGlobalFractalTreatment, {}, kOutputFigures, kGlobalFractalCaption);
  if (!run) return;
  const GlobalFractalResult result{.dimension = run->FigureValue("D"),
                                   .correlation = run->FigureValue("r")};
  Prompts().Warning(&main, kGlobalFractalCaption, Q(GlobalFractalMessage(result)));
}

void CircularWindow(TWorkbench& main) {
  const std::shared_ptr<TDemModel> dem = main.Session().CurrentDemShared();
  if (!dem) return;
  TCircularWindowDialog& form = FrameChild<TCircularWindowDialog>(main);
  form.SetDem(dem->pixelSizeX, dem->columns, dem->lines);
  if (Prompts().Exec(form) != QDialog::Accepted) return;
  const TreatmentArgs args = form.Args();
  auto run = RunDeclaredTreatment(main, kCircularTreatment, args);
  if (!run) return;
  const QString title = Q(CircularTitle(args.Int("stat"), args.Int("radius")));
  main.BeginTreatment(title);  // also hides the direction histogram
  if (!ShowTreatmentResult(main, *run, {.title = title, .placement = form.Placement()}))
    main.ParamWindow().SetCaption(title);  // no "(1:1)"
}

void LocalFractal(TWorkbench& main) {
  TDemModel* dem = main.Session().CurrentDem();
  if (!dem) return;
  TLocalFractalDialog& form = FrameChild<TLocalFractalDialog>(main);
  // The treatment runs however the dialog is closed, with the values it holds, as long as
  // they can give a result (OK refuses anything else and keeps the dialog open).
  const int unit = std::max(1, main.Session().UnitFactor());
  const auto metres = [unit](double z) { return static_cast<std::int64_t>(z) / unit; };
  form.SetRelief(metres(dem->maxElevation) - metres(dem->minElevation), main.Session().PixelSize());
  if (!form.ExecForValues(main, "ERREUR")) return;
  const TreatmentArgs args = form.Args();
  auto run = RunDeclaredTreatment(main, kLocalFractalTreatment, args,
                                  kOutputValues | kOutputFigures | kOutputDrawing);
  if (!run) return;
  const QString title = " LOCAL FRACTAL DIMENSION  WINDOW SIZE " +
                        QString::asprintf(" %d ", args.Int("window")) +
                        QString::asprintf(" Coeff H = %4.2lf ", args.Real("h"));
  main.BeginTreatment(title);
  Prompts().Warning(&main, "LOCAL FRACTAL DIMENSION",
                    QString::asprintf("Min = %lf Max = %lf ", run->FigureValue("min"),
                                      run->FigureValue("max")));
  TLocalFractalDiagram& diagram = DiagramWindow<TLocalFractalDiagram>(main);
  const auto& drawn = std::any_cast<const LocalFractalDiagram&>(run->output.drawing);
  std::copy(drawn.counts.begin(), drawn.counts.end(), diagram.Counts().begin());
  diagram.SetUpperBound(drawn.upper);
  diagram.SetStart(drawn.start);
  // No placement choice: always the parameter image, whose printing items come with it.
  ShowTreatmentResult(main, *run, {.title = title});
  main.Session().SetDiagramKind(DiagramKind::kLocalFractal);
  Prompts().Exec(diagram);
}

void TotalDepth(TWorkbench& main) {
  TDemModel* dem = main.Session().CurrentDem();
  if (!dem) return;
  TWindowSizeDialog& window = WindowSizeDialogOf(main);
  // The window's odd side 2 (ws / 2) + 1 must fit in the DEM.
  const WindowLimits limits = DeclaredWindowLimits(kTotalDepthTreatment, "The window size must be at least 1")
                                  .FittingIn(dem->columns, dem->lines, 0);
  if (window.Ask(main.Session().PixelSize(), limits) != QDialog::Accepted) return;
  const QString title = " TOTAL DEPTH   GRID SIZE " + window.SideText();
  TreatmentArgs args;
  args.Set("window", window.WindowSize());
  // The colours are chosen after the run, from its range.
  auto run = RunDeclaredTreatment(main, kTotalDepthTreatment, args,
                                  kOutputDrawing | kOutputValues | kOutputFigures);
  if (!run) return;
  main.BeginTreatment(title);
  // The visualisation dialog shows the relief range; the treatment goes on however it closes.
  auto* palette = main.findChild<TClassPaletteDialog*>(kTotalDepthPalette.objectName);
  palette->SetRange(static_cast<int>(run->FigureValue("min")), static_cast<int>(run->FigureValue("max")));
  Prompts().Exec(*palette);
  if (!RenderDeclaredPicture(main, *run, palette->DisplayArgs())) return;
  ShowTreatmentResult(main, *run, {.title = title, .placement = palette->Placement()});
}

void Surface3D(TWorkbench& main) {
  if (!main.Session().CurrentDem()) return;
  TWindowSizeDialog& window = WindowSizeDialogOf(main);
  const WindowLimits limits = DeclaredWindowLimits(kSurface3DTreatment, "The window size must be at least 1");
  if (window.Ask(main.Session().PixelSize(), limits) != QDialog::Accepted) return;
  const int side = window.WindowSize();
  TreatmentArgs args;
  args.Set("window", side);
  RunAndShow(main, kSurface3DTreatment, args,
             " 3D SURFACE  WINDOW SIZE " + QString::asprintf(" %d x %d ", side, side));
}

// The frame's one dialog of each of `Forms`.
template <class... Forms>
void MakeDialogs(QWidget& frame) {
  (FrameChild<Forms>(frame), ...);
}

}  // namespace

void RunAndShow(TWorkbench& main, const TreatmentDescriptor& treatment, const TreatmentArgs& args,
                const QString& title, ResultKind placement) {
  auto run = RunDeclaredTreatment(main, treatment, args);
  if (!run) return;
  main.BeginTreatment(title);
  ShowTreatmentResult(main, *run, {.title = title, .placement = placement});
}

void InstallSurfaceCommands(TWorkbench& main) {
  // The dialogs exist from start-up, like every dialog of the program.
  TAspectDialog* aspect = &FrameChild<TAspectDialog>(main);
  DiagramWindow<TDirectionHistogramWindow>(main).SetSource([aspect] { return aspect->Histogram(); });
  MakeDialogs<TSlopeDialog, TConvexityConcavityDialog, THorizontalSurfacesDialog,
              TContourExtractionDialog, TContourDensityDialog, TCircularWindowDialog,
              TLocalFractalDialog>(main);
  new TClassPaletteDialog(kTotalDepthPalette, &main);
  WindowSizeDialogOf(main);
  TWorkbench* frame = &main;
  const auto info = [frame](QDialog* dialog) { return [dialog] { Prompts().Exec(*dialog); }; };
  const std::pair<const char*, std::function<void()>> items[] = {
      {"SlopeTreatment1", [frame] { ShowBlended<TSlopeDialog>(*frame, kSlopeTreatment, " SLOPE "); }},
      {"SlopeInfo1", info(MakeSlopeInfoForm(&main))},
      {"AspectTreatment1",
       [frame] {
         if (ShowBlended<TAspectDialog>(*frame, kAspectTreatment, " ASPECT "))
           frame->SetEnabled("AspectSpeedButton", true);
       }},
      {"AspectInfo1", info(MakeAspectInfoForm(&main))},
      {"Convexity1", [frame] { ConvexityOrConcavity(*frame, true); }},
      {"Concavity1", [frame] { ConvexityOrConcavity(*frame, false); }},
      {"HorizontalSurfaces1", [frame] { HorizontalSurfaces(*frame); }},
      {"Global1", [frame] { ContourDensity(*frame); }},
      {"ContourLineExtraction1", [frame] { ContourLines(*frame); }},
      {"DimensionFractale1", [frame] { GlobalFractal(*frame); }},
      {"CircularWindowTreatment1", [frame] { CircularWindow(*frame); }},
      {"CircularWindowInfo1", info(MakeCircularWindowInfoForm(&main))},
      {"LocalFractalTreatment1", [frame] { LocalFractal(*frame); }},
      {"TotalDepthTreatment1", [frame] { TotalDepth(*frame); }},
      {"Surface3DTreatment1", [frame] { Surface3D(*frame); }},
  };
  for (const auto& [action, handler] : items) ConnectAction(main, action, &main, handler);
}

}  // namespace orvane
