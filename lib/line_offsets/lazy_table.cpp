// SPDX-License-Identifier: MIT
#include "line_offsets/lazy_table.hpp"

#include "support/checked.hpp"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <string_view>

namespace vantel::Line_offsets {

namespace {

// The one entry known before anything is scanned.
constexpr std::int64_t first_start = 0;

}  // namespace

Lazy_table::Known Lazy_table::known() const noexcept {
  // In the order opposite to publishing: the pieces seen reach at least as
  // far as the scan seen, and the array seen holds at least those pieces.
  const bool complete = complete_.load(std::memory_order_acquire);
  const std::int64_t scanned = scanned_.load(std::memory_order_acquire);
  const std::size_t count = count_.load(std::memory_order_acquire);
  return {pieces_.load(std::memory_order_acquire), count, scanned, complete};
}

void Lazy_table::check() const {
  if (failed()) std::rethrow_exception(failure_);
}

template <class Enough>
Lazy_table::Known Lazy_table::grow(Text_source& source, Enough enough) {
  check();
  Known now = known();
  if (now.complete || enough(now.entries(), now.scanned)) return now;
  const std::lock_guard<std::mutex> hold(lock_);
  check();
  now = known();
  if (now.complete || enough(now.entries(), now.scanned)) return now;
  try {
    scan(source, now, enough);
  } catch (...) {
    failure_ = std::current_exception();
    failed_.store(true, std::memory_order_release);
    throw;
  }
  return known();
}

template <class Enough>
void Lazy_table::scan(Text_source& source, const Known& from, Enough enough) {
  // The first scan finds the first start too; later ones go on past it.
  std::optional<Narrow_scanner> scanner;
  if (from.count == 0)
    scanner.emplace(Scan::Widest);
  else
    scanner.emplace(Scan::Widest, from.scanned);
  const std::size_t before = from.count == 0 ? 0 : from.entries();
  const bool resumable = source.start(from.scanned);
  for (;;) {
    const std::string_view block = source.next();
    if (block.empty()) return publish(*scanner, from, true);
    scanner->scan(block.data(), block.size());
    // A text that ends here is whole: queries then read one table.
    if (resumable && enough(before + scanner->size(), scanner->scanned()))
      return publish(*scanner, from, source.at_end());
  }
}

void Lazy_table::publish(Narrow_scanner& scanner, const Known& from, bool complete) {
  const std::int64_t scanned = scanner.scanned();
  if (scanner.size() != 0) {
    Piece piece{Narrow_starts(scanner), from.count == 0 ? 0 : from.entries()};
    if (from.count == capacity_) {
      // A larger array, the pieces copied over; the old one stays for the
      // queries that may be reading it.
      const std::size_t capacity = std::max<std::size_t>(16, capacity_ * 2);
      auto grown = std::make_unique<Piece[]>(capacity);
      std::copy(from.pieces, from.pieces + from.count, grown.get());
      arrays_.push_back(std::move(grown));
      capacity_ = capacity;
    }
    Piece* array = arrays_.back().get();
    array[from.count] = std::move(piece);
    pieces_.store(array, std::memory_order_release);
    count_.store(from.count + 1, std::memory_order_release);
  }
  scanned_.store(scanned, std::memory_order_release);
  if (!complete) return;
  // The whole table at once for the queries to come, while it is small
  // enough to copy.
  const std::size_t count = count_.load(std::memory_order_relaxed);
  const Piece* pieces = arrays_.back().get();
  if (pieces[count - 1].first + pieces[count - 1].starts.size() < join_below) {
    joined_ = std::make_unique<Line_table>(join(pieces, count));
    whole_.store(joined_.get(), std::memory_order_release);
  }
  complete_.store(true, std::memory_order_release);
}

Line_table Lazy_table::join(const Piece* pieces, std::size_t count) {
  std::vector<std::int64_t> entries(pieces[count - 1].first + pieces[count - 1].starts.size());
  std::int64_t* out = entries.data();
  for (std::size_t k = 0; k < count; ++k) out = pieces[k].starts.widen(out);
  return Line_table(std::move(entries));
}

std::int64_t Lazy_table::start_of(const Known& known, std::int64_t line) {
  const std::size_t entries = known.entries();
  if (line < 1 || static_cast<std::uint64_t>(line - 1) >= entries) no_such_line(line, entries);
  const auto index = static_cast<std::size_t>(line - 1);
  if (known.count == 0) return first_start;
  // The last piece whose first entry is at or before the index.
  const Piece* end = known.pieces + known.count;
  const Piece* piece = std::upper_bound(known.pieces, end, index,
                                        [](std::size_t k, const Piece& p) { return k < p.first; }) -
                       1;
  return piece->starts[index - piece->first];
}

std::int64_t Lazy_table::find_line_offset(Text_source& source, std::int64_t line) {
  if (const Line_table* table = whole_.load(std::memory_order_acquire))
    return Line_offsets::find_line_offset(*table, line);
  const Known now = grow(source, [line](std::size_t entries, std::int64_t) {
    return line < 1 || entries >= static_cast<std::uint64_t>(line);
  });
  return start_of(now, line);
}

std::int64_t Lazy_table::find_offset(Text_source& source, std::int64_t line, std::int64_t col) {
  return offset_in_line(find_line_offset(source, line), line, col);
}

std::pair<std::int64_t, std::int64_t> Lazy_table::line_col_of_offset(Text_source& source,
                                                                     std::int64_t offset) {
  if (const Line_table* table = whole_.load(std::memory_order_acquire))
    return Line_offsets::line_col_of_offset(*table, offset);
  // Every start at or below `offset` is known once the scan has reached it;
  // the starts still unknown lie past it and cannot change the answer.
  const Known now =
      grow(source, [offset](std::size_t, std::int64_t scanned) { return scanned >= offset; });
  if (now.count == 0) return Line_offsets::line_col_of_offset(Starts{&first_start, 1}, offset);
  // The last piece that starts at or before the offset; the first for an
  // offset before every start.
  const Piece* end = now.pieces + now.count;
  const Piece* piece =
      std::upper_bound(now.pieces + 1, end, offset,
                       [](std::int64_t at, const Piece& p) { return at < p.starts[0]; }) -
      1;
  const std::size_t index = piece->starts.last_at_or_before(offset);
  return {static_cast<std::int64_t>(piece->first + index) + 1,
          detail::checked_sub(offset, piece->starts[index], "column of an offset")};
}

const Line_table& Lazy_table::whole(Text_source& source) {
  if (const Line_table* table = whole_.load(std::memory_order_acquire)) return *table;
  const Known now = grow(source, [](std::size_t, std::int64_t) { return false; });
  const std::lock_guard<std::mutex> hold(lock_);
  if (const Line_table* table = whole_.load(std::memory_order_acquire)) return *table;
  joined_ = std::make_unique<Line_table>(join(now.pieces, now.count));
  whole_.store(joined_.get(), std::memory_order_release);
  return *joined_;
}

}  // namespace vantel::Line_offsets
