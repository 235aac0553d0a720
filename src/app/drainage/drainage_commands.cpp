#include "app/drainage/drainage_commands.h"

#include <QAction>
#include <memory>

#include "app/display/diagram_forms.h"
#include "app/drainage/dissection_forms.h"
#include "app/drainage/extraction_form.h"
#include "app/drainage/headwaters_form.h"
#include "app/shell/window_size_dialog.h"
#include "app/shell/workbench.h"
#include "app/shell/busy_cursor.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_run.h"
#include "app/shell/treatment_menu.h"
#include "core/drainage/density_image.h"
#include "core/drainage/density_treatment.h"
#include "core/drainage/drainage_extraction.h"
#include "core/drainage/headwaters_density.h"
#include "core/drainage/incrust.h"

namespace orvane {

TDrainageCommands::TDrainageCommands(TWorkbench& main)
    : QObject(&main), main_(main), extraction_(new TDrainageExtractionDialog(&main)) {
  // The shared dialogs exist from start-up, like every dialog of the program.
  WindowSizeDialogOf(main);
  DensityPaletteDialogOf(main);
  DissectionMethodFormOf(main);
  HeadwatersDialogOf(main);
}

void TDrainageCommands::ExtractDrainageNetwork1Click() {
  TDemModel* dem = main_.Session().CurrentDem();
  if (!dem) return;
  if (Prompts().Exec(*extraction_) != QDialog::Accepted) return;
  ExtractionParams params;
  params.lowerRange = extraction_->LowerRange();
  params.upperRange = extraction_->UpperRange();
  params.colourCode = extraction_->ColourCode();
  params.connection = extraction_->Connection();
  ProgressSink* sink = main_.Progress();
  const std::shared_ptr<TDemModel> shared = main_.Session().CurrentDemShared();
  auto result = RunTreatment(main_, "ERROR", GridOf(*dem),
                             [&] { return ExtractDrainage(*shared, params, sink); });
  if (!result) return;  // cancelled or failed: the network and the view stay as they were
  main_.ShowDrainageRaster(std::shared_ptr<TRasterImage>(std::move(result->network)), true);
}

void TDrainageCommands::DissectionDensity(DensityTiling tiling, DensityMeasure measure) {
  const std::shared_ptr<TRasterImage> drainage = main_.Session().DrainageRaster();
  if (!drainage || !main_.NetworkMatchesDem("ERROR")) return;
  DissectionParams params;
  params.tiling = tiling;
  params.measure = measure;
  // The DEM's NoData cells are out of the windows' area, as from the command line.
  const std::shared_ptr<TDemModel> dem = main_.Session().CurrentDemShared();
  params.ground = dem.get();
  QString title = DissectionTitle(params);
  TWindowSizeDialog& window = WindowSizeDialogOf(main_);
  const WindowLimits limits =
      DeclaredWindowLimits("dissection", "The window size must be at least 2 pixels");
  if (window.Ask(main_.Session().PixelSize(), limits) != QDialog::Accepted) return;
  title += window.SideText();
  params.windowSize = window.WindowSize();

  ProgressSink* sink = main_.Progress();
  // The colours are chosen after the run: the field is kept, and its values drawn from it as
  // the declaration draws them.
  using Done = WithDeclaredValues<DensityField>;
  auto done = RunTreatment(main_, "ERROR", GridOf(*drainage), [&]() -> Expected<Done> {
    auto computed = ComputeDissectionDensity(*drainage, params, sink);
    if (!computed) return computed.error();
    ValueGrid values = DissectionValues(*computed, params.measure);
    return Done{std::move(*computed), DeclaredValues("dissection", std::move(values))};
  });
  if (!done) return;
  const DensityField* field = &done->computed;

  main_.BeginTreatment(title);
  TDissectionDiagram& diagram = DiagramWindow<TDissectionDiagram>(main_);
  diagram.Counts().assign(diagram.Counts().size(), 0);
  TClassPaletteDialog& palette = DensityPaletteDialogOf(main_);
  palette.SetRange(field->minimum, field->maximum);
  Prompts().Exec(palette);  // the treatment goes on however the dialog is closed
  std::unique_ptr<BusyCursor> busy = std::make_unique<BusyCursor>();

  auto image = RenderDensityField(*field, palette.PaletteChoice(), palette.ClassTable(),
                                  palette.Smoothing());
  if (!image) {
    busy.reset();
    Prompts().Warning(&main_, "ERROR", QString::fromStdString(image.error().message));
    return;
  }
  diagram.Counts() = image->histogram;
  diagram.SetBound(image->bound);

  const bool gray = palette.PaletteChoice() == kGrayTones0255;
  const bool moving = tiling == DensityTiling::kMoving;
  const bool wrapped = ShowTreatmentResult(
      main_, std::shared_ptr<TRasterImage>(std::move(image->image)),
      {.title = title,
       .margin = gray ? 1 : main_.Session().Margin(),
       .mode = gray ? DisplayMode::kGray : DisplayMode::kColour,
       .placement = palette.Placement(),
       .wrappedAlsoParameter = moving},  // a moving-window result is the parameter image too
      done->values);
  if (!wrapped) {
    // The gray histogram is offered for the grid results only.
    if (gray && moving) {
      main_.SetEnabled("GrayHisto1", false);
      main_.SetEnabled("HistoGrSpeedButton", false);
    }
    main_.Session().SetDiagramKind(DiagramKind::kDissectionDensity);
  }
  busy.reset();
  Prompts().Exec(diagram);
}

void TDrainageCommands::DiesstionDensityInfo1Click() { Prompts().Exec(DissectionMethodFormOf(main_)); }

void TDrainageCommands::Headwaterstreatment1Click() {
  const std::shared_ptr<TRasterImage> drainage = main_.Session().DrainageRaster();
  TDemModel* dem = main_.Session().CurrentDem();
  if (!drainage || !dem || !main_.NetworkMatchesDem("ERROR")) return;
  QString title = " HEADWATERS DENSITY   MOVING WINDOW SIZE ";
  THeadwatersDialog& form = HeadwatersDialogOf(main_);
  form.SetPixelSize(main_.Session().PixelSize());
  // The treatment goes on however the dialog is closed, as long as HWS is a number.
  Prompts().Exec(form);
  if (!form.HasHalfWindow()) {
    Prompts().Warning(&main_, "ERROR", THeadwatersDialog::kNoHalfWindow);
    return;
  }
  title += QString::asprintf("%2.3f x %2.3f km", form.SideKm(), form.SideKm());

  const HeadwatersParams params{form.HalfWindow(), form.DynamicScale()};
  const std::shared_ptr<TDemModel> shared = main_.Session().CurrentDemShared();
  ProgressSink* sink = main_.Progress();
  // The counts are taken in the same pass as the picture, as the declaration takes them.
  auto done = RunTreatment(main_, "ERROR", GridOf(*drainage), [&] {
    return ComputeWithValues("headwaters", drainage->columns, drainage->lines, "headwaters",
                             [&](float* counts) {
                               HeadwatersParams withCounts = params;
                               withCounts.counts = counts;
                               return HeadwatersDensity(*drainage, *shared, withCounts, sink);
                             });
  });
  if (!done) return;
  HeadwatersResult* result = &done->computed;
  main_.BeginTreatment(title);
  ShowTreatmentResult(main_, std::shared_ptr<TRasterImage>(std::move(result->image)),
                      {.title = title, .margin = result->margin, .placement = form.Placement()},
                      done->values);
}

void TDrainageCommands::ParameterImage1Click() {
  const TSession& session = main_.Session();
  const std::shared_ptr<TRasterImage> parameter = session.ParameterImage();
  const std::shared_ptr<TRasterImage> drainage = session.DrainageRaster();
  if (!drainage) return;
  const bool gray = session.DisplayMode() == DisplayMode::kGray;
  auto result = RunTreatment(main_, "ERREUR", GridOf(*drainage), [&] {
    return IncrustDrainage(parameter.get(), drainage.get(), gray);
  });
  if (!result) return;
  // The caption, display mode, margin and menus stay as they are.
  main_.ShowParameterImage(std::shared_ptr<TRasterImage>(std::move(*result)),
                           session.ParameterTitle(), session.Margin(), session.DisplayMode());
}

void InstallDrainageCommands(TWorkbench& main) {
  auto* commands = new TDrainageCommands(main);
  ConnectAction(main, "ExtractDrainageNetwork1", commands, &TDrainageCommands::ExtractDrainageNetwork1Click);
  ConnectAction(main, "PixelDensity1", commands, &TDrainageCommands::PixelDensity1Click);
  ConnectAction(main, "DrainageLength1", commands, &TDrainageCommands::DrainageLength1Click);
  ConnectAction(main, "PixelDensity2", commands, &TDrainageCommands::PixelDensity2Click);
  ConnectAction(main, "DrainageLength2", commands, &TDrainageCommands::DrainageLength2Click);
  ConnectAction(main, "DiesstionDensityInfo1", commands, &TDrainageCommands::DiesstionDensityInfo1Click);
  ConnectAction(main, "Headwaterstreatment1", commands, &TDrainageCommands::Headwaterstreatment1Click);
  ConnectAction(main, "ParameterImage1", commands, &TDrainageCommands::ParameterImage1Click);
}

}  // namespace orvane
