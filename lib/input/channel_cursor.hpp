// SPDX-License-Identifier: MIT
// A cursor over a std::istream, at the stream's own position.
#pragma once

#include "input/file_channel.hpp"
#include "input/raw_cursor.hpp"
#include "line_offsets/lazy_table.hpp"

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <string>

namespace vantel::detail {

// Seeks and reads through the stream's buffer. A seek that the stream refuses
// is an Invalid_position when the stream can seek elsewhere, and a
// std::system_error when it cannot seek at all (a pipe), since nothing could
// then be quoted. A read error is a std::system_error naming the input, never
// an end of input. Any other exception propagates as it is. The stream is
// never closed here; `owner`, when given, keeps it alive as long as the
// cursor.
class Channel_cursor final : public Raw_cursor, Line_offsets::Text_source {
 public:
  // `file`, when given, is the stream's buffer: its bytes at hand can then be
  // read many at once, and its errors already name it. `table`, when given,
  // is the growing table to use, shared with other openings of the file.
  explicit Channel_cursor(std::istream& channel, std::shared_ptr<void> owner = nullptr,
                          File_buf* file = nullptr,
                          std::shared_ptr<Line_offsets::Lazy_table> table = nullptr);

  Seek_result seek(std::int64_t offset) override;
  Byte read_char() override;
  std::string_view buffered() override;
  void consume(std::size_t count) override;
  [[nodiscard]] std::string name() const override;
  // A regular file's cursor forks into another reader of its descriptor, its
  // kept blocks and its table.
  [[nodiscard]] bool forks() const noexcept override;
  [[nodiscard]] std::optional<std::pair<std::uint64_t, std::uint64_t>> file_key() const override;

 protected:
  Lazy_lines lazy_lines() override;
  Line_table compute_line_offsets() override;
  [[nodiscard]] std::unique_ptr<Raw_cursor> fork() override;

 private:
  bool start(std::int64_t offset) override;
  std::string_view next() override;
  bool at_end() override;
  // Whether the stream can seek at all.
  [[nodiscard]] bool seekable();
  // `failure` again, naming the input when the stream's buffer did not.
  [[noreturn]] void rethrow_named(const std::system_error& failure) const;
  // Puts the stream back where reading left it, if the table moved it since.
  void come_back();

  std::istream* channel_;
  std::shared_ptr<void> owner_;
  File_buf* file_;
  std::shared_ptr<Line_offsets::Lazy_table> table_;
  std::optional<bool> grows_;  // decided at the first query of the table
  std::unique_ptr<char[]> block_;
  // Where reading stood when the growing table took the stream over: the
  // table scans through the same stream, and a reader must not notice.
  std::optional<std::streampos> resume_;
};

}  // namespace vantel::detail
