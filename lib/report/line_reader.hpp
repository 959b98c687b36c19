// Reading whole lines of an opened input, one at a time, in any order.
#pragma once

#include "input/raw_cursor.hpp"

#include <cstdint>
#include <string>

namespace vantel::detail {

struct Read_line {
  std::string text;    // up to the line feed; a carriage return just before it is left out
  bool ended = false;  // by a line feed (or a carriage return and a line feed)
};

// Reads the line that starts at a given offset. A line a little after the
// last one read is reached by reading on rather than seeking, so that lines
// taken in ascending order cost one pass over the text between them.
class Line_reader {
 public:
  explicit Line_reader(Raw_cursor& cursor) noexcept : cursor_(cursor) {}

  // The line from `start` to its line feed or the end of the input; empty
  // when the cursor cannot seek there.
  [[nodiscard]] Read_line read(std::int64_t start);

 private:
  bool reach(std::int64_t start);

  Raw_cursor& cursor_;
  std::int64_t position_ = -1;  // where the cursor stands, -1 when unknown
};

}  // namespace vantel::detail
