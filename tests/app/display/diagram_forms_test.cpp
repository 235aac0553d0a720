// The diagram windows: their curves, bars, axes and labels as drawn, their tables as saved,
// one instance of each per frame.
#include "app/display/diagram_forms.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/app_session.h"

namespace orvane::test {
namespace {

TEST(DiagramForms, DissectionDiagramDrawsTheCurveUpToTheBoundAndSavesItsRows) {
  TDissectionDiagram form;
  EXPECT_EQ(form.windowTitle(), " DIAGRAM");
  form.Counts()[0] = 10;
  form.Counts()[1] = 99;  // counts for the peak but is never drawn
  form.Counts()[5] = 20;
  form.Counts()[80] = 1000;  // beyond the bound
  form.SetBound(73);
  const DiagramDrawing d = form.Drawing(265);
  // Peak over 0 .. 73 is 99: count 0 at y = trunc((1 - 10/99) * 260) = 233.
  ASSERT_GE(d.lines.size(), 1u);
  EXPECT_EQ(d.lines[0].from, (DiagramPoint{1, 233}));
  EXPECT_EQ(d.lines[0].to, (DiagramPoint{10, DiagramY(20, 99, 260)}));
  EXPECT_EQ(d.lines[0].colour, kDiagramRed);
  EXPECT_EQ(form.LabelTexts(), (QStringList{"0", "2", "4", "6", "8", "10", "12", "14"}));

  TestPrompter prompts;
  QTemporaryDir dir;
  prompts.files.push_back({dir.filePath("report.xls"), 1});
  form.SetDirectorySource([&] { return dir.path(); });
  form.SaveClick();
  EXPECT_EQ(prompts.requests.back().title, "Save Histogram");
  EXPECT_EQ(prompts.requests.back().filter, "File .xls|*.xls|File .ts|*.ts");
  EXPECT_EQ(prompts.requests.back().directory, dir.path());
  const QByteArray bytes = ReadAll(dir.filePath("report.xls.xls"));
  // Through the class of the bound, where the densest windows are.
  EXPECT_EQ(bytes.count("\r\n"), 74);
  EXPECT_TRUE(bytes.startsWith("0.000000\t10\r\n0.100000\t99\r\n"));
  EXPECT_TRUE(bytes.endsWith("7.300000\t0\r\n"));
  EXPECT_EQ(form.LastSaveName(), dir.filePath("report.xls"));

  prompts.files.push_back({dir.filePath("report"), 2});
  form.SaveClick();
  EXPECT_TRUE(QFile::exists(dir.filePath("report.ts")));
  prompts.files.push_back({dir.filePath("missing/report"), 2});
  form.SaveClick();
  EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST(DiagramForms, PeakZeroDrawsOnlyTheAxes) {
  TDissectionDiagram dd;
  dd.SetBound(140);
  const DiagramDrawing d = dd.Drawing(265);
  // Horizontal axis, 15 ticks, vertical axis; no count scale without counts.
  ASSERT_EQ(d.lines.size(), 17u);
  EXPECT_EQ(d.lines[0].from, (DiagramPoint{0, 260}));
  EXPECT_EQ(d.lines[0].to, (DiagramPoint{300, 260}));
  EXPECT_EQ(d.lines[16].to, (DiagramPoint{0, 10}));
  EXPECT_TRUE(d.texts.empty());
  TDirectionHistogramWindow dir;
  EXPECT_TRUE(dir.Drawing(200).lines.empty());
  TLocalFractalDiagram loc;
  loc.SetUpperBound(250);
  loc.SetStart(120);
  EXPECT_EQ(loc.Drawing(265).lines.size(), 1u + 11u + 1u);
}

TEST(DiagramForms, GrayHistogramBarsFollowTheCurrentImage) {
  TGrayHistogram counts{};
  counts[0] = 4;
  counts[200] = 2;
  TGrayHistogramWindow form;
  form.SetCounts(counts);
  DiagramDrawing d = form.Drawing(265);
  ASSERT_GE(d.lines.size(), 2u);
  EXPECT_EQ(d.lines[0].from, (DiagramPoint{0, 260}));
  EXPECT_EQ(d.lines[0].to, (DiagramPoint{0, 0}));
  EXPECT_EQ(d.lines[1].to, (DiagramPoint{200, 130}));
  counts[200] = 4;
  form.SetCounts(counts);
  d = form.Drawing(265);
  EXPECT_EQ(d.lines[1].to, (DiagramPoint{200, 0}));
  EXPECT_EQ(form.TableText().substr(0, 5), "0\t4\r\n");
}

TEST(DiagramForms, DirectionBarsStandOnTheBottomEdgeWithoutAxes) {
  TDirectionHistogram counts{};
  counts[90] = 12;
  counts[270] = 3;
  counts[360] = 500;  // not shown
  TDirectionHistogramWindow form;
  form.SetSource([&] { return counts; });
  EXPECT_EQ(form.windowTitle(), " DIRECTION FREQUENCY");
  const DiagramDrawing d = form.Drawing(200);
  ASSERT_EQ(d.lines.size(), 2u);
  EXPECT_EQ(d.lines[0].from, (DiagramPoint{90, 200}));
  EXPECT_EQ(d.lines[0].to, (DiagramPoint{90, 0}));
  EXPECT_EQ(d.lines[1].to, (DiagramPoint{270, 150}));
}

TEST(DiagramForms, ThreeDimensionalDiagramScalesOnTheThreeDimensionalCounts) {
  TDissection3DDiagram form;
  form.Counts2D().assign(41, 0);
  form.Counts3D().assign(41, 0);
  form.Counts2D()[0] = 50;
  form.Counts3D()[0] = 10;
  form.Counts3D()[3] = 5;
  form.SetBound(40);
  const DiagramDrawing d = form.Drawing(265);
  // 2D count 0 is above the 3D peak: drawn above the top edge.
  EXPECT_EQ(d.lines[0].colour, kDiagramRed);
  EXPECT_EQ(d.lines[0].from, (DiagramPoint{1, 0}));
  EXPECT_EQ(d.lines[0].to, (DiagramPoint{12, 130}));
  // The legend, then the count scale of the 3D counts.
  ASSERT_EQ(d.texts.size(), 4u);
  EXPECT_EQ(d.texts[0].text, "2 D");
  EXPECT_EQ(d.texts[2].text, "10");
  EXPECT_EQ(form.TableText().substr(0, 12), "0.000000\t10\r");
}

TEST(DiagramForms, OneInstancePerFrame) {
  QWidget frame;
  TDissectionDiagram& a = DiagramWindow<TDissectionDiagram>(frame);
  a.SetBound(12);
  EXPECT_EQ(DiagramWindow<TDissectionDiagram>(frame).Bound(), 12);
  EXPECT_NE(static_cast<QWidget*>(&DiagramWindow<TDissection3DDiagram>(frame)), static_cast<QWidget*>(&a));
}

TEST(DiagramAxes, DensityAxisCoversTheDataAndCountsAreScaled) {
  TDissectionDiagram form;
  form.show();
  form.Counts().assign(431, 0);  // densities up to 43: classes 0 .. 430
  form.Counts()[40] = 10;
  form.Counts()[200] = 30;
  form.Counts()[430] = 5;
  form.SetBound(430);
  const DiagramDrawing d = form.Drawing(265);
  int rightmost = 0;
  for (const DiagramLine& line : d.lines) {
    if (line.colour == kDiagramRed) rightmost = std::max(rightmost, line.to.x);
  }
  EXPECT_GT(rightmost, 280);  // the curve reaches its last class ...
  EXPECT_LE(rightmost, 300);  // ... on the axis
  const QStringList labels = form.LabelTexts();
  ASSERT_FALSE(labels.isEmpty());
  EXPECT_EQ(labels.last(), "40");  // the last class, 43.0, lies beyond the last label
  QStringList counts;
  for (const DiagramText& text : d.texts) counts << QString::fromStdString(text.text);
  EXPECT_EQ(counts, (QStringList{"30", "15"}));
  // Up to 14 the axis stays as it was.
  form.SetBound(73);
  EXPECT_EQ(form.LabelTexts(), (QStringList{"0", "2", "4", "6", "8", "10", "12", "14"}));

  // The 3D diagram the same way: 0 .. 7 while the densities fit, stretched beyond.
  TDissection3DDiagram density3d;
  density3d.show();
  density3d.SetBound(60);
  EXPECT_EQ(density3d.LabelTexts(), (QStringList{"0", "1", "2", "3", "4", "5", "6", "7"}));
  density3d.Counts2D().assign(431, 0);
  density3d.Counts3D().assign(431, 0);  // bins as many as the densities need
  density3d.Counts3D()[430] = 5;
  density3d.SetBound(430);
  int right3d = 0;
  for (const DiagramLine& line : density3d.Drawing(265).lines) {
    // The curve, not the legend's sample line beside the plot (x 310 .. 360).
    if (line.colour == kDiagramRed && line.from.x < 310)
      right3d = std::max(right3d, line.to.x);
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

}  // namespace
}  // namespace orvane::test
