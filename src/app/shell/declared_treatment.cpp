#include "app/shell/declared_treatment.h"

#include "app/shell/busy_cursor.h"
#include "app/shell/prompter.h"
#include "app/shell/result_values.h"
#include "app/shell/text_values.h"
#include "app/shell/treatment_run.h"
#include "app/shell/workbench.h"
#include "core/settings/settings_file.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

DeclaredContext ContextOf(TWorkbench& main) {
  DeclaredContext context;
  context.settings = std::make_shared<const TSettings>(main.Settings());
  context.unitFactor = main.Session().UnitFactor();
  context.pixelMetres = LeadingDouble(main.Session().PixelSizeText());
  context.wholeMetres = main.Session().PixelSize();
  context.drainage = main.Session().DrainageRaster();
  context.parameter = main.Session().ParameterImage();
  return context;
}

std::optional<DeclaredRun> RunDeclaredTreatment(TWorkbench& main,
                                                const TreatmentDescriptor& treatment,
                                                const TreatmentArgs& args, unsigned wanted,
                                                const QString& caption) {
  // Treatments of the network or the parameter image alone run without a DEM, as from a
  // network opened before any DEM.
  const std::shared_ptr<TDemModel> dem = main.Session().CurrentDemShared();
  const DeclaredContext context = ContextOf(main);
  GridSize size;
  if (dem) {
    size = GridOf(*dem);
  } else if (treatment.inputs & kInputDem) {
    return std::nullopt;
  } else if (const TRasterImage* raster = context.drainage ? context.drainage.get() : context.parameter.get()) {
    size = GridOf(*raster);
  }
  ProgressSink* sink = main.Progress();
  return RunTreatment(main, caption, size, [&, dem] {
    return RunDeclaration(treatment, dem.get(), context, args, wanted, sink);
  });
}

bool RenderDeclaredPicture(TWorkbench& main, DeclaredRun& run, const TreatmentArgs& display,
                           const QString& caption) {
  if (!run.treatment || !run.treatment->render) return run.output.picture != nullptr;
  BusyCursor busy;
  QString failure;
  try {
    auto picture = run.treatment->render(run.output, display);
    if (picture) {
      run.output.picture = std::move(*picture);
      return true;
    }
    failure = QString::fromStdString(picture.error().message);
  } catch (const GridAllocationError& error) {
    failure = QString::fromStdString(error.what());
  } catch (const std::bad_alloc&) {
    const TDemModel* dem = main.Session().CurrentDem();
    failure = QString::fromStdString(GridMemoryMessage(dem ? dem->lines : 0, dem ? dem->columns : 0));
  }
  busy.Release();
  Prompts().Warning(&main, caption, failure);
  return false;
}

bool ShowTreatmentResult(TWorkbench& main, std::shared_ptr<TRasterImage> picture,
                         const ResultDisplay& display) {
  if (display.placement != ResultKind::kWrappedImage) {
    main.ShowParameterImage(std::move(picture), display.title, display.margin, display.mode);
    return false;
  }
  main.ShowWrappedImage(picture);
  if (display.wrappedAlsoParameter) main.ShowParameterImage(std::move(picture));
  return true;
}

bool ShowTreatmentResult(TWorkbench& main, std::shared_ptr<TRasterImage> picture,
                         const ResultDisplay& display, DeclaredRun& run) {
  const bool wrapped = ShowTreatmentResult(main, std::move(picture), display);
  if (!run.treatment || !run.output.values) return wrapped;
  TResultValues values;
  values.grid = std::make_shared<const ValueGrid>(std::move(*run.output.values));
  run.output.values.reset();
  values.name = QString::fromStdString(run.treatment->valueName);
  values.wrapped = wrapped;
  // A picture of one tone is no failure: the status bar says the result holds one value.
  const std::string oneValue = OneValueNote(*values.grid, run.treatment->valueName);
  main.Session().SetResultValues(std::move(values));
  if (!oneValue.empty()) main.ShowResultNote(QString::fromStdString(oneValue));
  return wrapped;
}

bool ShowTreatmentResult(TWorkbench& main, DeclaredRun& run, ResultDisplay display) {
  if (display.margin == 0) display.margin = run.output.margin;
  if (run.output.colourPicture) display.mode = DisplayMode::kColour;
  return ShowTreatmentResult(main, run.Picture(), display, run);
}

}  // namespace orvane
