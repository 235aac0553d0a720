#include "app/drainage/dissection_forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/display/class_legend.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/result_placement_box.h"
#include "app/shell/text_values.h"
#include "core/drainage/density_image.h"
#include "core/terrain/dem_model.h"

namespace orvane {

namespace {

template <class Dialog>
Dialog& ChildDialog(QWidget& frame) {
  Dialog* dialog = frame.findChild<Dialog*>(QString(), Qt::FindDirectChildrenOnly);
  if (!dialog) dialog = new Dialog(&frame);
  return *dialog;
}

QString SideOf(float side) { return QString::number(static_cast<double>(side), 'g', 6); }

}  // namespace

TWindowSizeDialog& DDFenOf(QWidget& frame) { return ChildDialog<TWindowSizeDialog>(frame); }
TDensityPaletteDialog& DDPaletteFenOf(QWidget& frame) { return ChildDialog<TDensityPaletteDialog>(frame); }
TDissectionMethodForm& AboutVennotFormOf(QWidget& frame) { return ChildDialog<TDissectionMethodForm>(frame); }

// ---- TWindowSizeDialog ------------------------------------------------------------------------------

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

  auto* ok = new QPushButton("OK");
  ok->setObjectName("OkBitBtn");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &TWindowSizeDialog::OkClick);
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

void TWindowSizeDialog::SetWindowLimits(int minimum, const QString& tooSmall, int maximum,
                             const QString& tooLarge) {
  minimumWindow_ = minimum;
  tooSmall_ = tooSmall;
  maximumWindow_ = maximum;
  tooLarge_ = tooLarge;
}

void TWindowSizeDialog::OkClick() {
  WindowChanged();
  const bool small = windowSize_ < minimumWindow_;
  const bool large = maximumWindow_ > 0 && windowSize_ > maximumWindow_;
  if (small || large) {
    Prompts().Warning(this, "ERROR", small ? tooSmall_ : tooLarge_);
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

// ---- TDensityPaletteDialog ----------------------------------------------------------------------

TDensityPaletteDialog::TDensityPaletteDialog(QWidget* parent) : QDialog(parent, Qt::Tool) {
  setObjectName("DDPaletteFen");
  setWindowTitle("Dissection Density Visu");

  auto* tables = new QGroupBox("Color Tables");
  auto* tablesLayout = new QVBoxLayout(tables);
  combo_ = new QComboBox;
  combo_->setObjectName("DDPaletteComboBox");
  combo_->addItems({"Colored Palette", "Gray Tones Palette", "Gray Tones (0, 255)"});
  tablesLayout->addWidget(combo_);
  thin_ = new QCheckBox("Smoothing");
  thin_->setObjectName("ThinCheckBox");
  scale_ = new QCheckBox("Scale");
  scale_->setObjectName("ScaleCheckBox");

  auto* dynamic = new QGroupBox("Dynamic Scale");
  auto* dynamicForm = new QFormLayout(dynamic);
  minEdit_ = new QLineEdit;
  minEdit_->setObjectName("MinTabEdit");
  maxEdit_ = new QLineEdit;
  maxEdit_->setObjectName("MaxTabEdit");
  AcceptDecimals(minEdit_, true);
  AcceptDecimals(maxEdit_, true);
  dynamicForm->addRow("Min", minEdit_);
  dynamicForm->addRow("Max", maxEdit_);

  placement_ = new TResultPlacementBox(
      {.title = "OutPut Image",
       .parameterName = "RadioButton1",
       .wrappedName = "RadioButton2",
       .parameterChecked = false});

  legend_ = new TClassLegendBox;
  legend_->setObjectName("PaintBox");
  legend_->SetSource([this]() -> const TClassTable& { return table_; },
                     [this] { return thin_->isChecked(); }, LegendLabelFormat::kDecimal);

  ok_ = new QPushButton("OK");
  ok_->setObjectName("OkBitBtn");
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &TDensityPaletteDialog::OkClick);
  auto* del = new QPushButton("Delete");
  del->setObjectName("BitBtn1");
  connect(del, &QPushButton::clicked, this, &TDensityPaletteDialog::DeleteClick);

  connect(combo_, &QComboBox::currentIndexChanged, this, [this] { RebuildTable(); });
  connect(scale_, &QCheckBox::clicked, this, [this] { RebuildTable(); });
  connect(thin_, &QCheckBox::clicked, this, [this] { legend_->update(); });

  auto* left = new QVBoxLayout;
  left->addWidget(tables);
  left->addWidget(thin_);
  left->addWidget(scale_);
  left->addWidget(dynamic);
  left->addWidget(placement_);
  left->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok_);
  buttons->addWidget(del);
  left->addLayout(buttons);
  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel("Color Table"));
  right->addWidget(legend_);
  right->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(right);

  paletteChoice_ = combo_->currentIndex();
  RebuildTable();
}

void TDensityPaletteDialog::SetRange(double minimum, double maximum) {
  minEdit_->setText(QString::number(minimum, 'g', 6));
  maxEdit_->setText(QString::number(maximum, 'g', 6));
}

bool TDensityPaletteDialog::Smoothing() const { return thin_->isChecked(); }
bool TDensityPaletteDialog::Scale() const { return scale_->isChecked(); }

void TDensityPaletteDialog::SelectPalette(int index) { combo_->setCurrentIndex(index); }
void TDensityPaletteDialog::SetSmoothing(bool on) {
  if (thin_->isChecked() != on) thin_->click();
}
void TDensityPaletteDialog::SetScale(bool on) {
  if (scale_->isChecked() != on) scale_->click();
}
void TDensityPaletteDialog::SetMinMaxText(const QString& minimum, const QString& maximum) {
  minEdit_->setText(minimum);
  maxEdit_->setText(maximum);
}
ResultKind TDensityPaletteDialog::Placement() const { return placement_->Kind(); }
void TDensityPaletteDialog::ChoosePlacement(ResultKind kind) { placement_->Choose(kind); }

void TDensityPaletteDialog::showEvent(QShowEvent* event) {
  RebuildTable();
  QDialog::showEvent(event);
}

void TDensityPaletteDialog::RebuildTable() {
  table_ = DensityClassTable(combo_->currentIndex(), scale_->isChecked(),
                             LeadingDouble(minEdit_->text()), LeadingDouble(maxEdit_->text()));
  FitLegend();
}

void TDensityPaletteDialog::FitLegend() {
  const int height = legend_->FitHeight();
  const int okBottom = ok_->geometry().bottom();
  setMinimumHeight(std::min(LegendDialogHeight(height, okBottom), 1000));
  legend_->update();
}

void TDensityPaletteDialog::OkClick() {
  paletteChoice_ = combo_->currentIndex();
  RebuildTable();
  accept();
}

void TDensityPaletteDialog::DeleteClick() {
  // The stored choice stays; the combo box and the table go back to it, so a table is never
  // left empty under a coloured choice.
  combo_->setCurrentIndex(paletteChoice_);
  RebuildTable();
  reject();
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
  auto* title = new QLabel("Dissection Density Computation");
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);

  auto* window = new QLabel;
  window->setPixmap(WindowPicture());
  auto* distance = new QLabel;
  distance->setPixmap(DistancePicture());

  auto* texts = new QVBoxLayout;
  for (const char* line : {"Two parameters:", "WS = Window Size", "Np = Number of Pixels",
                           "Sp = Pixel Size"}) {
    texts->addWidget(new QLabel(line));
  }
  auto* formula = new QHBoxLayout;
  formula->addWidget(new QLabel("D1 = ("));
  formula->addWidget(new QLabel("Np / Ws ) * 100"));
  formula->addStretch();
  texts->addLayout(formula);

  auto* captions = new QVBoxLayout;
  captions->addWidget(new QLabel("Center of the central pixel"));
  captions->addWidget(new QLabel("Center of"));
  captions->addWidget(new QLabel("a neighboring"));
  captions->addWidget(new QLabel("pixel"));
  captions->addWidget(new QLabel("S"));
  captions->addWidget(new QLabel("WS"));

  auto* pictures = new QHBoxLayout;
  pictures->addWidget(window);
  pictures->addWidget(distance);
  pictures->addLayout(captions);

  auto* ok = new QPushButton("OK");
  ok->setObjectName("OkBitBtn");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title);
  layout->addLayout(pictures);
  layout->addLayout(texts);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

}  // namespace orvane
