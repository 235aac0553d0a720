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

// A directory or file "marked read-only": no write bit for anyone. Root may write it anyway,
// but the user said it is not to be changed.
bool MarkedReadOnly(const struct stat& st) { return (st.st_mode & 0222) == 0; }

}  // namespace

std::string FileReason(const std::string& path, int errorNumber) {
  return "'" + path + "': " + std::strerror(errorNumber);
}

Status CheckReplaceable(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return Status::Ok();  // Open reports a missing directory
  int err = 0;
  if (S_ISDIR(st.st_mode)) err = EISDIR;
  else if (::access(path.c_str(), W_OK) != 0) err = errno;
  else if (MarkedReadOnly(st)) err = EACCES;
  if (err == 0) return Status::Ok();
  return Error{kCannotOpen, "cannot write " + FileReason(path, err)};
}

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

Status AtomicFileWriter::Create(const std::string& path) {
  Abandon();
  path_ = path;
  targetPath_ = path;
  firstError_ = Status::Ok();
  byName_ = false;
  if (path.empty()) return Error{kCannotOpen, "cannot create a file with an empty name"};
  if (Status s = CheckReplaceable(path); !s) return s;
  // Replacing a symbolic link would cut the link: the file it names is replaced instead.
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      targetPath_ = resolved;
      std::free(resolved);
    }
  }
  const std::string directory = DirectoryOf(targetPath_);
  if (::stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && MarkedReadOnly(st))
    return Error{kCannotOpen, "cannot create " + FileReason(path, EACCES)};
  // The temporary file lives in the target's directory so the rename stays on one file system.
  const auto slash = targetPath_.find_last_of('/');
  const std::string pattern =
      directory + "/." +
      (slash == std::string::npos ? targetPath_ : targetPath_.substr(slash + 1)) + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkstemp(buffer.data());
  if (fd < 0) {
    const int err = errno;
    return Error{kCannotOpen, "cannot create " + FileReason(path, err)};
  }
  // A replaced file keeps its permissions; a new one gets what a plain creation would give.
  const bool exists = ::stat(targetPath_.c_str(), &st) == 0;
  ::fchmod(fd, exists ? static_cast<mode_t>(st.st_mode & 07777) : DefaultFileMode());
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

Status AtomicFileWriter::Open(const std::string& path) { return Create(path); }

Status AtomicFileWriter::OpenForName(const std::string& path) {
  Status s = Create(path);
  if (!s) return s;
  std::fclose(file_);
  file_ = nullptr;
  byName_ = true;
  return s;
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
  int err = 0;
  if (byName_) {
    if (tempPath_.empty())
      return Error{kWriteFailed, "cannot write '" + path_ + "': the file is not open"};
    // The library closed its file: sync it through a descriptor of our own.
    const int fd = ::open(tempPath_.c_str(), O_RDONLY);
    if (fd < 0) err = errno;
    else {
      if (::fsync(fd) != 0 && errno != EINVAL) err = errno;
      ::close(fd);
    }
  } else {
    if (!file_) return Error{kWriteFailed, "cannot write '" + path_ + "': the file is not open"};
    if (std::fflush(file_) != 0) err = errno;
    if (err == 0 && ::fsync(::fileno(file_)) != 0 && errno != EINVAL) err = errno;
    if (std::fclose(file_) != 0 && err == 0) err = errno;
    file_ = nullptr;
  }
  if (err != 0) {
    Abandon();
    return Error{kWriteFailed, "cannot write " + FileReason(path_, err)};
  }
  if (::rename(tempPath_.c_str(), targetPath_.c_str()) != 0) {
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

Status WriteFilesAtomically(const std::vector<FileContents>& files) {
  std::vector<AtomicFileWriter> writers(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (Status s = writers[i].Open(files[i].path); !s) return s;
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (Status s = writers[i].Write(files[i].contents); !s) return s;
  }
  for (AtomicFileWriter& writer : writers) {
    if (Status s = writer.Commit(); !s) return s;
  }
  return Status::Ok();
}

}  // namespace orvane
