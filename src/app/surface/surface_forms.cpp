#include "app/surface/surface_forms.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "app/shell/declared_fields.h"
#include "app/shell/form_kit.h"
#include "app/shell/form_parts.h"
#include "app/shell/prompter.h"
#include "app/shell/result_placement_box.h"
#include "app/shell/text_values.h"
#include "core/surface/circular_window.h"
#include "core/surface/contour_density.h"
#include "core/surface/contour_lines.h"
#include "core/surface/slope.h"
#include "core/surface/total_depth.h"
#include "core/treatment/treatment_registry.h"

// The figures live in a static library: registered by hand before their first use.
static void InitFigureResource() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(figures);
    return true;
  }();
  (void)registered;
}

namespace orvane {

const ClassPaletteOptions kTotalDepthPalette{
    .objectName = "TotalDepthForm",
    .title = " Total Depth Visu",
    .treatment = &kTotalDepthTreatment,
    .placementTitle = "Resulting Image",
    .toolWindow = false,
    .classTable = &TotalDepthClassTable,
};

namespace {

// A line edit named `name` that shows what the program writes in it.
QLineEdit* ReadOnly(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  return edit;
}

// A field named `name`, bound to parameter `param` of `treatment` (from `minimum` where the
// dialog refuses less than the declaration): a TWholeNumberEdit, or a QLineEdit for numbers that
// take a sign or decimals.
template <class Edit = TWholeNumberEdit>
Edit* DeclaredField(const char* name, const TreatmentDescriptor& treatment, const char* param,
                    QWidget* parent, std::optional<int> minimum = std::nullopt) {
  auto* edit = new Edit(parent);
  edit->setObjectName(name);
  BindDeclaredField(edit, DeclaredParam(treatment, param), minimum);
  return edit;
}

// `widgets` side by side, as one cell of a grid.
QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
  auto* row = new QHBoxLayout;
  for (QWidget* widget : widgets) row->addWidget(widget);
  return row;
}

// "OK" (`okName`) and "Cancel" (`cancelName`; rejects unless `cancelRejects` is false) side by
// side at the end of the dialog's column.
void AddOkCancel(TTreatmentDialog& dialog, QBoxLayout& column, const char* okName,
                 const char* cancelName, bool cancelRejects = true) {
  auto* cancel = new QPushButton("Cancel", &dialog);
  cancel->setObjectName(cancelName);
  if (cancelRejects) QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  column.addLayout(Row({OkButton(dialog, okName, [&dialog] { dialog.OkClick(); }, &dialog), cancel}));
}

// The field's text with a comma read as a decimal point.
QString Decimal(const QLineEdit* edit) { return edit->text().trimmed().replace(',', '.'); }

}  // namespace

// ---- TTreatmentDialog

TTreatmentDialog::TTreatmentDialog(const char* objectName, const char* title, QWidget* parent)
    : QDialog(parent) {
  setObjectName(objectName);
  setWindowTitle(title);
  setModal(true);
  new QVBoxLayout(this);
}

QVBoxLayout& TTreatmentDialog::Column() const { return *static_cast<QVBoxLayout*>(layout()); }

void TTreatmentDialog::AddPlacement(const ResultPlacementOptions& options, QBoxLayout* layout) {
  placement_ = new TResultPlacementBox(options, this);
  (layout ? *layout : Column()).addWidget(placement_);
}

ResultKind TTreatmentDialog::Placement() const {
  return placement_ ? placement_->Kind() : ResultKind::kParameterImage;
}

void TTreatmentDialog::OkClick() {
  QLineEdit* field = nullptr;
  const QString refusal = Refusal(&field);
  if (refusal.isEmpty()) {
    accept();
  } else if (field) {
    Refuse(this, field, refusal);
  } else {
    Prompts().Warning(this, "ERROR", WithoutOptionName(refusal));
  }
}

bool TTreatmentDialog::ExecForValues(QWidget& frame, const char* caption) {
  Prompts().Exec(*this);
  const QString refusal = Refusal();
  if (!refusal.isEmpty()) Prompts().Warning(&frame, caption, WithoutOptionName(refusal));
  return refusal.isEmpty();
}

// ---- TContourExtractionDialog

TContourExtractionDialog::TContourExtractionDialog(QWidget* parent)
    : TTreatmentDialog("ContourLineForm", "  Contour Line Density", parent) {
  auto* window = new QGridLayout;
  window->addWidget(new QLabel("Size of the Window ", this), 0, 0);
  // The declared window from 1: OK refuses an empty window anyway.
  sizeWin_ = DeclaredField("SizeWinEdit", kContourDensityTreatment, "window", this, 1);
  window->addWidget(sizeWin_, 0, 1);
  window->addWidget(new QLabel("Corresponding Window Size", this), 1, 0);
  window->addLayout(Row({ReadOnly("kilom1", this), new QLabel("km  x", this), ReadOnly("kilom2", this),
                         new QLabel("km", this)}),
                    1, 1);
  Column().addLayout(window);
  connect(sizeWin_, &QLineEdit::textChanged, this, [this] { UpdateKilometres(); });

  auto* dynamism = new QGroupBox(this);
  auto* dynamismLayout = new QHBoxLayout(dynamism);
  dynamismLayout->addWidget(new QLabel("Output Dynamism", dynamism));
  dynamism_ = new TDeclaredRadios(DeclaredParam(kContourDensityTreatment, "dynamism"),
                                  {"HundredRadioButton", "FullDynRadioButton"}, *dynamism,
                                  *dynamismLayout);
  Column().addWidget(dynamism);
  Column().addWidget(DeclaredRadioGroup("Type of treatment", DeclaredParam(kContourDensityTreatment, "tiling"),
                                        {"GridRadioButton", "MovWindRadioButton"}, tiling_));
  // These captions keep the dialog's own spelling.
  tiling_->button(static_cast<int>(ContourTiling::kSquaredGrid))->setText("Squared grid");
  tiling_->button(static_cast<int>(ContourTiling::kMovingWindow))->setText("Moving window");

  auto* hypso = new QGroupBox("Hypsometric Interval", this);
  auto* hypsoLayout = new QGridLayout(hypso);
  hypsoLayout->addWidget(new QLabel("Chosen hypsometric", hypso), 0, 0);
  hypsoLayout->addWidget(new QLabel("interval (in meters)", hypso), 1, 0);
  interval_ = DeclaredField("HypsoIntervalEdit", kContourDensityTreatment, "interval", hypso, 1);
  hypsoLayout->addWidget(interval_, 1, 1);
  hypsoLayout->addWidget(new QLabel("Dynamic Scale (in meters)", hypso), 2, 0);
  hypsoLayout->addLayout(Row({ReadOnly("MinDynEdit", hypso), ReadOnly("MaxDynEdit", hypso)}), 2, 1);
  hypsoLayout->addWidget(new QLabel("Pixel Size", hypso), 3, 0);
  hypsoLayout->addWidget(ReadOnly("PixEdit", hypso), 3, 1);
  Column().addWidget(hypso);

  AddPlacement({"Output", "ParamRadioButton", "WrappedRadioButton"});
  AddOkCancel(*this, Column(), "BitBtn1", "BitBtn2");
}

TreatmentArgs TContourExtractionDialog::Args() const {
  TreatmentArgs args;
  args.Set("window", sizeWin_->Value());
  args.Set("interval", interval_->Value());
  args.Set("dynamism", dynamism_->Value());
  args.Set("tiling", tiling_->Value());
  return args;
}

void TContourExtractionDialog::SetDem(double minimum, double maximum, const QString& pixelText,
                                      float pixelSizeX) {
  findChild<QLineEdit*>("MinDynEdit")->setText(QString::asprintf("%f", minimum));
  findChild<QLineEdit*>("MaxDynEdit")->setText(QString::asprintf("%f", maximum));
  findChild<QLineEdit*>("PixEdit")->setText(pixelText);
  demPixel_ = static_cast<int>(pixelSizeX);
  UpdateKilometres();
}

void TContourExtractionDialog::UpdateKilometres() {
  const QString km = QString::number(sizeWin_->Value() * demPixel_ * 0.001);
  findChild<QLineEdit*>("kilom1")->setText(km);
  findChild<QLineEdit*>("kilom2")->setText(km);
}

void TContourExtractionDialog::SetLevelRange(std::int64_t lowest, std::int64_t highest,
                                             int unitDivisor) {
  lowest_ = lowest;
  highest_ = highest;
  unitDivisor_ = unitDivisor;
}

QString TContourExtractionDialog::Refusal(QLineEdit** field) const {
  ContourDensityParams params;
  params.window = sizeWin_->Value();
  params.interval = interval_->Value();
  if (field) *field = params.interval <= 0 ? interval_ : sizeWin_;
  if (Status status = CheckContourDensityParams(params); !status)
    return QString::fromStdString(status.message());
  const std::pair<QLineEdit*, const char*> declaredValues[] = {{sizeWin_, "window"},
                                                               {interval_, "interval"}};
  for (const auto& [edit, name] : declaredValues) {
    const Status declared = CheckParamValue(DeclaredParam(kContourDensityTreatment, name), LeadingInt(edit->text()));
    if (!declared) {
      if (field) *field = edit;
      return QString::fromStdString(declared.message());
    }
  }
  if (field) *field = interval_;
  // Levels start one interval above the lowest elevation: none below the highest, no line.
  if (unitDivisor_ > 0 &&
      ContourLevelCount(lowest_, highest_, static_cast<std::int64_t>(params.interval) * unitDivisor_) == 0) {
    return QStringLiteral("No contour line: an interval of %1 m leaves no level between the lowest "
                          "and the highest elevation of the DEM (%2 m apart)")
        .arg(params.interval)
        .arg((highest_ - lowest_) / unitDivisor_);
  }
  return {};
}

// ---- TContourDensityDialog

TContourDensityDialog::TContourDensityDialog(QWidget* parent)
    : TTreatmentDialog("ContLineForm", " CONTOUR LINE EXTRACTION", parent) {
  auto* values = new QGroupBox("Hypsometric Values  (in meters)", this);
  auto* valuesLayout = new QGridLayout(values);
  const std::pair<const char*, const char*> shown[] = {
      {"Min", "MinEdit"}, {"Max", "MaxEdit"}, {"Pixel Size", "PixelSizeEdit"}};
  for (int row = 0; row < 3; ++row) {
    valuesLayout->addWidget(new QLabel(shown[row].first, values), row, 0);
    valuesLayout->addWidget(ReadOnly(shown[row].second, values), row, 1);
  }
  Column().addWidget(values);

  auto* params = new QGroupBox("Parameters (in meters)", this);
  auto* paramsLayout = new QGridLayout(params);
  // The declared levels: below sea level too (a sign can be typed).
  auto* first = DeclaredField<QLineEdit>("FirstContEdit", kContoursTreatment, "first", params);
  auto* last = DeclaredField<QLineEdit>("LastContEdit", kContoursTreatment, "last", params);
  auto* interval = DeclaredField("IntervEdit", kContoursTreatment, "interval", params, 1);
  const std::pair<const char*, QLineEdit*> fields[] = {{"First Contour Line", first},
                                                       {"Last Contour Line", last},
                                                       {"Hypsometric interval required", interval}};
  for (int row = 0; row < 3; ++row) {
    paramsLayout->addWidget(new QLabel(fields[row].first, params), row, 0);
    paramsLayout->addWidget(fields[row].second, row, 1);
  }
  Column().addWidget(params);
  Column().addWidget(OkButton(*this, "OKBitBtn", [this] { OkClick(); }, this));
}

TreatmentArgs TContourDensityDialog::Args() const {
  TreatmentArgs args;
  args.Set("first", LeadingInt(findChild<QLineEdit*>("FirstContEdit")->text()));
  args.Set("last", LeadingInt(findChild<QLineEdit*>("LastContEdit")->text()));
  args.Set("interval", LeadingInt(findChild<QLineEdit*>("IntervEdit")->text()));
  return args;
}

QString TContourDensityDialog::Refusal(QLineEdit** field) const {
  const TreatmentArgs args = Args();
  const Status status = CheckContourLinesParams(
      {args.Int("first"), args.Int("last"), args.Int("interval"), 1});
  // The field at fault: the last line when it is below the first.
  const bool lastBelowFirst = args.Int("interval") > 0 && args.Int("last") < args.Int("first");
  if (field) *field = findChild<QLineEdit*>(lastBelowFirst ? "LastContEdit" : "IntervEdit");
  return status ? QString() : QString::fromStdString(status.message());
}

void TContourDensityDialog::SetHeights(int minimum, int maximum, const QString& pixelText) {
  findChild<QLineEdit*>("MinEdit")->setText(QString::number(minimum));
  findChild<QLineEdit*>("MaxEdit")->setText(QString::number(maximum));
  findChild<QLineEdit*>("PixelSizeEdit")->setText(pixelText);
}

// ---- TCircularWindowDialog

TCircularWindowDialog::TCircularWindowDialog(QWidget* parent)
    : TTreatmentDialog("CircularWindowForm", "Circular Moving Window", parent) {
  auto* type = new QGroupBox("Type of Treatment", this);
  auto* typeLayout = new QVBoxLayout(type);
  // The declared statistics, none checked at start.
  statistics_ = new TDeclaredRadios(DeclaredParam(kCircularTreatment, "stat"),
                                    {"MeanRadioButton", "DiffMeanRadioButton", "StdDevRadioButton",
                                     "RangeRadioButton", "DevMeanRadioButton",
                                     "PercentileRadioButton"},
                                    *type, *typeLayout);
  // This caption keeps the dialog's own spelling.
  statistics_->button(kCircularStdDev)->setText("Standard deviation of Elevation");
  Column().addWidget(type);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Radius (in pixels)", this), 0, 0);
  // Whole pixels; a radius beyond the largest DEM side cannot be typed at all. 0 can, for OK
  // to say "Radius undefined".
  radius_ = DeclaredField("RadiusEdit", kCircularTreatment, "radius", this, 0);
  grid->addWidget(radius_, 0, 1);
  grid->addWidget(new QLabel("Pixel Size", this), 1, 0);
  grid->addWidget(ReadOnly("PixelSizeEdit", this), 1, 1);
  grid->addWidget(new QLabel("Surface observed ", this), 2, 0);
  grid->addLayout(Row({ReadOnly("SurfEdit", this), new QLabel("km2", this)}), 2, 1);
  Column().addLayout(grid);
  connect(radius_, &QLineEdit::textChanged, this, [this] { UpdateSurface(); });

  AddPlacement({"Emplacement of the Resulting Image", "ParamRadioButton", "WrapRadioButton", "Wrap image"});
  AddOkCancel(*this, Column(), "OKBitBtn", "CancelBitBtn");
}

TreatmentArgs TCircularWindowDialog::Args() const {
  TreatmentArgs args;
  args.Set("radius", radius_->Value());
  args.Set("stat", statistics_->Value());
  return args;
}

void TCircularWindowDialog::SetDem(float pixelSizeX, int columns, int lines) {
  findChild<QLineEdit*>("PixelSizeEdit")->setText(QString::asprintf("%f", static_cast<double>(pixelSizeX)));
  UpdateSurface();
  demColumns_ = columns;
  demLines_ = lines;
}

void TCircularWindowDialog::UpdateSurface() {
  const int pixel = static_cast<int>(LeadingDouble(findChild<QLineEdit*>("PixelSizeEdit")->text()));
  // Large radii would only slow typing down; the disc is then close to pi R^2.
  const int radius = radius_->Value();
  const double km2 = radius > 500 ? 3.14159265358979 * radius * radius * pixel * pixel / 1e6
                                  : CircularSurfaceKm2(radius, pixel);
  findChild<QLineEdit*>("SurfEdit")->setText(QString::number(km2, 'f', 4));
}

QString TCircularWindowDialog::Refusal(QLineEdit** field) const {
  const int radius = radius_->Value();
  if (field) *field = radius <= 0 ? radius_ : nullptr;
  if (Status status = CheckCircularParams({radius, statistics_->Value()}); !status)
    return QString::fromStdString(status.message());
  // The disc of 2R + 1 cells must fit in the DEM somewhere, or every cell would stay white.
  if (field) *field = radius_;
  if (demColumns_ > 0 && demLines_ > 0 && (2 * radius >= demColumns_ || 2 * radius >= demLines_)) {
    return QStringLiteral("The circular window (%1 pixels across) does not fit in the DEM "
                          "(%2 x %3): give a radius below %4")
        .arg(2 * radius + 1)
        .arg(demColumns_)
        .arg(demLines_)
        .arg((std::min(demColumns_, demLines_) + 1) / 2);
  }
  return {};
}

QDialog* MakeCircularWindowInfoForm(QWidget* parent) {
  auto* dialog = new QDialog(parent);
  LayOutInfoWindow(*dialog, "CWInfoForm", "  Circular Window",
                   {QStringLiteral("Primary Attributes using a Moving Circular Mask\n\n"
                                   "After J.C. Gallant and J.P. Wilson, \"Primary topographic "
                                   "attributes\", in Terrain Analysis: Principles and "
                                   "Applications, Wiley, New York, 2000.\n\n"
                                   "1. Mean Elevation\n"
                                   "2. Differnce from Mean Elevation\n"
                                   "3. Standard Deviation of Elevation\n"
                                   "4. Elevation Range\n"
                                   "5. Deviation from Mean Elevation\n"
                                   "6. Percentile")},
                   "OKBitBtn");
  dialog->resize(420, 300);
  return dialog;
}

// ---- TShapeRangeDialog

TShapeRangeDialog::TShapeRangeDialog(const char* objectName, const char* title,
                                     const TreatmentDescriptor& treatment, QWidget* parent)
    : TTreatmentDialog(objectName, title, parent), treatment_(treatment) {}

void TShapeRangeDialog::AddFields(QWidget* rangeBox, QWidget* dynamismBox) {
  QBoxLayout* rangeLayout = rangeBox == this ? &Column() : new QVBoxLayout(rangeBox);
  rangeLayout->addWidget(new QLabel("Size of the greater window range", rangeBox));
  // The declared range from 1: a range of 0 computes nothing.
  sizeWin_ = DeclaredField("SizeWinEdit", treatment_, "range", rangeBox, 1);
  rangeLayout->addWidget(sizeWin_);
  if (rangeBox != this) Column().addWidget(rangeBox);

  // The declared 100 (checked at start) or 255.
  auto* dynamismLayout = new QVBoxLayout(dynamismBox);
  dynamismLayout->addWidget(new QLabel("Output Dynamism", dynamismBox));
  auto* row = new QHBoxLayout;
  dynamism_ = new TDeclaredRadios(DeclaredParam(treatment_, "dynamism"),
                                  {"HundredRadioButton", "FullDynRadioButton"}, *dynamismBox, *row);
  dynamismLayout->addLayout(row);
  Column().addWidget(dynamismBox);
}

void TShapeRangeDialog::AddPlacementAndOk(const char* cancelName) {
  AddPlacement({"Result", "ParamRadioButton", "ShadRadioButton"});
  if (cancelName) {
    // This Cancel does nothing: the dialog stays open.
    AddOkCancel(*this, Column(), "OKBitBtn", cancelName, false);
  } else {
    Column().addWidget(OkButton(*this, "OKBitBtn", [this] { OkClick(); }, this));
  }
}

TreatmentArgs TShapeRangeDialog::Args() const {
  TreatmentArgs args;
  args.Set("range", sizeWin_->Value());
  args.Set("dynamism", dynamism_->Value());
  return args;
}

QString TShapeRangeDialog::Refusal(QLineEdit** field) const {
  if (field) *field = sizeWin_;
  if (sizeWin_->Value() < 1) return kNoWindowRange;
  const Status declared = CheckParamValue(DeclaredParam(treatment_, "range"), sizeWin_->Value());
  return declared ? QString() : QString::fromStdString(declared.message());
}

TConvexityConcavityDialog::TConvexityConcavityDialog(QWidget* parent)
    : TShapeRangeDialog("ConCavForm", " Convexity Concavity", kConvexityTreatment, parent) {
  AddFields(this, new QGroupBox(this));
  AddPlacementAndOk();
}

THorizontalSurfacesDialog::THorizontalSurfacesDialog(QWidget* parent)
    : TShapeRangeDialog("HorizSurfForm", " HORIZONTAL SURFACES", kHorizontalTreatment, parent) {
  auto* dynamism = new QGroupBox(this);
  dynamism->setObjectName("DynamismPanel");
  AddFields(new QGroupBox("Window Size", this), dynamism);
  auto* type = new QGroupBox("Type of computation", this);
  auto* typeLayout = new QVBoxLayout(type);
  typeLayout->addWidget(new QLabel("of the horizontal plans", type));
  AddRadio("All calculated values", "RangeRadioButton", type, typeLayout)->setChecked(true);
  auto* binarize = AddRadio("Selection and binarization", "BinarRadioButton", type, typeLayout);
  Column().insertWidget(1, type);
  AddPlacementAndOk("DelBitBtn");
  // Binarization hides the dynamism, which keeps its value meanwhile.
  connect(binarize, &QRadioButton::toggled, dynamism, [dynamism](bool on) { dynamism->setVisible(!on); });
}

TreatmentArgs THorizontalSurfacesDialog::Args() const {
  TreatmentArgs args = TShapeRangeDialog::Args();
  args.Set("binarize", findChild<QRadioButton*>("BinarRadioButton")->isChecked() ? 1 : 0);
  return args;
}

// ---- TLocalFractalDialog

TLocalFractalDialog::TLocalFractalDialog(QWidget* parent)
    : TTreatmentDialog("LocalFractForm", " LOCAL FRACTAL DIMENSION", parent) {
  auto* sizeGroup = new QGroupBox("Moving Window Size", this);
  auto* sizeLayout = new QHBoxLayout(sizeGroup);
  size_ = new TDeclaredRadios(DeclaredParam(kLocalFractalTreatment, "window"),
                              {"Size12RadioButton", "Size24RadioButton"}, *sizeGroup, *sizeLayout);
  auto* hGroup = new QGroupBox("Adaptive Factor H", this);
  auto* hLayout = new QHBoxLayout(hGroup);
  // A decimal number, with a point or a comma: letters cannot be typed.
  hEdit_ = DeclaredField<QLineEdit>("HValEdit", kLocalFractalTreatment, "h", hGroup);
  hLayout->addWidget(hEdit_);
  hLayout->addWidget(new QLabel("float value", hGroup));
  Column().addWidget(sizeGroup);
  Column().addWidget(hGroup);
  Column().addWidget(OkButton(*this, "OkBitBtn", [this] { OkClick(); }, this), 0, Qt::AlignRight);
}

TreatmentArgs TLocalFractalDialog::Args() const {
  TreatmentArgs args;
  args.Set("window", size_->Value());
  args.Set("h", LeadingDouble(Decimal(hEdit_)));
  return args;
}

void TLocalFractalDialog::SetRelief(std::int64_t reliefMetres, int pixelSize) {
  relief_ = reliefMetres;
  pixelSize_ = pixelSize;
}

QString TLocalFractalDialog::Refusal(QLineEdit** field) const {
  if (field) *field = hEdit_;
  bool number = false;
  Decimal(hEdit_).toDouble(&number);
  if (!number) return kNoFactorH;
  const double h = LeadingDouble(Decimal(hEdit_));
  if (Status declared = CheckParamValue(DeclaredParam(kLocalFractalTreatment, "h"), h); !declared)
    return QString::fromStdString(declared.message());
  const double step = pixelSize_ * h;
  if (relief_ >= 0 && pixelSize_ > 0 && step > static_cast<double>(relief_)) {
    return QStringLiteral("The height step P x H = %1 m is above the relief of the DEM (%2 m): "
                          "every window would be flat and give the same dimension")
        .arg(step)
        .arg(relief_);
  }
  return {};
}

// ---- TSlopeDialog and TAspectDialog

namespace {

// A group of normalization radios, one per (caption, value), setting `normalization` when
// clicked; they are named Norm<value>RadioButton.
std::vector<QRadioButton*> AddNormalizationGroup(QGroupBox* group, QVBoxLayout& column,
                                                 std::initializer_list<std::pair<const char*, int>> norms,
                                                 int& normalization) {
  group->setObjectName("NormalizationGroupBox");
  auto* layout = new QVBoxLayout(group);
  std::vector<QRadioButton*> buttons;
  for (const auto& [caption, value] : norms) {
    buttons.push_back(AddRadio(caption, QStringLiteral("Norm%1RadioButton").arg(value), group, layout));
    QObject::connect(buttons.back(), &QRadioButton::clicked, group,
                     [&normalization, value] { normalization = value; });
  }
  column.addWidget(group);
  return buttons;
}

}  // namespace

TSlopeDialog::TSlopeDialog(QWidget* parent) : TClassTableDialog("PentesForm", " SLOPES", parent) {
  normalization_ = 90;
  QVBoxLayout* left = &Column();
  left->addWidget(new QLabel("Type of the Color Table", this));
  typeCombo_ = new QComboBox(this);
  typeCombo_->setObjectName("TypeComboBox");
  FillDeclaredChoices(typeCombo_, DeclaredParam(kSlopeTreatment, "table"));
  left->addWidget(typeCombo_);

  normalizationGroup_ = new QGroupBox("Normalization", this);
  norms_ = AddNormalizationGroup(normalizationGroup_, *left,
                                 {{"90\xC2\xB0", 90},
                                  {"180\xC2\xB0 (only for gray tones)", 180},
                                  {"255  (only for gray tones)", 255}},
                                 normalization_);

  AddPlacement({"Image", "ParamRadioButton", "WrappedRadioButton"});
  slopeRadio_ = AddVisualizationGroup(*this, *left, "Slope", "SlopeRadioButton",
                                      "Slope and Shadow", "SlopeShadRadioButton", weight_)
                    .plain;
  AddSmoothingOkAndLegend("CancelBitBtn", "Color Tables");

  connect(typeCombo_, &QComboBox::activated, this, &TSlopeDialog::ChooseType);
  ChooseType(typeCombo_->currentIndex());
}

TreatmentArgs TSlopeDialog::Args() const {
  TreatmentArgs args;
  args.Set("table", TableChoice());
  args.Set("norm", normalization_);
  args.Set("smooth", Smoothing() ? 1 : 0);
  return args;
}

int TSlopeDialog::TableChoice() const { return typeCombo_->itemData(typeIndex_).toInt(); }

void TSlopeDialog::ChooseType(int index) {
  if (index < 0 || index >= typeCombo_->count()) return;
  typeCombo_->setCurrentIndex(index);
  typeIndex_ = index;
  const bool gray = GrayTones();
  if (gray) {
    table_.Clear();
    // Gray tones are not shaded.
    slopeRadio_->setChecked(true);
    weight_ = 0.0f;
  } else {
    table_ = SlopeTable(TableChoice());
  }
  normalizationGroup_->setVisible(gray);
  norms_[0]->setChecked(true);
  normalization_ = 90;
  // Only gray tones spread over 180 degrees or 255 levels.
  norms_[1]->setEnabled(gray);
  norms_[2]->setEnabled(gray);
  RefreshLegend();
}

TAspectDialog::TAspectDialog(QWidget* parent) : TClassTableDialog("AspectFen", " ASPECT", parent) {
  QVBoxLayout* left = &Column();
  auto* paletteGroup = new QGroupBox("Type of Palette", this);
  auto* paletteLayout = new QVBoxLayout(paletteGroup);
  paletteCombo_ = new QComboBox(paletteGroup);
  paletteCombo_->setObjectName("AspectComboBox");
  FillDeclaredChoices(paletteCombo_, DeclaredParam(kAspectTreatment, "palette"));
  paletteLayout->addWidget(paletteCombo_);
  left->addWidget(paletteGroup);

  normalizationGroup_ = new QGroupBox("Normalization  of the gray tones", this);
  AddNormalizationGroup(normalizationGroup_, *left,
                        {{"18 ", 18}, {"36", 36}, {"90", 90}, {"180", 180}, {"255", 255}},
                        normalization_);
  visual_ = AddVisualizationGroup(*this, *left, "Orientation", "OrientationRadioButton",
                                  "Orientation and Shadow", "OrientationShadRadioButton", weight_);
  AddPlacement({.title = "Image",
                .parameterName = "ParamRadioButton",
                .wrappedName = "WrappedRadioButton",
                .parameterChecked = false});
  AddSmoothingOkAndLegend("DelBitBtn");

  connect(paletteCombo_, &QComboBox::activated, this,
          [this](int index) { ChoosePalette(paletteCombo_->itemData(index).toInt()); });
  ChoosePalette(paletteCombo_->currentData().toInt());
}

TreatmentArgs TAspectDialog::Args() const {
  TreatmentArgs args;
  args.Set("palette", paletteIndex_);
  if (GrayTones()) args.Set("norm", normalization_);
  args.Set("smooth", Smoothing() ? 1 : 0);
  return args;
}

void TAspectDialog::ChoosePalette(int palette) {
  const int index = paletteCombo_->findData(palette);
  if (index < 0) return;
  paletteCombo_->setCurrentIndex(index);
  paletteIndex_ = palette;
  const bool gray = GrayTones();
  visual_.plain->setChecked(true);
  visual_.shadow->setEnabled(!gray);
  visual_.group->setVisible(!gray);
  normalizationGroup_->setVisible(gray);
  if (!gray) {
    table_ = AspectPaintingPalette();
    // The painting palette's levels are the azimuth itself.
    normalization_ = DeclaredDefault(DeclaredParam(kAspectTreatment, "norm"));
  } else {
    table_.Clear();
    weight_ = 0.0f;
    // The button still shown as checked from an earlier choice is the normalization in force.
    for (const QRadioButton* button : normalizationGroup_->findChildren<QRadioButton*>()) {
      if (button->isChecked()) normalization_ = button->text().trimmed().toInt();  // captions are values
    }
  }
  RefreshLegend();
}

// --- The explanatory windows.

QLabel* FigureLabel(const char* name, const char* file, QWidget* parent) {
  InitFigureResource();
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  const QPixmap figure(QStringLiteral(":/figures/") + file);
  label->setPixmap(figure);
  label->setFixedSize(figure.size());
  return label;
}

QDialog* MakeSlopeInfoForm(QWidget* parent) {
  auto* dialog = new QDialog(parent);
  LayOutInfoWindow(
      *dialog, "InfoSlopeCalcForm", " SLOPE CALCULATION",
      {"The slope is computed from the four normals surrounding the studied pixel: each of the "
       "four triangles that the pixel forms with its direct neighbours has a unit normal, and "
       "the slope is the angle between the vertical and their sum.",
       FigureLabel("FigurePaintBox", "slope_normals.png", dialog),
       "Gradient by surface normals and central differences: B. K. P. Horn, \"Hill shading and "
       "the reflectance map\", Proceedings of the IEEE, 69 (1), 1981, pp. 14-47.",
       "Equation that can be reduced to ==>",
       FigureLabel("FormulaPaintBox", "slope_formula.png", dialog)});
  dialog->setFixedWidth(460);
  return dialog;
}

QDialog* MakeAspectInfoForm(QWidget* parent) {
  auto* dialog = new QDialog(parent);
  LayOutInfoWindow(*dialog, "InfoAspectCalcForm", " ASPECT CALCULATION",
                   {"Computation using the two components of the Sobel Filter",
                    FigureLabel("FormulaPaintBox", "aspect_formula.png", dialog),
                    "with A = altitude of the pixel (i, j), p the pixel side", "and M = N = 1"});
  return dialog;
}

}  // namespace orvane
