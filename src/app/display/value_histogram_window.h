// The value histogram: the current result's value grid counted in 100 equal classes between
// its smallest and largest value, the horizontal axis in the quantity's unit. It stands beside
// the gray-level histogram, which counts the picture's levels instead (and is not there for
// colour pictures).
#pragma once

#include <functional>

#include "app/display/diagram_forms.h"
#include "app/shell/result_values.h"
#include "core/render/value_histogram_drawing.h"

namespace orvane {

class TValueHistogramWindow : public TDiagramForm {
  Q_OBJECT

 public:
  explicit TValueHistogramWindow(QWidget* parent = nullptr);
  // Gives the values of the result current at paint time.
  void SetSource(std::function<TResultValues()> source) { source_ = std::move(source); }
  TResultValues Values() const { return source_ ? source_() : TResultValues{}; }
  TValueHistogram Counts() const;
  // The texts under the axis: the class bounds at the five ticks, from the minimum to the
  // maximum, with the unit after the last.
  QStringList AxisTexts() const;
  DiagramDrawing Drawing(int height) const override;
  // One row per class: lower bound, upper bound, count.
  std::string TableText() const override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::function<TResultValues()> source_;
  // The counts of the last grid asked for: a paint does not count the grid again.
  mutable std::shared_ptr<const ValueGrid> countedGrid_;
  mutable TValueHistogram counted_;
};

}  // namespace orvane
