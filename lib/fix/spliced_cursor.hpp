// SPDX-License-Identifier: MIT
// A cursor over one spliced line, so that what reads inputs a piece at a
// time (the slice that a window shows) reads a changed line the same way.
#pragma once

#include "fix/spliced_line.hpp"
#include "input/raw_cursor.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantel::detail {

// Offsets count from the line's first byte; its bytes come from `input` and
// the edits' texts a piece at a time. Both must outlive the cursor.
class Spliced_cursor final : public Raw_cursor {
 public:
  Spliced_cursor(Raw_cursor& input, const Spliced_line& line) : input_(input), line_(line) {}

  [[nodiscard]] Seek_result seek(std::int64_t offset) override;
  [[nodiscard]] Byte read_char() override;
  [[nodiscard]] std::string_view buffered() override;
  void consume(std::size_t count) override;

 private:
  Raw_cursor& input_;
  const Spliced_line& line_;
  std::int64_t at_ = 0;  // the offset of piece_[used_]
  std::string piece_;
  std::size_t used_ = 0;
};

}  // namespace vantel::detail
