// What the user sees of the windows: a network of another DEM refused, results brought to the
// front with the right caption, tiling with a large picture, readable diagram axes, Alt-key
// menus and disabled tool buttons that look disabled.
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include "app/display/diagram_forms.h"
#include "app/display/image_window.h"
#include "app/render/palette_form.h"
#include "app/drainage/extraction_form.h"
#include "app/exchange/gdal_forms.h"
#include "app/shell/prefs_form.h"
#include "app/surface/contour_forms.h"
#include "app/drainage/dissection_forms.h"
#include "app/drainage/headwaters_form.h"
#include "app/exchange/page_print_form.h"
#include "app/render/view3d_form.h"
#include "app/shell/icons.h"
#include "app/surface/circular_forms.h"
#include "app/surface/local_fractal_form.h"
#include "app/surface/shape_forms.h"
#include "app/terrain/size_dialogs.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

QMdiSubWindow* FrameOf(QWidget* window) {
  return qobject_cast<QMdiSubWindow*>(window->parentWidget());
}

TEST_F(MainFormTest, NetworkOfAnotherDemIsMarkedAndEveryCombinedTreatmentRefusesIt) {
  InstallDem(40, 30);
  main->ShowDrainageRaster(MakeGray(40, 30, [](int c, int) { return c == 5 ? 1 : 0; }), true);
  EXPECT_TRUE(prompts.messages.empty());
  InstallDem(60, 30);  // another DEM: the network stays, marked
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_TRUE(prompts.messages[0].text.contains("differ in size"))
      << prompts.messages[0].text.toStdString();
  EXPECT_FALSE(main->Session().NetworkMatchesDemSize());
  EXPECT_TRUE(main->RiverWindow().windowTitle().contains("not of the open DEM"));

  for (const char* treatment : {"PixelDensity1", "DrainageLength1", "PixelDensity2",
                                "DrainageLength2", "Headwaterstreatment1",
                                "DissectionDensity3DTreatment1", "RatioDepthTreatment1"}) {
    SCOPED_TRACE(treatment);
    prompts.messages.clear();
    prompts.executed.clear();
    main->Action(treatment)->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);  // said before any dialog
    EXPECT_TRUE(prompts.messages[0].text.contains("differ in size"));
    EXPECT_TRUE(prompts.executed.empty());
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

TEST(DiagramAxes, DensityAxisCoversTheDataAndCountsAreScaled) {
  TDissectionDiagram form;
  form.show();
  form.Counts()[40] = 10;
  form.Counts()[200] = 30;
  form.Counts()[254] = 5;
  form.SetBound(430);  // densities up to 43: classes up to 255
  const TDiagramDrawing d = form.Drawing(265);
  int rightmost = 0;
  for (const TDiagramLine& line : d.lines) {
    if (line.colour == QColor(Qt::red)) rightmost = std::max(rightmost, line.to.x());
  }
  EXPECT_GT(rightmost, 280);  // the curve reaches its last class ...
  EXPECT_LE(rightmost, 300);  // ... on the axis
  const QStringList labels = form.LabelTexts();
  ASSERT_FALSE(labels.isEmpty());
  EXPECT_EQ(labels.last(), "25");  // the last class, 25.4, lies beyond the last label
  QStringList counts;
  for (const TDiagramText& text : d.texts) counts << text.text;
  EXPECT_EQ(counts, (QStringList{"30", "15"}));
  // Up to 14 the axis stays as it was.
  form.SetBound(73);
  EXPECT_EQ(form.LabelTexts(), (QStringList{"0", "2", "4", "6", "8", "10", "12", "14"}));

  // The 3D diagram the same way: 0 .. 7 while the densities fit, stretched beyond.
  TDissection3DDiagram density3d;
  density3d.show();
  density3d.SetBound(60);
  EXPECT_EQ(density3d.LabelTexts(), (QStringList{"0", "1", "2", "3", "4", "5", "6", "7"}));
  density3d.Counts3D()[254] = 5;
  density3d.SetBound(430);
  int right3d = 0;
  for (const TDiagramLine& line : density3d.Drawing(265).lines) {
    // The curve, not the legend's sample line beside the plot (x 310 .. 360).
    if (line.colour == QColor(Qt::red) && line.from.x() < 310)
      right3d = std::max(right3d, line.to.x());
  }
  EXPECT_GT(right3d, 280);
  EXPECT_LE(right3d, 300);
  EXPECT_NE(density3d.LabelTexts().last(), "7");
}

TEST(DiagramAxes, LabelsOfEveryDiagramStandApart) {
  TGrayHistogramWindow gray;
  TDissectionDiagram density;
  density.SetBound(430);
  TDissection3DDiagram density3d;
  TDrainageFractalDiagram fractal;
  TLocalFractalDiagram local;
  TDirectionHistogramWindow direction;
  for (TDiagramForm* form : std::initializer_list<TDiagramForm*>{&gray, &density, &density3d,
                                                                 &fractal, &local, &direction}) {
    SCOPED_TRACE(form->objectName().toStdString());
    form->show();
    const QList<QLabel*> labels = form->findChildren<QLabel*>(QRegularExpression("^Label\\d+$"));
    ASSERT_GE(labels.size(), 2);
    for (QLabel* a : labels) {
      for (QLabel* b : labels) {
        if (a == b) continue;
        EXPECT_FALSE(a->geometry().adjusted(-2, 0, 2, 0).intersects(b->geometry()))
            << a->text().toStdString() << " / " << b->text().toStdString();
      }
    }
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

}  // namespace
}  // namespace orvane::test

namespace orvane::test {
namespace {

// Typed as a user types (through the field's validator), unlike setText.
void Type(QLineEdit& field, const QString& text) {
  field.clear();
  field.insert(text);
}

TEST(NumericFields, LettersCannotBeTypedAndADiscWiderThanTheDemKeepsTheDialogOpen) {
  TestPrompter prompts;
  TCircularWindowDialog circular;
  circular.SetPixelSize(90.0f);
  circular.SetGridSize(403, 344);
  circular.ChooseStatistic(1);
  auto* radius = circular.findChild<QLineEdit*>("RadiusEdit");
  Type(*radius, "abc");
  EXPECT_EQ(radius->text(), "");
  Type(*radius, "9999999999");  // beyond any DEM side: not even typed in full
  EXPECT_LE(radius->text().toLongLong(), kMaxDemSide);
  circular.show();
  for (const char* typed : {"300", "172", "200"}) {
    SCOPED_TRACE(typed);
    prompts.messages.clear();
    Type(*radius, typed);
    circular.setResult(QDialog::Rejected);
    circular.OkClick();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains("does not fit in the DEM (403 x 344)"));
    EXPECT_EQ(circular.result(), QDialog::Rejected);
    EXPECT_TRUE(circular.isVisible());
  }
  prompts.messages.clear();
  Type(*radius, "171");
  circular.OkClick();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(circular.result(), QDialog::Accepted);

  TWindowSizeDialog window;
  auto* size = window.findChild<QLineEdit*>("WinSizeEdit");
  ASSERT_NE(size, nullptr);
  Type(*size, "-5x");
  EXPECT_FALSE(size->hasAcceptableInput());
  TLocalFractalDialog fractal;
  auto* h = fractal.findChild<QLineEdit*>("HValEdit");
  Type(*h, "abc");
  EXPECT_EQ(h->text(), "");
  Type(*h, "0,5");
  EXPECT_DOUBLE_EQ(fractal.FactorH(), 0.5);

  // The other numeric fields: what cannot be typed in them.
  TDynamicScaleDialog scale;
  THeadwatersDialog headwaters;
  TImageSizeDialog imageSize;
  TPageLayoutDialog page;
  TPaletteDialog palette;
  TImportGdalDialog gdal;
  TDrainageExtractionDialog extraction;
  TContourDensityDialog contours;
  TConvexityConcavityDialog convexity;
  TSettings settings;
  TPreferencesDialog preferences(settings);
  const std::pair<QLineEdit*, const char*> refused[] = {
      {palette.findChild<QLineEdit*>("MinEdit"), "abc"},
      {gdal.findChild<QLineEdit*>("PixSizeEdit"), "x"},
      {extraction.findChild<QLineEdit*>("LREdit"), "-1"},
      {contours.findChild<QLineEdit*>("IntervEdit"), "99999999999"},
      {convexity.findChild<QLineEdit*>("SizeWinEdit"), "99999"},
      {preferences.findChild<QLineEdit*>("SquelEdit"), "5000"},
      {scale.findChild<QLineEdit*>("Pix_Size"), "9O"},
      {headwaters.findChild<QLineEdit*>("WindowEdit"), "abc"},
      {imageSize.findChild<QLineEdit*>("LineEdit"), "-3"},
      {imageSize.findChild<QLineEdit*>("ColEdit"), "x"},
      {page.findChild<QLineEdit*>("LargEdit"), "-50"},
  };
  for (const auto& [field, typed] : refused) {
    ASSERT_NE(field, nullptr) << typed;
    Type(*field, typed);
    EXPECT_EQ(field->text(), "") << field->objectName().toStdString() << " took " << typed;
  }
  Type(*scale.findChild<QLineEdit*>("Pix_Size"), "90.5");
  EXPECT_EQ(scale.findChild<QLineEdit*>("Pix_Size")->text(), "90.5");
}

}  // namespace
}  // namespace orvane::test

namespace orvane::test {
namespace {

// Types `typed` into the field named `fieldName` of `dialog` and presses its OK button.
void TypeAndPressOk(QDialog& dialog, const char* fieldName, const char* okName,
                    const QString& typed) {
  auto* field = dialog.findChild<QLineEdit*>(fieldName);
  ASSERT_NE(field, nullptr) << fieldName;
  auto* ok = dialog.findChild<QPushButton*>(okName);
  ASSERT_NE(ok, nullptr) << okName;
  Type(*field, typed);
  dialog.setResult(QDialog::Rejected);
  ok->click();
}

// An empty or unusable field is refused on OK with a message, and the dialog stays open with
// the focus on that field; a good value is then accepted.
TEST(NumericFields, EmptyOrUnusableFieldsKeepTheDialogOpenOnTheField) {
  TestPrompter prompts;
  TLocalFractalDialog fractal;
  THeadwatersDialog headwaters;
  TConvexityConcavityDialog convexity;
  THorizontalSurfacesDialog horizontal;
  TImageSizeDialog imageSize;
  imageSize.SetTexts("30", "40");  // each case empties one of the two
  struct Case {
    QDialog* dialog;
    const char* field;
    const char* ok;
    const char* refused;
    QString message;
    const char* accepted;
  };
  const Case cases[] = {
      {&fractal, "HValEdit", "OkBitBtn", "", TLocalFractalDialog::kNoFactorH, "0,5"},
      {&fractal, "HValEdit", "OkBitBtn", "-", TLocalFractalDialog::kNoFactorH, "1.5"},
      {&headwaters, "WindowEdit", "BitBtn1", "", THeadwatersDialog::kNoHalfWindow, "3"},
      {&headwaters, "WindowEdit", "BitBtn1", "abc", THeadwatersDialog::kNoHalfWindow, "3"},
      {&convexity, "SizeWinEdit", "OKBitBtn", "", kNoWindowRange, "2"},
      {&convexity, "SizeWinEdit", "OKBitBtn", "0", kNoWindowRange, "2"},
      {&horizontal, "SizeWinEdit", "OKBitBtn", "", kNoWindowRange, "2"},
      {&imageSize, "LineEdit", "OkButton", "",
       "The image size: number of lines 0 is not in 1..", "30"},
      {&imageSize, "ColEdit", "OkButton", "",
       "The image size: number of columns 0 is not in 1..", "40"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " <- \"" + c.refused + "\"");
    c.dialog->show();
    prompts.messages.clear();
    TypeAndPressOk(*c.dialog, c.field, c.ok, c.refused);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith(c.message))
        << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(c.dialog->isVisible());
    EXPECT_EQ(c.dialog->result(), QDialog::Rejected);
    EXPECT_EQ(c.dialog->focusWidget(), c.dialog->findChild<QLineEdit*>(c.field));

    prompts.messages.clear();
    TypeAndPressOk(*c.dialog, c.field, c.ok, c.accepted);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(c.dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(c.dialog->isVisible());
  }
  EXPECT_EQ(imageSize.Lines(), 30);
  EXPECT_EQ(imageSize.Columns(), 40);
}

// The shared window-size dialog refuses what the treatment at hand cannot use and stays open.
TEST_F(MainFormTest, WindowSizeOutsideTheTreatmentsRangeKeepsTheDialogOpen) {
  InstallDem(40, 30);
  main->ShowDrainageRaster(MakeGray(40, 30, [](int c, int) { return c == 5 ? 1 : 0; }), true);
  struct Case {
    const char* treatment;
    std::vector<const char*> typed;  // refused, refused, accepted
    QString tooSmall;
  };
  const Case cases[] = {
      {"TotalDepthTreatment1", {"0", "30", "29"}, "The window size must be at least 1"},
      {"DissectionDensity3DTreatment1", {"1", "31", "30"},
       "The window size must be at least 2 pixels"},
      {"RatioDepthTreatment1", {"1", "30", "29"}, "The window size must be at least 2 pixels"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.treatment);
    prompts.messages.clear();
    std::vector<int> results;
    std::vector<bool> focused;
    prompts.dialogs["DDFen"] = [&](QDialog& dialog) {
      dialog.show();
      for (const char* typed : c.typed) {
        TypeAndPressOk(dialog, "WinSizeEdit", "OkBitBtn", typed);
        results.push_back(dialog.result());
        focused.push_back(dialog.focusWidget() == dialog.findChild<QLineEdit*>("WinSizeEdit"));
      }
      return dialog.result();
    };
    main->Action(c.treatment)->trigger();
    EXPECT_EQ(results,
              (std::vector<int>{QDialog::Rejected, QDialog::Rejected, QDialog::Accepted}));
    EXPECT_TRUE(focused[0] && focused[1]);
    ASSERT_GE(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].text, c.tooSmall);
    EXPECT_EQ(prompts.messages[1].text, "The window is larger than the DEM");
  }
}

}  // namespace
}  // namespace orvane::test
