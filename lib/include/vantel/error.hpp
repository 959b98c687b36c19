// SPDX-License-Identifier: MIT
// A failure reported without an exception, for hosts built without them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <system_error>
#include <utility>

namespace vantel {

/// Where a failure lies: every exception that the library throws about a
/// place in an input also derives from this, so that a host tells whose
/// input failed without reading what():
///   catch (const std::exception& e) {
///     if (const auto* place = dynamic_cast<const vantel::Failure_place*>(&e)) ...
///   }
class Failure_place {
 public:
  /// A failure of `input` (its name as given), about line `line` (0 for
  /// none).
  Failure_place(std::string input, std::int64_t line)
      : input_(std::make_shared<const std::string>(std::move(input))), line_(line) {}

  /// The name of the input, as given to it (Input::string(text, name), a
  /// file's path, a report label's source name), not escaped.
  [[nodiscard]] const std::string& input() const noexcept { return *input_; }
  /// The line the failure is about, counted from 1; 0 when it is about none.
  [[nodiscard]] std::int64_t line() const noexcept { return line_; }

  /// Copies never throw, as an exception's must not.
  Failure_place(const Failure_place&) noexcept = default;
  /// As the copy.
  Failure_place& operator=(const Failure_place&) noexcept = default;
  virtual ~Failure_place() = default;

 private:
  // Shared, so that copying an exception never throws.
  std::shared_ptr<const std::string> input_;
  std::int64_t line_;
};

/// What a non-throwing call (one that takes an `Error&` as its last
/// parameter and is noexcept) reports instead of throwing. After the call,
/// the error is empty on success; on failure, `code` says which exception
/// the throwing twin would have thrown and `message` is that exception's
/// what(), word for word:
///   - std::errc::invalid_argument for std::invalid_argument;
///   - std::errc::result_out_of_range for std::out_of_range;
///   - std::errc::value_too_large for std::overflow_error and std::length_error;
///   - std::errc::not_enough_memory for std::bad_alloc;
///   - the exception's own code for std::system_error (and std::ios_base::failure);
///   - std::errc::io_error for any other exception, a host callable's included.
/// An Error is a plain value: give each thread its own.
struct Error {
  std::error_code code;  ///< empty on success
  std::string message;   ///< the failure, naming the input and the position
  /// The name of the input that failed, as Failure_place::input() gives it;
  /// empty when the failure is about no input (a bad Layout, a fix).
  std::string input;
  /// The line the failure is about, counted from 1; 0 when none.
  std::int64_t line = 0;

  /// Whether a failure was reported.
  explicit operator bool() const noexcept { return static_cast<bool>(code); }
};

}  // namespace vantel
