// SPDX-License-Identifier: MIT
#include "input/file_channel.hpp"
#include "input/opening.hpp"

#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using test::open_descriptors;
using test::Temp_file;

using vantel::Byte;
using vantel::Closer;
using vantel::End_of_input;
using vantel::Input;
using vantel::Line_table;
using vantel::Position;
using vantel::Seek_result;
using vantel::detail::open_raw;
using Entries = std::vector<std::int64_t>;

constexpr auto ok = Seek_result::Ok;
constexpr auto invalid = Seek_result::Invalid_position;

Byte byte(char c) {
  return static_cast<unsigned char>(c);
}

// Lets a test choose what the stream's seek and read throw.
template <typename Failure>
class Throwing_buf : public std::streambuf {
 protected:
  pos_type seekpos(pos_type, std::ios_base::openmode) override { throw Failure("seek"); }
  int_type underflow() override { throw Failure("read"); }
};

struct Io_failure : std::system_error {
  explicit Io_failure(const char* what) : std::system_error(EIO, std::generic_category(), what) {}
};

TEST(InputBuffer, StringCursorSeeksOnlyToExistingBytes) {
  const Input input = Input::string("");
  auto opened = open_raw(input);
  auto& empty = opened.cursor();
  EXPECT_EQ(empty.seek(0), invalid);
  EXPECT_EQ(empty.read_char(), End_of_input);

  const Input input2 = Input::string("a\xff");
  auto opened2 = open_raw(input2);
  auto& c = opened2.cursor();
  EXPECT_EQ(c.read_char(), End_of_input);  // nothing before the first seek
  EXPECT_EQ(c.seek(2), invalid);
  EXPECT_EQ(c.seek(1), ok);
  EXPECT_EQ(c.read_char(), Byte(255));  // bytes, not sign-extended chars
  EXPECT_EQ(c.read_char(), End_of_input);
  EXPECT_EQ(c.read_char(), End_of_input);
  EXPECT_EQ(c.seek(0), ok);
  EXPECT_EQ(c.seek(-1), invalid);  // leaves the position where it was
  EXPECT_EQ(c.read_char(), byte('a'));
}

TEST(InputBuffer, BytesSeesTheBufferAsItIsAtEachReadButKeepsItsFirstTable) {
  auto buffer = std::make_shared<std::vector<char>>(std::vector<char>{'a', '\n', 'b'});
  const Input input = Input::bytes(buffer);
  auto opened = open_raw(input);
  auto& c = opened.cursor();
  EXPECT_EQ(c.read_char(), End_of_input);
  EXPECT_EQ(c.line_offsets().to_vector(), (Entries{0, 2}));

  *buffer = {'x', 'y', '\n', 'z', 'w'};
  EXPECT_EQ(c.seek(4), ok);
  EXPECT_EQ(c.read_char(), byte('w'));
  EXPECT_EQ(c.line_offsets().to_vector(), (Entries{0, 2}));

  EXPECT_EQ(c.seek(3), ok);
  buffer->resize(3);  // the length is asked again at each read
  EXPECT_EQ(c.read_char(), End_of_input);
}

TEST(InputChannel, FileSeekedAtOrPastItsEndReadsTheEnd) {
  const Temp_file file("ab\ncd\n");
  std::ifstream stream(file.path(), std::ios::binary);
  const Input channel = Input::in_channel(stream);
  const Input named = Input::file(file.path());
  for (const Input* input : {&channel, &named}) {
    auto opened = open_raw(*input);
    auto& c = opened.cursor();
    for (const std::int64_t offset : {6, 16}) {
      EXPECT_EQ(c.seek(offset), ok) << offset;
      EXPECT_EQ(c.read_char(), End_of_input) << offset;
    }
    EXPECT_EQ(c.seek(-1), invalid);
    EXPECT_EQ(c.seek(4), ok);
    EXPECT_EQ(c.read_char(), byte('d'));
  }
}

// A pipe: hands out its bytes once and refuses every seek.
struct Pipe_buf : std::streambuf {
  explicit Pipe_buf(std::string s) : text(std::move(s)) {
    setg(text.data(), text.data(), text.data() + text.size());
  }
  std::string text;
};

TEST(InputChannel, StreamThatCannotSeekFailsToSeekButStillGivesItsTable) {
  Pipe_buf pipe("ab\ncd\nef");
  std::istream piped(&pipe);
  const Input input = Input::in_channel(piped);
  auto opened = open_raw(input);
  auto& c = opened.cursor();
  EXPECT_EQ(c.read_char(), byte('a'));
  EXPECT_EQ(c.seek(-1), invalid);  // a negative offset is refused before asking
  for (const std::int64_t offset : {0, 1, 5}) {
    try {
      (void)c.seek(offset);
      ADD_FAILURE() << "sought to " << offset;
    } catch (const std::system_error& e) {
      EXPECT_EQ(e.code(), std::errc::invalid_seek);
      EXPECT_EQ(std::string(e.what()).rfind("<channel>: the stream cannot seek", 0), 0U);
    }
  }
  EXPECT_EQ(c.read_char(), byte('b'));
  // The table is read whole at once, from where the stream stands.
  EXPECT_EQ(c.find_line_offset(3), 4);
  EXPECT_EQ(c.line_offsets().to_vector(), (Entries{0, 1, 4}));  // what was left: "\ncd\nef"
  EXPECT_EQ(Position::to_offset(input, Position::of_line_col(2, 2)), 2);
}

TEST(InputChannel, ReadErrorsOfTheStreamFailNamingItAndOtherFailuresPropagate) {
  Throwing_buf<Io_failure> failing;
  std::istream io(&failing);
  const Input input = Input::in_channel(io);
  auto opened = open_raw(input);
  EXPECT_THROW((void)opened.cursor().seek(0), std::system_error);  // cannot seek at all
  for (int i = 0; i < 2; ++i) {
    try {
      (void)opened.cursor().read_char();
      ADD_FAILURE() << "read through an error";
    } catch (const std::system_error& e) {
      EXPECT_EQ(e.code(), std::errc::io_error);
      EXPECT_EQ(std::string(e.what()).rfind("<channel>: ", 0), 0U) << e.what();
    }
  }
  EXPECT_THROW((void)opened.cursor().line_offsets(), std::system_error);

  Throwing_buf<std::runtime_error> broken;
  std::istream other(&broken);
  const Input input2 = Input::in_channel(other);
  auto opened2 = open_raw(input2);
  EXPECT_THROW((void)opened2.cursor().seek(0), std::runtime_error);
  EXPECT_THROW((void)opened2.cursor().read_char(), std::runtime_error);
}

TEST(InputChannel, TableIsReadOnlyAsFarAsTheQueriesAsk) {
  std::string text;
  for (int i = 0; i < 30000; ++i) text += "line " + std::to_string(i) + "\n";
  std::istringstream stream(text);
  const Input input = Input::in_channel(stream);
  EXPECT_EQ(Position::to_offset(input, Position::of_line_col(3, 1)), 14);
  const auto read = static_cast<std::size_t>(stream.tellg());
  EXPECT_LT(read, text.size() / 10);
  // Asking again for what is known reads nothing more; asking further resumes.
  EXPECT_EQ(Position::to_offset(input, Position::of_line_col(2, 1)), 7);
  stream.seekg(0);  // another reader moved the stream: the table does not care
  EXPECT_EQ(Position::to_lexing(input)(Position::of_offset(static_cast<std::int64_t>(read) + 100))
                .line_number,
            static_cast<std::int64_t>(std::count(
                text.begin(), text.begin() + static_cast<std::ptrdiff_t>(read) + 100, '\n')) +
                1);
  EXPECT_THROW((void)Position::to_offset(input, Position::of_line_col(30002, 1)),
               std::out_of_range);
  EXPECT_EQ(Position::to_offset(input, Position::of_line_col(30001, 1)),
            static_cast<std::int64_t>(text.size()));
}

TEST(InputFile, FileReadsAcrossItsBufferAndSeeksBackIntoIt) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += std::to_string(i) + "\n";
  const Temp_file file(text);
  const Input input = Input::file(file.path());
  auto opened = open_raw(input);
  auto& c = opened.cursor();
  // Around the ends of the buffer, and of the shorter read that follows a seek.
  const struct {
    std::int64_t at, count;
  } reads[] = {{0, 3}, {16383, 3},   {16384, 3},    {static_cast<std::int64_t>(text.size()) - 1, 3},
               {7, 3}, {4000, 9000}, {4095, 20000}, {3584, 600}};
  for (const auto& r : reads) {
    ASSERT_EQ(c.seek(r.at), ok);
    for (std::int64_t k = r.at; k < r.at + r.count && k < static_cast<std::int64_t>(text.size());
         ++k)
      ASSERT_EQ(c.read_char(), byte(text[static_cast<std::size_t>(k)])) << r.at << ", " << k;
  }
  EXPECT_EQ(c.line_offsets().size(), 5001U);
  ASSERT_EQ(c.seek(1), ok);  // reading the table moved the file to its end
  EXPECT_EQ(c.read_char(), byte('\n'));
}

// A seek among the bytes at hand keeps them; a large read that skips the
// buffer leaves nothing at hand that a later seek could take for the file.
TEST(InputFile, SeeksAmongTheBytesAtHandReadWhatTheFileHolds) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += std::to_string(i) + "\n";
  const Temp_file file(text);
  vantel::detail::File_buf buf(file.path());
  enum Kind { Seek, Bytes, Block };
  const struct {
    Kind kind;
    std::int64_t amount;  // where to seek, or how many bytes to read
  } steps[] = {{Seek, 0},     {Bytes, 4096}, {Block, 20000}, {Seek, 20050}, {Bytes, 100},
               {Seek, 100},   {Bytes, 50},   {Seek, 30000},  {Bytes, 200},  {Seek, 29000},
               {Bytes, 10},   {Seek, 30100}, {Bytes, 5000},  {Seek, 30200}, {Block, 40000},
               {Seek, 70000}, {Bytes, 3}};
  std::int64_t at = 0;
  for (const auto& step : steps) {
    if (step.kind == Seek) {
      ASSERT_EQ(static_cast<std::int64_t>(buf.pubseekpos(step.amount)), step.amount);
      at = step.amount;
      continue;
    }
    std::string got(static_cast<std::size_t>(step.amount), '\0');
    if (step.kind == Block) {
      ASSERT_EQ(buf.sgetn(got.data(), step.amount), step.amount);
    } else {
      for (char& c : got) c = std::streambuf::traits_type::to_char_type(buf.sbumpc());
    }
    ASSERT_EQ(got, text.substr(static_cast<std::size_t>(at), got.size())) << "at " << at;
    at += step.amount;
  }
}

TEST(InputFile, UnopenableFileFailsAtOpeningNotAtBuilding) {
  const std::string missing = "/nonexistent-vantel-dir/missing.txt";
  const struct {
    std::string name;
    std::errc error;
  } cases[] = {{missing, std::errc::no_such_file_or_directory},
               {std::filesystem::temp_directory_path().string(), std::errc::is_a_directory}};
  for (const auto& c : cases) {
    const Input input = Input::file(c.name);
    try {
      (void)Position::to_offset(input, Position::of_offset(0));
      ADD_FAILURE() << "opened " << c.name;
    } catch (const std::system_error& e) {
      EXPECT_EQ(e.code(), c.error);
      EXPECT_EQ(std::string(e.what()).rfind(c.name + ": ", 0), 0U) << e.what();
    }
  }
}

TEST(InputFile, EachOpeningHasItsOwnChannelAndTable) {
  const Temp_file file("ab\ncd\n");
  const Input input = Input::file(file.path());
  const auto before = open_descriptors();
  {
    auto first = open_raw(input);
    auto second = open_raw(input);
    EXPECT_NE(&first.cursor(), &second.cursor());
    EXPECT_EQ(open_descriptors(), before + 2);
    ASSERT_EQ(first.cursor().seek(1), ok);
    ASSERT_EQ(second.cursor().seek(4), ok);
    EXPECT_EQ(first.cursor().read_char(), byte('b'));
    EXPECT_EQ(second.cursor().read_char(), byte('d'));
    first.close();
    EXPECT_EQ(open_descriptors(), before + 1);
  }
  EXPECT_EQ(open_descriptors(), before);

  EXPECT_EQ(Position::to_offset(input, Position::of_line_col(2, 1)), 3);
  file.write("a\nb\n");
  EXPECT_EQ(Position::to_offset(input, Position::of_line_col(2, 1)), 2);
  EXPECT_THROW((void)Position::to_offset(input, Position::of_line_col(9, 1)), std::out_of_range);
  EXPECT_EQ(open_descriptors(), before);  // also after a failing conversion
}

// Sets the file's modification time, leaving its content as it is.
void set_modified(const std::string& path, timespec when) {
  const timespec times[2] = {{0, UTIME_OMIT}, when};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
    throw std::system_error(errno, std::generic_category(), path);
}

timespec modified(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    throw std::system_error(errno, std::generic_category(), path);
  return info.st_mtim;
}

// A file input keeps its table from one opening to the next exactly while the
// file keeps its device, inode, size and times.
TEST(InputFile, TableIsKeptWhileTheFileIsUnchangedAndRebuiltWhenItChanges) {
  const struct {
    const char* change;
    void (*apply)(const Temp_file& file);
    bool kept;
    Entries table;
  } cases[] = {
      {"unchanged", [](const Temp_file&) {}, true, {0, 3, 6}},
      {"rewritten to another size",
       [](const Temp_file& f) { f.write("a\nbcd\ne\n"); },
       false,
       {0, 2, 6, 8}},
      {"same size, another modification time",
       [](const Temp_file& f) {
         const timespec before = modified(f.path());
         f.write("abcde\n");
         set_modified(f.path(), {before.tv_sec - 3600, before.tv_nsec});
       },
       false,
       {0, 6}},
      {"replaced by a rename",
       [](const Temp_file& f) {
         const Temp_file other("abcde\n");
         set_modified(other.path(), modified(f.path()));
         if (std::rename(other.path().c_str(), f.path().c_str()) != 0)
           throw std::system_error(errno, std::generic_category(), "rename");
       },
       false,
       {0, 6}},
  };
  for (const auto& c : cases) {
    const Temp_file file("ab\ncd\n");
    const Input input = Input::file(file.path());
    auto first = open_raw(input);  // held open, so that its table stays where it is
    const Line_table& before = first.cursor().line_offsets();
    c.apply(file);
    auto second = open_raw(input);
    const Line_table& after = second.cursor().line_offsets();
    EXPECT_EQ(after.data() == before.data(), c.kept) << c.change;
    EXPECT_EQ(after.to_vector(), c.table) << c.change;
    EXPECT_EQ(Position::to_offset(input, Position::of_line_col(2, 1)), c.table[1]) << c.change;
  }
}

// /proc reports its files empty and unchanged whatever they hold: the table
// must be that of the text at each opening, not the first one's.
TEST(InputFile, TableOfAFileThatMisreportsItsSizeIsNotKept) {
  const char* const comm = "/proc/thread-self/comm";  // the thread's name
  char name[16] = {};
  if (::access(comm, R_OK) != 0 || ::prctl(PR_GET_NAME, name) != 0)
    GTEST_SKIP() << comm << " cannot be read";
  const Input input = Input::file(comm);
  const struct {
    const char* name;
    std::int64_t end;
  } names[] = {{"vantel-tests", 13}, {"v", 2}, {"vantel", 7}};
  for (const auto& n : names) {
    ASSERT_EQ(::prctl(PR_SET_NAME, n.name), 0);
    EXPECT_EQ(Position::to_offset(input, Position::of_line_col(2, 1)), n.end) << n.name;
  }
  ::prctl(PR_SET_NAME, name);
}

// Only a regular file with bytes in it, on a file system that stores them,
// is told by its identity; other files' tables are not kept.
TEST(InputFile, IdentityTellsTheContentOfStoredRegularFilesOnly) {
  const Temp_file stored("ab\n");
  const Temp_file empty("");
  const struct {
    std::string path;
    bool tells;
  } cases[] = {{stored.path(), true},
               {empty.path(), false},
               {"/proc/self/maps", false},
               {"/sys/devices/system/cpu/online", false},  // sysfs reports 4096 bytes
               {"/dev/null", false}};
  for (const auto& c : cases) {
    if (::access(c.path.c_str(), R_OK) != 0) continue;
    const vantel::detail::File_buf file(c.path);
    EXPECT_EQ(file.identity().tells_content, c.tells) << c.path;
  }
}

TEST(InputFile, DeletedFileFailsAtTheNextOpeningWhateverWasKept) {
  auto file = std::make_unique<Temp_file>("ab\ncd\n");
  const std::string path = file->path();
  const Input input = Input::file(path);
  EXPECT_EQ(Position::to_offset(input, Position::of_line_col(2, 1)), 3);
  file.reset();
  try {
    (void)Position::to_offset(input, Position::of_line_col(2, 1));
    ADD_FAILURE() << "opened a deleted file";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::no_such_file_or_directory);
  }
}

TEST(InputRaw, TableCallableRunsOnceAndOnlyWhenATableIsNeeded) {
  int calls = 0;
  const Input input = Input::raw([](std::int64_t) { return ok; }, [] { return End_of_input; },
                                 [&calls] {
                                   ++calls;
                                   return Line_table{0, 3, 6};
                                 });
  vantel::lexing_position p{"f", 7, 7, 4};
  for (int i = 0; i < 3; ++i) (void)Position::to_offset(input, Position::of_lexing(p));
  (void)Position::to_lexing(input)(Position::of_lexing(p));
  EXPECT_EQ(calls, 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Position::to_offset(input, Position::of_line_col(2, 2)), 4);
    EXPECT_EQ(Position::to_lexing(input)(Position::of_offset(5)).line_number, 2);
  }
  EXPECT_EQ(calls, 1);
}

TEST(InputRaw, FailingTableIsKeptAndRethrownWithoutRecomputing) {
  int calls = 0;
  const Input input = Input::raw(
      [](std::int64_t) { return ok; }, [] { return End_of_input; },
      [&calls]() -> Line_table { throw std::runtime_error("table #" + std::to_string(++calls)); });
  for (int i = 0; i < 3; ++i) {
    try {
      (void)Position::to_offset(input, Position::of_line_col(1, 1));
      FAIL() << "no failure";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "table #1");
    }
  }
  EXPECT_EQ(calls, 1);
}

// Managed inputs that log their openings and closings, nested `depth` deep
// around `inner`.
Input logged(std::vector<std::string>& log, int depth, Input inner) {
  for (int level = depth; level >= 1; --level) {
    inner = Input::managed([&log, level, inner] {
      log.push_back("open " + std::to_string(level));
      return std::make_pair(
          inner, Closer([&log, level] { log.push_back("close " + std::to_string(level)); }));
    });
  }
  return inner;
}

TEST(InputManaged, OpensOutermostFirstAndClosesInnermostFirstOnce) {
  std::vector<std::string> log;
  const Input input = logged(log, 3, Input::string("ab\ncd\n"));
  EXPECT_EQ(Position::to_offset(input, Position::of_line_col(2, 2)), 4);
  EXPECT_EQ(log, (std::vector<std::string>{"open 1", "open 2", "open 3", "close 3", "close 2",
                                           "close 1"}));
}

TEST(InputManaged, ClosersRunOnceWhenTheConversionOrAnInnerOpenerFails) {
  std::vector<std::string> log;
  const Input input = logged(log, 2, Input::string("ab\n"));
  EXPECT_THROW((void)Position::to_offset(input, Position::of_line_col(0, 1)), std::out_of_range);
  EXPECT_EQ(log, (std::vector<std::string>{"open 1", "open 2", "close 2", "close 1"}));

  log.clear();
  const Input failing =
      Input::managed([]() -> std::pair<Input, Closer> { throw std::runtime_error("cannot open"); });
  EXPECT_THROW((void)Position::to_offset(logged(log, 2, failing), Position::of_offset(0)),
               std::runtime_error);
  EXPECT_EQ(log, (std::vector<std::string>{"open 1", "open 2", "close 2", "close 1"}));
}

TEST(InputManaged, CloserFailingWhileAnotherFailurePropagatesDoesNotReplaceIt) {
  int closed = 0;
  const Input input = Input::managed([&closed] {
    return std::make_pair(Input::string("ab"), Closer([&closed] {
                            ++closed;
                            throw std::logic_error("close failed");
                          }));
  });
  EXPECT_THROW((void)Position::to_offset(input, Position::of_line_col(5, 1)), std::out_of_range);
  EXPECT_EQ(closed, 1);
}

TEST(InputManaged, FirstCloserFailureOnTheNormalPathPropagatesAfterAllRan) {
  std::vector<std::string> log;
  auto closer = [&log](std::string name, bool fails) {
    return Closer([&log, name, fails] {
      log.push_back(name);
      if (fails) throw std::runtime_error(name);
    });
  };
  const Input inner =
      Input::managed([&] { return std::make_pair(Input::string("x"), closer("inner", true)); });
  const Input middle =
      Input::managed([&] { return std::make_pair(inner, closer("middle", true)); });
  const Input outer =
      Input::managed([&] { return std::make_pair(middle, closer("outer", false)); });
  try {
    (void)Position::to_offset(outer, Position::of_offset(0));
    FAIL() << "no failure";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "inner");
  }
  EXPECT_EQ(log, (std::vector<std::string>{"inner", "middle", "outer"}));
}

}  // namespace
