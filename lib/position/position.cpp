// SPDX-License-Identifier: MIT
#include "position/position_node.hpp"
#include "position/resolve.hpp"
#include "position/unit_line_col.hpp"

#include "input/opening.hpp"

#include "support/capture.hpp"
#include "support/checked.hpp"
#include "support/unnamed.hpp"
#include "text/layout_limits.hpp"

#include <vantel/escaped_text.hpp>
#include <vantel/position.hpp>

#include <atomic>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vantel {

bool operator==(const lexing_position& a, const lexing_position& b) noexcept {
  return a.file_name == b.file_name && a.line_number == b.line_number &&
         a.line_start == b.line_start && a.char_offset == b.char_offset;
}

namespace detail {

namespace {

// Offsets of up to 62 bits, and lines and columns of up to 31 bits each, are
// held in the word above its tag; the signed shifts right below are
// arithmetic on every compiler that builds this library.
constexpr std::int64_t inline_offset_limit = std::int64_t{1} << 61;
constexpr std::int64_t inline_line_col_limit = std::int64_t{1} << 30;

bool fits(std::int64_t n, std::int64_t limit) {
  return n >= -limit && n < limit;
}
std::uint64_t offset_word(std::int64_t offset) {
  return (static_cast<std::uint64_t>(offset) << 2) | Position_access::offset_tag;
}
std::int64_t offset_of_word(std::uint64_t word) {
  return static_cast<std::int64_t>(word) >> 2;
}
std::uint64_t line_col_word(std::int64_t line, std::int64_t col) {
  return (static_cast<std::uint64_t>(line) << 33) |
         ((static_cast<std::uint64_t>(col) << 2) & ((std::uint64_t{1} << 33) - 1)) |
         Position_access::line_col_tag;
}
std::int64_t line_of_word(std::uint64_t word) {
  return static_cast<std::int64_t>(word) >> 33;
}
std::int64_t col_of_word(std::uint64_t word) {
  return static_cast<std::int64_t>(word << 31) >> 33;
}

void release(std::uint64_t word) noexcept {
  Position_node* n = Position_access::node(word);
  if (n != nullptr && n->references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete n;
}

void retain(std::uint64_t word) noexcept {
  if (Position_node* n = Position_access::node(word))
    n->references.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

Position_node::~Position_node() {
  // Take over the rest of the chain one node at a time while this node is its
  // only owner, so each node dies with no base left to destroy recursively.
  Position next = std::move(base);
  for (;;) {
    Position_node* n = Position_access::node(next);
    if (n == nullptr || n->references.load(std::memory_order_acquire) != 1) break;
    Position after = std::move(n->base);
    next = std::move(after);
  }
}

Position_fields Position_access::fields(const Position& p) {
  if (p.word_ == moved_from)
    throw Unnamed<std::invalid_argument>("cannot resolve a position that was moved from");
  switch (p.word_ & 3) {
    case offset_tag: {
      Position_fields fields{Position_kind::Offset};
      fields.offset = offset_of_word(p.word_);
      return fields;
    }
    case line_col_tag: {
      Position_fields fields{Position_kind::Line_col};
      fields.line = line_of_word(p.word_);
      fields.col = col_of_word(p.word_);
      return fields;
    }
    default:
      break;
  }
  const Position_node& n = *node(p.word_);
  return {n.kind, n.offset, n.line, n.col, n.amount, &n.lexing, &n.base, n.unit, n.tab_width};
}

namespace {

// The offset of `position`; shifts are walked in a loop, and their amounts
// added innermost first, so that each partial sum is checked as it is formed.
std::int64_t offset_of(Raw_cursor& cursor, const Position_fields& position) {
  std::vector<std::int64_t> amounts;
  Position_fields at = position;
  while (at.kind == Position_kind::Shift) {
    amounts.push_back(at.amount);
    if (Position_access::is_moved_from(*at.base))
      throw Unnamed<std::invalid_argument>(
          "cannot resolve a shift of a position that was moved from");
    at = Position_access::fields(*at.base);
  }
  std::int64_t offset = 0;
  switch (at.kind) {
    case Position_kind::Offset:
      offset = at.offset;
      break;
    case Position_kind::Line_col:
      offset = cursor.find_offset(at.line, at.col);
      break;
    case Position_kind::Lexing:
      offset = at.lexing->char_offset;
      break;
    case Position_kind::Unit_line_col:
      offset = resolve_unit_line_col(cursor, at).char_offset;
      break;
    case Position_kind::Shift:
      break;  // left by the loop above
  }
  for (auto it = amounts.rbegin(); it != amounts.rend(); ++it) {
    if (__builtin_add_overflow(offset, *it, &offset))
      throw Unnamed<std::overflow_error>("a shift by " + std::to_string(*it) +
                                         " takes the offset past 64 bits");
  }
  return offset;
}

Resolved_position of_table_offset(Raw_cursor& cursor, std::int64_t offset) {
  const auto [line, col] = cursor.line_col_of_offset(offset);
  return {line, checked_sub(offset, col, "start of a line"), offset};
}

lexing_position with_empty_name(const Resolved_position& p) {
  return {std::string(), p.line_number, p.line_start, p.char_offset};
}

}  // namespace

std::string input_name(const Raw_cursor& cursor) {
  return escaped_text(cursor.name());
}

std::int64_t to_offset_raw(Raw_cursor& cursor, const Position& position) {
  return offset_of(cursor, Position_access::fields(position));
}

Resolved_position resolve_raw(Raw_cursor& cursor, const Position& position) {
  const Position_fields fields = Position_access::fields(position);
  switch (fields.kind) {
    case Position_kind::Offset:
      return of_table_offset(cursor, fields.offset);
    case Position_kind::Line_col: {
      const std::int64_t start = cursor.find_line_offset(fields.line);
      return {fields.line, start, cursor.find_offset(fields.line, fields.col)};
    }
    case Position_kind::Lexing:
      return {fields.lexing->line_number, fields.lexing->line_start, fields.lexing->char_offset};
    case Position_kind::Unit_line_col:
      return resolve_unit_line_col(cursor, fields);
    case Position_kind::Shift:
      break;
  }
  return of_table_offset(cursor, offset_of(cursor, fields));
}

lexing_position to_lexing_raw(Raw_cursor& cursor, const Position& position) {
  const Position_fields fields = Position_access::fields(position);
  if (fields.kind == Position_kind::Lexing) return *fields.lexing;
  return with_empty_name(resolve_raw(cursor, position));
}

}  // namespace detail

using detail::Position_access;
using detail::Position_kind;
using detail::Position_node;

Position::Position(const Position& other) noexcept : word_(other.word_) {
  detail::retain(word_);
}

Position::Position(Position&& other) noexcept : word_(Position_access::take(other)) {}

Position& Position::operator=(const Position& other) noexcept {
  detail::retain(other.word_);  // first: `other` may be this position
  detail::release(std::exchange(word_, other.word_));
  return *this;
}

Position& Position::operator=(Position&& other) noexcept {
  if (this == &other) return *this;
  detail::release(std::exchange(word_, Position_access::take(other)));
  return *this;
}

Position::~Position() {
  detail::release(word_);
}

namespace {

// A node of `kind` for the fields that no word holds.
Position_node* new_node(Position_kind kind, Position base) {
  return new Position_node(kind, std::move(base));
}
Position moved_from_position() {
  return Position_access::make(std::uint64_t{Position_access::moved_from});
}

}  // namespace

Position Position::of_lexing(lexing_position p) {
  auto* node = new_node(Position_kind::Lexing, moved_from_position());
  node->lexing = std::move(p);
  return Position_access::make(node);
}

Position Position::of_offset(std::int64_t offset) {
  if (detail::fits(offset, detail::inline_offset_limit))
    return Position_access::make(detail::offset_word(offset));
  auto* node = new_node(Position_kind::Offset, moved_from_position());
  node->offset = offset;
  return Position_access::make(node);
}

Position Position::of_line_col(std::int64_t line, std::int64_t col) {
  if (detail::fits(line, detail::inline_line_col_limit) &&
      detail::fits(col, detail::inline_line_col_limit))
    return Position_access::make(detail::line_col_word(line, col));
  auto* node = new_node(Position_kind::Line_col, moved_from_position());
  node->line = line;
  node->col = col;
  return Position_access::make(node);
}

Position Position::of_line_col(std::int64_t line, std::int64_t col, Column_unit unit,
                               int tab_width) {
  detail::check_tab_width(tab_width, "vantel::Position::of_line_col");
  if (unit == Column_unit::Bytes) return of_line_col(line, col);
  auto* node = new_node(Position_kind::Unit_line_col, moved_from_position());
  node->line = line;
  node->col = col;
  node->unit = unit;
  node->tab_width = tab_width;
  return Position_access::make(node);
}

Position Position::of_line_col(std::int64_t line, std::int64_t col, Column_unit unit, int tab_width,
                               Error& error) noexcept {
  std::optional<Position> made;
  detail::capture(error, [&] { made.emplace(of_line_col(line, col, unit, tab_width)); });
  return made ? std::move(*made) : of_offset(0);
}

Position Position::of_lsp(std::uint32_t line, std::uint32_t character, Column_unit unit) {
  // Unsigned 32-bit numbers plus one fit a 64-bit line and column, and the
  // unit's default tab width is always valid.
  return of_line_col(std::int64_t{line} + 1, std::int64_t{character} + 1, unit);
}

Position Position::shift(Position base, std::int64_t amount) {
  auto* node = new_node(Position_kind::Shift, std::move(base));
  node->amount = amount;
  return Position_access::make(node);
}

std::int64_t Position::to_offset(const Input& input, const Position& position) {
  auto opened = detail::open_raw(input);
  const std::int64_t offset = detail::naming_input(
      opened.cursor(), [&] { return detail::to_offset_raw(opened.cursor(), position); });
  opened.close();
  return offset;
}

std::int64_t Position::to_offset(const Input& input, const Position& position,
                                 Error& error) noexcept {
  std::int64_t offset = 0;
  detail::capture(error, [&] { offset = to_offset(input, position); });
  return error ? 0 : offset;
}

std::function<lexing_position(const Position&)> Position::to_lexing(Input input,
                                                                    std::string file_name) {
  return [input = std::move(input), file_name = std::move(file_name)](const Position& position) {
    auto opened = detail::open_raw(input);
    lexing_position p = detail::naming_input(
        opened.cursor(), [&] { return detail::to_lexing_raw(opened.cursor(), position); });
    opened.close();
    p.file_name = file_name;
    return p;
  };
}

lexing_position Position::to_lexing(const Input& input, const Position& position,
                                    std::string file_name, Error& error) noexcept {
  lexing_position p{std::string(), 0, 0, -1};
  detail::capture(error, [&] { p = to_lexing(input, std::move(file_name))(position); });
  if (error) p = {std::string(), 0, 0, -1};
  return p;
}

}  // namespace vantel
