// SPDX-License-Identifier: MIT
// Reports drawn whole and compared byte for byte with the files under
// tests/report/, one per layout rule. VANTEL_UPDATE_SNAPSHOTS=1 rewrites the
// files from what the library draws, to be read over before committing.
#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using vantel::Input;
using vantel::Label;
using vantel::Label_kind;
using vantel::Location;
using vantel::Position;
using vantel::Report;

const char* const calc =
    "let width = 12\n"
    "let height = width * 2\n"
    "print (width +\n"
    "       height\n"
    "let area = width * height\n";

Location at(std::int64_t line, std::int64_t col, std::int64_t end_line, std::int64_t end_col) {
  return {Position::of_line_col(line, col), Position::of_line_col(end_line, end_col)};
}

Location span(std::int64_t line, std::int64_t col, std::int64_t end_col) {
  return at(line, col, line, end_col);
}

Location bytes(std::int64_t start, std::int64_t end) {
  return {Position::of_offset(start), Position::of_offset(end)};
}

Label secondary(const Input& input, std::string name, Location where, std::string message) {
  return {input, std::move(name), std::move(where), std::move(message), Label_kind::Secondary};
}

// A line of `n` bytes: words of lower-case letters, a space every 8 bytes.
std::string long_line(std::size_t n) {
  std::string line;
  for (std::size_t i = 0; i < n; ++i) line += i % 8 == 7 ? ' ' : static_cast<char>('a' + i % 26);
  return line;
}

Report make(std::string severity, std::string code, std::string message, std::vector<Label> labels,
            std::vector<vantel::Note> notes = {}) {
  Report report;
  report.severity = vantel::Severity::of_word(severity);
  report.code = std::move(code);
  report.message = std::move(message);
  report.labels = std::move(labels);
  report.notes = std::move(notes);
  return report;
}

vantel::Fix fix(std::string message, std::vector<vantel::Edit> edits) {
  return {std::move(message), std::move(edits), vantel::Applicability::Machine_applicable};
}

// A report of one label with one fix of `edits` in `text`, shown as `name`.
Report fixed(const char* message, const Input& text, const char* name, Location label,
             vantel::Fix f) {
  Report report = make("error", "", message, {Label(text, name, std::move(label), "here")});
  report.fixes.push_back(std::move(f));
  return report;
}

// Rows whose window holds `text_columns` columns of lines numbered with one
// digit: the row adds "1 | " and a cut marker on each side.
vantel::Layout window(std::int64_t text_columns) {
  vantel::Layout layout;
  layout.width = text_columns + 6;
  return layout;
}

struct Snapshot {
  const char* name;
  std::function<Report()> report;
  vantel::Layout layout = {};
  // What a SARIF log keeps of the report draws the same (not for context
  // labels, which it leaves out, nor for excerpts, whose lines it numbers as
  // their file does).
  bool round_trips = true;
  bool hyperlinks = false;  // drawn with Styles::hyperlinks alone on
};

// A function of `n` numbered statements: a body of `n` lines between its
// first and its last.
std::string function_of(int n) {
  std::string text = "fn main() {\n";
  for (int i = 1; i <= n; ++i) text += "    step(" + std::to_string(i) + ");\n";
  return text + "}\n";
}

// Rows of `width` columns in all.
vantel::Layout width_of(std::int64_t width) {
  vantel::Layout layout;
  layout.width = width;
  return layout;
}

const std::vector<Snapshot>& snapshots() {
  static const Input input = Input::string(calc);
  static const std::vector<Snapshot> all = {
      {"one_label",
       [] {
         return make("error", "E0425", "cannot find `widht` in this scope",
                     {Label(Input::string("let height = widht * 2\n"), "demo.calc", span(1, 14, 19),
                            "not found")});
       }},
      {"overlapping",
       [] {
         return make("error", "", "overlapping labels",
                     {Label(input, "demo.calc", span(2, 5, 19), "the binding"),
                      secondary(input, "demo.calc", span(2, 14, 23), "the value")});
       }},
      {"adjacent",
       [] {
         return make("warning", "", "labels that touch",
                     {Label(input, "demo.calc", span(2, 14, 19), "a name"),
                      secondary(input, "demo.calc", span(2, 19, 22), "an operator")});
       }},
      {"nested",
       [] {
         return make("error", "", "one label inside another",
                     {Label(input, "demo.calc", span(2, 14, 19), "inner"),
                      secondary(input, "demo.calc", span(2, 14, 23), "outer"),
                      secondary(input, "demo.calc", span(2, 1, 4), "keyword")});
       }},
      {"overlapping_primaries",
       [] {
         return make("error", "", "two primary labels that start together",
                     {Label(input, "demo.calc", span(2, 1, 21), "the binding"),
                      Label(input, "demo.calc", span(2, 1, 4), "the keyword")});
       }},
      {"same_offset",
       [] {
         return make("error", "", "two labels at the same offset",
                     {Label(input, "demo.calc", span(2, 14, 19), "first"),
                      secondary(input, "demo.calc", span(2, 14, 19), "second"),
                      secondary(input, "demo.calc", span(2, 14, 14), "a point there")});
       }},
      {"end_of_line",
       [] {
         return make("error", "", "expected `)`",
                     {Label(input, "demo.calc", span(3, 15, 15), "expected `)` here"),
                      secondary(input, "demo.calc", span(3, 7, 8), "to close this")});
       }},
      {"line_feed_taken",
       [] {
         return make("note", "", "a label that takes the line feed",
                     {Label(input, "demo.calc", bytes(7, 15), "through the end of the line")});
       }},
      {"end_of_input",
       [] {
         const Input text = Input::string("print (width +\n       height");
         return make("error", "", "unexpected end of input",
                     {Label(text, "cut.calc", bytes(28, 28), "expected `)`"),
                      secondary(text, "cut.calc", bytes(6, 7), "unclosed"),
                      Label(text, "cut.calc", bytes(40, 99), "past the end")});
       }},
      {"multi_line",
       [] {
         return make("error", "", "this parenthesis is never closed",
                     {Label(input, "demo.calc", at(3, 7, 4, 14), "never closed"),
                      secondary(input, "demo.calc", span(3, 8, 13), "first operand")});
       }},
      {"multi_line_nested",
       [] {
         return make("error", "", "labels over several lines",
                     {Label(input, "demo.calc", at(1, 5, 5, 10), "outer"),
                      secondary(input, "demo.calc", at(2, 14, 3, 12), "inner"),
                      secondary(input, "demo.calc", at(4, 8, 5, 4), "after")});
       }},
      {"far_apart",
       [] {
         std::string text;
         for (int i = 1; i <= 120; ++i) text += "line " + std::to_string(i) + "\n";
         const Input many = Input::string(text);
         return make("warning", "W1", "lines far apart",
                     {Label(many, "many.txt", span(3, 1, 5), "here"),
                      secondary(many, "many.txt", span(5, 1, 5), "two lines on"),
                      secondary(many, "many.txt", span(99, 6, 8), "far below"),
                      secondary(many, "many.txt", at(101, 1, 120, 5), "a long span")});
       }},
      {"two_inputs",
       [] {
         const Input defs = Input::string("let width = \"twelve\"\n");
         const Input main = Input::string("print width + height\n");
         return make("error", "E0308", "mismatched types",
                     {Label(main, "main.calc", span(1, 7, 12), "expected a number"),
                      secondary(defs, "defs.calc", span(1, 13, 21), "declared here as text"),
                      secondary(main, "main.calc", span(1, 15, 21), "a number")},
                     {{"note", "text and numbers do not mix"},
                      {"help", "write the width as a number:\nlet width = 12"}});
       }},
      {"tabs_and_cjk",
       [] {
         const Input text = Input::string("\tlet 名前 = \"値\"\t+ x\n");
         return make("error", "", "tabs and wide characters",
                     {Label(text, "wide.calc", bytes(5, 11), "a wide name"),
                      secondary(text, "wide.calc", bytes(14, 19), "a wide text"),
                      secondary(text, "wide.calc", bytes(19, 21), "a tab and a plus")});
       }},
      {"escapes",
       [] {
         const Input text = Input::string("say \"\x1b[2J\" \xe2\x80\xae done\n");
         return make("warning", "", "control bytes are shown, never sent",
                     {Label(text, "ctl\x1b.calc", bytes(5, 6), "an escape\nwith a line feed"),
                      secondary(text, "ctl\x1b.calc", bytes(11, 14), "a bidi override")});
       }},
      {"long_messages",
       [] {
         return make(
             "error", "", "messages longer than the line",
             {Label(input, "demo.calc", span(1, 5, 10),
                    "this message is much longer than the line it belongs to, and is never cut"),
              secondary(input, "demo.calc", span(1, 13, 15),
                        "nor is this one, which ends the row and runs on past the line")});
       }},
      {"max_width",
       [] {
         const Input text = Input::string(long_line(400) + "\n");
         return make("error", "", "a long line cut to windows",
                     {Label(text, "min.js", bytes(200, 205), "in the middle"),
                      secondary(text, "min.js", bytes(210, 214), "near it"),
                      secondary(text, "min.js", bytes(2, 6), "at the start"),
                      secondary(text, "min.js", bytes(396, 401), "at the end")});
       },
       window(40)},
      {"fix_insertions",
       [] {
         const vantel::Source demo(input, "demo.calc");
         return fixed("missing words", input, "demo.calc", span(1, 5, 10),
                      fix("insert at the start, in the middle and at the end",
                          {{demo, span(1, 1, 1), "const "},
                           {demo, span(1, 10, 10), "_px"},
                           {demo, span(1, 15, 15), ";"}}));
       }},
      {"fix_replacements_under_tabs_and_cjk",
       [] {
         const Input text = Input::string("\tlet 名前 = \"値\"\t+ x\n");
         const vantel::Source wide(text, "wide.calc");
         return fixed("names and texts", text, "wide.calc", bytes(5, 11),
                      fix("use a shorter name and a longer text",
                          {{wide, bytes(5, 11), "n"}, {wide, bytes(14, 19), "\"値段\""}}));
       }},
      {"fix_replacement_marks_only_what_changes",
       [] {
         const Input text = Input::string("let total = price * quantity;\n");
         const vantel::Source line(text, "sum.calc");
         // A common end left unmarked makes an insertion (+); a common start
         // leaves the changed cells (~); a replacement that only drops bytes
         // keeps all of its text marked.
         return fixed("names", text, "sum.calc", bytes(12, 17),
                      fix("rename them", {{line, bytes(4, 9), "tal"},
                                          {line, bytes(12, 17), "unit_price"},
                                          {line, bytes(20, 28), "quantities"}}));
       }},
      {"fix_deletion",
       [] {
         const vantel::Source demo(input, "demo.calc");
         return fixed("unneeded parenthesis", input, "demo.calc", span(3, 7, 8),
                      fix("remove it", {{demo, span(3, 7, 8), ""}}));
       }},
      {"fix_over_three_lines",
       [] {
         const vantel::Source demo(input, "demo.calc");
         return fixed(
             "this parenthesis is never closed", input, "demo.calc", span(3, 7, 8),
             fix("close it on one line, and rename what follows",
                 {{demo, at(3, 7, 5, 1), "(width + height)\n"}, {demo, span(5, 5, 5), "new_"}}));
       }},
      {"fix_in_two_inputs",
       [] {
         const Input defs = Input::string("let width = \"twelve\"\n");
         const Input main = Input::string("print width + height\n");
         Report report = make("error", "E0308", "mismatched types",
                              {Label(main, "main.calc", span(1, 7, 12), "expected a number")});
         report.fixes.push_back(
             fix("declare a number and say so", {{{main, "main.calc"}, span(1, 7, 7), "+"},
                                                 {{defs, "defs.calc"}, span(1, 13, 21), "12"}}));
         return report;
       }},
      {"child_in_another_input",
       [] {
         const Input defs = Input::string("let width = 12\n");
         const Input main = Input::string("let height = 2\nlet width = 3\n");
         Report report = make("error", "E0428", "`width` is defined twice",
                              {Label(main, "main.calc", span(2, 5, 10), "defined again here")});
         Report child = make("note", "", "the first definition is here",
                             {secondary(defs, "defs.calc", span(1, 5, 10), "first defined here")});
         report.children.push_back(std::move(child));
         report.children.push_back(make("help", "", "rename one of them", {}));
         return report;
       }},
      {"path_in_one_input",
       [] {
         const vantel::Source src(Input::string("let p = null\nif x > 0\n  print p.size\n"),
                                  "path.calc");
         Report report = make("warning", "", "`p` is null when it is read",
                              {Label(src.input, src.name, span(3, 9, 13), "read here")});
         report.path = {{src, span(1, 5, 6), "`p` is null here"},
                        {src, span(2, 4, 9), "taken when `x > 0`"},
                        {src, span(3, 9, 13), "dereferenced here"}};
         return report;
       }},
      {"path_in_several_inputs",
       [] {
         const vantel::Source lib(Input::string("fn get() { return null }\n"), "lib.calc");
         const vantel::Source main(Input::string("let p = get()\nprint p.size\n"), "main.calc");
         Report report = make("warning", "", "`p` is null when it is read",
                              {Label(main.input, main.name, span(2, 7, 13), "read here")});
         report.path = {{main, span(1, 9, 14), "calls `get`"},
                        {lib, span(1, 12, 23), "returns null", 1},
                        {main, span(2, 7, 13), "dereferenced here"}};
         return report;
       }},
      {"path_nesting_bounded",
       [] {
         const vantel::Source src(Input::string("f()\ng()\nh()\nk()\n"), "deep.calc");
         Report report =
             make("error", "", "too deep", {Label(src.input, src.name, span(4, 1, 2), "fails")});
         for (std::int64_t k = 0; k < 4; ++k)
           report.path.emplace_back(src, span(k + 1, 1, 2), "call", k);
         return report;
       },
       [] {
         vantel::Layout layout;
         layout.report.max_children = 3;  // events are bounded as children are
         return layout;
       }()},
      {"context_lines_merge",
       [] {
         std::string text;
         for (int i = 1; i <= 30; ++i) text += "line " + std::to_string(i) + "\n";
         const Input many = Input::string(text);
         return make("warning", "", "context around labels",
                     {Label(many, "many.txt", span(3, 1, 5), "here"),
                      secondary(many, "many.txt", span(7, 1, 5), "the gap closes"),
                      secondary(many, "many.txt", span(14, 1, 5), "the gap stays"),
                      secondary(many, "many.txt", span(29, 6, 8), "near the end")});
       },
       [] {
         vantel::Layout layout;
         layout.report.context_lines = 2;
         return layout;
       }()},
      {"multi_line_body",
       [] {
         const Input text = Input::string(function_of(3) + function_of(9));
         return make("error", "", "bodies of labels over several lines",
                     {Label(text, "body.calc", at(1, 11, 5, 2), "a short body, whole"),
                      secondary(text, "body.calc", at(6, 11, 16, 2), "a long body, cut")});
       },
       [] {
         vantel::Layout layout;
         layout.report.context_before = 1;  // and none after
         return layout;
       }()},
      {"context_only",
       [] {
         const Input text = Input::string(function_of(4) + "print(1)\n");
         return make("warning", "", "an enclosing block shown, not marked",
                     {Label(text, "ctx.calc", span(3, 5, 9), "called here"),
                      Label::context({text, "ctx.calc"}, at(1, 1, 6, 2)),
                      Label::context({text, "ctx.calc"}, at(7, 1, 7, 1))});
       },
       {},
       false},
      {"fragment",
       [] {
         vantel::Source cell(Input::string("x = 1\ny = 2\nz = 3\nw = 4\nv = 5\n"), "nb.calc");
         cell.first_line = 120;
         cell.first_column = 4;
         Report report =
             make("error", "", "an excerpt numbered as its file",
                  {Label(cell, span(1, 5, 6), "here"), Label::context(cell, at(4, 1, 5, 6))});
         report.fixes.push_back(fix("and on its lines", {{cell, span(2, 5, 6), "20"}}));
         return report;
       },
       {},
       false},
      {"bad_spans",
       [] {
         const Input text = Input::string("print(x + 1)\n");
         const vantel::Source src(text, "bad.calc");
         Report report = make("error", "", "spans past the end and bad fixes",
                              {Label(text, "bad.calc", bytes(6, 7), "undefined"),
                               secondary(text, "bad.calc", bytes(50, 56), "past the end")});
         report.fixes = {fix("past the end", {{src, bytes(13, 14), ";"}}),
                         fix("reversed", {{src, bytes(5, 4), ""}}),
                         fix("overlapping", {{src, bytes(6, 8), "y"}, {src, bytes(7, 9), "z"}}),
                         fix("declare it", {{src, bytes(0, 0), "let x = 0\n"}})};
         return report;
       }},
      {"line_feeds",
       [] {
         const Input text = Input::string("let x: int = \"a\";\nlet y = (x +\n         1);\n");
         const vantel::Source m(text, "m.calc");
         Report report =
             make("error", "E0308", "mismatched types\nexpected int",
                  {Label(text, "m.calc", bytes(13, 16), "expected `int`\nfound `str`"),
                   secondary(text, "m.calc", bytes(7, 10), "declared\nhere"),
                   secondary(text, "m.calc", bytes(4, 5), "the binding\r\nits type"),
                   secondary(text, "m.calc", bytes(26, 42), "a sum\nover two lines\n")},
                  {{"note", "a final line feed opens no row\n"}, {"note", "one\n\nblank row"}});
         report.fixes.push_back(
             fix("write a number\nin place of the text", {{m, bytes(13, 16), "1"}}));
         report.children.push_back(make("note", "", "the type is\ndeclared here",
                                        {Label(text, "m.calc", bytes(7, 10), "")}));
         return report;
       }},
      {"narrow_width",
       [] {
         return make("warning", "", "variable does not need to be mutable",
                     {Label(input, "demo.calc", span(1, 5, 10), "remove this mutable binding")},
                     {{"help", "an unwrapped note"}});
       },
       width_of(8)},
      {"words_never_broken",
       [] {
         return make("warning", "", "a path: /usr/share/doc/vantel/examples/sample.calc",
                     {Label(input, "demo.calc", span(2, 14, 19),
                            "see https://example.org/a/long/address here")},
                     {{"note", "antidisestablishmentarianism is one word"}});
       },
       width_of(28)},
      {"hyperlinks",
       [] {
         const Input text = Input::string("let width = \"12\"\n");
         Report report = make("error", "E0308", "mismatched types",
                              {Label(text, "/src/demo calc.calc", bytes(12, 16), "a text")});
         report.code_url = "https://example.org/codes/E0308";
         report.children.push_back(
             make("note", "", "no file: no link", {Label(text, "demo.calc", bytes(4, 9), "")}));
         return report;
       },
       {},
       true,
       true},
  };
  return all;
}

std::string render(const Snapshot& s, const Report& report) {
  std::ostringstream out;
  vantel::Formatter formatter(out);
  if (s.hyperlinks) {
    vantel::Styles links;
    links.hyperlinks = true;
    vantel::setup_tags(formatter, links);
  }
  vantel::pp_report(formatter, report, s.layout);
  return out.str();
}

std::string render(const Snapshot& s) {
  return render(s, s.report());
}

class ReportSnapshot : public testing::TestWithParam<Snapshot> {};

TEST_P(ReportSnapshot, MatchesItsFile) {
  const Snapshot& s = GetParam();
  const std::string path = std::string("report/") + s.name + ".out";
  const std::string got = render(s);
  if (const char* update = std::getenv("VANTEL_UPDATE_SNAPSHOTS"); update && *update == '1')
    std::ofstream(path, std::ios::binary) << got;
  std::ifstream file(path, std::ios::binary);
  ASSERT_TRUE(file.is_open()) << path;
  const std::string expected{std::istreambuf_iterator<char>(file), {}};
  EXPECT_EQ(got, expected) << path;
  // Drawing is deterministic.
  EXPECT_EQ(render(s), got);
}

// Every input the report and its children name, once by name.
void add_sources(const Report& report, std::vector<vantel::Source>& sources) {
  const auto add = [&sources](const vantel::Source& source) {
    for (const vantel::Source& known : sources)
      if (known.name == source.name) return;
    sources.push_back(source);
  };
  for (const Label& label : report.labels) add(label.source);
  for (const vantel::Path_event& event : report.path) add(event.source);
  for (const vantel::Fix& fix : report.fixes)
    for (const vantel::Edit& edit : fix.edits) add(edit.source);
  for (const Report& child : report.children) add_sources(child, sources);
}

// What a SARIF log keeps of a report draws as the report did, children
// included.
TEST_P(ReportSnapshot, DrawsTheSameReadBackFromSarif) {
  const Snapshot& s = GetParam();
  const Report report = s.report();
  if (!s.round_trips) GTEST_SKIP() << "SARIF keeps what the file says, not what was drawn";
  vantel::Sarif_options options;
  add_sources(report, options.artifacts);
  vantel::Sarif_log log({"vantel", {}, {}, {}}, options);
  log.add(report);
  vantel::Sarif_read_options read;
  read.artifacts = options.artifacts;
  const std::vector<Report> back = vantel::read_sarif(log.str(), "round trip", read);
  ASSERT_EQ(back.size(), 1U);
  std::ifstream file(std::string("report/") + s.name + ".out", std::ios::binary);
  EXPECT_EQ(render(s, back.front()), std::string(std::istreambuf_iterator<char>(file), {}));
}

INSTANTIATE_TEST_SUITE_P(Layouts, ReportSnapshot, testing::ValuesIn(snapshots()),
                         [](const testing::TestParamInfo<Snapshot>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
