// SPDX-License-Identifier: MIT
#include "draw/in_tag.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

namespace {

using vantel::Formatter;
using vantel::Single_line_underline_tag;
using vantel::Stag;

const Stag host_tag{"Host.tag"};

vantel::Stag_functions host_marks() {
  vantel::Stag_functions f;
  f.mark_open_stag = [](const Stag& t) { return "<" + t.name() + ">"; };
  f.mark_close_stag = [](const Stag& t) { return "</" + t.name() + ">"; };
  f.print_open_stag = [](const Stag&) {};
  return f;
}

// Opens and closes the highlight tag, then the host's tag.
std::string tag_both(Formatter& f, std::ostringstream& out) {
  f.open_stag(Single_line_underline_tag);
  f.print_char('^');
  f.close_stag();
  f.open_stag(host_tag);
  f.print_char('x');
  f.close_stag();
  return out.str();
}

TEST(HighlightTags, DefaultHandlersWriteNothingButTurnMarkingOnForOtherTags) {
  std::ostringstream out;
  Formatter f(out);
  f.set_stag_functions(host_marks());
  vantel::setup_highlight_tags(f);
  EXPECT_TRUE(f.mark_tags());
  EXPECT_FALSE(f.print_tags());
  EXPECT_EQ(tag_both(f, out), "^<Host.tag>x</Host.tag>");
}

TEST(HighlightTags, HandlersAnswerForTheHighlightTagAndAreCalledEachTime) {
  std::ostringstream out;
  Formatter f(out);
  int opened = 0;
  vantel::setup_highlight_tags(
      f, {[&] { return "[" + std::to_string(++opened); }, [] { return std::string("]"); }});
  f.open_stag(Single_line_underline_tag);
  f.close_stag();
  f.open_stag(Single_line_underline_tag);
  f.close_stag();
  f.open_stag(host_tag);  // no previous mark functions: nothing
  f.close_stag();
  EXPECT_EQ(out.str(), "[1][2]");
}

TEST(HighlightTags, ASecondCallWrapsTheFirstAndOnlyItsHandlersAnswer) {
  std::ostringstream out;
  Formatter f(out);
  f.set_stag_functions(host_marks());
  bool first_called = false;
  vantel::setup_highlight_tags(f, {[&] {
                                     first_called = true;
                                     return std::string("(");
                                   },
                                   [] { return std::string(")"); }});
  vantel::setup_highlight_tags(f,
                               {[] { return std::string("{"); }, [] { return std::string("}"); }});
  EXPECT_EQ(tag_both(f, out), "{^}<Host.tag>x</Host.tag>");
  EXPECT_FALSE(first_called);
}

TEST(HighlightTags, ATagOfTheSameNameIsNotTheHighlightTag) {
  const Stag impostor{Single_line_underline_tag.name()};
  std::ostringstream out;
  Formatter f(out);
  f.set_stag_functions(host_marks());
  vantel::setup_highlight_tags(f,
                               {[] { return std::string("!"); }, [] { return std::string("!"); }});
  f.open_stag(impostor);
  f.close_stag();
  EXPECT_EQ(out.str(), "<Vantel.Single_line_underline_tag></Vantel.Single_line_underline_tag>");
}

TEST(HighlightTags, PrintFunctionsAreKept) {
  std::ostringstream out;
  Formatter f(out);
  int printed = 0;
  vantel::Stag_functions fns;
  fns.print_open_stag = [&](const Stag&) { ++printed; };
  f.set_stag_functions(fns);
  vantel::setup_highlight_tags(f);
  f.set_print_tags(true);
  f.open_stag(host_tag);
  EXPECT_EQ(printed, 1);
  EXPECT_FALSE(f.stag_functions().print_close_stag);
}

}  // namespace

TEST(HighlightTags, AHandlerMaySetUpItsFormatterAgainWhileItRuns) {
  std::ostringstream out;
  Formatter f(out);
  const std::string open(64, '[');  // held by the running handler, on the heap
  vantel::setup_highlight_tags(f, {[&f, open] {
                                     vantel::setup_highlight_tags(f);
                                     return open.substr(0, 1);
                                   },
                                   [] { return std::string("]"); }});
  f.open_stag(Single_line_underline_tag);
  f.close_stag();
  f.open_stag(Single_line_underline_tag);
  f.close_stag();
  EXPECT_EQ(out.str(), "[");
}

TEST(HighlightTags, AThrowingHandlerLeavesNoHighlightTagOpen) {
  std::ostringstream out;
  Formatter f(out);
  f.set_stag_functions(host_marks());
  vantel::setup_highlight_tags(f, {[]() -> std::string { throw std::runtime_error("handler"); },
                                   [] { return std::string("]"); }});
  f.open_stag(host_tag);
  EXPECT_THROW(vantel::pp(vantel::Input::string("ab\n"), f,
                          {{vantel::Position::of_offset(0), vantel::Position::of_offset(1)}}),
               std::runtime_error);
  f.close_stag();  // the host's own tag, not ours
  EXPECT_EQ(out.str(), "<Host.tag>1 | ab\n    </Host.tag>");
}

// Each call wraps the last, yet a host tag passes through one layer only,
// and destroying the formatter does not recurse once per call.
TEST(HighlightTags, TwoHundredThousandSetupsOfOneFormatterCostNoDepth) {
  std::ostringstream out;
  {
    Formatter f(out);
    f.set_stag_functions(host_marks());
    for (int i = 0; i < 200'000; ++i)
      vantel::setup_highlight_tags(
          f, {[i] { return "{" + std::to_string(i); }, [] { return std::string("}"); }});
    EXPECT_EQ(tag_both(f, out), "{199999^}<Host.tag>x</Host.tag>");
  }
}
