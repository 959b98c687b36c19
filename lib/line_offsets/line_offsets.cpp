#include "line_offsets.hpp"

#include "checked.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <system_error>
#include <utility>

namespace vantel::Line_offsets {
namespace {

using detail::checked_add;
using detail::checked_sub;

constexpr std::size_t block_size = 16384;

// Where table entries live: every allocation, growth and release of a table's
// storage goes through these two functions. realloc lets a large table grow
// and shrink by remapping pages instead of copying them.
std::int64_t* resize_storage(std::int64_t* entries, std::size_t count) {
  if (count > std::numeric_limits<std::size_t>::max() / sizeof(std::int64_t))
    throw std::bad_alloc();
  void* moved = std::realloc(entries, count * sizeof(std::int64_t));
  if (moved == nullptr) throw std::bad_alloc();
  return static_cast<std::int64_t*>(moved);
}

void release_storage(const std::int64_t* entries) noexcept {
  std::free(const_cast<std::int64_t*>(entries));
}

// The entries of a table being built, growing by half again when full, then
// trimmed to their exact count and handed to the table without a copy.
class Vec {
 public:
  Vec() = default;
  Vec(const Vec&) = delete;
  Vec& operator=(const Vec&) = delete;
  ~Vec() { release_storage(data_); }

  void push(std::int64_t x) {
    if (size_ == capacity_) grow_();
    data_[size_++] = x;
  }

  [[nodiscard]] Line_table to_array() {
    if (size_ == 0) return Line_table();
    std::int64_t* exact = resize_storage(data_, size_);
    data_ = nullptr;
    capacity_ = 0;
    // Should the control block fail to allocate, the deleter still runs.
    return Line_table(std::shared_ptr<const std::int64_t>(exact, release_storage),
                      std::exchange(size_, 0));
  }

 private:
  void grow_() {
    const std::size_t capacity = std::max<std::size_t>(6, capacity_ + capacity_ / 2 + 1);
    data_ = resize_storage(data_, capacity);
    capacity_ = capacity;
  }

  std::int64_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// Collects line starts from consecutive blocks of one text, carrying the
// offset of the next block, so that a text never has to be held whole.
class Scanner {
 public:
  Scanner() { starts_.push(0); }

  void scan(const char* block, std::size_t size) {
    const char* const end = block + size;
    const char* p = block;
    while (p < end) {
      const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
      if (lf == nullptr) break;
      p = static_cast<const char*>(lf) + 1;
      starts_.push(offset_ + (p - block));
    }
    offset_ += static_cast<std::int64_t>(size);
  }

  [[nodiscard]] Line_table finish() { return starts_.to_array(); }

 private:
  Vec starts_;
  std::int64_t offset_ = 0;  // of the next block's first byte
};

[[noreturn]] void no_such_line(std::int64_t line, std::size_t lines) {
  throw std::out_of_range("line " + std::to_string(line) + " is outside the table of " +
                          std::to_string(lines) + (lines == 1 ? " line" : " lines"));
}

}  // namespace

Line_table from_chan(std::istream& channel) {
  std::streambuf* buf = channel.rdbuf();
  Scanner scanner;
  if (buf == nullptr) return scanner.finish();
  try {
    buf->pubseekpos(0, std::ios_base::in);
  } catch (const std::system_error&) {
    // A stream that cannot seek is read from where it stands.
  }
  const auto block = std::make_unique<char[]>(block_size);
  for (;;) {
    const std::streamsize got = buf->sgetn(block.get(), block_size);
    if (got > 0) scanner.scan(block.get(), static_cast<std::size_t>(got));
    if (got < static_cast<std::streamsize>(block_size)) break;
  }
  return scanner.finish();
}

Line_table from_string(std::string_view text) {
  Scanner scanner;
  scanner.scan(text.data(), text.size());
  return scanner.finish();
}

std::int64_t find_line_offset(const Line_table& table, std::int64_t line) {
  if (line < 1 || static_cast<std::uint64_t>(line - 1) >= table.size())
    no_such_line(line, table.size());
  return table[static_cast<std::size_t>(line - 1)];
}

std::int64_t find_offset(const Line_table& table, std::int64_t line, std::int64_t col) {
  const std::int64_t start = find_line_offset(table, line);
  // start + col - 1, exact: subtracting the 1 from whichever side cannot wrap.
  if (col >= 1) return checked_add(start, col - 1, "offset of a line and column");
  return checked_add(checked_sub(start, 1, "offset of a line and column"), col,
                     "offset of a line and column");
}

std::pair<std::int64_t, std::int64_t> line_col_of_offset(const Line_table& table,
                                                         std::int64_t offset) {
  if (table.empty()) throw std::out_of_range("no line in an empty line table");
  const auto n = static_cast<std::int64_t>(table.size());
  const auto at = [&table](std::int64_t k) { return table[static_cast<std::size_t>(k)]; };
  // Signed bounds: hi may drop to -1 when the offset lies before the first line.
  std::int64_t lo = 0;
  std::int64_t hi = n;
  while (lo < hi) {
    const std::int64_t mid = lo / 2 + hi / 2;
    if (at(mid) > offset) {
      hi = mid - 1;
    } else if (mid + 1 == n || at(mid + 1) > offset) {
      lo = mid;
      break;
    } else {
      lo = mid + 1;
    }
  }
  return {lo + 1, checked_sub(offset, at(lo), "column of an offset")};
}

}  // namespace vantel::Line_offsets
