// SPDX-License-Identifier: MIT
#include "text/cluster_walk.hpp"

#include "text/code_point.hpp"

#include <utf8proc.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vantel::detail {

namespace {

constexpr char32_t emoji_presentation = 0xFE0F;

// Spaces enough for the widest tab.
constexpr std::string_view spaces =
    "                                                                ";
static_assert(spaces.size() == max_tab_width);

bool printable_ascii(unsigned char byte) noexcept {
  return byte >= 0x20 && byte < 0x7F;
}

constexpr std::uint64_t ones = 0x0101010101010101;
constexpr std::uint64_t highs = 0x8080808080808080;

// High bits where a byte of `word` is not printable ASCII (0x20 to 0x7E),
// and maybe elsewhere too when one is not.
std::uint64_t unprintable(std::uint64_t word) noexcept {
  // A high bit after subtracting 0x20 marks a byte below it; after adding
  // 0x01, a byte of 0x7F or more; the word's own high bits, a byte above.
  const std::uint64_t below = (word - 0x20 * ones) & ~word;
  const std::uint64_t above = (word + ones) | word;
  return (below | above) & highs;
}

// Whether the eight bytes at `p` are all printable ASCII.
bool all_printable(const char* p) noexcept {
  std::uint64_t word = 0;
  std::memcpy(&word, p, sizeof word);
  return unprintable(word) == 0;
}

// The same for the thirty-two bytes at `p`, in a loop that compilers turn
// into a few vector instructions.
bool all_printable_32(const char* p) noexcept {
  unsigned char bytes[32] = {};
  std::memcpy(bytes, p, sizeof bytes);
  unsigned char outside = 0;
  for (const unsigned char byte : bytes)
    outside |= static_cast<unsigned char>(static_cast<unsigned char>(byte - 0x20) > 0x5E);
  return outside == 0;
}

bool regional_indicator(char32_t c) noexcept {
  return utf8proc_get_property(static_cast<utf8proc_int32_t>(c))->boundclass ==
         UTF8PROC_BOUNDCLASS_REGIONAL_INDICATOR;
}

int char_width(char32_t c) noexcept {
  return utf8proc_charwidth(static_cast<utf8proc_int32_t>(c));
}

}  // namespace

std::string_view Cluster::shown(std::string_view line) const noexcept {
  switch (kind) {
    case Cluster_kind::Tab:
      return spaces.substr(0, static_cast<std::size_t>(width));
    case Cluster_kind::Escaped:
      return escaped.text();
    case Cluster_kind::Text:
      break;
  }
  return line.substr(begin, end - begin);
}

bool all_printable_ascii(std::string_view text) noexcept {
  std::size_t at = 0;
  for (; at + 8 <= text.size(); at += 8)
    if (!all_printable(text.data() + at)) return false;
  for (; at < text.size(); ++at)
    if (!printable_ascii(static_cast<unsigned char>(text[at]))) return false;
  return true;
}

std::size_t Cluster_walk::skip_plain(std::size_t limit) noexcept {
  const std::size_t from = position_;
  limit = std::min(limit, line_.size());
  // Eight bytes at a time while all are printable ASCII and so is the byte
  // after them: none of them can then join another.
  while (position_ + 32 < limit && all_printable_32(line_.data() + position_) &&
         static_cast<unsigned char>(line_[position_ + 32]) < 0x80)
    position_ += 32;
  while (position_ + 8 < limit && all_printable(line_.data() + position_) &&
         static_cast<unsigned char>(line_[position_ + 8]) < 0x80)
    position_ += 8;
  // A byte stands alone unless the next one may extend its cluster.
  while (position_ < limit && printable_ascii(static_cast<unsigned char>(line_[position_])) &&
         (position_ + 1 == line_.size() || static_cast<unsigned char>(line_[position_ + 1]) < 0x80))
    ++position_;
  column_ += static_cast<std::int64_t>(position_ - from);
  return position_ - from;
}

bool Cluster_walk::next(Cluster& c) noexcept {
  if (position_ >= line_.size()) return false;
  c.begin = position_;
  c.column = column_;
  c.code_points = 1;
  c.utf16_units = 1;
  const auto byte = static_cast<unsigned char>(line_[position_]);
  // Most source text: a printable ASCII byte not followed by a byte that
  // could extend its cluster.
  if (printable_ascii(byte) &&
      (position_ + 1 == line_.size() || static_cast<unsigned char>(line_[position_ + 1]) < 0x80)) {
    ++position_;
    c.kind = Cluster_kind::Text;
    c.width = 1;
  } else {
    const Code_point first = decode(line_, position_);
    position_ += first.length;
    c.utf16_units = static_cast<std::int64_t>(first.utf16_units());
    if (first.valid && first.value == '\t') {
      c.kind = Cluster_kind::Tab;
      c.width = tab_width_ - column_ % tab_width_;
    } else if (!first.valid || is_escaped(first.value) || char_width(first.value) == 0) {
      c.kind = Cluster_kind::Escaped;
      c.escaped = !first.valid || first.value < 0x80 ? Escaped_form::of_byte(byte)
                                                     : Escaped_form::of_code_point(first.value);
      c.width = static_cast<std::int64_t>(c.escaped.text().size());
    } else {
      c.kind = Cluster_kind::Text;
      c.width = char_width(first.value);
      extend(c, first.value);
    }
  }
  c.end = position_;
  column_ += c.width;
  return true;
}

void Cluster_walk::extend(Cluster& c, char32_t first) noexcept {
  char32_t previous = first;
  utf8proc_int32_t state = 0;
  bool emoji = false;
  bool flag = false;
  while (position_ < line_.size()) {
    const Code_point next = decode(line_, position_);
    // A tab or anything escaped stands alone, whatever the break rules say.
    if (!next.valid || next.value == '\t' || is_escaped(next.value)) break;
    if (utf8proc_grapheme_break_stateful(static_cast<utf8proc_int32_t>(previous),
                                         static_cast<utf8proc_int32_t>(next.value), &state))
      break;
    emoji = emoji || next.value == emoji_presentation;
    flag = flag || (regional_indicator(previous) && regional_indicator(next.value));
    position_ += next.length;
    ++c.code_points;
    c.utf16_units += static_cast<std::int64_t>(next.utf16_units());
    previous = next.value;
  }
  if (emoji || flag) c.width = 2;
}

}  // namespace vantel::detail
