// Saves from the windows onto files that cannot be written: a warning naming the file and the
// system's reason, and the file already there keeps its bytes. "Read-only" is a file without
// any write bit, which the program honours even when the tests run as root.
#include <sys/stat.h>

#include <QFile>
#include <cstdlib>

#include "app/display/diagram_forms.h"
#include "app/exchange/gdal_forms.h"
#include "app/render/view3d_form.h"
#include "app/shell/app_session.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

class SafeSaveTest : public MainFormTest {
 protected:
  // Puts "old bytes" in the file and marks it read-only.
  void Lock(const QString& path) {
    WriteAll(path, "old bytes");
    ASSERT_EQ(::chmod(path.toLocal8Bit().constData(), 0444), 0);
  }
  // Exactly one warning, naming `path` and the reason; the file still holds its old bytes.
  void ExpectRefused(const QString& path, const char* what) {
    EXPECT_TRUE(!prompts.messages.empty() && prompts.messages[0].kind == "warning" &&
                prompts.messages[0].text.contains("Permission denied"))
        << what;
    EXPECT_TRUE(prompts.SaidOnlyWith(path)) << what;
    EXPECT_EQ(ReadAll(path), "old bytes") << what;
  }
};

TEST_F(SafeSaveTest, ParameterImageDrainageAndGeoTiffOntoReadOnlyFiles) {
  InstallDem(40, 30);
  main->ShowParameterImage(MakeGray(40, 30, [](int c, int l) { return c + l; }), " T ", 0, DisplayMode::kGray);
  main->ShowDrainageRaster(MakeGray(40, 30, [](int c, int) { return c % 2 ? 255 : 0; }), true);
  const struct {
    const char* locked;
    const char* typed;
    int filter;
    const char* action;
  } saves[] = {{"p.raw", "p", 1, "SaveParameter"},
               {"b.bmp", "b", 2, "SaveParameter"},
               {"net.raw", "net", 1, "SaveDrainage1"}};
  for (const auto& save : saves) {
    Lock(TempPath(save.locked));
    prompts.files.push_back({TempPath(save.typed), save.filter});
    main->Action(save.action)->trigger();
    ExpectRefused(TempPath(save.locked), save.locked);
  }

  // The header read-only: the data beside it is not replaced either.
  QFile::remove(TempPath("p.raw"));
  WriteAll(TempPath("p.raw"), "old data");
  Lock(TempPath("p.txt"));
  TriggerWith("SaveParameter", TempPath("p"), 1);
  ExpectRefused(TempPath("p.txt"), "raw header");
  EXPECT_EQ(ReadAll(TempPath("p.raw")), "old data");

  prompts.dialogs["ExportGeoTiffForm"] = AcceptAfter<TExportGeoTiffDialog>([](TExportGeoTiffDialog& form) {
    form.Choose(TExportGeoTiffDialog::kParameterImage);
    form.ChooseSource(TExportGeoTiffDialog::kNoGeoreference);
  });
  Lock(TempPath("g.tif"));
  TriggerWith("ExportGeoTiff1", TempPath("g.tif"), 1);
  ExpectRefused(TempPath("g.tif"), "GeoTIFF");
}

TEST_F(SafeSaveTest, TableAndThreeDimensionalPictureOntoReadOnlyFiles) {
  TDissectionDiagram diagram;
  diagram.Counts()[3] = 7;
  diagram.SetBound(10);
  Lock(TempPath("table.xls"));
  prompts.files.push_back({TempPath("table"), 1});
  diagram.SaveClick();
  ExpectRefused(TempPath("table.xls"), "table");

  TView3DResultWindow picture(std::make_unique<TRasterImage>(8, 6, kRasterRgb), temp.path());
  Lock(TempPath("view.bmp"));
  prompts.files.push_back({TempPath("view.bmp"), 1});
  picture.SaveClick();
  ExpectRefused(TempPath("view.bmp"), "3D picture");
}

TEST_F(SafeSaveTest, SettingsThatCannotBeSavedAreSaidAndKept) {
  const QString path = TempPath("Orvane.ini");
  Lock(path);
  TSettingsStore session(path);
  session.settings.skeletonSize = 42;
  EXPECT_FALSE(session.Finish());
  ExpectRefused(path, "settings");
  // After a termination signal only stderr hears of it.
  EXPECT_FALSE(session.Finish(false));
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(ReadAll(path), "old bytes");
}

}  // namespace
}  // namespace orvane::test
