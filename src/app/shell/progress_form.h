// The progress window "Progression": a bar 0..100 and a Cancel button shown while a long
// computation runs. TProgressSink connects it to the core's ProgressSink calls and to the DEM
// model's three progress callbacks.
//
// Run(f) is the way a handler starts a treatment: f runs on a worker thread while the window
// is shown modal, so the main window keeps repainting but takes no input that could change
// the DEM or the images f is reading. The worker only touches atomics of the sink; the bar
// is updated from them by a timer on the GUI thread. Cancel raises the flag the core loops
// poll through Cancelled(); Run then gives nothing back, so the handler changes no state.
#pragma once

#include <QDialog>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include "core/common/progress.h"

class QProgressBar;
class QPushButton;

namespace orvane {

class TProgressWindow : public QDialog {
  Q_OBJECT

 public:
  explicit TProgressWindow(QWidget* parent = nullptr);
  void SetPercent(int percent);
  int Percent() const;
  QPushButton* CancelButton() const { return cancel_; }

 private:
  QProgressBar* bar_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

class TProgressSink : public ProgressSink {
 public:
  explicit TProgressSink(QWidget* owner) : owner_(owner) {}
  ~TProgressSink() override;
  void Begin() override;
  void Step(double fraction) override;
  void End() override;
  bool Cancelled() const override { return cancelRequested_.load(std::memory_order_relaxed); }
  // The window while a computation runs, else null.
  TProgressWindow* Window() const { return form_.get(); }
  void RequestCancel() { cancelRequested_.store(true, std::memory_order_relaxed); }
  // Tests: called on the worker thread before each computation Run starts, with the number of
  // runs started so far (1 for the first); it may wait, for example for a cancel.
  void SetWorkerHook(std::function<void(int)> hook) { workerHook_ = std::move(hook); }

  // Runs `work` off the GUI thread under the modal window (see above). Empty when the user
  // cancelled; an exception thrown by `work` (std::bad_alloc included) is thrown again here.
  template <class F>
  auto Run(F&& work) -> std::optional<std::invoke_result_t<F&>> {
    using R = std::invoke_result_t<F&>;
    std::optional<R> result;
    RunOffThread([&] { result.emplace(std::invoke(work)); });
    if (Cancelled()) return std::nullopt;
    return result;
  }

 private:
  void RunOffThread(const std::function<void()>& job);
  bool OnWorker() const;
  // Shows a new window at the centre of the owner's; only a cancellable one is modal.
  void OpenWindow(bool cancellable = false);

  QWidget* owner_;
  std::unique_ptr<TProgressWindow> form_;
  int depth_ = 0;
  std::atomic<bool> cancelRequested_{false};
  std::atomic<bool> running_{false};
  std::atomic<int> percent_{0};
  std::function<void(int)> workerHook_;
  int runs_ = 0;
};

}  // namespace orvane
