// The skeleton of the moving-window treatments: a value for every cell far enough from the
// borders for its window, and a margin of cells no window reaches.
//
// The driver owns what every such treatment repeats:
//   - the check that the window fits the DEM, with the treatment's own message
//     (CheckWindowFits);
//   - the output raster, with the grid memory message when it cannot be had, its margin set to
//     the treatment's fill value (AllocateWindowImage);
//   - the lines run over the cores, the progress reported from the finished lines, and the one
//     cancel error (WindowRun); the passes without progress (MapLines).
// A treatment keeps its parameter checks, its kernel and its own passes (extremes, colours).
//
// Threading rule: a kernel computes one line (or one block of lines) and writes only the cells
// of those lines, in every output it fills; it reads only what no kernel of the same pass
// writes. The results then do not depend on how the lines are shared between the cores.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/common/parallel.h"
#include "core/common/progress.h"
#include "core/common/result.h"

namespace orvane {

class TDemModel;
class TRasterImage;
struct TColor;

// A columns x lines grid and the rectangle of its cells that are computed; the others form the
// margin.
struct WindowFrame {
  // A margin wider than any grid: no cell is computed.
  static constexpr int kEverything = std::numeric_limits<int>::max();

  int columns = 0;
  int lines = 0;
  int firstColumn = 0;  // computed: columns [firstColumn, endColumn) of lines [firstLine, endLine)
  int firstLine = 0;
  int endColumn = 0;
  int endLine = 0;

  // The cells at least `margin` from every border.
  static WindowFrame Margin(int columns, int lines, int margin) {
    return {columns, lines, margin, margin, columns - margin, lines - margin};
  }
  bool HasCentre() const { return endLine > firstLine && endColumn > firstColumn; }
};

// Error{kBadParameter, message} when the model holds no grid or a window of side x side cells
// does not fit in it.
Status CheckWindowFits(const TDemModel& dem, std::int64_t side, const char* message);

// Allocates `image` (frame.columns x frame.lines of `kind`) and sets the cells of the frame's
// margin to `fill` (every cell when the frame computes none); the computed cells are left 0
// for the kernels. The grid memory error when the raster cannot be had.
Status AllocateWindowImage(TRasterImage& image, const WindowFrame& frame, std::uint8_t kind,
                           const TColor& fill);

// kernel(line) for every line in [first, end) over the cores, with neither progress nor
// cancel: for a pass whose progress is not reported, such as the quick last one that turns
// the values into the picture once they are all known.
template <class Kernel>
void MapLines(int first, int end, Kernel&& kernel) {
  if (end > first) ParallelForLines(end - first, [&](int index) { kernel(first + index); });
}

// One run of a treatment: Begin on the sink when made, End when it goes out of scope.
class WindowRun {
 public:
  explicit WindowRun(ProgressSink* progress, const char* cancelMessage = "Cancelled")
      : progress_(progress), scope_(progress), cancelOnly_(progress), cancelMessage_(cancelMessage) {}
  WindowRun(const WindowRun&) = delete;
  WindowRun& operator=(const WindowRun&) = delete;

  // kernel(line) for every line in [first, end) over the cores, the progress going from 0 to 1
  // over them. The cancel error when the sink was cancelled (the lines left then are not
  // computed).
  template <class Kernel>
  Status ForEachLine(int first, int end, Kernel&& kernel) {
    if (end > first) ParallelForLines(end - first, [&](int index) { kernel(first + index); }, progress_);
    return CheckCancel();
  }

  // kernel(blockFirst, blockEnd) for the blocks of `blockLines` lines that cut [first, end),
  // for kernels that carry work from a line to the next (rolling sums); otherwise as
  // ForEachLine, the progress counted in blocks.
  template <class Kernel>
  Status ForEachBlock(int first, int end, int blockLines, Kernel&& kernel) {
    if (end > first) {
      const int size = std::max(1, blockLines);
      const int blocks = (end - first + size - 1) / size;
      ParallelForLines(
          blocks,
          [&](int block) {
            const int begin = first + block * size;
            kernel(begin, std::min(end, begin + size));
          },
          progress_, 1);
    }
    return CheckCancel();
  }

  // The cancel error when the sink is cancelled, success otherwise.
  Status CheckCancel() const {
    if (scope_.Cancelled()) return Error{kCancelled, cancelMessage_};
    return Status::Ok();
  }
  void Step(double fraction) const { scope_.Step(fraction); }
  // The sink's cancel flag alone, for a pass whose progress is not reported.
  ProgressSink* CancelOnly() { return &cancelOnly_; }

 private:
  ProgressSink* progress_;
  ProgressScope scope_;
  CancelOnlySink cancelOnly_;
  const char* cancelMessage_;
};


// The driver of a moving-window treatment: it owns the frame, the picture's allocation and
// margin, the lines over the cores, the progress and the cancel; the treatment gives only its
// kernels. A one-pass treatment calls Drive; one with several passes calls Allocate, then
// Lines or Blocks for its measured pass and QuickLines for the quick last one.
class WindowDriver {
 public:
  WindowDriver(const WindowFrame& frame, ProgressSink* progress, const char* cancelMessage = "Cancelled")
      : frame_(frame), progress_(progress), cancelMessage_(cancelMessage) {}

  const WindowFrame& Frame() const { return frame_; }

  // The picture of the frame's size, its margin filled (AllocateWindowImage).
  Status Allocate(TRasterImage& image, std::uint8_t kind, const TColor& fill) const {
    return AllocateWindowImage(image, frame_, kind, fill);
  }

  // Allocate, then kernel(line) over the computed lines with progress and cancel; nothing is
  // run (and no progress begun) when the frame computes no cell.
  template <class Kernel>
  Status Drive(TRasterImage& image, std::uint8_t kind, const TColor& fill, Kernel&& kernel) {
    if (Status allocated = Allocate(image, kind, fill); !allocated) return allocated;
    if (!frame_.HasCentre()) return Status::Ok();
    return Lines(kernel);
  }

  // kernel(line) over the computed lines, the progress going from 0 to 1 over them; the cancel
  // error when the sink was cancelled.
  template <class Kernel>
  Status Lines(Kernel&& kernel) {
    return Run().ForEachLine(frame_.firstLine, frame_.endLine, kernel);
  }

  // kernel(blockFirst, blockEnd) over blocks of `blockLines` computed lines (rolling sums).
  template <class Kernel>
  Status Blocks(int blockLines, Kernel&& kernel) {
    return Run().ForEachBlock(frame_.firstLine, frame_.endLine, blockLines, kernel);
  }

  // kernel(line) over the computed lines without progress: a quick pass after the measured
  // ones, such as the one that turns the values into the picture once they are all known.
  template <class Kernel>
  void QuickLines(Kernel&& kernel) const {
    MapLines(frame_.firstLine, frame_.endLine, kernel);
  }

  // The run's progress and cancel, begun on first use, for the passes of the treatment's own.
  WindowRun& Run() {
    if (!run_) run_.emplace(progress_, cancelMessage_);
    return *run_;
  }

 private:
  WindowFrame frame_;
  ProgressSink* progress_;
  const char* cancelMessage_;
  std::optional<WindowRun> run_;
};

}  // namespace orvane
