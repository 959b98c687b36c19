#include "line_offsets/line_offsets.hpp"

#include "support/checked.hpp"
#include "support/pages.hpp"

#include <algorithm>
#include <cstdint>
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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// Wider compares where the compiler can target them for one function and
// the processor is asked at run time.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VANTEL_SCAN_AVX2 1
#include <immintrin.h>
#endif

namespace vantel::Line_offsets {
namespace {

using detail::checked_add;
using detail::checked_sub;

constexpr std::size_t block_size = 16384;

// Where table entries live: every allocation, growth and release of a table's
// storage goes through Storage. Small tables live on the heap; a large one
// gets a mapping of its own on huge pages (pages.hpp), which grows by moving
// its pages, never by copying them.
class Storage {
 public:
  Storage() = default;
  Storage(const Storage&) = delete;
  Storage& operator=(const Storage&) = delete;
  ~Storage() { release(data_, mapped_); }

  [[nodiscard]] std::int64_t* data() const noexcept { return data_; }
  [[nodiscard]] std::size_t capacity() const noexcept { return capacity_; }

  // Room for `count` entries, keeping the first `keep` ones.
  void resize(std::size_t count, std::size_t keep) {
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(std::int64_t))
      throw std::bad_alloc();
    const std::size_t bytes = count * sizeof(std::int64_t);
    if (mapped_ != 0 || detail::maps_pages(bytes)) {
      const std::size_t span = detail::page_span(bytes);
      if (mapped_ != 0) {
        data_ = static_cast<std::int64_t*>(detail::grow_pages(data_, mapped_, span));
      } else {
        auto* fresh = static_cast<std::int64_t*>(detail::map_pages(span));
        if (keep != 0) std::memcpy(fresh, data_, keep * sizeof(std::int64_t));
        std::free(data_);
        data_ = fresh;
      }
      mapped_ = span;
      capacity_ = span / sizeof(std::int64_t);
      return;
    }
    void* moved = std::realloc(data_, bytes);
    if (moved == nullptr) throw std::bad_alloc();
    data_ = static_cast<std::int64_t*>(moved);
    capacity_ = count;
  }

  // The first `count` entries as a table that owns them; the rest is given
  // back and this storage is left empty.
  [[nodiscard]] Line_table release_as_table(std::size_t count) {
    std::int64_t* entries = std::exchange(data_, nullptr);
    const std::size_t mapped = std::exchange(mapped_, 0);
    capacity_ = 0;
    if (mapped != 0) {
      const std::size_t kept = detail::trim_pages(entries, mapped, count * sizeof(std::int64_t));
      // Should the control block fail to allocate, the deleter still runs.
      return Line_table(std::shared_ptr<const std::int64_t>(
                            entries, [kept](const std::int64_t* p) { release(p, kept); }),
                        count);
    }
    auto* exact = static_cast<std::int64_t*>(std::realloc(entries, count * sizeof(std::int64_t)));
    if (exact == nullptr) {
      std::free(entries);
      throw std::bad_alloc();
    }
    return Line_table(
        std::shared_ptr<const std::int64_t>(exact, [](const std::int64_t* p) { release(p, 0); }),
        count);
  }

 private:
  static void release(const std::int64_t* entries, std::size_t mapped) noexcept {
    if (mapped != 0)
      detail::unmap_pages(const_cast<std::int64_t*>(entries), mapped);
    else
      std::free(const_cast<std::int64_t*>(entries));
  }

  std::int64_t* data_ = nullptr;
  std::size_t capacity_ = 0;  // entries
  std::size_t mapped_ = 0;    // bytes of the mapping; 0 on the heap
};

// The entries of a table being built, growing by half again when full, then
// trimmed to their exact count and handed to the table without a copy.
class Vec {
 public:
  void push(std::int64_t x) {
    if (size_ == storage_.capacity()) grow(size_ + 1);
    storage_.data()[size_++] = x;
  }

  // Room for `extra` more entries, written through end() then committed.
  void reserve(std::size_t extra) {
    if (storage_.capacity() - size_ < extra) grow(size_ + extra);
  }
  [[nodiscard]] std::int64_t* end() const noexcept { return storage_.data() + size_; }
  void commit(const std::int64_t* new_end) noexcept {
    size_ = static_cast<std::size_t>(new_end - storage_.data());
  }

  [[nodiscard]] Line_table to_array() {
    if (size_ == 0) return Line_table();
    return storage_.release_as_table(std::exchange(size_, 0));
  }

 private:
  void grow(std::size_t need) {
    std::size_t capacity = storage_.capacity();
    do {
      // Past a third of the address space the growth would wrap: ask for
      // what is needed, which the storage refuses anyway.
      if (capacity > std::numeric_limits<std::size_t>::max() / 3) {
        capacity = need;
        break;
      }
      capacity = std::max<std::size_t>(6, capacity + capacity / 2 + 1);
    } while (capacity < need);
    storage_.resize(capacity, size_);
  }

  Storage storage_;
  std::size_t size_ = 0;
};

// Appends the starts of the lines that the line feeds in `mask` end (bit k:
// the byte at offset next - 1 + k) to `starts`. A chunk holds a line feed or
// not about as often as not, and lines are mostly longer than 16 bytes: so
// the first four are taken without a branch, each slot kept only when it had
// a bit (the top bit stands in for a missing one).
inline void push_line_feeds(Vec& starts, std::uint64_t mask, std::int64_t next) {
  starts.reserve(64);
  std::int64_t* out = starts.end();
  for (int k = 0; k < 4; ++k) {
    *out = next + __builtin_ctzll(mask | (std::uint64_t{1} << 63));
    out += mask != 0;
    mask &= mask - 1;
  }
  while (mask != 0) {
    *out++ = next + __builtin_ctzll(mask);
    mask &= mask - 1;
  }
  starts.commit(out);
}

// Each finds the line feeds of a block 64 bytes at a time, from the start of
// the block, and returns the number of bytes it scanned (a multiple of 64);
// `offset` is the block's offset in the text.
#if defined(__SSE2__)
std::size_t scan_chunks_sse2(Vec& starts, const char* block, std::size_t size,
                             std::int64_t offset) {
  const __m128i lf = _mm_set1_epi8('\n');
  std::size_t i = 0;
  for (; size - i >= 64; i += 64) {
    std::uint64_t mask = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i + 16 * k));
      const auto bits = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf)));
      mask |= std::uint64_t{bits} << (16 * k);
    }
    push_line_feeds(starts, mask, offset + static_cast<std::int64_t>(i) + 1);
  }
  return i;
}
#endif

#if defined(VANTEL_SCAN_AVX2)
// With BMI and POPCNT, which come with AVX2, finding a bit costs no branch
// and no guard: four slots are always written, and as many kept as there
// were line feeds.
__attribute__((target("avx2,bmi,popcnt"))) std::size_t scan_chunks_avx2(Vec& starts,
                                                                        const char* block,
                                                                        std::size_t size,
                                                                        std::int64_t offset) {
  const __m256i lf = _mm256_set1_epi8('\n');
  std::size_t i = 0;
  for (; size - i >= 64; i += 64) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + i));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + i + 32));
    const auto low_bits =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, lf)));
    const auto high_bits =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, lf)));
    std::uint64_t mask = (std::uint64_t{high_bits} << 32) | low_bits;
    const std::int64_t next = offset + static_cast<std::int64_t>(i) + 1;
    const auto count = static_cast<std::size_t>(_mm_popcnt_u64(mask));
    starts.reserve(64);
    std::int64_t* out = starts.end();
    for (int k = 0; k < 4; ++k) {
      out[k] = next + static_cast<std::int64_t>(_tzcnt_u64(mask));  // 64 for no bit
      mask = _blsr_u64(mask);
    }
    for (std::size_t k = 4; k < count; ++k) {
      out[k] = next + static_cast<std::int64_t>(_tzcnt_u64(mask));
      mask = _blsr_u64(mask);
    }
    starts.commit(out + count);
  }
  return i;
}

bool has_avx2() noexcept {
  static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
                          __builtin_cpu_supports("popcnt");
  return has;
}
#endif

// Collects line starts from consecutive blocks of one text, carrying the
// offset of the next block, so that a text never has to be held whole.
class Scanner {
 public:
  explicit Scanner(Scan how) : how_(how) { starts_.push(0); }

  void scan(const char* block, std::size_t size) {
    std::size_t i = 0;
#if defined(VANTEL_SCAN_AVX2)
    if (how_ == Scan::Widest && has_avx2()) i = scan_chunks_avx2(starts_, block, size, offset_);
#endif
#if defined(__SSE2__)
    if (i == 0 && how_ != Scan::Portable) i = scan_chunks_sse2(starts_, block, size, offset_);
#endif
    // The rest, under 64 bytes (or all of it without vector instructions).
    const char* const end = block + size;
    const char* p = block + i;
    while (p < end) {
      const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
      if (lf == nullptr) break;
      p = static_cast<const char*>(lf) + 1;
      starts_.push(offset_ + (p - block));
    }
    offset_ += static_cast<std::int64_t>(size);
  }

  [[nodiscard]] Line_table finish() {
    return starts_.to_array();
  }

 private:
  Scan how_;
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
  Scanner scanner(Scan::Widest);
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

Line_table from_string(std::string_view text, Scan how) {
  Scanner scanner(how);
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

namespace vantel {

Line_table Line_table::of_text(std::string_view text) {
  return Line_offsets::from_string(text);
}

}  // namespace vantel
