// The slope dialog TSlopeDialog (class table or gray tones, normalization, result kind,
// shading weight, smoothing, legend) and the explanatory window TSlopeInfoForm.
#pragma once

#include <QDialog>

#include "app/shell/result_kind.h"
#include "core/render/class_table.h"
#include "core/surface/slope.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace orvane {

class TClassLegendBox;
class TResultPlacementBox;

class TSlopeDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TSlopeDialog(QWidget* parent = nullptr);

  // The item of "Type of the Color Table": 0, 1, 2 tables 1 to 3; 3 gray tones.
  int TypeIndex() const { return typeIndex_; }
  // The declared "table" of that item: 1, 2, 3 or kSlopeGrayTones.
  int TableChoice() const;
  bool GrayTones() const { return TableChoice() == kSlopeGrayTones; }
  const TClassTable& Table() const { return table_; }
  int Normalization() const { return normalization_; }
  ResultKind Placement() const;
  // 0.0 "Slope", 0.5 "Slope and Shadow".
  float ShadingWeight() const { return weight_; }
  bool Smoothing() const;
  // What the computation needs from the dialog.
  TSlopeParams Params() const;

  // The choice of the combo box "Type of the Color Table".
  void ChooseType(int index);
  TClassLegendBox& Legend() const { return *legend_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FitToLegend();

  QComboBox* typeCombo_ = nullptr;
  QGroupBox* normalizationGroup_ = nullptr;
  QRadioButton* norm90_ = nullptr;
  QRadioButton* norm180_ = nullptr;
  QRadioButton* norm255_ = nullptr;
  QRadioButton* slopeRadio_ = nullptr;
  QRadioButton* slopeShadRadio_ = nullptr;
  TResultPlacementBox* placement_ = nullptr;
  QCheckBox* smoothing_ = nullptr;
  QPushButton* ok_ = nullptr;
  TClassLegendBox* legend_ = nullptr;

  int typeIndex_ = 1;
  TClassTable table_;
  int normalization_ = 90;
  float weight_ = 0.0f;
};

// How the slope is computed: the four triangles around the cell, their normals and the
// summed normal, and the reduced equation.
class TSlopeInfoForm : public QDialog {
  Q_OBJECT

 public:
  explicit TSlopeInfoForm(QWidget* parent = nullptr);
};

}  // namespace orvane
