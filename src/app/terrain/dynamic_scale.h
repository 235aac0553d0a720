// TDynamicScaleDialog ("DYNAMIC SCALE"): the opening of a DEM shows what it found in the file and
// asks for the two values a DEM file does not hold, the unit of the stored elevations and the
// ground size of a pixel. Created once; the values it holds after the last opening are the
// DEM's vertical unit divisor U and pixel size P for every treatment.
#pragma once

#include <QDialog>
#include <QStringList>
#include <QString>
#include <cstdint>

class QLineEdit;
class QRadioButton;
class QPushButton;

namespace orvane {

struct DemFileScan;

class TDynamicScaleDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TDynamicScaleDialog(QWidget* parent = nullptr);

  // Pre-filling by the opening of a DEM.
  void SetFileFigures(std::int64_t realSize, std::int64_t calcSize, int numBytes, int lines,
                      int columns);
  void SetElevationRange(double minimum, double maximum);

  // U: stored elevation units per metre (1, 10, 100, 1000); 0 until a unit was chosen.
  int UnitFactor() const { return unitFactor_; }
  // P: the pixel size in whole metres, the integer reading of the field.
  int PixelSize() const { return pixelSize_; }
  // The field itself and its decimal reading (taken on OK).
  QString PixelSizeText() const;
  float PixelSizeDecimal() const { return pixelSizeDecimal_; }
  double Minimum() const { return minimum_; }
  double Maximum() const { return maximum_; }
  int Lines() const { return lines_; }
  int Columns() const { return columns_; }
  int NumBytes() const { return numBytes_; }

  // For the opening and the tests: choose a unit radio button (1 m, 10 dm, 100 cm, 1000 mm)
  // and type a pixel size.
  void ChooseUnit(int factor);
  void SetPixelSizeText(const QString& text);
  // The OK button: checks the unit and the pixel size; closes only when both are given.
  void OkClick();

  // Everything the dialog holds, to put it back when an opening is given up after the
  // dialog was answered (U and P must stay those of the DEM still open).
  struct Snapshot {
    QStringList texts;
    int checkedUnit = -1;
    int unitFactor = 0, pixelSize = 0, numBytes = 0;
    float pixelSizeDecimal = 0.0f;
    double minimum = 0.0, maximum = 0.0;
    std::int16_t lines = 0, columns = 0;
  };
  Snapshot Save() const;
  void Restore(const Snapshot& snapshot);
  // The figures of a scanned grid (`fileSize`: the bytes on disk, -1 when unknown) written in;
  // returns what the dialog held before, for the opening to put back if it fails later.
  Snapshot ShowScan(const DemFileScan& scan, std::int64_t fileSize);

 private:
  QLineEdit* realSize_;
  QLineEdit* calcSize_;
  QLineEdit* numBytesEdit_;
  QLineEdit* lineDS_;
  QLineEdit* colDS_;
  QLineEdit* minDyn_;
  QLineEdit* maxDyn_;
  QRadioButton* units_[4];
  QLineEdit* pixSize_;
  QPushButton* ok_;

  int unitFactor_ = 0;
  int pixelSize_ = 0;
  float pixelSizeDecimal_ = 0.0f;
  double minimum_ = 0.0;
  double maximum_ = 0.0;
  std::int16_t lines_ = 0;
  std::int16_t columns_ = 0;
  int numBytes_ = 0;
};

}  // namespace orvane
