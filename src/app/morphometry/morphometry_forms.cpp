#include "app/morphometry/morphometry_forms.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/display/diagram_forms.h"
#include "app/shell/declared_fields.h"
#include "app/shell/form_kit.h"
#include "app/shell/form_parts.h"
#include "app/shell/result_placement_box.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

// --- TDrainageFractalDialog --------------------------------------------------------------------

TDrainageFractalDialog::TDrainageFractalDialog(QWidget* parent)
    : TTreatmentDialog("FractDrainageForm", " DRAINAGE NETWORK FRACTAL", parent) {
  auto* groups = new QHBoxLayout;
  groups->addWidget(DeclaredRadioGroup("Moving Window Size", DeclaredParam(kDrainageFractalTreatment, "window"),
                                       {"RadioButton1", "RadioButton2"}, size_));
  groups->addWidget(DeclaredRadioGroup("Dynamic Scale", DeclaredParam(kDrainageFractalTreatment, "scale"),
                                       {"RadioButton3", "RadioButton4"}, scale_));
  AddPlacement({"Resulting Image", "RadioButton5", "RadioButton6"}, groups);
  Column().addLayout(groups);
  Column().addWidget(OkButton(*this, "BitBtn1"), 0, Qt::AlignHCenter);
}

int TDrainageFractalDialog::WindowSize() const { return size_->Value(); }
int TDrainageFractalDialog::DynamicScale() const { return scale_->Value(); }

// --- The explanation of the box counting ----------------------------------------------------

QDialog* MakeDrainageFractalInfoForm(QWidget* parent) {
  auto* dialog = new QDialog(parent);
  dialog->setObjectName("InfoFractDimRiverForm");
  dialog->setWindowTitle(" FRACTAL DIMENSION COMPUTATION");
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(BoldLabel("The Fractal Dimension Calculation of the Drainage Network "));
  layout->addWidget(new QLabel(
      "Box Counting method (B. B. Mandelbrot, The Fractal Geometry of Nature, Freeman, 1982)"));

  auto* middle = new QHBoxLayout;
  middle->addWidget(FigureLabel("BoxCountingPicture", "box_counting.png", dialog));
  auto* explanation = LabelColumn({"The Fractal Dimension", "D corresponds to the",
                                   "inverse of the slope", "ln(q) / ln(Ns)  where",
                                   "q is the size of the boxes", "and Ns the number of",
                                   "of the filled boxes."});
  explanation->addStretch();
  middle->addLayout(explanation);
  layout->addLayout(middle);
  LabelColumn({"The first parameter takes into account the drainage network",
               "inside the moving window. The second parameter  portion of",
               "the drainage network passing through the central pixel of the",
               "moving window."},
              layout);
  layout->addWidget(OkButton(*dialog, "OkBitBtn"), 0, Qt::AlignHCenter);
  return dialog;
}

// --- TRatioOfDepthsDialog -----------------------------------------------------------------------

TRatioOfDepthsDialog::TRatioOfDepthsDialog(QWidget* parent)
    : TTreatmentDialog("RatioDepthForm", "  DRAINAGE/SURFACE", parent) {
  auto* groups = new QHBoxLayout;
  AddPlacement({"Resulting Image", "RadioButton3", "RadioButton4"}, groups);
  groups->addWidget(DeclaredRadioGroup("Dynamic Scale", DeclaredParam(kRatioDepthTreatment, "scale"),
                                       {"RadioButton1", "RadioButton2"}, scale_));
  Column().addLayout(groups);
  Column().addLayout(OkCancelRow(*this, "BitBtn1", "BitBtn2", [this] { accept(); }));
}

int TRatioOfDepthsDialog::DynamicScale() const { return scale_->Value(); }

}  // namespace orvane
