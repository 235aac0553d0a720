// Pieces the class-table dialogs (slope, aspect, palette) build alike: the "Smoothing" box,
// a two-choice "Visualization" group, the OK / Delete row, the legend in
// its column on the right, and the dialog's height fitted to that legend.
#pragma once

#include <functional>

#include "core/render/class_table.h"

class QCheckBox;
class QDialog;
class QGroupBox;
class QHBoxLayout;
class QPushButton;
class QRadioButton;
class QVBoxLayout;
class QWidget;

namespace orvane {

class TClassLegendBox;

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

}  // namespace orvane
