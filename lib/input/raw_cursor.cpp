// SPDX-License-Identifier: MIT
#include "input/raw_cursor.hpp"

#include "input/thread_place.hpp"
#include "line_offsets/line_offsets.hpp"

#include <stdexcept>
#include <string>

namespace vantel::detail {
std::int64_t Raw_cursor::find_line_offset(std::int64_t line) {
  try {
    if (const Lazy_lines lazy = lazy_lines(); lazy.table != nullptr)
      return lazy.table->find_line_offset(*lazy.source, line);
    return Line_offsets::find_line_offset(line_offsets(), line);
  } catch (const Unnamed<std::out_of_range>&) {
    if (line < 1) throw;
    past_last_line(line);
  }
}

std::int64_t Raw_cursor::find_offset(std::int64_t line, std::int64_t col) {
  try {
    if (const Lazy_lines lazy = lazy_lines(); lazy.table != nullptr)
      return lazy.table->find_offset(*lazy.source, line, col);
    return Line_offsets::find_offset(line_offsets(), line, col);
  } catch (const Unnamed<std::out_of_range>&) {
    if (line < 1) throw;
    past_last_line(line);
  }
}

void Raw_cursor::past_last_line(std::int64_t line) {
  // The table has an entry for the empty line after a final line feed, so
  // that a point at the very end can be quoted; a reader does not count it.
  const Line_table& table = line_offsets();
  std::size_t lines = table.size();
  if (lines > 0 && ends_at(table[lines - 1])) --lines;
  const std::string asked = "line " + std::to_string(line);
  if (lines == 0)
    throw Unnamed<std::out_of_range>(asked + " is past the end of an empty text", line);
  throw Unnamed<std::out_of_range>(asked + " is past the last line (" + std::to_string(lines) + ")",
                                   line);
}

bool Raw_cursor::ends_at(std::int64_t offset) {
  if (const Lazy_lines lazy = lazy_lines(); lazy.table != nullptr)
    return lazy.table->scanned() == offset;
  // A cursor that fails to say is taken to end with a line of its own.
  try {
    return seek(offset) != Seek_result::Ok || read_char() == End_of_input;
  } catch (...) {
    return false;
  }
}

std::pair<std::int64_t, std::int64_t> Raw_cursor::line_col_of_offset(std::int64_t offset) {
  if (const Lazy_lines lazy = lazy_lines(); lazy.table != nullptr)
    return lazy.table->line_col_of_offset(*lazy.source, offset);
  return Line_offsets::line_col_of_offset(line_offsets(), offset);
}

std::int64_t Raw_cursor::counted_size() {
  const Lazy_lines lazy = lazy_lines();
  return lazy.table != nullptr ? lazy.table->scanned() : 0;
}

const Line_table& Raw_cursor::line_offsets() {
  if (const Lazy_lines lazy = lazy_lines(); lazy.table != nullptr)
    return lazy.table->whole(*lazy.source);
  if (tables_ != this) return tables_->line_offsets();
  if (!computed_.load(std::memory_order_acquire)) {
    const std::lock_guard<std::recursive_mutex> hold(computing_);
    if (!computed_.load(std::memory_order_relaxed)) {
      try {
        table_ = compute_line_offsets();
      } catch (...) {
        failure_ = std::current_exception();
      }
      computed_.store(true, std::memory_order_release);
    }
  }
  if (failure_) std::rethrow_exception(failure_);
  return *table_;
}

std::unique_ptr<Raw_cursor> Raw_cursor::take_fork() {
  {
    const std::lock_guard<std::mutex> hold(forks_lock_);
    if (!idle_forks_.empty()) {
      std::unique_ptr<Raw_cursor> idle = std::move(idle_forks_.back());
      idle_forks_.pop_back();
      return idle;
    }
  }
  return fork();
}

std::unique_ptr<Raw_cursor> Raw_cursor::take_parked(Parked* parked) noexcept {
  std::atomic<Raw_cursor*>& place = parked[thread_place()].value.fork;
  if (place.load(std::memory_order_relaxed) == nullptr) return nullptr;
  return std::unique_ptr<Raw_cursor>(place.exchange(nullptr, std::memory_order_acq_rel));
}

void Raw_cursor::keep_fork(std::unique_ptr<Raw_cursor> fork) noexcept {
  Parked* parked = parked_.load(std::memory_order_acquire);
  if (parked == nullptr) {
    const std::lock_guard<std::mutex> hold(forks_lock_);
    if (!parking_) {
      try {
        parking_.reset(new Parked[thread_places]);
        parked_.store(parking_.get(), std::memory_order_release);
      } catch (...) {
        // Without places, forks wait in the pool.
      }
    }
    parked = parking_.get();
  }
  if (parked != nullptr) {
    // Another thread's fork found in this thread's place joins the pool.
    fork.reset(
        parked[thread_place()].value.fork.exchange(fork.release(), std::memory_order_acq_rel));
    if (!fork) return;
  }
  const std::lock_guard<std::mutex> hold(forks_lock_);
  try {
    idle_forks_.push_back(std::move(fork));
  } catch (...) {
    // Without room to keep it, it goes.
  }
}

Line_table Raw_cursor::compute_line_offsets() {
  throw std::logic_error("a cursor has neither a growing table nor a way to compute one");
}

}  // namespace vantel::detail
