// The circular moving window dialog TCircularWindowDialog (statistic, radius, result kind) and
// its text window TCircularWindowInfoForm.
#pragma once

#include <QDialog>
#include <QString>

#include "app/shell/result_kind.h"

class QLineEdit;
class QRadioButton;

namespace orvane {

class TDeclaredRadios;
class TResultPlacementBox;
class TWholeNumberEdit;

class TCircularWindowDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TCircularWindowDialog(QWidget* parent = nullptr);

  // 0 (none chosen yet) or 1 .. 6.
  int Statistic() const;
  // R: 0 while empty.
  int Radius() const;
  // "Parameter Image" or "Wrap image".
  ResultKind Placement() const;
  // Filled by the treatment with the DEM's pixelSizeX; the surface follows it.
  void SetPixelSize(float pixelSizeX);
  // The DEM's size: OK refuses a disc wider than the DEM, which would leave no cell to compute.
  void SetGridSize(int columns, int lines);
  QString SurfaceText() const;

  void ChooseStatistic(int statistic);
  void SetRadius(int radius);
  void ChoosePlacement(ResultKind kind);
  // The OK button: closes only with a radius and a statistic.
  void OkClick();

 private:
  void UpdateSurface();
  int demColumns_ = 0;
  int demLines_ = 0;

  TDeclaredRadios* statistics_ = nullptr;
  TWholeNumberEdit* radius_ = nullptr;
  QLineEdit* pixelSize_ = nullptr;
  QLineEdit* surf_ = nullptr;
  TResultPlacementBox* placement_ = nullptr;
};

class TCircularWindowInfoForm : public QDialog {
  Q_OBJECT

 public:
  explicit TCircularWindowInfoForm(QWidget* parent = nullptr);
  QString Text() const;

 private:
  QString text_;
};

}  // namespace orvane
