// Vantel: quotes a source text around locations and highlights the located
// bytes.
//
//   3 | size = max + 10
//             ^^^
//
// Build an Input (where the text comes from), name places in it with
// Positions, and print a quote with pp on a Formatter. Offsets, lines and
// columns count bytes; lines are numbered from 1.
//
// Failures are exceptions of standard types: std::system_error for a file that
// cannot be opened or read, std::out_of_range for a line outside the line
// table, std::overflow_error for position arithmetic that does not fit in
// std::int64_t, std::invalid_argument for an Input or Position that was
// moved from. Whatever a caller's callable throws reaches the caller
// unchanged. The library starts no threads and keeps no global state; one
// Input is used by one operation at a time.
#pragma once

#include <vantel/formatter.hpp>
#include <vantel/line_table.hpp>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantel {

/// A lexer's position record. A char_offset of -1 marks a position without an
/// offset; a location with such a position is not quoted.
struct lexing_position {
  std::string file_name;
  std::int64_t line_number = 0;  // 1-based
  std::int64_t line_start = 0;   // offset of the first byte of that line
  std::int64_t char_offset = 0;  // offset of the position itself
};
bool operator==(const lexing_position& a, const lexing_position& b) noexcept;
inline bool operator!=(const lexing_position& a, const lexing_position& b) noexcept {
  return !(a == b);
}

/// What a cursor's seek answers: Ok, or Invalid_position for an offset it
/// cannot go to. An expected outcome, never an exception.
enum class Seek_result { Ok, Invalid_position };

/// What a cursor's read_char answers: one byte, or End_of_input (an empty
/// optional). An expected outcome, never an exception.
using Byte = std::optional<unsigned char>;
inline constexpr std::nullopt_t End_of_input = std::nullopt;

/// Run once by whoever opened an input, when done with it.
using Closer = std::function<void()>;

namespace detail {
struct Input_node;
struct Position_node;
struct Position_access;
class Opening;
}  // namespace detail

/// Where a text comes from. Building an input reads, opens and copies
/// nothing. Inputs over a text, a buffer, a stream or callables hold one
/// cursor whose read position and line table (computed at the first need,
/// then kept) carry over from one quote to the next; copies of an Input share
/// it. A file or managed input opens afresh at every quote.
class Input {
 public:
  /// The named file, opened read-only in binary mode at each quote (a missing
  /// file fails then, with std::system_error naming it), closed after it.
  static Input file(std::string name);
  /// A text held by the input (moved in, not copied).
  static Input string(std::string text);
  /// The caller's mutable buffer, shared: every read sees its content then.
  static Input bytes(std::shared_ptr<std::vector<char>> buffer);
  /// A stream the caller opened; it must outlive the input and is never
  /// closed. Offsets count from the stream's start where it can seek.
  static Input in_channel(std::istream& channel);
  /// The caller's own cursor: `seek` to an absolute offset, `read_char` the
  /// next byte, and `line_offsets`, called at most once, for the line table.
  static Input raw(std::function<Seek_result(std::int64_t)> seek, std::function<Byte()> read_char,
                   std::function<Line_table()> line_offsets);
  /// An input opened by `opener` at each quote; the closer it returns runs
  /// exactly once when the quote is done, also when the quote fails.
  static Input managed(std::function<std::pair<Input, Closer>()> opener);

 private:
  explicit Input(std::shared_ptr<const detail::Input_node> node) : node_(std::move(node)) {}
  friend class detail::Opening;
  friend struct detail::Input_node;
  std::shared_ptr<const detail::Input_node> node_;
};

/// A place in an input: a byte offset, a line and column, a lexer's record,
/// or another position shifted by some bytes. Positions are immutable values,
/// cheap to copy, and are checked against no input until they are resolved.
class Position {
 public:
  /// The lexer's record, used as it is.
  static Position of_lexing(lexing_position p);
  /// A 0-based byte offset.
  static Position of_offset(std::int64_t offset);
  /// A 1-based line and a 1-based byte column.
  static Position of_line_col(std::int64_t line, std::int64_t col);
  /// `base` moved by `amount` bytes (possibly negative); shifts nest freely.
  static Position shift(Position base, std::int64_t amount);
  /// The byte offset of `position` in `input`. Computes the input's line
  /// table only when a line and column is involved.
  [[nodiscard]] static std::int64_t to_offset(const Input& input, const Position& position);
  /// A converter to lexer records naming `file_name`; each call opens the
  /// input, resolves the position against its line table and closes it.
  [[nodiscard]] static std::function<lexing_position(const Position&)> to_lexing(
      Input input, std::string file_name = "");

  Position(const Position& other) noexcept;
  Position(Position&& other) noexcept;
  Position& operator=(const Position& other) noexcept;
  Position& operator=(Position&& other) noexcept;
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

/// Prints on `formatter` a quote of the lines that `locations` touch, with the
/// located bytes highlighted: one line with carets under it when they lie on
/// one line, else every touched line with the other bytes shown as '.', cut to
/// `max_lines` rows by a "..." row. Nothing is printed when no location is
/// non-empty. Opens the input for the call and closes it, also on failure.
void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        int max_lines = 10);

/// A reusable printer bound to an input: each call opens the input anew.
using Printer = std::function<void(Formatter&, const std::vector<Location>&)>;
[[nodiscard]] Printer pp(Input input, int max_lines = 10);

/// The texts written where a highlighted run of carets opens and closes.
struct Tag_handlers {
  std::function<std::string()> open_text;
  std::function<std::string()> close_text;
};

/// Makes `formatter` write the handlers' texts around every highlighted run
/// of carets (for example terminal colour codes), and turns tag marking on.
/// Other tags keep the mark functions the formatter had; a second call wraps
/// the first. Without handlers, both texts are empty.
void setup_highlight_tags(Formatter& formatter);
void setup_highlight_tags(Formatter& formatter, Tag_handlers handle_tag);

}  // namespace vantel
