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
#include "app/shell/busy_cursor.h"
#include "app/shell/declared_fields.h"
#include "app/shell/declared_treatment.h"
#include "app/shell/workbench.h"
#include "app/shell/form_kit.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/text_values.h"
#include "core/drainage/density_image.h"
#include "core/terrain/dem_model.h"

namespace orvane {

namespace {

QString SideOf(float side) { return QString::number(static_cast<double>(side), 'g', 6); }

}  // namespace

TWindowSizeDialog& WindowSizeDialogOf(QWidget& frame) { return FrameChild<TWindowSizeDialog>(frame); }
TClassPaletteDialog& DensityPaletteDialogOf(QWidget& frame) {
  // Found by name: the total depth's palette dialog is a child of the frame too.
  auto* dialog = frame.findChild<TClassPaletteDialog*>(kDensityPalette.objectName,
                                                       Qt::FindDirectChildrenOnly);
  if (!dialog) dialog = new TClassPaletteDialog(kDensityPalette, &frame);
  return *dialog;
}
TDissectionMethodForm& DissectionMethodFormOf(QWidget& frame) { return FrameChild<TDissectionMethodForm>(frame); }

// ---- TWindowSizeDialog ------------------------------------------------------------------------------

WindowLimits& WindowLimits::FittingIn(int columns, int lines, int shift) {
  // The largest ws with 2 trunc((ws - shift) / 2) + 1 <= the smaller side.
  maximum = 2 * ((std::min(columns, lines) - 1) / 2) + 1 + shift;
  tooLarge = "The window is larger than the DEM";
  return *this;
}

WindowLimits DeclaredWindowLimits(const char* treatment, const QString& tooSmall,
                                  int stricterMinimum) {
  const ParamDeclaration& window = DeclaredParam(treatment, "window");
  const int declared = static_cast<int>(window.minimum.value_or(window.positive ? 1.0 : 0.0));
  return {.minimum = std::max(declared, stricterMinimum), .tooSmall = tooSmall};
}

TWindowSizeDialog::TWindowSizeDialog(QWidget* parent) : QDialog(parent, Qt::Tool) {
  setObjectName("DDFen");
  setWindowTitle(" FILTER SIZE");
  auto* group = new QGroupBox("Size of the Filter");
  auto* form = new QGridLayout(group);
  pixEdit_ = new QLineEdit;
  pixEdit_->setObjectName("PixEdit");
  winSizeEdit_ = new QLineEdit;
  // Whole cells, at least one: letters and signs cannot be typed.
  AcceptWholeNumbers(winSizeEdit_, 1, kMaxDemSide);
  winSizeEdit_->setObjectName("WinSizeEdit");
  kilom1_ = new QLineEdit;
  kilom1_->setObjectName("Kilom1Edit");
  kilom1_->setReadOnly(true);
  kilom2_ = new QLineEdit;
  kilom2_->setObjectName("Kilom2Edit");
  kilom2_->setReadOnly(true);
  form->addWidget(new QLabel("Pixel Size"), 0, 0);
  form->addWidget(pixEdit_, 0, 1, 1, 3);
  form->addWidget(new QLabel("Size of the Window"), 1, 0);
  form->addWidget(winSizeEdit_, 1, 1, 1, 3);
  form->addWidget(new QLabel("Corresponding Window Size:"), 2, 0, 1, 4);
  form->addWidget(kilom1_, 3, 0);
  form->addWidget(new QLabel("km  x"), 3, 1);
  form->addWidget(kilom2_, 3, 2);
  form->addWidget(new QLabel("km"), 3, 3);
  // The pixel size is the DEM's, whatever is typed in its field.
  connect(pixEdit_, &QLineEdit::textChanged, this, [this] { pixelSize_ = demPixelSize_; });
  connect(winSizeEdit_, &QLineEdit::textChanged, this, &TWindowSizeDialog::WindowChanged);

  auto* ok = OkButton(*this, "OkBitBtn", [this] { OkClick(); });
  auto* del = new QPushButton("Delete");
  del->setObjectName("DelBitBtn");
  connect(del, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(del);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(buttons);
}

void TWindowSizeDialog::SetPixelSize(int metres) {
  demPixelSize_ = metres;
  pixelSize_ = metres;
  pixEdit_->setText(QString::number(metres));
  WindowChanged();
}

void TWindowSizeDialog::SetWindowSizeText(const QString& text) { winSizeEdit_->setText(text); }

int TWindowSizeDialog::Ask(int pixelSize, const WindowLimits& limits) {
  SetPixelSize(pixelSize);
  limits_ = limits;
  const int answer = Prompts().Exec(*this);
  limits_ = {};
  return answer;
}

void TWindowSizeDialog::OkClick() {
  WindowChanged();
  const bool small = windowSize_ < limits_.minimum;
  const bool large = limits_.maximum > 0 && windowSize_ > limits_.maximum;
  if (small || large) {
    Prompts().Warning(this, "ERROR", small ? limits_.tooSmall : limits_.tooLarge);
    winSizeEdit_->setFocus();
    winSizeEdit_->selectAll();
    return;
  }
  accept();
}

void TWindowSizeDialog::WindowChanged() {
  windowSize_ = LeadingInt(winSizeEdit_->text());
  pixelSize_ = demPixelSize_;
  side_ = static_cast<float>(pixelSize_ * windowSize_ * 0.001);
  kilom1_->setText(SideOf(side_));
  kilom2_->setText(SideOf(side_));
}

QString TWindowSizeDialog::SideText() const {
  return QString::asprintf("%2.3f x %2.3f km", static_cast<double>(side_),
                           static_cast<double>(side_));
}

// ---- the palette dialog --------------------------------------------------------------------

const ClassPaletteOptions kDensityPalette{
    .objectName = "DDPaletteFen",
    .title = "Dissection Density Visu",
    .treatment = "dissection",
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
  BusyCursor busy;
  auto picture = run.treatment->render(run.output, palette.DisplayArgs());
  if (!picture) {
    busy.Release();
    Prompts().Warning(&main, "ERROR", QString::fromStdString(picture.error().message));
    return std::nullopt;
  }
  const bool gray = palette.PaletteChoice() == kGrayTones0255;
  return ShowTreatmentResult(main, std::shared_ptr<TRasterImage>(std::move(*picture)),
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
  ShowTreatmentResult(main, run->Picture(),
                      {.title = title, .margin = run->output.margin, .placement = placement}, *run);
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
