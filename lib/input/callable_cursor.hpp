// SPDX-License-Identifier: MIT
// A cursor made of the caller's own callables.
#pragma once

#include "input/raw_cursor.hpp"

#include <cstdint>
#include <functional>
#include <utility>

namespace vantel::detail {

// Hands seek and read_char to the caller's callables as they are; the table
// callable runs at the first request only (the base class keeps its result or
// its failure).
class Callable_cursor final : public Raw_cursor {
 public:
  Callable_cursor(std::function<Seek_result(std::int64_t)> seek, std::function<Byte()> read_char,
                  std::function<Line_table()> line_offsets)
      : seek_(std::move(seek)),
        read_char_(std::move(read_char)),
        line_offsets_(std::move(line_offsets)) {}

  Seek_result seek(std::int64_t offset) override { return seek_(offset); }
  Byte read_char() override { return read_char_(); }

 protected:
  Line_table compute_line_offsets() override {
    // Called once: nothing of the caller's needs keeping after it.
    auto compute = std::move(line_offsets_);
    line_offsets_ = nullptr;
    return compute();
  }

 private:
  std::function<Seek_result(std::int64_t)> seek_;
  std::function<Byte()> read_char_;
  std::function<Line_table()> line_offsets_;
};

}  // namespace vantel::detail
