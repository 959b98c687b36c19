// SPDX-License-Identifier: MIT
// Opening an input for the length of one operation.
#pragma once

#include "input/raw_cursor.hpp"

#include <vantel/input.hpp>

#include <vector>

namespace vantel::detail {

// An opened input (open_raw): runs the openers of nested managed inputs from
// the outermost inward and holds the cursor they lead to. Every closer that an
// opener returned runs exactly once, innermost first: by close(), or by the
// destructor when a failure unwinds, where a closer's own failure is dropped
// so that the original one reaches the caller.
class Opening {
 public:
  explicit Opening(const Input& input);
  Opening(const Opening&) = delete;
  Opening& operator=(const Opening&) = delete;
  ~Opening();

  [[nodiscard]] Raw_cursor& cursor() const noexcept { return *cursor_; }

  // Runs the closers, innermost first. When one fails, the others still run
  // and the first failure propagates.
  void close();

 private:
  Input input_;                  // as given: a raw input needs nothing more
  std::vector<Input> inner_;     // what openers returned, keeping their cursors alive
  std::vector<Closer> closers_;  // outermost first
  Raw_cursor* cursor_ = nullptr;
};

// Opens `input`: `auto opened = open_raw(input);`.
[[nodiscard]] inline Opening open_raw(const Input& input) {
  return Opening(input);
}

}  // namespace vantel::detail
