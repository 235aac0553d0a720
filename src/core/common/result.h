// Error values of the core: a small integer code plus the user-facing message text.
//
// The codes are the data classes' own numbers. Higher layers show `message` as it stands.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace orvane {

enum ErrorCode : int {
  kOk = 0,                  // success
  kAllocationFailed = 1,    // the memory could not be had
  kBadParameter = 2,        // a value the treatment refuses, or a missing input
  kOutsideOrShortRead = 3,  // outside the grid, or a short read
  kCannotOpen = 4,          // a file that cannot be opened or positioned
  kShortRead = 5,           // a file shorter than its header says
  kWriteFailed = 6,         // a write that did not complete
  kWrongFormat = 7,         // a file of another format, or too short to be one
  kCancelled = 8,           // the user cancelled the run
};

struct Error {
  int code = kOk;
  std::string message;
};

// A value or an Error; a minimal stand-in for std::expected, which C++20 lacks.
template <class T>
class Expected {
 public:
  Expected(T value) : state_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
  Expected(Error error) : state_(std::move(error)) {}  // NOLINT(google-explicit-constructor)

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  const Error& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, Error> state_;
};

// Success or an Error, for operations without a value.
class Status {
 public:
  Status() = default;
  Status(Error error) : error_(std::move(error)) {}  // NOLINT(google-explicit-constructor)
  static Status Ok() { return Status(); }

  bool ok() const { return error_.code == kOk; }
  explicit operator bool() const { return ok(); }
  int code() const { return error_.code; }
  const std::string& message() const { return error_.message; }
  const Error& error() const { return error_; }

 private:
  Error error_;
};

}  // namespace orvane
