// SPDX-License-Identifier: MIT
#include "support/pages.hpp"

#include <cstdint>
#include <limits>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace vantel::detail {

#if defined(__linux__)

bool maps_pages(std::size_t bytes) noexcept {
  return bytes >= large_block;
}

std::size_t page_span(std::size_t bytes) {
  if (bytes > std::numeric_limits<std::size_t>::max() - 2 * huge_page) throw std::bad_alloc();
  return (bytes + huge_page - 1) / huge_page * huge_page;
}

void* map_pages(std::size_t bytes) {
  const std::size_t span = page_span(bytes);
  // One huge page more than needed, then the unaligned ends are given back.
  const std::size_t mapped = span + huge_page;
  void* p = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(p);
  const std::uintptr_t aligned = (start + huge_page - 1) & ~std::uintptr_t{huge_page - 1};
  if (aligned > start) ::munmap(p, aligned - start);
  const std::uintptr_t tail = start + mapped - (aligned + span);
  if (tail != 0) ::munmap(reinterpret_cast<void*>(aligned + span), tail);
  // Only a hint: where it is refused the pages are ordinary ones.
  ::madvise(reinterpret_cast<void*>(aligned), span, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

void* grow_pages(void* block, std::size_t old_span, std::size_t new_span) {
  void* grown = ::mremap(block, old_span, new_span, 0);
  if (grown != MAP_FAILED) return grown;
  // Moved onto the start of a fresh aligned mapping, so that its huge pages
  // stay whole.
  void* fresh = map_pages(new_span);
  if (::mremap(block, old_span, old_span, MREMAP_MAYMOVE | MREMAP_FIXED, fresh) == MAP_FAILED) {
    ::munmap(fresh, new_span);
    throw std::bad_alloc();
  }
  return fresh;
}

std::size_t trim_pages(void* block, std::size_t span, std::size_t keep) noexcept {
  const long page = ::sysconf(_SC_PAGESIZE);
  const std::size_t unit = page > 0 ? static_cast<std::size_t>(page) : 4096;
  const std::size_t kept = (keep + unit - 1) / unit * unit;
  if (kept >= span) return span;
  ::munmap(static_cast<char*>(block) + kept, span - kept);
  return kept;
}

void unmap_pages(void* block, std::size_t span) noexcept {
  ::munmap(block, span);
}

#else

bool maps_pages(std::size_t) noexcept {
  return false;
}
std::size_t page_span(std::size_t bytes) {
  return bytes;
}
void* map_pages(std::size_t) {
  throw std::bad_alloc();
}
void* grow_pages(void*, std::size_t, std::size_t) {
  throw std::bad_alloc();
}
std::size_t trim_pages(void*, std::size_t span, std::size_t) noexcept {
  return span;
}
void unmap_pages(void*, std::size_t) noexcept {}

#endif

}  // namespace vantel::detail
