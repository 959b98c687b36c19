#include "helpers.hpp"

#include "vantel-quote/quote_cli.hpp"

#include <gtest/gtest.h>

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

Outcome run(const std::vector<std::string>& args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  vantel_quote::Environment env{in, out, err};
  const int status = vantel_quote::run(args, env);
  return {status, out.str(), err.str()};
}

TEST(CliEach, AFileQuotedThroughTheFileInputPrintsWhatStandardInputPrints) {
  std::string text;
  for (int i = 1; i <= 40; ++i) text += "line " + std::to_string(i) + " of the file\r\n";
  const test::Temp_file file(text);
  const std::vector<std::string> locations = {"3:1..3:5", "39:6..40:3", "1:1..1:2", "43:1..43:2"};
  std::vector<std::string> args = {"--each", file.path()};
  args.insert(args.end(), locations.begin(), locations.end());
  const Outcome from_file = run(args);
  args[1] = "-";
  const Outcome from_stdin = run(args, text);
  EXPECT_EQ(from_file.out, from_stdin.out);
  EXPECT_EQ(from_file.out,
            "3 | line 3 of the file\n    ^^^^\n"
            "39 | .....39 of the file\n40 | li.................\n"
            "1 | line 1 of the file\n    ^\n");
  EXPECT_EQ(from_file.status, 1);  // there is no line 43
  const std::string outside = ": line 43 is outside the table of 41 lines\n";
  EXPECT_EQ(from_file.err, "vantel-quote: " + file.path() + outside);
  EXPECT_EQ(from_stdin.err, "vantel-quote: -" + outside);
  EXPECT_EQ(from_stdin.status, 1);
}

}  // namespace
