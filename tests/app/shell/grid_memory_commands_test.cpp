// A grid that cannot be allocated gives "not enough memory for a grid of L x C" in a warning
// box, and the frame goes on exactly as it was. A byte ceiling stands for a full memory.
#include <QAction>
#include <QMdiArea>
#include <memory>
#include <new>

#include "app/drainage/dissection_forms.h"
#include "app/render/view3d_form.h"
#include "app/shell/progress_form.h"
#include "app/terrain/dynamic_scale.h"
#include "core/common/grid_memory.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

const QString kSample = QStringLiteral(ORVANE_SAMPLE_DIR "/jacksboro_m2.raw");

class GridMemoryCommandsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    dem = MakeDem(64, 48, [](int c, int l) { return 200 + 5 * std::abs(c % 12 - 6) + l / 3; });
    relief = MakeGray(64, 48, [](int c, int) { return c * 3; });
    main->InstallOpenedDem(dem, relief, "/data/valleys_m2.raw");
    main->Session().SetDemScale(10, "30");
    parameter = MakeGray(64, 48, [](int c, int l) { return (c + l) % 256; });
    main->ShowParameterImage(parameter, " EARLIER ", 2, DisplayMode::kGray);
    prompts.dialogs["PentesForm"] = [](QDialog& d) {
      d.accept();
      return d.result();
    };
    prompts.dialogs["DDFen"] = [](QDialog& d) {
      static_cast<TWindowSizeDialog&>(d).SetWindowSizeText("5");
      d.accept();
      return d.result();
    };
  }

  void Trigger(const char* name) {
    QAction* action = main->Action(name);
    ASSERT_NE(action, nullptr) << name;
    action->setEnabled(true);
    action->trigger();
  }

  void ExpectNothingChanged() {
    EXPECT_EQ(main->Session().CurrentDemShared(), dem);
    EXPECT_EQ(main->Session().OpeningRelief(), relief);
    EXPECT_EQ(main->Session().ParameterImage(), parameter);
    EXPECT_EQ(main->Session().DisplayedRaster(), relief);
    EXPECT_EQ(main->Session().ParameterTitle(), " EARLIER ");
    EXPECT_EQ(main->Session().CaptionedTitle(), " EARLIER   (1:1)");
    EXPECT_EQ(main->Session().UnitFactor(), 10);
    EXPECT_EQ(main->Session().PixelSize(), 30);
    EXPECT_EQ(main->ProgressWindow().Window(), nullptr);
  }

  void ExpectOneWarning(const QString& text) {
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].kind, "warning");
    EXPECT_EQ(prompts.messages[0].text, text);
  }

  std::shared_ptr<TDemModel> dem;
  std::shared_ptr<TRasterImage> relief, parameter;
};

TEST_F(GridMemoryCommandsTest, ATreatmentWhoseResultCannotBeAllocatedChangesNothing) {
  ScopedGridByteCeiling ceiling(64 * 48 - 1);
  Trigger("SlopeTreatment1");
  ExpectOneWarning("not enough memory for a grid of 48 x 64");
  ExpectNothingChanged();
}

TEST_F(GridMemoryCommandsTest, AnAllocationFailureOnTheWorkerNamesTheGridOfTheTreatment) {
  main->ProgressWindow().SetWorkerHook([](int) { throw std::bad_alloc(); });
  Trigger("TotalDepthTreatment1");
  ExpectOneWarning("not enough memory for a grid of 48 x 64");
  ExpectNothingChanged();

  // A failure that knows its grid names that one.
  prompts.messages.clear();
  main->ProgressWindow().SetWorkerHook([](int) { throw GridAllocationError(32767, 32767); });
  Trigger("Surface3DTreatment1");
  ExpectOneWarning("not enough memory for a grid of 32767 x 32767");
  ExpectNothingChanged();

  // The next treatment runs normally.
  prompts.messages.clear();
  main->ProgressWindow().SetWorkerHook({});
  Trigger("SlopeTreatment1");
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_NE(main->Session().ParameterImage(), parameter);
}

TEST_F(GridMemoryCommandsTest, A3DPictureTooLargeForMemoryIsSaidAndNoWindowOpens) {
  const int windows = static_cast<int>(main->MdiArea().subWindowList().size());
  std::unique_ptr<ScopedGridByteCeiling> ceiling;
  QString expected;
  prompts.dialogs["Vue3DForm"] = [&](QDialog& d) {
    auto& form = static_cast<TView3DDialog&>(d);
    form.resize(400, 300);
    form.Activate();
    const TView3D view = form.View();
    expected = QString("not enough memory for a grid of %1 x %2").arg(view.height).arg(view.width);
    ceiling = std::make_unique<ScopedGridByteCeiling>(1000);  // the picture needs far more
    return int(QDialog::Accepted);
  };
  Trigger("View3D1");
  ceiling.reset();
  ExpectOneWarning(expected);
  EXPECT_EQ(static_cast<int>(main->MdiArea().subWindowList().size()), windows);
  ExpectNothingChanged();
}

TEST_F(GridMemoryCommandsTest, OpeningADemTooLargeForMemoryKeepsTheOpenOne) {
  prompts.files.push_back({kSample, 1});
  prompts.dialogs["DynamicScale"] = [](QDialog& d) {
    auto& scale = static_cast<TDynamicScaleDialog&>(d);
    scale.ChooseUnit(1);
    scale.SetPixelSizeText("90");
    scale.OkClick();
    return scale.result();
  };
  {
    // Enough to read the file, not enough for the model and its relief.
    ScopedGridByteCeiling ceiling(344 * 403 * 4 + 1);
    main->ProgressWindow().SetWorkerHook([](int run) {
      if (run == 2) SetGridByteCeiling(1000);
    });
    Trigger("OpenDEM1");
  }
  ExpectOneWarning("not enough memory for a grid of 344 x 403");
  ExpectNothingChanged();
}

}  // namespace
}  // namespace orvane::test
