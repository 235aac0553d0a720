#include "app/shell/result_placement_box.h"

#include <QRadioButton>
#include <QVBoxLayout>

namespace orvane {

TResultPlacementBox::TResultPlacementBox(const ResultPlacementOptions& placement, QWidget* parent)
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

ResultKind TResultPlacementBox::Kind() const {
  return wrapped_->isChecked() ? ResultKind::kWrappedImage : ResultKind::kParameterImage;
}

void TResultPlacementBox::Choose(ResultKind kind) {
  (kind == ResultKind::kWrappedImage ? wrapped_ : parameter_)->setChecked(true);
}

}  // namespace orvane
