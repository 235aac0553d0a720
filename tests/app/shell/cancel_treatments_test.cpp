// Every long treatment runs under the progress window: pressing its Cancel button while the
// computation runs leaves the DEM, the images, the network, the titles, the view states and
// the menus exactly as they were, and the main window keeps painting meanwhile.
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <map>
#include <thread>

#include "app/display/image_window.h"
#include "app/drainage/dissection_forms.h"
#include "app/drainage/extraction_form.h"
#include "app/drainage/headwaters_form.h"
#include "app/render/view3d_form.h"
#include "app/morphometry/morphometry_forms.h"
#include "app/shell/progress_form.h"
#include "app/shell/view_state.h"
#include "app/surface/circular_forms.h"
#include "app/surface/local_fractal_form.h"
#include "app/surface/shape_forms.h"
#include "app/terrain/dynamic_scale.h"
#include "support/app_session.h"

namespace orvane::test {
namespace {

const QString kSample = QStringLiteral(ORVANE_SAMPLE_DIR "/jacksboro_m2.raw");

int Accept(QDialog& d) {
  d.accept();
  return d.result();
}

// What a cancelled treatment must leave untouched.
struct FrameState {
  std::shared_ptr<TDemModel> dem;
  std::int64_t demSum = 0;
  std::shared_ptr<TRasterImage> displayed, parameter, drainage, relief;
  std::shared_ptr<TViewState> current, previous;
  QString parameterTitle, captioned, demCaption;
  DisplayMode displayMode = DisplayMode::kGray;
  DiagramKind diagramKind = DiagramKind::kNone;
  int margin = 0, unit = 0, pixel = 0;
  std::map<QString, bool> enabled, visible;
  int subWindows = 0;

  static FrameState Of(TMainForm& main) {
    FrameState s;
    s.dem = main.Session().CurrentDemShared();
    if (s.dem) {
      for (int l = 0; l < s.dem->lines; ++l)
        for (int c = 0; c < s.dem->columns; ++c) s.demSum += s.dem->GetElevation(c, l) * (c + 1);
    }
    s.displayed = main.Session().DisplayedRaster();
    s.parameter = main.Session().ParameterImage();
    s.drainage = main.Session().DrainageRaster();
    s.relief = main.Session().OpeningRelief();
    s.current = main.Session().ViewStates().Current();
    s.previous = main.Session().ViewStates().Previous();
    s.parameterTitle = main.Session().ParameterTitle();
    s.captioned = main.Session().CaptionedTitle();
    s.demCaption = main.DemWindow() ? main.DemWindow()->windowTitle() : QString();
    s.displayMode = main.Session().DisplayMode();
    s.margin = main.Session().Margin();
    s.diagramKind = main.Session().DiagramKind();
    s.unit = main.Session().UnitFactor();
    s.pixel = main.Session().PixelSize();
    for (QAction* action : main.findChildren<QAction*>()) {
      if (action->objectName().isEmpty()) continue;
      s.enabled[action->objectName()] = action->isEnabled();
      s.visible[action->objectName()] = action->isVisible();
    }
    s.subWindows = static_cast<int>(main.MdiArea().subWindowList().size());
    return s;
  }
};

void ExpectSame(const FrameState& a, const FrameState& b) {
  EXPECT_EQ(a.dem, b.dem);
  EXPECT_EQ(a.demSum, b.demSum);
  EXPECT_EQ(a.displayed, b.displayed);
  EXPECT_EQ(a.parameter, b.parameter);
  EXPECT_EQ(a.drainage, b.drainage);
  EXPECT_EQ(a.relief, b.relief);
  EXPECT_EQ(a.current, b.current);
  EXPECT_EQ(a.previous, b.previous);
  EXPECT_EQ(a.parameterTitle.toStdString(), b.parameterTitle.toStdString());
  EXPECT_EQ(a.captioned.toStdString(), b.captioned.toStdString());
  EXPECT_EQ(a.demCaption.toStdString(), b.demCaption.toStdString());
  EXPECT_EQ(a.displayMode, b.displayMode);
  EXPECT_EQ(a.margin, b.margin);
  EXPECT_EQ(a.diagramKind, b.diagramKind);
  EXPECT_EQ(a.unit, b.unit);
  EXPECT_EQ(a.pixel, b.pixel);
  EXPECT_EQ(a.enabled, b.enabled);
  EXPECT_EQ(a.visible, b.visible);
  EXPECT_EQ(a.subWindows, b.subWindows);
}

struct CancelCase {
  const char* name;
  // Answers the dialogs of the treatment (the frame already holds a DEM and a network).
  std::function<void(TestPrompter&)> answer;
  const char* action;
  int cancelAtRun = 1;  // which computation of the command is cancelled (an opening has two)
};

void PrintTo(const CancelCase& c, std::ostream* os) { *os << c.name; }

class CancelTreatmentsTest : public MainFormTest, public ::testing::WithParamInterface<CancelCase> {
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
  const FrameState before = FrameState::Of(*main);

  HoldUntilCancelled(c.cancelAtRun);
  CancelWhenHeld();
  QAction* action = main->Action(c.action);
  ASSERT_NE(action, nullptr) << c.action;
  action->setEnabled(true);
  action->trigger();
  clicker.stop();

  EXPECT_EQ(clicks, 1) << "the computation was not held for a cancel";
  EXPECT_TRUE(modalWhileHeld);
  EXPECT_GT(paints, 0) << "the DEM window did not repaint during the computation";
  EXPECT_EQ(main->ProgressWindow().Window(), nullptr);
  for (const Message& m : prompts.messages) ADD_FAILURE() << m.caption.toStdString() << ": " << m.text.toStdString();
  // The state is compared with the action's own enabled flag as it was set for the trigger.
  FrameState after = FrameState::Of(*main);
  after.enabled[c.action] = before.enabled.at(c.action);
  ExpectSame(before, after);
}

void AnswerWindow(TestPrompter& p, const QString& size) {
  p.dialogs["DDFen"] = [size](QDialog& d) {
    static_cast<TWindowSizeDialog&>(d).SetWindowSizeText(size);
    return Accept(d);
  };
}

void AnswerOpening(TestPrompter& p) {
  p.files.push_back({kSample, 1});
  p.dialogs["DynamicScale"] = [](QDialog& d) {
    auto& scale = static_cast<TDynamicScaleDialog&>(d);
    scale.ChooseUnit(1);
    scale.SetPixelSizeText("90");
    scale.OkClick();
    return scale.result();
  };
}

const CancelCase kCases[] = {
    {"OpenDemWhileReading", AnswerOpening, "OpenDEM1", 1},
    {"OpenDemWhileLoading", AnswerOpening, "OpenDEM1", 2},
    {"Slope", [](TestPrompter& p) { p.dialogs["PentesForm"] = Accept; }, "SlopeTreatment1"},
    {"Aspect", [](TestPrompter& p) { p.dialogs["AspectFen"] = Accept; }, "AspectTreatment1"},
    {"Convexity",
     [](TestPrompter& p) {
       p.dialogs["ConCavForm"] = [](QDialog& d) {
         static_cast<TConvexityConcavityDialog&>(d).SetRange(2);
         return QDialog::Accepted;
       };
     },
     "Convexity1"},
    {"CircularWindow",
     [](TestPrompter& p) {
       p.dialogs["CircularWindowForm"] = [](QDialog& d) {
         auto& form = static_cast<TCircularWindowDialog&>(d);
         form.ChooseStatistic(3);
         form.SetRadius(5);
         form.OkClick();
         return d.result();
       };
     },
     "CircularWindowTreatment1"},
    {"LocalFractal",
     [](TestPrompter& p) {
       p.dialogs["LocalFractForm"] = [](QDialog& d) {
         auto& form = static_cast<TLocalFractalDialog&>(d);
         form.ClickSize(12);
         form.SetHText("0,05");
         form.OkClick();
         return d.result();
       };
     },
     "LocalFractalTreatment1"},
    {"TotalDepth", [](TestPrompter& p) { AnswerWindow(p, "5"); }, "TotalDepthTreatment1"},
    {"Surface3D", [](TestPrompter& p) { AnswerWindow(p, "5"); }, "Surface3DTreatment1"},
    {"DissectionDensity", [](TestPrompter& p) { AnswerWindow(p, "5"); }, "PixelDensity1"},
    {"DissectionDensity3D", [](TestPrompter& p) { AnswerWindow(p, "5"); },
     "DissectionDensity3DTreatment1"},
    {"RatioDepth",
     [](TestPrompter& p) {
       AnswerWindow(p, "5");
       p.dialogs["RatioDepthForm"] = Accept;
     },
     "RatioDepthTreatment1"},
    {"Headwaters",
     [](TestPrompter& p) {
       p.dialogs["HeadWatersForm"] = [](QDialog& d) {
         static_cast<THeadwatersDialog&>(d).SetHalfWindowText("3");
         return QDialog::Rejected;  // closed any way, the treatment runs
       };
     },
     "Headwaterstreatment1"},
    {"DrainageFractal",
     [](TestPrompter& p) {
       p.dialogs["FractDrainageForm"] = [](QDialog& d) {
         auto& form = static_cast<TDrainageFractalDialog&>(d);
         form.ChooseWindowSize(12);
         form.ChooseDynamicScale(100);
         d.reject();  // closing it any way runs the treatment
         return d.result();
       };
     },
     "FractalDimensionTreatment1"},
    {"DrainageExtraction",
     [](TestPrompter& p) {
       p.dialogs["ExtractRiv"] = [](QDialog& d) {
         auto& riv = static_cast<TDrainageExtractionDialog&>(d);
         riv.SetRanges("2", "30");
         riv.ChooseColour(0);
         riv.OKBitBtnClick();
         return d.result();
       };
     },
     "ExtractDrainageNetwork1"},
    {"Incrust", [](TestPrompter&) {}, "ParameterImage1"},
    {"ShadedRelief", [](TestPrompter& p) { p.dialogs["ConstHypsoForm"] = Accept; }, "Shadowing1"},
    {"Palette", [](TestPrompter& p) { p.dialogs["PalForm"] = Accept; }, "OpenPalette1"},
    {"Render3D",
     [](TestPrompter& p) {
       p.dialogs["Vue3DForm"] = [](QDialog& d) {
         auto& form = static_cast<TView3DDialog&>(d);
         form.resize(400, 300);
         form.Activate();
         return int(QDialog::Accepted);
       };
     },
     "View3D1"},
};

INSTANTIATE_TEST_SUITE_P(Treatments, CancelTreatmentsTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CancelCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace orvane::test
