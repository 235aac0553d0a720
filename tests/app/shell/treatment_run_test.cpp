// A treatment that does not finish: its Cancel button pressed while the computation runs under
// the progress window, or a grid that cannot be allocated ("not enough memory for a grid of
// L x C" in a warning box; a byte ceiling stands for a full memory). Either way the DEM, the
// images, the network, the titles, the view states and the menus stay exactly as they were,
// and the main window keeps painting meanwhile.
#include <QAction>
#include <QElapsedTimer>
#include <QEvent>
#include <QMdiArea>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <map>
#include <new>
#include <thread>

#include "app/display/image_window.h"
#include "app/drainage/drainage_forms.h"
#include "app/morphometry/morphometry_forms.h"
#include "app/render/view3d_form.h"
#include "app/shell/progress_form.h"
#include "core/terrain/view_state.h"
#include "app/surface/surface_forms.h"
#include "core/common/grid_memory.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

// What an unfinished treatment must leave untouched, item by item as text: the objects by their
// address (held, so that no address is taken again meanwhile), the DEM by a weighted sum of its
// elevations, the titles, modes, scale, actions and windows.
struct FrameState {
  std::map<std::string, std::string> items;
  std::vector<std::shared_ptr<const void>> held;

  std::string Held(std::shared_ptr<const void> object) {
    held.push_back(object);
    return std::to_string(reinterpret_cast<std::uintptr_t>(object.get()));
  }

  static FrameState Of(TMainForm& main) {
    FrameState s;
    const TSession& session = main.Session();
    std::int64_t demSum = 0;
    if (const TDemModel* dem = session.CurrentDem()) {
      for (int l = 0; l < dem->lines; ++l)
        for (int c = 0; c < dem->columns; ++c) demSum += dem->GetElevation(c, l) * (c + 1);
    }
    s.items["dem"] = s.Held(session.CurrentDemShared()) + " sum " + std::to_string(demSum);
    s.items["rasters"] = s.Held(session.DisplayedRaster()) + " " + s.Held(session.ParameterImage()) +
                         " " + s.Held(session.DrainageRaster()) + " " + s.Held(session.OpeningRelief());
    s.items["view states"] =
        s.Held(session.ViewStates().Current()) + " " + s.Held(session.ViewStates().Previous());
    s.items["titles"] = (session.ParameterTitle() + "|" + session.CaptionedTitle() + "|" +
                         (main.DemWindow() ? main.DemWindow()->windowTitle() : QString()))
                            .toStdString();
    s.items["display"] = std::to_string(static_cast<int>(session.DisplayMode())) + " margin " +
                         std::to_string(session.Margin()) + " diagram " +
                         std::to_string(static_cast<int>(session.DiagramKind()));
    s.items["scale"] = std::to_string(session.UnitFactor()) + " " + std::to_string(session.PixelSize());
    for (QAction* action : main.findChildren<QAction*>()) {
      if (action->objectName().isEmpty()) continue;
      s.items["action " + action->objectName().toStdString()] =
          std::string(action->isEnabled() ? "enabled" : "disabled") + (action->isVisible() ? "" : " hidden");
    }
    s.items["windows"] = std::to_string(main.MdiArea().subWindowList().size());
    return s;
  }
};

void ExpectSame(const FrameState& before, const FrameState& after) {
  EXPECT_EQ(before.items.size(), after.items.size());
  for (const auto& [item, value] : before.items) {
    const auto found = after.items.find(item);
    EXPECT_EQ(value, found == after.items.end() ? "(gone)" : found->second) << item;
  }
}

// A frame holding a DEM of valleys (unit 10, pixel 30), a network and an earlier parameter
// image.
class TreatmentRunTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    auto dem = MakeDem(64, 48, [](int c, int l) { return 200 + 5 * std::abs(c % 12 - 6) + l / 3; });
    main->InstallOpenedDem(dem, MakeGray(64, 48, [](int c, int) { return c * 3; }),
                           "/data/valleys_m2.raw");
    main->Session().SetDemScale(10, "30");
    main->ShowDrainageRaster(MakeGray(64, 48, [](int c, int l) {
                              return (l == 20 || c == 10 || (c == l + 12 && l < 20)) ? 0 : 255;
                            }),
                            false);
    main->ShowParameterImage(MakeGray(64, 48, [](int c, int l) { return (c + l) % 256; }),
                             " EARLIER ", 2, DisplayMode::kGray);
  }

  // Runs the menu item; the frame must come out of it as it went in, the progress window gone.
  void TriggerUnchanged(const char* name) {
    QAction* action = main->Action(name);
    ASSERT_NE(action, nullptr) << name;
    action->setEnabled(true);
    const FrameState before = FrameState::Of(*main);
    action->trigger();
    ExpectSame(before, FrameState::Of(*main));
    EXPECT_EQ(main->ProgressWindow().Window(), nullptr);
  }
};

struct CancelCase {
  const char* name;
  // Answers the dialogs of the treatment (the frame already holds a DEM and a network).
  std::function<void(TestPrompter&)> answer;
  const char* action;
  int cancelAtRun = 1;  // which computation of the command is cancelled (an opening has two)
};

void PrintTo(const CancelCase& c, std::ostream* os) { *os << c.name; }

class CancelTreatmentsTest : public TreatmentRunTest, public ::testing::WithParamInterface<CancelCase> {
 protected:
  // Holds every computation on its worker until Cancel was pressed, from run `cancelAt` on.
  void HoldUntilCancelled(int cancelAt) {
    TProgressSink& sink = main->ProgressWindow();
    sink.SetWorkerHook([this, &sink, cancelAt](int run) {
      if (run < cancelAt) return;
      held = true;
      while (!sink.Cancelled()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
  }

  // Presses Cancel once a held computation shows its window; meanwhile asks the DEM window
  // to repaint, which it must do while the worker runs.
  void CancelWhenHeld() {
    clicker.setInterval(10);
    QObject::connect(&clicker, &QTimer::timeout, [this] {
      TProgressWindow* form = main->ProgressWindow().Window();
      if (!form || !held) return;
      if (main->DemWindow()) main->DemWindow()->viewport()->update();
      if (++ticks < 100 && paints == 0) return;  // give the repaint its turns
      modalWhileHeld = form->isModal() && form->windowTitle() == "Progression";
      form->findChild<QPushButton*>("CancelButton")->click();
      held = false;
      ++clicks;
    });
    clicker.start();
  }

  std::atomic<bool> held{false};
  QTimer clicker;
  int ticks = 0, clicks = 0, paints = 0;
  bool modalWhileHeld = false;
};

// Counts the paint events of a widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(std::function<void()> onPaint) : onPaint_(std::move(onPaint)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) onPaint_();
    return false;
  }

 private:
  std::function<void()> onPaint_;
};

TEST_P(CancelTreatmentsTest, CancelLeavesEverythingAsItWas) {
  const CancelCase& c = GetParam();
  main->show();
  PaintCounter counter([this] {
    if (main->ProgressWindow().Window()) ++paints;
  });
  main->DemWindow()->viewport()->installEventFilter(&counter);
  c.answer(prompts);
  HoldUntilCancelled(c.cancelAtRun);
  CancelWhenHeld();
  TriggerUnchanged(c.action);
  clicker.stop();

  EXPECT_EQ(clicks, 1) << "the computation was not held for a cancel";
  EXPECT_TRUE(modalWhileHeld);
  EXPECT_GT(paints, 0) << "the DEM window did not repaint during the computation";
  for (const Message& m : prompts.messages) ADD_FAILURE() << m.caption.toStdString() << ": " << m.text.toStdString();
}

void AnswerOpening(TestPrompter& p) {
  p.files.push_back({QString::fromStdString(testing::SampleDemPath()), 1});
  p.dialogs["DynamicScale"] = AnswerSampleScale;
}

// Dialogs accepted as they are.
std::function<void(TestPrompter&)> Accepting(std::vector<QString> dialogs) {
  return [dialogs](TestPrompter& p) {
    for (const QString& name : dialogs) p.dialogs[name] = Accept;
  };
}

std::function<void(TestPrompter&)> WindowOf5(std::vector<QString> dialogs = {}) {
  return [dialogs](TestPrompter& p) {
    AnswerWindowSize(p, "5");
    Accepting(dialogs)(p);
  };
}

const CancelCase kCases[] = {
    {"OpenDemWhileReading", AnswerOpening, "OpenDEM1", 1},
    {"OpenDemWhileLoading", AnswerOpening, "OpenDEM1", 2},
    {"Slope", Accepting({"PentesForm"}), "SlopeTreatment1"},
    {"Aspect", Accepting({"AspectFen"}), "AspectTreatment1"},
    {"Convexity",
     [](TestPrompter& p) {
       p.dialogs["ConCavForm"] = AcceptAfter<QDialog>([](QDialog& d) { TypeIn(d, "SizeWinEdit", 2); });
     },
     "Convexity1"},
    {"CircularWindow",
     Dialog<TCircularWindowDialog>("CircularWindowForm", [](TCircularWindowDialog& form) {
       Choose(form, 3);
       TypeIn(form, "RadiusEdit", 5);
       form.OkClick();
     }),
     "CircularWindowTreatment1"},
    {"LocalFractal",
     Dialog<TLocalFractalDialog>("LocalFractForm", [](TLocalFractalDialog& form) {
       Choose(form, 12);
       TypeIn(form, "HValEdit", "0,05");
       form.OkClick();
     }),
     "LocalFractalTreatment1"},
    {"TotalDepth", WindowOf5(), "TotalDepthTreatment1"},
    {"Surface3D", WindowOf5(), "Surface3DTreatment1"},
    {"DissectionDensity", WindowOf5(), "PixelDensity1"},
    {"DissectionDensity3D", WindowOf5(), "DissectionDensity3DTreatment1"},
    {"RatioDepth", WindowOf5({"RatioDepthForm"}), "RatioDepthTreatment1"},
    // The headwaters dialog closed any way: the treatment runs.
    {"Headwaters", Dialog<QDialog>("HeadWatersForm", [](QDialog& d) { TypeIn(d, "WindowEdit", "3"); }),
     "Headwaterstreatment1"},
    {"DrainageFractal",
     Dialog<TDrainageFractalDialog>("FractDrainageForm", [](TDrainageFractalDialog& form) {
       Choose(form, 12);
       Choose(form, 100);
       form.reject();  // closing it any way runs the treatment
     }),
     "FractalDimensionTreatment1"},
    {"DrainageExtraction", [](TestPrompter& p) { AnswerExtraction(p, "2", "30"); },
     "ExtractDrainageNetwork1"},
    {"Incrust", [](TestPrompter&) {}, "ParameterImage1"},
    {"ShadedRelief", Accepting({"ConstHypsoForm"}), "Shadowing1"},
    {"Palette", Accepting({"PalForm"}), "OpenPalette1"},
    {"Render3D",
     [](TestPrompter& p) {
       p.dialogs["Vue3DForm"] =
           AcceptAfter<TView3DDialog>([](TView3DDialog& f) { f.resize(400, 300); f.Activate(); });
     },
     "View3D1"},
};

INSTANTIATE_TEST_SUITE_P(Treatments, CancelTreatmentsTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CancelCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(TreatmentRunTest, CancelStopsALargeDrainageExtractionQuickly) {
  // 2000 x 2000 cells of valleys: an extraction up to range 30 takes many seconds.
  main->InstallOpenedDem(
      MakeDem(2000, 2000, [](int c, int l) { return 200 + 5 * std::abs(c % 16 - 8) + l / 8; }),
      MakeGray(2000, 2000, [](int c, int) { return c % 256; }), "/data/large_m2.raw");
  main->ShowDrainageRaster(MakeGray(2000, 2000, [](int, int) { return 255; }), true);
  prompts.messages.clear();  // the network of the other DEM, said at the opening
  AnswerExtraction(prompts, "2", "30");
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
  TriggerUnchanged("ExtractDrainageNetwork1");
  const qint64 returnedAt = clock.elapsed();

  EXPECT_TRUE(sawWindow);
  EXPECT_TRUE(modal);
  EXPECT_TRUE(ticked);
  ASSERT_GE(clickedAt, 0) << "the extraction ended before the Cancel click";
  EXPECT_LT(returnedAt - clickedAt, 1000);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(TreatmentRunTest, AfterACancelTheNextExtractionRunsToTheEnd) {
  main->ProgressWindow().RequestCancel();  // a flag left from an earlier run
  const auto before = main->Session().DrainageRaster();
  AnswerExtraction(prompts, "1", "3");
  Trigger("ExtractDrainageNetwork1");
  EXPECT_NE(main->Session().DrainageRaster(), before);
}

TEST_F(TreatmentRunTest, AFailureOnTheWorkerReachesTheCaller) {
  TProgressSink& sink = main->ProgressWindow();
  EXPECT_THROW(sink.Run([]() -> int { throw std::bad_alloc(); }), std::bad_alloc);
  EXPECT_EQ(sink.Window(), nullptr);
  auto value = sink.Run([] { return 42; });
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(*value, 42);
}

TEST_F(TreatmentRunTest, AGridThatCannotBeAllocatedIsNamedAndChangesNothing) {
  prompts.dialogs["PentesForm"] = Accept;
  AnswerWindowSize(prompts, "5");
  {
    ScopedGridByteCeiling ceiling(64 * 48 - 1);
    TriggerUnchanged("SlopeTreatment1");
  }
  EXPECT_TRUE(prompts.SaidOnlyAs("warning", "not enough memory for a grid of 48 x 64"));

  // A failure on the worker names the grid of the treatment, or the one it knows.
  main->ProgressWindow().SetWorkerHook([](int) { throw std::bad_alloc(); });
  TriggerUnchanged("TotalDepthTreatment1");
  EXPECT_TRUE(prompts.SaidOnlyAs("warning", "not enough memory for a grid of 48 x 64"));
  main->ProgressWindow().SetWorkerHook([](int) { throw GridAllocationError(32767, 32767); });
  TriggerUnchanged("Surface3DTreatment1");
  EXPECT_TRUE(prompts.SaidOnlyAs("warning", "not enough memory for a grid of 32767 x 32767"));

  // The next treatment runs normally.
  main->ProgressWindow().SetWorkerHook({});
  const auto parameter = main->Session().ParameterImage();
  Trigger("SlopeTreatment1");
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_NE(main->Session().ParameterImage(), parameter);
}

TEST_F(TreatmentRunTest, A3DPictureTooLargeForMemoryIsSaidAndNoWindowOpens) {
  std::unique_ptr<ScopedGridByteCeiling> ceiling;
  QString expected;
  prompts.dialogs["Vue3DForm"] = AcceptAfter<TView3DDialog>([&](TView3DDialog& form) {
    form.resize(400, 300);
    form.Activate();
    const TView3D view = form.View();
    expected = QString("not enough memory for a grid of %1 x %2").arg(view.height).arg(view.width);
    ceiling = std::make_unique<ScopedGridByteCeiling>(1000);  // the picture needs far more
  });
  TriggerUnchanged("View3D1");
  ceiling.reset();
  EXPECT_TRUE(prompts.SaidOnlyAs("warning", expected));
}

TEST_F(TreatmentRunTest, OpeningADemTooLargeForMemoryKeepsTheOpenOne) {
  AnswerOpening(prompts);
  {
    // Enough to read the file, not enough for the model and its relief.
    ScopedGridByteCeiling ceiling(testing::kSampleLines * testing::kSampleColumns * 4 + 1);
    main->ProgressWindow().SetWorkerHook([](int run) {
      if (run == 2) SetGridByteCeiling(1000);
    });
    TriggerUnchanged("OpenDEM1");
  }
  EXPECT_TRUE(prompts.SaidOnlyAs("warning", "not enough memory for a grid of 344 x 403"));
}

}  // namespace
}  // namespace orvane::test
