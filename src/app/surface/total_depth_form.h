// TTotalDepthDialog (" Total Depth Visu"): how the total depth is shown: a 10-class palette
// (coloured or gray) or gray tones 0 ... 255, "Smoothing", "Scale" over the window relief
// range of the run ("Min", "Max"), parameter or wrapped image, and the class legend.
#pragma once

#include <QDialog>

#include "app/shell/result_kind.h"
#include "core/render/class_table.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orvane {

class TClassLegendBox;
class TResultPlacementBox;

class TTotalDepthDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TTotalDepthDialog(QWidget* parent = nullptr);

  // Before showing: the smallest and largest window relief, as integers in Min and Max.
  void SetRange(int minimum, int maximum);

  // The palette index stored at creation and at each "OK": 0 "Colored Palette",
  // 1 "Gray Tones Palette", 2 "Gray Tones (0, 255)".
  int PaletteChoice() const { return paletteChoice_; }
  const TClassTable& ClassTable() const { return table_; }
  bool Smoothing() const;
  bool Scale() const;
  // "Parameter Image" also when neither is checked.
  ResultKind Placement() const;

  // The controls as a user works them (also used by the tests).
  void SelectPalette(int index);
  void SetSmoothing(bool on);
  void SetScale(bool on);
  void SetMinMaxText(const QString& minimum, const QString& maximum);
  void ChoosePlacement(ResultKind kind);
  void OkClick();
  void DeleteClick();

  TClassLegendBox& Legend() const { return *legend_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Copies the chosen palette and, with "Scale", spreads its bounds over Min ... Max.
  void LoadPalette();
  void FitToLegend();

  QComboBox* paletteCombo_ = nullptr;
  QCheckBox* smoothing_ = nullptr;
  QCheckBox* scale_ = nullptr;
  QLineEdit* minEdit_ = nullptr;
  QLineEdit* maxEdit_ = nullptr;
  TResultPlacementBox* placement_ = nullptr;
  QPushButton* ok_ = nullptr;
  TClassLegendBox* legend_ = nullptr;

  TClassTable table_;
  int paletteChoice_ = 0;
};

}  // namespace orvane
