// SPDX-License-Identifier: MIT
// A cursor over a byte buffer held in memory, whatever its type.
#pragma once

#include "input/input_node.hpp"
#include "input/raw_cursor.hpp"

#include "line_offsets/lazy_table.hpp"
#include "line_offsets/line_offsets.hpp"

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

namespace vantel::detail {

// How a buffer cursor builds its line table: growing it as queries need, for
// a text that never changes, or whole at the first request, for a buffer that
// may change later (a growing table would mix its old and new content).
enum class Buffer_table { Lazy, Whole };

// Reads `buffer` through three callables: `len(buffer)` its current length,
// `get(buffer, i)` the byte at an index that was just found in bounds, and
// `to_string(buffer)` a view of all its bytes, for the line table and for
// reading many bytes at once. The length
// is asked anew at every bounds test, so a buffer that changes is read as it
// stands. Before the first successful seek nothing can be read.
template <typename Buffer, typename Len, typename Get, typename To_string>
class Buffer_cursor final : public Raw_cursor, Line_offsets::Text_source {
 public:
  Buffer_cursor(Buffer buffer, Len len, Get get, To_string to_string, Buffer_table table)
      : buffer_(std::move(buffer)),
        len_(std::move(len)),
        get_(std::move(get)),
        to_string_(std::move(to_string)),
        lazy_(table == Buffer_table::Lazy) {}

  Seek_result seek(std::int64_t offset) override { return seek_at(position_, offset); }
  Byte read_char() override { return read_at(position_); }
  std::string_view buffered() override { return buffered_at(position_); }
  void consume(std::size_t count) override { position_ += static_cast<std::int64_t>(count); }

  // A position of its own in the same buffer: the buffer is only read, and
  // the table takes care of itself.
  bool forks() const noexcept override { return true; }

 protected:
  std::unique_ptr<Raw_cursor> fork() override { return std::make_unique<Reader>(*this); }
  Lazy_lines lazy_lines() override {
    if (!lazy_) return {nullptr, nullptr};
    return {&table_, this};
  }
  Line_table compute_line_offsets() override {
    return Line_offsets::from_string(std::string_view(to_string_(buffer_)));
  }

 private:
  // The text in blocks, for the growing table: large enough that a block
  // costs more to scan than to ask for, small enough that a query near the
  // top scans little.
  bool start(std::int64_t offset) override {
    next_ = static_cast<std::size_t>(offset);
    return true;
  }
  std::string_view next() override {
    static constexpr std::size_t block = 65536;
    const std::string_view text(to_string_(buffer_));
    if (next_ >= text.size()) return {};
    const std::string_view got = text.substr(next_, block);
    next_ += got.size();
    return got;
  }

  // Reads through another buffer cursor's buffer and table.
  class Reader final : public Raw_cursor {
   public:
    explicit Reader(Buffer_cursor& shared) : shared_(shared) { share_table_of(shared); }
    Seek_result seek(std::int64_t offset) override { return shared_.seek_at(position_, offset); }
    Byte read_char() override { return shared_.read_at(position_); }
    std::string_view buffered() override { return shared_.buffered_at(position_); }
    void consume(std::size_t count) override { position_ += static_cast<std::int64_t>(count); }
    [[nodiscard]] std::string name() const override { return shared_.name(); }

   protected:
    Lazy_lines lazy_lines() override { return shared_.lazy_lines(); }

   private:
    Buffer_cursor& shared_;
    std::int64_t position_ = -1;
  };

  Seek_result seek_at(std::int64_t& position, std::int64_t offset) const {
    if (!inbound(offset)) return Seek_result::Invalid_position;
    position = offset;
    return Seek_result::Ok;
  }
  Byte read_at(std::int64_t& position) const {
    if (!inbound(position)) return End_of_input;
    const auto c = static_cast<unsigned char>(get_(buffer_, static_cast<std::size_t>(position)));
    ++position;
    return c;
  }
  std::string_view buffered_at(std::int64_t position) const {
    if (!inbound(position)) return {};
    return std::string_view(to_string_(buffer_)).substr(static_cast<std::size_t>(position));
  }

  bool at_end() override { return next_ >= std::string_view(to_string_(buffer_)).size(); }

  bool inbound(std::int64_t i) const {
    if (i < 0) return false;
    return static_cast<std::uint64_t>(i) < static_cast<std::uint64_t>(len_(buffer_));
  }

  Buffer buffer_;
  Len len_;
  Get get_;
  To_string to_string_;
  std::int64_t position_ = -1;
  bool lazy_;
  Line_offsets::Lazy_table table_;
  std::size_t next_ = 0;  // where the growing table's next block starts, under its lock
};

// A Raw input over `buffer`; see Buffer_cursor.
template <typename Buffer, typename Len, typename Get, typename To_string>
Input buf(std::string name, Buffer buffer, Len len, Get get, To_string to_string,
          Buffer_table table) {
  auto cursor = std::make_shared<Buffer_cursor<Buffer, Len, Get, To_string>>(
      std::move(buffer), std::move(len), std::move(get), std::move(to_string), table);
  cursor->set_name(std::move(name));
  return Input_node::make_raw(std::move(cursor));
}

}  // namespace vantel::detail
