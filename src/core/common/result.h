// Error values of the core: a small integer code plus the user-facing message text.
//
// Codes follow the data classes' convention: 0 success, 1 allocation failure, 3 outside the
// grid or short read, 4 cannot open or position, 5 short read, 6 write failure, 7 wrong format
// or file too short. Higher layers show `message` as it stands.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace orvane {

enum ErrorCode : int {
  kOk = 0,
  kAllocationFailed = 1,
  kBadParameter = 2,
  kOutsideOrShortRead = 3,
  kCannotOpen = 4,
  kShortRead = 5,
  kWriteFailed = 6,
  kWrongFormat = 7,
  kCancelled = 8,
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
