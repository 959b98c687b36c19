// SPDX-License-Identifier: MIT
// Collecting the line starts of a text handed over block by block.
#pragma once

#include "support/pages.hpp"

#include <vantel/line_table.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <utility>

namespace vantel::Line_offsets {

// How line feeds are looked for: with the widest compares that the processor
// offers, with those of every processor of its family, or with no vector
// compares at all, as on a processor without them. All give the same table;
// the last two are there to be compared with the first.
enum class Scan { Widest, Baseline, Portable };

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
  [[nodiscard]] std::size_t size() const noexcept { return size_; }
  [[nodiscard]] const std::int64_t* data() const noexcept { return storage_.data(); }
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

// Collects line starts from consecutive blocks of one text, carrying the
// offset of the next block, so that a text never has to be held whole. The
// entries found so far can be read between blocks: they are final, since a
// later block only adds starts past those already seen.
class Line_scanner {
 public:
  explicit Line_scanner(Scan how = Scan::Widest) : how_(how) { starts_.push(0); }
  // Goes on from `offset` of a text whose starts up to it are known
  // elsewhere: collects only those found from there.
  Line_scanner(Scan how, std::int64_t offset) : how_(how), offset_(offset) {}

  void scan(const char* block, std::size_t size);

  // Bytes scanned so far: every start at or below this offset is known.
  [[nodiscard]] std::int64_t scanned() const noexcept { return offset_; }
  [[nodiscard]] std::size_t size() const noexcept { return starts_.size(); }
  // The starts found so far; moved by the next scan.
  [[nodiscard]] const std::int64_t* data() const noexcept { return starts_.data(); }

  // The whole table; the scanner is left empty.
  [[nodiscard]] Line_table finish() { return starts_.to_array(); }

 private:
  Scan how_;
  Vec starts_;
  std::int64_t offset_ = 0;  // of the next block's first byte
};

}  // namespace vantel::Line_offsets
