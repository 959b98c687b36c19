// SPDX-License-Identifier: MIT
// Arrays written once and grown at the end, on huge pages when large.
#pragma once

#include "support/pages.hpp"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace vantel::detail {

// An array that grows without copying what it holds: a small one lives on
// the heap; a large one gets a mapping of its own on huge pages (pages.hpp),
// which grows by moving its pages, never by copying them. T is trivially
// copyable; entries past those kept are not initialised.
template <class T>
class Page_storage {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  Page_storage() = default;
  Page_storage(const Page_storage&) = delete;
  Page_storage& operator=(const Page_storage&) = delete;
  ~Page_storage() { release(data_, mapped_); }

  [[nodiscard]] T* data() const noexcept { return data_; }
  [[nodiscard]] std::size_t capacity() const noexcept { return capacity_; }

  // Room for `count` entries, keeping the first `keep` ones.
  void resize(std::size_t count, std::size_t keep) {
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_alloc();
    const std::size_t bytes = count * sizeof(T);
    if (mapped_ != 0 || maps_pages(bytes)) {
      const std::size_t span = page_span(bytes);
      if (mapped_ != 0) {
        data_ = static_cast<T*>(grow_pages(data_, mapped_, span));
      } else {
        auto* fresh = static_cast<T*>(map_pages(span));
        if (keep != 0) std::memcpy(fresh, data_, keep * sizeof(T));
        std::free(data_);
        data_ = fresh;
      }
      mapped_ = span;
      capacity_ = span / sizeof(T);
      return;
    }
    void* moved = std::realloc(data_, bytes);
    if (moved == nullptr) throw std::bad_alloc();
    data_ = static_cast<T*>(moved);
    capacity_ = count;
  }

  // The first `count` entries, owned by the pointer handed out; the rest is
  // given back and this storage is left empty.
  [[nodiscard]] std::shared_ptr<const T> release_first(std::size_t count) {
    T* entries = std::exchange(data_, nullptr);
    const std::size_t mapped = std::exchange(mapped_, 0);
    capacity_ = 0;
    if (mapped != 0) {
      const std::size_t kept = trim_pages(entries, mapped, count * sizeof(T));
      // Should the control block fail to allocate, the deleter still runs.
      return std::shared_ptr<const T>(entries, [kept](const T* p) { release(p, kept); });
    }
    auto* exact = static_cast<T*>(std::realloc(entries, count * sizeof(T)));
    if (exact == nullptr) {
      std::free(entries);
      throw std::bad_alloc();
    }
    return std::shared_ptr<const T>(exact, [](const T* p) { release(p, 0); });
  }

 private:
  static void release(const T* entries, std::size_t mapped) noexcept {
    if (mapped != 0)
      unmap_pages(const_cast<T*>(entries), mapped);
    else
      std::free(const_cast<T*>(entries));
  }

  T* data_ = nullptr;
  std::size_t capacity_ = 0;  // entries
  std::size_t mapped_ = 0;    // bytes of the mapping; 0 on the heap
};

}  // namespace vantel::detail
