// SPDX-License-Identifier: MIT
#include "line_offsets/line_offsets.hpp"

#include "line_offsets/line_scanner.hpp"
#include "support/checked.hpp"
#include "support/unnamed.hpp"

#include <cstdint>
#include <istream>
#include <memory>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <system_error>
#include <utility>

namespace vantel::Line_offsets {
namespace {

using detail::checked_sub;

constexpr std::size_t block_size = 16384;

}  // namespace

Line_table from_chan(std::istream& channel) {
  std::streambuf* buf = channel.rdbuf();
  Line_scanner scanner(Scan::Widest);
  if (buf == nullptr) return scanner.finish();
  try {
    buf->pubseekpos(0, std::ios_base::in);
  } catch (const std::system_error&) {
    // A stream that cannot seek is read from where it stands.
  }
  const auto block = std::make_unique<char[]>(block_size);
  for (;;) {
    const std::streamsize got = buf->sgetn(block.get(), block_size);
    if (got > 0) scanner.scan(block.get(), static_cast<std::size_t>(got));
    if (got < static_cast<std::streamsize>(block_size)) break;
  }
  return scanner.finish();
}

Line_table from_string(std::string_view text, Scan how) {
  Line_scanner scanner(how);
  scanner.scan(text.data(), text.size());
  return scanner.finish();
}

void no_such_line(std::int64_t line, std::size_t lines) {
  // Below 1 the message must not need the table's length, which a table
  // still growing does not know yet.
  // The cursor, which knows its text, counts the lines again as a reader does.
  const std::string asked = "line " + std::to_string(line);
  if (line < 1) throw detail::Unnamed<std::out_of_range>(asked + " is before the first line");
  throw detail::Unnamed<std::out_of_range>(
      asked + " is past the last line (" + std::to_string(lines) + ")", line);
}

std::int64_t find_line_offset(Starts table, std::int64_t line) {
  if (line < 1 || static_cast<std::uint64_t>(line - 1) >= table.size)
    no_such_line(line, table.size);
  return table.data[static_cast<std::size_t>(line - 1)];
}

std::int64_t find_offset(Starts table, std::int64_t line, std::int64_t col) {
  return offset_in_line(find_line_offset(table, line), line, col);
}

std::int64_t offset_in_line(std::int64_t start, std::int64_t line, std::int64_t col) {
  // start + col - 1, exact: subtracting the 1 from whichever side cannot wrap.
  std::int64_t offset = 0;
  const bool wraps = col >= 1 ? __builtin_add_overflow(start, col - 1, &offset)
                              : __builtin_sub_overflow(start, 1, &offset) ||
                                    __builtin_add_overflow(offset, col, &offset);
  if (wraps)
    throw detail::Unnamed<std::overflow_error>("line " + std::to_string(line) + ", column " +
                                                   std::to_string(col) +
                                                   " does not fit in a 64-bit offset",
                                               line >= 1 ? line : 0);
  return offset;
}

std::pair<std::int64_t, std::int64_t> line_col_of_offset(Starts table, std::int64_t offset) {
  if (table.size == 0)
    throw detail::Unnamed<std::out_of_range>("offset " + std::to_string(offset) +
                                             " is on no line: the line table is empty");
  // The last line starting at or before the offset; the first line for an
  // offset before it. A plain halving loop: a report asks this twice a label.
  const std::int64_t* first = table.data;
  std::size_t count = table.size;
  while (count > 1) {
    const std::size_t half = count / 2;
    if (first[half] <= offset) first += half;
    count -= half;
  }
  const auto lo = static_cast<std::int64_t>(first - table.data);
  const auto at = [&table](std::int64_t k) { return table.data[static_cast<std::size_t>(k)]; };
  return {lo + 1, checked_sub(offset, at(lo), "column of an offset")};
}

std::int64_t find_line_offset(const Line_table& table, std::int64_t line) {
  return find_line_offset(Starts{table.data(), table.size()}, line);
}

std::int64_t find_offset(const Line_table& table, std::int64_t line, std::int64_t col) {
  return find_offset(Starts{table.data(), table.size()}, line, col);
}

std::pair<std::int64_t, std::int64_t> line_col_of_offset(const Line_table& table,
                                                         std::int64_t offset) {
  return line_col_of_offset(Starts{table.data(), table.size()}, offset);
}

}  // namespace vantel::Line_offsets

namespace vantel {

Line_table Line_table::of_text(std::string_view text) {
  return Line_offsets::from_string(text);
}

}  // namespace vantel
