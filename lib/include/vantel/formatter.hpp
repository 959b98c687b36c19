// SPDX-License-Identifier: MIT
// A small box-based pretty-printing formatter with semantic tags.
//
// Vantel prints every quote through a Formatter, and hosts can use the same
// formatter for the rest of their diagnostics. It writes straight into the
// std::ostream it is given (no buffering of its own, no flushing).
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantel {

class Style_tag;

/// A semantic tag. Tags are compared by identity (by address): two tags with
/// the same name are different tags. Hosts define their own tags, possibly
/// carrying data, by deriving from Stag; a tag must outlive its open scope.
class Stag {
 public:
  /// A tag named `name`; a new tag is distinct from every other.
  explicit Stag(std::string name) : name_(std::move(name)) {}
  virtual ~Stag() = default;
  Stag(const Stag&) = delete;
  Stag& operator=(const Stag&) = delete;

  /// The tag's name, for display only: it plays no part in comparisons.
  [[nodiscard]] const std::string& name() const noexcept { return name_; }

  /// The library's own tags say what they enclose (<vantel/styles.hpp>), so
  /// that a mark function needs no cast; null for every other tag.
  [[nodiscard]] virtual const Style_tag* style() const noexcept { return nullptr; }

 private:
  std::string name_;
};

/// The four tag functions of a formatter. With tag marking on, opening and
/// closing a tag writes the text that the mark function returns (taking no
/// column); with tag printing on, the print function is called. Empty
/// functions count as the defaults: empty text, nothing done.
struct Stag_functions {
  /// The text written where a tag opens, when marking is on.
  std::function<std::string(const Stag&)> mark_open_stag;
  /// The text written where a tag closes, when marking is on.
  std::function<std::string(const Stag&)> mark_close_stag;
  /// Called where a tag opens, when printing is on.
  std::function<void(const Stag&)> print_open_stag;
  /// Called where a tag closes, when printing is on.
  std::function<void(const Stag&)> print_close_stag;
};

/// A pretty-printing formatter over a caller's std::ostream, which must
/// outlive it. Vertical boxes remember the column at which they open; a cut
/// inside one ends the line and indents the next one to that column. A cut
/// outside every box ends the line and starts the next one at column 0.
/// Columns count bytes; texts returned by mark functions count for nothing.
///
/// A formatter is not shared between threads: it and its stream are used by
/// one thread at a time. Threads that quote the same input at once each
/// print on a formatter of their own.
class Formatter {
 public:
  /// A formatter writing on `out` from column 0, with no box or tag open.
  explicit Formatter(std::ostream& out);
  Formatter(const Formatter&) = delete;
  Formatter& operator=(const Formatter&) = delete;

  /// Opens a vertical box whose left edge is the current column ("@[<v>").
  void open_vbox();
  /// Closes the innermost box ("@]"); does nothing when no box is open.
  void close_box();
  /// A cut ("@,"): a line feed, then spaces up to the innermost box's edge.
  void cut();
  /// Writes the text byte for byte ("%s"). A line feed in it resets the column.
  void print_string(std::string_view text);
  /// Writes one byte.
  void print_char(char c);
  /// Writes `count` copies of one byte (nothing when count <= 0).
  void print_repeat(std::int64_t count, char c);
  /// Writes the text right-aligned in `width` columns, never cut ("%*s").
  void print_right_aligned(std::int64_t width, std::string_view text);

  /// Opens a semantic tag; writes its mark text when marking is on. When a
  /// tag function throws, the tag is not left open.
  void open_stag(const Stag& tag);
  /// Closes the innermost open tag; does nothing when no tag is open.
  void close_stag();

  /// The current tag functions (a copy).
  [[nodiscard]] Stag_functions stag_functions() const {
    return functions_ ? *functions_ : Stag_functions{};
  }
  /// Installs tag functions. Safe from inside a running tag function: the
  /// functions in use stay alive until that call returns.
  void set_stag_functions(Stag_functions functions) {
    functions_ = std::make_shared<const Stag_functions>(std::move(functions));
  }
  /// Tag marking and tag printing are both off on a new formatter.
  [[nodiscard]] bool mark_tags() const noexcept { return mark_tags_; }
  /// Turns tag marking (the mark functions' texts) on or off.
  void set_mark_tags(bool on) noexcept { mark_tags_ = on; }
  /// Whether the print functions are called on opening and closing a tag.
  [[nodiscard]] bool print_tags() const noexcept { return print_tags_; }
  /// Turns tag printing (the print functions' calls) on or off.
  void set_print_tags(bool on) noexcept { print_tags_ = on; }

  /// The current column, 0-based, in bytes since the last line feed (at most
  /// the largest std::int64_t).
  [[nodiscard]] std::int64_t column() const noexcept { return column_; }
  /// The stream written to.
  [[nodiscard]] std::ostream& stream() const noexcept { return out_; }

 private:
  void write(const char* data, std::size_t size);
  void write_fill(std::int64_t count, char c);
  void advance(std::int64_t count) noexcept;

  std::ostream& out_;
  std::int64_t column_ = 0;
  std::vector<std::int64_t> boxes_;     // left edges of the open boxes
  std::vector<const Stag*> open_tags_;  // innermost last
  // Shared with the tag operation running, if any, so that a tag function
  // that replaces them does not destroy itself. Null: the defaults.
  std::shared_ptr<const Stag_functions> functions_;
  bool mark_tags_ = false;
  bool print_tags_ = false;
};

}  // namespace vantel
