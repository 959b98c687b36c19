#include "helpers.hpp"

#include "vantel-quote/quote_cli.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Runs vantel-quote in-process; returns its exit status, output and errors.
struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome run(const std::vector<std::string>& args, std::uintmax_t each_in_memory_limit) {
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  vantel_quote::Environment env{in, out, err};
  env.each_in_memory_limit = each_in_memory_limit;
  const int status = vantel_quote::run(args, env);
  return {status, out.str(), err.str()};
}

// The options parsed from `args`, one field after another, or the usage error.
// Locations show as offsets in a text of lines of ten bytes.
std::string parsed(const std::vector<std::string>& args) {
  vantel_quote::Options o;
  try {
    o = vantel_quote::parse_arguments(args);
  } catch (const vantel_quote::Usage_error& e) {
    return std::string("error: ") + e.what();
  }
  static const char* const colors[] = {"never", "always", "auto"};
  std::string out = "max " + std::to_string(o.max_lines) + ", " +
                    colors[static_cast<int>(o.color)] + (o.each ? ", each" : "") +
                    (o.help ? ", help" : "") + (o.version ? ", version" : "") + ", file '" +
                    o.file + "'";
  std::string text;
  for (int i = 0; i < 10; ++i) text += "123456789\n";
  const vantel::Input input = vantel::Input::string(text);
  for (const vantel::Location& l : o.locations)
    out += ", " + std::to_string(vantel::Position::to_offset(input, l.first)) + ".." +
           std::to_string(vantel::Position::to_offset(input, l.second));
  return out;
}

TEST(CliArguments, OptionsFileAndLocationsParseOrGiveOneUsageError) {
  const struct {
    std::vector<std::string> args;
    std::string parsed;
  } cases[] = {
      {{"f"}, "max 10, auto, file 'f'"},
      {{"--each", "--max-lines=3", "--color=never", "f", "1..2", "2:3..-4"},
       "max 3, never, each, file 'f', 1..2, 12..-4"},
      {{"--max-lines", "-4", "--color", "always", "-"}, "max -4, always, file '-'"},
      // After FILE a single '-' starts a negative offset, "--" still an option.
      {{"f", "-3..-1", "--each", "--max-lines", "0"}, "max 0, auto, each, file 'f', -3..-1"},
      {{"--", "--each", "-1..0"}, "max 10, auto, file '--each', -1..0"},
      {{"-h"}, "max 10, auto, help, file ''"},
      {{"--help", "--version"}, "max 10, auto, help, version, file ''"},
      {{}, "error: missing FILE"},
      {{"--each"}, "error: missing FILE"},
      {{"--max-lines"}, "error: option '--max-lines' needs a value"},
      {{"f", "--color"}, "error: option '--color' needs a value"},
      {{"--color=red", "f"}, "error: invalid --color 'red': expected never, always or auto"},
      {{"--colour=always", "f"}, "error: unknown option '--colour=always'"},
      {{"--each=1", "f"}, "error: unknown option '--each=1'"},
      {{"-x", "f"}, "error: unknown option '-x'"},
      {{"--max-lines=", "f"}, "error: invalid --max-lines value: ''"},
      {{"--max-lines=9999999999", "f"}, "error: --max-lines value out of range: '9999999999'"},
      {{"f", "--"}, "error: invalid location '--': expected START..END"},
      {{"f", "3:x..4"}, "error: invalid column: 'x' in location '3:x..4'"},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + ' ';
    EXPECT_EQ(parsed(c.args), c.parsed) << joined;
  }
}

TEST(CliEach, AFileQuotedThroughItsStreamPrintsWhatItPrintsFromMemory) {
  std::string text;
  for (int i = 1; i <= 40; ++i) text += "line " + std::to_string(i) + " of the file\r\n";
  const test::Temp_file file(text);
  const std::vector<std::string> args = {"--each",     file.path(), "3:1..3:5",
                                         "39:6..40:3", "1:1..1:2",  "43:1..43:2"};
  const Outcome from_memory = run(args, UINTMAX_MAX);
  const Outcome from_stream = run(args, 0);
  EXPECT_EQ(from_stream.out, from_memory.out);
  EXPECT_EQ(from_stream.out,
            "3 | line 3 of the file\n    ^^^^\n"
            "39 | .....39 of the file\n40 | li.................\n"
            "1 | line 1 of the file\n    ^\n");
  EXPECT_EQ(from_stream.status, 1);  // there is no line 43
  EXPECT_EQ(from_stream.err, from_memory.err);
  EXPECT_NE(from_stream.err, "");
}

}  // namespace
