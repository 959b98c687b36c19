// SPDX-License-Identifier: MIT
// Places in an input, and their resolution to offsets and lexer records.
#pragma once

#include <vantel/column_unit.hpp>
#include <vantel/error.hpp>
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
/// Any number of threads may copy, resolve and destroy one position and its
/// copies at once: what they share is counted atomically and never changes.
/// Assigning to one Position object while another thread reads that same
/// object is a data race, as for any value.
class Position {
 public:
  /// The lexer's record, used as it is.
  [[nodiscard]] static Position of_lexing(lexing_position p);
  /// A 0-based byte offset.
  [[nodiscard]] static Position of_offset(std::int64_t offset);
  /// A 1-based line and a 1-based byte column.
  [[nodiscard]] static Position of_line_col(std::int64_t line, std::int64_t col);
  /// A 1-based line and a 1-based column counted in `unit`; with
  /// Column_unit::Bytes exactly of_line_col(line, col). Resolving it reads that
  /// one line: a column inside a character (half a surrogate pair, a cell of a
  /// wide character or of a tab, a code point inside a display cluster) stands
  /// for the start of that character, a column past the end of the line for
  /// its end (its carriage return, line feed or the end of the text), and a
  /// column below 1 for its start; reading a stream that cannot seek fails
  /// with std::system_error. Throws std::invalid_argument for a `tab_width`
  /// outside 1 to 64.
  [[nodiscard]] static Position of_line_col(std::int64_t line, std::int64_t col, Column_unit unit,
                                            int tab_width = default_tab_width);
  /// of_line_col(line, col, unit, tab_width) that reports a bad `tab_width` in
  /// `error` instead of throwing, and then gives offset 0.
  [[nodiscard]] static Position of_line_col(std::int64_t line, std::int64_t col, Column_unit unit,
                                            int tab_width, Error& error) noexcept;
  /// A language server's position: a 0-based line and a 0-based `character`
  /// counted in `unit` (UTF-16 code units unless the client and the server
  /// agreed on another). The protocol's numbers are unsigned 32-bit, so that
  /// adding one never overflows: of_line_col(line + 1, character + 1, unit).
  [[nodiscard]] static Position of_lsp(std::uint32_t line, std::uint32_t character,
                                       Column_unit unit = Column_unit::Utf16);
  /// `base` moved by `amount` bytes (possibly negative), whatever unit the
  /// columns of `base` count in; shifts nest freely.
  [[nodiscard]] static Position shift(Position base, std::int64_t amount);
  /// The byte offset of `position` in `input`. Computes the input's line
  /// table only when a line and column is involved.
  [[nodiscard]] static std::int64_t to_offset(const Input& input, const Position& position);
  /// to_offset that reports a failure in `error` instead, and then gives 0.
  [[nodiscard]] static std::int64_t to_offset(const Input& input, const Position& position,
                                              Error& error) noexcept;
  /// A converter to lexer records naming `file_name`; each call opens the
  /// input, resolves the position against its line table and closes it.
  /// Threads may call one converter at once, as they may use one input.
  [[nodiscard]] static std::function<lexing_position(const Position&)> to_lexing(
      Input input, std::string file_name = "");
  /// One conversion as to_lexing(input, file_name) makes it, reporting a
  /// failure in `error` instead; then the record has offset -1.
  [[nodiscard]] static lexing_position to_lexing(const Input& input, const Position& position,
                                                 std::string file_name, Error& error) noexcept;
  /// The line of `position` in `input` and its 1-based column in `unit`.
  /// In bytes, the offset's distance from its line start plus one, unchecked
  /// as every byte column is. In the other units a position inside a
  /// character gives that character's column; one at or past the end of its
  /// line (its carriage return, its line feed, past the end of the text) the
  /// column after the line's last character; one before the text column 1.
  /// Opens and closes the input and reads that one line; throws as to_offset
  /// (std::system_error for a stream that cannot seek, in the other units),
  /// and std::invalid_argument for a `tab_width` outside 1 to 64.
  [[nodiscard]] static Line_col to_line_col(const Input& input, const Position& position,
                                            Column_unit unit, int tab_width = default_tab_width);
  /// to_line_col at the default tab width, reporting a failure in `error`
  /// instead of throwing; then line 1, column 1.
  [[nodiscard]] static Line_col to_line_col(const Input& input, const Position& position,
                                            Column_unit unit, Error& error) noexcept;
  /// to_line_col reporting a failure in `error` instead; then line 1, column 1.
  [[nodiscard]] static Line_col to_line_col(const Input& input, const Position& position,
                                            Column_unit unit, int tab_width, Error& error) noexcept;

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

/// A located stretch of text: from start's offset (`first`) to end's offset
/// (`second`), exclusive. It is the pair of positions it was before it had a
/// name of its own: `{start, end}`, `.first`, `.second` and structured
/// bindings work as they did, and a std::pair of positions converts to it.
/// Shared between threads as its positions are.
struct Location : std::pair<Position, Position> {
  using std::pair<Position, Position>::pair;
  /// The pair `where`.
  Location(std::pair<Position, Position> where) noexcept  // NOLINT(google-explicit-constructor)
      : std::pair<Position, Position>(std::move(where)) {}

  /// From 0-based byte offset `start` to `end`, exclusive.
  [[nodiscard]] static Location of_offsets(std::int64_t start, std::int64_t end) {
    return {Position::of_offset(start), Position::of_offset(end)};
  }
  /// From line `start_line`, byte column `start_col` to line `end_line`, byte
  /// column `end_col` (exclusive), all 1-based.
  [[nodiscard]] static Location of_line_cols(std::int64_t start_line, std::int64_t start_col,
                                             std::int64_t end_line, std::int64_t end_col) {
    return {Position::of_line_col(start_line, start_col), Position::of_line_col(end_line, end_col)};
  }
};

}  // namespace vantel
