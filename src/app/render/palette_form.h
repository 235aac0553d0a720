// The palette dialog TPaletteDialog: one of the two ten-class colour tables spread over [Min, Max],
// with or without smooth transitions, shown as a legend.
#pragma once

#include <QDialog>

#include "core/render/class_table.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace orvane {

class TClassLegendBox;

class TPaletteDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TPaletteDialog(QWidget* parent = nullptr);

  int TableIndex() const { return tableIndex_; }
  const TClassTable& Table() const { return table_; }
  bool Smoothing() const;
  // The range found in the image, written into "Min" and "Max".
  void SetRange(int min, int max);
  double Min() const;
  double Max() const;
  // Copies the selected table and spreads its bounds over Min .. Max.
  void BuildBounds();
  void ChooseTable(int table);
  void SetSmoothing(bool on);
  TClassLegendBox& Legend() const { return *legend_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  QComboBox* typeCombo_ = nullptr;
  QCheckBox* smoothing_ = nullptr;
  QLineEdit* minEdit_ = nullptr;
  QLineEdit* maxEdit_ = nullptr;
  TClassLegendBox* legend_ = nullptr;
  int tableIndex_ = 1;
  TClassTable table_;
};

}  // namespace orvane
