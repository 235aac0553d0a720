#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/terrain/bmp_file.h"
#include "core/terrain/raster_image.h"
#include "support/cli_run.h"

namespace orvane::cli {
namespace {

class RenderCommandsTest : public CliTest {
 protected:
  TRasterImage Load(const std::string& path) {
    auto loaded = LoadRasterBmp(path);
    EXPECT_TRUE(loaded) << path;
    return loaded ? std::move(**loaded) : TRasterImage();
  }
};

TEST_F(RenderCommandsTest, ShadeWritesTheGrayReliefWithBlackLastLineAndColumn) {
  ASSERT_EQ(Run(OnSample({"shade", "--out", Path("shade.bmp")})), 0) << err;
  TRasterImage image = Load(Path("shade.bmp"));
  EXPECT_EQ(image.columns, 403);
  EXPECT_EQ(image.lines, 344);
  int v = -1;
  image.GetValue(402, 100, v);
  EXPECT_EQ(v, 0);
  image.GetValue(100, 100, v);
  EXPECT_GT(v, 0);
  // A vertical light on any terrain: every shaded cell is lit from above.
  ASSERT_EQ(Run(OnSample({"shade", "--elevation", "120", "--out", Path("bad.bmp")})), 2);
  EXPECT_NE(err.find("--elevation"), std::string::npos);
}

TEST_F(RenderCommandsTest, SlicesTablesShadowAndCastShadows) {
  ASSERT_EQ(Run(OnSample({"slices", "--table", "none", "--out", Path("x.bmp")})), 2);
  EXPECT_NE(err.find("You must use a colormap or a single shadow"), std::string::npos);

  ASSERT_EQ(Run(OnSample({"slices", "--table", "gray", "--out", Path("gray.raw")})), 0) << err;
  ASSERT_EQ(Run(OnSample({"slices", "--table", "1", "--scale", "--shadow", "--smooth", "--elevation", "15",
                          "--out", Path("hypso.bmp")})), 0) << err;
  ASSERT_EQ(Run(OnSample({"slices", "--table", "1", "--scale", "--shadow", "--smooth", "--cast-shadows", "40",
                          "--elevation", "15", "--out", Path("cast.bmp")})), 0) << err;
  TRasterImage hypso = Load(Path("hypso.bmp"));
  TRasterImage cast = Load(Path("cast.bmp"));
  EXPECT_EQ(hypso.kind, kRasterRgb);
  // Cast shadows only darken.
  int darker = 0;
  for (int l = 0; l < hypso.lines; ++l)
    for (int c = 0; c < hypso.columns; ++c) {
      TColor a, b;
      hypso.GetColor(c, l, a);
      cast.GetColor(c, l, b);
      ASSERT_LE(b.red, a.red);
      darker += b.green < a.green;
    }
  EXPECT_GT(darker, 100);
  // A colour result cannot be saved as raw.
  EXPECT_EQ(Run(OnSample({"slices", "--table", "2", "--out", Path("colour.raw")})), 2);
}

TEST_F(RenderCommandsTest, PaletteColoursAParameterImage) {
  ASSERT_EQ(Run(OnSample({"slices", "--table", "gray", "--out", Path("gray.bmp")})), 0) << err;
  ASSERT_EQ(Run({"palette", "--param", Path("gray.bmp"), "--margin", "3", "--table", "classical",
                 "--out", Path("pal.bmp")}), 0) << err;
  TRasterImage pal = Load(Path("pal.bmp"));
  TColor c;
  pal.GetColor(1, 1, c);
  EXPECT_EQ(c, Rgb(255, 255, 255));
  pal.GetColor(200, 200, c);
  EXPECT_FALSE(c == Rgb(255, 255, 255));
  // A colour image is refused.
  EXPECT_EQ(Run({"palette", "--param", Path("pal.bmp"), "--out", Path("again.bmp")}), 2);
}

TEST_F(RenderCommandsTest, Render3dModesAndDrapeSize) {
  for (const char* mode : {"surface", "wire", "points"}) {
    ASSERT_EQ(Run(OnSample({"render3d", "--mode", mode, "--width", "320", "--height", "240",
                            "--out", Path(std::string(mode) + ".bmp")})), 0) << err;
    TRasterImage picture = Load(Path(std::string(mode) + ".bmp"));
    EXPECT_EQ(picture.kind, kRasterRgb);
    EXPECT_EQ(picture.columns, 320);
  }
  ASSERT_EQ(Run(OnSample({"render3d", "--stereo", "--width", "100", "--height", "80", "--out", Path("st.bmp")})), 0);
  // A draped image of another size is refused.
  TRasterImage small(10, 10, kRasterGray);
  ASSERT_TRUE(SaveRasterBmp(small, Path("small.bmp")));
  EXPECT_EQ(Run(OnSample({"render3d", "--drape", Path("small.bmp"), "--out", Path("no.bmp")})), 1);
  EXPECT_NE(err.find("not similar"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Path("no.bmp")));
}

}  // namespace
}  // namespace orvane::cli
