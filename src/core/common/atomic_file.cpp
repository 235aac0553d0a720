#include "core/common/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace orvane {

namespace {

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The mode a plainly created file would get: 0666 minus the process umask.
mode_t DefaultFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

std::string FileReason(const std::string& path, int errorNumber) {
  return "'" + path + "': " + std::strerror(errorNumber);
}

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

Status AtomicFileWriter::Open(const std::string& path) {
  Abandon();
  path_ = path;
  firstError_ = Status::Ok();
  if (path.empty()) return Error{kCannotOpen, "cannot create a file with an empty name"};
  // The temporary file lives in the target's directory so the rename stays on one file system.
  std::string pattern = DirectoryOf(path) + "/.";
  const auto slash = path.find_last_of('/');
  pattern += (slash == std::string::npos ? path : path.substr(slash + 1)) + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkstemp(buffer.data());
  if (fd < 0) {
    const int err = errno;
    return Error{kCannotOpen, "cannot create " + FileReason(path, err)};
  }
  ::fchmod(fd, DefaultFileMode());
  tempPath_ = buffer.data();
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    const int err = errno;
    ::close(fd);
    ::unlink(tempPath_.c_str());
    tempPath_.clear();
    return Error{kCannotOpen, "cannot create " + FileReason(path, err)};
  }
  return Status::Ok();
}

Status AtomicFileWriter::Write(const void* data, std::size_t size) {
  if (!firstError_.ok()) return firstError_;
  if (!file_) {
    firstError_ = Error{kWriteFailed, "cannot write '" + path_ + "': the file is not open"};
    return firstError_;
  }
  if (size == 0) return Status::Ok();
  if (std::fwrite(data, 1, size, file_) != size) {
    const int err = errno;
    firstError_ = Error{kWriteFailed, "cannot write " + FileReason(path_, err)};
  }
  return firstError_;
}

Status AtomicFileWriter::Commit() {
  if (!firstError_.ok()) {
    Abandon();
    return firstError_;
  }
  if (!file_) return Error{kWriteFailed, "cannot write '" + path_ + "': the file is not open"};
  int err = 0;
  if (std::fflush(file_) != 0) err = errno;
  if (err == 0 && ::fsync(::fileno(file_)) != 0 && errno != EINVAL) err = errno;
  if (std::fclose(file_) != 0 && err == 0) err = errno;
  file_ = nullptr;
  if (err != 0) {
    Abandon();
    return Error{kWriteFailed, "cannot write " + FileReason(path_, err)};
  }
  if (::rename(tempPath_.c_str(), path_.c_str()) != 0) {
    err = errno;
    Abandon();
    return Error{kWriteFailed, "cannot write " + FileReason(path_, err)};
  }
  tempPath_.clear();
  return Status::Ok();
}

void AtomicFileWriter::Abandon() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!tempPath_.empty()) {
    ::unlink(tempPath_.c_str());
    tempPath_.clear();
  }
}

Status WriteFileAtomically(const std::string& path, std::string_view contents) {
  AtomicFileWriter writer;
  if (Status s = writer.Open(path); !s) return s;
  if (Status s = writer.Write(contents); !s) return s;
  return writer.Commit();
}

}  // namespace orvane
