#include "app/main_form.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "app/shell/declared_dialog.h"
#include "app/shell/form_parts.h"
#include "app/shell/icons.h"
#include "app/shell/prefs_form.h"
#include "app/shell/prompter.h"
#include "app/terrain/dynamic_scale.h"
#include "app/terrain/size_dialogs.h"
#include "core/drainage/network_value.h"

namespace orvane {

namespace {

constexpr int kPanelWidths[kStatusPanels] = {200, 240, 160, 50, 150};
// The widest texts the panels show (the value panel: a usual one; it grows for longer ones).
const char* const kPanelSamples[kStatusPanels] = {
    "x:88888.88 y:88888.88  z: 8888.88", "Coord. UTM   X 888888.88    Y 8888888.88 ",
    "R: 888 G: 888 B: 888", "Line: 88888  Column: 88888", "Total depth 8888.8 m"};

// The notes after the caption of a window whose picture does not belong to the open DEM.
const char* const kForeignNetworkNote = " (not of the open DEM)";
const char* const kPreviousDemNote = " (of the previous DEM)";

// The items of the Diagram submenu.
const std::pair<DiagramKind, const char*> kDiagramItems[] = {
    {DiagramKind::kLocalFractal, "LocFract1"},
    {DiagramKind::kDissectionDensity, "DiagDD1"},
    {DiagramKind::kDissectionDensity3D, "DiagDD3D1"},
    {DiagramKind::kDrainageFractalDimension, "FractRed1"}};

// The menu bar, entry by entry in order: an entry two spaces deeper than the menu holding it,
// written "caption|name" (the component name), or "-" for a separator (with its name after it
// when it is shown later); then ">" for a menu, "!" disabled at start, "~" hidden at start.
const char* const kMenuBar = R"(
Files|Files1 >
  Open|Open1 >
    DEM|OpenDEM1
    Drainage Network|OpenDrainageNetwork1 !
    Parameter Image|OpenParameterImage1 !
  Import|Import1 >
    Ilwis|ImportIlwis1
  -N6 ~
  Save|Save1 > ~
    Parameter Image|SaveParameter !
    Drainage|SaveDrainage1 !
  Export|Export1 > ~
    Ilwis|Ilwis1
  -
  Preferences|Preferences1
  -
  Exit|Exit1
DEM Form|DEMForm1 > !
  DEM Info|DEMInfo1
  Shadowing|Shadowing1
  Histo Wrapped Image|Modifier1
  3D Viewer|View3D1
  Extract Drainage Network|ExtractDrainageNetwork1
  Contour Line Extraction|ContourLineExtraction1
  Global Fractal Dimension|DimensionFractale1
  Coord. UTM|CoordUtm1
Surface Parameters|SurfaceParameters1 > !
   Wrapping|WrapImage1 !
  Slope|Slope1 >
    Treatment|SlopeTreatment1
    Info|SlopeInfo1
  Aspect|Aspect1 >
    Treatment|AspectTreatment1
    Info|AspectInfo1
  Shape Surface|ShapeSurface1 >
    Convexity|Convexity1
    Concavity|Concavity1
    Horizontal Surfaces|HorizontalSurfaces1
  Contour Line Density|ContourLineDensity1 >
    Global|Global1
  Local Fractal Dimension|LocalFractalDimension1 >
    Treatment|LocalFractalTreatment1
  Total Depth|TotalDepth1 >
    Treatment|TotalDepthTreatment1
  Surface 3D|Surface3D1 >
    Treatment|Surface3DTreatment1
  Circular Moving Window|CircularMovingWindow1 >
    Treatment|CircularWindowTreatment1
    Info|CircularWindowInfo1
Drainage Network Parameters|DrainageNetworkParameters1 > !
  Incrust Drainage|IncrustDrainage1 > !
    -> Parameter Image|ParameterImage1
  Dissection Density|DissectionDensity1 >
    Grid|Grid1 >
      Pixel Density|PixelDensity1
      Drainage Length|DrainageLength1
    Moving Window|MovingWindow1 >
      Pixel Density|PixelDensity2
      Drainage Length|DrainageLength2
    Info|DiesstionDensityInfo1
  Dissection Density 3D|DissectionDendity3D1 >
    Treatment|DissectionDensity3DTreatment1
  Fractal Dimension|FractalDimension1 >
    Global Treatment|DFRedGlobal1
    Drainage Segments|FractalDimensionTreatment1
    Info|FractalDimensionInfo1
  Ratio Depth Red/Surface|RatioDepthRedSurface1 >
    Treatment|RatioDepthTreatment1
  Headwaters Density|HeadwatersDensity1 >
    Treatment|Headwaterstreatment1
Tools|Tools1 > !
  Palette|OpenPalette1 !
  Gray Histo|GrayHisto1 !
  Value Histo|ValueHisto1 !
  Diagram|ShowDiag1 > !
    Dissection Density|DiagDD1 !
    Dissection Dens. 3D|DiagDD3D1 !
    Local Fractal|LocFract1 !
    Fract. Drainage|FractRed1 !
  -N7 ~
  Config. Printer|Configurationdelimpression1 ~
  Print|Imprimer ~
Window|Window1 >
  Cascade|Cascade1
  Tile|Tile1
  Previous|Previous1
  Next|Next1
Info|Info1 >
  Copyright|Copyrigth1
  About|About1
)";

void ShowCopyright(QWidget* parent) {
  Prompts().Information(parent, "ORVANE",
                        "ORVANE Version 1.0\n"
                        "Morphometric analysis of Digital Elevation Models\n\n"
                        "Copyright (c) the ORVANE authors. All rights reserved.\n"
                        "This program is provided as it is, without any warranty.");
}

void ShowAbout(QWidget* parent) {
  QDialog about(parent);
  about.setObjectName("AuSujetDeForm");
  about.setWindowTitle("About");
  auto* layout = new QVBoxLayout(&about);
  auto* picture = new QLabel;
  picture->setPixmap(SplashPicture(360, 210));
  layout->addWidget(picture);
  auto* text = new QLabel(
      "<b>ORVANE Version 1.0</b><br>"
      "Morphometric analysis of Digital Elevation Models.<br><br>"
      "Slope, aspect, convexity and concavity, contour-line density, fractal dimensions,<br>"
      "total depth, circular-window statistics, surface 3D, drainage network extraction,<br>"
      "dissection density and headwaters density, ILWIS exchange and 3D views.");
  text->setTextFormat(Qt::RichText);
  layout->addWidget(text);
  layout->addWidget(OkButton(about, "OkButton"), 0, Qt::AlignRight);
  Prompts().Exec(about);
}

QString WithMnemonic(const QString& caption, QString& taken) {
  // The first letter of a word not yet taken, else any letter not yet taken.
  const auto mark = [&](qsizetype at) {
    taken += caption[at].toLower();
    QString marked = caption;
    marked.insert(at, '&');
    return marked;
  };
  for (qsizetype i = 0; i < caption.size(); ++i) {
    const bool wordStart = i == 0 || caption[i - 1] == ' ';
    if (wordStart && caption[i].isLetter() && !taken.contains(caption[i].toLower())) return mark(i);
  }
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i].isLetter() && !taken.contains(caption[i].toLower())) return mark(i);
  }
  return caption;
}

}  // namespace

TMainForm::TMainForm(TSettings& settings, QWidget* parent)
    : TWorkbench(parent), settings_(settings) {
  setObjectName("MainForm");
  setWindowTitle(" ORVANE Version 1.0");
  setWindowIcon(ApplicationIcon());
  setAcceptDrops(true);

  mdi_ = new QMdiArea(this);
  mdi_->setObjectName("MdiArea");
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);

  progress_ = std::make_unique<TProgressSink>(this);

  CreateMenus();
  CreateToolBar();
  CreateStatusBar();

  // Dialogs are made once and keep their values from one use to the next.
  dynamicScale_ = new TDynamicScaleDialog(this);
  imageSize_ = new TImageSizeDialog(this);
  byteCount_ = new TByteCountDialog(this);
  preferences_ = new TPreferencesDialog(settings_, this);

  CreateDocumentWindows();
  ConnectShellCommands();
  ConnectSession();

  resize(856, 652);
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(856 / 2, 652 / 2));
  }
}

void TMainForm::CreateMenus() {
  // The last menu opened at each level: an entry goes into the one a level above it.
  std::vector<QWidget*> parents{menuBar()};
  for (const QString& line : QString(kMenuBar).split('\n', Qt::SkipEmptyParts)) {
    qsizetype spaces = 0;
    while (line[spaces] == ' ') ++spaces;
    const std::size_t level = static_cast<std::size_t>(spaces / 2);  // " Wrapping" keeps its space
    const QString entry = line.mid(spaces / 2 * 2);
    const QStringList words = entry.section('|', -1).split(' ', Qt::SkipEmptyParts);
    parents.resize(level + 1);
    const QString caption = entry.section('|', 0, 0);
    auto* bar = qobject_cast<QMenuBar*>(parents.back());
    auto* parent = qobject_cast<QMenu*>(parents.back());  // null on the bar
    QAction* action = nullptr;
    if (!entry.contains('|')) {
      action = parent->addSeparator();
      if (words[0].size() > 1) action->setObjectName(words[0].mid(1));
    } else if (words.contains(">")) {
      // The bar's menus get an Alt-key letter of their own.
      QMenu* menu = bar ? bar->addMenu(WithMnemonic(caption, barMnemonics_)) : parent->addMenu(caption);
      menu->setObjectName(words[0]);
      parents.push_back(menu);
      action = menu->menuAction();
    } else {
      action = parent->addAction(caption);
      action->setObjectName(words[0]);
    }
    action->setEnabled(!words.contains("!"));
    action->setVisible(!words.contains("~"));
  }
  Action("OpenDEM1")->setShortcut(QKeySequence::Open);
  Action("SaveParameter")->setShortcut(QKeySequence::Save);
  Action("Exit1")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  // The shortcuts work whatever menu holds them (the save menu starts hidden).
  for (const char* name : {"OpenDEM1", "SaveParameter", "Exit1"}) addAction(Action(name));
}

QAction* TMainForm::AddButton(const QString& name, const QString& hint) {
  auto* action = new QAction(ToolButtonIcon(name), QString(), this);
  action->setObjectName(name);
  action->setToolTip(hint);
  action->setStatusTip(hint);
  toolBar_->addAction(action);
  if (QWidget* button = toolBar_->widgetForAction(action)) {
    button->setObjectName(name + "Button");
    button->setFixedSize(42, 42);
  }
  return action;
}

void TMainForm::CreateToolBar() {
  toolBar_ = addToolBar("ToolBar1");
  toolBar_->setObjectName("ToolBar1");
  toolBar_->setMovable(false);
  toolBar_->setIconSize(QSize(32, 32));
  toolBar_->setFixedHeight(46);

  AddButton("OpenDEMSpeedButton", "Open DEM");
  AddButton("OpenRiverSpeedButton", "Open Drainage Network")->setEnabled(false);
  AddButton("OpenParamSpeedButton", "Open Parameter Image")->setEnabled(false);
  toolBar_->addSeparator();
  AddButton("SaveParameterSpeedButton", "Save Parameter Image")->setEnabled(false);
  AddButton("SaveRiverSpeedButton", "Save Drainage Image")->setEnabled(false);
  toolBar_->addSeparator();
  QAction* loupe = AddButton("LoupeSpeedButton", "Zoom");
  loupe->setCheckable(true);
  loupe->setEnabled(false);
  AddButton("PipetteSpeedButton", QString());
  AddButton("PaletteSpeedButton", "Open Palette")->setEnabled(false);
  AddButton("HistoGrSpeedButton", QString())->setEnabled(false);
  AddButton("AspectSpeedButton", "Slope Orientation")->setEnabled(false);
  AddButton("DiagSpeedButton", "Diagram")->setEnabled(false);
}

void TMainForm::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar");
  bar->setSizeGripEnabled(true);
  // Two rows, each panel as wide as its widest text, so that no panel runs over another at
  // the default window size: the position and its UTM coordinates above; the colour, the
  // cell and the result's value below.
  auto* rows = new QWidget(this);
  auto* grid = new QGridLayout(rows);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(2);
  constexpr int kRowOf[kStatusPanels] = {0, 0, 1, 1, 1};
  constexpr int kColumnOf[kStatusPanels] = {0, 1, 0, 1, 2};
  int widths[kStatusPanels];
  for (int i = 0; i < kStatusPanels; ++i) {
    panels_[i] = new QLabel(rows);
    panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    widths[i] = std::max(kPanelWidths[i],
                         panels_[i]->fontMetrics().horizontalAdvance(kPanelSamples[i]) + 12);
    grid->addWidget(panels_[i], kRowOf[i], kColumnOf[i], 1, i == 1 ? 2 : 1);
  }
  // Fixed widths on the left, so that the panels keep their places as the texts change; the
  // UTM and value panels take what is left.
  panels_[0]->setFixedWidth(std::max(widths[0], widths[2]));
  panels_[2]->setFixedWidth(std::max(widths[0], widths[2]));
  panels_[3]->setFixedWidth(widths[3]);
  panels_[1]->setMinimumWidth(widths[1]);
  panels_[4]->setMinimumWidth(widths[4]);
  grid->setColumnStretch(2, 1);
  bar->addWidget(rows, 1);
}

QMdiSubWindow* TMainForm::AddDocument(TImageWindow* window) {
  QMdiSubWindow* sub = mdi_->addSubWindow(window);
  // Closing a document window hides it; it comes back with its next raster.
  sub->setAttribute(Qt::WA_DeleteOnClose, false);
  sub->setWindowIcon(ApplicationIcon());
  return sub;
}

void TMainForm::CreateDocumentWindows() {
  paramWindow_ = new TParameterImageWindow(*this);
  AddDocument(paramWindow_)->resize(340, 200);
  riverWindow_ = new TDrainageImageWindow(*this);
  AddDocument(riverWindow_)->resize(340, 200);
  paramWindow_->parentWidget()->move(0, 0);
  riverWindow_->parentWidget()->move(360, 0);
  paramWindow_->show();
  riverWindow_->show();
}

TDemImageWindow& TMainForm::EnsureDemWindow() {
  if (!demWindow_) {
    demWindow_ = new TDemImageWindow(*this);
    QMdiSubWindow* sub = AddDocument(demWindow_);
    sub->resize(540, 430);
    sub->move(20, 40);
    demWindow_->show();
  }
  return *demWindow_;
}

void TMainForm::ConnectShellCommands() {
  connect(Action("Exit1"), &QAction::triggered, this, &QWidget::close);
  connect(Action("Cascade1"), &QAction::triggered, this, [this] {
    mdi_->cascadeSubWindows();
    SetEnabled("Previous1", true);
    SetEnabled("Next1", true);
  });
  connect(Action("Tile1"), &QAction::triggered, this, &TMainForm::TileWindows);
  connect(Action("Previous1"), &QAction::triggered, mdi_, &QMdiArea::activatePreviousSubWindow);
  connect(Action("Next1"), &QAction::triggered, mdi_, &QMdiArea::activateNextSubWindow);
  connect(Action("Copyrigth1"), &QAction::triggered, this, [this] { ShowCopyright(this); });
  connect(Action("About1"), &QAction::triggered, this, [this] { ShowAbout(this); });
  connect(Action("Preferences1"), &QAction::triggered, this,
          [this] {
            preferences_->LoadFromSettings();
            Prompts().Exec(*preferences_);
          });
  connect(Action("LoupeSpeedButton"), &QAction::toggled, this, &TMainForm::LoupeToggled);
  connect(Action("PipetteSpeedButton"), &QAction::triggered, this, [this] {
    Action("LoupeSpeedButton")->setChecked(false);
    LoupeToggled(false);
  });
  // The Diagram button opens a registered diagram of the session's kind; the items of the
  // Diagram submenu open their own kind whatever the current one is.
  const auto openDiagram = [this](DiagramKind kind) {
    if (const auto it = diagrams_.find(kind); it != diagrams_.end() && it->second) it->second();
  };
  connect(Action("DiagSpeedButton"), &QAction::triggered, this,
          [this, openDiagram] { openDiagram(session_.DiagramKind()); });
  for (const auto& [kind, name] : kDiagramItems) {
    connect(Action(name), &QAction::triggered, this, [openDiagram, kind = kind] { openDiagram(kind); });
  }
}

void TMainForm::ConnectSession() {
  connect(&session_, &TSession::ResultValuesChanged, this, [this] {
    const bool present = static_cast<bool>(session_.ResultValues());
    SetEnabled("ExportValues1", present);
    SetEnabled("ValueHisto1", present);
    if (!present) SetStatusText(kValuePanel, QString());
  });
  connect(&session_, &TSession::DiagramKindChanged, this, [this] {
    for (const auto& [kind, name] : kDiagramItems) {
      if (kind != session_.DiagramKind()) continue;
      SetEnabled("ShowDiag1", true);
      SetEnabled(name, true);
      SetEnabled("DiagSpeedButton", true);
    }
  });
}

void TMainForm::LoupeToggled(bool down) {
  mdi_->setCursor(down ? MagnifierCursor() : QCursor(Qt::ArrowCursor));
  SetStatusText(3, QString());
}

void TMainForm::TileWindows() {
  mdi_->tileSubWindows();
  SetEnabled("Previous1", false);
  SetEnabled("Next1", false);
}

QAction* TMainForm::Action(const QString& name) const {
  return findChild<QAction*>(name);
}

QMenu* TMainForm::Menu(const QString& name) const { return findChild<QMenu*>(name); }

QAction* TMainForm::Entry(const QString& name) const {
  if (QMenu* menu = Menu(name)) return menu->menuAction();
  return Action(name);
}

void TMainForm::SetEnabled(const QString& name, bool enabled) {
  if (QAction* entry = Entry(name)) entry->setEnabled(enabled);
}

void TMainForm::SetVisible(const QString& name, bool visible) {
  if (QAction* entry = Entry(name)) entry->setVisible(visible);
}

bool TMainForm::IsEnabled(const QString& name) const {
  const QAction* entry = Entry(name);
  return entry && entry->isEnabled();
}

bool TMainForm::IsVisible(const QString& name) const {
  const QAction* entry = Entry(name);
  return entry && entry->isVisible();
}

QString TMainForm::StatusText(int panel) const {
  return panel >= 0 && panel < kStatusPanels ? panels_[panel]->text() : QString();
}

void TMainForm::SetStatusText(int panel, const QString& text) {
  if (panel >= 0 && panel < kStatusPanels) panels_[panel]->setText(text);
}

bool TMainForm::MagnifierDown() const {
  QAction* loupe = Action("LoupeSpeedButton");
  return loupe && loupe->isChecked();
}

std::optional<TUtmFrame> TMainForm::UtmFrame() const {
  if (!session_.UtmCoordinatesSet() || !utmSource_) return std::nullopt;
  return utmSource_();
}

void TMainForm::BeginTreatment(const QString& title) {
  session_.SetParameterTitle(title);
  // The values of the previous result no longer describe what is shown.
  session_.SetResultValues({});
  emit TreatmentStarting();
}

void TMainForm::ShowParameterImage(std::shared_ptr<TRasterImage> raster, const QString& title,
                                   int margin, DisplayMode displayMode) {
  if (!raster) return;
  session_.SetParameterTitle(title);
  session_.SetCaptionedTitle(title + "  (1:1)");
  PutParameterImage(std::move(raster), margin, displayMode);
  paramWindow_->SetCaption(session_.CaptionedTitle());
}

void TMainForm::ShowParameterImage(std::shared_ptr<TRasterImage> raster) {
  if (!raster) return;
  session_.SetResultValues({});
  const DisplayMode mode = raster->kind == kRasterRgb ? DisplayMode::kColour : DisplayMode::kGray;
  PutParameterImage(std::move(raster), 0, mode);
  // The incrusting needs a network as well: enabled when one is there.
  if (session_.DrainageRaster()) {
    SetEnabled("DrainageNetworkParameters1", true);
    SetEnabled("IncrustDrainage1", true);
  }
}

void TMainForm::PutParameterImage(std::shared_ptr<TRasterImage> raster, int margin,
                                  DisplayMode displayMode) {
  paramWindow_->SetRaster(*raster);
  paramWindow_->SetOwnDem(session_.CurrentDemShared(), session_.UnitFactor());
  paramWindow_->SetCaptionNote({});
  session_.SetParameterImage(std::move(raster), displayMode, margin);
  for (const char* name : {"SaveParameter", "SaveParameterSpeedButton", "Tools1", "WrapImage1"}) {
    SetEnabled(name, true);
  }
  for (const char* name : {"N7", "Configurationdelimpression1", "Imprimer"}) SetVisible(name, true);
  // Palettes and the gray histogram apply to 8-bit gray images only.
  const bool gray = displayMode != DisplayMode::kColour;
  for (const char* name : {"OpenPalette1", "PaletteSpeedButton", "GrayHisto1",
                           "HistoGrSpeedButton"}) {
    SetEnabled(name, gray);
  }
}

QString TMainForm::ValueReadoutText(const TImageWindow& window, int column, int line) const {
  const TResultValues& values = session_.ResultValues();
  if (!values) return {};
  bool shownThere = false;
  if (&window == paramWindow_) {
    shownThere = !values.wrapped;
  } else if (&window == demWindow_) {
    // The wrapped result itself, or the parameter image put there by "Wrapping".
    const std::shared_ptr<TRasterImage> shown = session_.DisplayedRaster();
    shownThere = shown && (values.wrapped ? shown == values.wrappedPicture.lock()
                                          : shown == session_.ParameterImage());
  }
  if (!shownThere) return {};
  // Cells resting on NoData ground: the picture knows them (its NoData colour).
  const std::shared_ptr<TRasterImage> picture =
      &window == paramWindow_ ? session_.ParameterImage() : session_.DisplayedRaster();
  if (picture && picture->IsNoData(column, line)) return values.name + ": no data";
  return QString::fromStdString(ValueReadout(*values.grid, values.name.toStdString(), column, line));
}

void TMainForm::ShowWrappedImage(std::shared_ptr<TRasterImage> raster) {
  if (!raster) return;
  ShowViewState(nullptr, std::move(raster));
}

std::shared_ptr<TViewState> TMainForm::ShowViewState(std::shared_ptr<TDemModel> dem,
                                                     std::shared_ptr<TRasterImage> raster) {
  auto state = session_.PushViewState(std::move(dem), std::move(raster));
  if (state->raster && state->raster->IsAllocated()) EnsureDemWindow().SetRaster(*state->raster);
  // The DEM model's own progress goes to the progress window.
  TProgressSink* sink = progress_.get();
  state->dem->OnProgressBegin = [sink] { sink->Begin(); };
  state->dem->OnProgressStep = [sink](double fraction) { sink->Step(fraction); };
  state->dem->OnProgressEnd = [sink] { sink->End(); };
  return state;
}

void TMainForm::InstallOpenedDem(std::shared_ptr<TDemModel> dem,
                                 std::shared_ptr<TRasterImage> relief, const QString& path) {
  session_.SetResultValues({});
  session_.OpenDem(std::move(dem), relief, path);
  TDemImageWindow& window = EnsureDemWindow();
  window.SetCaption(path);
  if (relief) window.SetRaster(*relief);
  for (const char* name : {"DEMForm1", "Tools1", "SurfaceParameters1", "OpenParameterImage1",
                           "OpenDrainageNetwork1", "OpenParamSpeedButton",
                           "OpenRiverSpeedButton", "LoupeSpeedButton"}) {
    SetEnabled(name, true);
  }
  for (const char* name : {"N6", "Save1", "Export1"}) SetVisible(name, true);
  // The parameter image and the network of the DEM before stay, marked as such; they read
  // their own DEM under the cursor.
  if (paramWindow_->HasBitmap() && paramWindow_->OfAnotherDem())
    paramWindow_->SetCaptionNote(kPreviousDemNote);
  MarkNetwork();
}

void TMainForm::MarkNetwork() {
  if (!riverWindow_->HasBitmap() || !session_.DrainageRaster()) return;
  // A network of another size is refused by the treatments that read it over the DEM until one
  // of this DEM is extracted or opened: said now, and kept in the window's caption.
  if (!session_.NetworkMatchesDemSize()) {
    riverWindow_->SetCaptionNote(kForeignNetworkNote);
    Prompts().Warning(this, "WARNING",
                      QString::fromStdString(CheckNetworkOverDem(*session_.CurrentDem(),
                                                                 *session_.DrainageRaster())
                                                 .message()) +
                          "\nExtract or open the drainage network of this DEM.");
    return;
  }
  riverWindow_->SetCaptionNote(riverWindow_->OfAnotherDem() ? kPreviousDemNote : "");
}

void TMainForm::RegisterDiagram(DiagramKind kind, std::function<void()> open) {
  diagrams_[kind] = std::move(open);
}

bool TMainForm::NetworkMatchesDem(const QString& caption) {
  const TDemModel* dem = session_.CurrentDem();
  const std::shared_ptr<TRasterImage> network = session_.DrainageRaster();
  if (!dem || !network) return true;
  const Status checked = CheckNetworkOverDem(*dem, *network);
  if (checked) return true;
  Prompts().Warning(this, caption, QString::fromStdString(checked.message()));
  return false;
}

void TMainForm::ShowDrainageRaster(std::shared_ptr<TRasterImage> raster, bool extracted) {
  if (!raster) return;
  riverWindow_->SetNetwork(*raster);
  riverWindow_->SetOwnDem(session_.CurrentDemShared(), session_.UnitFactor());
  session_.SetDrainageRaster(std::move(raster));
  MarkNetwork();
  SetEnabled("DrainageNetworkParameters1", true);
  SetEnabled("IncrustDrainage1", true);
  if (extracted) {
    SetEnabled("SaveDrainage1", true);
    SetEnabled("SaveRiverSpeedButton", true);
  }
}

QString TMainForm::ImageDirectory() const { return QString::fromStdString(settings_.imageDir); }

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  // One DEM at a time: a raw one, or an elevation raster for the GDAL import.
  static const QStringList kDemSuffixes = {"raw", "tif", "tiff", "img", "asc", "dem",
                                           "hgt", "vrt", "bil", "flt", "nc",  "grd"};
  const QMimeData* data = event->mimeData();
  if (data->hasUrls() && data->urls().size() == 1 && data->urls().first().isLocalFile() &&
      kDemSuffixes.contains(QFileInfo(data->urls().first().toLocalFile()).suffix().toLower())) {
    event->acceptProposedAction();
  }
}

void TMainForm::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.size() != 1 || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  if (dropHandler_) dropHandler_(urls.first().toLocalFile());
}

// Each module's installer, defined in its group's <group>_commands.cpp.
void InstallFileCommands(TWorkbench& main);
void InstallDiagramCommands(TWorkbench& main);
void InstallSurfaceCommands(TWorkbench& main);
void InstallDrainageCommands(TWorkbench& main);
void InstallMorphometryCommands(TWorkbench& main);
void InstallReliefCommands(TWorkbench& main);
void InstallExchangeCommands(TWorkbench& main);

void InstallCommandModules(TWorkbench& main) {
  InstallFileCommands(main);
  InstallDiagramCommands(main);
  InstallSurfaceCommands(main);
  InstallDrainageCommands(main);
  InstallMorphometryCommands(main);
  InstallReliefCommands(main);
  InstallExchangeCommands(main);
  // Declared treatments without a dialog of their own: a generic one under "More Treatments".
  InstallDeclaredTreatments(main, AllTreatments());
}

}  // namespace orvane
