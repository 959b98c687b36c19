#include "quote/lines_around.hpp"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

namespace vantel::detail {
namespace {

constexpr std::int64_t max_offset = std::numeric_limits<std::int64_t>::max();

// Appends the bytes of `run` but its carriage returns.
void append_but_returns(std::string& text, std::string_view run) {
  while (!run.empty()) {
    const std::size_t cr = run.find('\r');
    text.append(run.data(), std::min(cr, run.size()));
    if (cr == std::string_view::npos) return;
    run.remove_prefix(cr + 1);
  }
}

// Reads lines from a cursor two ways: runs of the bytes it holds at hand, and
// byte by byte where it holds none. A line is always read to its end: whether
// to go on looks at where the pending line began, not at where reading stands.
class Line_reader {
 public:
  Line_reader(Raw_cursor& raw, std::int64_t line_start, std::int64_t end_offset,
              const Line_sink& sink)
      : raw_(raw), end_offset_(end_offset), begin_(line_start), pos_(line_start), sink_(sink) {
    pending_.text.reserve(80);
  }

  void read() && {
    while (begin_ < end_offset_)
      if (!read_at_hand() && !read_one_byte()) break;
  }

 private:
  // Closes the pending line when it consumed at least one byte, so that an
  // input ending with a line feed gives no empty line after it.
  // The one pending line is reused, so that no line costs an allocation.
  void add_line() {
    if (begin_ == pos_) return;
    pending_.start_offset = begin_;
    sink_(pending_);
    pending_.text.clear();
    begin_ = pos_;
  }

  // Takes runs up to each line feed from the bytes at hand; stops short of
  // the last representable offset, which reading byte by byte handles.
  // Whether any byte was taken.
  bool read_at_hand() {
    const std::string_view at_hand = raw_.buffered();
    std::size_t used = 0;
    while (used < at_hand.size() && begin_ < end_offset_ && pos_ < max_offset) {
      const std::size_t room =
          std::min(at_hand.size() - used, static_cast<std::size_t>(max_offset - pos_));
      const std::string_view rest = at_hand.substr(used, room);
      const std::size_t lf = rest.find('\n');
      const std::size_t run = std::min(lf, rest.size());
      append_but_returns(pending_.text, rest.substr(0, run));
      pos_ += static_cast<std::int64_t>(run);
      used += run;
      if (lf != std::string_view::npos) {
        ++pos_;
        ++used;
        add_line();
      }
    }
    if (used != 0) raw_.consume(used);
    return used != 0;
  }

  // Reads one byte; whether reading goes on. A caller's cursor could go on
  // past the last representable offset: reading stops there.
  bool read_one_byte() {
    const Byte c = raw_.read_char();
    if (!c || pos_ == max_offset) {
      add_line();
      return false;
    }
    ++pos_;
    if (*c == '\n')
      add_line();
    else if (*c != '\r')
      pending_.text.push_back(static_cast<char>(*c));
    return true;
  }

  Raw_cursor& raw_;
  const std::int64_t end_offset_;
  std::int64_t begin_;  // first byte of the pending line
  std::int64_t pos_;    // next byte to read
  source_line pending_{};
  const Line_sink& sink_;
};

}  // namespace

void lines_around(std::int64_t line_start, std::int64_t end_offset, Raw_cursor& raw,
                  const Line_sink& sink) {
  if (raw.seek(line_start) == Seek_result::Invalid_position) return;
  Line_reader(raw, line_start, end_offset, sink).read();
}

}  // namespace vantel::detail
