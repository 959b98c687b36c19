// SPDX-License-Identifier: MIT
// Builds line tables of fuzzer-chosen bytes from a text and from streams that
// hand the bytes out in fuzzer-chosen chunks (seekable, refusing to seek,
// failing to seek, failing to read), and checks the three queries against a
// plain scan, with round trips between offsets and lines and columns. Tables
// that grow as queries need are asked in fuzzer-chosen order, and must answer
// as the whole table does.
#include "fuzz_check.hpp"
#include "line_offsets/lazy_table.hpp"
#include "line_offsets/line_offsets.hpp"

#include <vantel/vantel.hpp>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <istream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace {

using fuzz::Failure;
using fuzz::fits;
using fuzz::max64;
using fuzz::min64;
using fuzz::outcome;
using fuzz::Wide;

using vantel::Line_table;
namespace lo = vantel::Line_offsets;
using Entries = std::vector<std::int64_t>;

constexpr std::size_t block = 16384;

Entries starts_of(const std::string& text) {
  Entries starts{0};
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') starts.push_back(static_cast<std::int64_t>(i) + 1);
  return starts;
}

// The index that line_col_of_offset must land on in an ascending table.
std::size_t last_at_or_before(const Entries& t, std::int64_t offset) {
  const auto it = std::upper_bound(t.begin(), t.end(), offset);
  return it == t.begin() ? 0 : static_cast<std::size_t>(it - t.begin()) - 1;
}

struct Read_failure {};  // not a std::exception: it must come through untouched

enum class Seeking { works, refuses, throws };

// Hands out the bytes of a text in chunks of the given sizes, in turn.
class Chunked final : public std::streambuf {
 public:
  Chunked(const std::string& text, std::vector<std::size_t> chunks, Seeking seeking,
          std::size_t fail_at)
      : bytes_(text.begin(), text.end()),
        chunks_(std::move(chunks)),
        seeking_(seeking),
        fail_at_(fail_at) {
    setg(bytes_.data(), bytes_.data(), bytes_.data());
  }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (next_ >= fail_at_) throw Read_failure{};
    if (next_ >= bytes_.size()) return traits_type::eof();
    std::size_t n = chunks_.empty() ? 1 : chunks_[turn_++ % chunks_.size()];
    n = std::min({std::max<std::size_t>(n, 1), bytes_.size() - next_, fail_at_ - next_});
    char* at = bytes_.data() + next_;
    setg(at, at, at + n);
    next_ += n;
    return traits_type::to_int_type(*gptr());
  }

  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
    if (seeking_ == Seeking::refuses) return pos_type(off_type(-1));
    if (seeking_ == Seeking::throws) throw std::system_error(ESPIPE, std::generic_category());
    const off_type here = static_cast<off_type>(next_) - (egptr() - gptr());
    const off_type base = dir == std::ios_base::beg   ? 0
                          : dir == std::ios_base::cur ? here
                                                      : static_cast<off_type>(bytes_.size());
    const off_type to = base + off;
    if (to < 0 || to > static_cast<off_type>(bytes_.size())) return pos_type(off_type(-1));
    next_ = static_cast<std::size_t>(to);
    setg(bytes_.data() + next_, bytes_.data() + next_, bytes_.data() + next_);
    return pos_type(to);
  }

  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
    return seekoff(off_type(pos), std::ios_base::beg, which);
  }

 private:
  std::vector<char> bytes_;
  std::vector<std::size_t> chunks_;
  std::size_t turn_ = 0;
  std::size_t next_ = 0;  // offset just past the chunk being handed out
  Seeking seeking_;
  std::size_t fail_at_;
};

std::int64_t any_offset(FuzzedDataProvider& d, std::int64_t len) {
  static constexpr std::int64_t values[] = {min64, min64 + 1, -1, 0, 1, max64 - 1, max64};
  switch (d.ConsumeIntegralInRange(0, 5)) {
    case 0:
      return d.PickValueInArray(values);
    case 1:
      return d.ConsumeIntegral<std::int64_t>();
    default:
      return d.ConsumeIntegralInRange<std::int64_t>(-2, len + 2);
  }
}

// Queries on a table of the text: against the scan, and back and forth.
void check_queries(FuzzedDataProvider& d, const Line_table& table, const Entries& starts,
                   std::int64_t len) {
  const auto lines = static_cast<std::int64_t>(starts.size());
  for (int i = d.ConsumeIntegralInRange(0, 8); i > 0; --i) {
    const std::int64_t offset = any_offset(d, len);
    const auto [line, col] = lo::line_col_of_offset(table, offset);
    const std::size_t k = last_at_or_before(starts, offset);
    CHECK(line == static_cast<std::int64_t>(k) + 1);
    CHECK(col == offset - starts[k]);
    CHECK(lo::find_line_offset(table, line) == starts[k]);
    if (col < max64) CHECK(lo::find_offset(table, line, col + 1) == offset);
  }
  for (int i = d.ConsumeIntegralInRange(0, 8); i > 0; --i) {
    const std::int64_t line =
        d.ConsumeBool() ? any_offset(d, len) : d.ConsumeIntegralInRange<std::int64_t>(0, lines + 1);
    const std::int64_t col = any_offset(d, len);
    std::int64_t got = 0;
    const Failure failure = outcome([&] { got = lo::find_offset(table, line, col); });
    if (line < 1 || line > lines) {
      CHECK(failure == Failure::out_of_range);
      continue;
    }
    const Wide want = Wide{starts[static_cast<std::size_t>(line - 1)]} + col - 1;
    CHECK(failure == (fits(want) ? Failure::none : Failure::overflow));
    if (failure != Failure::none) continue;
    CHECK(got == want);
    // A column inside its line (line feed included) names that line again.
    const bool inside = col >= 1 && (line == lines || got < starts[static_cast<std::size_t>(line)]);
    if (inside) CHECK(lo::line_col_of_offset(table, got) == std::make_pair(line, col - 1));
  }
}

// Queries on a table the caller made up: never outside it, and exact when it
// ascends.
void check_caller_table(FuzzedDataProvider& d) {
  Entries entries(d.ConsumeIntegralInRange<std::size_t>(0, 12));
  for (auto& e : entries) e = any_offset(d, 64);
  const bool ascending = d.ConsumeBool();
  if (ascending) std::sort(entries.begin(), entries.end());
  const Line_table table(entries);
  for (int i = d.ConsumeIntegralInRange(1, 6); i > 0; --i) {
    const std::int64_t offset = any_offset(d, 64);
    std::pair<std::int64_t, std::int64_t> got;
    const Failure failure = outcome([&] { got = lo::line_col_of_offset(table, offset); });
    if (entries.empty()) {
      CHECK(failure == Failure::out_of_range);
      continue;
    }
    if (ascending) {
      const std::size_t k = last_at_or_before(entries, offset);
      const Wide col = Wide{offset} - entries[k];
      CHECK(failure == (fits(col) ? Failure::none : Failure::overflow));
      if (failure == Failure::none)
        CHECK(got == std::make_pair(std::int64_t(k) + 1, std::int64_t(col)));
    } else if (failure == Failure::none) {
      CHECK(got.first >= 1 && got.first <= static_cast<std::int64_t>(entries.size()));
      CHECK(Wide{got.second} == Wide{offset} - entries[static_cast<std::size_t>(got.first - 1)]);
    } else {
      CHECK(failure == Failure::overflow);
    }
  }
}

// Hands a text to a growing table in the given chunk sizes, in turn.
class Chunk_source final : public lo::Text_source {
 public:
  Chunk_source(const std::string& text, const std::vector<std::size_t>& sizes)
      : text_(text), sizes_(sizes) {}
  bool start(std::int64_t offset) override {
    CHECK(offset >= 0 && static_cast<std::size_t>(offset) <= text_.size());
    next_ = static_cast<std::size_t>(offset);
    return true;
  }
  std::string_view next() override {
    const std::size_t size = sizes_.empty() ? 1 : sizes_[turn_++ % sizes_.size()];
    const std::string_view got = std::string_view(text_).substr(next_, size);
    next_ += got.size();
    return got;
  }

 private:
  const std::string& text_;
  const std::vector<std::size_t>& sizes_;
  std::size_t turn_ = 0;
  std::size_t next_ = 0;
};

// Queries in fuzzer-chosen order on a table that grows as they need: each
// answer (or failure) is the whole table's, and no query scans more than one
// chunk past what it needs.
void check_lazy(FuzzedDataProvider& d, const std::string& text, const Entries& starts,
                const std::vector<std::size_t>& chunks) {
  Chunk_source source(text, chunks);
  lo::Lazy_table lazy;
  const Line_table whole(starts);
  const auto len = static_cast<std::int64_t>(text.size());
  const auto lines = static_cast<std::int64_t>(starts.size());
  std::int64_t widest = 1;
  for (const std::size_t c : chunks) widest = std::max(widest, static_cast<std::int64_t>(c));
  const auto start_of = [&](std::int64_t line) {
    return line < 1 ? 0 : line > lines ? len : starts[static_cast<std::size_t>(line - 1)];
  };
  for (int i = d.ConsumeIntegralInRange(0, 16); i > 0; --i) {
    const std::int64_t before = lazy.scanned();
    std::int64_t needed = 0;
    const int kind = d.ConsumeIntegralInRange(0, 2);
    if (kind == 2) {
      const std::int64_t offset = any_offset(d, len);
      std::pair<std::int64_t, std::int64_t> got;
      std::pair<std::int64_t, std::int64_t> want;
      const Failure failure = outcome([&] { got = lazy.line_col_of_offset(source, offset); });
      CHECK(failure == outcome([&] { want = lo::line_col_of_offset(whole, offset); }));
      CHECK(got == want);
      needed = std::clamp<std::int64_t>(offset, 0, len);
    } else {
      const std::int64_t line = d.ConsumeBool()
                                    ? any_offset(d, len)
                                    : d.ConsumeIntegralInRange<std::int64_t>(0, lines + 1);
      const std::int64_t col = kind == 1 ? any_offset(d, len) : 1;
      std::int64_t got = 0;
      std::int64_t want = 0;
      const Failure failure = outcome([&] { got = lazy.find_offset(source, line, col); });
      CHECK(failure == outcome([&] { want = lo::find_offset(whole, line, col); }));
      CHECK(got == want);
      CHECK(outcome([&] { got = lazy.find_line_offset(source, line); }) ==
            outcome([&] { want = lo::find_line_offset(whole, line); }));
      CHECK(got == want);
      needed = start_of(line);
    }
    CHECK(lazy.scanned() <= std::max(before, needed + widest));
  }
  if (d.ConsumeBool()) CHECK(lazy.whole(source).to_vector() == starts);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider d(data, size);
  std::string text = d.ConsumeRandomLengthString(8192);
  // A filler in front moves the fuzzer's bytes across the 16384-byte blocks,
  // or, rarely, makes the table large enough for the storage of big tables.
  switch (d.ConsumeIntegralInRange(0, 15)) {
    case 1:
    case 2:
      text.insert(0, block - d.ConsumeIntegralInRange<std::size_t>(0, 64),
                  d.ConsumeIntegral<char>());
      break;
    case 3:
    case 4:
      text.insert(0, 2 * block - d.ConsumeIntegralInRange<std::size_t>(0, 64), '\n');
      break;
    case 5:
    case 6:
    case 7:
      text.insert(0, d.ConsumeIntegralInRange<std::size_t>(0, 3 * block),
                  d.ConsumeIntegral<char>());
      break;
    case 8:
      text.insert(0, (std::size_t{1} << 18) - d.ConsumeIntegralInRange<std::size_t>(0, 64), '\n');
      break;
    default:
      break;
  }
  const Entries starts = starts_of(text);
  const auto len = static_cast<std::int64_t>(text.size());

  const Line_table table = lo::from_string(text);
  CHECK(table.to_vector() == starts);
  CHECK(lo::from_string(text, lo::Scan::Baseline) == table);
  CHECK(lo::from_string(text, lo::Scan::Portable) == table);

  {
    std::istringstream stream(text);
    CHECK(lo::from_chan(stream).to_vector() == starts);
    CHECK(stream.rdbuf()->sgetc() == std::char_traits<char>::eof());
  }

  std::vector<std::size_t> chunks(d.ConsumeIntegralInRange<std::size_t>(0, 8));
  for (auto& c : chunks)
    c = d.ConsumeBool() ? d.ConsumeIntegralInRange<std::size_t>(1, 8)
                        : d.ConsumeIntegralInRange<std::size_t>(1, 3 * block);
  const auto seeking = static_cast<Seeking>(d.ConsumeIntegralInRange(0, 2));
  const std::size_t already_read = d.ConsumeIntegralInRange<std::size_t>(0, text.size());
  const bool fails = d.ConsumeIntegralInRange(0, 7) == 0;
  const std::size_t fail_at =
      fails ? d.ConsumeIntegralInRange<std::size_t>(0, text.size()) : text.size() + 1;
  {
    Chunked buf(text, chunks, seeking, fail_at);
    std::istream stream(&buf);
    // A stream that cannot seek is read from where it stands.
    for (std::size_t i = 0; i < already_read && i < fail_at; ++i) buf.sbumpc();
    const std::size_t from = seeking == Seeking::works ? 0 : std::min(already_read, fail_at);
    if (fails) {
      bool thrown = false;
      try {
        (void)lo::from_chan(stream);
      } catch (const Read_failure&) {
        thrown = true;
      }
      CHECK(thrown);
    } else {
      CHECK(lo::from_chan(stream).to_vector() == starts_of(text.substr(from)));
      CHECK(buf.sgetc() == std::char_traits<char>::eof());
    }
  }

  // The same table through a stream input, grown only as far as the line
  // asked for: a read failure past that point is never met, one before it is
  // thrown and kept.
  {
    Chunked buf(text, chunks, Seeking::works, fail_at);
    std::istream stream(&buf);
    const vantel::Input input = vantel::Input::in_channel(stream);
    const auto line =
        d.ConsumeIntegralInRange<std::int64_t>(1, static_cast<std::int64_t>(starts.size()));
    const std::int64_t want = starts[static_cast<std::size_t>(line - 1)];
    const vantel::Position p = vantel::Position::of_line_col(line, 1);
    bool thrown = false;
    for (int i = 0; i < 2; ++i) {
      std::int64_t got = -1;
      try {
        got = vantel::Position::to_offset(input, p);
      } catch (const Read_failure&) {
        CHECK(fails);
        CHECK(i == 0 || thrown);  // the failure is kept
        thrown = true;
        continue;
      }
      CHECK(!thrown);
      CHECK(got == want);
    }
    if (fails && fail_at < static_cast<std::size_t>(want)) CHECK(thrown);
  }

  // A stream that cannot seek: its table counts from where it stands, and
  // quoting it fails instead of printing nothing.
  if (seeking != Seeking::works && !fails) {
    Chunked buf(text, chunks, seeking, fail_at);
    std::istream stream(&buf);
    for (std::size_t i = 0; i < already_read; ++i) buf.sbumpc();
    const vantel::Input input = vantel::Input::in_channel(stream);
    const Entries rest = starts_of(text.substr(already_read));
    const auto line =
        d.ConsumeIntegralInRange<std::int64_t>(1, static_cast<std::int64_t>(rest.size()));
    CHECK(vantel::Position::to_offset(input, vantel::Position::of_line_col(line, 1)) ==
          rest[static_cast<std::size_t>(line - 1)]);
    std::ostringstream out;
    vantel::Formatter formatter(out);
    bool refused = false;
    try {
      vantel::pp(input, formatter,
                 {{vantel::Position::of_offset(0), vantel::Position::of_offset(1)}});
    } catch (const std::system_error& e) {
      refused = e.code() == std::errc::invalid_seek;
    }
    CHECK(refused);
    CHECK(out.str().empty());
  }

  check_lazy(d, text, starts, chunks);
  check_queries(d, table, starts, len);
  check_caller_table(d);
  return 0;
}
