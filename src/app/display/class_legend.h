// The paint box that shows a colour class table as a legend: rows of 20 pixels from y = 10, a
// colour strip from x = 20 to 70, each bound but the last written at x = 74. Dialogs with a
// class table (slope, aspect, total depth, dissection density) embed one and give it their
// table, smoothing state and label format.
#pragma once

#include <QWidget>
#include <functional>

#include "core/render/class_table.h"

namespace orvane {

class TClassLegendBox : public QWidget {
 public:
  explicit TClassLegendBox(QWidget* parent = nullptr);

  // The table and smoothing flag are read at every paint, so a click on "Smoothing" shows at
  // the next redraw.
  void SetSource(std::function<const TClassTable&()> table, std::function<bool()> smoothing,
                 LegendLabelFormat format);
  // Height 20 (count + 1) for the current table; the caller also resizes its dialog with
  // LegendDialogHeight.
  int FitHeight();
  TLegend CurrentLegend() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<const TClassTable&()> table_;
  std::function<bool()> smoothing_;
  LegendLabelFormat format_ = LegendLabelFormat::kDegrees;
};

}  // namespace orvane
