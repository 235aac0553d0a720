// Atomic file output: every file the program writes goes through here.
//
// The bytes are written to a temporary file in the target's directory and renamed over the
// target only when everything was written and flushed, so a failed or interrupted write never
// leaves a half-written file nor clobbers the previous one. Failures come back as a Status
// whose message names the file and the system's reason.
//
// A target that exists must be writable: a file without write permission for the user, or
// marked read-only for everyone (no write bit at all, which also holds for root), is refused
// with "Permission denied" instead of being replaced behind the user's back; the same goes
// for a directory marked read-only for everyone. A replaced file keeps its permission bits;
// a symbolic link is followed and the file it names is replaced.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

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
  // For libraries that write a file by its name (GDAL, the printer): creates the temporary
  // file like Open but keeps no stream on it; the library writes TemporaryPath(), then
  // Commit syncs it and renames it onto the target.
  Status OpenForName(const std::string& path);
  const std::string& TemporaryPath() const { return tempPath_; }
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
  Status Create(const std::string& path);

  std::string path_;
  std::string targetPath_;  // path_ with a symbolic link resolved
  std::string tempPath_;
  std::FILE* file_ = nullptr;
  Status firstError_;
  bool byName_ = false;
};

// Whole-content convenience: writes `contents` to `path` atomically.
Status WriteFileAtomically(const std::string& path, std::string_view contents);

// Several files saved together (a header and its data, the files of a map): every target is
// checked and every temporary file written before the first rename, so a refused target or a
// failed write leaves all of them as they were.
struct FileContents {
  std::string path;
  std::string_view contents;
};
Status WriteFilesAtomically(const std::vector<FileContents>& files);

// Whether `path` may be replaced: Ok when it does not exist or is a writable file; otherwise
// "cannot write 'path': reason" (code kCannotOpen), e.g. "Permission denied", "Is a directory".
Status CheckReplaceable(const std::string& path);

// "'path': reason" with the text of errno value `errorNumber`.
std::string FileReason(const std::string& path, int errorNumber);

}  // namespace orvane
