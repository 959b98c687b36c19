// SPDX-License-Identifier: MIT
// Large blocks of memory on huge pages, where the system offers them.
//
// Each fresh 4 KiB page costs a fault at its first touch, which dominates the
// cost of a large array that is written once; a huge page costs one fault for
// 512 of them. Blocks of `large_block` bytes or more are mapped on their own,
// 2 MiB-aligned and advised for huge pages; smaller ones come from the heap.
#pragma once

#include <cstddef>
#include <new>

namespace vantel::detail {

inline constexpr std::size_t huge_page = std::size_t{2} << 20;
inline constexpr std::size_t large_block = std::size_t{1} << 20;

// Whether blocks of `bytes` are mapped by map_pages rather than taken from
// the heap (never where the system has no mappings of its own).
[[nodiscard]] bool maps_pages(std::size_t bytes) noexcept;

// The size that map_pages maps for `bytes`: a whole number of huge pages.
// std::bad_alloc when that does not fit.
[[nodiscard]] std::size_t page_span(std::size_t bytes);

// A fresh zeroed mapping of page_span(bytes) bytes, on a huge page boundary.
// std::bad_alloc when the system refuses it.
[[nodiscard]] void* map_pages(std::size_t bytes);

// The mapping at `block` of `old_span` bytes, grown to `new_span` bytes (both
// from page_span) without copying its pages: in place where the addresses
// after it are free, else moved. std::bad_alloc leaves the block as it was.
[[nodiscard]] void* grow_pages(void* block, std::size_t old_span, std::size_t new_span);

// Gives back the last pages of a mapping of `span` bytes, keeping the whole
// pages that hold its first `keep` bytes; returns the span kept.
std::size_t trim_pages(void* block, std::size_t span, std::size_t keep) noexcept;

void unmap_pages(void* block, std::size_t span) noexcept;

// A standard allocator that puts large arrays on huge pages.
template <class T>
struct Page_allocator {
  using value_type = T;

  Page_allocator() noexcept = default;
  template <class U>
  Page_allocator(const Page_allocator<U>&) noexcept {}

  [[nodiscard]] T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    const std::size_t bytes = n * sizeof(T);
    if (maps_pages(bytes)) return static_cast<T*>(map_pages(bytes));
    return static_cast<T*>(::operator new(bytes));
  }

  void deallocate(T* p, std::size_t n) noexcept {
    const std::size_t bytes = n * sizeof(T);
    if (maps_pages(bytes))
      unmap_pages(p, page_span(bytes));
    else
      ::operator delete(p);
  }

  friend bool operator==(const Page_allocator&, const Page_allocator&) noexcept { return true; }
  friend bool operator!=(const Page_allocator&, const Page_allocator&) noexcept { return false; }
};

}  // namespace vantel::detail
