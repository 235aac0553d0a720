// The group of two radio buttons that says where a treatment's picture goes: "Parameter Image"
// (the parameter window) or "Wrapped Image" (over the DEM). Every treatment dialog that offers
// the choice builds it here; only the group's title, the buttons' object names and, in two
// dialogs, the second button's caption differ.
#pragma once

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/shell/result_kind.h"

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
  explicit TResultPlacementBox(const ResultPlacementOptions& placement, QWidget* parent = nullptr)
      : QGroupBox(placement.title, parent),
        parameter_(new QRadioButton("Parameter Image", this)),
        wrapped_(new QRadioButton(placement.wrappedCaption, this)) {
    parameter_->setObjectName(placement.parameterName);
    wrapped_->setObjectName(placement.wrappedName);
    parameter_->setChecked(placement.parameterChecked);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(parameter_);
    layout->addWidget(wrapped_);
  }

  ResultKind Kind() const {
    return wrapped_->isChecked() ? ResultKind::kWrappedImage : ResultKind::kParameterImage;
  }
  void Choose(ResultKind kind) {
    (kind == ResultKind::kWrappedImage ? wrapped_ : parameter_)->setChecked(true);
  }

 private:
  QRadioButton* parameter_;
  QRadioButton* wrapped_;
};

}  // namespace orvane
