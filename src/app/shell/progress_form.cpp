#include "app/shell/progress_form.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QVBoxLayout>

namespace orvane {

TProgressForm::TProgressForm(QWidget* parent) : QDialog(parent, Qt::Tool) {
  setObjectName("ProgressForm");
  setWindowTitle("Progression");
  auto* layout = new QVBoxLayout(this);
  bar_ = new QProgressBar(this);
  bar_->setObjectName("ProgressBar");
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setMinimumWidth(300);
  layout->addWidget(bar_);
}

void TProgressForm::SetPercent(int percent) {
  if (percent == bar_->value()) return;
  bar_->setValue(percent);
  bar_->repaint();
}

int TProgressForm::Percent() const { return bar_->value(); }

TProgressSink::~TProgressSink() = default;

void TProgressSink::Begin() {
  // Nested computations (a treatment that calls another) share one window.
  if (depth_++ > 0) return;
  form_ = std::make_unique<TProgressForm>(owner_);
  form_->show();
  if (owner_) {
    const QRect frame = owner_->window()->frameGeometry();
    form_->move(frame.center() - form_->rect().center());
  }
  // The window is painted once; the computation runs on this thread, so only the bar is
  // repainted from then on.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TProgressSink::Step(double fraction) {
  if (!form_) return;
  if (fraction < 0.0) fraction = 0.0;
  if (fraction > 1.0) fraction = 1.0;
  form_->SetPercent(static_cast<int>(fraction * 100.0));
}

void TProgressSink::End() {
  if (depth_ == 0) return;
  if (--depth_ > 0) return;
  form_.reset();
}

}  // namespace orvane
