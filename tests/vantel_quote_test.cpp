// SPDX-License-Identifier: MIT
#include "helpers.hpp"

#include "vantel-quote/quote_cli.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ios>
#include <istream>
#include <new>
#include <optional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
      {{"--columns=chars", "f"},
       "error: invalid --columns 'chars': expected bytes, utf16, code-points or display"},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + ' ';
    EXPECT_EQ(parsed(c.args), c.parsed) << joined;
  }
}

TEST(CliArguments, OptionsThatWouldChangeNothingAreUsageErrors) {
  const struct {
    std::vector<std::string> args;
    std::string parsed;
  } cases[] = {
      {{"--message=m", "--fix-message=x", "f", "1..2"}, "error: --fix-message needs a --fix"},
      {{"--diff", "f", "1..2"}, "error: --apply and --diff need a --fix"},
      {{"--apply", "f", "1..2"}, "error: --apply and --diff need a --fix"},
      {{"--message=m", "--position-encoding=utf-32", "f", "1..2"},
       "error: --position-encoding needs --format=sarif or --format=lsp"},
      {{"--message=m", "--format=short", "--position-encoding=utf-8", "f", "1..2"},
       "error: --position-encoding needs --format=sarif or --format=lsp"},
      {{"--message=m", "--format=sarif", "--rule-help=h", "f", "1..2"},
       "error: --rule-help needs --code"},
      {{"--message=m", "--format=lsp", "--code-url=https://x/", "f", "1..2"},
       "error: --code-url needs --code"},
      {{"--message=m", "--format=lsp", "--code=E1", "--code-url=https://x/",
        "--position-encoding=utf-8", "f", "1..2"},
       "max 10, auto, file 'f', 1..2"},
  };
  for (const auto& c : cases) EXPECT_EQ(parsed(c.args), c.parsed) << c.args[1];
}

// The same '+' named in each unit, with the option before or after the
// location; bytes by default.
TEST(CliColumns, LineColCountsInTheUnitGivenWhereverTheOptionStands) {
  const std::string text = "let \u03C0 = \"\U0001F600\" + x\n";
  const std::vector<std::string> commands[] = {
      {"--columns=utf16", "-", "1:14..1:15"},
      {"--columns", "code-points", "-", "1:13..1:14"},
      {"-", "1:14..1:15", "--columns=display"},
      {"--columns=bytes", "-", "1:17..1:18"},
      {"-", "1:17..1:18"},
  };
  for (const auto& args : commands) {
    const Outcome o = run(args, text);
    EXPECT_EQ(o.status, 0) << args[1] << o.err;
    EXPECT_EQ(o.out, "1 | let \u03C0 = \"\U0001F600\" + x\n                    ^\n") << args[1];
  }
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
  const std::string outside = ": line 43 is past the last line (40)\n";
  EXPECT_EQ(from_file.err, "vantel-quote: " + file.path() + outside);
  EXPECT_EQ(from_stdin.err, "vantel-quote: -" + outside);
  EXPECT_EQ(from_stdin.status, 1);
}

TEST(CliReport, LabelsFollowTheFirstEqualsSignOfTheirLocation) {
  const vantel_quote::Options o =
      vantel_quote::parse_arguments({"--message=a = b", "--code", "E1", "--note=n1", "--note", "n2",
                                     "f", "1..2=x = y", "3..4", "-2..-1="});
  ASSERT_TRUE(o.report.message);
  EXPECT_EQ(*o.report.message, "a = b");
  EXPECT_EQ(o.report.code, "E1");
  EXPECT_EQ(o.report.notes, (std::vector<std::string>{"n1", "n2"}));
  EXPECT_EQ(o.report.labels, (std::vector<std::string>{"x = y", "", ""}));
  EXPECT_EQ(o.locations.size(), 3u);
}

TEST(CliReport, DrawsTheFirstLocationAsPrimary) {
  const test::Temp_file file("let a = b\n");
  const Outcome o =
      run({"--message=m", "--severity=lint", file.path(), "1:9..1:10=here", "1:5..1:6=there"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out.substr(o.out.find('\n', o.out.find('\n') + 1) + 1), R"(  |
1 | let a = b
  |     -   ^ here
  |     |
  |     there
)");
  EXPECT_EQ(o.out.rfind("lint: m\n", 0), 0u);
}

// The page is the drawing in the theme's colours, or in none under never.
TEST(CliReport, HtmlIsAPageOfTheDrawing) {
  const test::Temp_file file("let a = <b>\n");
  for (const char* color : {"--color=always", "--color=never"}) {
    const Outcome o = run({"--format=html", color, "--message=m", file.path(), "1:9..1:12=here"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(o.out.find("let a = &lt;b&gt;\n"), std::string::npos) << o.out;
    EXPECT_EQ(o.out.find("color:#") != std::string::npos, std::string(color) == "--color=always");
  }
}

}  // namespace

// --- Sources that cannot seek, failing streams and their messages ----------

// A pipe holding `text`, its writing end closed.
class Pipe {
 public:
  explicit Pipe(const std::string& text) {
    int fds[2];
    if (::pipe(fds) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    read_end_ = fds[0];
    if (::write(fds[1], text.data(), text.size()) != static_cast<ssize_t>(text.size()))
      throw std::system_error(errno, std::generic_category(), "write");
    ::close(fds[1]);
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  ~Pipe() { ::close(read_end_); }
  [[nodiscard]] int fd() const { return read_end_; }
  [[nodiscard]] std::string path() const { return "/proc/self/fd/" + std::to_string(read_end_); }

 private:
  int read_end_;
};

Outcome run_on(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               int in_descriptor = -1) {
  std::ostringstream err;
  vantel_quote::Environment env{in, out, err};
  env.in_descriptor = in_descriptor;
  const int status = vantel_quote::run(args, env);
  const auto* text = dynamic_cast<std::ostringstream*>(&out);
  return {status, text != nullptr ? text->str() : std::string(), err.str()};
}

TEST(CliSources, PipesAndFifosAreReadWholeWithOrWithoutEach) {
  const std::string text = "ab\ncd\n";
  for (const bool each : {false, true}) {
    SCOPED_TRACE(each);
    const auto args = [&](const std::string& file) {
      std::vector<std::string> a = {file, "0..2", "4..5"};
      if (each) a.insert(a.begin(), "--each");
      return a;
    };
    const std::string expected = each ? "1 | ab\n    ^^\n2 | cd\n     ^\n" : "1 | ab\n2 | .d\n";
    std::istringstream none;
    {
      const Pipe pipe(text);  // as <(...) or /dev/stdin gives it
      std::ostringstream out;
      EXPECT_EQ(run_on(args(pipe.path()), none, out).out, expected);
    }
    {
      const Pipe pipe(text);  // standard input, read through its descriptor
      std::ostringstream out;
      EXPECT_EQ(run_on(args("-"), none, out, pipe.fd()).out, expected);
    }
    {
      const auto fifo =
          std::filesystem::temp_directory_path() / ("vantel-fifo-" + std::to_string(::getpid()));
      ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
      std::thread writer([&] { std::ofstream(fifo) << text; });
      std::ostringstream out;
      const Outcome outcome = run_on(args(fifo.string()), none, out);
      writer.join();
      std::filesystem::remove(fifo);
      EXPECT_EQ(outcome.out, expected);
    }
  }
}

// Reads as a failing disk or a closed descriptor does, or runs out of memory.
class Failing_in final : public std::streambuf {
 public:
  explicit Failing_in(bool out_of_memory) : out_of_memory_(out_of_memory) {}

 protected:
  std::streamsize xsgetn(char*, std::streamsize) override {
    if (out_of_memory_) throw std::bad_alloc();
    throw std::ios_base::failure("basic_filebuf::xsgetn error reading the file",
                                 std::error_code(EIO, std::generic_category()));
  }

 private:
  bool out_of_memory_;
};

TEST(CliSources, FailuresReadInTheSystemsWordsAndEndlessDevicesAreRefused) {
  const int zero = ::open("/dev/zero", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(zero, 0);
  const int closed = ::dup(zero);  // a descriptor number that nothing holds
  ::close(closed);
  Failing_in io_error(false);
  Failing_in no_memory(true);
  std::istream failing(&io_error);
  std::istream exhausted(&no_memory);
  std::istringstream none;
  struct Case {
    std::vector<std::string> args;
    std::istream* in;
    int in_descriptor;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"-", "0..1"}, &failing, -1, "vantel-quote: -: Input/output error\n"},
      {{"-", "0..1"}, &exhausted, -1, "vantel-quote: -: out of memory\n"},
      {{"-", "0..1"}, &none, closed, "vantel-quote: -: Bad file descriptor\n"},
      {{"/dev/zero", "0..1"},
       &none,
       -1,
       "vantel-quote: /dev/zero: is a character device other than a terminal, which may never "
       "end\n"},
      {{"--each", "-", "0..1"},
       &none,
       zero,
       "vantel-quote: -: is a character device other than a terminal, which may never end\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    std::ostringstream out;
    const Outcome outcome = run_on(c.args, *c.in, out, c.in_descriptor);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, c.err);
    EXPECT_EQ(outcome.out, "");
  }
  ::close(zero);
}

TEST(CliOutput, EveryOutputThatCannotBeWrittenExitsOneWithAMessage) {
  const test::Temp_file file("ab\ncd\n");
  const std::vector<std::vector<std::string>> commands = {
      {"--help"},
      {"--version"},
      {file.path(), "0..2"},
      {"--each", file.path(), "0..2", "3..5"},
      {"--each", "-", "0..2", "3..5"},
      {"--message=m", "--fix=0..2=xy", "--diff", file.path(), "0..2"},
  };
  for (const auto& args : commands) {
    for (const std::streamsize room : {0, 4}) {
      SCOPED_TRACE(args.front() + " " + std::to_string(room));
      test::Full_buf buf(room);
      std::ostream out(&buf);
      std::istringstream in("ab\ncd\n");
      const Outcome outcome = run_on(args, in, out);
      EXPECT_EQ(outcome.status, 1);
      EXPECT_EQ(outcome.err, "vantel-quote: error writing standard output\n");
    }
  }
}

// Names, arguments, option values and the library's messages about them reach
// standard error with their controls and invalid bytes escaped.
TEST(CliMessages, ControlsInWhatTheyRepeatAreEscaped) {
  const test::Temp_file named("a\nb\n");
  const std::string odd = named.path() + "\x1b[2J";
  std::filesystem::rename(named.path(), odd);
  const std::string try_help = "Try 'vantel-quote --help' for more information.\n";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } cases[] = {
      {{"missing\x1b]0;pwned\x07", "0..1"},
       1,
       "vantel-quote: missing<0x1B>]0;pwned<0x07>: No such file or directory\n"},
      {{"a", "1:\x1b[2J..2"},
       2,
       "vantel-quote: invalid column: '<0x1B>[2J' in location '1:<0x1B>[2J..2'\n" + try_help},
      {{"--x\xc2\x9b"
        "31m",
        "a"},
       2,
       "vantel-quote: unknown option '--x<U+009B>31m'\n" + try_help},
      {{"--color=\xff\x1b", "a"},
       2,
       "vantel-quote: invalid --color '<0xFF><0x1B>': expected never, always or auto\n" + try_help},
      {{odd, "9:1..9:2"},
       1,
       "vantel-quote: " + named.path() + "<0x1B>[2J: line 9 is past the last line (2)\n"},
      {{"--message=m", odd, "9:1..9:2=x\x1b"},
       1,
       "vantel-quote: report label 1 (\"x<0x1B>\"), " + named.path() +
           "<0x1B>[2J: line 9 is past the last line (2)\n"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = run(c.args);
    EXPECT_EQ(outcome.status, c.status) << c.err;
    EXPECT_EQ(outcome.err, c.err);
  }
  std::filesystem::rename(odd, named.path());
}

namespace {

// What the layout options parse to, or the usage error.
std::string layout_of(const std::vector<std::string>& args) {
  vantel_quote::Options o;
  try {
    o = vantel_quote::parse_arguments(args);
  } catch (const vantel_quote::Usage_error& e) {
    return std::string("error: ") + e.what();
  }
  static const char* const layouts[] = {"auto", "bytes", "text"};
  return std::string(layouts[static_cast<int>(o.display)]) + ", tab " +
         std::to_string(o.layout.tab_width) + ", width " +
         (o.max_width ? std::to_string(*o.max_width) : "-") +
         (o.layout.show_points ? ", points" : "");
}

TEST(CliLayout, LayoutOptionsParseOrGiveOneUsageError) {
  const struct {
    std::vector<std::string> args;
    std::string parsed;
  } cases[] = {
      {{"f"}, "auto, tab 8, width -"},
      {{"--display=text", "--tab-width=4", "--max-width=0", "--points", "f"},
       "text, tab 4, width 0, points"},
      {{"--display", "bytes", "--tab-width", "64", "--max-width", "80", "f"},
       "bytes, tab 64, width 80"},
      {{"f", "--display=auto"}, "auto, tab 8, width -"},
      {{"--display=wide", "f"}, "error: invalid --display 'wide': expected bytes, text or auto"},
      {{"--tab-width=0", "f"}, "error: --tab-width value out of range: '0'"},
      {{"--tab-width=65", "f"}, "error: --tab-width value out of range: '65'"},
      {{"--max-width=-1", "f"}, "error: --max-width value out of range: '-1'"},
      {{"--max-width=wide", "f"}, "error: invalid --max-width value: 'wide'"},
      {{"--points=yes", "f"}, "error: unknown option '--points=yes'"},
  };
  for (const auto& c : cases) EXPECT_EQ(layout_of(c.args), c.parsed);
}

// Quotes standard input as vantel-quote does on a terminal `width` columns
// wide, or off a terminal when `width` is 0.
std::string quoted(const std::vector<std::string>& args, const std::string& input,
                   std::int64_t width) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  vantel_quote::Environment env{in, out, err};
  if (width != 0) {  // -1: a terminal that does not tell its width
    env.terminal.is_terminal = true;
    env.terminal.layout.columns = vantel::Layout::Columns::Text;
    env.terminal.layout.width = width > 0 ? width : 80;
  }
  EXPECT_EQ(vantel_quote::run(args, env), 0) << err.str();
  return out.str();
}

TEST(CliLayout, AutoIsTheTextLayoutCutToTheTerminalOnATerminalOnly) {
  const std::string line = "\tx = " + std::string(60, 'y') + ";\n";
  EXPECT_EQ(quoted({"-", "1..2"}, line, 0), "1 | \tx = " + std::string(60, 'y') + ";\n     ^\n");
  // 40 columns in all, the line number and the markers included.
  EXPECT_EQ(quoted({"-", "1..2"}, line, 40), R"(1 |         x = yyyyyyyyyyyyyyyyyyyyyy…
            ^
)");
  // A terminal that does not tell its width is taken as 80 columns wide.
  const std::string wide = "x = " + std::string(200, 'y') + "\n";
  EXPECT_EQ(quoted({"-", "1..2"}, wide, -1).find('\n'), 4 + (80 - 4 - 2) + 3u);
  EXPECT_EQ(quoted({"--max-width=0", "-", "1..2"}, line, 40),
            "1 |         x = " + std::string(60, 'y') + ";\n            ^\n");
  EXPECT_EQ(quoted({"--display=bytes", "-", "1..2"}, line, 40),
            "1 | \tx = " + std::string(60, 'y') + ";\n     ^\n");
}

// A location at the end of a minified 1 MiB line: rows of at most 80 columns
// after the line number, ending at INT64_MAX or not.
TEST(CliLayout, MinifiedLineRowsStayWithinMaxWidth) {
  std::string text;
  while (text.size() < (1u << 20)) text += "function(a){return a*2};";
  const std::string end = std::to_string(text.size() - 5);
  for (const std::string& to : {end, std::to_string(INT64_MAX)}) {
    const std::string out = quoted(
        {"--display=text", "--max-width=80", "-", std::to_string(text.size() - 30) + ".." + to},
        text, 0);
    std::istringstream rows(out);
    int count = 0;
    for (std::string row; std::getline(rows, row); ++count) {
      // "1 | " or its blank, 80 columns, and two three-byte markers.
      EXPECT_LE(row.size(), 4 + 80 + 6u) << row.substr(0, 100);
    }
    EXPECT_EQ(count, 2);
  }
}

}  // namespace

namespace {

// Truncates a file at the first byte written: another writer cutting the
// file short while the tool reads it.
class Truncating_out : public std::stringbuf {
 public:
  Truncating_out(std::string path, off_t size) : path_(std::move(path)), size_(size) {}

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    cut();
    return std::stringbuf::xsputn(s, n);
  }
  int_type overflow(int_type c) override {
    cut();
    return std::stringbuf::overflow(c);
  }

 private:
  void cut() {
    if (done_) return;
    done_ = true;
    EXPECT_EQ(::truncate(path_.c_str(), size_), 0);
  }
  std::string path_;
  off_t size_;
  bool done_ = false;
};

TEST(CliSources, AFileCutShortWhileBeingReadExitsOneNamingTheLine) {
  const test::Temp_file file("ab\ncd\nef\ngh\n");
  Truncating_out buf(file.path(), 3);
  std::ostream out(&buf);
  std::istringstream in;
  const Outcome o = run_on({"--message=m", file.path(), "0..1", "9..10"}, in, out);
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vantel-quote: " + file.path() +
                       ": line 4 is cut short: the input now ends at offset 3, but held 12 bytes "
                       "when its lines were counted: Input/output error\n");
  EXPECT_EQ(buf.str(), "error: m\n --> " + file.path() + ":1:1\n  |\n1 | ab\n  | ^\n");
}

}  // namespace

namespace {

// Runs the tool on a pseudo-terminal 100 columns wide; what the terminal got,
// with its "\r\n" read back as "\n". None where no pseudo-terminal opens.
std::optional<std::string> on_terminal(std::vector<std::string> args) {
  // Built before forking: the child only calls exec.
  std::vector<char*> argv{const_cast<char*>(VANTEL_QUOTE_TOOL)};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  char term[] = "TERM=xterm";
  char* envp[] = {term, nullptr};
  winsize size{};
  size.ws_row = 24;
  size.ws_col = 100;
  int master = -1;
  const pid_t pid = ::forkpty(&master, nullptr, nullptr, &size);
  if (pid < 0) return std::nullopt;
  if (pid == 0) {
    ::execve(argv[0], argv.data(), envp);
    ::_exit(127);
  }
  std::string got;
  char buf[4096];
  for (;;) {  // EIO once the child has gone and its side closed
    const ssize_t n = ::read(master, buf, sizeof buf);
    if (n > 0)
      got.append(buf, static_cast<std::size_t>(n));
    else if (n < 0 && errno == EINTR)
      continue;
    else
      break;
  }
  ::close(master);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << got;
  for (std::size_t at; (at = got.find("\r\n")) != std::string::npos;) got.erase(at, 1);
  return got;
}

// The links of `out`, in order; fails the test for an OSC 8 sequence that is
// not terminated, a link left open at the end of a row, or a close with none
// open.
std::vector<std::string> links_of(const std::string& out) {
  const std::string osc = "\x1b]8;;";
  const std::string st = "\x1b\\";
  std::vector<std::string> links;
  bool open = false;
  for (std::size_t at = 0; at < out.size(); ++at) {
    if (out[at] == '\n') {
      EXPECT_FALSE(open) << "a link runs past its row:\n" << out;
      continue;
    }
    if (out.compare(at, osc.size(), osc) != 0) continue;
    const std::size_t end = out.find(st, at + osc.size());
    EXPECT_NE(end, std::string::npos) << "an unterminated link";
    if (end == std::string::npos) break;
    const std::string uri = out.substr(at + osc.size(), end - at - osc.size());
    EXPECT_EQ(uri.empty(), open) << "links open and close in turn: " << uri;
    if (!uri.empty()) links.push_back(uri);
    open = !uri.empty();
    at = end + st.size() - 1;
  }
  EXPECT_FALSE(open);
  return links;
}

// `out` without its OSC 8 sequences.
std::string without_links(std::string out) {
  for (std::size_t at; (at = out.find("\x1b]8;;")) != std::string::npos;)
    out.erase(at, out.find("\x1b\\", at) + 2 - at);
  return out;
}

// On a terminal, the place links to the file and severity[CODE] to its
// documentation; the links take no cell: without them the rows are those
// drawn with links off, byte for byte.
TEST(CliHyperlinks, OnATerminalLinksArePairedWithinRowsAndTakeNoWidth) {
  const std::vector<std::string> report = {"--color=always",
                                           "--code=E1",
                                           "--code-url=https://example.org/codes/E1",
                                           "--message=two\nrows",
                                           "vantel-quote/mixed.calc",
                                           "1:1..1:3=here",
                                           "2:1..2:2=there"};
  const auto with = [&](const char* option) {
    std::vector<std::string> args = report;
    args.insert(args.begin(), option);
    return on_terminal(args);
  };
  const std::optional<std::string> linked = with("--hyperlinks=auto");
  if (!linked) GTEST_SKIP() << "no pseudo-terminal here";
  const std::string file =
      "file://" + std::filesystem::absolute("vantel-quote/mixed.calc").string();
  EXPECT_EQ(links_of(*linked), (std::vector<std::string>{"https://example.org/codes/E1", file}));
  EXPECT_EQ(with("--hyperlinks=always"), linked);
  const std::optional<std::string> plain = with("--hyperlinks=never");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->find("\x1b]8"), std::string::npos);
  EXPECT_NE(*plain, *linked);
  EXPECT_EQ(without_links(*linked), *plain);
}

// Links go with colours, and with auto only onto a terminal.
TEST(CliHyperlinks, FollowColoursAndTheTerminal) {
  struct Case {
    std::vector<std::string> options;
    bool terminal;
    bool linked;
  };
  const std::vector<Case> cases = {
      {{"--color=always"}, false, false},
      {{"--color=always", "--hyperlinks=always"}, false, true},
      {{"--color=never", "--hyperlinks=always"}, true, false},
      {{"--color=always"}, true, true},
      {{"--color=always", "--hyperlinks=never"}, true, false},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.options;
    for (const char* a :
         {"--code=E1", "--code-url=https://example.org/E1", "--message=m", "-", "1..2"})
      args.emplace_back(a);
    std::istringstream in("ab\n");
    std::ostringstream out;
    std::ostringstream err;
    vantel_quote::Environment env{in, out, err};
    env.terminal.is_terminal = c.terminal;
    EXPECT_EQ(vantel_quote::run(args, env), 0) << err.str();
    EXPECT_EQ(out.str().find("\x1b]8;;https://example.org/E1\x1b\\") != std::string::npos, c.linked)
        << out.str();
  }
  EXPECT_EQ(parsed({"--hyperlinks=sometimes", "f"}),
            "error: invalid --hyperlinks 'sometimes': expected never, always or auto");
}

}  // namespace
