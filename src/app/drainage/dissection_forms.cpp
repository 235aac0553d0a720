#include "app/drainage/dissection_forms.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/display/diagram_forms.h"
#include "app/shell/declared_fields.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/workbench.h"
#include "app/shell/form_kit.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/text_values.h"
#include "core/drainage/density_image.h"
#include "core/terrain/dem_model.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

TClassPaletteDialog& DensityPaletteDialogOf(QWidget& frame) {
  // Found by name: the total depth's palette dialog is a child of the frame too.
  auto* dialog = frame.findChild<TClassPaletteDialog*>(kDensityPalette.objectName,
                                                       Qt::FindDirectChildrenOnly);
  if (!dialog) dialog = new TClassPaletteDialog(kDensityPalette, &frame);
  return *dialog;
}
TDissectionMethodForm& DissectionMethodFormOf(QWidget& frame) { return FrameChild<TDissectionMethodForm>(frame); }

// ---- the palette dialog --------------------------------------------------------------------

const ClassPaletteOptions kDensityPalette{
    .objectName = "DDPaletteFen",
    .title = "Dissection Density Visu",
    .treatment = &kDissectionTreatment,
    .placementTitle = "OutPut Image",
    .toolWindow = true,
    .classTable = &DensityClassTable,
};

std::optional<bool> ShowInDensityPalette(TWorkbench& main, DeclaredRun& run, double minimum,
                                         double maximum, const QString& title,
                                         bool wrappedAlsoParameter) {
  TClassPaletteDialog& palette = DensityPaletteDialogOf(main);
  palette.SetRange(minimum, maximum);
  Prompts().Exec(palette);
  if (!RenderDeclaredPicture(main, run, palette.DisplayArgs(), "ERROR")) return std::nullopt;
  const bool gray = palette.PaletteChoice() == kGrayTones0255;
  return ShowTreatmentResult(main, run.Picture(),
                             {.title = title,
                              .margin = gray ? 1 : main.Session().Margin(),
                              .mode = gray ? DisplayMode::kGray : DisplayMode::kColour,
                              .placement = palette.Placement(),
                              .wrappedAlsoParameter = wrappedAlsoParameter},
                             run);
}

void RunAndShow(TWorkbench& main, const TreatmentDescriptor& treatment, const TreatmentArgs& args,
                const QString& title, ResultKind placement) {
  auto run = RunDeclaredTreatment(main, treatment, args);
  if (!run) return;
  main.BeginTreatment(title);
  ShowTreatmentResult(main, *run, {.title = title, .placement = placement});
}

// ---- TDissectionMethodForm ------------------------------------------------------------------

namespace {

// A 5 x 5 window of pixels, the central one marked, with its side WS.
QPixmap WindowPicture() {
  QPixmap picture(160, 160);
  picture.fill(Qt::white);
  QPainter p(&picture);
  const int cell = 24;
  const int origin = 20;
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 5; ++j) {
      const QRect r(origin + i * cell, origin + j * cell, cell, cell);
      if (i == 2 && j == 2) p.fillRect(r, QColor(0, 160, 0));
      p.drawRect(r);
    }
  }
  p.drawLine(origin, 150, origin + 5 * cell, 150);
  p.drawText(origin + 5 * cell / 2 - 8, 148, "WS");
  return picture;
}

// Two pixel centres and the distance S between them.
QPixmap DistancePicture() {
  QPixmap picture(160, 100);
  picture.fill(Qt::white);
  QPainter p(&picture);
  p.drawRect(20, 30, 40, 40);
  p.drawRect(60, 30, 40, 40);
  p.setBrush(Qt::black);
  p.drawEllipse(QPoint(40, 50), 3, 3);
  p.drawEllipse(QPoint(80, 50), 3, 3);
  p.drawLine(40, 85, 80, 85);
  p.drawText(56, 98, "S");
  return picture;
}

}  // namespace

TDissectionMethodForm::TDissectionMethodForm(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutVennotForm");
  setWindowTitle("About this Parameter");
  auto* title = BoldLabel("Dissection Density Computation");
  auto* window = new QLabel;
  window->setPixmap(WindowPicture());
  auto* distance = new QLabel;
  distance->setPixmap(DistancePicture());

  auto* texts = LabelColumn({"Two parameters:", "WS = Window Size", "Np = Number of Pixels",
                             "Sp = Pixel Size"});
  auto* formula = new QHBoxLayout;
  formula->addWidget(new QLabel("D1 = ("));
  formula->addWidget(new QLabel("Np / Ws ) * 100"));
  formula->addStretch();
  texts->addLayout(formula);

  auto* pictures = new QHBoxLayout;
  pictures->addWidget(window);
  pictures->addWidget(distance);
  pictures->addLayout(LabelColumn(
      {"Center of the central pixel", "Center of", "a neighboring", "pixel", "S", "WS"}));

  auto* ok = OkButton(*this, "OkBitBtn");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title);
  layout->addLayout(pictures);
  layout->addLayout(texts);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

}  // namespace orvane
