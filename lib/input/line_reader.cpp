// SPDX-License-Identifier: MIT
#include "input/line_reader.hpp"

#include "support/placed.hpp"
#include "support/wide_integer.hpp"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string>
#include <system_error>

namespace vantel::detail {

namespace {

// How far a reader reads on instead of seeking.
constexpr std::int64_t read_on_limit = std::int64_t{1} << 16;

}  // namespace

void drop_returns(std::string& text) {
  // Most lines hold none: a byte search says so at memchr's speed.
  const std::size_t first = text.find('\r');
  if (first == std::string::npos) return;
  const auto from = text.begin() + static_cast<std::ptrdiff_t>(first);
  text.erase(std::remove(from, text.end(), '\r'), text.end());
}

bool Line_reader::seek(std::int64_t start) {
  if (position_ >= 0 && start >= position_ && start - position_ <= read_on_limit) {
    while (position_ < start) {
      const std::string_view at_hand = cursor_.buffered();
      if (!at_hand.empty()) {
        const auto n = static_cast<std::size_t>(
            std::min<std::int64_t>(start - position_, static_cast<std::int64_t>(at_hand.size())));
        cursor_.consume(n);
        position_ += static_cast<std::int64_t>(n);
        continue;
      }
      if (!cursor_.read_char()) {
        check_counted(position_, start);
        position_ = -1;
        return false;
      }
      ++position_;
    }
    return true;
  }
  position_ = -1;
  if (cursor_.seek(start) == Seek_result::Invalid_position) {
    check_counted(start, start);
    return false;
  }
  position_ = start;
  return true;
}

bool Line_reader::read(std::int64_t start, Read_line& line, std::size_t most) {
  line.text.clear();
  line.start = start;
  line.ended = false;
  goes_on_ = false;
  if (!seek(start)) return false;
  read_rest(line, most);
  return true;
}

bool Line_reader::next(Read_line& line) {
  line.text.clear();
  line.ended = false;
  line.start = position_;
  goes_on_ = false;
  if (position_ < 0 || position_ == max_offset) return false;
  read_rest(line, std::string::npos);
  return line.ended || !line.text.empty();
}

void Line_reader::check_counted(std::int64_t reached, std::int64_t line_start) {
  const std::int64_t counted = cursor_.counted_size();
  if (reached < 0 || reached >= counted) return;
  const std::int64_t line = cursor_.line_col_of_offset(line_start).first;
  throw Placed<std::system_error>(
      Failure_place(cursor_.name(), line), EIO, std::generic_category(),
      cursor_.name() + ": line " + std::to_string(line) +
          " is cut short: the input now ends at offset " + std::to_string(reached) + ", but held " +
          std::to_string(counted) + " bytes when its lines were counted");
}

void Line_reader::read_more(Read_line& line, std::size_t most) {
  if (goes_on_) read_rest(line, most);
}

void Line_reader::read_rest(Read_line& line, std::size_t most) {
  goes_on_ = false;
  const std::size_t until =
      line.text.size() + std::min(most, line.text.max_size() - line.text.size());
  // A caller's cursor could go on past the last representable offset:
  // reading stops there.
  while (position_ < max_offset) {
    if (line.text.size() >= until) {
      goes_on_ = true;
      return;
    }
    const std::string_view at_hand = cursor_.buffered();
    if (!at_hand.empty()) {
      const auto room = static_cast<std::size_t>(std::min<std::int64_t>(
          max_offset - position_, static_cast<std::int64_t>(at_hand.size())));
      const std::string_view rest = at_hand.substr(0, std::min(room, until - line.text.size()));
      const std::size_t lf = rest.find('\n');
      const std::size_t run = std::min(lf, rest.size());
      line.text.append(rest.data(), run);
      const std::size_t used = lf == std::string_view::npos ? run : run + 1;
      cursor_.consume(used);
      position_ += static_cast<std::int64_t>(used);
      if (lf == std::string_view::npos) continue;
      line.ended = true;
      return;
    }
    const Byte c = cursor_.read_char();
    if (!c) {
      check_counted(position_, line.start);
      return;
    }
    ++position_;
    if (*c == '\n') {
      line.ended = true;
      return;
    }
    line.text.push_back(static_cast<char>(*c));
  }
}

void read_span(Line_reader& reader, std::int64_t from, std::int64_t to,
               const std::function<void(std::string_view)>& take, std::size_t piece) {
  Read_line line;
  std::int64_t at = from;
  while (at < to && reader.read(at, line, std::min(piece, static_cast<std::size_t>(to - at)))) {
    if (!line.text.empty()) take(line.text);
    at += static_cast<std::int64_t>(line.text.size());
    if (line.ended) {
      take("\n");
      ++at;
    } else if (!reader.goes_on()) {
      return;  // the input's end
    }
  }
}

}  // namespace vantel::detail
