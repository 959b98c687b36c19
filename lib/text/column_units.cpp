// SPDX-License-Identifier: MIT
#include "text/column_units.hpp"

#include "text/cluster_walk.hpp"
#include "text/code_point.hpp"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vantel::detail {

namespace {

// A character, or a cluster in display columns: its bytes and the columns
// it counts.
struct Step {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::int64_t units = 0;
};

class Unit_walk {
 public:
  // From byte `from`, a step's start, at display column `column`.
  Unit_walk(std::string_view line, Column_unit unit, int tab_width, std::size_t from = 0,
            std::int64_t column = 0) noexcept
      : line_(line),
        unit_(unit),
        tab_width_(tab_width),
        at_(from),
        clusters_(line, tab_width, from, column) {}

  bool next(Step& step) noexcept {
    if (unit_ == Column_unit::Display) return next_cluster(step);
    if (at_ >= line_.size()) return false;
    std::size_t length = 1;
    std::int64_t units = 1;
    // ASCII is one unit of every kind: no decoding call for most source text.
    if (unit_ != Column_unit::Bytes && static_cast<unsigned char>(line_[at_]) >= 0x80) {
      const Code_point c = decode(line_, at_);
      length = c.length;
      if (unit_ == Column_unit::Utf16) units = static_cast<std::int64_t>(c.utf16_units());
    }
    step = {at_, at_ + length, units};
    at_ += length;
    return true;
  }

 private:
  bool next_cluster(Step& step) noexcept {
    Cluster c;
    if (!clusters_.next(c)) return false;
    step = {c.begin, c.end, c.width};
    if (c.kind == Cluster_kind::Escaped) {
      // An editor shows one stand-in where a quote spells out an escaped
      // form; the tab stops after it count from there.
      step.units = 1;
      clusters_ = Cluster_walk(line_, tab_width_, c.end, c.column + 1);
    }
    return true;
  }

  std::string_view line_;
  Column_unit unit_;
  int tab_width_;
  std::size_t at_ = 0;
  Cluster_walk clusters_;
};

// Steps that each take one byte and one unit from `from`, as far as `limit`:
// any ASCII byte, or in display columns a printable one that nothing joins.
std::size_t plain_run(std::string_view line, std::size_t from, std::size_t limit, Column_unit unit,
                      int tab_width) noexcept {
  if (unit == Column_unit::Display) return Cluster_walk(line, tab_width, from).skip_plain(limit);
  if (unit == Column_unit::Bytes) return limit - from;
  std::size_t at = from;
  // Thirty-two ASCII bytes at a time, then eight: no high bit in the words.
  for (std::uint64_t words[4] = {}; at + sizeof words <= limit; at += sizeof words) {
    std::memcpy(words, line.data() + at, sizeof words);
    if (((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080) != 0) break;
  }
  for (std::uint64_t word = 0; at + 8 <= limit; at += 8) {
    std::memcpy(&word, line.data() + at, sizeof word);
    if ((word & 0x8080808080808080) != 0) break;
  }
  while (at < limit && static_cast<unsigned char>(line[at]) < 0x80) ++at;
  return at - from;
}

}  // namespace

// A step is taken only when the next code point is whole in the buffer too,
// so that the piece after cannot join it.
constexpr std::size_t longest_code_point = 4;

std::string& Unit_counter::buffer() {
  if (at_ > 0) {
    buffer_.erase(0, at_);
    byte_ += static_cast<std::int64_t>(at_);
    at_ = 0;
  }
  return buffer_;
}

template <class Done>
bool Unit_counter::walk(bool last, std::int64_t most_units, std::size_t most_bytes, Done done) {
  const std::size_t safe =
      last ? buffer_.size() : buffer_.size() - std::min(buffer_.size(), longest_code_point);
  for (;;) {
    const std::size_t limit = std::min(
        safe, at_ + std::min<std::size_t>(most_bytes, static_cast<std::size_t>(most_units)));
    const std::size_t run = at_ < limit ? plain_run(buffer_, at_, limit, unit_, tab_width_) : 0;
    at_ += run;
    before_ += static_cast<std::int64_t>(run);
    most_units -= static_cast<std::int64_t>(run);
    most_bytes -= run;
    Unit_walk walk(buffer_, unit_, tab_width_, at_, before_);
    Step step;
    if (!walk.next(step)) return last;
    if (!last && step.end > safe) return false;
    if (done(step.units, step.end - step.begin)) return true;
    at_ = step.end;
    before_ += step.units;
    most_units -= step.units;
    most_bytes -= step.end - step.begin;
  }
}

bool Unit_counter::to_column(std::int64_t col, bool last) {
  const std::int64_t wanted = col - 1;  // columns before it
  return walk(last, std::max<std::int64_t>(wanted - before_, 0), buffer_.size(),
              [&](std::int64_t units, std::size_t) { return wanted < before_ + units; });
}

bool Unit_counter::to_byte(std::int64_t at, bool last) {
  const std::int64_t room = at - byte();
  return walk(last, std::numeric_limits<std::int64_t>::max(),
              static_cast<std::size_t>(std::max<std::int64_t>(room, 0)),
              [&](std::int64_t, std::size_t bytes) {
                return at < byte() + static_cast<std::int64_t>(bytes);
              });
}

std::size_t byte_of_column(std::string_view line, std::int64_t col, Column_unit unit,
                           int tab_width) noexcept {
  if (col <= 1) return 0;
  const std::int64_t wanted = col - 1;  // columns before it
  Unit_walk walk(line, unit, tab_width);
  Step step;
  std::int64_t before = 0;
  while (walk.next(step)) {
    if (wanted < before + step.units) return step.begin;
    before += step.units;
  }
  return line.size();
}

std::int64_t column_of_byte(std::string_view line, std::size_t at, Column_unit unit,
                            int tab_width) noexcept {
  if (unit != Column_unit::Display) {
    // Runs of ASCII a word at a time, a decoding call for each other
    // character: exported columns of whole files are counted this way.
    const std::size_t limit = std::min(at, line.size());
    std::size_t from = 0;
    std::int64_t before = 0;
    for (;;) {
      const std::size_t run = plain_run(line, from, limit, unit, tab_width);
      from += run;
      before += static_cast<std::int64_t>(run);
      if (from >= limit) return before + 1;
      const Code_point c = decode(line, from);
      if (at < from + c.length) return before + 1;
      before += unit == Column_unit::Utf16 ? static_cast<std::int64_t>(c.utf16_units()) : 1;
      from += c.length;
    }
  }
  Unit_walk walk(line, unit, tab_width);
  Step step;
  std::int64_t before = 0;
  while (walk.next(step)) {
    if (at < step.end) return before + 1;
    before += step.units;
  }
  return before + 1;
}

}  // namespace vantel::detail
