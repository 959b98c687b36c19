// What a Position holds, and its resolution on an opened cursor.
#pragma once

#include "raw_cursor.hpp"

#include <cstdint>
#include <memory>

namespace vantel::detail {

struct Position_node {
  enum class Kind { Offset, Line_col, Lexing, Shift };
  Kind kind = Kind::Offset;
  std::int64_t a = 0;                         // Offset: offset; Line_col: line; Shift: amount
  std::int64_t b = 0;                         // Line_col: col
  lexing_position lexing;                     // Lexing
  std::shared_ptr<const Position_node> base;  // Shift

  Position_node() = default;
  Position_node(const Position_node&) = delete;
  Position_node& operator=(const Position_node&) = delete;
  // Unlinks a chain of shifts iteratively, so that destroying a position
  // shifted a million times does not recurse a million deep.
  ~Position_node();
};

struct Position_access {
  // Throws std::invalid_argument for a position that was moved from.
  static const Position_node& node(const Position& p);
};

// The byte offset of `position`; asks for the line table only when a line and
// column is met, at any depth of shifts.
[[nodiscard]] std::int64_t to_offset_raw(Raw_cursor& cursor, const Position& position);

// The lexer record of `position`: a Lexing position as it is, anything else
// resolved against the line table with an empty file name.
[[nodiscard]] lexing_position to_lexing_raw(Raw_cursor& cursor, const Position& position);

}  // namespace vantel::detail
