// SPDX-License-Identifier: MIT
// The cursor an opened input reads through.
#pragma once

#include "input/counted_columns.hpp"
#include "input/thread_place.hpp"
#include "line_offsets/lazy_table.hpp"
#include "support/message_text.hpp"
#include "support/unnamed.hpp"

#include <vantel/line_table.hpp>
#include <vantel/read_result.hpp>

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantel::detail {

// Byte-by-byte access to a text, and queries of its line table. A cursor over
// a text, a stream or a file grows its table only as far as the queries
// need; the others compute it whole at the first request and keep it. Either
// way a failure of that computation is kept, and thrown again at every later
// request without computing again.
//
// A cursor is one thread's at a time: whoever reads through it holds lock()
// (detail::Opening does, for the length of a quote or a conversion). Its line
// table is not: a growing table publishes what it finds in pieces that never
// change, and a table computed whole is computed once, so that any number of
// cursors over one text (a file's openings, a text's forks) query one table
// at once without waiting for each other.
class Raw_cursor {
 public:
  Raw_cursor() = default;
  Raw_cursor(const Raw_cursor&) = delete;
  Raw_cursor& operator=(const Raw_cursor&) = delete;
  virtual ~Raw_cursor() = default;

  // The next read_char reads the byte at `offset`.
  [[nodiscard]] virtual Seek_result seek(std::int64_t offset) = 0;
  [[nodiscard]] virtual Byte read_char() = 0;

  // The bytes that the next calls of read_char would give, as far as the
  // cursor holds them already (possibly none, and always none for a cursor
  // that cannot tell); consume(n) then moves past the first n of them, as n
  // calls of read_char would.
  [[nodiscard]] virtual std::string_view buffered() { return {}; }
  virtual void consume(std::size_t count) { (void)count; }

  // The queries of Line_offsets on this cursor's table.
  [[nodiscard]] std::int64_t find_line_offset(std::int64_t line);
  [[nodiscard]] std::int64_t find_offset(std::int64_t line, std::int64_t col);
  [[nodiscard]] std::pair<std::int64_t, std::int64_t> line_col_of_offset(std::int64_t offset);
  // The whole table (a growing one is scanned to its end first).
  [[nodiscard]] const Line_table& line_offsets();
  // How many bytes the cursor's growing table has read so far: the input
  // held at least that many when its lines were counted. 0 for a table
  // computed whole, which may be the host's and need not match the text.
  [[nodiscard]] std::int64_t counted_size();

  // Held while reading through the cursor. Recursive: a thread that holds it
  // may open the same input again (a report naming one input twice, a
  // callback that quotes the input being quoted).
  [[nodiscard]] std::recursive_mutex& lock() const noexcept { return lock_; }
  // Whether fork() makes a cursor of its own for one reading, over the same
  // text and querying this one's table, for a thread that finds this one's
  // lock taken; not for a cursor that one thread at a time must read (a
  // caller's stream or callables, a file's descriptor). A fork lives no
  // longer than this cursor.
  [[nodiscard]] virtual bool forks() const noexcept { return false; }
  // A fork from those whose reading ended, or a new one; keep_fork takes it
  // back when its reading ends, for the next thread that needs one.
  [[nodiscard]] std::unique_ptr<Raw_cursor> take_fork();
  void keep_fork(std::unique_ptr<Raw_cursor> fork) noexcept;
  // The fork that this thread kept last, if it is still there: a thread
  // that read through a fork reads through it again, sharing no lock and no
  // cache line with the others.
  [[nodiscard]] std::unique_ptr<Raw_cursor> take_parked_fork() noexcept {
    Parked* parked = parked_.load(std::memory_order_acquire);
    return parked != nullptr ? take_parked(parked) : nullptr;
  }
  // What failures of reading through an opening of it call it: the name its
  // input was given when made, escaped.
  [[nodiscard]] virtual std::string name() const { return message_text(name_); }
  // The device and inode of the regular file read, so that two inputs of one
  // file are known as one; none for anything else.
  [[nodiscard]] virtual std::optional<std::pair<std::uint64_t, std::uint64_t>> file_key() const {
    return std::nullopt;
  }
  void set_name(std::string name) { name_ = std::move(name); }

  // Columns counted on a line through this cursor, in a unit other than
  // bytes. Openings forget them, since the text may have changed between.
  [[nodiscard]] Counted_columns& counted_columns() noexcept { return counted_columns_; }

 protected:
  // A table that grows on demand, and where it reads its text.
  struct Lazy_lines {
    Line_offsets::Lazy_table* table;
    Line_offsets::Text_source* source;
  };
  // Makes this cursor query the table computed whole of `shared`, which it
  // forks.
  void share_table_of(Raw_cursor& shared) noexcept { tables_ = &shared; }
  // The cursor's growing table; none for a cursor whose table is computed
  // whole by compute_line_offsets.
  [[nodiscard]] virtual Lazy_lines lazy_lines() { return {nullptr, nullptr}; }
  [[nodiscard]] virtual Line_table compute_line_offsets();
  // A new fork, where forks() says so.
  [[nodiscard]] virtual std::unique_ptr<Raw_cursor> fork() { return nullptr; }

 private:
  // Line `line` is past the last one: says so, counting lines as a reader
  // does, where a text that ends with a line feed has no line after it.
  [[noreturn]] void past_last_line(std::int64_t line);
  [[nodiscard]] bool ends_at(std::int64_t offset);

  std::string name_ = "input";
  Raw_cursor* tables_ = this;
  // The table computed whole, or its failure, once `computed_` is set.
  std::optional<Line_table> table_;
  std::exception_ptr failure_;
  std::atomic<bool> computed_{false};
  std::recursive_mutex computing_;  // recursive: the computation may be the host's
  // A fork kept by a thread, a cache line each.
  struct Parked_fork {
    std::atomic<Raw_cursor*> fork{nullptr};
    Parked_fork() = default;
    Parked_fork(const Parked_fork&) = delete;
    Parked_fork& operator=(const Parked_fork&) = delete;
    ~Parked_fork() { delete fork.load(std::memory_order_relaxed); }
  };
  using Parked = Apart<Parked_fork>;
  [[nodiscard]] static std::unique_ptr<Raw_cursor> take_parked(Parked* parked) noexcept;

  // Written at every opening by the thread that holds the lock.
  mutable std::recursive_mutex lock_;
  Counted_columns counted_columns_;
  [[maybe_unused]] Line_gap gap_;
  // Read at every opening by threads that read through forks.
  std::mutex forks_lock_;  // held only to take or keep a fork
  std::vector<std::unique_ptr<Raw_cursor>> idle_forks_;
  // Made with the first fork kept, under forks_lock_; a place per thread.
  std::unique_ptr<Parked[]> parking_;
  std::atomic<Parked*> parked_{nullptr};
};

}  // namespace vantel::detail
