#include "app/terrain/dem_info_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/display/bitmap_box.h"
#include "app/shell/form_parts.h"
#include "app/shell/text_values.h"

namespace orvane {

namespace {

constexpr int kViewWidth = 240;
constexpr int kViewHeight = 200;

}  // namespace

TDemInfoForm::TDemInfoForm(TDemModel& dem, int unitFactor, QWidget* parent)
    : QDialog(parent), dem_(dem) {
  setObjectName("InfosMntForm");
  setWindowTitle(" DEM Characteristics");
  setModal(true);
  auto* layout = new QGridLayout(this);

  QLineEdit* figures[4];
  auto* params = FieldGroup(" DEM Parameters ", {{figures[0], "ColEdit", "Nb of Columns"},
                                                 {figures[1], "LigEdit", "Nb of Lines"},
                                                 {figures[2], "AltMaxEdit", "Altitude Maximum "},
                                                 {figures[3], "AltMinEdit", "Altitude Minimum "},
                                                 {pasXEdit_, "PasXEdit", "Pixel Size"}});
  const QString texts[4] = {QString::number(dem.columns), QString::number(dem.lines),
                            QString::number(dem.maxElevation), QString::number(dem.minElevation)};
  for (int i = 0; i < 4; ++i) {
    figures[i]->setText(texts[i]);
    figures[i]->setReadOnly(true);
  }
  pasXEdit_->setText(QString::number(dem.pixelSizeX));
  FormOf(params)->addRow(new QLabel("These Dynamic Scale Units are in:"));
  auto* unit = new QLineEdit(unitFactor == 10     ? "decimeters"
                             : unitFactor == 100  ? "centimeters"
                             : unitFactor == 1000 ? "milimeters"
                                                  : "meters");
  unit->setObjectName("ScaleUnit");
  unit->setReadOnly(true);
  FormOf(params)->addRow(unit);
  layout->addWidget(params, 0, 0);

  auto* look = new QGroupBox("DEM (Quick Look)", this);
  auto* lookLayout = new QVBoxLayout(look);
  paintBox_ = new TBitmapBox(look);
  paintBox_->setFixedSize(kViewWidth, kViewHeight);
  lookLayout->addWidget(paintBox_);
  layout->addWidget(look, 0, 1);

  auto* ok = OkButton(*this, "BitBtn1", {}, this);
  layout->addWidget(ok, 1, 1, Qt::AlignRight);

  look_ = MakeQuickLook(dem, kViewWidth, kViewHeight);
  paintBox_->onPress = [this](QMouseEvent* e) { ViewClick(e->button()); };

  // The fastest steady repaint: about 60 frames a second.
  timer_ = new QTimer(this);
  timer_->setObjectName("Timer1");
  timer_->setInterval(16);
  connect(timer_, &QTimer::timeout, this, &TDemInfoForm::Tick);
  timer_->start();
  Tick();
}

TDemInfoForm::~TDemInfoForm() = default;

QImage DrawQuickView(const TDemModel* model, const TRasterImage* image, const TView3D& view,
                     TDrawOptions options) {
  TRasterImage canvas(view.width, view.height, kRasterRgb);
  options.faceColour = ButtonFaceColour();
  if (model) {
    static const TRasterImage kNoImage;
    DrawView(canvas, *model, image ? *image : kNoImage, view, options);
  } else {
    canvas.Fill(options.faceColour);
  }
  return RgbRasterToImage(canvas);
}

void TDemInfoForm::Tick() {
  look_.view.c = static_cast<float>(look_.view.c + 0.008726646259971648);
  paintBox_->SetBitmap(DrawQuickView(look_.model.get(), nullptr, look_.view, {.mode = kViewWireFrame}));
}

void TDemInfoForm::ViewClick(Qt::MouseButton button) {
  float& exaggeration = look_.view.exaggeration;
  if (button == Qt::LeftButton) exaggeration = static_cast<float>(exaggeration * 1.2);
  if (button == Qt::RightButton) exaggeration = static_cast<float>(exaggeration * 0.8333333333333334);
}

void TDemInfoForm::done(int result) {
  timer_->stop();
  if (result == QDialog::Accepted) {
    QString text = pasXEdit_->text();
    text.replace(',', '.');
    dem_.pixelSizeX = static_cast<float>(LeadingDouble(text));
    dem_.minElevation = static_cast<float>(dem_.ComputeMin());
    dem_.maxElevation = static_cast<float>(dem_.ComputeMax());
  }
  look_.model.reset();
  QDialog::done(result);
}

}  // namespace orvane
