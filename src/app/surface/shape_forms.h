// The dialogs of the shape treatments: TConvexityConcavityDialog (convexity and concavity, one dialog for
// both) and THorizontalSurfacesDialog (horizontal surfaces). Created once; their fields keep the values
// of the last use.
#pragma once

#include <QDialog>

#include "app/shell/result_kind.h"

class QRadioButton;
class QVBoxLayout;
class QWidget;

namespace orvane {

struct TreatmentDescriptor;

class TDeclaredRadios;
class TResultPlacementBox;
class TWholeNumberEdit;

// Said when the window range is empty or 0: the window would be the single centre cell.
inline constexpr const char* kNoWindowRange = "The window range must be at least 1";

// What the shape dialogs share: the window range R (SizeWinEdit, refused below 1 on OK), the
// output dynamism D (100 or 255) and where the result goes. The subclass lays them out.
class TShapeRangeDialog : public QDialog {
  Q_OBJECT

 public:
  // R: 0 while empty.
  int Range() const;
  int Dynamism() const;
  ResultKind Placement() const;

  // For tests and scripted use: what the user would type and click.
  void SetRange(int range);
  void ChooseDynamism(int dynamism);
  void ChoosePlacement(ResultKind kind);
  // Why the range cannot be computed: below 1, or outside the declared range the command line
  // refuses too (with its message); empty when it can.
  QString Refusal() const;
  // Refuses what Refusal names (the dialog stays open on the field), else accepts.
  void OkClick();

 protected:
  TShapeRangeDialog(const char* objectName, const char* title, QWidget* parent);
  // "Size of the greater window range" and "Output Dynamism" of `treatment` in `layout` of
  // `panel`; "Result" at the end of `layout`.
  void AddRange(const TreatmentDescriptor& treatment, QWidget* panel, QVBoxLayout* layout);
  void AddDynamism(const TreatmentDescriptor& treatment, QWidget* panel, QVBoxLayout* layout);
  void AddPlacement(QVBoxLayout* layout);

 private:
  TWholeNumberEdit* sizeWin_ = nullptr;
  const TreatmentDescriptor* treatment_ = nullptr;
  TDeclaredRadios* dynamism_ = nullptr;
  TResultPlacementBox* placement_ = nullptr;
};

// Convexity and concavity: one dialog for both.
class TConvexityConcavityDialog : public TShapeRangeDialog {
  Q_OBJECT

 public:
  explicit TConvexityConcavityDialog(QWidget* parent = nullptr);
};

class THorizontalSurfacesDialog : public TShapeRangeDialog {
  Q_OBJECT

 public:
  explicit THorizontalSurfacesDialog(QWidget* parent = nullptr);

  bool Binarize() const;
  // Whether the panel holding "Output Dynamism" is shown (hidden with binarization).
  bool DynamismShown() const;
  // "Selection and binarization" (true) or "All calculated values" (false).
  void ChooseBinarize(bool binarize);

 private:
  QRadioButton* range_ = nullptr;
  QRadioButton* binar_ = nullptr;
  QWidget* dynamismPanel_ = nullptr;
};

}  // namespace orvane
