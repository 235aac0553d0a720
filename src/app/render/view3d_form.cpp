#include "app/render/view3d_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <array>
#include <string>

#include "app/display/bitmap_box.h"
#include "app/display/legend_dialog.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/terrain/dem_info_form.h"
#include "core/terrain/bmp_file.h"

namespace orvane {

double DragSpeed(Qt::KeyboardModifiers modifiers) {
  double k = 1.0;
  if (modifiers & Qt::AltModifier) k *= 0.1;
  if (modifiers & Qt::ShiftModifier) k *= 5.0;
  if (modifiers & Qt::ControlModifier) k *= 20.0;
  return k;
}

TView3DDialog::TView3DDialog(const TSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), base_(settings.eyeDistance) {
  setObjectName("Vue3DForm");
  setWindowTitle(" 3D VIEWER");
  setModal(true);
  setMinimumSize(640, 480);
  resize(900, 600);
  auto* outer = new QVBoxLayout(this);
  auto* body = new QHBoxLayout;
  outer->addLayout(body, 1);
  paintBox_ = new TBitmapBox(this);
  paintBox_->setMinimumSize(320, 240);
  paintBox_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  body->addWidget(paintBox_, 1);

  auto* side = new QVBoxLayout;
  body->addLayout(side);
  auto* adjust = new QGroupBox("ADJUST", this);
  auto* adjustLayout = new QGridLayout(adjust);
  // One button per quantity a drag changes, and the reset of that quantity beside it.
  const char* const kDragRows[4][4] = {{"R", "RotSpeedButton", "Rotation", "RotBitBtn"},
                                       {"M", "TransSpeedButton", "Move", "TransBitBtn"},
                                       {"V", "ExaSpeedButton", "Vertical", "ExaBitBtn"},
                                       {"Z", "ZoomSpeedButton", "Zoom", "ZoomBitBtn"}};
  auto* dragGroup = new QButtonGroup(this);
  for (int row = 0; row < 4; ++row) {
    const auto quantity = static_cast<DragQuantity>(row);
    auto* button = AddNamed<QToolButton>(nullptr, kDragRows[row][1], adjust);
    button->setText(kDragRows[row][0]);
    button->setCheckable(true);
    dragGroup->addButton(button);
    adjustLayout->addWidget(button, row, 0);
    dragButtons_[row] = button;
    connect(button, &QToolButton::clicked, this, [this, quantity] { quantity_ = quantity; });
    auto* reset = AddNamed<QPushButton>(nullptr, kDragRows[row][3], kDragRows[row][2], adjust);
    adjustLayout->addWidget(reset, row, 1);
    connect(reset, &QPushButton::clicked, this, [this, quantity] { Reset(quantity); });
  }
  dragButtons_[0]->setChecked(true);
  side->addWidget(adjust);

  // The quick view's styles, by drawing mode.
  auto* quick = new QGroupBox("QUICK VIEW", this);
  auto* quickLayout = new QVBoxLayout(quick);
  quickModes_[kViewWireFrame] = AddRadio("Grid", "SGrilleRadioButton", quick, quickLayout);
  quickModes_[kViewSurface] = AddRadio("Surface", "SPleinRadioButton", quick, quickLayout);
  quickModes_[kViewPoints] = AddRadio("Points", "SPointRadioButton", quick, quickLayout);
  quickModes_[kViewWireFrame]->setChecked(true);
  quickStereo_ = AddNamed<QCheckBox>(quickLayout, "SStereoCheckBox", "Stereo", quick);
  relief_ = AddNamed<QSpinBox>(quickLayout, "ReliefUpDown", quick);
  relief_->setVisible(false);
  side->addWidget(quick);
  for (int mode : {kViewWireFrame, kViewPoints})
    connect(quickModes_[mode], &QRadioButton::clicked, this, [this] { Redraw(); });
  // The surface is drawn without exaggeration.
  connect(quickModes_[kViewSurface], &QRadioButton::clicked, this, [this] {
    view_.exaggeration = 1.0f;
    Redraw();
  });
  connect(quickStereo_, &QCheckBox::clicked, this, [this](bool on) {
    relief_->setVisible(on);
    Redraw();
  });
  connect(relief_, &QSpinBox::valueChanged, this, [this](int position) {
    if (quickDem_) base_ = std::trunc(position * quickDem_->pixelSizeY * 0.1);
    Redraw();
  });

  // The final picture's style: a surface, else a wire frame or points; stereo or not.
  auto* final = new QGroupBox(this);
  auto* finalLayout = new QVBoxLayout(final);
  AddNamed<QCheckBox>(finalLayout, "FPleinCheckBox", "Plein Final", final)->setChecked(true);
  AddRadio("Grille Finale", "FGrilleRadioButton", final, finalLayout)->setChecked(true);
  AddRadio("Points Final", "FPointRadioButton", final, finalLayout);
  AddNamed<QCheckBox>(finalLayout, "FStereoCheckBox", "Stereo Final", final);
  side->addWidget(final);

  observer_ = AddNamed<QCheckBox>(side, "ObsCheckBox", "Obs", this);
  connect(observer_, &QCheckBox::clicked, this, [this](bool on) { SetObserver(on); });
  auto* create = AddNamed<QPushButton>(side, "CreateBitBtn", "Create", this);
  auto* exit = AddNamed<QPushButton>(side, "ExitBitBtn", "Exit", this);
  side->addStretch();
  connect(create, &QPushButton::clicked, this, &QDialog::accept);
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);

  auto* status = AddNamed<QStatusBar>(nullptr, "StatusBar", this);
  status->setSizeGripEnabled(false);
  for (int i = 0; i < 9; ++i) {
    panels_[i] = new QLabel(status);
    status->addWidget(panels_[i]);
  }
  outer->addWidget(status);

  paintBox_->onPress = [this](QMouseEvent* e) { Press(e->position().toPoint(), e->button()); };
  paintBox_->onMove = [this](QMouseEvent* e) {
    if (dragging_) MoveTo(e->position().toPoint(), e->modifiers());
  };
  paintBox_->onRelease = [this](QMouseEvent*) { Release(); };
  paintBox_->onResize = [this] {
    if (quickDem_) Redraw();
  };
}

void TView3DDialog::SetSource(const TDemModel* dem, const TRasterImage* image) {
  dem_ = dem;
  image_ = image;
}

int TView3DDialog::Smoothing() const { return std::clamp(settings_.smoothing3D, 0, 5); }

void TView3DDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Activate();
}

void TView3DDialog::done(int result) {
  dragging_ = false;
  QDialog::done(result);
  quickDem_.reset();
  quickImage_.reset();
}

void TView3DDialog::Activate() {
  quickDem_.reset();
  quickImage_.reset();
  if (dem_ && dem_->IsAllocated()) {
    // The longer side reduced to the skeleton size.
    const int skeleton = std::max(1, settings_.skeletonSize);
    const double f = static_cast<double>(std::max(dem_->columns, dem_->lines)) / skeleton;
    quickDem_ = dem_->Resample(1.0 / f, 3, 5);
    if (image_ && image_->IsAllocated()) quickImage_ = image_->Resample(1.0 / f, 0, 0);
  }
  InitialView();
  SetDragQuantity(DragQuantity::kRotation);
  if (quickDem_) {
    const QSignalBlocker block(relief_);
    relief_->setMaximum(10 * quickDem_->columns);
    relief_->setValue(static_cast<int>(10.0 * base_ / quickDem_->pixelSizeX));
  }
  Redraw();
}

void TView3DDialog::InitialView() {
  view_ = orvane::InitialView(quickDem_.get());
  dragging_ = false;
  if (!quickDem_) return;
  quickModes_[kViewWireFrame]->setChecked(true);
  quickStereo_->setChecked(false);
  relief_->setVisible(false);
  observer_->setChecked(false);
}

void TView3DDialog::Redraw() {
  const int w = std::max(1, paintBox_->width());
  const int h = std::max(1, paintBox_->height());
  view_.width = w;
  view_.height = h;
  view_.sx = w / 2;
  view_.sy = h / 2;
  WrapAngles(view_);
  const std::array<std::string, 8> texts = ViewPanelTexts(view_);
  for (std::size_t i = 0; i < texts.size(); ++i) panels_[i]->setText(QString::fromStdString(texts[i]));
  panels_[8]->clear();
  paintBox_->SetBitmap(DrawQuickView(quickDem_.get(), quickImage_.get(), view_,
                                     {.mode = QuickMode(),
                                      .stereo = quickStereo_->isChecked(),
                                      .eyeDistance = base_,
                                      .smoothing = static_cast<std::uint32_t>(Smoothing())}));
}

QString TView3DDialog::PanelText(int panel) const {
  return panel >= 0 && panel < 9 ? panels_[panel]->text() : QString();
}

void TView3DDialog::Press(QPoint start, Qt::MouseButton button) {
  pressPoint_ = start;
  pressButton_ = button;
  dragStart_ = view_;
  dragging_ = true;
}

void TView3DDialog::MoveTo(QPoint to, Qt::KeyboardModifiers modifiers) {
  if (!dragging_) return;
  DragView(view_, dragStart_, quantity_, pressButton_ == Qt::LeftButton,
           pressButton_ == Qt::RightButton, to.x() - pressPoint_.x(), to.y() - pressPoint_.y(),
           DragSpeed(modifiers), quickDem_.get());
  if (observer_->isChecked()) FollowObserver(view_);
  Redraw();
}

void TView3DDialog::Release() { dragging_ = false; }

void TView3DDialog::SetDragQuantity(DragQuantity quantity) {
  quantity_ = quantity;
  dragButtons_[static_cast<int>(quantity)]->setChecked(true);
}

void TView3DDialog::SetObserver(bool on) {
  if (observer_->isChecked() != on) observer_->setChecked(on);
  SetObserverView(view_, on, quickDem_.get());
  Redraw();
}

void TView3DDialog::Reset(DragQuantity quantity) {
  ResetView(view_, quantity, quickDem_.get());
  Redraw();
}

int TView3DDialog::QuickMode() const {
  for (int mode : {kViewSurface, kViewWireFrame}) {
    if (quickModes_[mode]->isChecked()) return mode;
  }
  return kViewPoints;
}

void TView3DDialog::SetQuickMode(int mode) {
  if (mode == kViewSurface) view_.exaggeration = 1.0f;
  quickModes_[mode == kViewSurface || mode == kViewWireFrame ? mode : kViewPoints]->setChecked(true);
  Redraw();
}

int TView3DDialog::FinalMode() const {
  if (findChild<QCheckBox*>("FPleinCheckBox")->isChecked()) return kViewSurface;
  if (findChild<QRadioButton*>("FPointRadioButton")->isChecked()) return kViewPoints;
  return kViewWireFrame;
}

bool TView3DDialog::FinalStereo() const { return findChild<QCheckBox*>("FStereoCheckBox")->isChecked(); }

void TView3DDialog::SetFinalStyle(bool surface, bool points, bool stereo) {
  findChild<QCheckBox*>("FPleinCheckBox")->setChecked(surface);
  findChild<QRadioButton*>(points ? "FPointRadioButton" : "FGrilleRadioButton")->setChecked(true);
  findChild<QCheckBox*>("FStereoCheckBox")->setChecked(stereo);
}

// ---- the result window ------------------------------------------------------------------

TView3DResultWindow::TView3DResultWindow(std::unique_ptr<TRasterImage> picture, QString directory,
                             QWidget* parent)
    : QWidget(parent), picture_(std::move(picture)), directory_(std::move(directory)) {
  setObjectName("ImageResForm");
  setWindowTitle(" 3D RESULT");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  auto* paintBox = AddNamed<TBitmapBox>(nullptr, "PaintBox1", this);
  paintBox->setFixedSize(picture_->columns, picture_->lines);
  paintBox->SetBitmap(RgbRasterToImage(*picture_));
  // In a scroll area: a large picture must not force its size on the window, or tiling the
  // documents would squeeze the others to slivers.
  auto* scroll = AddNamed<QScrollArea>(layout, "PictureScroll", this);
  scroll->setWidget(paintBox);
  scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  resize(picture_->columns + 30, picture_->lines + 70);
  auto* buttons = new QHBoxLayout;
  auto* save = AddNamed<QPushButton>(buttons, "SaveBitBtn", "Save", this);
  auto* exit = AddNamed<QPushButton>(buttons, "ExitBitBtn", "Exit", this);
  buttons->addStretch();
  layout->addLayout(buttons);
  connect(save, &QPushButton::clicked, this, &TView3DResultWindow::SaveClick);
  connect(exit, &QPushButton::clicked, this, [this] {
    if (parentWidget()) parentWidget()->close();  // the document's frame
    else close();
  });
}

void TView3DResultWindow::SaveClick() {
  const FileAnswer answer =
      Prompts().SaveFile(this, {"Save (Format bmp)", directory_, "Bitmaps [*.bmp]|*.bmp", false});
  if (!answer.ok()) return;
  // The message names the file and the system's reason; a failed save keeps the old file.
  const Status saved = SaveRasterBmp(*picture_, answer.path.toStdString());
  if (!saved) Prompts().Warning(this, "ERROR", QString::fromStdString(saved.message()));
}

}  // namespace orvane
