// Document windows: bitmap, zoom steps and captions, zoom centring, status readout.
#include <QScrollBar>
#include "app/display/image_window.h"


#include "support/app_session.h"

namespace orvane::test {
namespace {

class FakeHost : public TImageHost {
 public:
  const TDemModel* CurrentDem() const override { return dem.get(); }
  int UnitFactor() const override { return unit; }
  bool MagnifierDown() const override { return magnifier; }
  std::optional<TUtmFrame> UtmFrame() const override { return utm; }
  void SetStatusText(int panel, const QString& text) override { panels[panel] = text; }
  QString DemPath() const override { return "/dem/site_m2.raw"; }
  QString ParameterTitle() const override { return " SLOPE "; }

  std::shared_ptr<TDemModel> dem;
  int unit = 1;
  bool magnifier = true;
  std::optional<TUtmFrame> utm;
  QString panels[kStatusPanels];
};

class ImageWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.dem = MakeDem(100, 100, [](int c, int l) { return 100 + c + 2 * l; });
    raster = MakeGray(100, 100, [](int c, int) { return c; });
    ASSERT_TRUE(raster->Allocate(100, 100, kRasterRgb));
    for (int l = 0; l < 100; ++l) {
      for (int c = 0; c < 100; ++c) {
        raster->SetColor(c, l, c < 50 ? Rgb(c, c, c) : Rgb(200, 10, c));
      }
    }
    window = std::make_unique<TParameterImageWindow>(host);
    window->resize(320, 151);
    window->SetRaster(*raster);
  }

  void Click(TImageWindow& w, QPoint at, Qt::MouseButton button) {
    SendMouse(*w.viewport(), QEvent::MouseButtonPress, at, button);
  }
  void Move(TImageWindow& w, QPoint at) { SendMouse(*w.viewport(), QEvent::MouseMove, at); }

  FakeHost host;
  std::shared_ptr<TRasterImage> raster;
  std::unique_ptr<TParameterImageWindow> window;
};

TEST_F(ImageWindowTest, BitmapHoldsTheRasterColours) {
  const QImage& bitmap = window->Bitmap();
  ASSERT_EQ(bitmap.size(), QSize(100, 100));
  EXPECT_EQ(bitmap.pixel(10, 5), qRgb(10, 10, 10));
  EXPECT_EQ(bitmap.pixel(60, 5), qRgb(200, 10, 60));

  TRasterImage palette(2, 1, kRasterPalette);
  palette.palette[7] = TPaletteEntry{30, 20, 10, 0};  // blue, green, red
  palette.SetValue(1, 0, 7);
  EXPECT_EQ(RasterToBitmap(palette).pixel(1, 0), qRgb(10, 20, 30));
  EXPECT_TRUE(RasterToBitmap(TRasterImage()).isNull());
}

TEST_F(ImageWindowTest, LeftClicksEnlargeUpToTwenty) {
  for (int i = 0; i < 11; ++i) Click(*window, {50, 50}, Qt::LeftButton);
  EXPECT_EQ(window->Zoom(), 12);
  EXPECT_EQ(window->windowTitle(), "  SLOPE  (12:1) ");
  for (int i = 0; i < 8; ++i) EXPECT_TRUE(window->ZoomClick({50, 50}, Qt::LeftButton));
  EXPECT_EQ(window->Zoom(), 20);
  const QString caption = window->windowTitle();
  // Beyond the limit the factor stays, nothing is repainted and the caption stays.
  EXPECT_FALSE(window->ZoomClick({50, 50}, Qt::LeftButton));
  for (int i = 0; i < 5; ++i) Click(*window, {50, 50}, Qt::LeftButton);
  EXPECT_EQ(window->Zoom(), 20);
  EXPECT_EQ(window->windowTitle(), caption);
}

TEST_F(ImageWindowTest, RightClicksReduceAndTheWayBackSkipsZero) {
  Click(*window, {10, 10}, Qt::RightButton);
  EXPECT_EQ(window->Zoom(), -2);
  EXPECT_EQ(window->windowTitle(), "  SLOPE  (1:2) ");
  EXPECT_DOUBLE_EQ(window->Scale(), 0.5);
  Click(*window, {10, 10}, Qt::LeftButton);
  EXPECT_EQ(window->Zoom(), -1);
  EXPECT_EQ(window->windowTitle(), "  SLOPE  (1:1)");
  EXPECT_DOUBLE_EQ(window->Scale(), 1.0);
  Click(*window, {10, 10}, Qt::LeftButton);
  EXPECT_EQ(window->Zoom(), 2);
  for (int i = 0; i < 30; ++i) window->ZoomClick({10, 10}, Qt::RightButton);
  EXPECT_EQ(window->Zoom(), -20);
  // A middle click changes nothing but repaints at the same factor.
  Click(*window, {10, 10}, Qt::MiddleButton);
  EXPECT_EQ(window->Zoom(), -20);
  // A new raster starts again at 1; without the magnifier a click does not zoom.
  window->SetRaster(*raster);
  EXPECT_EQ(window->Zoom(), 1);
  host.magnifier = false;
  Click(*window, {10, 10}, Qt::LeftButton);
  EXPECT_EQ(window->Zoom(), 1);
}

TEST_F(ImageWindowTest, CaptionsOfTheThreeWindows) {
  TDemImageWindow dem(host);
  TDrainageImageWindow river(host);
  EXPECT_EQ(dem.windowTitle(), "Image (1:1)");
  EXPECT_EQ(dem.CaptionFor(1), "/dem/site_m2.raw (1:1)");
  EXPECT_EQ(dem.CaptionFor(-3), "/dem/site_m2.raw (1:3) ");
  EXPECT_EQ(dem.CaptionFor(4), "/dem/site_m2.raw (4:1) ");
  EXPECT_EQ(river.CaptionFor(-1), "Drainage Network (1:1)");
  EXPECT_EQ(river.CaptionFor(-5), "Drainage Network (1:5) ");
  EXPECT_EQ(river.CaptionFor(6), "Drainage Network (6:1) ");
}

TEST_F(ImageWindowTest, ZoomCentresOnTheClickAndStaysInsideTheImage) {
  // Near the left edge the view starts at column 0.
  window->ZoomClick({2, 2}, Qt::LeftButton);
  window->ZoomClick({2, 2}, Qt::LeftButton);
  EXPECT_EQ(window->horizontalScrollBar()->value(), 0);
  EXPECT_EQ(window->verticalScrollBar()->value(), 0);
  // In the middle: the clicked pixel comes to the centre of the view.
  host.dem = MakeDem(400, 400, [](int, int) { return 0; });
  window->SetRaster(*MakeGray(400, 400, [](int c, int) { return c % 256; }));
  window->ZoomClick({80, 60}, Qt::LeftButton);  // pixel (80, 60), zoom 2
  const int viewWidth = window->viewport()->width();
  const int expectedLeft = 80 - static_cast<int>(viewWidth / 4.0);
  EXPECT_EQ(window->horizontalScrollBar()->value(), expectedLeft * 2);
  // The pixel under a point accounts for the scroll position.
  const QPoint centre = window->PixelAt({viewWidth / 2, window->viewport()->height() / 2});
  EXPECT_NEAR(centre.x(), 80, 1);
  EXPECT_NEAR(centre.y(), 60, 1);
  // Near the right edge the view ends at the last column.
  window->horizontalScrollBar()->setValue(window->horizontalScrollBar()->maximum());
  window->ZoomClick({window->viewport()->width() - 1, 0}, Qt::LeftButton);  // zoom 3
  const QPoint lastVisible = window->PixelAt({window->viewport()->width() - 1, 0});
  EXPECT_GE(lastVisible.x(), 397);
  EXPECT_LE(lastVisible.x(), 399);
}

TEST_F(ImageWindowTest, ReadOutOfGrayAndColourPixelsClearedOutsideTheDem) {
  Move(*window, {3, 2});
  EXPECT_EQ(host.panels[3], "Line:     2  Column:     3 ");
  EXPECT_EQ(host.panels[2], "Gray Tone :    3 ");
  EXPECT_EQ(host.panels[0], "x:  270.00 y:  180.00  z:  107.00   ");
  EXPECT_TRUE(host.panels[1].isEmpty());  // no UTM frame: left as it was

  Move(*window, {60, 1});
  EXPECT_EQ(host.panels[2], "R: 200 G:  10 B:  60  ");

  // Elevations in decimetres: the unit divides coordinates and elevation.
  host.unit = 10;
  host.dem->pixelSizeX = host.dem->pixelSizeY = 300.0f;
  Move(*window, {3, 2});
  EXPECT_EQ(host.panels[0], "x:   90.00 y:   60.00  z:   10.70   ");

  // Over a NoData cell the elevation it holds in memory is not shown.
  std::vector<std::uint8_t> valid(static_cast<std::size_t>(host.dem->lines) * host.dem->columns, 1);
  valid[static_cast<std::size_t>(2) * host.dem->columns + 3] = 0;
  ASSERT_TRUE(host.dem->SetValidity(std::move(valid)));
  Move(*window, {3, 2});
  EXPECT_EQ(host.panels[0], "x:   90.00 y:   60.00  z: no data   ");

  // Outside the DEM every panel is cleared.
  host.dem = MakeDem(20, 10, [](int, int) { return 5; });
  Move(*window, {3, 2});
  EXPECT_FALSE(host.panels[0].isEmpty());
  Move(*window, {20, 2});  // one past the last column
  for (const QString& panel : host.panels) EXPECT_TRUE(panel.isEmpty());
  Move(*window, {3, 2});
  window->ReleaseBitmap();  // a closed window reads nothing out
  Move(*window, {3, 2});
  for (const QString& panel : host.panels) EXPECT_TRUE(panel.isEmpty());
}

TEST_F(ImageWindowTest, ReadOutOfUtmCoordinates) {
  host.utm = TUtmFrame{.xMin = 1000.0, .yMin = 3000.0, .xMax = 2000.0, .yMax = 4000.0, .lines = 100, .columns = 100};
  Move(*window, {0, 0});
  EXPECT_EQ(host.panels[1], "Coord. UTM   X  1000.00    Y  4000.00 ");
  Move(*window, {99, 99});
  EXPECT_EQ(host.panels[1], "Coord. UTM   X  1990.00    Y  3010.00 ");
  // Corners not entered: every cell at 0, 0.
  host.utm = TUtmFrame{.lines = 100, .columns = 100};
  Move(*window, {40, 40});
  EXPECT_EQ(host.panels[1], "Coord. UTM   X     0.00    Y     0.00 ");
  // Below the frame's minimum: a single blank.
  host.utm = TUtmFrame{.xMin = 1000.0, .yMin = 0.0, .xMax = 500.0, .yMax = 10.0, .lines = 100, .columns = 100};
  Move(*window, {40, 40});
  EXPECT_EQ(host.panels[1], " ");
  // A frame without size has no cell size.
  host.utm = TUtmFrame{.xMin = 1000.0, .yMin = 0.0, .xMax = 2000.0, .yMax = 10.0};
  Move(*window, {40, 40});
  EXPECT_EQ(host.panels[1], " ");
}

TEST_F(ImageWindowTest, ClosedWindowComesBackWithItsNextRaster) {
  window->show();
  window->close();
  EXPECT_FALSE(window->HasBitmap());
  window->SetRaster(*raster);
  EXPECT_TRUE(window->HasBitmap());
  EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace orvane::test
