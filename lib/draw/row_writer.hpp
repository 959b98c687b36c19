// SPDX-License-Identifier: MIT
// Writing rows of display columns: tags around each piece, no trailing
// spaces, and no tag of ours left open when a write throws.
#pragma once

#include "draw/in_tag.hpp"

#include <vantel/formatter.hpp>

#include <cstdint>
#include <ostream>
#include <string_view>

namespace vantel::detail {

// Writes one row at a time. Moving right only records spaces, which are
// written when something follows them, so that no row ends in spaces. Each
// piece is enclosed in its own tag: tags never span a row.
class Row_writer {
 public:
  explicit Row_writer(Formatter& formatter) noexcept : formatter_(formatter) {}

  // The display column where the next piece goes, from 0.
  [[nodiscard]] std::int64_t column() const noexcept { return column_; }

  // Moves to `column`; never left.
  void to_column(std::int64_t column) noexcept {
    if (column > column_) {
      pending_ += column - column_;
      column_ = column;
    }
  }

  // Writes `shown`, `width` columns wide, enclosed in `tag` when there is one.
  // On a stream that has failed, only counts the columns: no tag opens, no
  // tag function runs.
  void put(std::string_view shown, std::int64_t width, const Stag* tag) {
    flush();  // which may be what fails the stream
    if (!failed()) {
      if (tag == nullptr)
        formatter_.print_string(shown);
      else
        print_in_tag(formatter_, *tag, [&] { formatter_.print_string(shown); });
    }
    column_ += width;
  }

  // Writes `shown` as put does, inside `outer` as well (a link around a
  // styled piece), which takes no column either.
  void put_in(const Stag& outer, std::string_view shown, std::int64_t width, const Stag* tag) {
    flush();
    if (failed()) {
      column_ += width;
      return;
    }
    print_in_tag(formatter_, outer, [&] { put(shown, width, tag); });
  }

  // Writes `count` copies of the one-column byte `c`.
  void repeat(std::int64_t count, char c, const Stag* tag) {
    if (count <= 0) return;
    flush();
    if (!failed()) {
      if (tag == nullptr)
        formatter_.print_repeat(count, c);
      else
        print_in_tag(formatter_, *tag, [&] { formatter_.print_repeat(count, c); });
    }
    column_ += count;
  }

  // Ends the row with a cut; spaces still pending are dropped.
  void end_row() {
    pending_ = 0;
    column_ = 0;
    formatter_.cut();
  }

  // Whether the stream has failed: nothing more would be written, so
  // drawing may stop.
  [[nodiscard]] bool failed() const { return formatter_.stream().bad(); }

  [[nodiscard]] Formatter& formatter() const noexcept { return formatter_; }

 private:
  void flush() {
    if (pending_ == 0) return;  // most pieces follow the last directly
    formatter_.print_repeat(pending_, ' ');
    pending_ = 0;
  }

  Formatter& formatter_;
  std::int64_t column_ = 0;
  std::int64_t pending_ = 0;
};

}  // namespace vantel::detail
