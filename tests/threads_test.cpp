// SPDX-License-Identifier: MIT
// Inputs shared between threads: eight threads quote, report and convert
// through one input of each kind at once, and every answer must be the one
// that a single thread gets. Run under ThreadSanitizer by the tsan preset.
#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using vantel::Column_unit;
using vantel::Input;
using vantel::Label;
using vantel::Location;
using vantel::Position;

constexpr int thread_count = 8;
constexpr int lines = 3000;

// Long enough that the line tables grow over several blocks while the
// threads query them, with characters of several widths for UTF-16 columns.
std::string make_text() {
  std::string text;
  for (int k = 1; k <= lines; ++k)
    text += "line " + std::to_string(k) + (k % 3 == 0 ? " π ≠ 😀 x\n" : " plain text here\n");
  return text;
}

// One piece of work and what it must give: a quote, a report over this
// input and the reference one (in either order), and two conversions.
struct Probe {
  Location location;
  bool reference_first;
  Position converted;
  std::string quote;
  std::string report;
  std::int64_t offset;
  vantel::Line_col line_col;
};

vantel::Report report_over(const Input& input, const Input& other, const Probe& probe) {
  vantel::Report report;
  report.message = "shared";
  Label mine(input, "mine", probe.location, "here");
  Label theirs(other, "other", probe.location, "there", vantel::Label_kind::Secondary);
  if (probe.reference_first) std::swap(mine, theirs);
  report.labels = {std::move(mine), std::move(theirs)};
  return report;
}

std::string draw(const vantel::Report& report) {
  std::ostringstream out;
  vantel::Formatter f(out);
  vantel::pp_report(f, report);
  return out.str();
}

// Lines spread over the whole text, visited in an order of each thread's own,
// so that some threads ask far ahead of the table while others read behind it.
std::vector<Probe> make_probes(const Input& reference, const Input& other) {
  std::vector<Probe> probes;
  for (std::int64_t k = 0; k < 48; ++k) {
    const std::int64_t line = 1 + k * 61 % lines;
    Probe p{{Position::of_line_col(line, 3), Position::of_line_col(line, 9)},
            k % 2 == 0,
            Position::of_line_col(line, 8 + k % 4, Column_unit::Utf16),
            {},
            {},
            0,
            {}};
    p.quote = test::quote(reference, {p.location});
    p.report = draw(report_over(reference, other, p));
    p.offset = Position::to_offset(reference, p.converted);
    p.line_col =
        Position::to_line_col(reference, Position::of_offset(p.offset + 1), Column_unit::Utf16);
    probes.push_back(std::move(p));
  }
  return probes;
}

// Runs every probe in each of the threads, each from its own starting point;
// a mismatch is counted, as gtest's assertions are for the main thread.
int run_threads(const Input& input, const Input& other, const std::vector<Probe>& probes) {
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < thread_count; ++t) {
    threads.emplace_back([&, t] {
      for (std::size_t i = 0; i < probes.size(); ++i) {
        const Probe& p = probes[(i * 7 + static_cast<std::size_t>(t) * 5) % probes.size()];
        bool same = test::quote(input, {p.location}) == p.quote;
        same = same && draw(report_over(input, other, p)) == p.report;
        same = same && Position::to_offset(input, p.converted) == p.offset;
        const vantel::Line_col lc =
            Position::to_line_col(input, Position::of_offset(p.offset + 1), Column_unit::Utf16);
        same = same && lc.line == p.line_col.line && lc.col == p.line_col.col;
        if (!same) ++wrong;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  return wrong.load();
}

// Reads a shared string through callables, as a host's own cursor would.
Input raw_over(std::shared_ptr<const std::string> text) {
  auto position = std::make_shared<std::int64_t>(0);
  return Input::raw(
      [text, position](std::int64_t offset) {
        if (offset < 0 || offset >= static_cast<std::int64_t>(text->size()))
          return vantel::Seek_result::Invalid_position;
        *position = offset;
        return vantel::Seek_result::Ok;
      },
      [text, position]() -> vantel::Byte {
        if (*position >= static_cast<std::int64_t>(text->size())) return vantel::End_of_input;
        return static_cast<unsigned char>((*text)[static_cast<std::size_t>((*position)++)]);
      },
      [text] { return vantel::Line_table::of_text(*text); });
}

TEST(Threads, QuoteReportAndConvertThroughOneInputOfEachKind) {
  const std::string text = make_text();
  const test::Temp_file file(text);
  const Input reference = Input::string(text);
  // The other input of every report is itself shared by all threads, and
  // reports name it first or second: none may wait for another for ever.
  const Input other = Input::string(text);
  const std::vector<Probe> probes = make_probes(reference, Input::string(text));

  std::istringstream stream(text);
  std::atomic<int> opened{0};
  std::atomic<int> closed{0};
  const Input inner = Input::string(text);
  const auto counted = [&] {
    return Input::managed([&] {
      ++opened;
      return std::make_pair(Input::string(text), vantel::Closer([&] { ++closed; }));
    });
  };
  const vantel::Opened opened_file = Input::file(file.path()).open();
  const vantel::Opened opened_managed = counted().open();
  const struct {
    const char* kind;
    std::function<Input()> make;
  } cases[] = {
      {"file", [&] { return Input::file(file.path()); }},
      {"string", [&] { return Input::string(text); }},
      {"bytes",
       [&] { return Input::bytes(std::make_shared<std::vector<char>>(text.begin(), text.end())); }},
      {"in_channel", [&] { return Input::in_channel(stream); }},
      {"raw", [&] { return raw_over(std::make_shared<const std::string>(text)); }},
      {"managed, a new text at each opening", counted},
      {"managed, one text shared by its openings",
       [&] {
         return Input::managed([&] {
           ++opened;
           return std::make_pair(inner, vantel::Closer([&] { ++closed; }));
         });
       }},
      {"file, opened once", [&] { return opened_file.input(); }},
      {"managed, opened once", [&] { return opened_managed.input(); }},
  };
  for (const auto& c : cases) {
    const Input input = c.make();
    EXPECT_EQ(run_threads(input, other, probes), 0) << c.kind;
  }
  EXPECT_EQ(opened.load(), closed.load() + 1);  // opened_managed is still open
}

// While one thread is inside a quote of an input (stopped in a tag handler),
// another quotes the same input to its end: it reads through a cursor of its
// own rather than waiting. A lock held for the quote would time this out.
TEST(Threads, AQuoteDoesNotWaitForAnotherQuoteOfTheSameInput) {
  const std::string text = make_text();
  const test::Temp_file file(text);
  const vantel::Opened opened_string =
      Input::managed([&] { return std::make_pair(Input::string(text), vantel::Closer()); }).open();
  const vantel::Opened opened_file = Input::file(file.path()).open();
  const struct {
    const char* kind;
    Input input;
  } cases[] = {
      {"file", Input::file(file.path())},
      {"file, opened once", opened_file.input()},
      {"string", Input::string(text)},
      {"view", Input::view(text)},
      {"bytes", Input::bytes(std::make_shared<std::vector<char>>(text.begin(), text.end()))},
      {"managed, opened once", opened_string.input()},
  };
  const Location far{Position::of_line_col(2900, 1), Position::of_line_col(2900, 5)};
  const std::string expected = test::quote(Input::string(text), {far});
  for (const auto& c : cases) {
    std::mutex lock;
    std::condition_variable changed;
    bool inside = false;
    bool other_done = false;
    bool done_meanwhile = false;
    std::string other_quote;
    std::thread other([&] {
      std::unique_lock<std::mutex> hold(lock);
      changed.wait(hold, [&] { return inside; });
      hold.unlock();
      std::string quoted = test::quote(c.input, {far});
      hold.lock();
      other_quote = std::move(quoted);
      other_done = true;
      changed.notify_all();
    });
    std::ostringstream out;
    vantel::Formatter f(out);
    vantel::setup_highlight_tags(f, {[&] {
                                       std::unique_lock<std::mutex> hold(lock);
                                       inside = true;
                                       changed.notify_all();
                                       done_meanwhile =
                                           changed.wait_for(hold, std::chrono::seconds(20),
                                                            [&] { return other_done; });
                                       return std::string();
                                     },
                                     {}});
    vantel::pp(c.input, f, {{Position::of_offset(0), Position::of_offset(4)}});
    other.join();
    EXPECT_TRUE(done_meanwhile) << c.kind;
    EXPECT_EQ(other_quote, expected) << c.kind;
  }
}

// One thread opening an input that it holds already: the cursor's lock is
// taken again, not waited for.
TEST(Threads, AThreadHoldingAnInputMayOpenItAgain) {
  const std::string text = "let width = 12\nlet height = width * 2\n";
  const Input input = Input::string(text);
  const Location width{Position::of_offset(4), Position::of_offset(9)};
  const std::string quoted = test::quote(Input::string(text), {width});
  const auto managed_over = [&input](std::function<void()> on_open,
                                     std::function<void()> on_close) {
    return Input::managed([=] {
      on_open();
      return std::make_pair(input, vantel::Closer(on_close));
    });
  };
  const auto convert = [&input] { (void)Position::to_offset(input, Position::of_line_col(2, 1)); };
  const struct {
    const char* what;
    std::function<std::string()> run;
    std::string expected;
  } cases[] = {
      {"a report naming the input twice",
       [&] {
         vantel::Report report;
         report.message = "twice";
         report.labels = {Label(input, "a", width, "one"), Label(input, "b", width, "two")};
         return draw(report);
       },
       draw([&] {
         vantel::Report report;
         report.message = "twice";
         report.labels = {Label(Input::string(text), "a", width, "one"),
                          Label(Input::string(text), "b", width, "two")};
         return report;
       }())},
      {"a tag handler quoting the input being quoted",
       [&] {
         std::ostringstream out;
         vantel::Formatter f(out);
         vantel::setup_highlight_tags(f, {[&] { return "[" + test::quote(input, {width}) + "]"; },
                                          [] { return std::string(); }});
         vantel::pp(input, f, {width});
         return out.str();
       },
       "1 | let width = 12\n        [" + quoted + "]^^^^^\n"},
      {"an opener converting through the input it returns",
       [&] { return test::quote(managed_over(convert, [] {}), {width}); }, quoted},
      {"a closer converting through the input its opener returned",
       [&] { return test::quote(managed_over([] {}, convert), {width}); }, quoted},
      {"a managed input opening into another over the same input",
       [&] {
         const Input outer = Input::managed([&] {
           return std::make_pair(managed_over(convert, convert), vantel::Closer(convert));
         });
         return test::quote(outer, {width});
       },
       quoted},
      {"a quote through an opening of the input, while quoting the input",
       [&] {
         const vantel::Opened held = managed_over(convert, convert).open();
         std::ostringstream out;
         vantel::Formatter f(out);
         vantel::setup_highlight_tags(f, {[&] { return test::quote(held, {width}); }, {}});
         vantel::pp(input, f, {width});
         return out.str();
       },
       "1 | let width = 12\n        " + quoted + "^^^^^\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.run(), c.expected) << c.what;
}

}  // namespace
