// SPDX-License-Identifier: MIT
// Reports as data: the sample reports in each format, compared byte for byte
// with the files under tests/export/ (VANTEL_UPDATE_SNAPSHOTS=1 rewrites
// them), the columns of each unit, and failures.
#include "export/json_writer.hpp"
#include "export_samples.hpp"
#include "helpers.hpp"
#include "input/uri.hpp"
#include "model/region.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>

namespace {

using vantel::Column_unit;

vantel::Source sample_source(std::size_t k) {
  const test::Sample_file& f = test::sample_files()[k];
  return {vantel::Input::string(f.text), f.name};
}

std::vector<vantel::Report> samples() {
  return test::sample_reports(sample_source(0), sample_source(1));
}

struct Export_snapshot {
  const char* file;
  std::function<std::string(const std::vector<vantel::Report>&)> write;
};

const Export_snapshot export_snapshots[] = {
    {"samples.sarif",
     [](const std::vector<vantel::Report>& reports) {
       vantel::Sarif_tool tool{"calc", "1.0", "https://calc.example/", {}};
       tool.rules.push_back(test::sample_rule());
       vantel::Sarif_log log(tool, {vantel::Sarif_column_kind::Utf16_code_units, "file:///src/"});
       for (const vantel::Report& r : reports) log.add(r);
       return log.str();
     }},
    {"samples.lsp.json",
     [](const std::vector<vantel::Report>& reports) {
       vantel::Lsp_options options;
       options.source = "calc";
       options.base_uri = "file:///src/";
       options.code_urls["E0308"] = "https://calc.example/E0308";
       return vantel::to_lsp_json(reports, options);
     }},
    {"samples.short",
     [](const std::vector<vantel::Report>& reports) {
       std::string out;
       for (const vantel::Report& r : reports) out += vantel::to_one_line(r);
       return out;
     }},
};

class ExportSnapshot : public testing::TestWithParam<Export_snapshot> {};

TEST_P(ExportSnapshot, MatchesItsFile) {
  const Export_snapshot& s = GetParam();
  const std::string path = std::string("export/") + s.file;
  const std::string got = s.write(samples());
  if (const char* update = std::getenv("VANTEL_UPDATE_SNAPSHOTS"); update && *update == '1')
    std::ofstream(path, std::ios::binary) << got;
  std::ifstream file(path, std::ios::binary);
  ASSERT_TRUE(file.is_open()) << path;
  EXPECT_EQ(got, std::string(std::istreambuf_iterator<char>(file), {})) << path;
  EXPECT_EQ(s.write(samples()), got);  // deterministic
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportSnapshot, testing::ValuesIn(export_snapshots),
                         [](const testing::TestParamInfo<Export_snapshot>& param) {
                           std::string name = param.param.file;
                           for (char& c : name)
                             if (c == '.') c = '_';
                           return name;
                         });

// Columns and offsets of one region in each unit, from the first line.
struct Region_case {
  const char* needle;
  Column_unit unit;
  std::int64_t start_col, end_col, char_offset, char_length;
};

const Region_case region_cases[] = {
    // "let 名前 = \"😀\";": the emoji is two UTF-16 units, one code point.
    {"\xF0\x9F\x98\x80", Column_unit::Utf16, 11, 13, 10, 2},
    {"\xF0\x9F\x98\x80", Column_unit::Code_points, 11, 12, 10, 1},
    {"\xF0\x9F\x98\x80", Column_unit::Bytes, 15, 19, 14, 4},
    // After a CRLF line: the carriage return counts in offsets, not columns.
    {"say", Column_unit::Utf16, 1, 4, 30, 3},
    // Each byte that is not UTF-8 is one unit.
    {"\xFF\xFE", Column_unit::Code_points, 5, 7, 33, 2},
};

TEST(ExportRegion, CountsEachUnit) {
  const std::string_view text = test::sample_files()[0].text;
  const vantel::Input input = vantel::Input::string(std::string(text));
  for (const Region_case& c : region_cases) {
    vantel::detail::Region_reader reader(c.unit, true);
    const auto r = reader.read(input, test::find(text, c.needle));
    ASSERT_TRUE(r) << c.needle;
    EXPECT_EQ(std::vector<std::int64_t>({r->start_col, r->end_col, r->char_offset, r->char_length}),
              std::vector<std::int64_t>({c.start_col, c.end_col, c.char_offset, c.char_length}))
        << c.needle << " in unit " << static_cast<int>(c.unit);
    EXPECT_EQ(r->text, c.needle);
  }
}

// Regions at the end of a long CRLF line, whose end and last characters fall
// on either side of where it is read in pieces, count as the line held whole
// counts them; in a file too, whose reader holds a block at a time.
TEST(ExportRegion, CountsALongLineAsAShortOne) {
  const std::string tail = "\xC3\xA9\xF0\x9F\x98\x80\r";  // é, the emoji, a carriage return
  for (const std::size_t pad : {std::size_t{3}, std::size_t{65530}, std::size_t{65533},
                                std::size_t{65536}, std::size_t{70000}})
    for (const bool in_file : {false, true}) {
      const std::string line = std::string(pad, 'a') + tail;
      const test::Temp_file file(line + "\nb");
      const vantel::Input input =
          in_file ? vantel::Input::file(file.path()) : vantel::Input::string(line + "\nb");
      const auto n = static_cast<std::int64_t>(pad);
      const auto whole = static_cast<std::int64_t>(line.size());
      for (const Column_unit unit : {Column_unit::Utf16, Column_unit::Code_points}) {
        const std::int64_t emoji = unit == Column_unit::Utf16 ? 2 : 1;
        vantel::detail::Region_reader reader(unit, true);
        // From the emoji to past the carriage return: the end column leaves it out.
        const auto r = reader.read(input, test::offsets(n + 2, whole));
        ASSERT_TRUE(r) << pad;
        EXPECT_EQ(std::vector<std::int64_t>(
                      {r->start_col, r->end_col, r->char_offset, r->char_length, r->end_line}),
                  std::vector<std::int64_t>({n + 2, n + 2 + emoji, n + 1, emoji + 1, 1}))
            << pad << " in unit " << static_cast<int>(unit);
        EXPECT_EQ(r->text, tail.substr(2));
        // The next line's offset counts the first line's units once.
        const auto next = reader.read(input, test::offsets(whole + 1, whole + 2));
        ASSERT_TRUE(next) << pad;
        EXPECT_EQ(next->char_offset, n + 1 + emoji + 2) << pad;
      }
    }
}

// A result's fingerprint hashes its line without the blanks at either end,
// however long the line: one read in several pieces hashes as one read whole.
TEST(ExportFingerprint, HashesTheLineWithoutTheBlanksAroundIt) {
  const auto fingerprint = [](const std::string& line) {
    const vantel::Source source(vantel::Input::string(line + "\nnext\n"), "f.calc");
    vantel::Report report;
    report.message = "m";
    const auto first = static_cast<std::int64_t>(line.find('a'));
    report.labels = {vantel::Label::primary(source, test::offsets(first, first + 1), "")};
    vantel::Sarif_log log(vantel::Sarif_tool{});
    log.add(report);
    return nlohmann::json::parse(
               log.str())["runs"][0]["results"][0]["partialFingerprints"]["lineHash/v1"]
        .get<std::string>();
  };
  for (const std::size_t length : {std::size_t{10}, std::size_t{200000}}) {
    const std::string text(length, 'a');
    const std::string blanks(70000, ' ');
    EXPECT_EQ(fingerprint(text), fingerprint(" \t" + text + " \r")) << length;
    EXPECT_EQ(fingerprint(text), fingerprint(text + blanks + "\t")) << length;
    EXPECT_NE(fingerprint(text), fingerprint(text + blanks + "a")) << length;
    EXPECT_NE(fingerprint(text + "a"), fingerprint(text + blanks + "a")) << length;
  }
}

// The --> row of a report on "\tprint 名前 + 1", labelled at 名前.
struct Arrow_case {
  Column_unit unit;
  int origin;
  const char* row;
};

const Arrow_case arrow_cases[] = {
    {Column_unit::Bytes, 1, " --> main.calc:2:8"},
    {Column_unit::Bytes, 0, " --> main.calc:2:7"},
    {Column_unit::Utf16, 1, " --> main.calc:2:8"},
    {Column_unit::Display, 1, " --> main.calc:2:15"},
    {Column_unit::Display, 0, " --> main.calc:2:14"},
};

TEST(ExportArrow, CountsTheColumnInTheLayoutsUnitAndOrigin) {
  for (const Arrow_case& c : arrow_cases) {
    vantel::Layout layout;
    layout.report.location_unit = c.unit;
    layout.report.location_origin = c.origin;
    std::ostringstream out;
    vantel::Formatter formatter(out);
    vantel::pp_report(formatter, samples()[0], layout);
    EXPECT_NE(out.str().find(std::string(c.row) + "\n"), std::string::npos) << out.str();
  }
}

TEST(ExportArrow, RejectsAnOriginOtherThanZeroOrOne) {
  vantel::Layout layout;
  layout.report.location_origin = 2;
  std::ostringstream out;
  vantel::Formatter formatter(out);
  EXPECT_THROW(vantel::pp_report(formatter, samples()[0], layout), std::invalid_argument);
}

// A label on a line after the last fails each call alike, and leaves a log
// as it was.
TEST(ExportFailure, IsReportedByTheNonThrowingTwins) {
  vantel::Report bad = samples()[1];
  bad.labels.push_back(vantel::Label::primary(
      sample_source(0),
      {vantel::Position::of_line_col(9, 1), vantel::Position::of_line_col(9, 2)}));
  vantel::Sarif_log log({"calc", {}, {}, {}});
  vantel::Error error;
  log.add(bad, error);
  EXPECT_EQ(error.code, std::errc::result_out_of_range) << error.message;
  EXPECT_EQ(log.size(), 0U);
  log.add(samples()[1], error);
  EXPECT_FALSE(error) << error.message;
  EXPECT_EQ(log.size(), 1U);
  EXPECT_EQ(vantel::to_lsp_json(bad, {}, error), "");
  EXPECT_EQ(error.code, std::errc::result_out_of_range);
  EXPECT_EQ(vantel::to_one_line(bad, error), "");
  EXPECT_EQ(error.code, std::errc::result_out_of_range);
  std::ostringstream closed;
  closed.setstate(std::ios::badbit);
  log.write(closed, error);
  EXPECT_TRUE(error);
  vantel::write_lsp_json(closed, {samples()[1]}, {}, error);
  EXPECT_TRUE(error);
  std::ostringstream written;
  vantel::write_lsp_json(written, {samples()[1], bad}, {}, error);
  EXPECT_EQ(error.code, std::errc::result_out_of_range);
}

// Written in pieces, the array is the one string's, byte for byte.
TEST(ExportLspStream, WritesWhatTheStringHolds) {
  std::vector<vantel::Report> reports;
  while (reports.size() < 400)  // several pieces
    for (const vantel::Report& r : samples()) reports.push_back(r);
  std::ostringstream out;
  vantel::write_lsp_json(out, reports);
  EXPECT_GT(out.str().size(), 3 * 64 * 1024U);
  EXPECT_EQ(out.str(), vantel::to_lsp_json(reports));
  std::ostringstream none;
  vantel::write_lsp_json(none, {});
  EXPECT_EQ(none.str(), vantel::to_lsp_json(std::vector<vantel::Report>{}));
}

// Streamed, the log holds the held log's members, results first, and is
// written before it is finished; it fails as the held one does.
TEST(ExportSarifStream, WritesTheHeldLogsMembersInPieces) {
  vantel::Report bad = samples()[1];
  bad.labels.push_back(vantel::Label::primary(
      sample_source(0),
      {vantel::Position::of_line_col(9, 1), vantel::Position::of_line_col(9, 2)}));
  for (const std::size_t count : {0U, 400U}) {
    const vantel::Sarif_tool tool{"calc", "1.0", {}, {test::sample_rule()}};
    vantel::Sarif_log held(tool, {vantel::Sarif_column_kind::Utf16_code_units, "file:///src/"});
    std::ostringstream out;
    vantel::Sarif_stream log(out, tool,
                             {vantel::Sarif_column_kind::Utf16_code_units, "file:///src/"});
    for (std::size_t k = 0; k < count; ++k) {
      held.add(samples()[k % samples().size()]);
      log.add(samples()[k % samples().size()]);
      if (k == 1) {
        EXPECT_ANY_THROW(log.add(bad));
      }
    }
    held.set_invocation({false, {"calc", "-x"}, "/src", {}, {}, {}});
    log.set_invocation({false, {"calc", "-x"}, "/src", {}, {}, {}});
    EXPECT_EQ(log.size(), held.size());
    EXPECT_EQ(out.str().empty(), count == 0) << "nothing was written before the end";
    log.finish();
    EXPECT_EQ(nlohmann::json::parse(out.str()), nlohmann::json::parse(held.str()));
    EXPECT_NE(out.str().find("\"runs\": [\n    {\n      \"results\": ["), std::string::npos);
    EXPECT_THROW(log.finish(), std::logic_error);
    EXPECT_THROW(log.add(samples()[0]), std::logic_error);
  }
  std::ostringstream closed;
  closed.setstate(std::ios::badbit);
  vantel::Sarif_stream log(closed, {"calc", {}, {}, {}});
  vantel::Error error;
  log.finish(error);
  EXPECT_NE(error.message.find("Sarif_stream::finish"), std::string::npos) << error.message;
}

}  // namespace

namespace {

// A line feed in a code, a name or a message would start a line that an
// editor reads as a diagnostic of its own.
TEST(ExportOneLine, KeepsEachDiagnosticOnItsLine) {
  vantel::Report r;
  r.severity = vantel::Severity::custom("li\nnt");
  r.code = "L\r\n1";
  r.message = "two\nlines";
  r.labels = {vantel::Label::primary(
      {vantel::Input::string("x\n"), "a\nb"},
      {vantel::Position::of_offset(0), vantel::Position::of_offset(1)}, "and\rmore")};
  EXPECT_EQ(vantel::to_one_line(r), "a b:1:1: li nt[L  1]: two lines: and more\n");
}

// An excerpt numbered from line 10, column 5 of its file; a context label,
// which marks nothing; a label past the end; a fix reversed beside a sound one.
TEST(ExportSpans, WriteExcerptsAsTheirFileAndLeaveOutWhatMarksOrAppliesNothing) {
  vantel::Source cell(vantel::Input::string("x = 1\n"), "cell");
  cell.first_line = 10;
  cell.first_column = 4;
  vantel::Report r;
  r.message = "m";
  r.labels = {vantel::Label::primary(cell, vantel::Location::of_offsets(0, 1), "here"),
              vantel::Label::context(cell, vantel::Location::of_offsets(0, 5)),
              vantel::Label::secondary(cell, vantel::Location::of_offsets(50, 56), "far")};
  r.fixes = {{"sound", {vantel::Edit(cell, vantel::Location::of_offsets(0, 1), "y")}, {}},
             {"reversed", {vantel::Edit(cell, vantel::Location::of_offsets(3, 2), "")}, {}}};
  const std::string left_out = "left out, as it cannot be applied: fix 2 (\"reversed\")";
  const std::string past = "label 3 (\"far\"): bytes 50..56 reach past the end of cell (6 bytes)";

  vantel::Sarif_log log({"t", {}, {}, {}});
  log.add(r);
  const auto result = nlohmann::json::parse(log.str())["runs"][0]["results"][0];
  EXPECT_EQ(result["fixes"].size(), 1U);
  EXPECT_EQ(result["locations"].size(), 1U);
  EXPECT_EQ(result["relatedLocations"].size(), 1U);
  const auto& region = result["locations"][0]["physicalLocation"]["region"];
  EXPECT_EQ(region["startLine"], 10);
  EXPECT_EQ(region["startColumn"], 5);
  EXPECT_FALSE(region.contains("charOffset"));
  const auto& notes = result["properties"]["notes"];
  ASSERT_EQ(notes.size(), 2U);
  EXPECT_EQ(notes[0].get<std::string>().rfind("note: " + past, 0), 0U);
  EXPECT_EQ(notes[1].get<std::string>().rfind("note: " + left_out, 0), 0U);

  const auto lsp = nlohmann::json::parse(vantel::to_lsp_json(r))[0];
  EXPECT_EQ(lsp["data"]["fixes"].size(), 1U);
  EXPECT_EQ(lsp["range"]["start"]["line"], 9);
  EXPECT_EQ(lsp["range"]["start"]["character"], 4);
  EXPECT_EQ(lsp["relatedInformation"].size(), 1U);
  EXPECT_NE(lsp["message"].get<std::string>().find(left_out), std::string::npos);

  const std::string lines = vantel::to_one_line(r);
  EXPECT_EQ(lines.rfind("cell:10:5: error: m: here\n", 0), 0U) << lines;
  EXPECT_NE(lines.find("cell:10:5: note: " + past), std::string::npos) << lines;
  EXPECT_NE(lines.find("cell:10:5: note: " + left_out), std::string::npos) << lines;
  // apply still refuses the reversed fix.
  EXPECT_THROW((void)vantel::apply(cell.input, r.fixes), std::invalid_argument);
}

}  // namespace

namespace {

// A report of one label whose own message and fix title are empty.
vantel::Report without_texts(const std::string& code) {
  const vantel::Source source(vantel::Input::string("x = 1\n"), "a.c");
  vantel::Report r;
  r.severity = vantel::Severity::Warning;
  r.code = code;
  r.labels.emplace_back(source, vantel::Location::of_offsets(0, 1));
  r.fixes.push_back({"", {vantel::Edit(source, vantel::Location::of_offsets(0, 1), "y")}, {}});
  return r;
}

TEST(ExportTexts, EmptyMessagesFallBackToTheRulesOrTheSeveritysWords) {
  vantel::Sarif_rule w1;
  w1.id = "W1";
  w1.short_description = "Unused name";
  const vantel::Sarif_tool tool{"t", {}, {}, {w1}};
  const auto sarif = [&](const std::string& code) {
    vantel::Sarif_log log(tool);
    log.add(without_texts(code));
    return nlohmann::json::parse(log.str())["runs"][0]["results"][0];
  };
  const auto lsp = [](const std::string& code) {
    return nlohmann::json::parse(vantel::to_lsp_json(without_texts(code)))[0];
  };
  EXPECT_EQ(sarif("W1")["message"]["text"], "Unused name");
  EXPECT_EQ(sarif("W2")["message"]["text"], "warning W2");
  EXPECT_EQ(sarif("")["message"]["text"], "warning");
  EXPECT_EQ(sarif("")["fixes"][0]["description"]["text"], "Apply the suggested edits");
  EXPECT_EQ(lsp("W2")["message"], "warning W2");
  EXPECT_EQ(lsp("")["data"]["fixes"][0]["title"], "Apply the suggested edits");
}

}  // namespace

namespace {

// The report's code URL is the one the formats write where their options
// name none, and what a log's rule gives back; the options' own comes first.
TEST(ExportUris, TheReportsCodeUrlIsSharedByTheFormats) {
  vantel::Report r;
  r.code = "E1";
  r.code_url = "https://example.org/E1";
  r.labels.emplace_back(vantel::Input::string("x\n"), "a.c", vantel::Location::of_offsets(0, 1));
  vantel::Sarif_log log({"t", {}, {}, {}});
  log.add(r);
  const auto sarif = nlohmann::json::parse(log.str());
  EXPECT_EQ(sarif["runs"][0]["tool"]["driver"]["rules"][0]["helpUri"], r.code_url);
  const auto lsp = nlohmann::json::parse(vantel::to_lsp_json(r));
  EXPECT_EQ(lsp[0]["codeDescription"]["href"], r.code_url);
  vantel::Lsp_options options;
  options.code_urls["E1"] = "https://example.org/own";
  EXPECT_EQ(nlohmann::json::parse(vantel::to_lsp_json(r, options))[0]["codeDescription"]["href"],
            "https://example.org/own");
  vantel::Sarif_read_options read;
  read.artifacts.emplace_back(vantel::Input::string("x\n"), "a.c");
  EXPECT_EQ(vantel::read_sarif(log.str(), "log", read).at(0).code_url, r.code_url);
  r.code_url = "not a URI";
  EXPECT_THROW((void)vantel::to_lsp_json(r), std::invalid_argument);
}

TEST(ExportUris, BaseUrisAndCodeUrlsAreCheckedOrGivenTheirSlash) {
  const struct {
    const char* uri;
    const char* written;  // null: refused
  } cases[] = {
      {"file:///src/", "file:///src/"},
      {"file:///src", "file:///src/"},
      {"relative/", nullptr},
      {"file:///s#x/", nullptr},
      {"file:///s?q/", nullptr},
      {"http://h/a b/", nullptr},
      {"\xff", nullptr},
      {"file:///50%/", nullptr},
      {"https://h/a%20b/", "https://h/a%20b/"},
  };
  vantel::Report r;
  r.message = "m";
  r.labels.emplace_back(vantel::Input::string("x\n"), "a.c", vantel::Location::of_offsets(0, 1));
  for (const auto& c : cases) {
    vantel::Sarif_log log({"t", {}, {}, {}}, {vantel::Sarif_column_kind::Utf16_code_units, c.uri});
    log.add(r);
    vantel::Lsp_options lsp;
    lsp.base_uri = c.uri;
    vantel::Lsp_options code;
    r.code = "E1";
    code.code_urls["E1"] = c.uri;
    if (c.written == nullptr) {
      EXPECT_THROW((void)log.str(), std::invalid_argument) << c.uri;
      EXPECT_THROW((void)vantel::to_lsp_json(r, lsp), std::invalid_argument) << c.uri;
      if (std::string(c.uri).find_first_of("#?") == std::string::npos) {
        EXPECT_THROW((void)vantel::to_lsp_json(r, code), std::invalid_argument) << c.uri;
      }
      continue;
    }
    const auto sarif = nlohmann::json::parse(log.str());
    EXPECT_EQ(sarif["runs"][0]["originalUriBaseIds"]["SRCROOT"]["uri"], c.written);
    EXPECT_EQ(nlohmann::json::parse(vantel::to_lsp_json(r, lsp))[0]["data"]["uri"],
              std::string(c.written) + "a.c");
  }
}

}  // namespace

namespace {

// The URI each format names an input by, with and without a base.
struct Uri_case {
  const char* what;
  bool file;             // a file input, else a text with the same name
  bool base;             // base_uri "file:///src/"
  std::string expected;  // "@" stands for the current folder's file URI
};

TEST(ExportUri, NamesAFileInputByItsAbsolutePathUnlessABaseIsGiven) {
  namespace fs = std::filesystem;
  const std::string name = "uri test/\xC3\xA9 50%.calc";
  fs::create_directories("uri test");
  std::ofstream(name, std::ios::binary) << "x = 1\n";
  std::string here = vantel::detail::uri_of_name(fs::current_path().string());
  const Uri_case cases[] = {
      {"file", true, false, here + "/uri%20test/%C3%A9%2050%25.calc"},
      {"file with a base", true, true, "file:///src/uri%20test/%C3%A9%2050%25.calc"},
      {"text", false, false, "uri%20test/%C3%A9%2050%25.calc"},
      {"text with a base", false, true, "file:///src/uri%20test/%C3%A9%2050%25.calc"},
  };
  for (const Uri_case& c : cases) {
    vantel::Report r;
    r.message = "m";
    const vantel::Input in = c.file ? vantel::Input::file(name) : vantel::Input::string("x = 1\n");
    r.labels = {vantel::Label::primary({in, name}, vantel::Location::of_offsets(0, 1))};
    vantel::Lsp_options lsp;
    vantel::Sarif_options sarif;
    if (c.base) lsp.base_uri = sarif.base_uri = "file:///src/";
    const std::string diagnostic = vantel::to_lsp_json(r, lsp);
    EXPECT_NE(diagnostic.find("\"uri\": \"" + c.expected + "\""), std::string::npos)
        << c.what << diagnostic;
    vantel::Sarif_log log({"t", {}, {}, {}}, sarif);
    log.add(r);
    const std::string in_log = c.base ? "\"uri\": \"uri%20test/%C3%A9%2050%25.calc\",\n"
                                        "                  \"uriBaseId\": \"SRCROOT\""
                                      : "\"uri\": \"" + c.expected + "\"";
    EXPECT_NE(log.str().find(in_log), std::string::npos) << c.what << log.str();
  }
  fs::remove_all("uri test");
}

// Code scanning refuses a log past its limits: the writer keeps the first
// results and locations and says what it left out.
TEST(ExportSarifLimits, KeepsTheFirstResultsAndLocationsAndSaysSo) {
  const vantel::Source source(vantel::Input::string("abc\n"), "a.calc");
  vantel::Report one;
  one.message = "m";
  one.labels = {vantel::Label::primary(source, vantel::Location::of_offsets(0, 1))};
  vantel::Report wide = one;
  for (int k = 0; k < 1200; ++k)
    wide.labels.push_back(vantel::Label::secondary(source, vantel::Location::of_offsets(1, 2)));
  vantel::Sarif_log log({"t", {}, {}, {}});
  log.add(wide);
  for (int k = 1; k < 30000; ++k) log.add(one);
  EXPECT_EQ(log.size(), 25000U);
  const std::string text = log.str();
  EXPECT_NE(text.find("\"id\": 1000,"), std::string::npos);
  EXPECT_EQ(text.find("\"id\": 1001,"), std::string::npos);
  EXPECT_NE(text.find("\"text\": \"5000 results left out: a run holds at most 25000"),
            std::string::npos);
  EXPECT_NE(text.find("\"text\": \"200 locations left out of 1 results"), std::string::npos);
}

TEST(ExportSarifRule, RefusesMetadataThatReadersDoNotTake) {
  const auto with = [](auto set) {
    vantel::Sarif_rule rule = test::sample_rule();
    set(rule);
    return vantel::Sarif_tool{"t", {}, {}, {rule}};
  };
  const vantel::Sarif_tool bad[] = {
      with([](vantel::Sarif_rule& r) { r.default_level = "fatal"; }),
      with([](vantel::Sarif_rule& r) { r.precision = "exact"; }),
      with([](vantel::Sarif_rule& r) { r.problem_severity = "note"; }),
      with([](vantel::Sarif_rule& r) { r.security_severity = "10.5"; }),
      with([](vantel::Sarif_rule& r) { r.security_severity = "high"; }),
  };
  for (const vantel::Sarif_tool& tool : bad)
    EXPECT_THROW(vantel::Sarif_log{tool}, std::invalid_argument) << tool.rules[0].precision;
  vantel::Sarif_rule many = test::sample_rule();
  for (int k = 0; k < 30; ++k) many.tags.push_back("t" + std::to_string(k));
  vantel::Sarif_log log({"t", {}, {}, {many}});
  log.add(samples()[0]);
  EXPECT_NE(log.str().find("\"t17\"\n"), std::string::npos);  // the 20th: two tags before
  EXPECT_EQ(log.str().find("\"t18\""), std::string::npos);
}

// A result that fails between two others leaves nothing of itself, not even
// a comma, in the log.
TEST(ExportFailure, LeavesNoTraceBetweenResults) {
  vantel::Report bad = samples()[1];
  bad.labels.push_back(vantel::Label::primary(
      sample_source(0),
      {vantel::Position::of_line_col(9, 1), vantel::Position::of_line_col(9, 2)}));
  vantel::Sarif_log log({"calc", {}, {}, {}});
  log.add(samples()[0]);
  EXPECT_ANY_THROW(log.add(bad));
  log.add(samples()[1]);
  const nlohmann::json parsed = nlohmann::json::parse(log.str());
  EXPECT_EQ(parsed["runs"][0]["results"].size(), 2U);
}

// A label that reaches the last offset there is is placed at the end of a
// file as of a text: reading there ends the file, it does not fail.
TEST(ExportFile, PlacesALabelPastItsEndAsATextDoes) {
  const std::string text = "let a = 1;\nlet b;\n";
  const test::Temp_file file(text);
  const auto exported = [](const vantel::Input& input) {
    vantel::Report report;
    report.message = "m";
    report.labels = {vantel::Label::primary(
        vantel::Source(input, "f.calc"), test::offsets(4, std::numeric_limits<std::int64_t>::max()),
        "to the end")};
    vantel::Sarif_log log({"calc", {}, {}, {}},
                          {vantel::Sarif_column_kind::Utf16_code_units, "file:///src/"});
    log.add(report);
    vantel::Lsp_options lsp;
    lsp.base_uri = "file:///src/";
    return vantel::to_lsp_json(report, lsp) + vantel::to_one_line(report) + log.str();
  };
  EXPECT_EQ(exported(vantel::Input::file(file.path())), exported(vantel::Input::string(text)));
}

struct Json_string_case {
  const char* name;
  std::string text;
  std::string written;
};

class JsonWriterStrings : public testing::TestWithParam<Json_string_case> {};

// Keys and values alike: valid UTF-8 out, whatever comes in.
TEST_P(JsonWriterStrings, AreValidUtf8AndEscaped) {
  vantel::detail::Json_writer out;
  out.restart(0);
  out.start_object();
  out.member(GetParam().text, GetParam().text);
  out.end_object();
  const std::string& w = GetParam().written;
  EXPECT_EQ(out.text(), "{\n  " + w + ": " + w + "\n}");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, JsonWriterStrings,
    testing::Values(Json_string_case{"plain", "caf\xc3\xa9 /x", "\"caf\xc3\xa9 /x\""},
                    Json_string_case{"bad_bytes", "a\x80\xc3", "\"a\xef\xbf\xbd\xef\xbf\xbd\""},
                    Json_string_case{"controls", std::string("q\"\\\t\n\x1b\0", 7),
                                     "\"q\\\"\\\\\\t\\n\\u001B\\u0000\""}),
    [](const testing::TestParamInfo<Json_string_case>& p) { return std::string(p.param.name); });

// A value restarted deep is written as an element at that depth, ready to be
// spliced into a document.
TEST(JsonWriter, RestartsAtADepth) {
  vantel::detail::Json_writer out;
  out.restart(2);
  out.start_object();
  out.key("n");
  out.count(1);
  out.end_object();
  EXPECT_EQ(out.text(), "\n    {\n      \"n\": 1\n    }");
}

}  // namespace
