// SPDX-License-Identifier: MIT
#include "input/raw_cursor.hpp"

#include "line_offsets/line_offsets.hpp"

#include <stdexcept>

namespace vantel::detail {
std::int64_t Raw_cursor::find_line_offset(std::int64_t line) {
  if (const Lazy_lines lazy = lazy_lines(); lazy.table != nullptr)
    return lazy.table->find_line_offset(*lazy.source, line);
  return Line_offsets::find_line_offset(line_offsets(), line);
}

std::int64_t Raw_cursor::find_offset(std::int64_t line, std::int64_t col) {
  if (const Lazy_lines lazy = lazy_lines(); lazy.table != nullptr)
    return lazy.table->find_offset(*lazy.source, line, col);
  return Line_offsets::find_offset(line_offsets(), line, col);
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
  if (table_) return *table_;
  if (failure_) std::rethrow_exception(failure_);
  try {
    table_ = compute_line_offsets();
  } catch (...) {
    failure_ = std::current_exception();
    throw;
  }
  return *table_;
}

Line_table Raw_cursor::compute_line_offsets() {
  throw std::logic_error("a cursor has neither a growing table nor a way to compute one");
}

}  // namespace vantel::detail
