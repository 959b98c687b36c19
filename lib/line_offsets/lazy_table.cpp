// SPDX-License-Identifier: MIT
#include "line_offsets/lazy_table.hpp"

#include <cstdint>
#include <exception>
#include <string_view>

namespace vantel::Line_offsets {

namespace {

// The one entry known before anything is scanned.
constexpr std::int64_t first_start = 0;

}  // namespace

template <class Enough>
Starts Lazy_table::grow(Text_source& source, Enough enough) {
  if (failure_) std::rethrow_exception(failure_);
  if (!table_ && !enough()) {
    try {
      if (!scanner_) scanner_.emplace();
      const bool resumable = source.start(scanner_->scanned());
      for (;;) {
        const std::string_view block = source.next();
        if (block.empty()) {
          table_ = scanner_->finish();
          break;
        }
        scanner_->scan(block.data(), block.size());
        if (resumable && enough()) break;
      }
    } catch (...) {
      failure_ = std::current_exception();
      failed_.store(true, std::memory_order_release);
      throw;
    }
  }
  if (table_) return {table_->data(), table_->size()};
  if (scanner_) return {scanner_->data(), scanner_->size()};
  return {&first_start, 1};
}

bool Lazy_table::holds_line(std::int64_t line) const noexcept {
  const std::size_t known = scanner_ ? scanner_->size() : 1;
  return line < 1 || known >= static_cast<std::uint64_t>(line);
}

std::int64_t Lazy_table::find_line_offset(Text_source& source, std::int64_t line) {
  return Line_offsets::find_line_offset(grow(source, [&] { return holds_line(line); }), line);
}

std::int64_t Lazy_table::find_offset(Text_source& source, std::int64_t line, std::int64_t col) {
  return Line_offsets::find_offset(grow(source, [&] { return holds_line(line); }), line, col);
}

std::pair<std::int64_t, std::int64_t> Lazy_table::line_col_of_offset(Text_source& source,
                                                                     std::int64_t offset) {
  // Every start at or below `offset` is known once the scan has reached it;
  // the starts still unknown lie past it and cannot change the answer.
  return Line_offsets::line_col_of_offset(grow(source, [&] { return scanned() >= offset; }),
                                          offset);
}

const Line_table& Lazy_table::whole(Text_source& source) {
  (void)grow(source, [] { return false; });
  return *table_;
}

}  // namespace vantel::Line_offsets
