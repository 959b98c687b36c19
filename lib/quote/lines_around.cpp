#include "quote/lines_around.hpp"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace vantel::detail {
namespace {

// Appends the bytes of `run` but its carriage returns.
void append_but_returns(std::string& text, std::string_view run) {
  while (!run.empty()) {
    const std::size_t cr = run.find('\r');
    text.append(run.data(), std::min(cr, run.size()));
    if (cr == std::string_view::npos) return;
    run.remove_prefix(cr + 1);
  }
}

}  // namespace

std::vector<source_line> lines_around(std::int64_t line_start, std::int64_t end_offset,
                                      Raw_cursor& raw) {
  std::vector<source_line> lines;
  std::int64_t begin = line_start;  // first byte of the pending line
  std::int64_t pos = line_start;    // next byte to read
  if (raw.seek(line_start) == Seek_result::Invalid_position) return lines;

  std::string pending;
  pending.reserve(80);
  // Closes the pending line when it consumed at least one byte, so that an
  // input ending with a line feed gives no empty line after it.
  const auto add_line = [&] {
    if (begin < pos) {
      lines.push_back(source_line{std::move(pending), begin});
      pending.clear();
      pending.reserve(80);
      begin = pos;
    }
  };
  // A line is always read to its end: the test looks at where the pending
  // line began, not at where reading stands.
  while (begin < end_offset) {
    // Runs up to each line feed, from the bytes at hand; pos stops short of
    // the last representable offset, which the byte by byte path handles.
    const std::string_view at_hand = raw.buffered();
    std::size_t used = 0;
    while (used < at_hand.size() && begin < end_offset && pos < INT64_MAX) {
      const std::size_t room =
          std::min(at_hand.size() - used, static_cast<std::size_t>(INT64_MAX - pos));
      const std::string_view rest = at_hand.substr(used, room);
      const std::size_t lf = rest.find('\n');
      const std::size_t run = std::min(lf, rest.size());
      append_but_returns(pending, rest.substr(0, run));
      pos += static_cast<std::int64_t>(run);
      used += run;
      if (lf != std::string_view::npos) {
        ++pos;
        ++used;
        add_line();
      }
    }
    if (used != 0) {
      raw.consume(used);
      continue;
    }

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
