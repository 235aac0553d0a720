// The dialogs of the shape treatments: TConvexityConcavityDialog (convexity and concavity, one dialog for
// both) and THorizontalSurfacesDialog (horizontal surfaces). Created once; their fields keep the values
// of the last use.
#pragma once

#include <QDialog>

#include "app/shell/result_kind.h"

class QRadioButton;
class QWidget;

namespace orvane {

class TDeclaredRadios;
class TResultPlacementBox;
class TWholeNumberEdit;

// Said when the window range is empty or 0: the window would be the single centre cell.
inline constexpr const char* kNoWindowRange = "The window range must be at least 1";

class TConvexityConcavityDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TConvexityConcavityDialog(QWidget* parent = nullptr);

  // R from SizeWinEdit: 0 while empty.
  int Range() const;
  // D: 100 or 255.
  int Dynamism() const;
  ResultKind Placement() const;

  // For tests and scripted use: what the user would type and click.
  void SetRange(int range);
  void ChooseDynamism(int dynamism);
  void ChoosePlacement(ResultKind kind);
  // Refuses a range below 1 (the dialog stays open on the field), else accepts.
  void OkClick();

 private:
  TWholeNumberEdit* sizeWin_ = nullptr;
  TDeclaredRadios* dynamism_ = nullptr;
  TResultPlacementBox* placement_ = nullptr;
};

class THorizontalSurfacesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit THorizontalSurfacesDialog(QWidget* parent = nullptr);

  int Range() const;
  int Dynamism() const;
  bool Binarize() const;
  ResultKind Placement() const;
  // Whether the panel holding "Output Dynamism" is shown (hidden with binarization).
  bool DynamismShown() const;

  void SetRange(int range);
  void ChooseDynamism(int dynamism);
  // "Selection and binarization" (true) or "All calculated values" (false).
  void ChooseBinarize(bool binarize);
  void ChoosePlacement(ResultKind kind);
  void OkClick();

 private:
  TWholeNumberEdit* sizeWin_ = nullptr;
  QRadioButton* range_ = nullptr;
  QRadioButton* binar_ = nullptr;
  QWidget* dynamismPanel_ = nullptr;
  TDeclaredRadios* dynamism_ = nullptr;
  TResultPlacementBox* placement_ = nullptr;
};

}  // namespace orvane
