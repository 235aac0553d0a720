// TDynamicScaleDialog ("DYNAMIC SCALE"): the opening of a DEM shows what it found in the file and
// asks for the two values a DEM file does not hold, the unit of the stored elevations and the
// ground size of a pixel. Created once; the values it holds after the last opening are the
// DEM's vertical unit divisor U and pixel size P for every treatment.
#pragma once

#include <QDialog>
#include <QStringList>
#include <cstdint>

class QLineEdit;
class QRadioButton;

namespace orvane {

struct DemFileScan;

class TDynamicScaleDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TDynamicScaleDialog(QWidget* parent = nullptr);

  // U: stored elevation units per metre (1, 10, 100, 1000); 0 until a unit was chosen.
  int UnitFactor() const;
  // P: the pixel size in whole metres, the integer reading of the field.
  int PixelSize() const;
  // The field itself and its decimal reading.
  QString PixelSizeText() const;
  float PixelSizeDecimal() const;

  // For the opening and the tests: choose a unit radio button (1 m, 10 dm, 100 cm, 1000 mm)
  // and type a pixel size.
  void ChooseUnit(int factor);
  void SetPixelSizeText(const QString& text);
  // The OK button: checks the unit and the pixel size; closes only when both are given.
  void OkClick();

  // What the dialog shows, to put it back when an opening is given up after the dialog was
  // answered (U and P must stay those of the DEM still open).
  struct Snapshot {
    QStringList texts;
    int checkedUnit = -1;
  };
  void Restore(const Snapshot& snapshot);
  // The figures of a scanned grid (`fileSize`: the bytes on disk, -1 when unknown) written in;
  // returns what the dialog held before, for the opening to put back if it fails later.
  Snapshot ShowScan(const DemFileScan& scan, std::int64_t fileSize);

 private:
  // File size, calculated size, bytes, lines, columns, minimum, maximum, then the pixel size.
  QLineEdit* fields_[8];
  QRadioButton* units_[4];
};

}  // namespace orvane
