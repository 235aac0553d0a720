#include "app/shell/progress_form.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <thread>

namespace orvane {

TProgressWindow::TProgressWindow(QWidget* parent) : QDialog(parent, Qt::Tool) {
  setObjectName("ProgressForm");
  setWindowTitle("Progression");
  auto* layout = new QVBoxLayout(this);
  bar_ = new QProgressBar(this);
  bar_->setObjectName("ProgressBar");
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setMinimumWidth(300);
  layout->addWidget(bar_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  cancel_ = new QPushButton("Cancel", this);
  cancel_->setObjectName("CancelButton");
  cancel_->setEnabled(false);  // only a computation run off the GUI thread can be stopped
  buttons->addWidget(cancel_);
  layout->addLayout(buttons);
}

void TProgressWindow::SetPercent(int percent) {
  if (percent == bar_->value()) return;
  bar_->setValue(percent);
  bar_->repaint();
}

int TProgressWindow::Percent() const { return bar_->value(); }

TProgressSink::~TProgressSink() = default;

bool TProgressSink::OnWorker() const {
  return running_.load() && QThread::currentThread() != QCoreApplication::instance()->thread();
}

void TProgressSink::Begin() {
  if (OnWorker()) return;  // the window belongs to Run
  // Nested computations (a treatment that calls another) share one window.
  if (depth_++ > 0) return;
  OpenWindow();
  // The window is painted once; the computation runs on this thread, so only the bar is
  // repainted from then on.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TProgressSink::OpenWindow(bool cancellable) {
  cancelRequested_ = false;
  form_ = std::make_unique<TProgressWindow>(owner_);
  if (cancellable) {
    form_->setWindowModality(Qt::ApplicationModal);
    form_->CancelButton()->setEnabled(true);
    QPushButton* cancel = form_->CancelButton();
    QObject::connect(cancel, &QPushButton::clicked, cancel, [this, cancel] {
      cancel->setEnabled(false);
      RequestCancel();
    });
  }
  form_->show();
  if (owner_) {
    const QRect frame = owner_->window()->frameGeometry();
    form_->move(frame.center() - form_->rect().center());
  }
}

void TProgressSink::Step(double fraction) {
  fraction = std::clamp(fraction, 0.0, 1.0);
  if (OnWorker()) {
    percent_.store(static_cast<int>(fraction * 100.0), std::memory_order_relaxed);
    return;
  }
  if (!form_) return;
  form_->SetPercent(static_cast<int>(fraction * 100.0));
}

void TProgressSink::End() {
  if (OnWorker()) return;
  if (depth_ == 0) return;
  if (--depth_ > 0) return;
  form_.reset();
}

void TProgressSink::RunOffThread(const std::function<void()>& job) {
  if (running_.load()) {  // a treatment started from inside another: same thread, same window
    job();
    return;
  }
  percent_ = 0;
  ++depth_;
  OpenWindow(true);

  QEventLoop loop;
  QTimer timer;
  timer.setInterval(50);
  std::atomic<bool> finished{false};
  // The timer both moves the bar and ends the loop once the worker is done (a quit posted
  // by the worker could arrive before the loop runs).
  QObject::connect(&timer, &QTimer::timeout, form_.get(), [this, &finished, &loop] {
    form_->SetPercent(percent_.load(std::memory_order_relaxed));
    if (finished.load()) loop.quit();
  });
  timer.start();
  std::exception_ptr failure;
  running_ = true;
  const int run = ++runs_;
  std::thread worker([&] {
    try {
      if (workerHook_) workerHook_(run);
      job();
    } catch (...) {
      failure = std::current_exception();
    }
    finished = true;
  });
  loop.exec();
  worker.join();
  running_ = false;
  timer.stop();
  --depth_;
  form_.reset();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace orvane
