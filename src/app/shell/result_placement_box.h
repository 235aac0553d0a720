// The group of two radio buttons that says where a treatment's picture goes: "Parameter Image"
// (the parameter window) or "Wrapped Image" (over the DEM). Every treatment dialog that offers
// the choice builds it here; only the group's title, the buttons' object names and, in two
// dialogs, the second button's caption differ.
#pragma once

#include <QGroupBox>

#include "app/shell/result_kind.h"

class QRadioButton;

namespace orvane {

struct ResultPlacementOptions {
  const char* title;          // the group's caption: "Result", "OutPut Image" ...
  const char* parameterName;  // object name of "Parameter Image"
  const char* wrappedName;    // object name of the wrapped choice
  const char* wrappedCaption = "Wrapped Image";
  // "Parameter Image" checked at start; otherwise neither is (which reads as the parameter image).
  bool parameterChecked = true;
};

class TResultPlacementBox : public QGroupBox {
 public:
  explicit TResultPlacementBox(const ResultPlacementOptions& placement, QWidget* parent = nullptr);

  ResultKind Kind() const;
  void Choose(ResultKind kind);

 private:
  QRadioButton* parameter_;
  QRadioButton* wrapped_;
};

}  // namespace orvane
