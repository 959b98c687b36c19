// SPDX-License-Identifier: MIT
// Lines whose drawing a browser gets wrong unless every cell is sized: tabs,
// CJK, emoji, combining marks, escaped controls and a cut long line, each
// with one label whose mark must stand under its character. Shared by the
// HTML snapshot and by the program that writes the pages for the browser.
#pragma once

#include <vantel/vantel.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace test {

struct Html_sample {
  const char* name;
  std::string line;
  std::int64_t start;  // the label's bytes in the line
  std::int64_t end;
  const char* shown;  // how the label's first cluster is drawn
};

inline std::vector<Html_sample> html_samples() {
  const std::string long_line = "x = " + std::string(200, 'a') + " + target;";
  const auto at = static_cast<std::int64_t>(long_line.find("target"));
  return {
      {"tabs", "\tif (x)\t\treturn y;", 16, 17, "y"},
      {"cjk", "\xE5\x90\x8D\xE5\x89\x8D = \"\xE4\xB8\x96\xE7\x95\x8C\" + z;", 20, 21, "z"},
      {"emoji", "say(\"\xF0\x9F\x98\x80\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD\") + q;", 22, 23, "q"},
      {"combining", "cafe\xCC\x81 = e\xCC\x81te\xCC\x81 + w;", 19, 20, "w"},
      {"escaped", "a\x1B[31m\xE2\x80\xAE b", 1, 2, "<0x1B>"},
      {"escaped_after", "a\x1B[31m\xE2\x80\xAE b", 10, 11, "b"},
      {"cut_long_line", long_line, at, at + 6, "target"},
  };
}

// The report of one sample: an error whose label ends the line's mark.
inline vantel::Report html_report(const Html_sample& s) {
  vantel::Report report;
  report.message = std::string("the mark stands under its character: ") + s.name;
  report.code = "H1";
  const vantel::Source source(vantel::Input::string(s.line + "\n", s.name), s.name);
  report.labels.push_back(vantel::Label::primary(
      source,
      vantel::Location(vantel::Position::of_offset(s.start), vantel::Position::of_offset(s.end)),
      "here <&> https://example.org/h1"));
  return report;
}

// The layout of the pages: narrow enough to cut the long line.
inline vantel::Layout html_layout() {
  vantel::Layout layout;
  layout.width = 72;
  return layout;
}

}  // namespace test
