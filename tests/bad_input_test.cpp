// SPDX-License-Identifier: MIT
// Hostile inputs: files that are missing, odd or huge, positions and row
// limits at the integer extremes, and callables of the caller's that throw.
// The library must answer with its documented failures or the caller's own,
// leave nothing open, and touch no byte it was given.
#include "draw/line_slice.hpp"
#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace {

using vantel::Input;
using vantel::lexing_position;
using vantel::Location;
using vantel::Position;
namespace fs = std::filesystem;
using test::offsets;
using test::open_descriptors;
using test::quote;

constexpr std::int64_t min64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t max64 = std::numeric_limits<std::int64_t>::max();

// A folder of its own under the system's temporary folder, removed with
// everything in it when the test ends.
class Temp_dir {
 public:
  Temp_dir() {
    std::string pattern = (fs::temp_directory_path() / "vantel-bad-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::system_error(errno, std::generic_category(), pattern);
    path_ = pattern;
  }
  Temp_dir(const Temp_dir&) = delete;
  Temp_dir& operator=(const Temp_dir&) = delete;
  ~Temp_dir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }

  [[nodiscard]] std::string file(const std::string& name, const std::string& content) const {
    const std::string path = (path_ / name).string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  [[nodiscard]] const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Location line_cols(std::int64_t l1, std::int64_t c1, std::int64_t l2, std::int64_t c2) {
  return {Position::of_line_col(l1, c1), Position::of_line_col(l2, c2)};
}

// --- Files that are missing, are not files, or hold odd bytes -------------

TEST(BadFiles, AMissingFileFailsNamingItselfAndPrintsNothing) {
  const Temp_dir dir;
  const std::string path = (dir.path() / "missing.txt").string();
  std::ostringstream out;
  vantel::Formatter f(out);
  try {
    vantel::pp(Input::file(path), f, {offsets(0, 1)});
    FAIL() << "quoted a missing file";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::no_such_file_or_directory);
    EXPECT_EQ(std::string(e.what()).rfind(path, 0), 0U) << e.what();
  }
  EXPECT_EQ(out.str(), "");
  EXPECT_THROW((void)Position::to_offset(Input::file(path), Position::of_offset(0)),
               std::system_error);
}

TEST(BadFiles, ADirectoryGivenAsAFileFailsAsADirectory) {
  const Temp_dir dir;
  try {
    (void)quote(Input::file(dir.path().string()), {offsets(0, 1)});
    FAIL() << "quoted a directory";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::is_a_directory);
  }
}

TEST(BadFiles, ANameWithANulByteOpensNoOtherFile) {
  const Temp_dir dir;
  const std::string prefix = dir.file("a", "secret\n");
  const std::string name = prefix + std::string("\0.txt", 5);
  try {
    (void)quote(Input::file(name), {offsets(0, 6)});
    FAIL() << "quoted the file named by the bytes before the NUL";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::invalid_argument);
  }
}

// Each odd content quoted from a file, a text and a stream alike.
TEST(BadFiles, OddContentsAreQuotedAsTheirLinesAllow) {
  struct Case {
    const char* name;
    std::string content;
    std::vector<std::int64_t> table;
    std::vector<Location> locations;
    std::string quote;
  };
  const std::string nul("a\0b\n\0c", 6);
  const std::vector<Case> cases = {
      {"empty", "", {0}, {offsets(0, 1)}, ""},
      {"empty, line 1", "", {0}, {line_cols(1, 1, 1, 2)}, ""},
      // Empty lines have no bytes to carry a number, so no row gets a label.
      {"only line feeds", "\n\n\n", {0, 1, 2, 3}, {offsets(0, 3)}, " | \n | \n | \n"},
      {"only line feeds, one", "\n\n\n", {0, 1, 2, 3}, {offsets(1, 2)}, ""},
      {"only carriage returns", "\r\r\r", {0}, {offsets(0, 3)}, ""},
      {"carriage returns and line feeds", "\r\n\r\nx", {0, 2, 4}, {offsets(3, 5)}, "2 | \n3 | x\n"},
      {"NUL bytes, one line", nul, {0, 4}, {offsets(1, 2)}, std::string("1 | a\0b\n     ^\n", 15)},
      {"NUL bytes, two lines", nul, {0, 4}, {offsets(2, 5)}, std::string("1 | ..b\n2 | \0.\n", 15)},
  };
  const Temp_dir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file("odd", c.content);
    std::istringstream stream(c.content);
    for (const Input& input :
         {Input::file(path), Input::string(c.content), Input::in_channel(stream)}) {
      EXPECT_EQ(quote(input, c.locations), c.quote);
      const auto lines = static_cast<std::int64_t>(c.table.size());
      for (std::int64_t line = 1; line <= lines; ++line)
        EXPECT_EQ(Position::to_offset(input, Position::of_line_col(line, 1)),
                  c.table[static_cast<std::size_t>(line - 1)]);
      EXPECT_THROW((void)Position::to_offset(input, Position::of_line_col(lines + 1, 1)),
                   std::out_of_range);
    }
  }
}

TEST(BadFiles, MillionsOfLineFeedsGiveALineEach) {
  const std::int64_t count = 3 << 20;  // a table far larger than the text's first block
  const std::string text(static_cast<std::size_t>(count), '\n');
  const Temp_dir dir;
  const std::string path = dir.file("lines", text);
  for (const Input& input : {Input::file(path), Input::string(text)}) {
    for (const std::int64_t line : {std::int64_t{1}, std::int64_t{131073}, count, count + 1})
      EXPECT_EQ(Position::to_offset(input, Position::of_line_col(line, 1)), line - 1);
    EXPECT_THROW((void)Position::to_offset(input, Position::of_line_col(count + 2, 1)),
                 std::out_of_range);
    EXPECT_EQ(Position::to_lexing(input)(Position::of_offset(count - 1)),
              (lexing_position{"", count, count - 1, count - 1}));
    // Empty lines carry no number: two unlabelled rows.
    EXPECT_EQ(quote(input, {offsets(count - 2, count)}), " | \n | \n");
  }
}

// Counts what is written and keeps only its last bytes, so that a quote of a
// huge line costs no memory.
class Tail_buf final : public std::streambuf {
 public:
  std::int64_t written = 0;
  std::string tail;

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    written += n;
    const auto size = static_cast<std::size_t>(n);
    if (size >= 64)
      tail.assign(s + size - 64, 64);
    else
      tail.append(s, size).erase(0, tail.size() > 64 ? tail.size() - 64 : 0);
    return n;
  }
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      const char ch = traits_type::to_char_type(c);
      xsputn(&ch, 1);
    }
    return traits_type::not_eof(c);
  }
};

TEST(BadFiles, AOneHundredMebibyteLineIsQuotedWholeNearItsEnd) {
  const Temp_dir dir;
  const std::int64_t size = std::int64_t{100} << 20;
  const std::string path = (dir.path() / "long").string();
  {
    std::ofstream out(path, std::ios::binary);
    const std::string block(1 << 20, 'x');
    for (int i = 0; i < 100; ++i) out << block;
  }
  Tail_buf buf;
  std::ostream out(&buf);
  vantel::Formatter f(out);
  // Three bytes before the last one, found by line and column.
  vantel::pp(Input::file(path), f, {line_cols(1, size - 3, 1, size)});
  // "1 | " and the line, then four spaces, the offsets up to the highlight
  // as spaces, and three carets.
  EXPECT_EQ(buf.written, 4 + size + 1 + 4 + (size - 4) + 3 + 1);
  EXPECT_EQ(buf.tail.substr(buf.tail.size() - 7), "   ^^^\n");
  EXPECT_EQ(fs::file_size(path), static_cast<std::uintmax_t>(size));
}

// A file cut short after its lines were counted fails naming the file and
// the line it lost, before that line is drawn; it was drawn empty, as if
// nothing were wrong.
TEST(BadFiles, AFileThatShrinksAfterItsLinesWereCountedFails) {
  const Temp_dir dir;
  const std::string text = "ab\ncd\nef\ngh\n";
  const std::string path = dir.file("shrinks", text);
  const auto cut = [&] { ASSERT_EQ(::truncate(path.c_str(), 3), 0); };
  std::ifstream stream(path, std::ios::binary);
  const Input kept = Input::in_channel(stream);  // keeps its table from one quote to the next
  const struct {
    const char* name;
    std::function<void(vantel::Formatter&)> act;
    std::string message;
    std::string shown;
  } cases[] = {
      {"a report whose tag handler truncates its file",
       [&](vantel::Formatter& f) {
         f.set_stag_functions({{}, {}, [&](const vantel::Stag&) { cut(); }, {}});
         f.set_print_tags(true);
         vantel::Report report;
         report.message = "m";
         const vantel::Source source(Input::file(path), "shrinks");
         report.labels = {vantel::Label::primary(source, line_cols(1, 1, 1, 2), "a"),
                          vantel::Label::secondary(source, line_cols(4, 1, 4, 2), "b")};
         vantel::pp_report(f, report);
       },
       path + ": line 4 is cut short: the input now ends at offset 3, but held 12 bytes",
       "error: m\n --> shrinks:1:1\n  |\n1 | ab\n  | ^ a\n"},
      {"a quote of a stream whose file shrank since the last one",
       [&](vantel::Formatter& f) {
         vantel::pp(kept, f, {line_cols(1, 1, 4, 2)});
         cut();
         vantel::pp(kept, f, {line_cols(1, 1, 4, 2)});
       },
       "<channel>: line 2 is cut short: the input now ends at offset 3",
       "1 | ab\n2 | cd\n3 | ef\n4 | g.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    (void)dir.file("shrinks", text);
    std::ostringstream out;
    vantel::Formatter f(out);
    try {
      c.act(f);
      ADD_FAILURE() << "no failure";
    } catch (const std::system_error& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
    }
    EXPECT_EQ(out.str(), c.shown);
  }
}

// --- Positions and row limits at the integer extremes ----------------------

TEST(BadPositions, OffsetsAndColumnsAtTheInt64ExtremesResolveOrOverflow) {
  struct Case {
    const char* name;
    Position position;
    std::int64_t offset;  // when it resolves
    std::int64_t line;    // of its lexer record
    std::int64_t line_start;
    bool overflows;
  };
  // The text "ab\ncd\n": lines start at 0, 3 and 6.
  const std::vector<Case> cases = {
      {"largest offset", Position::of_offset(max64), max64, 3, 6, false},
      {"smallest offset", Position::of_offset(min64), min64, 1, 0, false},
      {"shifted past the largest", Position::shift(Position::of_offset(max64), 1), 0, 0, 0, true},
      {"shifted below the smallest", Position::shift(Position::of_offset(min64), -1), 0, 0, 0,
       true},
      // Each shift is a position of its own, so each must fit on its own.
      {"past and back", Position::shift(Position::shift(Position::of_offset(max64), 1), -1), 0, 0,
       0, true},
      {"largest shifted by the smallest", Position::shift(Position::of_offset(max64), min64), -1, 1,
       0, false},
      {"largest column", Position::of_line_col(1, max64), max64 - 1, 1, 0, false},
      {"largest column of line 2", Position::of_line_col(2, max64), 0, 0, 0, true},
      {"smallest column", Position::of_line_col(1, min64), 0, 0, 0, true},
      {"smallest column of line 2", Position::of_line_col(2, min64), min64 + 2, 2, 3, false},
      {"lexer record at the largest", Position::of_lexing({"f", max64, max64, max64}), max64, max64,
       max64, false},
  };
  const Input input = Input::string("ab\ncd\n");
  const auto to_lexing = Position::to_lexing(input);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.overflows) {
      EXPECT_THROW((void)Position::to_offset(input, c.position), std::overflow_error);
      EXPECT_THROW((void)to_lexing(c.position), std::overflow_error);
      EXPECT_THROW((void)quote(input, {{c.position, Position::of_offset(1)}}), std::overflow_error);
      continue;
    }
    EXPECT_EQ(Position::to_offset(input, c.position), c.offset);
    EXPECT_EQ(to_lexing(c.position), (lexing_position{"", c.line, c.line_start, c.offset}));
  }
}

TEST(BadPositions, LineZeroAndLinesAfterTheLastAreOutOfRange) {
  const Input input = Input::string("ab\ncd\n");  // three lines, the last one empty
  for (const std::int64_t line :
       {std::int64_t{0}, std::int64_t{-1}, min64, std::int64_t{4}, max64}) {
    SCOPED_TRACE(line);
    const Position p = Position::of_line_col(line, 1);
    EXPECT_THROW((void)Position::to_offset(input, p), std::out_of_range);
    EXPECT_THROW((void)Position::to_lexing(input)(p), std::out_of_range);
    std::ostringstream out;
    vantel::Formatter f(out);
    EXPECT_THROW(vantel::pp(input, f, {offsets(0, 2), {Position::of_offset(0), p}}),
                 std::out_of_range);
    EXPECT_EQ(out.str(), "");
  }
  EXPECT_EQ(Position::to_offset(input, Position::of_line_col(3, 1)), 6);
}

TEST(BadPositions, QuotesOfExtremeOffsetsShowOnlyTheLinesThatExist) {
  const Input input = Input::string("ab\ncd\n");
  EXPECT_EQ(quote(input, {offsets(min64, min64 + 1)}), "");
  EXPECT_EQ(quote(input, {offsets(max64, max64)}), "");
  EXPECT_EQ(quote(input, {offsets(max64 - 1, max64)}), "");
  EXPECT_EQ(quote(input, {offsets(min64, min64)}), "");
  EXPECT_EQ(quote(input, {offsets(min64, 2)}), "1 | ab\n    ^^\n");
  EXPECT_EQ(quote(input, {offsets(0, max64), offsets(1, 2)}, 0), "");
}

TEST(BadPositions, LineNumbersCountOnPastTheInt64Extremes) {
  const Input input = Input::string("ab\ncd\n");
  // Line 1 is numbered by its highlighted start, line 2 follows it.
  EXPECT_EQ(quote(input, {{Position::of_lexing({"", max64, 0, 1}), Position::of_offset(6)}}),
            "9223372036854775807 | .b\n9223372036854775808 | cd\n");
  // Line 2 is numbered by its highlighted end, line 1 comes before it.
  EXPECT_EQ(
      quote(input, {{Position::of_lexing({"", 5, 0, 2}), Position::of_lexing({"", min64, 3, 5})}}),
      "-9223372036854775809 | ..\n-9223372036854775808 | cd\n");
}

TEST(BadPositions, AHundredThousandLocationsInAnyOrderQuoteEachByte) {
  const std::int64_t count = 100000;
  const std::string line(static_cast<std::size_t>(2 * count), 'x');
  std::vector<Location> locations;
  // Every other byte, listed backwards and each twice.
  for (std::int64_t i = count - 1; i >= 0; --i)
    for (int twice = 0; twice < 2; ++twice) locations.push_back(offsets(2 * i, 2 * i + 1));
  std::string carets;
  for (std::int64_t i = 0; i < count; ++i) carets += i + 1 < count ? "^ " : "^";
  EXPECT_EQ(quote(Input::string(line + "\n"), locations), "1 | " + line + "\n    " + carets + "\n");
}

TEST(BadMaxLines, IntExtremesLimitOnlyQuotesOverSeveralLines) {
  const Input input = Input::string("a\nb\nc\n");
  const Location three = offsets(0, 5);
  const Location one = offsets(0, 1);
  EXPECT_EQ(quote(input, {three}, INT_MAX), "1 | a\n2 | b\n3 | c\n");
  EXPECT_EQ(quote(input, {three}, INT_MIN), "");
  EXPECT_EQ(quote(input, {three}, INT_MIN + 1), "");
  EXPECT_EQ(quote(input, {one}, INT_MAX), "1 | a\n    ^\n");
  EXPECT_EQ(quote(input, {one}, INT_MIN), "1 | a\n    ^\n");
}

// --- The caller's code throwing --------------------------------------------

// Not a std::exception: it must come through as it was thrown.
struct Boom {
  int id;
};

// An input over a text whose three callables can each be told to throw.
struct Throwing_raw {
  std::string text = "ab\ncd\n";
  std::int64_t at = -1;
  int throw_in = 0;  // 1: seek, 2: read_char, 3: line table

  Input input() {
    return Input::raw(
        [this](std::int64_t offset) {
          if (throw_in == 1) throw Boom{1};
          if (offset < 0 || offset >= static_cast<std::int64_t>(text.size()))
            return vantel::Seek_result::Invalid_position;
          at = offset;
          return vantel::Seek_result::Ok;
        },
        [this]() -> vantel::Byte {
          if (throw_in == 2) throw Boom{2};
          if (at < 0 || at >= static_cast<std::int64_t>(text.size())) return vantel::End_of_input;
          return static_cast<unsigned char>(text[static_cast<std::size_t>(at++)]);
        },
        [this] {
          if (throw_in == 3) throw Boom{3};
          return vantel::Line_table{0, 3, 6};
        });
  }
};

int thrown_id(const std::function<void()>& f) {
  try {
    f();
  } catch (const Boom& b) {
    return b.id;
  }
  return 0;
}

TEST(BadCallbacks, WhatARawInputThrowsReachesTheCallerUnchanged) {
  for (int where : {1, 2, 3}) {
    SCOPED_TRACE(where);
    Throwing_raw raw;
    raw.throw_in = where;
    const Input input = raw.input();
    EXPECT_EQ(thrown_id([&] { (void)quote(input, {line_cols(1, 1, 1, 2)}); }), where);
    // A failed table stays failed, without asking again.
    if (where == 3) {
      raw.throw_in = 0;
      EXPECT_EQ(thrown_id([&] { (void)Position::to_offset(input, Position::of_line_col(1, 1)); }),
                3);
    }
  }
}

TEST(BadCallbacks, WhatOpenersAndClosersThrowReachesTheCallerAndEveryCloserRunsOnce) {
  int outer_closed = 0;
  int inner_closed = 0;
  const Input inner_fails = Input::managed([&] {
    return std::make_pair(
        Input::managed([]() -> std::pair<Input, vantel::Closer> { throw Boom{4}; }),
        vantel::Closer([&] { ++outer_closed; }));
  });
  EXPECT_EQ(thrown_id([&] { (void)quote(inner_fails, {offsets(0, 1)}); }), 4);
  EXPECT_EQ(outer_closed, 1);

  const Input closer_fails = Input::managed([&] {
    return std::make_pair(Input::managed([&] {
                            return std::make_pair(Input::string("ab\n"),
                                                  vantel::Closer([&] { ++inner_closed; }));
                          }),
                          vantel::Closer([] { throw Boom{5}; }));
  });
  std::ostringstream out;
  vantel::Formatter f(out);
  EXPECT_EQ(thrown_id([&] { vantel::pp(closer_fails, f, {offsets(0, 1)}); }), 5);
  EXPECT_EQ(out.str(), "1 | ab\n    ^\n");  // the quote was printed before the close
  EXPECT_EQ(inner_closed, 1);
}

// A formatter whose highlight-tag handler, or whose mark function for every
// tag, throws.
void throwing_handler(vantel::Formatter& f) {
  vantel::setup_highlight_tags(f, {[]() -> std::string { throw Boom{6}; }, nullptr});
}
void throwing_mark(vantel::Formatter& f) {
  vantel::Stag_functions functions;
  functions.mark_close_stag = [](const vantel::Stag&) -> std::string { throw Boom{7}; };
  f.set_stag_functions(functions);
  f.set_mark_tags(true);
}

TEST(BadCallbacks, WhatTheFormattersFunctionsThrowReachesTheCaller) {
  for (const auto& [setup, id] : {std::make_pair(&throwing_handler, 6), {&throwing_mark, 7}}) {
    SCOPED_TRACE(id);
    int closed = 0;
    const Input input = Input::managed(
        [&] { return std::make_pair(Input::string("ab\n"), vantel::Closer([&] { ++closed; })); });
    std::ostringstream out;
    vantel::Formatter f(out);
    setup(f);
    EXPECT_EQ(thrown_id([&] { vantel::pp(input, f, {offsets(0, 1)}); }), id);
    EXPECT_EQ(closed, 1);
  }
}

TEST(BadCallbacks, AThousandFailingQuotesOfAFileLeaveNoDescriptorOpen) {
  const Temp_dir dir;
  const std::string path = dir.file("text", "ab\ncd\n");
  const Input file = Input::file(path);
  // An opener of the caller's that holds a descriptor until its closer runs,
  // wrapping an input whose opening fails.
  const Input holds_then_fails = Input::managed([&] {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return std::make_pair(
        Input::managed([]() -> std::pair<Input, vantel::Closer> { throw Boom{8}; }),
        vantel::Closer([fd] { ::close(fd); }));
  });
  const Input file_then_closer_fails =
      Input::managed([&] { return std::make_pair(file, vantel::Closer([] { throw Boom{9}; })); });

  const std::size_t before = open_descriptors();
  for (int i = 0; i < 1000; ++i) {
    std::ostringstream out;
    vantel::Formatter plain(out);
    vantel::Formatter handler(out);
    throwing_handler(handler);
    vantel::Formatter mark(out);
    throwing_mark(mark);
    EXPECT_THROW(vantel::pp(file, plain, {line_cols(0, 1, 1, 2)}), std::out_of_range);
    EXPECT_THROW(vantel::pp(file, plain, {line_cols(1, min64, 1, 2)}), std::overflow_error);
    EXPECT_THROW((void)Position::to_offset(file, Position::of_line_col(9, 1)), std::out_of_range);
    EXPECT_EQ(thrown_id([&] { vantel::pp(file, handler, {offsets(0, 1)}); }), 6);
    EXPECT_EQ(thrown_id([&] { vantel::pp(file, mark, {offsets(0, 1)}); }), 7);
    EXPECT_EQ(thrown_id([&] { vantel::pp(holds_then_fails, plain, {offsets(0, 1)}); }), 8);
    EXPECT_EQ(thrown_id([&] { vantel::pp(file_then_closer_fails, plain, {offsets(0, 1)}); }), 9);
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_EQ(open_descriptors(), before);
}

// --- Inputs nested deeper than the stack ----------------------------------

// Each opener holds the next input; opening is a loop, and destroying the
// chain must be one too.
TEST(BadNesting, AnInputNestedTwoHundredThousandDeepQuotesAndIsDestroyed) {
  int closed = 0;
  {
    Input input = Input::string("ab\n");
    for (int i = 0; i < 200'000; ++i)
      input = Input::managed([inner = input, &closed] {
        return std::make_pair(inner, vantel::Closer([&closed] { ++closed; }));
      });
    EXPECT_EQ(quote(input, {offsets(0, 1)}), "1 | ab\n    ^\n");
  }
  EXPECT_EQ(closed, 200'000);
}

// --- Output that fails, and quotes over a million lines --------------------

// An end offset far past its line runs the underline on as long as the
// stream takes it; once the stream refuses bytes, the quote stops at once,
// whichever way the underline is written, and no tag of ours stays open.
TEST(BadOutput, AStreamThatRefusesBytesStopsTheQuoteAtOnce) {
  std::string lines;
  for (int i = 0; i < 1000; ++i) lines += "xy\n";
  const Input many_lines = Input::string(lines);
  for (const bool marked : {false, true}) {
    for (const bool throwing : {false, true}) {
      SCOPED_TRACE(std::to_string(marked) + std::to_string(throwing));
      test::Full_buf buf(20);
      std::ostream out(&buf);
      if (throwing) out.exceptions(std::ios_base::badbit);
      vantel::Formatter f(out);
      const vantel::Stag host{"H"};
      if (marked) {
        vantel::Stag_functions marks;
        marks.mark_open_stag = [](const vantel::Stag& t) { return "<" + t.name() + ">"; };
        marks.mark_close_stag = [](const vantel::Stag& t) { return "</" + t.name() + ">"; };
        f.set_stag_functions(marks);
        vantel::setup_highlight_tags(
            f, {[] { return std::string("["); }, [] { return std::string("]"); }});
        f.open_stag(host);
      }
      const auto far = [&] { vantel::pp(Input::string("ab"), f, {offsets(1, max64)}); };
      if (throwing)
        EXPECT_THROW(far(), std::ios_base::failure);
      else
        far();
      EXPECT_EQ(buf.taken, marked ? "<H>1 | ab\n     [^^^^" : "1 | ab\n     ^^^^^^^^");
      EXPECT_EQ(buf.refused_calls, 1);
      vantel::pp(many_lines, f, {offsets(0, max64)}, INT_MAX);  // nothing more is tried
      EXPECT_EQ(buf.refused_calls, 1);
      std::ostringstream after;
      out.rdbuf(after.rdbuf());
      f.close_stag();
      EXPECT_EQ(after.str(), marked ? "</H>" : "");
    }
  }
}

// Bytes in use, as the allocator counts them; 0 where it does not.
std::size_t bytes_in_use() {
  const struct mallinfo2 info = ::mallinfo2();
  return info.uordblks + info.hblkhd;
}

// A quote over a million lines keeps the rows it shows, not every line: the
// memory in use as the last byte is read is that of a few rows (it was over
// a hundred mebibytes when every line was kept).
TEST(BadOutput, AQuoteOverAMillionLinesKeepsOnlyTheRowsItShows) {
  constexpr std::int64_t count = 1'000'000;
  auto position = std::make_shared<std::int64_t>(0);
  auto in_use_at_end = std::make_shared<std::size_t>(0);
  // "x\n" a million times, read byte by byte; no line table is needed.
  const Input input = Input::raw(
      [position](std::int64_t at) {
        *position = at;
        return vantel::Seek_result::Ok;
      },
      [position, in_use_at_end]() -> vantel::Byte {
        if (*position == 2 * count - 1) *in_use_at_end = bytes_in_use();
        if (*position >= 2 * count) return vantel::End_of_input;
        return (*position)++ % 2 == 0 ? 'x' : '\n';
      },
      []() -> vantel::Line_table { throw std::logic_error("no table is needed"); });
  const std::size_t before = bytes_in_use();
  const Location all{Position::of_lexing({"", 1, 0, 0}),
                     Position::of_lexing({"", count, 2 * count - 2, 2 * count - 1})};
  EXPECT_EQ(quote(input, {all}), R"(      1 | x
      2 | x
      3 | x
      4 | x
      5 | x
...
 999997 | x
 999998 | x
 999999 | x
1000000 | x
)");
  if (before == 0) GTEST_SKIP() << "the allocator does not count its bytes";
  ASSERT_NE(*in_use_at_end, 0U);
  EXPECT_LT(*in_use_at_end, before + (std::size_t{1} << 20));
}

// --- What the caller hands in stays the caller's ---------------------------

// A quote or a report under a width holds, of a long line, what its window
// shows: the memory in use while it draws is far below the line's size (it
// held the whole line), and the rows are those of the line read whole.
TEST(BadOutput, AWindowOnALongLineHoldsLittleMoreThanTheWindow) {
  const Temp_dir dir;
  const std::int64_t size = std::int64_t{8} << 20;
  const std::string path = (dir.path() / "long").string();
  {
    std::ofstream out(path, std::ios::binary);
    std::string block;
    while (block.size() < (1u << 20)) block += "a\tbc \xe4\xb8\xad ";
    block.resize(1u << 20);
    for (int i = 0; i < 8; ++i) out << block;
    out << '\n';
  }
  const std::int64_t middle = size / 2;
  vantel::Layout layout;
  layout.columns = vantel::Layout::Columns::Text;
  layout.width = 40;
  const Input input = Input::file(path);
  const vantel::Source source(input, "long");
  vantel::Report report;
  report.message = "m";
  report.labels = {vantel::Label::primary(source, offsets(middle, middle + 3), "here")};
  // A fix drawn as the line it leaves, and one drawn as old and new lines.
  vantel::Report fixed = report;
  fixed.fixes = {{"f", {vantel::Edit(source, offsets(middle, middle + 3), "xyz")}}};
  vantel::Report split = report;
  split.fixes = {{"f", {vantel::Edit(source, offsets(middle, middle), "\n")}}};
  const std::function<void(vantel::Formatter&)> draws[] = {
      [&](vantel::Formatter& f) { vantel::pp(input, f, {offsets(middle, middle + 3)}, layout); },
      [&](vantel::Formatter& f) { vantel::pp_report(f, report, layout); },
      [&](vantel::Formatter& f) { vantel::pp_report(f, fixed, layout); },
      [&](vantel::Formatter& f) { vantel::pp_report(f, split, layout); },
  };
  for (const auto& draw : draws) {
    std::size_t in_use = 0;
    const auto drawn = [&](std::size_t above) {
      vantel::detail::slice_above().store(above);
      std::ostringstream out;
      vantel::Formatter f(out);
      f.set_stag_functions({{}, {}, [&](const vantel::Stag&) { in_use = bytes_in_use(); }, {}});
      f.set_print_tags(true);
      draw(f);
      return out.str();
    };
    const std::size_t before = bytes_in_use();
    const std::string sliced = drawn(std::size_t{1} << 20);
    const std::size_t sliced_use = in_use;
    EXPECT_EQ(sliced, drawn(std::numeric_limits<std::size_t>::max()));
    vantel::detail::slice_above().store(std::size_t{1} << 20);
    if (before == 0) GTEST_SKIP() << "the allocator does not count its bytes";
    EXPECT_LT(sliced_use, before + (std::size_t{4} << 20));
    EXPECT_GT(in_use, before + static_cast<std::size_t>(size));  // read whole
  }
}

// A report without a width draws a long line whole, and its underline as
// runs: a label at the end of an 8 MiB line holds the line and little more
// (each column of the underline was a pointer, 64 MiB, and a 256 MiB line
// ran out of memory half printed).
TEST(BadOutput, AnUnderlineFarAlongALineCostsNoCellPerColumn) {
  constexpr std::size_t size = std::size_t{8} << 20;
  const Input input = Input::string(std::string(size, 'x') + "\n");
  const vantel::Source source(input, "long");
  vantel::Report report;
  report.message = "m";
  const auto end = static_cast<std::int64_t>(size);
  report.labels = {vantel::Label::primary(source, offsets(end - 3, end), "here")};
  Tail_buf drawn;
  std::ostream out(&drawn);
  vantel::Formatter f(out);
  std::size_t in_use = 0;
  f.set_stag_functions(
      {{}, {}, [&](const vantel::Stag&) { in_use = std::max(in_use, bytes_in_use()); }, {}});
  f.set_print_tags(true);
  const std::size_t before = bytes_in_use();
  vantel::pp_report(f, report, vantel::Layout{});
  EXPECT_NE(drawn.tail.find("here"), std::string::npos) << drawn.tail;
  if (before == 0) GTEST_SKIP() << "the allocator does not count its bytes";
  EXPECT_LT(in_use, before + 3 * size);
}

// One line of `size` 'x's and a line feed, read a byte at a time, noting in
// `peak` the most memory in use at every 4 KiB read.
Input long_line(std::int64_t size, const std::shared_ptr<std::size_t>& peak) {
  auto position = std::make_shared<std::int64_t>(0);
  return Input::raw(
      [position](std::int64_t at) {
        *position = at;
        return vantel::Seek_result::Ok;
      },
      [position, peak, size]() -> vantel::Byte {
        if (*position % 4096 == 0) *peak = std::max(*peak, bytes_in_use());
        if (*position > size) return vantel::End_of_input;
        return (*position)++ == size ? '\n' : 'x';
      },
      [size] {
        return vantel::Line_table{0, size + 1};
      });
}

// The exports, and a diff written to a stream, of a label at the end of a
// long line hold pieces of that line, never the whole: the memory in use
// while they read it stays far below its size (LSP held the line once, SARIF
// and the diff several times).
TEST(BadOutput, ExportsAndDiffsOfALongLineHoldOnlyPiecesOfIt) {
  constexpr std::int64_t size = std::int64_t{2} << 20;  // 'x's, then a line feed
  auto peak = std::make_shared<std::size_t>(0);
  const Input input = long_line(size, peak);
  const vantel::Source source(input, "long");
  vantel::Report report;
  report.message = "m";
  report.labels = {vantel::Label::primary(source, offsets(size - 2, size), "here")};
  const vantel::Fix fix{"f", {vantel::Edit(source, offsets(size - 2, size - 1), "y")}};
  Tail_buf diffed;
  std::ostream diff_out(&diffed);
  const struct {
    const char* name;
    std::function<std::string()> write;
    std::string holds;
  } cases[] = {
      {"lsp", [&] { return vantel::to_lsp_json(report, {}); }, R"("character": 2097152)"},
      {"sarif",
       [&] {
         vantel::Sarif_log log(vantel::Sarif_tool{});
         log.add(report);
         return log.str();
       },
       R"("endColumn": 2097153)"},
      {"one-line", [&] { return vantel::to_one_line(report); }, "long:1:2097151: error: m"},
      {"diff",
       [&] {
         vantel::unified_diff({fix}, diff_out);
         return std::to_string(diffed.written) + diffed.tail;
       },
       "4194346" + std::string(61, 'x') + "yx\n"},
  };
  for (const auto& c : cases) {
    const std::size_t before = bytes_in_use();
    *peak = 0;
    const std::string out = c.write();
    EXPECT_NE(out.find(c.holds), std::string::npos) << c.name << out.substr(0, 2000);
    if (before == 0) GTEST_SKIP() << "the allocator does not count its bytes";
    EXPECT_LT(*peak, before + (std::size_t{1} << 20)) << c.name;
  }
}

// A report cut to a width shows each label's start in a window, so a label
// over most of a long line holds that window's part of the line only (it
// held the whole label, 266 MB for a 256 MiB line).
TEST(BadOutput, ALabelOverMostOfALongLineHoldsOnlyItsWindow) {
  constexpr std::int64_t size = std::int64_t{4} << 20;  // 'x's, then a line feed
  auto peak = std::make_shared<std::size_t>(0);
  const Input input = long_line(size, peak);
  const vantel::Source source(input, "long");
  vantel::Report report;
  report.message = "m";
  report.labels = {vantel::Label::primary(source, offsets(10, size - 10), "here")};
  Tail_buf drawn;
  std::ostream out(&drawn);
  vantel::Formatter f(out);
  vantel::Layout layout;
  layout.width = 80;
  const std::size_t before = bytes_in_use();
  vantel::pp_report(f, report, layout);
  EXPECT_NE(drawn.tail.find("here"), std::string::npos) << drawn.tail;
  if (before == 0) GTEST_SKIP() << "the allocator does not count its bytes";
  // The first MiB tells a long line from a short one.
  EXPECT_LT(*peak, before + (std::size_t{2} << 20));
}

TEST(BadCallbacks, TheCallersStreamIsNeverClosed) {
  const Temp_dir dir;
  const std::string path = dir.file("text", "ab\ncd\n");
  std::ifstream stream(path, std::ios::binary);
  {
    const Input input = Input::in_channel(stream);
    EXPECT_EQ(quote(input, {offsets(0, 1)}), "1 | ab\n    ^\n");
    EXPECT_THROW((void)quote(input, {line_cols(0, 1, 1, 2)}), std::out_of_range);
    std::ostringstream out;
    vantel::Formatter f(out);
    throwing_mark(f);
    EXPECT_EQ(thrown_id([&] { vantel::pp(input, f, {offsets(0, 1)}); }), 7);
  }
  ASSERT_TRUE(stream.is_open());
  stream.clear();
  stream.seekg(3);
  EXPECT_EQ(stream.get(), 'c');
}

TEST(BadCallbacks, NoInputsBytesAreEverModified) {
  const std::string text("ab\r\n\0cd\n\n", 9);
  const Temp_dir dir;
  const std::string path = dir.file("text", text);
  auto buffer = std::make_shared<std::vector<char>>(text.begin(), text.end());
  std::istringstream stream(text);
  const std::vector<std::vector<Location>> quotes = {{offsets(0, 2)},
                                                     {offsets(1, 8)},
                                                     {offsets(min64, 9)},
                                                     {line_cols(2, 1, 3, 1)},
                                                     {line_cols(0, 1, 1, 1)}};
  for (const Input& input : {Input::file(path), Input::bytes(buffer), Input::in_channel(stream)}) {
    for (const auto& locations : quotes) {
      try {
        (void)quote(input, locations);
      } catch (const std::out_of_range&) {
      }
    }
  }
  EXPECT_EQ(read_file(path), text);
  EXPECT_EQ(std::string(buffer->begin(), buffer->end()), text);
  EXPECT_EQ(stream.str(), text);
}

}  // namespace
