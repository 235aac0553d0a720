// The dialogs of the drainage network, each made once as a child of the main frame so that what
// the user typed last persists between runs; the densities ask their window size in the shared
// TWindowSizeDialog (app/shell/window_size_dialog.h).
#pragma once

#include <QDialog>
#include <QString>
#include <optional>

#include "app/display/class_palette_dialog.h"
#include "app/surface/surface_forms.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/result_kind.h"
#include "app/shell/workbench.h"
#include "core/treatment/treatment.h"

class QLineEdit;

namespace orvane {

class TDeclaredRadios;

// "Dissection Density Visu": the palette of the dissection densities (2D and 3D), a tool window.
extern const ClassPaletteOptions kDensityPalette;

// " RIVER EXTRACTION": the ranges and the colour of an extraction. OK keeps the dialog open on
// the range at fault, with the command line's message; "Cancel" and the close box leave without
// extracting.
class TDrainageExtractionDialog : public TTreatmentDialog {
  Q_OBJECT

 public:
  explicit TDrainageExtractionDialog(QWidget* parent = nullptr);

  // The ranges and the declared "colour" (0 black, 1 blue, 2 red, 3 green, 4 yellow).
  TreatmentArgs Args() const override;
  QString Refusal(QLineEdit** field = nullptr) const override;

 private:
  QLineEdit* lrEdit_;
  QLineEdit* urEdit_;
  TDeclaredRadios* colours_;
};

// " INPUT PARAMETERS": the half window size of the headwaters density, the side it observes in
// km, the dynamic scale (100 or 255) and the result kind.
class THeadwatersDialog : public TTreatmentDialog {
  Q_OBJECT

 public:
  explicit THeadwatersDialog(QWidget* parent = nullptr);
  // The half window and the declared dynamic scale.
  TreatmentArgs Args() const override;
  static constexpr const char* kNoHalfWindow =
      "Give the half window size (HWS) as a whole number of pixels";
  // HWS not a whole number in the declared range.
  QString Refusal(QLineEdit** field = nullptr) const override;

  // Before showing: the DEM's pixel size in whole metres into "Pixel Size".
  void SetPixelSize(int metres);
  double SideKm() const;

 private:
  void ShowSide();

  QLineEdit* pixelSizeEdit_;
  QLineEdit* windowEdit_;
  TDeclaredRadios* scale_;
};

// "About this Parameter": how the dissection density is computed.
QDialog* MakeDissectionMethodForm(QWidget* parent);

// The one instance, a child of the main frame, made at the first call.
TClassPaletteDialog& DensityPaletteDialogOf(QWidget& frame);

// The second phase of a treatment drawn in the density palette: the palette dialog over the
// run's range (the treatment goes on however it is closed), then the picture drawn with its
// choices by the declaration and shown, gray tones with a margin of 1, colours with the
// session's. Empty when the picture could not be drawn (said under "ERROR"); else whether it
// was wrapped over the DEM.
std::optional<bool> ShowInDensityPalette(TWorkbench& main, DeclaredRun& run, double minimum,
                                         double maximum, const QString& title,
                                         bool wrappedAlsoParameter);

// A density drawn in the density palette: `treatment` run keeping its Result (the colours are
// chosen after the run, from the range of its densities), begun under `title`, `fill` given the
// result (its diagram), then shown by ShowInDensityPalette over the result's range.
template <class Result, class Fill>
std::optional<bool> RunInDensityPalette(TWorkbench& main, const TreatmentDescriptor& treatment,
                                        const TreatmentArgs& args, const QString& title,
                                        bool wrappedAlsoParameter, Fill fill) {
  auto run = RunDeclaredTreatment(main, treatment, args, kOutputDrawing | kOutputValues);
  if (!run) return std::nullopt;
  const auto* kept = KeptDrawingOf<Result>(run->output);
  if (!kept) return std::nullopt;  // a run asked for its drawing keeps one
  main.BeginTreatment(title);
  fill(kept->computed);
  return ShowInDensityPalette(main, *run, kept->computed.minimum, kept->computed.maximum, title,
                              wrappedAlsoParameter);
}

}  // namespace orvane
