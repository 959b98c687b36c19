// SPDX-License-Identifier: MIT
// Reading whole lines of an opened input: one at a given start, or each in
// turn from there.
#pragma once

#include "input/raw_cursor.hpp"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vantel::detail {

// A line as the input holds it.
struct Read_line {
  std::string text;        // up to its line feed, which is left out; carriage returns kept
  std::int64_t start = 0;  // the offset of its first byte
  bool ended = false;      // by a line feed
};

// The line's text without the carriage return that stands right before its
// line feed: how the text layout and reports see a line.
[[nodiscard]] inline std::string_view without_final_return(const Read_line& line) noexcept {
  std::string_view text = line.text;
  if (line.ended && !text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

// Drops every carriage return of `text`: how the byte layout sees a line.
void drop_returns(std::string& text);

// Reads lines through a cursor. A line a little after the last one read is
// reached by reading on rather than seeking, so that lines taken in
// ascending order cost one pass over the text between them. Bytes that the
// cursor holds at hand are taken many at a time, never further than reading
// them one by one would go. A line that ends before the bytes that the
// cursor's table has counted finds an input that shrank since (another
// writer, a tag handler): std::system_error naming the input and the line,
// rather than a line read empty or short.
class Line_reader {
 public:
  explicit Line_reader(Raw_cursor& cursor) noexcept : cursor_(cursor) {}

  // Reads the line from `start` to its line feed or the end of the input
  // into `line`, reusing its buffer, or its first `most` bytes. False, with
  // the line empty, when the cursor cannot seek there.
  bool read(std::int64_t start, Read_line& line, std::size_t most = std::string::npos);

  // Whether the last read stopped at its `most` bytes, before the line's end.
  [[nodiscard]] bool goes_on() const noexcept { return goes_on_; }
  // Appends the next `most` bytes of a line that goes on: a long line read
  // piece by piece, never whole.
  void read_more(Read_line& line, std::size_t most);

  // Reads the line after the last one read (or from where `read` or `seek`
  // left the cursor). False when no byte is left: an input that ends with a
  // line feed has no empty line after it.
  bool next(Read_line& line);

  // Makes `next` read from `start`; false when the cursor cannot seek there.
  bool seek(std::int64_t start);

  // Where the line that `next` reads starts; -1 when unknown.
  [[nodiscard]] std::int64_t position() const noexcept { return position_; }

 private:
  void read_rest(Read_line& line, std::size_t most);
  // Throws when the input ended at `reached`, before the bytes counted.
  void check_counted(std::int64_t reached, std::int64_t line_start);

  Raw_cursor& cursor_;
  std::int64_t position_ = -1;  // where the cursor stands, -1 when unknown
  bool goes_on_ = false;
};

// Hands `take` the bytes from `from` to `to`, line feeds included, a piece
// of at most `piece` bytes at a time: a long span is never held whole. Stops
// early at the input's end.
void read_span(Line_reader& reader, std::int64_t from, std::int64_t to,
               const std::function<void(std::string_view)>& take,
               std::size_t piece = std::size_t{1} << 16);

}  // namespace vantel::detail
