// TDrainageExtractionDialog (" RIVER EXTRACTION"): the ranges and the colour of a drainage extraction.
// Created once; its values persist between runs. "OK" checks the ranges and keeps the dialog
// open on the range at fault, with the command line's message, when they do not hold; "Cancel" and the close box leave without
// extracting.
#pragma once

#include <QDialog>

#include "core/treatment/treatment.h"

class QLineEdit;
class QRadioButton;

namespace orvane {

class TDeclaredRadios;

class TDrainageExtractionDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TDrainageExtractionDialog(QWidget* parent = nullptr);

  int LowerRange() const { return lowerRange_; }
  int UpperRange() const { return upperRange_; }
  // The declared "colour": 0 black, 1 blue, 2 red, 3 green, 4 yellow.
  int ColourCode() const;
  // The ranges and colour as the declaration takes them.
  TreatmentArgs Args() const;
  // 1 "Yes", 0 "No"; kept with the dialog, read by no step of the extraction.
  int Connection() const { return connection_; }

  // For the tests and the handlers: type the ranges, pick a colour.
  void SetRanges(const QString& lower, const QString& upper);
  void ChooseColour(int code);

  void OKBitBtnClick();

 private:
  QLineEdit* lrEdit_;
  QLineEdit* urEdit_;
  TDeclaredRadios* colours_;
  QRadioButton* yes_;
  QRadioButton* no_;
  int lowerRange_ = 0;
  int upperRange_ = 0;
  int connection_ = 0;
};

}  // namespace orvane
