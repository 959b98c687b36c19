// SPDX-License-Identifier: MIT
#include <vantel/formatter.hpp>

#include "support/wide_integer.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <ostream>

namespace vantel {

namespace {

constexpr std::size_t small_write = 8;

}  // namespace

Formatter::Formatter(std::ostream& out) : out_(out) {}

// Writes through the stream buffer: one quote can be millions of bytes, and a
// formatted stream insertion per byte would cost more than the quote itself.
// A stream that has failed takes nothing more: a quote can ask for far more
// bytes than anything could take.
void Formatter::write(const char* data, std::size_t size) {
  if (size == 0 || out_.bad()) return;
  std::streambuf* buf = out_.rdbuf();
  if (buf == nullptr) {
    out_.setstate(std::ios_base::badbit);
    return;
  }
  // Most writes are a few bytes (a space, a mark, a line feed): sputc puts
  // them in the buffer inline, where sputn makes a virtual call each.
  if (size <= small_write) {
    for (std::size_t i = 0; i < size; ++i) {
      if (std::streambuf::traits_type::eq_int_type(buf->sputc(data[i]),
                                                   std::streambuf::traits_type::eof())) {
        out_.setstate(std::ios_base::badbit);
        return;
      }
    }
    return;
  }
  const auto want = static_cast<std::streamsize>(size);
  if (buf->sputn(data, want) != want) out_.setstate(std::ios_base::badbit);
}

void Formatter::write_fill(std::int64_t count, char c) {
  char block[256];
  // Only as much of the block as is written: most fills are a few bytes.
  std::memset(block, c, static_cast<std::size_t>(std::min<std::int64_t>(count, sizeof block)));
  while (count > 0 && !out_.bad()) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(count, sizeof block));
    write(block, n);
    count -= static_cast<std::int64_t>(n);
  }
}

// Columns stop at the largest offset rather than wrap: an underline can run
// on that far, even though no stream would take it.
void Formatter::advance(std::int64_t count) noexcept {
  const std::int64_t room = detail::max_offset - column_;
  column_ = count > room ? detail::max_offset : column_ + count;
}

void Formatter::open_vbox() {
  boxes_.push_back(column_);
}

void Formatter::close_box() {
  if (!boxes_.empty()) boxes_.pop_back();
}

void Formatter::cut() {
  write("\n", 1);
  column_ = 0;
  const std::int64_t edge = boxes_.empty() ? 0 : boxes_.back();
  write_fill(edge, ' ');
  column_ = edge;
}

void Formatter::print_string(std::string_view text) {
  write(text.data(), text.size());
  // Most texts hold no line feed: a vectorised search forward says so faster
  // than a byte loop back from the end.
  if (text.empty() || std::memchr(text.data(), '\n', text.size()) == nullptr) {
    advance(static_cast<std::int64_t>(text.size()));
    return;
  }
  column_ = static_cast<std::int64_t>(text.size() - text.rfind('\n') - 1);
}

void Formatter::print_char(char c) {
  print_string(std::string_view(&c, 1));
}

void Formatter::print_repeat(std::int64_t count, char c) {
  if (count <= 0) return;
  if (c == '\n') {
    write_fill(count, c);
    column_ = 0;
    return;
  }
  write_fill(count, c);
  advance(count);
}

void Formatter::print_right_aligned(std::int64_t width, std::string_view text) {
  const auto size = static_cast<std::int64_t>(text.size());
  if (width > size) print_repeat(width - size, ' ');
  print_string(text);
}

// The tag functions are held for the length of the call: one of them may
// install others while it runs.
void Formatter::open_stag(const Stag& tag) {
  const auto functions = functions_;
  if (!functions) {
    open_tags_.push_back(&tag);
    return;
  }
  if (print_tags_ && functions->print_open_stag) functions->print_open_stag(tag);
  const std::size_t at = open_tags_.size();
  open_tags_.push_back(&tag);
  if (!mark_tags_ || !functions->mark_open_stag) return;
  try {
    const std::string text = functions->mark_open_stag(tag);
    write(text.data(), text.size());  // mark texts take no columns
  } catch (...) {
    // An opening that failed leaves no tag open, so that a later close does
    // not write this tag's close text.
    if (at < open_tags_.size() && open_tags_[at] == &tag)
      open_tags_.erase(open_tags_.begin() + static_cast<std::ptrdiff_t>(at));
    throw;
  }
}

void Formatter::close_stag() {
  if (open_tags_.empty()) return;
  const Stag& tag = *open_tags_.back();
  open_tags_.pop_back();
  const auto functions = functions_;
  if (!functions) return;
  if (mark_tags_ && functions->mark_close_stag) {
    const std::string text = functions->mark_close_stag(tag);
    write(text.data(), text.size());
  }
  if (print_tags_ && functions->print_close_stag) functions->print_close_stag(tag);
}

}  // namespace vantel
