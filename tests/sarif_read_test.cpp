// SPDX-License-Identifier: MIT
// SARIF logs read back into reports: where labels land, how artifacts are
// found, and how a bad log is refused.
#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using vantel::Input;
using vantel::Report;

// One result in a run around `result`, with `run` members before it.
std::string log_of(const std::string& result, const std::string& run = "") {
  return R"({"version": "2.1.0", "runs": [{"tool": {"driver": {"name": "t", "rules": [)"
         R"({"id": "R1", "messageStrings": {"m": {"text": "{0} is {1}, {{not}} {2}"}}}]}}, )" +
         run + R"("results": [)" + result + "]}]}";
}

std::string at(const std::string& uri, const std::string& region) {
  return R"({"physicalLocation": {"artifactLocation": {"uri": ")" + uri + R"("}, "region": )" +
         region + "}}";
}

// "a😀b\tc\r\n" then "表d\n": the emoji is two UTF-16 units and one code point.
const Input text = Input::string(
    "a\xF0\x9F\x98\x80"
    "b\tc\r\n\xE8\xA1\xA8"
    "d\n");

struct Place_case {
  const char* name;
  std::string run;
  std::string region;
  std::int64_t start;
  std::int64_t end;
};

class SarifReadPlaces : public testing::TestWithParam<Place_case> {};

TEST_P(SarifReadPlaces, LabelsCoverTheBytesTheColumnsMean) {
  const Place_case& c = GetParam();
  vantel::Sarif_read_options options;
  options.artifacts.emplace_back(text, "src/a.txt");
  const std::vector<Report> reports =
      vantel::read_sarif(log_of(R"({"ruleId": "R1", "message": {"text": "m"}, "locations": [)" +
                                    at("src/a.txt", c.region) + "]}",
                                c.run),
                         "log", options);
  ASSERT_EQ(reports.size(), 1U);
  ASSERT_EQ(reports[0].labels.size(), 1U);
  const vantel::Location& l = reports[0].labels[0].location;
  EXPECT_EQ(vantel::Position::to_offset(text, l.first), c.start);
  EXPECT_EQ(vantel::Position::to_offset(text, l.second), c.end);
}

INSTANTIATE_TEST_SUITE_P(
    Regions, SarifReadPlaces,
    testing::Values(Place_case{"utf16_by_default", "",
                               R"({"startLine": 1, "startColumn": 4, "endColumn": 5})", 5, 6},
                    Place_case{"code_points", R"("columnKind": "unicodeCodePoints", )",
                               R"({"startLine": 1, "startColumn": 3, "endColumn": 4})", 5, 6},
                    Place_case{"whole_line_without_columns", "", R"({"startLine": 1})", 0, 8},
                    Place_case{"to_the_line_end_without_end_column", "",
                               R"({"startLine": 2, "startColumn": 2})", 13, 14},
                    Place_case{"bytes_alone", "", R"({"byteOffset": 10, "byteLength": 3})", 10, 13},
                    Place_case{"utf16_offsets", "", R"({"charOffset": 3, "charLength": 2})", 5, 7},
                    Place_case{"code_point_offsets", R"("columnKind": "unicodeCodePoints", )",
                               R"({"charOffset": 2, "charLength": 2})", 5, 7},
                    Place_case{"offsets_across_a_line_feed", "",
                               R"({"charOffset": 8, "charLength": 1})", 10, 13},
                    Place_case{"offsets_past_the_end", "", R"({"charOffset": 40})", 15, 15}),
    [](const testing::TestParamInfo<Place_case>& p) { return std::string(p.param.name); });

TEST(SarifRead, ResultsKeepTheirParts) {
  vantel::Sarif_read_options options;
  options.artifacts.emplace_back(text, "a.txt");
  const std::string region = R"({"startLine": 1, "startColumn": 1, "endColumn": 2})";
  const std::vector<Report> reports = vantel::read_sarif(
      log_of(
          R"({"ruleIndex": 0, "level": "error", "message": {"id": "m", "arguments": ["x", "y"]},)"
          R"( "locations": [)" +
          at("a.txt", region) + R"(], "relatedLocations": [)" + at("a.txt", region) +
          R"(], "codeFlows": [{"threadFlows": [{"locations": [)"
          R"({"nestingLevel": 1, "location": )" +
          at("a.txt", region) +
          R"(}]}]}],)"
          R"( "fixes": [{"description": {"text": "swap"}, "artifactChanges": [{"artifactLocation":)"
          R"( {"uri": "a.txt"}, "replacements": [{"deletedRegion": )" +
          region +
          R"(, "insertedContent": {"text": "z"}}]}]}], "properties": {"notes": ["help: try"]}},)"
          R"({"ruleId": "R1", "level": "note", "message": {"text": "filtered"}})"),
      "log", [&] {
        options.levels = {"error"};
        return options;
      }());
  ASSERT_EQ(reports.size(), 1U);
  const Report& r = reports[0];
  EXPECT_EQ(r.code, "R1");
  EXPECT_EQ(r.severity, vantel::Severity::Error);
  EXPECT_EQ(r.message, "x is y, {not} {2}");
  ASSERT_EQ(r.labels.size(), 2U);
  EXPECT_EQ(r.labels[1].kind, vantel::Label_kind::Secondary);
  ASSERT_EQ(r.path.size(), 1U);
  EXPECT_EQ(r.path[0].depth, 1);
  ASSERT_EQ(r.fixes.size(), 1U);
  EXPECT_EQ(r.fixes[0].edits[0].replacement, "z");
  ASSERT_EQ(r.notes.size(), 1U);
  EXPECT_EQ(r.notes[0].kind, "help");
}

// Every result in one file reads the same input: one line table, not one a
// result, which for a large log of one large file took gigabytes.
TEST(SarifRead, ResultsInOneFileShareItsInput) {
  const test::Temp_file file("one\ntwo\n");
  const std::string result = R"({"ruleId": "R1", "locations": [)" +
                             at("file://" + file.path(), R"({"startLine": 1})") + "]}";
  const std::vector<Report> reports = vantel::read_sarif(log_of(result + ", " + result), "log");
  ASSERT_EQ(reports.size(), 2U);
  ASSERT_EQ(reports[1].labels.size(), 1U);
  EXPECT_TRUE(reports[0].labels[0].source.input.same_as(reports[1].labels[0].source.input));
}

// Children come back from the related locations that name them; depths a
// log makes up (a first child at 5, a jump from 1 to 9) nest one level at most.
TEST(SarifRead, ChildrenNestAtMostOneLevelBelowTheLastOne) {
  vantel::Sarif_read_options options;
  options.artifacts.emplace_back(text, "src/a.txt");
  const auto child = [](int index, int depth, const std::string& kind) {
    const std::string label = kind.empty() ? "" : R"(, "labelKind": ")" + kind + R"(")";
    return at("src/a.txt", R"({"startLine": 1})")
        .insert(1, R"("properties": {"nestingLevel": )" + std::to_string(depth) +
                       R"(, "child": {"index": )" + std::to_string(index) +
                       R"(, "level": "note", "message": "c)" + std::to_string(index) + R"(")" +
                       label + "}}, ");
  };
  const std::vector<Report> reports = vantel::read_sarif(
      log_of(R"({"ruleId": "R1", "message": {"text": "m"}, "relatedLocations": [)" +
             child(1, 5, "primary") + ", " + child(1, 5, "secondary") + ", " + child(2, 9, "") +
             ", " + child(3, 1, "primary") + "]}"),
      "log", options);
  ASSERT_EQ(reports.size(), 1U);
  const Report& r = reports[0];
  EXPECT_TRUE(r.labels.empty());
  ASSERT_EQ(r.children.size(), 2U);
  EXPECT_EQ(r.children[0].message, "c1");
  ASSERT_EQ(r.children[0].labels.size(), 2U);
  EXPECT_EQ(r.children[0].labels[1].kind, vantel::Label_kind::Secondary);
  ASSERT_EQ(r.children[0].children.size(), 1U);
  EXPECT_EQ(r.children[0].children[0].message, "c2");
  EXPECT_TRUE(r.children[0].children[0].labels.empty());
  EXPECT_EQ(r.children[1].message, "c3");
}

// Without a level, a result takes its rule's default, then the tool's own
// severity word that converters keep in its properties.
TEST(SarifRead, LevelsFallBackToTheRuleThenTheToolsSeverity) {
  const struct {
    std::string result;
    vantel::Severity severity;
  } cases[] = {
      {R"({"ruleId": "R1", "properties": {"Severity": "error"}})", vantel::Severity::Error},
      {R"({"ruleId": "R1", "properties": {"Severity": "style"}})", vantel::Severity::Warning},
      {R"({"ruleId": "R1", "properties": {"Severity": "information"}})", vantel::Severity::Note},
      {R"({"ruleId": "R1", "properties": {"Severity": 3}})", vantel::Severity::Warning},
      {R"({"ruleId": "R1", "level": "note", "properties": {"Severity": "error"}})",
       vantel::Severity::Note},
  };
  for (const auto& c : cases) {
    const std::vector<Report> reports = vantel::read_sarif(log_of(c.result), "log");
    ASSERT_EQ(reports.size(), 1U) << c.result;
    EXPECT_EQ(reports[0].severity, c.severity) << c.result;
  }
}

TEST(SarifRead, AMissingFileKeepsTheHeaderAndSaysWhere) {
  vantel::Sarif_read_options options;
  options.base_uri = "file:///nonexistent/";
  const std::vector<Report> reports = vantel::read_sarif(
      log_of(R"({"ruleId": "R1", "message": {"text": "gone"}, "locations": [)"
             R"({"physicalLocation": {"artifactLocation": {"uri": "b.c", "uriBaseId": "SRC"},)"
             R"( "region": {"startLine": 3, "startColumn": 5}}}]})",
             R"("originalUriBaseIds": {"SRC": {"uri": "lib/", "uriBaseId": "ROOT"}}, )"),
      "log", options);
  ASSERT_EQ(reports.size(), 1U);
  EXPECT_TRUE(reports[0].labels.empty());
  ASSERT_EQ(reports[0].notes.size(), 1U);
  EXPECT_EQ(reports[0].notes[0].text, "b.c:3:5: the file could not be read");
  EXPECT_EQ(vantel::to_string(reports[0]),
            "warning[R1]: gone\n"
            "  = note: b.c:3:5: the file could not be read\n");
}

struct Bad_case {
  const char* name;
  std::string log;
  std::string message;
};

class SarifReadRefuses : public testing::TestWithParam<Bad_case> {};

TEST_P(SarifReadRefuses, NamingWhere) {
  vantel::Error error;
  const std::vector<Report> reports =
      vantel::read_sarif(GetParam().log, "x.sarif", vantel::Sarif_read_options{}, error);
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(error.message, GetParam().message);
  EXPECT_THROW((void)vantel::read_sarif(GetParam().log, "x.sarif"), std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(
    Logs, SarifReadRefuses,
    testing::Values(
        Bad_case{"not_json", "{\"version\": \n,",
                 "x.sarif: not JSON at line 2, column 1 (byte 13): invalid value"},
        Bad_case{"cut_short", "{\"version\": \"2.1.0\",\n  \"runs\": [",
                 "x.sarif: not JSON at line 2, column 12 (byte 32): invalid value"},
        Bad_case{"not_utf8", "{\"version\": \"2.1\xff\"}",
                 "x.sarif: not JSON at line 1, column 17 (byte 16): invalid encoding in string"},
        Bad_case{"trailing_value", "{}\n{}",
                 "x.sarif: not JSON at line 2, column 1 (byte 3): the document root must not be "
                 "followed by other values"},
        // Parsed without recursion: the stack does not follow the nesting.
        Bad_case{"deep", std::string(200000, '[') + std::string(200000, ']'),
                 "x.sarif: the log: expected an object"},
        Bad_case{"old_version", R"({"version": "2.0.0", "runs": []})",
                 "x.sarif: version: expected \"2.1.0\", the only SARIF version read"},
        Bad_case{"wrong_type", log_of(R"({"locations": [{"physicalLocation": 3}]})"),
                 "x.sarif: runs[0].results[0].locations[0].physicalLocation: expected an object"},
        Bad_case{"no_such_rule", log_of(R"({"ruleIndex": 4})"),
                 "x.sarif: runs[0].results[0].ruleIndex: no such rule in the run"},
        Bad_case{"base_ids_in_a_circle",
                 log_of(R"({"locations": [{"physicalLocation": {"artifactLocation": {"uri": "a",)"
                        R"( "uriBaseId": "A"}}}]})",
                        R"("originalUriBaseIds": {"A": {"uri": "b/", "uriBaseId": "A"}}, )"),
                 "x.sarif: runs[0].results[0].locations[0].physicalLocation.artifactLocation."
                 "uriBaseId: base ids nest too deep or in a circle"}),
    [](const testing::TestParamInfo<Bad_case>& p) { return std::string(p.param.name); });

}  // namespace
