// The main frame: menu and button states through the life of a session, the treatment
// pattern's tail, window commands, magnifier and diagram button; what the user sees of the
// windows: a network of another DEM refused, results brought to the front with the right
// caption, tiling with a large picture, Alt-key menus and disabled tool buttons that look
// disabled.
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "app/display/image_window.h"
#include "app/render/view3d_form.h"
#include "app/shell/declared_dialog.h"
#include "app/shell/icons.h"
#include "app/shell/treatment_menu.h"
#include "core/treatment/treatment.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

TEST_F(MainFormTest, EveryDeclaredTreatmentHasAMenuItemWiredToAHandler) {
  for (const TreatmentDescriptor* treatment : AllTreatments()) {
    // Its own item, or the generic one under "More Treatments".
    const char* own = TreatmentMenuAction(*treatment);
    const QString name = own ? QString(own) : DeclaredItemName(*treatment);
    const QAction* action = main->Action(name);
    ASSERT_NE(action, nullptr) << treatment->id << ": no action " << name.toStdString();
    EXPECT_TRUE(action->property(kHandledProperty).toBool()) << treatment->id << ": " << name.toStdString();
    // Under the menu bar's menu its declaration names (the QGIS toolbox groups by it).
    QMenu* menu = nullptr;
    for (QObject* holder : action->associatedObjects())
      if (auto* found = qobject_cast<QMenu*>(holder)) menu = found;
    while (menu && qobject_cast<QMenu*>(menu->parentWidget()))
      menu = static_cast<QMenu*>(menu->parentWidget());
    ASSERT_NE(menu, nullptr) << treatment->id;
    EXPECT_EQ(menu->title().remove('&').toStdString(), treatment->menu) << treatment->id;
  }
}

TEST_F(MainFormTest, FrameAndComponentsAtStart) {
  EXPECT_EQ(main->windowTitle(), " ORVANE Version 1.0");
  EXPECT_EQ(main->size(), QSize(856, 652));

  // What works at start: Files (open DEM, import ILWIS, exit), Window, Info, two buttons.
  ExpectEnabled(*main, {"Files1", "OpenDEM1", "ImportIlwis1", "Exit1", "Window1", "Cascade1",
                        "Tile1", "Previous1", "Next1", "Info1", "Copyrigth1", "About1",
                        "OpenDEMSpeedButton", "PipetteSpeedButton"},
                true);
  ExpectEnabled(*main, {"OpenDrainageNetwork1", "OpenParameterImage1", "SaveParameter",
                        "SaveDrainage1", "DEMForm1", "SurfaceParameters1", "WrapImage1",
                        "DrainageNetworkParameters1", "IncrustDrainage1", "Tools1",
                        "OpenPalette1", "GrayHisto1", "ShowDiag1", "DiagDD1", "DiagDD3D1",
                        "LocFract1", "FractRed1", "OpenRiverSpeedButton", "OpenParamSpeedButton",
                        "SaveParameterSpeedButton", "SaveRiverSpeedButton", "LoupeSpeedButton",
                        "PaletteSpeedButton", "HistoGrSpeedButton", "AspectSpeedButton",
                        "DiagSpeedButton"},
                false);
  for (const char* hidden : {"N6", "Save1", "Export1", "Configurationdelimpression1"})
    EXPECT_FALSE(main->IsVisible(hidden)) << hidden;
  // Items inside disabled menus are themselves enabled: the menu gates them.
  ExpectEnabled(*main, {"SlopeTreatment1", "DEMInfo1", "CoordUtm1", "PixelDensity2",
                        "Headwaterstreatment1", "ParameterImage1", "Ilwis1"},
                true);

  EXPECT_EQ(main->Menu("Slope1")->title(), "Slope");
  EXPECT_EQ(main->Action("WrapImage1")->text(), " Wrapping");
  EXPECT_EQ(main->Menu("DissectionDendity3D1")->title(), "Dissection Density 3D");
  EXPECT_EQ(main->Action("ParameterImage1")->text(), "-> Parameter Image");

  // Tool bar: eleven buttons in order with their hints, separators after the third and fifth.
  const QList<QAction*> items = main->findChild<QToolBar*>("ToolBar1")->actions();
  QStringList layout;
  for (QAction* item : items) layout << (item->isSeparator() ? "|" : item->objectName());
  EXPECT_EQ(layout.join(' '),
            "OpenDEMSpeedButton OpenRiverSpeedButton OpenParamSpeedButton | "
            "SaveParameterSpeedButton SaveRiverSpeedButton | LoupeSpeedButton "
            "PipetteSpeedButton PaletteSpeedButton HistoGrSpeedButton AspectSpeedButton "
            "DiagSpeedButton");
  EXPECT_EQ(main->Action("OpenRiverSpeedButton")->toolTip(), "Open Drainage Network");
  EXPECT_EQ(main->Action("SaveRiverSpeedButton")->toolTip(), "Save Drainage Image");
  EXPECT_EQ(main->Action("AspectSpeedButton")->toolTip(), "Slope Orientation");
  EXPECT_TRUE(main->Action("PipetteSpeedButton")->toolTip().isEmpty());
  EXPECT_FALSE(main->Action("DiagSpeedButton")->icon().isNull());

  // Shortcuts (Ctrl+Q: below).
  EXPECT_EQ(main->Action("OpenDEM1")->shortcut(), QKeySequence(QKeySequence::Open));
  EXPECT_EQ(main->Action("SaveParameter")->shortcut(), QKeySequence(QKeySequence::Save));

  // Parameter and drainage windows exist from the start; the DEM window does not.
  EXPECT_EQ(main->ParamWindow().windowTitle(), "  PARAMETER RESULTS");
  EXPECT_EQ(main->RiverWindow().windowTitle(), "  DRAINAGE NETWORK");
  EXPECT_EQ(main->DemWindow(), nullptr);
  EXPECT_EQ(main->Session().CurrentDem(), nullptr);
}

TEST_F(MainFormTest, StatesAfterDemParameterImageAndNetwork) {
  InstallDem();
  ExpectEnabled(*main, {"DEMForm1", "Tools1", "SurfaceParameters1", "OpenParameterImage1",
                        "OpenDrainageNetwork1", "OpenParamSpeedButton", "OpenRiverSpeedButton",
                        "LoupeSpeedButton"},
                true);
  for (const char* shown : {"N6", "Save1", "Export1"}) EXPECT_TRUE(main->IsVisible(shown));
  ExpectEnabled(*main, {"SaveParameter", "WrapImage1", "OpenPalette1", "GrayHisto1",
                        "DrainageNetworkParameters1", "SaveDrainage1"},
                false);
  ASSERT_NE(main->DemWindow(), nullptr);
  EXPECT_EQ(main->DemWindow()->windowTitle(), "/data/site_m2.raw");

  // A gray parameter image: save, palette, gray histogram, wrapping.
  main->ShowParameterImage(MakeGray(40, 30, [](int, int) { return 7; }), " SLOPE ", 0, DisplayMode::kGray);
  ExpectEnabled(*main, {"SaveParameter", "SaveParameterSpeedButton", "Tools1", "OpenPalette1",
                        "PaletteSpeedButton", "GrayHisto1", "HistoGrSpeedButton", "WrapImage1"},
                true);
  EXPECT_EQ(main->ParamWindow().windowTitle(), " SLOPE   (1:1)");
  EXPECT_EQ(main->Session().CaptionedTitle(), " SLOPE   (1:1)");
  EXPECT_EQ(main->Session().DisplayMode(), DisplayMode::kGray);

  // A colour one disables palette and histogram again, keeps save and wrapping.
  auto colour = std::make_shared<TRasterImage>(40, 30, kRasterRgb);
  main->ShowParameterImage(colour, " ASPECT ", 2, DisplayMode::kColour);
  ExpectEnabled(*main, {"OpenPalette1", "PaletteSpeedButton", "GrayHisto1",
                        "HistoGrSpeedButton"},
                false);
  ExpectEnabled(*main, {"SaveParameter", "SaveParameterSpeedButton", "WrapImage1"}, true);
  EXPECT_EQ(main->Session().Margin(), 2);
  EXPECT_EQ(main->Session().ParameterImage(), colour);

  // An opened network: drainage parameters and incrusting, but not its saving.
  main->ShowDrainageRaster(MakeGray(40, 30, [](int c, int) { return c == 5 ? 0 : 255; }), false);
  ExpectEnabled(*main, {"DrainageNetworkParameters1", "IncrustDrainage1"}, true);
  ExpectEnabled(*main, {"SaveDrainage1", "SaveRiverSpeedButton"}, false);
  EXPECT_TRUE(main->RiverWindow().HasBitmap());
  // An extracted one enables the saving too.
  main->ShowDrainageRaster(MakeGray(40, 30, [](int, int) { return 255; }), true);
  ExpectEnabled(*main, {"SaveDrainage1", "SaveRiverSpeedButton"}, true);

  // Opening another DEM keeps what was enabled and the parameter window's picture.
  InstallDem(20, 10);
  ExpectEnabled(*main, {"SaveParameter", "DrainageNetworkParameters1", "WrapImage1"}, true);
  EXPECT_TRUE(main->ParamWindow().HasBitmap());
  EXPECT_EQ(main->Session().ParameterImage(), colour);
}

TEST_F(MainFormTest, DiagramKindChoosesTheWindowAndEnablesItsItem) {
  InstallDem();
  int opened[5] = {};
  for (int kind = 1; kind <= 4; ++kind) {
    main->RegisterDiagram(static_cast<DiagramKind>(kind), [&, kind] { ++opened[kind]; });
  }
  // Before a diagram-producing treatment the button does nothing.
  main->Action("DiagSpeedButton")->trigger();
  EXPECT_EQ(opened[1] + opened[2] + opened[3] + opened[4], 0);

  main->Session().SetDiagramKind(DiagramKind::kDissectionDensity);
  ExpectEnabled(*main, {"ShowDiag1", "DiagDD1", "DiagSpeedButton"}, true);
  ExpectEnabled(*main, {"DiagDD3D1", "LocFract1", "FractRed1"}, false);
  main->Action("DiagSpeedButton")->trigger();
  EXPECT_EQ(opened[2], 1);
  main->Session().SetDiagramKind(DiagramKind::kLocalFractal);
  main->Action("DiagSpeedButton")->trigger();
  EXPECT_EQ(opened[1], 1);
  EXPECT_TRUE(main->IsEnabled("LocFract1"));
  main->Action("DiagDD1")->trigger();  // the submenu item opens its own kind
  EXPECT_EQ(opened[2], 2);
}

TEST_F(MainFormTest, TileAndCascadeSwitchPreviousAndNext) {
  main->Action("Tile1")->trigger();
  ExpectEnabled(*main, {"Previous1", "Next1"}, false);
  main->Action("Cascade1")->trigger();
  ExpectEnabled(*main, {"Previous1", "Next1"}, true);
  main->show();
  main->MdiArea().setActiveSubWindow(main->MdiArea().subWindowList().first());
  QMdiSubWindow* before = main->MdiArea().activeSubWindow();
  main->Action("Next1")->trigger();
  EXPECT_NE(main->MdiArea().activeSubWindow(), before);
  main->Action("Previous1")->trigger();
  EXPECT_EQ(main->MdiArea().activeSubWindow(), before);
}

TEST_F(MainFormTest, MagnifierSwitchesCursorAndClearsLinePanel) {
  InstallDem();
  main->SetStatusText(3, "Line: 1");
  main->Action("LoupeSpeedButton")->trigger();
  EXPECT_TRUE(main->MagnifierDown());
  EXPECT_EQ(main->MdiArea().cursor().shape(), Qt::BitmapCursor);
  EXPECT_TRUE(main->StatusText(3).isEmpty());
  main->Action("LoupeSpeedButton")->trigger();
  EXPECT_FALSE(main->MagnifierDown());
  EXPECT_EQ(main->MdiArea().cursor().shape(), Qt::ArrowCursor);

  main->Action("LoupeSpeedButton")->trigger();
  main->SetStatusText(3, "Line: 2");
  main->Action("PipetteSpeedButton")->trigger();
  EXPECT_FALSE(main->MagnifierDown());
  EXPECT_EQ(main->MdiArea().cursor().shape(), Qt::ArrowCursor);
  EXPECT_TRUE(main->StatusText(3).isEmpty());
}

TEST_F(MainFormTest, StatusPanelsHoldTheirLongestTextsWithoutOverlapAtTheDefaultSize) {
  const QString longest[kStatusPanels] = {
      "x:88888.88 y:88888.88  z: no data   ", "Coord. UTM   X 888888.88    Y 8888888.88 ",
      "R: 255 G: 255 B: 255  ", "Line: 88888  Column: 88888 ", "Total depth 8888.8 m"};
  ShowFor(*main, "status_bar.png");
  std::vector<QRect> places;
  for (int panel = 0; panel < kStatusPanels; ++panel) {
    main->SetStatusText(panel, longest[panel]);
    const auto* label = main->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(panel));
    ASSERT_NE(label, nullptr);
    places.emplace_back(label->mapTo(main.get(), QPoint(0, 0)), label->size());
    EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(longest[panel]))
        << panel;
    EXPECT_TRUE(main->rect().contains(places.back())) << panel;
  }
  for (int a = 0; a < kStatusPanels; ++a)
    for (int b = a + 1; b < kStatusPanels; ++b)
      EXPECT_FALSE(places[a].intersects(places[b])) << a << " over " << b;
}

TEST_F(MainFormTest, InfoCommandsGoThroughThePrompter) {
  main->Action("Copyrigth1")->trigger();
  EXPECT_TRUE(prompts.SaidOnlyWith("ORVANE Version 1.0"));
  main->Action("About1")->trigger();
  EXPECT_EQ(prompts.executed, std::vector<QString>{"AuSujetDeForm"});
}

QMdiSubWindow* FrameOf(QWidget* window) {
  return qobject_cast<QMdiSubWindow*>(window->parentWidget());
}

TEST_F(MainFormTest, NetworkOfAnotherDemIsMarkedAndEveryCombinedTreatmentRefusesIt) {
  InstallDem(40, 30);
  main->ShowDrainageRaster(MakeGray(40, 30, [](int c, int) { return c == 5 ? 1 : 0; }), true);
  EXPECT_TRUE(prompts.messages.empty());
  InstallDem(60, 30);  // another DEM: the network stays, marked
  EXPECT_TRUE(prompts.SaidOnlyWith("differ in size"));
  EXPECT_FALSE(main->Session().NetworkMatchesDemSize());
  EXPECT_TRUE(main->RiverWindow().windowTitle().contains("not of the open DEM"));

  for (const char* treatment : {"PixelDensity1", "DrainageLength1", "PixelDensity2",
                                "DrainageLength2", "Headwaterstreatment1",
                                "DissectionDensity3DTreatment1", "RatioDepthTreatment1"}) {
    SCOPED_TRACE(treatment);
    main->Action(treatment)->trigger();
    EXPECT_TRUE(prompts.SaidOnlyWith("differ in size"));
    EXPECT_TRUE(prompts.executed.empty());  // said before any dialog
  }
  // A network of this DEM clears the mark.
  main->ShowDrainageRaster(MakeGray(60, 30, [](int, int) { return 0; }), true);
  EXPECT_TRUE(main->Session().NetworkMatchesDemSize());
  EXPECT_FALSE(main->RiverWindow().windowTitle().contains("not of the open DEM"));
}

TEST_F(MainFormTest, NewPictureComesForwardAtOneToOne) {
  main->show();
  InstallDem(40, 30);
  TImageWindow& dem = main->EnsureDemWindow();
  dem.resize(200, 200);
  ASSERT_TRUE(dem.ZoomClick(QPoint(10, 10), Qt::LeftButton));
  EXPECT_TRUE(dem.windowTitle().contains("(2:1)"));
  // A shadowing replaces the picture: shown at 1:1, and so named.
  main->ShowWrappedImage(MakeGray(40, 30, [](int, int) { return 90; }));
  EXPECT_EQ(dem.Zoom(), 1);
  EXPECT_FALSE(dem.windowTitle().contains("(2:1)"));
  EXPECT_TRUE(dem.windowTitle().endsWith("(1:1)"));

  // The DEM window in front; a result in the parameter window comes forward.
  main->MdiArea().setActiveSubWindow(FrameOf(&dem));
  main->ShowParameterImage(MakeGray(40, 30, [](int c, int) { return c; }), " SLOPE", 0, DisplayMode::kGray);
  EXPECT_EQ(main->MdiArea().activeSubWindow(), FrameOf(main->findChild<TParameterImageWindow*>()));
}

TEST_F(MainFormTest, TilingWithALargePictureKeepsEveryWindowUsable) {
  main->resize(1100, 760);
  main->show();
  InstallDem(40, 30);
  auto picture = std::make_unique<TRasterImage>(900, 700, kRasterRgb);
  auto* result = new TView3DResultWindow(std::move(picture), temp.path());
  main->MdiArea().addSubWindow(result)->show();
  Wait(20);
  main->Action("Tile1")->trigger();
  Wait(20);
  const QRect area = main->MdiArea().viewport()->rect();
  for (QMdiSubWindow* sub : main->MdiArea().subWindowList()) {
    SCOPED_TRACE(sub->windowTitle().toStdString());
    EXPECT_GE(sub->width(), area.width() / 4);
    EXPECT_GE(sub->height(), area.height() / 4);
    EXPECT_TRUE(area.contains(sub->geometry()));
  }
}

TEST_F(MainFormTest, MenuBarTitlesHaveDistinctAltKeysAndDisabledButtonsLookDisabled) {
  QString letters;
  for (QAction* item : main->menuBar()->actions()) {
    const QString title = item->text();
    const qsizetype amp = title.indexOf('&');
    ASSERT_GE(amp, 0) << title.toStdString();
    const QChar key = title[amp + 1].toLower();
    EXPECT_FALSE(letters.contains(key)) << title.toStdString();
    letters += key;
  }
  EXPECT_EQ(main->Menu("Files1")->title().remove('&'), "Files");
  EXPECT_EQ(main->Menu("DrainageNetworkParameters1")->title().remove('&'),
            "Drainage Network Parameters");

  // A disabled picture keeps at most half the coverage of the enabled one.
  const QIcon icon = ToolButtonIcon("DiagSpeedButton");
  const auto coverage = [&](QIcon::Mode mode) {
    const QImage image = icon.pixmap(32, 32, mode).toImage().convertToFormat(QImage::Format_ARGB32);
    long sum = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) sum += qAlpha(image.pixel(x, y));
    return sum;
  };
  EXPECT_LT(coverage(QIcon::Disabled) * 2, coverage(QIcon::Normal));
}

// The texts users read are spelt right; the component names stay as they are.
TEST_F(MainFormTest, TextsShownToUsersAreSpeltRight) {
  QStringList shown;
  for (const QAction* action : main->findChildren<QAction*>()) shown << action->text() << action->toolTip();
  for (const QMenu* menu : main->findChildren<QMenu*>()) shown << menu->title();
  for (const QWidget* widget : main->findChildren<QWidget*>()) {
    shown << widget->windowTitle();
    if (auto* label = qobject_cast<const QLabel*>(widget)) shown << label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) shown << button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) shown << group->title();
  }
  for (const char* misspelt : {"devaition", "dendity", "oberved", "copyrigth"}) {
    for (const QString& text : shown)
      EXPECT_FALSE(text.contains(misspelt, Qt::CaseInsensitive)) << text.toStdString();
  }
  EXPECT_NE(main->Action("Copyrigth1"), nullptr);
  EXPECT_NE(main->Menu("DissectionDendity3D1"), nullptr);
}

// Ctrl+Q closes the frame at once, a DEM and its result open.
TEST_F(SampleSessionTest, ControlQClosesAtOnce) {
  ShowGraySlope(*main);
  QAction* exit = main->Action("Exit1");
  EXPECT_EQ(exit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  QElapsedTimer timer;
  timer.start();
  exit->trigger();
  EXPECT_FALSE(main->isVisible());
  EXPECT_LT(timer.elapsed(), 300);
}

}  // namespace
}  // namespace orvane::test
