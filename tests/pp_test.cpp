// SPDX-License-Identifier: MIT
#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <system_error>
#include <utility>

namespace {

using test::offsets;
using test::quote;
using test::Temp_file;
using vantel::Input;
using vantel::Location;
using vantel::Position;

const std::string abc = "abc\ndefg\nhi\n";

const char* const abc_quote = "1 | .bc\n2 | de..\n";

TEST(PpInputs, EveryKindOfInputQuotesTheSameText) {
  Temp_file file(abc);
  std::istringstream stream(abc);
  auto buffer = std::make_shared<std::vector<char>>(abc.begin(), abc.end());
  std::int64_t pos = -1;
  const Input raw = Input::raw(
      [&](std::int64_t offset) {
        if (offset < 0 || offset >= static_cast<std::int64_t>(abc.size()))
          return vantel::Seek_result::Invalid_position;
        pos = offset;
        return vantel::Seek_result::Ok;
      },
      [&]() -> vantel::Byte {
        if (pos < 0 || pos >= static_cast<std::int64_t>(abc.size())) return vantel::End_of_input;
        return static_cast<unsigned char>(abc[static_cast<std::size_t>(pos++)]);
      },
      [] {
        return vantel::Line_table{0, 4, 9, 12};
      });
  int closed = 0;
  const Input managed = Input::managed(
      [&] { return std::make_pair(Input::string(abc), vantel::Closer([&] { ++closed; })); });

  const std::vector<std::pair<const char*, Input>> inputs = {
      {"file", Input::file(file.path())},
      {"string", Input::string(abc)},
      {"bytes", Input::bytes(buffer)},
      {"in_channel", Input::in_channel(stream)},
      {"raw", raw},
      {"managed", managed}};
  for (const auto& [name, input] : inputs) {
    SCOPED_TRACE(name);
    EXPECT_EQ(quote(input, {offsets(1, 6)}), abc_quote);
    EXPECT_EQ(quote(input, {{Position::of_line_col(2, 2), Position::of_line_col(2, 4)}}),
              "2 | defg\n     ^^\n");
  }
  EXPECT_EQ(closed, 2);
}

TEST(PpLocations, NothingIsPrintedWhenNoLocationIsNonEmpty) {
  const Input input = Input::string(abc);
  vantel::lexing_position dummy{"", 1, 0, -1};
  for (const auto& locations :
       std::vector<std::vector<Location>>{{},
                                          {offsets(3, 3), offsets(5, 2)},
                                          {{Position::of_lexing(dummy), Position::of_offset(3)}}}) {
    EXPECT_EQ(quote(input, locations), "");
  }
}

TEST(PpLocations, PastTheEndQuotesTheLastLineOnlyWithoutAFinalLineFeed) {
  EXPECT_EQ(quote(Input::string("ab\ncd"), {offsets(7, 9)}), " | cd\n       ^^\n");
  EXPECT_EQ(quote(Input::string("ab\ncd\n"), {offsets(7, 9)}), "");
}

TEST(PpLocations, CarriageReturnsAreDroppedButCountInOffsets) {
  EXPECT_EQ(quote(Input::string("ab\r\ncd\r\n"), {offsets(4, 6)}), "2 | cd\n    ^^\n");
  EXPECT_EQ(quote(Input::string("ab\r\ncd\r\n"), {offsets(1, 5)}), "1 | .b\n2 | c.\n");
}

TEST(PpLocations, ALineLongerThanTheInitialBufferIsQuotedWhole) {
  const std::string line(300, 'x');
  const std::string out = quote(Input::string("a\n" + line + "\nb\n"), {offsets(250, 252)});
  EXPECT_EQ(out, "2 | " + line + "\n" + std::string(4 + 248, ' ') + "^^\n");
}

std::string numbered_lines(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += "l" + std::to_string(i) + "\n";
  return text;
}

TEST(PpMaxLines, DefaultShowsFiveLinesAnEllipsisAndFourLines) {
  const Input input = Input::string(numbered_lines(12));
  const Location all{Position::of_line_col(1, 1), Position::of_line_col(12, 2)};
  EXPECT_EQ(quote(input, {all}), R"( 1 | l1
 2 | l2
 3 | l3
 4 | l4
 5 | l5
...
 9 | l9
10 | l10
11 | l11
12 | l..
)");
  // Ten lines fit whole.
  EXPECT_EQ(quote(Input::string(numbered_lines(10)),
                  {{Position::of_line_col(9, 1), Position::of_line_col(10, 2)}}),
            " 9 | l9\n10 | l..\n");
}

TEST(PpMaxLines, ZeroOrNegativeHidesEveryRowOfAMultiLineQuoteOnly) {
  const Input input = Input::string(abc);
  for (int max_lines : {0, -1, INT32_MIN}) {
    EXPECT_EQ(quote(input, {offsets(1, 6)}, max_lines), "");
    EXPECT_EQ(quote(input, {offsets(1, 2)}, max_lines), "1 | abc\n     ^\n");
  }
  EXPECT_EQ(quote(input, {offsets(1, 6)}, INT32_MAX), abc_quote);
}

TEST(PpPrinter, AFileIsOpenedAnewAndQuotedTheSameEachTime) {
  Temp_file file(abc);
  const vantel::Printer print = vantel::pp(Input::file(file.path()));
  std::ostringstream out;
  vantel::Formatter f(out);
  print(f, {offsets(1, 6)});
  print(f, {offsets(1, 6)});
  EXPECT_EQ(out.str(), std::string(abc_quote) + abc_quote);
}

TEST(PpFailures, AMissingFileFailsEvenWithoutLocations) {
  EXPECT_THROW(quote(Input::file("/nonexistent/vantel"), {}), std::system_error);
}

TEST(PpFailures, TheCloserRunsOnceAndTheFailureReachesTheCaller) {
  int closed = 0;
  const Input input = Input::managed(
      [&] { return std::make_pair(Input::string(abc), vantel::Closer([&] { ++closed; })); });
  EXPECT_THROW(quote(input, {{Position::of_line_col(0, 1), Position::of_offset(2)}}),
               std::out_of_range);
  EXPECT_EQ(closed, 1);
}

TEST(PpFailures, AFailingFormatterStopsTheQuoteAndStillClosesTheInput) {
  int closed = 0;
  const Input input = Input::managed(
      [&] { return std::make_pair(Input::string(abc), vantel::Closer([&] { ++closed; })); });
  std::ostringstream out;
  vantel::Formatter f(out);
  vantel::setup_highlight_tags(f, {[]() -> std::string { throw std::runtime_error("handler"); },
                                   [] { return std::string(); }});
  try {
    vantel::pp(input, f, {offsets(1, 2)});
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "handler");
  }
  EXPECT_EQ(closed, 1);
}

// Hands out the bytes of a text; past `good` bytes its reads fail with `error`
// (0: they end there), and it can seek or not.
class Faulty_buf : public std::streambuf {
 public:
  Faulty_buf(std::string text, std::size_t good, int error, bool seeks)
      : text_(std::move(text)), good_(good), error_(error), seeks_(seeks) {}

 protected:
  int_type underflow() override {
    if (gptr() != nullptr && gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (next_ >= good_ && error_ != 0) {
      if (error_ == EIO) throw std::system_error(EIO, std::generic_category(), "disk");
      throw std::ios_base::failure("stream", std::error_code(error_, std::generic_category()));
    }
    if (next_ >= text_.size()) return traits_type::eof();
    // One byte at a time, so that a failure can come in the middle of a line.
    char* at = text_.data() + next_++;
    setg(at, at, at + 1);
    return traits_type::to_int_type(*at);
  }
  pos_type seekpos(pos_type pos, std::ios_base::openmode) override {
    if (!seeks_) return pos_type(off_type(-1));
    next_ = static_cast<std::size_t>(off_type(pos));
    setg(nullptr, nullptr, nullptr);
    return pos;
  }
  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
    if (!seeks_ || dir != std::ios_base::cur || off != 0) return pos_type(off_type(-1));
    return pos_type(off_type(next_) - (egptr() - gptr()));
  }

 private:
  std::string text_;
  std::size_t good_;
  int error_;
  bool seeks_;
  std::size_t next_ = 0;
};

// A stream that cannot seek, or whose reads fail, prints nothing for the quote
// and fails with the error; the end of the stream is an ordinary end.
TEST(PpFailures, StreamsThatCannotSeekOrFailToReadPrintNothingAndSayWhy) {
  const vantel::lexing_position from{"", 2, 4, 5};
  const vantel::lexing_position to{"", 3, 9, 10};
  const struct {
    const char* stream;
    std::size_t good;
    int error;
    bool seeks;
    std::errc failure;  // std::errc() when the quote is printed
  } cases[] = {
      {"cannot seek", 99, 0, false, std::errc::invalid_seek},
      {"read error in the first quoted line", 6, EIO, true, std::errc::io_error},
      {"read error at the last line feed", 11, EIO, true, std::errc::io_error},
      {"stream failure in the middle of a line", 10, ENXIO, true,
       std::errc::no_such_device_or_address},
      {"ends after the quoted lines", 99, 0, true, std::errc()},
  };
  for (const auto& c : cases) {
    Faulty_buf buf(abc, c.good, c.error, c.seeks);
    std::istream stream(&buf);
    std::ostringstream out;
    vantel::Formatter f(out);
    try {
      vantel::pp(Input::in_channel(stream), f,
                 {{Position::of_lexing(from), Position::of_lexing(to)}});
      EXPECT_EQ(c.failure, std::errc()) << c.stream;
      EXPECT_EQ(out.str(), "2 | .efg\n3 | h.\n") << c.stream;
    } catch (const std::system_error& e) {
      EXPECT_EQ(e.code(), c.failure) << c.stream;
      EXPECT_EQ(std::string(e.what()).rfind("<channel>: ", 0), 0U) << e.what();
      EXPECT_EQ(out.str(), "") << c.stream;
    }
  }
}

}  // namespace
