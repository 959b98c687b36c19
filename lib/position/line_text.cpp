#include "position/line_text.hpp"

namespace vantel::detail {

std::string_view read_line(Raw_cursor& cursor, std::int64_t start, std::string& scratch) {
  scratch.clear();
  if (cursor.seek(start) == Seek_result::Invalid_position) return {};
  for (;;) {
    const std::string_view at_hand = cursor.buffered();
    if (!at_hand.empty()) {
      const std::size_t lf = at_hand.find('\n');
      if (lf == std::string_view::npos) {
        scratch.append(at_hand);
        cursor.consume(at_hand.size());
        continue;
      }
      std::string_view line = at_hand.substr(0, lf);
      if (!scratch.empty()) line = scratch.append(line);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      return line;
    }
    const Byte c = cursor.read_char();
    if (!c) return scratch;
    if (*c == '\n') {
      if (!scratch.empty() && scratch.back() == '\r') scratch.pop_back();
      return scratch;
    }
    scratch.push_back(static_cast<char>(*c));
  }
}

}  // namespace vantel::detail
