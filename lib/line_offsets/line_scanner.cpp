// SPDX-License-Identifier: MIT
#include "line_offsets/line_scanner.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

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

// Appends the starts of the lines that the line feeds in `mask` end (bit k:
// the byte at offset next - 1 + k) to `starts`. A chunk holds a line feed or
// not about as often as not, and lines are mostly longer than 16 bytes: so
// the first four are taken without a branch, each slot kept only when it had
// a bit (the top bit stands in for a missing one).
template <class Entry>
inline void push_line_feeds(Vec<Entry>& starts, std::uint64_t mask, std::int64_t next) {
  starts.reserve(64);
  Entry* out = starts.end();
  for (int k = 0; k < 4; ++k) {
    *out = static_cast<Entry>(next + __builtin_ctzll(mask | (std::uint64_t{1} << 63)));
    out += mask != 0;
    mask &= mask - 1;
  }
  while (mask != 0) {
    *out++ = static_cast<Entry>(next + __builtin_ctzll(mask));
    mask &= mask - 1;
  }
  starts.commit(out);
}

// Each finds the line feeds of a block 64 bytes at a time, from the start of
// the block, and returns the number of bytes it scanned (a multiple of 64);
// `offset` is the block's offset in the text.
#if defined(__SSE2__)
template <class Entry>
std::size_t scan_chunks_sse2(Vec<Entry>& starts, const char* block, std::size_t size,
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
template <class Entry>
__attribute__((target("avx2,bmi,popcnt"))) std::size_t scan_chunks_avx2(Vec<Entry>& starts,
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
    // In the entries' own width: narrow entries wrap at 4 GiB, as they should.
    const auto next = static_cast<Entry>(offset + static_cast<std::int64_t>(i) + 1);
    const auto count = static_cast<std::size_t>(_mm_popcnt_u64(mask));
    starts.reserve(64);
    Entry* out = starts.end();
    for (int k = 0; k < 4; ++k) {
      out[k] = static_cast<Entry>(next + static_cast<Entry>(_tzcnt_u64(mask)));  // 64: none
      mask = _blsr_u64(mask);
    }
    for (std::size_t k = 4; k < count; ++k) {
      out[k] = static_cast<Entry>(next + static_cast<Entry>(_tzcnt_u64(mask)));
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

}  // namespace

template <class Entry>
void Basic_scanner<Entry>::scan(const char* block, std::size_t size) {
  if constexpr (std::is_same_v<Entry, std::int64_t>) {
    scan_part(block, size);
  } else {
    // The byte before each 4 GiB boundary ends the part it falls in: a line
    // feed there starts the first line past the boundary.
    constexpr int shift = 32;
    while (size != 0) {
      const auto segment = static_cast<std::size_t>((offset_ + 1) >> shift);
      while (crossings_.size() < segment) crossings_.push_back(starts_.size());
      const std::int64_t part_end = (static_cast<std::int64_t>(segment + 1) << shift) - 1;
      const auto part = static_cast<std::size_t>(
          std::min<std::uint64_t>(size, static_cast<std::uint64_t>(part_end - offset_)));
      scan_part(block, part);
      block += part;
      size -= part;
    }
  }
}

template <class Entry>
void Basic_scanner<Entry>::scan_part(const char* block, std::size_t size) {
  std::size_t i = 0;
#if defined(VANTEL_SCAN_AVX2)
  if (how_ == Scan::Widest && has_avx2()) i = scan_chunks_avx2(starts_, block, size, offset_);
#endif
#if defined(__SSE2__)
  if (i == 0) i = scan_chunks_sse2(starts_, block, size, offset_);
#endif
  // The rest, under 64 bytes (or all of it without vector instructions).
  const char* const end = block + size;
  const char* p = block + i;
  while (p < end) {
    const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    if (lf == nullptr) break;
    p = static_cast<const char*>(lf) + 1;
    starts_.push(static_cast<Entry>(offset_ + (p - block)));
  }
  offset_ += static_cast<std::int64_t>(size);
}

template class Basic_scanner<std::int64_t>;
template class Basic_scanner<std::uint32_t>;

}  // namespace vantel::Line_offsets
