#include "app/drainage/drainage_forms.h"

#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/display/diagram_forms.h"
#include "app/shell/declared_fields.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/form_kit.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/result_placement_box.h"
#include "app/shell/text_values.h"
#include "app/shell/workbench.h"
#include "core/drainage/density_image.h"
#include "core/drainage/headwaters_density.h"
#include "core/terrain/dem_model.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

// ---- TDrainageExtractionDialog

TDrainageExtractionDialog::TDrainageExtractionDialog(QWidget* parent)
    : TTreatmentDialog("ExtractRiv", " RIVER EXTRACTION", parent) {
  auto* filter = new QGroupBox("Filter Size");
  auto* filterForm = new QFormLayout(filter);
  lrEdit_ = AddField(filterForm, "LREdit", "Lower Range");
  urEdit_ = AddField(filterForm, "UREdit", "Upper Range");
  for (QLineEdit* edit : {lrEdit_, urEdit_}) AcceptWholeNumbers(edit, 0, kMaxDemSide);
  filterForm->addRow("Nota: ", new QLabel("Window Size = (Range * 2) + 1"));

  auto* colourGroup = DeclaredRadioGroup("Drainage Network Color",
                                         DeclaredParam(kExtractDrainageTreatment, "colour"),
                                         {"Black", "Blue", "Red", "Green", "Yellow"}, colours_);
  // "Connection" is kept with the dialog; no step of the extraction reads it.
  auto* connection = new QGroupBox("Connection");
  auto* connectionLayout = new QHBoxLayout(connection);
  AddRadio("Yes", "YesButton", connection, connectionLayout);
  AddRadio("No", "NoButton", connection, connectionLayout)->setChecked(true);

  auto* left = new QVBoxLayout;
  left->addWidget(filter);
  left->addLayout(LabelColumn({"Nota; This treatment requires time", "when using a great Upper Range",
                               "and connecting the segments"}));
  auto* right = new QVBoxLayout;
  right->addWidget(colourGroup);
  right->addWidget(connection);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);
  Column().addLayout(columns);
  // Cancel before OK, both on the right.
  QHBoxLayout* buttons = OkCancelRow(*this, "OKBitBtn", "CancelBitBtn", [this] { OkClick(); });
  QWidget* ok = buttons->itemAt(1)->widget();
  buttons->removeWidget(ok);
  buttons->addWidget(ok);
  Column().addLayout(buttons);
}

TreatmentArgs TDrainageExtractionDialog::Args() const {
  TreatmentArgs args;
  args.Set("lower", LeadingInt(lrEdit_->text()));
  args.Set("upper", LeadingInt(urEdit_->text()));
  args.Set("colour", colours_->Value());
  return args;
}

QString TDrainageExtractionDialog::Refusal(QLineEdit** field) const {
  TreatmentArgs args = Args();
  const Status valid = CompleteArgs(kExtractDrainageTreatment, args);
  const QString message = valid ? QString() : QString::fromStdString(valid.message());
  if (field) *field = message.startsWith("--lower") ? lrEdit_ : urEdit_;
  return message;
}

// ---- THeadwatersDialog

THeadwatersDialog::THeadwatersDialog(QWidget* parent)
    : TTreatmentDialog("HeadWatersForm", " INPUT PARAMETERS", parent) {
  auto* size = new QGroupBox("Size Filter");
  auto* grid = new QGridLayout(size);
  pixelSizeEdit_ = new QLineEdit;
  pixelSizeEdit_->setObjectName("PixelSizeEdit");
  windowEdit_ = new QLineEdit;
  windowEdit_->setObjectName("WindowEdit");
  BindDeclaredField(windowEdit_, DeclaredParam(kHeadwatersTreatment, "hws"));
  auto* rule = new QFrame;
  rule->setFrameShape(QFrame::HLine);
  grid->addWidget(new QLabel("Pixel Size"), 0, 0);
  grid->addWidget(pixelSizeEdit_, 0, 1, 1, 3);
  grid->addWidget(new QLabel("Half Window Size (HWS)"), 1, 0);
  grid->addWidget(windowEdit_, 1, 1, 1, 3);
  grid->addWidget(new QLabel("Window Size = (HWS * 2) + 1"), 2, 0, 1, 4);
  grid->addWidget(rule, 3, 0, 1, 4);
  grid->addWidget(new QLabel("taking into account these parameters"), 4, 0, 1, 4);
  grid->addWidget(new QLabel("the observed region  is equal to:"), 5, 0, 1, 4);
  const char* const kilometres[] = {"KilomEdit1", "KilomEdit2"};
  for (int k = 0; k < 2; ++k) {
    auto* edit = new QLineEdit;
    edit->setObjectName(kilometres[k]);
    grid->addWidget(edit, 6, 2 * k);
    grid->addWidget(new QLabel(k == 0 ? "km x" : "km"), 6, 2 * k + 1);
    // The side fields always show the side: an edit is written over at once.
    connect(edit, &QLineEdit::textChanged, this, &THeadwatersDialog::ShowSide);
  }
  connect(windowEdit_, &QLineEdit::textChanged, this, &THeadwatersDialog::ShowSide);

  auto* scale = DeclaredRadioGroup("Dynamic Scale", DeclaredParam(kHeadwatersTreatment, "scale"),
                                   {"RadioButton1", "RadioButton2"}, scale_);
  // The size filter first, so that it comes first in the focus order.
  auto* columns = new QHBoxLayout;
  Column().addLayout(columns);
  columns->addWidget(size);
  auto* right = new QVBoxLayout;
  columns->addLayout(right);
  right->addWidget(scale);
  AddPlacement({"OutPut Image", "RadioButton3", "RadioButton4"}, right);
  right->addStretch();
  right->addWidget(OkButton(*this, "BitBtn1", [this] { OkClick(); }));
}

void THeadwatersDialog::SetPixelSize(int metres) {
  pixelSizeEdit_->setText(QString::number(metres));
  ShowSide();
}

double THeadwatersDialog::SideKm() const {
  return HeadwatersWindowSide(LeadingInt(pixelSizeEdit_->text()), LeadingInt(windowEdit_->text()));
}

TreatmentArgs THeadwatersDialog::Args() const {
  TreatmentArgs args;
  args.Set("hws", LeadingInt(windowEdit_->text()));
  args.Set("scale", scale_->Value());
  return args;
}

QString THeadwatersDialog::Refusal(QLineEdit** field) const {
  if (field) *field = windowEdit_;
  return HoldsNumber(windowEdit_) ? QString() : kNoHalfWindow;
}

void THeadwatersDialog::ShowSide() {
  const QString text = QString::number(SideKm(), 'g', 6);
  for (const char* name : {"KilomEdit1", "KilomEdit2"}) {
    auto* edit = findChild<QLineEdit*>(name);
    if (!edit || edit->text() == text) continue;
    const QSignalBlocker block(edit);
    edit->setText(text);
  }
}

// ---- The dissection densities

const ClassPaletteOptions kDensityPalette{
    .objectName = "DDPaletteFen",
    .title = "Dissection Density Visu",
    .treatment = &kDissectionTreatment,
    .placementTitle = "OutPut Image",
    .toolWindow = true,
    .classTable = &DensityClassTable,
};

TClassPaletteDialog& DensityPaletteDialogOf(QWidget& frame) {
  // Found by name: the total depth's palette dialog is a child of the frame too.
  auto* dialog = frame.findChild<TClassPaletteDialog*>(kDensityPalette.objectName,
                                                       Qt::FindDirectChildrenOnly);
  if (!dialog) dialog = new TClassPaletteDialog(kDensityPalette, &frame);
  return *dialog;
}

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

QDialog* MakeDissectionMethodForm(QWidget* parent) {
  auto* dialog = new QDialog(parent);
  dialog->setObjectName("AboutVennotForm");
  dialog->setWindowTitle("About this Parameter");
  auto* pictures = new QHBoxLayout;
  pictures->addWidget(FigureLabel("WindowPicture", "dissection_window.png", dialog));
  pictures->addWidget(FigureLabel("DistancePicture", "dissection_distance.png", dialog));
  pictures->addLayout(LabelColumn(
      {"Center of the central pixel", "Center of", "a neighboring", "pixel", "S", "WS"}));

  auto* texts = LabelColumn({"Two parameters:", "WS = Window Size", "Np = Number of Pixels",
                             "Sp = Pixel Size"});
  auto* formula = new QHBoxLayout;
  formula->addWidget(new QLabel("D1 = ("));
  formula->addWidget(new QLabel("Np / Ws ) * 100"));
  formula->addStretch();
  texts->addLayout(formula);

  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(BoldLabel("Dissection Density Computation"));
  layout->addLayout(pictures);
  layout->addLayout(texts);
  layout->addWidget(OkButton(*dialog, "OkBitBtn"), 0, Qt::AlignRight);
  return dialog;
}

}  // namespace orvane
