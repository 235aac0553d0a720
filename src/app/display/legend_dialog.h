// Pieces the class-table dialogs (slope, aspect, palette) build alike: the "Smoothing" box,
// a two-choice "Visualization" group, the OK / Delete row, the legend in
// its column on the right, and the dialog's height fitted to that legend; and the base of the
// slope and aspect dialogs, which hold the same choices.
#pragma once

#include <QDialog>
#include <functional>

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

// "Smoothing" (LissageCheckBox) at the end of `column`.
QCheckBox* AddSmoothingBox(QDialog& dialog, QVBoxLayout& column);

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

// The legend of `table` (smoothed while `smoothing` is checked) in a new column on the right,
// under `caption` when one is given.
TClassLegendBox* AddLegendColumn(QDialog& dialog, QHBoxLayout& columns,
                                 std::function<const TClassTable&()> table,
                                 const QCheckBox& smoothing, LegendLabelFormat format,
                                 const char* caption = nullptr);

// The dialog's height made to hold the whole legend and reach below `ok`.
void FitToLegend(QDialog& dialog, TClassLegendBox& legend, const QWidget& ok);

// The slope and aspect dialogs: a class table (or gray tones) shown as a legend in a column on
// the right, the normalization of the gray tones, the shading weight of "Visualization", where
// the result goes and "Smoothing"; the height follows the legend.
class TClassTableDialog : public QDialog {
  Q_OBJECT

 public:
  const TClassTable& Table() const { return table_; }
  int Normalization() const { return normalization_; }
  // 0.0 for the plain visualization, 0.5 for the one with shadow.
  float ShadingWeight() const { return weight_; }
  ResultKind Placement() const;
  bool Smoothing() const;
  TClassLegendBox& Legend() const { return *legend_; }

 protected:
  // A modal dialog whose left column Column() the subclass fills in order, calling
  // AddPlacement where the placement box goes and AddSmoothingOkAndLegend last.
  TClassTableDialog(const char* objectName, const char* title, QWidget* parent);
  QVBoxLayout& Column() const { return *left_; }
  void AddPlacement(const ResultPlacementOptions& options);
  // "Smoothing", the OK / Delete (`deleteName`) row, and the legend column on the right.
  void AddSmoothingOkAndLegend(const char* deleteName, const char* legendCaption = nullptr);
  // After a change of table: the height fitted to the legend, the legend redrawn.
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

  TClassTable table_;
  int normalization_ = 0;
  float weight_ = 0.0f;

 private:
  QHBoxLayout* columns_ = nullptr;
  QVBoxLayout* left_ = nullptr;
  TResultPlacementBox* placement_ = nullptr;
  QCheckBox* smoothing_ = nullptr;
  QPushButton* ok_ = nullptr;
  TClassLegendBox* legend_ = nullptr;
};

}  // namespace orvane
