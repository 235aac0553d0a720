// The progress window "Progression": a bar 0..100 shown while a long computation runs.
// TProgressSink connects it to the core's ProgressSink calls and to the DEM model's three
// progress callbacks; the window exists only between Begin and End.
#pragma once

#include <QDialog>
#include <memory>

#include "core/common/progress.h"

class QProgressBar;

namespace orvane {

class TProgressForm : public QDialog {
  Q_OBJECT

 public:
  explicit TProgressForm(QWidget* parent = nullptr);
  void SetPercent(int percent);
  int Percent() const;

 private:
  QProgressBar* bar_ = nullptr;
};

class TProgressSink : public ProgressSink {
 public:
  explicit TProgressSink(QWidget* owner) : owner_(owner) {}
  ~TProgressSink() override;
  void Begin() override;
  void Step(double fraction) override;
  void End() override;
  // The window while a computation runs, else null.
  TProgressForm* Window() const { return form_.get(); }

 private:
  QWidget* owner_;
  std::unique_ptr<TProgressForm> form_;
  int depth_ = 0;
};

}  // namespace orvane
