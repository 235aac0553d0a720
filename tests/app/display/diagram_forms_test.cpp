#include "app/display/diagram_forms.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/shell/prompter.h"

namespace orvane {
namespace {

// Answers the save dialog with a fixed name and filter and keeps the warnings.
class SavePrompter : public Prompter {
 public:
  QString path;
  int filter = 1;
  QStringList warnings;
  FileRequest lastRequest;
  FileAnswer SaveFile(QWidget*, const FileRequest& request) override {
    lastRequest = request;
    return {path, path.isEmpty() ? 0 : filter};
  }
  void Warning(QWidget*, const QString& caption, const QString& text) override {
    warnings << caption + ": " + text;
  }
};

class DiagramFormsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetPrompter(&prompter_); }
  void TearDown() override { SetPrompter(nullptr); }
  SavePrompter prompter_;
};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

TEST_F(DiagramFormsTest, DissectionDiagramDrawsTheCurveUpToTheBoundAndSavesItsRows) {
  TDissectionDiagram form;
  EXPECT_EQ(form.windowTitle(), " DIAGRAM");
  form.Counts()[0] = 10;
  form.Counts()[1] = 99;  // counts for the peak but is never drawn
  form.Counts()[5] = 20;
  form.Counts()[80] = 1000;  // beyond the bound
  form.SetBound(73);
  const TDiagramDrawing d = form.Drawing(265);
  // Peak over 0 .. 72 is 99: count 0 at y = trunc((1 - 10/99) * 260) = 233.
  ASSERT_GE(d.lines.size(), 1u);
  EXPECT_EQ(d.lines[0].from, QPoint(1, 233));
  EXPECT_EQ(d.lines[0].to, QPoint(10, DiagramY(20, 99, 260)));
  EXPECT_EQ(d.lines[0].colour, QColor(Qt::red));
  EXPECT_EQ(form.LabelTexts(), (QStringList{"0", "2", "4", "6", "8", "10", "12", "14"}));

  QTemporaryDir dir;
  prompter_.path = dir.filePath("report.xls");
  form.SetDirectorySource([&] { return dir.path(); });
  form.SaveClick();
  EXPECT_EQ(prompter_.lastRequest.title, "Save Histogram");
  EXPECT_EQ(prompter_.lastRequest.filter, "File .xls|*.xls|File .ts|*.ts");
  EXPECT_EQ(prompter_.lastRequest.directory, dir.path());
  const QByteArray bytes = ReadAll(dir.filePath("report.xls.xls"));
  EXPECT_EQ(bytes.count("\r\n"), 73);
  EXPECT_TRUE(bytes.startsWith("0.000000\t10\r\n0.100000\t99\r\n"));
  EXPECT_TRUE(bytes.endsWith("7.200000\t0\r\n"));
  EXPECT_EQ(form.LastSaveName(), dir.filePath("report.xls"));

  prompter_.path = dir.filePath("report");
  prompter_.filter = 2;
  form.SaveClick();
  EXPECT_TRUE(QFile::exists(dir.filePath("report.ts")));
  prompter_.path = dir.filePath("missing/report");
  form.SaveClick();
  EXPECT_EQ(prompter_.warnings.size(), 1);
}

TEST_F(DiagramFormsTest, PeakZeroDrawsOnlyTheAxes) {
  TDissectionDiagram dd;
  dd.SetBound(140);
  const TDiagramDrawing d = dd.Drawing(265);
  // Horizontal axis, 15 ticks, vertical axis; no count scale without counts.
  ASSERT_EQ(d.lines.size(), 17u);
  EXPECT_EQ(d.lines[0].from, QPoint(0, 260));
  EXPECT_EQ(d.lines[0].to, QPoint(300, 260));
  EXPECT_EQ(d.lines[16].to, QPoint(0, 10));
  EXPECT_TRUE(d.texts.empty());
  TDirectionHistogramWindow dir;
  EXPECT_TRUE(dir.Drawing(200).lines.empty());
  TLocalFractalDiagram loc;
  loc.SetUpperBound(250);
  loc.SetStart(120);
  EXPECT_EQ(loc.Drawing(265).lines.size(), 1u + 11u + 1u);
}

TEST_F(DiagramFormsTest, GrayHistogramBarsFollowTheCurrentImage) {
  TGrayHistogram counts{};
  counts[0] = 4;
  counts[200] = 2;
  TGrayHistogramWindow form;
  form.SetSource([&] { return counts; });
  TDiagramDrawing d = form.Drawing(265);
  ASSERT_GE(d.lines.size(), 2u);
  EXPECT_EQ(d.lines[0].from, QPoint(0, 260));
  EXPECT_EQ(d.lines[0].to, QPoint(0, 0));
  EXPECT_EQ(d.lines[1].to, QPoint(200, 130));
  counts[200] = 4;  // recomputed at every paint
  d = form.Drawing(265);
  EXPECT_EQ(d.lines[1].to, QPoint(200, 0));
  EXPECT_EQ(form.TableText().substr(0, 5), "0\t4\r\n");
}

TEST_F(DiagramFormsTest, DirectionBarsStandOnTheBottomEdgeWithoutAxes) {
  TDirectionHistogram counts{};
  counts[90] = 12;
  counts[270] = 3;
  counts[360] = 500;  // not shown
  TDirectionHistogramWindow form;
  form.SetSource([&] { return counts; });
  EXPECT_EQ(form.windowTitle(), " DIRECTION FREQUENCY");
  const TDiagramDrawing d = form.Drawing(200);
  ASSERT_EQ(d.lines.size(), 2u);
  EXPECT_EQ(d.lines[0].from, QPoint(90, 200));
  EXPECT_EQ(d.lines[0].to, QPoint(90, 0));
  EXPECT_EQ(d.lines[1].to, QPoint(270, 150));
}

TEST_F(DiagramFormsTest, ThreeDimensionalDiagramScalesOnTheThreeDimensionalCounts) {
  TDissection3DDiagram form;
  form.Counts2D()[0] = 50;
  form.Counts3D()[0] = 10;
  form.Counts3D()[3] = 5;
  form.SetBound(40);
  const TDiagramDrawing d = form.Drawing(265);
  // 2D count 0 is above the 3D peak: drawn above the top edge.
  EXPECT_EQ(d.lines[0].colour, QColor(Qt::red));
  EXPECT_EQ(d.lines[0].from, QPoint(1, 0));
  EXPECT_EQ(d.lines[0].to, QPoint(12, 130));
  // The legend, then the count scale of the 3D counts.
  ASSERT_EQ(d.texts.size(), 4u);
  EXPECT_EQ(d.texts[0].text, "2 D");
  EXPECT_EQ(d.texts[2].text, "10");
  EXPECT_EQ(form.TableText().substr(0, 12), "0.000000\t10\r");
}

TEST_F(DiagramFormsTest, OneInstancePerFrame) {
  QWidget frame;
  TDissectionDiagram& a = DiagramWindow<TDissectionDiagram>(frame);
  a.SetBound(12);
  EXPECT_EQ(DiagramWindow<TDissectionDiagram>(frame).Bound(), 12);
  EXPECT_NE(static_cast<QWidget*>(&DiagramWindow<TDissection3DDiagram>(frame)), static_cast<QWidget*>(&a));
}

}  // namespace
}  // namespace orvane
