// SPDX-License-Identifier: MIT
// Where a text comes from.
#pragma once

#include <vantel/line_table.hpp>
#include <vantel/read_result.hpp>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vantel {

/// Run once by whoever opened an input, when done with it.
using Closer = std::function<void()>;

namespace detail {
struct Input_node;
class Opening;
}  // namespace detail

/// Where a text comes from. Building an input reads, opens and copies
/// nothing. Inputs over a text, a buffer, a stream or callables hold one
/// cursor whose read position and line table carry over from one quote to the
/// next; copies of an Input share it. A file or managed input opens afresh at
/// every quote.
///
/// Line tables are built only as far as they are needed. A quote or a
/// conversion scans a text, a stream that can seek or a file only up to the
/// line or offset it asks about (to the end when it asks beyond), and the next
/// one resumes there; the answers are those of the whole table. A `bytes`
/// input builds its whole table at the first request, from the buffer as it is
/// then, and keeps it: after a change to the buffer that moves line feeds,
/// quotes are wrong until you make a new input. A stream that cannot seek (a
/// pipe) is read to its end at the first request, from where it stands, its
/// offsets counted from there; it can be converted but not quoted. A `raw`
/// input's table is the one its callable returns.
///
/// A file input keeps its table from one quote to the next while the file is
/// unchanged: at each opening, the file's device, inode, size, and
/// modification and change times (in nanoseconds) are compared with those the
/// table was built from, and any difference starts a new table (only a
/// regular file's table is kept). The one change
/// this cannot see is a file rewritten to the same size within the file
/// system's timestamp resolution; make a new input after such a rewrite.
class Input {
 public:
  /// The named file, opened read-only in binary mode at each quote (a missing
  /// file fails then, with std::system_error naming it), closed after it.
  /// Its line table is kept while the file is unchanged (see above).
  [[nodiscard]] static Input file(std::string name);
  /// A text held by the input (moved in, not copied).
  [[nodiscard]] static Input string(std::string text);
  /// The caller's mutable buffer, shared: every read sees its content then.
  /// Its line table is the one computed at the first need: after a change
  /// that moves line feeds, build a new input.
  [[nodiscard]] static Input bytes(std::shared_ptr<std::vector<char>> buffer);
  /// A stream the caller opened; it must outlive the input and is never
  /// closed or put back where it stood. Offsets count from the stream's start
  /// where it can seek. Quoting fails with std::system_error when it cannot
  /// seek at all, and when reading it fails; its end is an ordinary end.
  [[nodiscard]] static Input in_channel(std::istream& channel);
  /// The caller's own cursor: `seek` to an absolute offset, `read_char` the
  /// next byte, and `line_offsets`, called at most once, for the line table.
  [[nodiscard]] static Input raw(std::function<Seek_result(std::int64_t)> seek,
                                 std::function<Byte()> read_char,
                                 std::function<Line_table()> line_offsets);
  /// An input opened by `opener` at each quote; the closer it returns runs
  /// exactly once when the quote is done, also when the quote fails.
  [[nodiscard]] static Input managed(std::function<std::pair<Input, Closer>()> opener);

  /// Whether this input and `other` are copies of one input (made by one call
  /// of the functions above): then they read one text through one cursor.
  [[nodiscard]] bool same_as(const Input& other) const noexcept { return node_ == other.node_; }

 private:
  explicit Input(std::shared_ptr<const detail::Input_node> node) : node_(std::move(node)) {}
  friend class detail::Opening;
  friend struct detail::Input_node;
  std::shared_ptr<const detail::Input_node> node_;
};

}  // namespace vantel
