// The dialogs of the drainage morphometry:
//   - TDrainageFractalDialog (" DRAINAGE NETWORK FRACTAL"): window size 12 or 24, dynamic scale
//     100 or 255, parameter or wrapped image, for both fractal treatments of the network;
//   - TDrainageFractalInfoForm (" FRACTAL DIMENSION COMPUTATION"): how the box counting works;
//   - TRatioOfDepthsDialog ("  DRAINAGE/SURFACE"): dynamic scale and result kind of the ratio depth.
// Each exists once, a child of the main frame reached through its ...Of(frame) function, so
// the user's choices persist between runs.
#pragma once

#include <QDialog>
#include <QWidget>

#include "app/shell/result_kind.h"

namespace orvane {

class TDeclaredRadios;
class TResultPlacementBox;

class TDrainageFractalDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TDrainageFractalDialog(QWidget* parent = nullptr);

  // The declared 12 or 24, and 100 or 255.
  int WindowSize() const;
  int DynamicScale() const;
  ResultKind Placement() const;

  // For the tests and the handlers: the clicks a user makes.
  void ChooseWindowSize(int size);
  void ChooseDynamicScale(int scale);
  void ChoosePlacement(ResultKind kind);

 private:
  TDeclaredRadios* size_;
  TDeclaredRadios* scale_;
  TResultPlacementBox* placement_;
};

// A network covered by boxes of 1, 2, 4, 8 and 16 pixels with their counts, and the log-log
// plot of the counts, drawn for the explanation window.
class TBoxCountingPicture : public QWidget {
  Q_OBJECT

 public:
  explicit TBoxCountingPicture(QWidget* parent = nullptr);
  QSize sizeHint() const override { return {560, 250}; }
  // The number of filled boxes of each size on the pictured network.
  static int FilledBoxes(int size);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

class TDrainageFractalInfoForm : public QDialog {
  Q_OBJECT

 public:
  explicit TDrainageFractalInfoForm(QWidget* parent = nullptr);
};

class TRatioOfDepthsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TRatioOfDepthsDialog(QWidget* parent = nullptr);

  // The declared 100 or 255.
  int DynamicScale() const;
  ResultKind Placement() const;

  void ChooseDynamicScale(int scale);
  void ChoosePlacement(ResultKind kind);
  // "OK": closes with the OK result.
  void BitBtn1Click();

 private:
  TDeclaredRadios* scale_;
  TResultPlacementBox* placement_;
};

TDrainageFractalDialog& DrainageFractalDialogOf(QWidget& frame);
TDrainageFractalInfoForm& DrainageFractalInfoFormOf(QWidget& frame);
TRatioOfDepthsDialog& RatioOfDepthsDialogOf(QWidget& frame);

}  // namespace orvane
