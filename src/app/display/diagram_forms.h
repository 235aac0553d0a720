// The histogram and diagram windows: one small modal dialog design (caption, paint box, labels
// under the horizontal axis, "Save" and "OK") shared by six members that differ in their
// counts, range, curve or bars, colours, axes, labels and saved rows.
//
// The treatments only fill counts and bounds; each window keeps them until the next run.
// A window whose counts are all 0 in its scanned range draws its axes and nothing else.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/shell/prompter.h"
#include "core/render/diagram_drawing.h"
#include "core/render/histogram_table.h"
#include "core/surface/aspect.h"

class QLabel;
class QWidget;

namespace orvane {

class TDiagramForm : public QDialog {
  Q_OBJECT

 public:
  // What a member looks like; the drawing itself is the member's.
  struct Look {
    QString objectName;
    QString caption;
    int paintWidth = 420;
    int paintHeight = 265;
    std::vector<std::string> labels;  // under the horizontal axis, the first at x = 0
    int labelStep = 20;  // pixels between two labels
  };

  TDiagramForm(const Look& look, QWidget* parent);

  // The strokes and texts of one paint of a paint box `height` pixels high.
  virtual DiagramDrawing Drawing(int height) const = 0;
  // The rows the "Save" button writes; empty text for none.
  virtual std::string TableText() const = 0;

  // Where the save dialog starts (the images directory); asked at each save.
  void SetDirectorySource(std::function<QString()> source) { directory_ = std::move(source); }
  // The name last chosen in the save dialog, as typed.
  QString LastSaveName() const { return lastSaveName_; }
  // "Save": asks for a name, appends ".xls" or ".ts" as the filter says and writes the table.
  void SaveClick();

  QWidget* PaintBox() const { return paintBox_; }
  QStringList LabelTexts() const;

 protected:
  // Replaces the labels under the horizontal axis: texts[k] centred at xs[k].
  void SetLabels(const DiagramLabels& labels);

 private:
  QWidget* paintBox_ = nullptr;
  QWidget* labelStrip_ = nullptr;
  std::vector<QLabel*> labels_;
  std::function<QString()> directory_;
  QString lastSaveName_;
  FileDialogMemory saveDialog_;
};

// Gray-level histogram of the current parameter image inside its margin, counted when the
// window opens.
class TGrayHistogramWindow : public TDiagramForm {
 public:
  explicit TGrayHistogramWindow(QWidget* parent = nullptr);
  void SetCounts(const TGrayHistogram& counts);
  const TGrayHistogram& Counts() const { return counts_; }
  DiagramDrawing Drawing(int height) const override;
  std::string TableText() const override;

 private:
  TGrayHistogram counts_{};
};

// Direction frequency of the last aspect treatment: degrees 0 .. 359 of the aspect dialog's
// direction counts.
class TDirectionHistogramWindow : public TDiagramForm {
 public:
  explicit TDirectionHistogramWindow(QWidget* parent = nullptr);
  void SetSource(std::function<TDirectionHistogram()> source) { source_ = std::move(source); }
  TDirectionHistogram Counts() const { return source_ ? source_() : TDirectionHistogram{}; }
  DiagramDrawing Drawing(int height) const override;
  std::string TableText() const override;

 private:
  std::function<TDirectionHistogram()> source_;
};

// The dissection density diagrams: counts by trunc(10 x density), drawn and saved through the
// bound, the class of the densest window; the horizontal axis and its labels then cover the
// densities through it.
class TDensityDiagram : public TDiagramForm {
 public:
  std::vector<std::int32_t>& Counts() { return counts_; }
  const std::vector<std::int32_t>& Counts() const { return counts_; }
  void SetBound(int bound);
  int Bound() const { return bound_; }
  DiagramDrawing Drawing(int height) const override;
  std::string TableText() const override;

 protected:
  // `classPx` pixels a class while the classes fit on the axis; `held` counts to start with.
  // A `companion` curve (the 2D densities) is drawn in blue under the counts, with a legend.
  TDensityDiagram(const Look& look, double classPx, std::size_t held,
                  const std::vector<std::int32_t>* companion, QWidget* parent);

 private:
  std::vector<std::int32_t> counts_;
  const std::vector<std::int32_t>* companion_;
  double classPx_;
  int bound_ = 0;
};

// Dissection density, in a class of 300 counts.
class TDissectionDiagram : public TDensityDiagram {
 public:
  explicit TDissectionDiagram(QWidget* parent = nullptr);
};

// Dissection density 2D and 3D: as many classes as the data need, drawn through the 3D bound.
class TDissection3DDiagram : public TDensityDiagram {
 public:
  explicit TDissection3DDiagram(QWidget* parent = nullptr);
  std::vector<std::int32_t>& Counts2D() { return counts2D_; }
  std::vector<std::int32_t>& Counts3D() { return Counts(); }

 private:
  std::vector<std::int32_t> counts2D_;
};

// The fractal dimension diagrams: counts by trunc(100 x D), drawn from the class Start()
// through the upper bound trunc(100 x Dmax), the maximum's class, the class of D at x = 2 (100 D)
// less a shift.
class TFractalDiagram : public TDiagramForm {
 public:
  std::vector<std::int32_t>& Counts() { return counts_; }
  void SetUpperBound(int bound) { bound_ = bound; }
  int UpperBound() const { return bound_; }
  int Start() const { return start_; }
  DiagramDrawing Drawing(int height) const override;
  std::string TableText() const override;

 protected:
  // The curve starts at (startX, its first count); `held` counts to start with.
  TFractalDiagram(const Look& look, std::size_t held, int start, int startX, int shift,
                  QWidget* parent);

  int start_;

 private:
  std::vector<std::int32_t> counts_;
  int bound_ = 0;
  int startX_;
  int shift_;
};

// Fractal dimension of the drainage network, drawn from D = 1.01.
class TDrainageFractalDiagram : public TFractalDiagram {
 public:
  explicit TDrainageFractalDiagram(QWidget* parent = nullptr);
};

// Local fractal dimension (301 counts: index 300 for D = 3 fits), drawn from
// s = trunc(100 x Dmin).
class TLocalFractalDiagram : public TFractalDiagram {
 public:
  explicit TLocalFractalDiagram(QWidget* parent = nullptr);
  void SetStart(int start) { start_ = start; }
};

// The one window or dialog of a class, created as a child of `frame` (the main window) at the
// first call and found again after, so every module reaches the same instance and what the
// user chose in it persists between runs.
template <class Form>
Form& FrameChild(QWidget& frame) {
  for (QObject* child : frame.children()) {
    if (auto* form = dynamic_cast<Form*>(child)) return *form;
  }
  return *new Form(&frame);
}
template <class Form>
Form& DiagramWindow(QWidget& frame) { return FrameChild<Form>(frame); }

}  // namespace orvane
