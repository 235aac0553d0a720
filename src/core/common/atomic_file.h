// Atomic file output: every file the program writes goes through here.
//
// The bytes are written to a temporary file in the target's directory and renamed over the
// target only when everything was written and flushed, so a failed or interrupted write never
// leaves a half-written file nor clobbers the previous one. Failures come back as a Status
// whose message names the file and the system's reason.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/common/result.h"

namespace orvane {

class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter();  // discards the temporary file unless Commit succeeded
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file beside `path` (code kCannotOpen on failure).
  Status Open(const std::string& path);
  // Appends bytes; after a failure every later call fails too and Commit reports the first
  // error (code kWriteFailed).
  Status Write(const void* data, std::size_t size);
  Status Write(std::string_view text) { return Write(text.data(), text.size()); }
  // Flushes, syncs and renames the temporary file onto the target.
  Status Commit();
  // Removes the temporary file; the target stays as it was.
  void Abandon();

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string tempPath_;
  std::FILE* file_ = nullptr;
  Status firstError_;
};

// Whole-content convenience: writes `contents` to `path` atomically.
Status WriteFileAtomically(const std::string& path, std::string_view contents);

// "'path': reason" with the text of errno value `errorNumber`.
std::string FileReason(const std::string& path, int errorNumber);

}  // namespace orvane
