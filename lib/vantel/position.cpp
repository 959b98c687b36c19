#include "position_node.hpp"

#include "opening.hpp"

#include <line_offsets/checked.hpp>
#include <line_offsets/line_offsets.hpp>

#include <vantel/vantel.hpp>

#include <stdexcept>
#include <utility>
#include <vector>

namespace vantel {

bool operator==(const lexing_position& a, const lexing_position& b) noexcept {
  return a.file_name == b.file_name && a.line_number == b.line_number &&
         a.line_start == b.line_start && a.char_offset == b.char_offset;
}

namespace detail {

Position_node::~Position_node() {
  // Take over the rest of the chain one node at a time while this node is its
  // only owner, so each node dies with no base left to destroy recursively.
  auto next = std::move(base);
  while (next && next.use_count() == 1) {
    auto after = std::move(const_cast<Position_node&>(*next).base);
    next = std::move(after);
  }
}

const Position_node& Position_access::node(const Position& p) {
  if (!p.node_) throw std::invalid_argument("cannot resolve a position that was moved from");
  return *p.node_;
}

namespace {

// The offset of `node`; shifts are walked in a loop, and their amounts added
// innermost first, so that each partial sum is checked as it is formed.
std::int64_t offset_of(Raw_cursor& cursor, const Position_node& node) {
  std::vector<std::int64_t> amounts;
  const Position_node* at = &node;
  while (at->kind == Position_node::Kind::Shift) {
    amounts.push_back(at->a);
    at = at->base.get();
    if (at == nullptr)
      throw std::invalid_argument("cannot resolve a shift of a position that was moved from");
  }
  std::int64_t offset = 0;
  switch (at->kind) {
    case Position_node::Kind::Offset:
      offset = at->a;
      break;
    case Position_node::Kind::Line_col:
      offset = Line_offsets::find_offset(cursor.line_offsets(), at->a, at->b);
      break;
    case Position_node::Kind::Lexing:
      offset = at->lexing.char_offset;
      break;
    case Position_node::Kind::Shift:
      break;  // left by the loop above
  }
  for (auto it = amounts.rbegin(); it != amounts.rend(); ++it)
    offset = checked_add(offset, *it, "shifted offset");
  return offset;
}

lexing_position of_table_offset(Raw_cursor& cursor, std::int64_t offset) {
  const auto [line, col] = Line_offsets::line_col_of_offset(cursor.line_offsets(), offset);
  return {std::string(), line, checked_sub(offset, col, "start of a line"), offset};
}

}  // namespace

std::int64_t to_offset_raw(Raw_cursor& cursor, const Position& position) {
  return offset_of(cursor, Position_access::node(position));
}

lexing_position to_lexing_raw(Raw_cursor& cursor, const Position& position) {
  const Position_node& node = Position_access::node(position);
  switch (node.kind) {
    case Position_node::Kind::Offset:
      return of_table_offset(cursor, node.a);
    case Position_node::Kind::Line_col: {
      const Line_table& table = cursor.line_offsets();
      const std::int64_t start = Line_offsets::find_line_offset(table, node.a);
      return {std::string(), node.a, start, Line_offsets::find_offset(table, node.a, node.b)};
    }
    case Position_node::Kind::Lexing:
      return node.lexing;
    case Position_node::Kind::Shift:
      break;
  }
  return of_table_offset(cursor, offset_of(cursor, node));
}

}  // namespace detail

namespace {

using detail::Position_node;

std::shared_ptr<Position_node> new_node(Position_node::Kind kind) {
  auto node = std::make_shared<Position_node>();
  node->kind = kind;
  return node;
}

}  // namespace

Position Position::of_lexing(lexing_position p) {
  auto node = new_node(Position_node::Kind::Lexing);
  node->lexing = std::move(p);
  return Position(std::move(node));
}

Position Position::of_offset(std::int64_t offset) {
  auto node = new_node(Position_node::Kind::Offset);
  node->a = offset;
  return Position(std::move(node));
}

Position Position::of_line_col(std::int64_t line, std::int64_t col) {
  auto node = new_node(Position_node::Kind::Line_col);
  node->a = line;
  node->b = col;
  return Position(std::move(node));
}

Position Position::shift(Position base, std::int64_t amount) {
  auto node = new_node(Position_node::Kind::Shift);
  node->a = amount;
  node->base = std::move(base.node_);
  return Position(std::move(node));
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
