// Progress and cancellation for long computations.
//
// Treatments take a `ProgressSink*` (may be null). They call Begin once, Step with the
// fraction done (0..1) as they go, and End once; between steps they poll Cancelled() and
// stop early when it turns true. The GUI connects a sink to its progress window, the CLI
// to a terminal bar; tests pass nothing.
#pragma once

namespace orvane {

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void Begin() {}
  virtual void Step(double /*fraction*/) {}
  virtual void End() {}
  virtual bool Cancelled() const { return false; }
};

// Passes on only the cancel flag of another sink (which may be null): for a phase whose
// progress is not reported, so the bar does not start again from zero.
class CancelOnlySink : public ProgressSink {
 public:
  explicit CancelOnlySink(const ProgressSink* sink) : sink_(sink) {}
  bool Cancelled() const override { return sink_ && sink_->Cancelled(); }

 private:
  const ProgressSink* sink_;
};

// Calls Begin on construction and End on destruction; every call is safe with a null sink.
class ProgressScope {
 public:
  explicit ProgressScope(ProgressSink* sink) : sink_(sink) {
    if (sink_) sink_->Begin();
  }
  ~ProgressScope() {
    if (sink_) sink_->End();
  }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

  void Step(double fraction) const {
    if (sink_) sink_->Step(fraction);
  }
  bool Cancelled() const { return sink_ && sink_->Cancelled(); }

 private:
  ProgressSink* sink_;
};

}  // namespace orvane
