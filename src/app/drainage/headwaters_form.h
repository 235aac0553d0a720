// THeadwatersDialog (" INPUT PARAMETERS"): the half window size of the headwaters density, the
// side it observes in km, the dynamic scale (100 or 255) and the result kind. Created once;
// its values persist between runs.
#pragma once

#include <QDialog>

#include "app/shell/result_kind.h"

class QLineEdit;

namespace orvane {

class TDeclaredRadios;
class TResultPlacementBox;

class THeadwatersDialog : public QDialog {
  Q_OBJECT

 public:
  explicit THeadwatersDialog(QWidget* parent = nullptr);

  // Before showing: the DEM's pixel size in whole metres into "Pixel Size".
  void SetPixelSize(int metres);
  int HalfWindow() const { return halfWindow_; }
  double SideKm() const { return side_; }
  // The declared 100 or 255.
  int DynamicScale() const;
  ResultKind Placement() const;

  // For the tests: type the half window, click the radio buttons.
  void SetHalfWindowText(const QString& text);
  void ChooseDynamicScale(int scale);
  void ChoosePlacement(ResultKind kind);
  // Whether HWS holds a whole number in the declared range; OK refuses anything else.
  bool HasHalfWindow() const;
  static constexpr const char* kNoHalfWindow =
      "Give the half window size (HWS) as a whole number of pixels";
  void OkClick();

 private:
  void WindowChanged();
  void ShowSide();

  QLineEdit* pixelSizeEdit_;
  QLineEdit* windowEdit_;
  QLineEdit* kilom1_;
  QLineEdit* kilom2_;
  TDeclaredRadios* scale_;
  TResultPlacementBox* placement_;
  int halfWindow_ = 0;
  double side_ = 0.0;
};

THeadwatersDialog& HeadwatersDialogOf(QWidget& frame);

}  // namespace orvane
