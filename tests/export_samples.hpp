// SPDX-License-Identifier: MIT
// Reports that cover what exported formats must carry: CJK, emoji, tabs,
// CRLF, bytes that are not UTF-8, two files, fixes and nested children.
// Shared by the snapshots and by the program that feeds the real readers.
#pragma once

#include <vantel/vantel.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace test {

struct Sample_file {
  const char* name;
  const char* text;
};

inline const std::vector<Sample_file>& sample_files() {
  static const std::vector<Sample_file> files = {
      {"main.calc",
       "let \xE5\x90\x8D\xE5\x89\x8D = \"\xF0\x9F\x98\x80\";\n"
       "\tprint \xE5\x90\x8D\xE5\x89\x8D + 1\r\n"
       "say \xFF\xFE here\n"
       "end\n"},
      {"lib/util.calc", "fn f(x)\n  x + y\n"},
  };
  return files;
}

// The `nth` (from 0) occurrence of `needle` in `text`, as byte offsets.
inline vantel::Location find(std::string_view text, std::string_view needle, int nth = 0) {
  std::size_t at = text.find(needle);
  for (; nth > 0; --nth) at = text.find(needle, at + 1);
  const auto start = static_cast<std::int64_t>(at);
  return {vantel::Position::of_offset(start),
          vantel::Position::of_offset(start + static_cast<std::int64_t>(needle.size()))};
}

// The rule of the first sample report, with what code scanning ranks by.
inline vantel::Sarif_rule sample_rule() {
  vantel::Sarif_rule rule;
  rule.id = "E0308";
  rule.short_description = "Mismatched types";
  rule.full_description = "Operands of different types.";
  rule.help = "Convert one operand.";
  rule.help_uri = "https://calc.example/E0308";
  rule.default_level = "error";
  rule.tags = {"correctness", "types", "correctness"};
  rule.precision = "high";
  rule.problem_severity = "error";
  rule.security_severity = "2.5";
  return rule;
}

// The reports over `main` and `util`, the sources of sample_files().
inline std::vector<vantel::Report> sample_reports(const vantel::Source& main,
                                                  const vantel::Source& util) {
  using vantel::Label;
  const std::string_view m = sample_files()[0].text;
  const std::string_view u = sample_files()[1].text;
  const std::string name = "\xE5\x90\x8D\xE5\x89\x8D";
  std::vector<vantel::Report> reports(5);

  vantel::Report& types = reports[0];
  types.code = "E0308";
  types.message = "mismatched types";
  types.labels = {Label::primary(main, find(m, name, 1), "expected a number"),
                  Label::secondary(main, find(m, name), "declared here as text")};
  types.notes = {{"note", "text and numbers do not mix"}};
  types.fixes = {{"quote the number",
                  {vantel::Edit(main, find(m, "1"), "\"1\"")},
                  vantel::Applicability::Machine_applicable}};
  vantel::Report defined;
  defined.severity = vantel::Severity::Note;
  defined.message = "y is defined in the library";
  defined.labels = {Label::primary(util, find(u, "y"))};
  vantel::Report rename;
  rename.severity = vantel::Severity::Help;
  rename.message = "rename one of them";
  defined.children = {rename};
  types.children = {defined};

  reports[1].severity = vantel::Severity::Warning;
  reports[1].code = "W12";
  reports[1].message = "an emoji in a string";
  reports[1].labels = {Label::primary(main, find(m, "\"\xF0\x9F\x98\x80\""))};
  reports[1].tags = {vantel::Report_tag::Unnecessary, vantel::Report_tag::Deprecated};

  reports[2].severity = vantel::Severity::custom("lint");
  reports[2].code = "L1";
  reports[2].message = "saw \xFF, which is not UTF-8";
  reports[2].labels = {Label::primary(main, find(m, "\xFF\xFE"), "these two bytes")};
  reports[2].fixes = {{"drop them",
                       {vantel::Edit(main, find(m, "\xFF\xFE "), ""),
                        vantel::Edit(util, find(u, "x + y"), "y + x")},
                       vantel::Applicability::Maybe_incorrect}};

  reports[3].severity = vantel::Severity::Note;
  reports[3].message = "spans a line end";
  const vantel::Location from = find(m, "+ 1");
  const vantel::Location to = find(m, "say");
  reports[3].labels = {
      Label::primary(main, {from.first, to.second}),
      Label::secondary(util, {find(u, "x)").first, find(u, "  x").second}, "over two lines")};

  reports[4].severity = vantel::Severity::Help;
  reports[4].code = "H1";
  reports[4].message = "a tab before print";
  reports[4].labels = {Label::primary(main, find(m, "\t"), "a tab")};
  reports[4].path = {{main, find(m, "let"), "the line before"},
                     {util, find(u, "x + y"), "in another file", 1},
                     {main, find(m, "\t"), "the tab"}};
  return reports;
}

}  // namespace test
