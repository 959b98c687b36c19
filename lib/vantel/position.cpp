#include "position_node.hpp"

#include "opening.hpp"

#include <line_offsets/checked.hpp>
#include <line_offsets/line_offsets.hpp>

#include <vantel/vantel.hpp>

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

namespace vantel {

bool operator==(const lexing_position& a, const lexing_position& b) noexcept {
  return a.file_name == b.file_name && a.line_number == b.line_number &&
         a.line_start == b.line_start && a.char_offset == b.char_offset;
}

namespace detail {

namespace {

// Lines and columns of up to 32 bits each share one 64-bit value.
bool fits_inline(std::int64_t n) {
  return n >= INT32_MIN && n <= INT32_MAX;
}
std::int64_t pack(std::int64_t line, std::int64_t col) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(line) << 32) |
                                   static_cast<std::uint32_t>(col));
}
std::int64_t line_of(std::int64_t packed) {
  return static_cast<std::int32_t>(static_cast<std::uint64_t>(packed) >> 32);
}
std::int64_t col_of(std::int64_t packed) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(packed));
}

void release(std::uintptr_t node) noexcept {
  if (node <= Position_access::moved_from_tag) return;
  auto* n = reinterpret_cast<Position_node*>(node);
  if (n->references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete n;
}

void retain(std::uintptr_t node) noexcept {
  if (node <= Position_access::moved_from_tag) return;
  reinterpret_cast<Position_node*>(node)->references.fetch_add(1, std::memory_order_relaxed);
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
  switch (p.node_) {
    case offset_tag:
      return {Position_kind::Offset, p.value_, 0, nullptr, nullptr};
    case line_col_tag:
      return {Position_kind::Line_col, line_of(p.value_), col_of(p.value_), nullptr, nullptr};
    case moved_from_tag:
      throw std::invalid_argument("cannot resolve a position that was moved from");
    default:
      break;
  }
  const auto& n = *reinterpret_cast<const Position_node*>(p.node_);
  return {n.kind, n.a, n.b, &n.lexing, &n.base};
}

namespace {

// The offset of `position`; shifts are walked in a loop, and their amounts
// added innermost first, so that each partial sum is checked as it is formed.
std::int64_t offset_of(Raw_cursor& cursor, const Position_fields& position) {
  std::vector<std::int64_t> amounts;
  Position_fields at = position;
  while (at.kind == Position_kind::Shift) {
    amounts.push_back(at.a);
    if (Position_access::moved_from(*at.base))
      throw std::invalid_argument("cannot resolve a shift of a position that was moved from");
    at = Position_access::fields(*at.base);
  }
  std::int64_t offset = 0;
  switch (at.kind) {
    case Position_kind::Offset:
      offset = at.a;
      break;
    case Position_kind::Line_col:
      offset = Line_offsets::find_offset(cursor.line_offsets(), at.a, at.b);
      break;
    case Position_kind::Lexing:
      offset = at.lexing->char_offset;
      break;
    case Position_kind::Shift:
      break;  // left by the loop above
  }
  for (auto it = amounts.rbegin(); it != amounts.rend(); ++it)
    offset = checked_add(offset, *it, "shifted offset");
  return offset;
}

Resolved_position of_table_offset(Raw_cursor& cursor, std::int64_t offset) {
  const auto [line, col] = Line_offsets::line_col_of_offset(cursor.line_offsets(), offset);
  return {line, checked_sub(offset, col, "start of a line"), offset};
}

lexing_position with_empty_name(const Resolved_position& p) {
  return {std::string(), p.line_number, p.line_start, p.char_offset};
}

}  // namespace

std::int64_t to_offset_raw(Raw_cursor& cursor, const Position& position) {
  return offset_of(cursor, Position_access::fields(position));
}

Resolved_position resolve_raw(Raw_cursor& cursor, const Position& position) {
  const Position_fields fields = Position_access::fields(position);
  switch (fields.kind) {
    case Position_kind::Offset:
      return of_table_offset(cursor, fields.a);
    case Position_kind::Line_col: {
      const Line_table& table = cursor.line_offsets();
      const std::int64_t start = Line_offsets::find_line_offset(table, fields.a);
      return {fields.a, start, Line_offsets::find_offset(table, fields.a, fields.b)};
    }
    case Position_kind::Lexing:
      return {fields.lexing->line_number, fields.lexing->line_start, fields.lexing->char_offset};
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

Position::Position(const Position& other) noexcept : value_(other.value_), node_(other.node_) {
  detail::retain(node_);
}

Position::Position(Position&& other) noexcept : value_(other.value_), node_(other.node_) {
  Position_access::take(other);
}

Position& Position::operator=(const Position& other) noexcept {
  detail::retain(other.node_);  // first: `other` may be this position
  detail::release(std::exchange(node_, other.node_));
  value_ = other.value_;
  return *this;
}

Position& Position::operator=(Position&& other) noexcept {
  if (this == &other) return *this;
  const std::int64_t value = other.value_;
  const std::uintptr_t node = Position_access::take(other);
  detail::release(std::exchange(node_, node));
  value_ = value;
  return *this;
}

Position::~Position() {
  detail::release(node_);
}

Position Position::of_lexing(lexing_position p) {
  auto* node = new Position_node(Position_kind::Lexing,
                                 Position_access::make(0, Position_access::moved_from_tag));
  node->lexing = std::move(p);
  return Position_access::make(node);
}

Position Position::of_offset(std::int64_t offset) {
  return Position_access::make(offset, Position_access::offset_tag);
}

Position Position::of_line_col(std::int64_t line, std::int64_t col) {
  if (detail::fits_inline(line) && detail::fits_inline(col))
    return Position_access::make(detail::pack(line, col), Position_access::line_col_tag);
  auto* node = new Position_node(Position_kind::Line_col,
                                 Position_access::make(0, Position_access::moved_from_tag));
  node->a = line;
  node->b = col;
  return Position_access::make(node);
}

Position Position::shift(Position base, std::int64_t amount) {
  auto* node = new Position_node(Position_kind::Shift, std::move(base));
  node->a = amount;
  return Position_access::make(node);
}

std::int64_t Position::to_offset(const Input& input, const Position& position) {
  auto opened = detail::open_raw(input);
  const std::int64_t offset = detail::to_offset_raw(opened.cursor(), position);
  opened.close();
  return offset;
}

std::function<lexing_position(const Position&)> Position::to_lexing(Input input,
                                                                    std::string file_name) {
  return [input = std::move(input), file_name = std::move(file_name)](const Position& position) {
    auto opened = detail::open_raw(input);
    lexing_position p = detail::to_lexing_raw(opened.cursor(), position);
    opened.close();
    p.file_name = file_name;
    return p;
  };
}

}  // namespace vantel
