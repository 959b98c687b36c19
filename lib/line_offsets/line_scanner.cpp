// SPDX-License-Identifier: MIT
#include "line_offsets/line_scanner.hpp"

#include <cstdint>
#include <cstring>

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
}  // namespace

void Line_scanner::scan(const char* block, std::size_t size) {
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
    starts_.push(offset_ + (p - block));
  }
  offset_ += static_cast<std::int64_t>(size);
}

}  // namespace vantel::Line_offsets
