// SPDX-License-Identifier: MIT
// Quoting into a std::string, as a host that sends its diagnostics over a
// protocol does: the formatter writes into an std::ostringstream.
#include <vantel/vantel.hpp>

#include <iostream>
#include <sstream>
#include <string>

namespace {

// Escapes a text for a JSON string.
std::string json_string(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out + "\"";
}

}  // namespace

int main() {
  const vantel::Input input = vantel::Input::string("x = 1\ny = x +\n");
  const vantel::Location location{vantel::Position::of_line_col(2, 7),
                                  vantel::Position::of_line_col(2, 8)};

  std::ostringstream quote;
  vantel::Formatter formatter(quote);
  vantel::pp(input, formatter, {location});

  std::cout << "{\"severity\": \"error\", \"message\": \"missing operand\", \"quote\": "
            << json_string(quote.str()) << "}\n";
}
