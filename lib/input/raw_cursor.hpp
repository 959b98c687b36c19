// The cursor an opened input reads through.
#pragma once

#include <vantel/line_table.hpp>
#include <vantel/read_result.hpp>

#include <cstdint>
#include <exception>
#include <optional>
#include <string_view>

namespace vantel::detail {

// Byte-by-byte access to a text, and its line table computed at the first
// request and kept. A failure of that computation is kept too, and thrown
// again at every later request without computing again.
class Raw_cursor {
 public:
  Raw_cursor() = default;
  Raw_cursor(const Raw_cursor&) = delete;
  Raw_cursor& operator=(const Raw_cursor&) = delete;
  virtual ~Raw_cursor() = default;

  // The next read_char reads the byte at `offset`.
  [[nodiscard]] virtual Seek_result seek(std::int64_t offset) = 0;
  [[nodiscard]] virtual Byte read_char() = 0;

  // The bytes that the next calls of read_char would give, as far as the
  // cursor holds them already (possibly none, and always none for a cursor
  // that cannot tell); consume(n) then moves past the first n of them, as n
  // calls of read_char would.
  [[nodiscard]] virtual std::string_view buffered() { return {}; }
  virtual void consume(std::size_t count) { (void)count; }

  [[nodiscard]] const Line_table& line_offsets() {
    if (table_) return *table_;
    if (failure_) std::rethrow_exception(failure_);
    try {
      table_ = compute_line_offsets();
    } catch (...) {
      failure_ = std::current_exception();
      throw;
    }
    return *table_;
  }

 protected:
  [[nodiscard]] virtual Line_table compute_line_offsets() = 0;

 private:
  std::optional<Line_table> table_;
  std::exception_ptr failure_;
};

}  // namespace vantel::detail
