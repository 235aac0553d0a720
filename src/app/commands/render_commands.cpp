#include "app/commands/render_commands.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "app/display/bitmap_box.h"
#include "app/display/palette_form.h"
#include "app/display/relief_forms.h"
#include "app/exchange/vue3d_form.h"
#include "app/main_form.h"
#include "app/shell/busy_cursor.h"
#include "app/shell/prompter.h"
#include "app/terrain/infos_mnt_form.h"
#include "core/render/cast_shadows.h"
#include "core/render/palette.h"
#include "core/render/perspective.h"
#include "core/render/shading.h"
#include "core/render/slices.h"

namespace orvane {

TRenderCommands::TRenderCommands(TMainForm& main) : QObject(&main), main_(main) {
  setObjectName("RenderCommands");
  auto currentDem = [this]() -> const TDemModel* { return main_.CurrentDem(); };
  estompForm_ = new TConstEstompForm(main.Light(), currentDem,
                                     [this] { return main_.Settings().previewSize; }, &main);
  hypsoForm_ = new TConstHypsoForm(*estompForm_, main.Light(), currentDem, &main);
  palForm_ = new TPalForm(&main);
  vue3dForm_ = new TVue3DForm(main.Settings(), &main);
}

TRenderCommands::~TRenderCommands() = default;

void TRenderCommands::Shadowing1Click() {
  TDemModel* dem = main_.CurrentDem();
  if (!dem || !dem->IsAllocated()) return;
  if (Prompts().Exec(*hypsoForm_) != QDialog::Accepted) return;
  BusyCursor busy;
  const int table = hypsoForm_->TypeIndex();
  const bool shadow = hypsoForm_->Shadow();
  const TLightParams working = estompForm_->WorkingLight();
  const TLightParams global = main_.Light();
  std::shared_ptr<TRasterImage> result;
  int displayMode = main_.DisplayMode();
  TLightParams castLight = global;
  if (table == kSliceNone) {
    result = RenderShaded(*dem, working, main_.Progress());
    displayMode = 3;
  } else if (table == kSliceGrayTones) {
    result = RenderSlices(*dem, nullptr, nullptr, 1.0, false, main_.Progress());
    displayMode = 1;
  } else {
    const TLightParams light = shadow ? working : global;
    castLight = light;
    result = RenderSlices(*dem, &light, &hypsoForm_->Table(), shadow ? 0.5 : 1.0,
                          hypsoForm_->Smoothing(), main_.Progress());
    // A colour picture: the palette and gray histogram do not apply to it.
    if (result && result->kind == kRasterRgb) displayMode = 3;
  }
  if (!result) {
    busy.Release();
    Prompts().Warning(&main_, "ERREUR", "Not enough memory for the result");
    return;
  }
  QString title = main_.ParameterTitle();
  if (estompForm_->CastShadows() && shadow) {
    auto cast = RenderCastShadows(*dem, castLight.azimuth, castLight.elevation,
                                  estompForm_->AttenuationPercent() / 100.0, main_.Progress());
    if (cast) {
      if (auto combined = cast->Combine(*result, 2)) result = std::move(combined);
    }
  } else {
    title = !shadow ? " HYPSOMETRIC SLICES "
            : table == kSliceNone ? " SHADOW "
                                  : " HYPSOMETRIC SLICES AND SHADOW ";
  }
  main_.BeginTreatment(title);
  if (hypsoForm_->Wrapping()) {
    main_.ShowWrappedImage(result);
  } else {
    main_.ShowParameterImage(result, title, 0, displayMode);
  }
}

void TRenderCommands::OpenPalette1Click() {
  std::shared_ptr<TRasterImage> image = main_.ParameterImage();
  if (!image || !image->IsAllocated()) return;
  const int margin = main_.Margin();
  const TGrayRange range = InnerGrayRange(*image, margin);
  palForm_->SetRange(range.min, range.max);
  if (Prompts().Exec(*palForm_) != QDialog::Accepted) return;
  BusyCursor busy;
  std::shared_ptr<TRasterImage> colour =
      ApplyPalette(*image, palForm_->Table(), palForm_->Smoothing(), margin, main_.Progress());
  if (!colour) return;
  colour->title = image->title;
  main_.ShowParameterImage(colour, main_.ParameterTitle(), margin, 3);
}

void TRenderCommands::View3D1Click() {
  std::shared_ptr<TDemModel> dem = main_.CurrentDemShared();
  std::shared_ptr<TRasterImage> image = main_.DisplayedRaster();
  if (!dem || !dem->IsAllocated() || !image) return;
  if (image->lines != dem->lines || image->columns != dem->columns) {
    Prompts().Warning(&main_, "ERROR", "The size of the DEM and the size of the image are not similar");
    return;
  }
  // The quick views report no progress.
  vue3dForm_->SetSource(dem.get(), image.get());
  const int answer = Prompts().Exec(*vue3dForm_);
  const TView3D view = vue3dForm_->View();
  vue3dForm_->SetSource(nullptr, nullptr);
  if (answer != QDialog::Accepted) return;

  BusyCursor busy;
  auto picture = std::make_unique<TRasterImage>(view.width, view.height, kRasterRgb);
  if (picture->allocError) return;
  TDrawOptions options;
  options.mode = vue3dForm_->FinalMode();
  options.stereo = vue3dForm_->FinalStereo();
  options.eyeDistance = vue3dForm_->StereoBase();
  options.smoothing = static_cast<std::uint32_t>(vue3dForm_->Smoothing());
  options.faceColour = ButtonFaceColour();
  DrawView(*picture, *dem, *image, view, options, main_.Progress());
  auto* result = new TImageResForm(std::move(picture), main_.ImageDirectory());
  QMdiSubWindow* sub = main_.MdiArea().addSubWindow(result);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->show();
  lastResult_ = result;
  connect(result, &QObject::destroyed, this, [this, result] {
    if (lastResult_ == result) lastResult_ = nullptr;
  });
}

void TRenderCommands::DEMInfo1Click() {
  TDemModel* dem = main_.CurrentDem();
  if (!dem || !dem->IsAllocated()) return;
  TInfosMntForm form(*dem, main_.UnitFactor(), &main_);
  Prompts().Exec(form);
}

void InstallRenderCommands(TMainForm& main) {
  auto* commands = new TRenderCommands(main);
  const auto connectAction = [&](const char* name, auto handler) {
    QObject::connect(main.Action(name), &QAction::triggered, commands, handler);
  };
  connectAction("Shadowing1", [commands] { commands->Shadowing1Click(); });
  connectAction("OpenPalette1", [commands] { commands->OpenPalette1Click(); });
  connectAction("PaletteSpeedButton", [commands] { commands->OpenPalette1Click(); });
  connectAction("View3D1", [commands] { commands->View3D1Click(); });
  connectAction("DEMInfo1", [commands] { commands->DEMInfo1Click(); });
}

}  // namespace orvane
