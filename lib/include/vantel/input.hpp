// SPDX-License-Identifier: MIT
// Where a text comes from.
#pragma once

#include <vantel/error.hpp>
#include <vantel/line_table.hpp>
#include <vantel/read_result.hpp>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantel {

/// Run once by whoever opened an input, when done with it.
using Closer = std::function<void()>;

namespace detail {
struct Input_node;
struct Held_opening;
class Opening;
}  // namespace detail

class Opened;

/// Where a text comes from. Building an input reads, opens and copies
/// nothing. Inputs over a text, a buffer, a stream or callables hold one
/// cursor whose read position and line table carry over from one quote to the
/// next; copies of an Input share it. A file or managed input opens afresh at
/// every quote, unless it is quoted through an Opened (open()).
///
/// Any number of threads may quote, report and convert through one input and
/// its copies at once. The rules that let them do so without waiting:
/// - What the readers of one text share never changes once they can see it.
///   A line table grows by publishing pieces that stay as they are: a query
///   that those pieces answer takes no lock; one that needs more scans under
///   the table's own lock, which only scans take, and publishes what it found.
///   A table computed whole (`bytes`, `raw`) is computed once, by the first
///   thread that needs it, while the others wait for that one computation.
/// - Each quote, report or conversion reads through a cursor of its own: the
///   input's own cursor when no other thread holds it, else a fork of it (a
///   read position of its own over the same text and table). A thread that
///   read through a fork keeps it for its next quote of the same input, so
///   that threads quoting one input at once touch no lock and no counter
///   that another thread touches. A file input's openings each have their
///   own descriptor and cursor over the file's one kept table, as do the
///   quotes through an Opened file, which share its descriptor and its kept
///   blocks (each block kept is read whole before others see it, and stays
///   as it is while anyone reads it; a fork keeps its own list of the blocks
///   it has met, which may keep up to 4 MiB of blocks that the Opened no
///   longer lists).
/// - What is yours is used as it is, one thread at a time: a raw input's
///   callables and an in_channel's stream are called under their cursor's
///   lock, held for a whole quote, so that threads quoting such an input take
///   turns; nothing stops other code (or another input made over the same
///   stream) from using them meanwhile. A managed input's opener, and its
///   closers, may run in several threads at once.
/// - A report takes the locks of all its inputs that must be read in turn at
///   once, so that reports over the same inputs in any order never wait for
///   each other for ever. A callback of yours that quotes an input read in
///   turn while Vantel holds another such input (a tag handler, a raw input's
///   callable, a stream's buffer) holds both: two threads doing so in
///   opposite orders would wait for each other for ever.
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
/// system's timestamp resolution; make a new input after such a rewrite. An
/// Opened is one opening: it is compared once, when it opens.
class Input {
 public:
  /// The named file, opened read-only in binary mode at each quote (a missing
  /// file fails then, with std::system_error naming it), closed after it; or
  /// once for many quotes, by open().
  /// Its line table is kept while the file is unchanged (see above).
  [[nodiscard]] static Input file(std::string name);
  /// A text held by the input (moved in, not copied). Failures name it
  /// `name`, as a file input's name its file.
  [[nodiscard]] static Input string(std::string text, std::string name = "<string>");
  /// The caller's text, read in place: nothing is copied, and its line table
  /// is built as a string input's is. Like std::string_view, it refers to
  /// bytes it does not own: they must stay alive and unchanged while this
  /// input, a copy of it, or a report, an Opened or a Source holding it is
  /// used. Failures name it `name`.
  [[nodiscard]] static Input view(std::string_view text, std::string name = "<view>");
  /// The caller's mutable buffer, shared: every read sees its content then.
  /// Its line table is the one computed at the first need: after a change
  /// that moves line feeds, build a new input.
  /// Failures name it `name`.
  [[nodiscard]] static Input bytes(std::shared_ptr<std::vector<char>> buffer,
                                   std::string name = "<bytes>");
  /// A stream the caller opened; it must outlive the input and is never
  /// closed or put back where it stood. Offsets count from the stream's start
  /// where it can seek. Quoting fails with std::system_error when it cannot
  /// seek at all, and when reading it fails; its end is an ordinary end.
  /// Failures name it `name`.
  [[nodiscard]] static Input in_channel(std::istream& channel, std::string name = "<channel>");
  /// The caller's own cursor: `seek` to an absolute offset, `read_char` the
  /// next byte, and `line_offsets`, called at most once, for the line table.
  /// Failures name it `name`.
  [[nodiscard]] static Input raw(std::function<Seek_result(std::int64_t)> seek,
                                 std::function<Byte()> read_char,
                                 std::function<Line_table()> line_offsets,
                                 std::string name = "<raw>");
  /// An input opened by `opener` at each quote; the closer it returns runs
  /// exactly once when the quote is done, also when the quote fails.
  [[nodiscard]] static Input managed(std::function<std::pair<Input, Closer>()> opener);

  /// Whether this input and `other` are copies of one input (made by one call
  /// of the functions above): then they read one text through one cursor.
  [[nodiscard]] bool same_as(const Input& other) const noexcept { return node_ == other.node_; }

  /// Opens this input once, for many quotes: see Opened. Runs the openers of
  /// a file or managed input (failing as a quote would); an input over a
  /// text, a buffer, a stream or callables needs no opening.
  [[nodiscard]] Opened open() const;
  /// open() reporting a failure in `error` instead of throwing; then an
  /// Opened whose input fails every quote (as one moved from does).
  [[nodiscard]] Opened open(Error& error) const noexcept;

 private:
  explicit Input(std::shared_ptr<const detail::Input_node> node) : node_(std::move(node)) {}
  friend class detail::Opening;
  friend struct detail::Input_node;
  std::shared_ptr<const detail::Input_node> node_;
};

/// One opening of an input, held for many quotes: `vantel::Opened opened =
/// input.open();`. For a file input it holds the file's descriptor, its read
/// buffer and its line table; for a managed input whatever its openers
/// returned. Quoting, reporting and converting through it (it converts to
/// `const Input&`, and input() gives an Input that copies can be made of)
/// neither opens nor checks the file again, and costs what quoting a text
/// costs, plus reading the quoted lines from the file: a regular file is read
/// in blocks of 16 KiB, each kept once read (up to 4 MiB of them), so that
/// quotes all over a file read each block once. The file's
/// identity is compared with its kept table's once, when it opens, and not
/// again while it is open: a file renamed over its name is not read, and
/// bytes rewritten in place are read against the line table of the file as it
/// was, or not read at all where their block is kept.
///
/// It closes what it opened, each closer exactly once, when destroyed or by
/// close(), after the quotes that other threads make through it have ended;
/// closed from inside a quote through it (a callback), it closes when that
/// quote ends. Quoting through its input after that fails with
/// std::invalid_argument; copies of its input keep its buffer, not its
/// descriptor, until they go. Threads may quote through it at once, as
/// through any Input: each quote reads through a cursor of its own. For an input
/// that needs no opening (a text, a buffer, a stream, callables), its input
/// is that input itself, and closing it does nothing.
class Opened {
 public:
  /// Takes over what `other` holds open; `other` then holds nothing.
  Opened(Opened&& other) noexcept = default;
  /// Closes what this held (dropping a closer's failure), then takes over
  /// what `other` holds open.
  Opened& operator=(Opened&& other) noexcept;
  Opened(const Opened&) = delete;
  Opened& operator=(const Opened&) = delete;
  /// Closes, as close() does, but drops a closer's failure.
  ~Opened();

  /// The opened input. It and its copies read through this opening, and fail
  /// once it is closed.
  [[nodiscard]] const Input& input() const noexcept { return input_; }
  /// The opened input, so that an Opened is quoted as any input is.
  operator const Input&() const noexcept { return input_; }

  /// Closes now: runs the closers, innermost first, each once, and throws the
  /// first failure after all ran. Later calls do nothing.
  void close();
  /// close() reporting the first failure in `error` instead of throwing.
  void close(Error& error) noexcept;

 private:
  friend class Input;
  Opened(Input input, std::shared_ptr<detail::Held_opening> held) noexcept
      : input_(std::move(input)), held_(std::move(held)) {}
  Input input_;
  std::shared_ptr<detail::Held_opening> held_;
};

}  // namespace vantel
