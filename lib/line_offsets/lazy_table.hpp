// SPDX-License-Identifier: MIT
// A line table that grows only as far as the queries on it need.
#pragma once

#include "line_offsets/line_offsets.hpp"
#include "line_offsets/line_scanner.hpp"

#include <vantel/line_table.hpp>

#include <atomic>
#include <cstdint>
#include <exception>
#include <optional>
#include <string_view>
#include <utility>

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
};

// A table whose entries are found on demand: each query scans the text only
// up to the line or offset it asks about (to the end when it asks past it),
// and the next one resumes where that scan stopped. Every answer is the one
// the whole table gives. A failure of the source is kept and thrown again by
// every later query, as the whole table's computation would be.
class Lazy_table {
 public:
  [[nodiscard]] std::int64_t find_line_offset(Text_source& source, std::int64_t line);
  [[nodiscard]] std::int64_t find_offset(Text_source& source, std::int64_t line, std::int64_t col);
  [[nodiscard]] std::pair<std::int64_t, std::int64_t> line_col_of_offset(Text_source& source,
                                                                         std::int64_t offset);
  // Scans what is left and hands out the whole table.
  [[nodiscard]] const Line_table& whole(Text_source& source);

  // May be asked by a thread that does not hold the table's reader's lock.
  [[nodiscard]] bool failed() const noexcept { return failed_.load(std::memory_order_acquire); }
  // Bytes scanned so far (the whole text once complete).
  [[nodiscard]] std::int64_t scanned() const noexcept { return scanner_ ? scanner_->scanned() : 0; }

 private:
  // Scans blocks until `enough` holds or the text ends.
  template <class Enough>
  Starts grow(Text_source& source, Enough enough);
  // Whether the entry of `line` is known; a line below 1 needs none, as it
  // fails whatever the table holds.
  [[nodiscard]] bool holds_line(std::int64_t line) const noexcept;

  std::optional<Line_scanner> scanner_;  // made at the first scan
  std::optional<Line_table> table_;      // once the text has been scanned to its end
  std::exception_ptr failure_;
  std::atomic<bool> failed_{false};
};

}  // namespace vantel::Line_offsets
