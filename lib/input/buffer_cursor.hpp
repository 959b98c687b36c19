// A cursor over a byte buffer held in memory, whatever its type.
#pragma once

#include "input/input_node.hpp"
#include "input/raw_cursor.hpp"

#include "line_offsets/line_offsets.hpp"

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

namespace vantel::detail {

// Reads `buffer` through three callables: `len(buffer)` its current length,
// `get(buffer, i)` the byte at an index that was just found in bounds, and
// `to_string(buffer)` a view of all its bytes, for the line table and for
// reading many bytes at once. The length
// is asked anew at every bounds test, so a buffer that changes is read as it
// stands. Before the first successful seek nothing can be read.
template <typename Buffer, typename Len, typename Get, typename To_string>
class Buffer_cursor final : public Raw_cursor {
 public:
  Buffer_cursor(Buffer buffer, Len len, Get get, To_string to_string)
      : buffer_(std::move(buffer)),
        len_(std::move(len)),
        get_(std::move(get)),
        to_string_(std::move(to_string)) {}

  Seek_result seek(std::int64_t offset) override {
    if (!inbound(offset)) return Seek_result::Invalid_position;
    position_ = offset;
    return Seek_result::Ok;
  }

  Byte read_char() override {
    if (!inbound(position_)) return End_of_input;
    const auto c = static_cast<unsigned char>(get_(buffer_, static_cast<std::size_t>(position_)));
    ++position_;
    return c;
  }

  std::string_view buffered() override {
    if (!inbound(position_)) return {};
    return std::string_view(to_string_(buffer_)).substr(static_cast<std::size_t>(position_));
  }
  void consume(std::size_t count) override { position_ += static_cast<std::int64_t>(count); }

 protected:
  Line_table compute_line_offsets() override {
    return Line_offsets::from_string(std::string_view(to_string_(buffer_)));
  }

 private:
  bool inbound(std::int64_t i) const {
    if (i < 0) return false;
    return static_cast<std::uint64_t>(i) < static_cast<std::uint64_t>(len_(buffer_));
  }

  Buffer buffer_;
  Len len_;
  Get get_;
  To_string to_string_;
  std::int64_t position_ = -1;
};

// A Raw input over `buffer`; see Buffer_cursor.
template <typename Buffer, typename Len, typename Get, typename To_string>
Input buf(Buffer buffer, Len len, Get get, To_string to_string) {
  return Input_node::make_raw(std::make_shared<Buffer_cursor<Buffer, Len, Get, To_string>>(
      std::move(buffer), std::move(len), std::move(get), std::move(to_string)));
}

}  // namespace vantel::detail
