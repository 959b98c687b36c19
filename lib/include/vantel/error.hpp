// SPDX-License-Identifier: MIT
// A failure reported without an exception, for hosts built without them.
#pragma once

#include <string>
#include <system_error>

namespace vantel {

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

  /// Whether a failure was reported.
  explicit operator bool() const noexcept { return static_cast<bool>(code); }
};

}  // namespace vantel
