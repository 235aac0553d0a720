#include "app/render/relief_forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/result_placement_box.h"
#include "core/render/slices.h"
#include "core/settings/settings_file.h"
#include "core/treatment/treatment_registry.h"

namespace orvane {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegrees = 180.0 / kPi;

QString Fixed1(double value) { return QString::number(value, 'f', 1); }

// The value of a light field, its text cleaned and written back only when that changes it, so
// that change handlers do not loop.
double CleanFieldValue(QLineEdit* edit, double lowest = -HUGE_VAL, double highest = HUGE_VAL) {
  const LightField field = CleanLightField(edit->text().toStdString(), lowest, highest);
  const QString text = QString::fromStdString(field.text);
  if (edit->text() != text) edit->setText(text);
  return field.value;
}

}  // namespace

// ---- the sun picker ----------------------------------------------------------------------

TSunPicker::TSunPicker(QWidget* parent) : TBitmapBox(parent) {
  setObjectName("SolPaintBox");
  setFixedSize(100, 100);
  onPaint = [this](QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::gray, 1));
    painter.drawEllipse(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
    painter.setPen(QPen(Qt::black, 4));
    painter.drawLine(QPointF(width() / 2.0, height() / 2.0), SunPoint(light_));
  };
  onPress = [this](QMouseEvent* event) {
    tracking_ = true;
    Pick(event->position().x(), event->position().y());
  };
  onMove = [this](QMouseEvent* event) {
    if (tracking_) Pick(event->position().x(), event->position().y());
  };
  onRelease = [this](QMouseEvent*) { tracking_ = false; };
}

QPointF TSunPicker::SunPoint(const TLightParams& light) const {
  const double r = (1.0 - light.elevation * kDegrees / 90.0) * width() / 2.0;
  return QPointF(width() / 2.0 + r * std::cos(light.azimuth),
                 height() / 2.0 + r * std::sin(light.azimuth));
}

void TSunPicker::SetLight(const TLightParams& light) {
  light_ = light;
  update();
}

void TSunPicker::Pick(double x, double y) {
  const double w = width(), h = height();
  const double dx = x - w / 2.0;
  const double dy = y - h / 2.0;
  const double azimuth = std::atan2(dy, dx);
  double r = 2.0 * std::sqrt(dx * dx + dy * dy) / w;
  if (r > 1.0) r = 1.0;  // onto the circle
  const double elevation = (1.0 - r) * kPi / 2.0;
  emit Picked(static_cast<float>(azimuth), static_cast<float>(elevation));
}

// ---- the light dialog -------------------------------------------------------------------

TShadingDialog::TShadingDialog(TLightParams& global, std::function<const TDemModel*()> dem,
                                   std::function<int()> previewSize, QWidget* parent)
    : QDialog(parent), global_(global), dem_(std::move(dem)), previewSize_(std::move(previewSize)) {
  setObjectName("ConstEstompForm");
  setWindowTitle("SHADOWING");
  setModal(true);
  auto* layout = new QGridLayout(this);

  auto* params = new QGroupBox(" Parameters", this);
  auto* form = new QGridLayout(params);
  const std::pair<const char*, const char*> kLightRows[] = {{"Azimuth", "DirEdit"},
                                                            {"Elevation", "IncEdit"},
                                                            {"Hypsom. Scale", "ExaEdit"},
                                                            {"Brigthness Index", "RefEdit"}};
  QLineEdit** edits[] = {&dirEdit_, &incEdit_, &exaEdit_, &refEdit_};
  for (int row = 0; row < 4; ++row) {
    form->addWidget(new QLabel(kLightRows[row].first, params), row, 0);
    *edits[row] = AddNamed<QLineEdit>(nullptr, kLightRows[row].second, params);
    (*edits[row])->setMaximumWidth(80);
    form->addWidget(*edits[row], row, 1);
  }
  layout->addWidget(params, 0, 0);

  // A group box titled `title` around one widget.
  auto grouped = [this](const char* title, QWidget* widget, Qt::Alignment alignment = {}) {
    auto* group = new QGroupBox(title, this);
    (new QVBoxLayout(group))->addWidget(widget, 0, alignment);
    return group;
  };
  sun_ = new TSunPicker;
  layout->addWidget(grouped("Azimuth/Elevation", sun_, Qt::AlignCenter), 0, 1);
  preview_ = AddNamed<TBitmapBox>(nullptr, "PrevPaintBox");
  preview_->setMinimumSize(200, 200);
  layout->addWidget(grouped(" Previsualization", preview_), 0, 2, 2, 1);

  auto* castGroup = new QGroupBox("Cast Shadows", this);
  auto* castLayout = new QVBoxLayout(castGroup);
  castShadowsCheck_ = AddNamed<QCheckBox>(castLayout, "OmbCheckBox", "Cast Shadows ?", castGroup);
  castShadowsLabel_ = AddNamed<QLabel>(castLayout, "", "Attenuation in %", castGroup);
  castShadowsEdit_ = AddNamed<QLineEdit>(castLayout, "OmbEdit", "50", castGroup);
  castShadowsEdit_->setMaximumWidth(80);
  castShadowsLabel_->setVisible(false);
  castShadowsEdit_->setVisible(false);
  layout->addWidget(castGroup, 1, 0);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(OkButton(*this, "OkBitBtn", {}, this));
  auto* cancel = AddNamed<QPushButton>(buttons, "CancelBitBtn", "Cancel", this);
  layout->addLayout(buttons, 1, 1);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  connect(dirEdit_, &QLineEdit::editingFinished, this, &TShadingDialog::DirEditExit);
  connect(incEdit_, &QLineEdit::editingFinished, this, &TShadingDialog::IncEditExit);
  for (auto [edit, field] : {std::pair{exaEdit_, &TLightParams::exaggeration},
                             {refEdit_, &TLightParams::brightness}}) {
    connect(edit, &QLineEdit::textEdited, this, [this, edit, field] {
      working_.*field = static_cast<float>(CleanFieldValue(edit));
      Redraw();
    });
  }
  connect(castShadowsEdit_, &QLineEdit::textEdited, this, &TShadingDialog::OmbEditChange);
  connect(castShadowsCheck_, &QCheckBox::clicked, this, &TShadingDialog::OmbCheckBoxClick);
  connect(sun_, &TSunPicker::Picked, this, [this](float azimuth, float elevation) {
    working_.azimuth = azimuth;
    working_.elevation = elevation;
    ShowFields();
    Redraw();
  });
}

bool TShadingDialog::CastShadows() const { return castShadowsCheck_->isChecked(); }

const QImage& TShadingDialog::Preview() const { return preview_->Bitmap(); }

void TShadingDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Activate();
}

void TShadingDialog::done(int result) {
  if (result == QDialog::Accepted) global_ = working_;
  // Closing releases the preview model and bitmap.
  previewModel_.reset();
  preview_->SetBitmap(QImage());
  QDialog::done(result);
}

void TShadingDialog::Activate() {
  working_ = global_;
  previewModel_.reset();
  if (const TDemModel* dem = dem_ ? dem_() : nullptr; dem && dem->IsAllocated()) {
    const int side = std::max(dem->lines, dem->columns);
    const double factor = static_cast<double>(previewSize_ ? previewSize_() : 100) / side;
    previewModel_ = dem->Resample(factor, 3, 5);
  }
  ShowFields();
  exaEdit_->setText(QString::number(working_.exaggeration));
  refEdit_->setText(QString::number(working_.brightness));
  attenuation_ = CleanLightField(castShadowsEdit_->text().toStdString(), 0.0, 100.0).value;
  Redraw();
}

void TShadingDialog::SetWorkingLight(const TLightParams& light) {
  working_ = light;
  ShowFields();
  Redraw();
}

void TShadingDialog::ShowFields() {
  dirEdit_->setText(Fixed1(DisplayedAzimuth(working_.azimuth)));
  incEdit_->setText(Fixed1(working_.elevation * kDegrees));
  sun_->SetLight(working_);
}

void TShadingDialog::DirEditExit() {
  working_.azimuth = AzimuthFromDisplayed(CleanFieldValue(dirEdit_));
  sun_->SetLight(working_);
  Redraw();
}

void TShadingDialog::IncEditExit() {
  working_.elevation = static_cast<float>(CleanFieldValue(incEdit_, 0.0, 90.0) / kDegrees);
  sun_->SetLight(working_);
  Redraw();
}

void TShadingDialog::OmbEditChange() {
  attenuation_ = CleanFieldValue(castShadowsEdit_, 0.0, 100.0);
  Redraw();
}

void TShadingDialog::OmbCheckBoxClick() {
  const bool on = castShadowsCheck_->isChecked();
  castShadowsLabel_->setVisible(on);
  castShadowsEdit_->setVisible(on);
  Redraw();
}

void TShadingDialog::Redraw() {
  if (!previewModel_) {
    preview_->SetBitmap(QImage());
    return;
  }
  // The shading and its cast shadows drawn as the treatment draws them, on the coarse copy.
  static const TSettings kBuiltIn;
  TreatmentInputs inputs;
  inputs.dem = previewModel_.get();
  inputs.settings = &kBuiltIn;
  TreatmentArgs args = LightArgs(working_);
  args.Set("table", kSliceNone);
  args.Set("shadow", 1);
  if (CastShadows()) args.Set("cast-shadows", attenuation_);
  if (auto drawn = kSlicesTreatment.run(inputs, args, kOutputPicture, nullptr))
    preview_->SetBitmap(RasterToBitmap(*drawn->picture));
}

// ---- the slices dialog ------------------------------------------------------------------

TSlicesDialog::TSlicesDialog(TShadingDialog& lightForm, TLightParams& global,
                             std::function<const TDemModel*()> dem, QWidget* parent)
    : TLegendDialog("ConstHypsoForm", "SHADOWING AND HYPSOMETRY", parent),
      shading_(lightForm),
      global_(global),
      dem_(std::move(dem)) {
  setWindowFlag(Qt::Tool);
  auto* hypso = new QGroupBox("Hypsometry", this);
  auto* hypsoLayout = new QVBoxLayout(hypso);
  hypsoLayout->addWidget(new QLabel("Color Tables", hypso));
  typeCombo_ = AddNamed<QComboBox>(hypsoLayout, "TypeComboBox", hypso);
  for (const std::string& name : SliceTableNames()) typeCombo_->addItem(QString::fromStdString(name));
  AddSmoothing("SmoothCheckBox", hypsoLayout);
  scale_ = AddNamed<QCheckBox>(hypsoLayout, "ScaleCheckBox", "Scale", hypso);
  Column().addWidget(hypso);

  auto* shading = new QGroupBox("Shadowing Calculation", this);
  auto* shadingLayout = new QVBoxLayout(shading);
  shadow_ = AddNamed<QCheckBox>(shadingLayout, "EstompCheckBox", "Shadow", shading);
  shadowButton_ = AddNamed<QPushButton>(shadingLayout, "EstompButton", "Calculation", shading);
  shadowButton_->setVisible(false);
  Column().addWidget(shading);

  AddPlacement({.title = "Result",
                .parameterName = "ParamRadioButton",
                .wrappedName = "WrapRadioButton",
                .wrappedCaption = "Wrapping",
                .parameterChecked = false});
  AddOkDeleteRow(*this, Column(), "BitBtn1", [this] { OkClick(); });
  AddLegend(LegendLabelFormat::kMetres);

  connect(typeCombo_, &QComboBox::activated, this, &TSlicesDialog::ChooseType);
  connect(scale_, &QCheckBox::clicked, this, [this] { ApplyScale(); });
  connect(shadow_, &QCheckBox::clicked, this, [this](bool on) { SetShadow(on); });
  connect(shadowButton_, &QPushButton::clicked, this, [this] { Prompts().Exec(shading_); });

  typeCombo_->setCurrentIndex(kSliceHypsoMap1);
  ChooseType(kSliceHypsoMap1);
}

bool TSlicesDialog::Scale() const { return scale_->isChecked(); }
bool TSlicesDialog::Shadow() const { return shadow_->isChecked(); }

void TSlicesDialog::ChooseType(int index) {
  if (index < 0 || index >= static_cast<int>(SliceTableNames().size())) return;
  if (typeCombo_->currentIndex() != index) typeCombo_->setCurrentIndex(index);
  typeIndex_ = index;
  const bool personalized = index == kSlicePersonalized;
  if (index >= kSliceHypsoMap1 && index <= kSliceHypsoMap3) table_ = HypsoTable(hypsoIndex_ = index);
  else if (!personalized) table_.Clear();
  else if (table_.count() == 0) table_ = HypsoTable(hypsoIndex_);
  SmoothingBox().setVisible(!personalized);
  shadow_->setVisible(!personalized);
  shadowButton_->setVisible(!personalized && shadow_->isChecked());
  ApplyScale();
}

void TSlicesDialog::ApplyScale() {
  const TDemModel* dem = dem_ ? dem_() : nullptr;
  if (scale_->isChecked() && table_.count() > 0 && dem)
    table_.ScaleBounds(dem->minElevation, dem->maxElevation);
  RefreshLegend(nullptr);
}

void TSlicesDialog::showEvent(QShowEvent* event) {
  ApplyScale();
  QDialog::showEvent(event);
}

void TSlicesDialog::SetScale(bool on) {
  scale_->setChecked(on);
  ApplyScale();
}

void TSlicesDialog::SetShadow(bool on) {
  shadow_->setChecked(on);
  shadowButton_->setVisible(on);
  // The light dialog starts from the global light.
  if (on) shading_.SetWorkingLight(global_);
}

void TSlicesDialog::OkClick() {
  if (typeIndex_ == kSliceNone && !Shadow()) {
    Prompts().Warning(this, "ERREUR", "You must use a colormap or a single shadow");
    return;
  }
  accept();
}

}  // namespace orvane
