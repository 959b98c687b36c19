// SPDX-License-Identifier: MIT
// Collecting the line starts of a text handed over block by block.
#pragma once

#include "support/page_storage.hpp"

#include <vantel/line_table.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace vantel::Line_offsets {

// How line feeds are looked for: with the widest compares that the processor
// offers, with those of every processor of its family, or with no vector
// compares at all, as on a processor without them. All give the same table;
// the last two are there to be compared with the first.
enum class Scan { Widest, Baseline, Portable };

// The entries of a table being built, growing by half again when full, then
// trimmed to their exact count and handed over without a copy.
template <class T>
class Vec {
 public:
  void push(T x) {
    if (size_ == storage_.capacity()) grow(size_ + 1);
    storage_.data()[size_++] = x;
  }

  // Room for `extra` more entries, written through end() then committed.
  void reserve(std::size_t extra) {
    if (storage_.capacity() - size_ < extra) grow(size_ + extra);
  }
  [[nodiscard]] std::size_t size() const noexcept { return size_; }
  [[nodiscard]] const T* data() const noexcept { return storage_.data(); }
  [[nodiscard]] T* end() const noexcept { return storage_.data() + size_; }
  void commit(const T* new_end) noexcept {
    size_ = static_cast<std::size_t>(new_end - storage_.data());
  }

  // The entries, trimmed to their count (null for none); the vector is left
  // empty.
  [[nodiscard]] std::shared_ptr<const T> release() {
    if (size_ == 0) return nullptr;
    return storage_.release_first(std::exchange(size_, 0));
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

  detail::Page_storage<T> storage_;
  std::size_t size_ = 0;
};

// Collects line starts from consecutive blocks of one text, carrying the
// offset of the next block, so that a text never has to be held whole. The
// entries found so far can be read between blocks: they are final, since a
// later block only adds starts past those already seen.
//
// Entry is std::int64_t for whole offsets, or std::uint32_t for offsets
// modulo 4 GiB, half the memory, with the index of the first start of each
// further 4 GiB kept aside (crossings()).
template <class Entry>
class Basic_scanner {
 public:
  explicit Basic_scanner(Scan how = Scan::Widest) : how_(how) { starts_.push(0); }
  // Goes on from `offset` of a text whose starts up to it are known
  // elsewhere: collects only those found from there.
  Basic_scanner(Scan how, std::int64_t offset) : how_(how), offset_(offset) {}

  void scan(const char* block, std::size_t size);

  // Bytes scanned so far: every start at or below this offset is known.
  [[nodiscard]] std::int64_t scanned() const noexcept { return offset_; }
  [[nodiscard]] std::size_t size() const noexcept { return starts_.size(); }
  // The starts found so far; moved by the next scan.
  [[nodiscard]] const Entry* data() const noexcept { return starts_.data(); }
  // Entry k of crossings() is the index of the first start at or past
  // (k + 1) * 4 GiB; empty for whole offsets.
  [[nodiscard]] std::vector<std::size_t>& crossings() noexcept { return crossings_; }

  // The starts (null for none); the scanner is left empty.
  [[nodiscard]] std::shared_ptr<const Entry> release() { return starts_.release(); }
  // The whole table, of whole offsets; the scanner is left empty.
  template <class Whole = Entry, std::enable_if_t<std::is_same_v<Whole, std::int64_t>, int> = 0>
  [[nodiscard]] Line_table finish() {
    const std::size_t count = starts_.size();
    return count == 0 ? Line_table() : Line_table(release(), count);
  }

 private:
  void scan_part(const char* block, std::size_t size);

  Scan how_;
  Vec<Entry> starts_;
  std::vector<std::size_t> crossings_;
  std::int64_t offset_ = 0;  // of the next block's first byte
};

using Line_scanner = Basic_scanner<std::int64_t>;
using Narrow_scanner = Basic_scanner<std::uint32_t>;

extern template class Basic_scanner<std::int64_t>;
extern template class Basic_scanner<std::uint32_t>;

}  // namespace vantel::Line_offsets
