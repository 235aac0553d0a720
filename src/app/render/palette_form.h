// The palette dialog TPaletteDialog: one of the two ten-class colour tables spread over [Min, Max],
// with or without smooth transitions, shown as a legend.
#pragma once

#include "app/display/legend_dialog.h"

class QComboBox;
class QLineEdit;

namespace orvane {

class TPaletteDialog : public TLegendDialog {
  Q_OBJECT

 public:
  explicit TPaletteDialog(QWidget* parent = nullptr);

  int TableIndex() const { return tableIndex_; }
  // The range found in the image, written into "Min" and "Max".
  void SetRange(int min, int max);
  double Min() const;
  double Max() const;
  // Copies the selected table and spreads its bounds over Min .. Max.
  void BuildBounds();
  void ChooseTable(int table);

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  QComboBox* typeCombo_ = nullptr;
  QLineEdit* minEdit_ = nullptr;
  QLineEdit* maxEdit_ = nullptr;
  int tableIndex_ = 1;
};

}  // namespace orvane
