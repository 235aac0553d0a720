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

QString UnitName(int unitFactor) {
  switch (unitFactor) {
    case 10: return "decimeters";
    case 100: return "centimeters";
    case 1000: return "milimeters";
    default: return "meters";
  }
}

TDemInfoForm::TDemInfoForm(TDemModel& dem, int unitFactor, QWidget* parent)
    : QDialog(parent), dem_(dem) {
  setObjectName("InfosMntForm");
  setWindowTitle(" DEM Characteristics");
  setModal(true);
  auto* layout = new QGridLayout(this);

  auto* params = new QGroupBox(" DEM Parameters ", this);
  auto* form = new QGridLayout(params);
  auto addField = [&](const char* caption, const char* name, const QString& text, bool readOnly, int row) {
    form->addWidget(new QLabel(caption, params), row, 0);
    auto* edit = new QLineEdit(text, params);
    edit->setObjectName(name);
    edit->setReadOnly(readOnly);
    form->addWidget(edit, row, 1);
    return edit;
  };
  addField("Nb of Columns", "ColEdit", QString::number(dem.columns), true, 0);
  addField("Nb of Lines", "LigEdit", QString::number(dem.lines), true, 1);
  addField("Altitude Maximum ", "AltMaxEdit", QString::number(dem.maxElevation), true, 2);
  addField("Altitude Minimum ", "AltMinEdit", QString::number(dem.minElevation), true, 3);
  pasXEdit_ = addField("Pixel Size", "PasXEdit", QString::number(dem.pixelSizeX), false, 4);
  form->addWidget(new QLabel("These Dynamic Scale Units are in:", params), 5, 0, 1, 2);
  auto* unit = new QLineEdit(UnitName(unitFactor), params);
  unit->setObjectName("ScaleUnit");
  unit->setReadOnly(true);
  form->addWidget(unit, 6, 0, 1, 2);
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

void TDemInfoForm::Tick() {
  view_.c = static_cast<float>(view_.c + 0.008726646259971648);
  TRasterImage canvas(kViewWidth, kViewHeight, kRasterRgb);
  TDrawOptions options;
  options.mode = kViewWireFrame;
  options.faceColour = ButtonFaceColour();
  if (quickLook_) {
    static const TRasterImage kNoImage;
    DrawView(canvas, *quickLook_, kNoImage, view_, options);
  } else {
    canvas.Fill(options.faceColour);
  }
  paintBox_->SetBitmap(RgbRasterToImage(canvas));
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
