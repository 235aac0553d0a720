// Long treatments run off the GUI thread under the modal progress window, and its Cancel
// button stops them quickly without touching the open DEM, images or view.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <new>

#include "app/drainage/extraction_form.h"
#include "app/shell/progress_form.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

class ProgressCancelTest : public MainFormTest {
 protected:
  void Trigger(const char* name) {
    QAction* action = main->Action(name);
    ASSERT_NE(action, nullptr) << name;
    action->setEnabled(true);
    action->trigger();
  }
  void AnswerExtraction(const QString& lower, const QString& upper) {
    prompts.dialogs["ExtractRiv"] = [=](QDialog& d) {
      auto& riv = static_cast<TDrainageExtractionDialog&>(d);
      riv.SetRanges(lower, upper);
      riv.ChooseColour(0);
      riv.OKBitBtnClick();
      return d.result();
    };
  }
};

TEST_F(ProgressCancelTest, CancelStopsALargeDrainageExtractionAndKeepsTheState) {
  // 2000 x 2000 cells of valleys: an extraction up to range 30 takes many seconds.
  auto dem = MakeDem(2000, 2000, [](int c, int l) { return 200 + 5 * std::abs(c % 16 - 8) + l / 8; });
  auto relief = MakeGray(2000, 2000, [](int c, int) { return c % 256; });
  main->InstallOpenedDem(dem, relief, "/data/large_m2.raw");
  auto previous = MakeGray(2000, 2000, [](int, int) { return 255; });
  main->ShowDrainageRaster(previous, true);
  const auto displayed = main->Session().DisplayedRaster();
  const std::int32_t corner = dem->GetElevation(0, 0);

  AnswerExtraction("2", "30");
  bool sawWindow = false, modal = false, ticked = false;
  qint64 clickedAt = -1;
  QElapsedTimer clock;
  // The GUI thread keeps running events while the worker computes: this timer fires.
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] { ticked = true; });
  tick.start(100);
  QTimer::singleShot(400, [&] {
    TProgressWindow* form = main->ProgressWindow().Window();
    if (!form) return;
    sawWindow = form->isVisible() && form->windowTitle() == "Progression";
    modal = form->isModal();
    clickedAt = clock.elapsed();
    form->findChild<QPushButton*>("CancelButton")->click();
  });
  clock.start();
  Trigger("ExtractDrainageNetwork1");
  const qint64 returnedAt = clock.elapsed();

  EXPECT_TRUE(sawWindow);
  EXPECT_TRUE(modal);
  EXPECT_TRUE(ticked);
  ASSERT_GE(clickedAt, 0) << "the extraction ended before the Cancel click";
  EXPECT_LT(returnedAt - clickedAt, 1000);
  EXPECT_EQ(main->Session().DrainageRaster(), previous);
  EXPECT_EQ(main->Session().DisplayedRaster(), displayed);
  EXPECT_EQ(main->Session().CurrentDem(), dem.get());
  EXPECT_EQ(dem->GetElevation(0, 0), corner);
  EXPECT_EQ(main->ProgressWindow().Window(), nullptr);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ProgressCancelTest, AfterACancelTheNextExtractionRunsToTheEnd) {
  main->ProgressWindow().RequestCancel();  // a flag left from an earlier run
  auto dem = MakeDem(48, 40, [](int c, int l) { return 200 + 5 * std::abs(c % 8 - 4) + l / 4; });
  main->InstallOpenedDem(dem, MakeGray(48, 40, [](int, int) { return 0; }), "/data/v_m2.raw");
  AnswerExtraction("1", "3");
  Trigger("ExtractDrainageNetwork1");
  EXPECT_NE(main->Session().DrainageRaster(), nullptr);
}

TEST_F(ProgressCancelTest, AFailureOnTheWorkerReachesTheCaller) {
  TProgressSink& sink = main->ProgressWindow();
  EXPECT_THROW(sink.Run([]() -> int { throw std::bad_alloc(); }), std::bad_alloc);
  EXPECT_EQ(sink.Window(), nullptr);
  auto value = sink.Run([] { return 42; });
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(*value, 42);
}

}  // namespace
}  // namespace orvane::test
