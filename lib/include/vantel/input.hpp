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
/// cursor whose read position and line table (computed at the first need,
/// then kept) carry over from one quote to the next; copies of an Input share
/// it. A file or managed input opens afresh at every quote.
class Input {
 public:
  /// The named file, opened read-only in binary mode at each quote (a missing
  /// file fails then, with std::system_error naming it), closed after it.
  [[nodiscard]] static Input file(std::string name);
  /// A text held by the input (moved in, not copied).
  [[nodiscard]] static Input string(std::string text);
  /// The caller's mutable buffer, shared: every read sees its content then.
  /// Its line table is the one computed at the first need: after a change
  /// that moves line feeds, build a new input.
  [[nodiscard]] static Input bytes(std::shared_ptr<std::vector<char>> buffer);
  /// A stream the caller opened; it must outlive the input and is never
  /// closed. Offsets count from the stream's start where it can seek.
  [[nodiscard]] static Input in_channel(std::istream& channel);
  /// The caller's own cursor: `seek` to an absolute offset, `read_char` the
  /// next byte, and `line_offsets`, called at most once, for the line table.
  [[nodiscard]] static Input raw(std::function<Seek_result(std::int64_t)> seek,
                                 std::function<Byte()> read_char,
                                 std::function<Line_table()> line_offsets);
  /// An input opened by `opener` at each quote; the closer it returns runs
  /// exactly once when the quote is done, also when the quote fails.
  [[nodiscard]] static Input managed(std::function<std::pair<Input, Closer>()> opener);

 private:
  explicit Input(std::shared_ptr<const detail::Input_node> node) : node_(std::move(node)) {}
  friend class detail::Opening;
  friend struct detail::Input_node;
  std::shared_ptr<const detail::Input_node> node_;
};

}  // namespace vantel
