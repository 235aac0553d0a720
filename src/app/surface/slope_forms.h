// The slope dialog TSlopeDialog (class table or gray tones, normalization, result kind,
// shading weight "Slope" / "Slope and Shadow", smoothing, legend) and the explanatory window
// TSlopeInfoForm.
#pragma once

#include <QDialog>

#include "app/display/legend_dialog.h"
#include "core/surface/slope.h"

class QComboBox;
class QGroupBox;
class QRadioButton;

namespace orvane {

class TSlopeDialog : public TClassTableDialog {
  Q_OBJECT

 public:
  explicit TSlopeDialog(QWidget* parent = nullptr);

  // The item of "Type of the Color Table": 0, 1, 2 tables 1 to 3; 3 gray tones.
  int TypeIndex() const { return typeIndex_; }
  // The declared "table" of that item: 1, 2, 3 or kSlopeGrayTones.
  int TableChoice() const;
  bool GrayTones() const { return TableChoice() == kSlopeGrayTones; }
  // What the computation needs from the dialog.
  TSlopeParams Params() const { return TableParams<TSlopeParams>(GrayTones()); }

  // The choice of the combo box "Type of the Color Table".
  void ChooseType(int index);

 private:
  QComboBox* typeCombo_ = nullptr;
  QGroupBox* normalizationGroup_ = nullptr;
  QRadioButton* norm90_ = nullptr;
  QRadioButton* norm180_ = nullptr;
  QRadioButton* norm255_ = nullptr;
  QRadioButton* slopeRadio_ = nullptr;

  int typeIndex_ = 1;
};

// How the slope is computed: the four triangles around the cell, their normals and the
// summed normal, and the reduced equation.
class TSlopeInfoForm : public QDialog {
  Q_OBJECT

 public:
  explicit TSlopeInfoForm(QWidget* parent = nullptr);
};

}  // namespace orvane
