#include "helpers.hpp"

#include "vantel-quote/quote_cli.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <ios>
#include <istream>
#include <new>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
