// SPDX-License-Identifier: MIT
// A line table that grows only as far as the queries on it need.
#pragma once

#include "line_offsets/line_offsets.hpp"
#include "line_offsets/line_scanner.hpp"
#include "line_offsets/narrow_starts.hpp"

#include <vantel/line_table.hpp>

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

namespace vantel::Line_offsets {

// Where a lazy table reads its text from, one block after another.
class Text_source {
 public:
  Text_source() = default;
  Text_source(const Text_source&) = delete;
  Text_source& operator=(const Text_source&) = delete;
  virtual ~Text_source() = default;

  // Makes the next block start at `offset`, where the table stopped. False,
  // only ever for offset 0, when the source cannot seek (a pipe): it then
  // goes on from where it stands, and the table is read to its end at once,
  // since it could not come back later.
  [[nodiscard]] virtual bool start(std::int64_t offset) = 0;
  // The next bytes, none at the end of the text; valid until the next call.
  [[nodiscard]] virtual std::string_view next() = 0;
  // Whether next() would find the text ended; false when it cannot tell
  // without handing out what it finds.
  [[nodiscard]] virtual bool at_end() { return false; }
};

// A table whose entries are found on demand: each query scans the text only
// up to the line or offset it asks about (to the end when it asks past it),
// and the next one resumes where that scan stopped. Every answer is the one
// the whole table gives. A failure of the source is kept and thrown again by
// every later query, as the whole table's computation would be.
//
// Any number of threads may query one table at once, each through a source
// of its own over the same text. What a scan finds is published as a piece
// that never changes again, so a query that the pieces already answer takes
// no lock and waits for no one; a query that needs more scans under the
// table's lock, which only scans take.
class Lazy_table {
 public:
  Lazy_table() = default;
  Lazy_table(const Lazy_table&) = delete;
  Lazy_table& operator=(const Lazy_table&) = delete;
  ~Lazy_table() = default;

  [[nodiscard]] std::int64_t find_line_offset(Text_source& source, std::int64_t line);
  [[nodiscard]] std::int64_t find_offset(Text_source& source, std::int64_t line, std::int64_t col);
  [[nodiscard]] std::pair<std::int64_t, std::int64_t> line_col_of_offset(Text_source& source,
                                                                         std::int64_t offset);
  // Scans what is left and hands out the whole table.
  [[nodiscard]] const Line_table& whole(Text_source& source);

  [[nodiscard]] bool failed() const noexcept { return failed_.load(std::memory_order_acquire); }
  // Bytes scanned so far (the whole text once complete).
  [[nodiscard]] std::int64_t scanned() const noexcept {
    return scanned_.load(std::memory_order_acquire);
  }

 private:
  // The starts found by one scan, and the index of the first in the table.
  struct Piece {
    Narrow_starts starts;
    std::size_t first = 0;
  };
  // What a query sees: the pieces published when it looked, and how far
  // they reach.
  struct Known {
    const Piece* pieces;
    std::size_t count;
    std::int64_t scanned;
    bool complete;
    [[nodiscard]] std::size_t entries() const noexcept {
      return count == 0 ? 1 : pieces[count - 1].first + pieces[count - 1].starts.size();
    }
  };

  [[nodiscard]] Known known() const noexcept;
  // The pieces once `enough(entries, scanned)` holds or the text is ended,
  // scanning what is missing under the lock.
  template <class Enough>
  Known grow(Text_source& source, Enough enough);
  template <class Enough>
  void scan(Text_source& source, const Known& from, Enough enough);
  void publish(Narrow_scanner& scanner, const Known& from, bool complete);
  // Throws the kept failure, if any.
  void check() const;

  [[nodiscard]] static std::int64_t start_of(const Known& known, std::int64_t line);
  [[nodiscard]] static Line_table join(const Piece* pieces, std::size_t count);
  // Pieces holding fewer entries are joined into one plain table as soon as
  // the text is scanned to its end (8 MiB at most, kept beside the pieces),
  // which queries then read without looking for a piece.
  static constexpr std::size_t join_below = std::size_t{1} << 20;

  std::mutex lock_;  // taken by scans only
  // Published, release after what they point at is written.
  std::atomic<const Piece*> pieces_{nullptr};
  std::atomic<std::size_t> count_{0};
  std::atomic<std::int64_t> scanned_{0};
  std::atomic<bool> complete_{false};
  std::atomic<bool> failed_{false};
  std::atomic<const Line_table*> whole_{nullptr};
  // Written under the lock; failure_ before failed_ is set, and read after.
  // Once whole_ is set the queries read that table alone.
  std::exception_ptr failure_;
  // Every array of pieces ever published, the last one current: a query may
  // still read an older one, which stays as it was.
  std::vector<std::unique_ptr<Piece[]>> arrays_;
  std::size_t capacity_ = 0;  // of the current array
  std::unique_ptr<Line_table> joined_;
};

}  // namespace vantel::Line_offsets
