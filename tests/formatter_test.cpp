// SPDX-License-Identifier: MIT
#include "helpers.hpp"

#include <vantel/formatter.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ios>
#include <limits>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

namespace {

using vantel::Formatter;
using vantel::Stag;
using vantel::Stag_functions;

const Stag host_tag{"Host.tag"};

// Marks every tag with its name, so that a test sees where tags open and close.
Stag_functions naming_marks() {
  Stag_functions f;
  f.mark_open_stag = [](const Stag& t) { return "<" + t.name() + ">"; };
  f.mark_close_stag = [](const Stag& t) { return "</" + t.name() + ">"; };
  return f;
}

TEST(FormatterBoxes, CutInsideAVerticalBoxIndentsToTheColumnWhereTheBoxOpened) {
  std::ostringstream out;
  Formatter f(out);
  f.print_string("ab");
  f.open_vbox();
  f.print_string("cd");
  f.cut();
  f.print_string("ef");
  f.close_box();
  f.cut();
  f.print_string("g");
  EXPECT_EQ(out.str(), "abcd\n  ef\ng");
}

TEST(FormatterBoxes, NestedBoxesUseTheInnermostEdgeAndCloseWithNoBoxOpenIsHarmless) {
  std::ostringstream out;
  Formatter f(out);
  f.close_box();
  f.open_vbox();
  f.print_string("1 ");
  f.open_vbox();
  f.print_string("x");
  f.cut();
  f.print_string("y");
  f.close_box();
  f.cut();
  f.print_string("2");
  f.close_box();
  EXPECT_EQ(out.str(), "1 x\n  y\n2");
}

TEST(FormatterTexts, RightAlignedTextsArePaddedOnTheLeftAndNeverCut) {
  std::ostringstream out;
  Formatter f(out);
  f.print_right_aligned(3, "9");
  f.print_char('|');
  f.print_right_aligned(1, "100");
  f.print_char('|');
  f.print_right_aligned(0, "");
  f.print_right_aligned(-4, "x");
  EXPECT_EQ(out.str(), "  9|100|x");
  EXPECT_EQ(f.column(), 9);
}

TEST(FormatterTexts, BytesAreWrittenAsTheyAreAndALineFeedResetsTheColumn) {
  std::ostringstream out;
  Formatter f(out);
  f.print_string(std::string("a\0\t\xff", 4));
  EXPECT_EQ(f.column(), 4);
  f.print_string("x\nyz");
  EXPECT_EQ(f.column(), 2);
  f.print_repeat(3, '^');
  f.print_repeat(-1, '^');
  EXPECT_EQ(out.str(), std::string("a\0\t\xffx\nyz^^^", 11));
  EXPECT_EQ(f.column(), 5);
}

TEST(FormatterTags, TagsWriteNothingWhileMarkingIsOff) {
  std::ostringstream out;
  Formatter f(out);
  f.set_stag_functions(naming_marks());
  f.open_stag(host_tag);
  f.print_char('x');
  f.close_stag();
  EXPECT_EQ(out.str(), "x");
}

TEST(FormatterTags, MarkTextsAreWrittenWithMarkingOnAndTakeNoColumns) {
  std::ostringstream out;
  Formatter f(out);
  f.set_stag_functions(naming_marks());
  f.set_mark_tags(true);
  f.open_vbox();
  f.open_stag(host_tag);
  f.print_char('x');
  f.close_stag();
  f.cut();
  f.print_char('y');
  f.close_box();
  EXPECT_EQ(out.str(), "<Host.tag>x</Host.tag>\ny");
  EXPECT_EQ(f.column(), 1);
}

TEST(FormatterTags, CloseWithNoTagOpenDoesNothing) {
  std::ostringstream out;
  Formatter f(out);
  f.set_stag_functions(naming_marks());
  f.set_mark_tags(true);
  f.close_stag();
  EXPECT_EQ(out.str(), "");
}

TEST(FormatterTags, TagsAreToldApartByIdentityNotByName) {
  const Stag twin{"Host.tag"};
  std::ostringstream out;
  Formatter f(out);
  Stag_functions fns;
  fns.mark_open_stag = [](const Stag& t) { return &t == &host_tag ? "[" : "{"; };
  fns.mark_close_stag = [](const Stag& t) { return &t == &host_tag ? "]" : "}"; };
  f.set_stag_functions(fns);
  f.set_mark_tags(true);
  f.open_stag(host_tag);
  f.open_stag(twin);
  f.close_stag();
  f.close_stag();
  EXPECT_EQ(out.str(), "[{}]");
}

TEST(FormatterTags, PrintFunctionsRunOnlyWithTagPrintingOn) {
  std::ostringstream out;
  Formatter f(out);
  std::string seen;
  Stag_functions fns;
  fns.print_open_stag = [&](const Stag& t) { seen += "open " + t.name() + ";"; };
  fns.print_close_stag = [&](const Stag& t) { seen += "close " + t.name() + ";"; };
  f.set_stag_functions(fns);
  f.open_stag(host_tag);
  f.close_stag();
  EXPECT_EQ(seen, "");
  f.set_print_tags(true);
  f.open_stag(host_tag);
  f.close_stag();
  EXPECT_EQ(seen, "open Host.tag;close Host.tag;");
  EXPECT_EQ(out.str(), "");
}

TEST(FormatterTags, GetReturnsWhatSetInstalled) {
  std::ostringstream out;
  Formatter f(out);
  EXPECT_FALSE(f.stag_functions().mark_open_stag);
  f.set_stag_functions(naming_marks());
  EXPECT_EQ(f.stag_functions().mark_open_stag(host_tag), "<Host.tag>");
}

}  // namespace

// --- Reconfiguring while a tag function runs, and failing streams ---------

TEST(FormatterTags, ATagFunctionMayReplaceTheFunctionsWhileItRuns) {
  std::ostringstream out;
  Formatter f(out);
  const std::string text(64, 'o');  // held by the running function, on the heap
  Stag_functions fns;
  fns.mark_open_stag = [&f, text](const Stag&) {
    f.set_stag_functions({});
    return text.substr(0, 3);
  };
  f.set_stag_functions(fns);
  f.set_mark_tags(true);
  f.open_stag(host_tag);
  f.close_stag();
  f.open_stag(host_tag);
  EXPECT_EQ(out.str(), "ooo");
}

TEST(FormatterStreams, AStreamThatTakesFewerBytesGoesBadAndIsWrittenNoMore) {
  const std::int64_t max64 = std::numeric_limits<std::int64_t>::max();
  for (const bool throwing : {false, true}) {
    SCOPED_TRACE(throwing);
    test::Full_buf buf(5);
    std::ostream out(&buf);
    if (throwing) out.exceptions(std::ios_base::badbit);
    Formatter f(out);
    f.print_string("abc");
    const auto fill = [&] { f.print_repeat(max64, '^'); };
    if (throwing)
      EXPECT_THROW(fill(), std::ios_base::failure);
    else
      fill();  // would take years if it went on
    EXPECT_TRUE(out.bad());
    f.print_string("more");
    f.cut();
    f.print_repeat(max64, ' ');
    EXPECT_EQ(buf.taken, "abc^^");
    EXPECT_EQ(buf.refused_calls, 1);
    EXPECT_EQ(f.column(), max64);  // stops there rather than wrapping
  }
}
