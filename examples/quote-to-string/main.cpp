// SPDX-License-Identifier: MIT
// Quoting into a std::string, as a host that sends its diagnostics over a
// protocol does.
#include <vantel/vantel.hpp>

#include <iostream>
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
  const std::string quote = vantel::to_string(input, {vantel::Location::of_line_cols(2, 7, 2, 8)});

  std::cout << "{\"severity\": \"error\", \"message\": \"missing operand\", \"quote\": "
            << json_string(quote) << "}\n";
}
