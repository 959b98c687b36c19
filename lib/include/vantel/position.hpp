// Places in an input, and their resolution to offsets and lexer records.
#pragma once

#include <vantel/input.hpp>
#include <vantel/lexing_position.hpp>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace vantel {

namespace detail {
struct Position_node;
struct Position_access;
}  // namespace detail

/// A place in an input: a byte offset, a line and column, a lexer's record,
/// or another position shifted by some bytes. Positions are immutable values,
/// cheap to copy, and are checked against no input until they are resolved.
class Position {
 public:
  /// The lexer's record, used as it is.
  [[nodiscard]] static Position of_lexing(lexing_position p);
  /// A 0-based byte offset.
  [[nodiscard]] static Position of_offset(std::int64_t offset);
  /// A 1-based line and a 1-based byte column.
  [[nodiscard]] static Position of_line_col(std::int64_t line, std::int64_t col);
  /// `base` moved by `amount` bytes (possibly negative); shifts nest freely.
  [[nodiscard]] static Position shift(Position base, std::int64_t amount);
  /// The byte offset of `position` in `input`. Computes the input's line
  /// table only when a line and column is involved.
  [[nodiscard]] static std::int64_t to_offset(const Input& input, const Position& position);
  /// A converter to lexer records naming `file_name`; each call opens the
  /// input, resolves the position against its line table and closes it.
  [[nodiscard]] static std::function<lexing_position(const Position&)> to_lexing(
      Input input, std::string file_name = "");

  /// Copies share what they hold; copying never fails.
  Position(const Position& other) noexcept;
  /// Leaves `other` moved-from: it may be assigned or destroyed; resolving it,
  /// or a shift of it, throws std::invalid_argument.
  Position(Position&& other) noexcept;
  /// As the copy constructor.
  Position& operator=(const Position& other) noexcept;
  /// As the move constructor.
  Position& operator=(Position&& other) noexcept;
  /// Releases this position's share of what it holds.
  ~Position();

 private:
  explicit Position(std::uint64_t word) noexcept : word_(word) {}
  friend struct detail::Position_access;
  // One word: an offset, or a line and column, small enough to be held in it
  // with a tag in its two low bits; else the address of a shared node.
  std::uint64_t word_;
};

/// A located stretch of text: from start's offset to end's offset, exclusive.
using Location = std::pair<Position, Position>;

}  // namespace vantel
