// SPDX-License-Identifier: MIT
// What a Position holds: its one word, and the node behind it when it has one.
#pragma once

#include <vantel/column_unit.hpp>
#include <vantel/lexing_position.hpp>
#include <vantel/position.hpp>

#include <atomic>
#include <cstdint>
#include <utility>

namespace vantel::detail {

// Unit_line_col: a line and a column counted in another unit than bytes.
enum class Position_kind { Offset, Line_col, Lexing, Shift, Unit_line_col };

// The shared part of a Lexing, Shift or Unit_line_col position, or of a line
// and column too large to be held inline. Counted by the positions that hold
// it.
struct Position_node {
  Position_kind kind;
  std::int64_t offset = 0;                // Offset
  std::int64_t line = 0;                  // Line_col, Unit_line_col
  std::int64_t col = 0;                   // Line_col, Unit_line_col
  std::int64_t amount = 0;                // Shift
  lexing_position lexing;                 // Lexing
  Position base;                          // Shift
  Column_unit unit = Column_unit::Bytes;  // Unit_line_col
  int tab_width = default_tab_width;      // Unit_line_col
  mutable std::atomic<std::size_t> references{1};

  Position_node(Position_kind k, Position shifted) : kind(k), base(std::move(shifted)) {}
  Position_node(const Position_node&) = delete;
  Position_node& operator=(const Position_node&) = delete;
  // Unlinks a chain of shifts iteratively, so that destroying a position
  // shifted a million times does not recurse a million deep.
  ~Position_node();
};

// A position taken apart: which case it is, and the fields of that case.
struct Position_fields {
  Position_kind kind;
  std::int64_t offset = 0;                  // Offset
  std::int64_t line = 0;                    // Line_col, Unit_line_col
  std::int64_t col = 0;                     // Line_col, Unit_line_col
  std::int64_t amount = 0;                  // Shift
  const lexing_position* lexing = nullptr;  // Lexing
  const Position* base = nullptr;           // Shift
  Column_unit unit = Column_unit::Bytes;    // Unit_line_col
  int tab_width = default_tab_width;        // Unit_line_col
};

struct Position_access {
  // The two low bits of a position's word: a node's address (aligned, and 0
  // for a position that was moved from), or an offset, or a line and column.
  static constexpr std::uint64_t node_tag = 0;
  static constexpr std::uint64_t offset_tag = 1;
  static constexpr std::uint64_t line_col_tag = 2;
  static constexpr std::uint64_t moved_from = 0;

  [[nodiscard]] static std::uint64_t word(const Position& p) noexcept { return p.word_; }
  [[nodiscard]] static bool is_moved_from(const Position& p) noexcept {
    return p.word_ == moved_from;
  }
  // Throws std::invalid_argument for a position that was moved from.
  [[nodiscard]] static Position_fields fields(const Position& p);

  [[nodiscard]] static Position make(std::uint64_t word) noexcept { return Position(word); }
  [[nodiscard]] static Position make(Position_node* node) noexcept {
    return Position(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(node)));
  }
  // The node that a word names, when it names one.
  [[nodiscard]] static Position_node* node(std::uint64_t word) noexcept {
    if (word == moved_from || (word & 3) != node_tag) return nullptr;
    return reinterpret_cast<Position_node*>(static_cast<std::uintptr_t>(word));
  }
  [[nodiscard]] static Position_node* node(const Position& p) noexcept { return node(p.word_); }
  // Empties `p` as a move does, returning what it held.
  static std::uint64_t take(Position& p) noexcept { return std::exchange(p.word_, moved_from); }
};

}  // namespace vantel::detail
