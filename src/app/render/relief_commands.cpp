#include "app/render/relief_commands.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

#include "app/display/bitmap_box.h"
#include "app/render/palette_form.h"
#include "app/render/relief_forms.h"
#include "app/render/view3d_form.h"
#include "app/shell/workbench.h"
#include "app/shell/busy_cursor.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/prompter.h"
#include "app/shell/treatment_run.h"
#include "app/terrain/dem_info_form.h"
#include "app/shell/treatment_menu.h"
#include "core/render/palette.h"
#include "core/render/perspective.h"
#include "core/render/slices.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

TReliefCommands::TReliefCommands(TWorkbench& main) : QObject(&main), main_(main) {
  setObjectName("RenderCommands");
  auto currentDem = [this]() -> const TDemModel* { return main_.Session().CurrentDem(); };
  auto* shading = new TShadingDialog(main.Light(), currentDem,
                                     [this] { return main_.Settings().previewSize; }, &main);
  slices_ = new TSlicesDialog(*shading, main.Light(), currentDem, &main);
  palette_ = new TPaletteDialog(&main);
  view3d_ = new TView3DDialog(main.Settings(), &main);
}

void TReliefCommands::Shadowing1Click() {
  const std::shared_ptr<TDemModel> dem = main_.Session().CurrentDemShared();
  if (!dem || !dem->IsAllocated()) return;
  if (Prompts().Exec(*slices_) != QDialog::Accepted) return;
  const int table = slices_->TypeIndex();
  const bool shadow = slices_->Shadow();
  const bool cast = ShadingDialog().CastShadows() && shadow;
  // The light dialog's light shades; without shadow the slices use the global light.
  TreatmentArgs args = shadow ? LightArgs(ShadingDialog().WorkingLight()) : TreatmentArgs();
  // "Personalized" keeps the classes of the hypsometric table chosen before it.
  args.Set("table", table == kSlicePersonalized ? slices_->HypsoIndex() : table);
  args.Set("smooth", slices_->Smoothing());
  args.Set("scale", slices_->Scale());
  args.Set("shadow", shadow);
  if (cast) args.Set("cast-shadows", ShadingDialog().AttenuationPercent());
  auto run = RunDeclaredTreatment(main_, kSlicesTreatment, args, kOutputPicture);
  if (!run) return;
  std::shared_ptr<TRasterImage> result = run->Picture();
  DisplayMode displayMode = main_.Session().DisplayMode();
  if (table == kSliceGrayTones) {
    displayMode = DisplayMode::kGray;
  } else if (table == kSliceNone || result->kind == kRasterRgb) {
    // A colour picture: the palette and gray histogram do not apply to it.
    displayMode = DisplayMode::kColour;
  }
  QString title = main_.Session().ParameterTitle();
  if (!cast) {
    title = !shadow ? " HYPSOMETRIC SLICES "
            : table == kSliceNone ? " SHADOW "
                                  : " HYPSOMETRIC SLICES AND SHADOW ";
  }
  main_.BeginTreatment(title);
  ShowTreatmentResult(main_, std::move(result),
                      {.title = title, .mode = displayMode, .placement = slices_->Placement()});
}

void TReliefCommands::OpenPalette1Click() {
  std::shared_ptr<TRasterImage> image = main_.Session().ParameterImage();
  if (!image || !image->IsAllocated()) return;
  const int margin = main_.Session().Margin();
  const TGrayRange range = InnerGrayRange(*image, margin);
  palette_->SetRange(range.min, range.max);
  if (Prompts().Exec(*palette_) != QDialog::Accepted) return;
  TreatmentArgs args;
  args.Set("table", palette_->TableIndex());
  args.Set("min", palette_->Min());
  args.Set("max", palette_->Max());
  args.Set("margin", margin);
  args.Set("smooth", palette_->Smoothing());
  auto run = RunDeclaredTreatment(main_, kPaletteTreatment, args, kOutputPicture);
  if (!run) return;
  std::shared_ptr<TRasterImage> colour = run->Picture();
  colour->title = image->title;
  main_.ShowParameterImage(colour, main_.Session().ParameterTitle(), margin, DisplayMode::kColour);
}

void TReliefCommands::View3D1Click() {
  std::shared_ptr<TDemModel> dem = main_.Session().CurrentDemShared();
  std::shared_ptr<TRasterImage> image = main_.Session().DisplayedRaster();
  if (!dem || !dem->IsAllocated() || !image) return;
  if (image->lines != dem->lines || image->columns != dem->columns) {
    Prompts().Warning(&main_, "ERROR", "The size of the DEM and the size of the image are not similar");
    return;
  }
  // The quick views report no progress.
  view3d_->SetSource(dem.get(), image.get());
  const int answer = Prompts().Exec(*view3d_);
  const TView3D view = view3d_->View();
  view3d_->SetSource(nullptr, nullptr);
  if (answer != QDialog::Accepted) return;

  TDrawOptions options;
  options.mode = view3d_->FinalMode();
  options.stereo = view3d_->FinalStereo();
  options.eyeDistance = view3d_->StereoBase();
  options.smoothing = static_cast<std::uint32_t>(view3d_->Smoothing());
  options.faceColour = ButtonFaceColour();
  ProgressSink* sink = main_.Progress();
  auto run = RunComputation(main_, "ERROR", GridSize{view.height, view.width},
                            [&]() -> std::unique_ptr<TRasterImage> {
    auto picture = std::make_unique<TRasterImage>(view.width, view.height, kRasterRgb);
    if (picture->allocError) throw GridAllocationError(view.height, view.width);
    DrawView(*picture, *dem, *image, view, options, sink);
    return picture;
  });
  if (!run) return;
  std::unique_ptr<TRasterImage> picture = std::move(*run);
  auto* result = new TView3DResultWindow(std::move(picture), main_.ImageDirectory());
  QMdiSubWindow* sub = main_.MdiArea().addSubWindow(result);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  // The whole picture when the area has room for it; else scroll bars.
  const QSize room = main_.MdiArea().viewport()->size();
  sub->resize(std::min(result->width() + 20, room.width()),
              std::min(result->height() + 40, room.height()));
  sub->show();
  lastResult_ = result;
}

void TReliefCommands::DEMInfo1Click() {
  TDemModel* dem = main_.Session().CurrentDem();
  if (!dem || !dem->IsAllocated()) return;
  TDemInfoForm form(*dem, main_.Session().UnitFactor(), &main_);
  Prompts().Exec(form);
}

void InstallReliefCommands(TWorkbench& main) {
  auto* commands = new TReliefCommands(main);
  for (const auto& [name, handler] :
       {std::pair{"Shadowing1", &TReliefCommands::Shadowing1Click},
        {"OpenPalette1", &TReliefCommands::OpenPalette1Click},
        {"PaletteSpeedButton", &TReliefCommands::OpenPalette1Click},
        {"View3D1", &TReliefCommands::View3D1Click},
        {"DEMInfo1", &TReliefCommands::DEMInfo1Click}})
    ConnectAction(main, name, commands, handler);
}

}  // namespace orvane
