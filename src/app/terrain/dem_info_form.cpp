#include "app/terrain/dem_info_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

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

  // The quick look: the larger side reduced to about 50 cells.
  if (dem.IsAllocated() && dem.lines > 0 && dem.columns > 0) {
    const double f = std::min(50.0 / dem.lines, 50.0 / dem.columns);
    quickLook_ = dem.Resample(f, 0, 0);
  }
  view_.b = -0.7f;
  view_.distance = 0.05f;
  view_.width = kViewWidth;
  view_.height = kViewHeight;
  view_.sx = kViewWidth / 2;
  view_.sy = kViewHeight / 2;
  if (quickLook_) {
    const TDemModel& q = *quickLook_;
    view_.cx = q.columns * q.pixelSizeX / 2;
    view_.cy = q.lines * q.pixelSizeY / 2;
    view_.cz = q.minElevation + (q.maxElevation - q.minElevation) / 2;
    view_.tx = q.pixelSizeX * static_cast<float>(std::max(q.lines, q.columns)) * 3;
    view_.ty = -view_.cy;
    view_.tz = -view_.cz;
  }
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
  view_.c = static_cast<float>(view_.c + 0.008726646259971648);
  paintBox_->SetBitmap(DrawQuickView(quickLook_.get(), nullptr, view_, {.mode = kViewWireFrame}));
}

void TDemInfoForm::ViewClick(Qt::MouseButton button) {
  if (button == Qt::LeftButton) view_.exaggeration = static_cast<float>(view_.exaggeration * 1.2);
  else if (button == Qt::RightButton)
    view_.exaggeration = static_cast<float>(view_.exaggeration * 0.8333333333333334);
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
  quickLook_.reset();
  QDialog::done(result);
}

}  // namespace orvane
