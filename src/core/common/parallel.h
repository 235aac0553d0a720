// Line-parallel loops over the machine's cores with deterministic results.
//
// `ParallelForLines(count, body)` calls body(i) exactly once for every i in [0, count), on
// contiguous blocks of lines, one block per worker thread. Bodies must only write to their own
// lines (or to per-line slots) so the result does not depend on scheduling. The calling thread
// works too and is the only one that reports progress, from the shared count of finished lines.
// The sink's Cancelled() is called from every worker: it must be safe to call from any thread.
#pragma once

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "core/common/progress.h"

namespace orvane {

inline int WorkerCount() {
  const unsigned hw = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(hw, 1u, 16u));
}

template <class Body>
void ParallelForLines(int count, Body&& body, ProgressSink* progress = nullptr,
                      int minLinesPerWorker = 8) {
  if (count <= 0) return;
  const int workers = std::max(1, std::min(WorkerCount(), count / std::max(1, minLinesPerWorker)));
  std::atomic<int> done{0};
  std::atomic<bool> cancelled{false};
  // Every worker looks at the sink's cancel flag after each line, so a cancel stops the loop
  // within one line per worker; the lines already done keep their values, the others are not
  // computed (the caller sees Cancelled() and drops the result).
  auto runBlock = [&](int begin, int end, bool reports) {
    for (int i = begin; i < end; ++i) {
      if (cancelled.load(std::memory_order_relaxed)) return;
      body(i);
      const int finished = done.fetch_add(1, std::memory_order_relaxed) + 1;
      if (reports && progress) progress->Step(static_cast<double>(finished) / count);
      if (progress && progress->Cancelled()) cancelled.store(true, std::memory_order_relaxed);
    }
  };
  if (workers == 1) {
    runBlock(0, count, true);
    return;
  }
  std::vector<std::thread> threads;
  threads.reserve(static_cast<size_t>(workers - 1));
  const int block = (count + workers - 1) / workers;
  for (int w = 1; w < workers; ++w) {
    const int begin = w * block;
    const int end = std::min(count, begin + block);
    if (begin >= end) break;
    threads.emplace_back([&, begin, end] { runBlock(begin, end, false); });
  }
  runBlock(0, std::min(count, block), true);
  for (auto& t : threads) t.join();
}

}  // namespace orvane
