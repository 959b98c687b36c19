// A toy compiler front end: lexes a made-up language, keeps the lexer's
// positions, and reports two errors with Vantel, carets coloured on a
// terminal unless NO_COLOR is set.
#include <vantel/vantel.hpp>

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const file_name = "demo.calc";
const char* const program =
    "let width = 12\n"
    "let height = widht * 2\n"
    "print (width +\n"
    "       height\n";

struct Token {
  std::string text;
  vantel::lexing_position start;  // first byte
  vantel::lexing_position end;    // just past the last byte
};

// Splits the program into names, numbers and single-byte symbols, recording
// positions the way a lexer does: line number, line start, offset.
std::vector<Token> lex(const std::string& text) {
  std::vector<Token> tokens;
  std::int64_t line = 1;
  std::int64_t line_start = 0;
  std::size_t i = 0;
  const auto here = [&](std::size_t at) {
    return vantel::lexing_position{file_name, line, line_start, static_cast<std::int64_t>(at)};
  };
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      ++line;
      line_start = static_cast<std::int64_t>(++i);
      continue;
    }
    if (std::isspace(c)) {
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    if (std::isalnum(c))
      while (j < text.size() && std::isalnum(static_cast<unsigned char>(text[j]))) ++j;
    tokens.push_back({text.substr(i, j - i), here(i), here(j)});
    i = j;
  }
  return tokens;
}

void report(vantel::Formatter& out, const vantel::Input& input, const Token& from, const Token& to,
            const std::string& message) {
  const vantel::lexing_position& p = from.start;
  out.print_string(p.file_name + ":" + std::to_string(p.line_number) + ":" +
                   std::to_string(p.char_offset - p.line_start + 1) + ": error: " + message);
  out.cut();
  vantel::pp(input, out,
             {{vantel::Position::of_lexing(from.start), vantel::Position::of_lexing(to.end)}});
}

}  // namespace

int main() {
  const std::vector<Token> tokens = lex(program);
  const vantel::Input input = vantel::Input::string(program);

  vantel::Formatter out(std::cout);
  const char* no_color = std::getenv("NO_COLOR");
  if (isatty(STDOUT_FILENO) == 1 && (no_color == nullptr || *no_color == '\0'))
    vantel::setup_highlight_tags(
        out, {[] { return std::string("\x1b[1;31m"); }, [] { return std::string("\x1b[0m"); }});

  // Names must be defined by a `let` before they are used.
  std::set<std::string> defined;
  const Token* open_paren = nullptr;
  int depth = 0;
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    const Token& t = tokens[k];
    if (t.text == "let" && k + 1 < tokens.size()) {
      defined.insert(tokens[++k].text);
    } else if (std::isalpha(static_cast<unsigned char>(t.text[0])) && t.text != "print" &&
               defined.count(t.text) == 0) {
      report(out, input, t, t, "unknown name '" + t.text + "'");
    } else if (t.text == "(") {
      if (depth++ == 0) open_paren = &t;
    } else if (t.text == ")") {
      --depth;
    }
  }
  if (depth > 0 && open_paren != nullptr)
    report(out, input, *open_paren, tokens.back(), "this parenthesis is never closed");
  return 0;
}
