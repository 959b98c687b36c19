// SPDX-License-Identifier: MIT
#include "position/line_text.hpp"

#include "input/line_reader.hpp"

#include <utility>

namespace vantel::detail {

std::string_view read_line(Raw_cursor& cursor, std::int64_t start, std::string& scratch) {
  Read_line line;
  line.text.swap(scratch);
  Line_reader(cursor).read(start, line);
  const std::size_t size = without_final_return(line).size();
  scratch.swap(line.text);
  return std::string_view(scratch).substr(0, size);
}

}  // namespace vantel::detail
