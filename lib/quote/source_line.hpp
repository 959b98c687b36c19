// One line as gathered for a quote.
#pragma once

#include <cstdint>
#include <string>

namespace vantel::detail {

struct source_line {
  std::string text;           // without its line feed and without any carriage return
  std::int64_t start_offset;  // offset of the line's first byte
};

}  // namespace vantel::detail
