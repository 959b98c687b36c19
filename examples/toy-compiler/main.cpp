// SPDX-License-Identifier: MIT
// A toy compiler front end: lexes a made-up language, keeps the lexer's
// positions, and reports two errors through a diagnostics engine, which
// colours them as the terminal and its variables ask and gives the exit status.
#include <vantel/vantel.hpp>

#include <cctype>
#include <iostream>
#include <map>
#include <string>
#include <utility>
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

// The location from the first byte of `from` to the last byte of `to`.
vantel::Location span(const Token& from, const Token& to) {
  return {vantel::Position::of_lexing(from.start), vantel::Position::of_lexing(to.end)};
}

}  // namespace

int main() {
  const std::vector<Token> tokens = lex(program);
  vantel::Sources sources;
  const vantel::Source source = sources.add_view(file_name, program);
  vantel::Diagnostics diagnostics(std::cout, sources);

  // Names must be defined by a `let` before they are used.
  std::map<std::string, const Token*> defined;
  const Token* open_paren = nullptr;
  int depth = 0;
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    const Token& t = tokens[k];
    if (t.text == "let" && k + 1 < tokens.size()) {
      ++k;
      defined.emplace(tokens[k].text, &tokens[k]);
    } else if (std::isalpha(static_cast<unsigned char>(t.text[0])) && t.text != "print" &&
               defined.count(t.text) == 0) {
      vantel::Report report;
      report.code = "E001";
      report.message = "unknown name '" + t.text + "'";
      report.labels.push_back(vantel::Label::primary(source, span(t, t), "not defined"));
      // A defined name of the same length that differs in two bytes or less.
      for (const auto& [name, token] : defined) {
        if (name.size() != t.text.size()) continue;
        std::size_t differ = 0;
        for (std::size_t i = 0; i < name.size(); ++i)
          if (name[i] != t.text[i]) ++differ;
        if (differ > 2) continue;
        report.labels.push_back(vantel::Label::secondary(source, span(*token, *token),
                                                         "a similar name is defined here"));
        report.notes.push_back({"help", "did you mean '" + name + "'?"});
        break;
      }
      diagnostics.report(std::move(report));
    } else if (t.text == "(") {
      if (depth++ == 0) open_paren = &t;
    } else if (t.text == ")") {
      --depth;
    }
  }
  if (depth > 0 && open_paren != nullptr) {
    vantel::Report report;
    report.code = "E002";
    report.message = "this parenthesis is never closed";
    report.labels.push_back(vantel::Label::primary(source, span(*open_paren, tokens.back()),
                                                   "the input ends inside it"));
    report.notes.push_back({"note", "every '(' needs a ')' after it"});
    diagnostics.report(std::move(report));
  }
  return diagnostics.finish();
}
