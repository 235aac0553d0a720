// The dialogs with a class table (slope, aspect, palettes, slices): controls in a column on the
// left, the table's legend in a column on the right, the height following the legend; and the
// pieces they build alike: "Smoothing", a two-choice "Visualization" group, the OK / Delete row.
#pragma once

#include <QDialog>
#include <QLayout>
#include <functional>
#include <utility>

#include "app/shell/result_kind.h"
#include "core/render/class_table.h"

class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QPushButton;
class QRadioButton;
class QVBoxLayout;
class QWidget;

namespace orvane {

class TClassLegendBox;
class TResultPlacementBox;
struct ResultPlacementOptions;

// A control made from `args`, named `name` and added to `layout` (when given): the display and
// relief dialogs build their named controls so.
template <class Widget, class... Args>
Widget* AddNamed(QLayout* layout, const char* name, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)...);
  widget->setObjectName(name);
  if (layout) layout->addWidget(widget);
  return widget;
}

// "Visualization" (VisualizationGroupBox): the plain choice sets `weight` to 0, the one with
// shadow to 0.5.
struct VisualizationChoice {
  QGroupBox* group = nullptr;
  QRadioButton* plain = nullptr;
  QRadioButton* shadow = nullptr;
};
VisualizationChoice AddVisualizationGroup(QDialog& dialog, QVBoxLayout& column,
                                          const char* plainText, const char* plainName,
                                          const char* shadowText, const char* shadowName,
                                          float& weight);

// "OK" (OkBitBtn, default) and "Delete" (`deleteName`) in a row, then the column's stretch.
// Without handlers OK accepts and Delete rejects. Returns the OK button.
QPushButton* AddOkDeleteRow(QDialog& dialog, QVBoxLayout& column, const char* deleteName,
                            std::function<void()> onOk = {}, std::function<void()> onDelete = {});

class TLegendDialog : public QDialog {
  Q_OBJECT

 public:
  const TClassTable& Table() const { return table_; }
  TClassLegendBox& Legend() const { return *legend_; }
  bool Smoothing() const;
  void SetSmoothing(bool on);
  // "Parameter Image" also when neither is checked.
  ResultKind Placement() const;
  void ChoosePlacement(ResultKind kind);

 protected:
  // A modal dialog whose left column Column() the subclass fills in order, then AddLegend.
  TLegendDialog(const char* objectName, const char* title, QWidget* parent);
  QVBoxLayout& Column() const { return *left_; }
  // "Smoothing" named `name` at the end of `layout` (the left column without one).
  void AddSmoothing(const char* name, QLayout* layout = nullptr);
  QCheckBox& SmoothingBox() const { return *smoothing_; }
  void AddPlacement(const ResultPlacementOptions& options);
  // The legend of table_ in a new column on the right, under `caption` when one is given,
  // smoothed while "Smoothing" is checked.
  void AddLegend(LegendLabelFormat format, const char* caption = nullptr);
  // After a change of table: the legend's height fitted (and the dialog's, to reach below
  // `ok`, when given), the legend redrawn.
  void RefreshLegend(const QWidget* ok);

  TClassTable table_;

 private:
  QHBoxLayout* columns_ = nullptr;
  QVBoxLayout* left_ = nullptr;
  QCheckBox* smoothing_ = nullptr;
  TResultPlacementBox* placement_ = nullptr;
  TClassLegendBox* legend_ = nullptr;
};

// The slope and aspect dialogs: a class table (or gray tones), the normalization of the gray
// tones, the shading weight of "Visualization", where the result goes and "Smoothing".
class TClassTableDialog : public TLegendDialog {
  Q_OBJECT

 public:
  int Normalization() const { return normalization_; }
  // 0.0 for the plain visualization, 0.5 for the one with shadow.
  float ShadingWeight() const { return weight_; }

 protected:
  using TLegendDialog::TLegendDialog;
  // "Smoothing", the OK / Delete (`deleteName`) row, and the legend column on the right.
  void AddSmoothingOkAndLegend(const char* deleteName, const char* legendCaption = nullptr);
  void RefreshLegend();
  void showEvent(QShowEvent* event) override;
  // What the computations take from the dialog (TSlopeParams, TAspectParams).
  template <class Params>
  Params TableParams(bool grayTones) const {
    Params params;
    params.grayTones = grayTones;
    params.normalization = normalization_;
    params.table = table_;
    params.smoothing = Smoothing();
    return params;
  }

  int normalization_ = 0;
  float weight_ = 0.0f;

 private:
  QPushButton* ok_ = nullptr;
};

}  // namespace orvane
