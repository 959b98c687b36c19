#include "lines_around.hpp"

#include <string>

namespace vantel::detail {

std::vector<source_line> lines_around(const lexing_position& start, const lexing_position& end,
                                      Raw_cursor& raw) {
  std::vector<source_line> lines;
  std::int64_t begin = start.line_start;  // first byte of the pending line
  std::int64_t pos = start.line_start;    // next byte to read
  if (raw.seek(start.line_start) == Seek_result::Invalid_position) return lines;

  std::string pending;
  pending.reserve(80);
  // Closes the pending line when it consumed at least one byte, so that an
  // input ending with a line feed gives no empty line after it.
  const auto add_line = [&] {
    if (begin < pos) {
      lines.push_back(source_line{pending, begin});
      pending.clear();
      begin = pos;
    }
  };
  // A line is always read to its end: the test looks at where the pending
  // line began, not at where reading stands.
  while (begin < end.char_offset) {
    const Byte c = raw.read_char();
    if (!c) {
      add_line();
      break;
    }
    // A caller's cursor could go on past the last representable offset.
    if (pos == INT64_MAX) {
      add_line();
      break;
    }
    ++pos;
    if (*c == '\n')
      add_line();
    else if (*c != '\r')
      pending.push_back(static_cast<char>(*c));
  }
  return lines;
}

}  // namespace vantel::detail
