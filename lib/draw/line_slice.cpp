// SPDX-License-Identifier: MIT
#include "draw/line_slice.hpp"

#include "text/cluster_walk.hpp"

#include <algorithm>
#include <deque>
#include <string>

namespace vantel::detail {

std::atomic<std::size_t>& slice_above() noexcept {
  static std::atomic<std::size_t> above{std::size_t{1} << 20};
  return above;
}

namespace {

constexpr std::size_t piece = std::size_t{1} << 16;
// A cluster is taken only when the next code point is whole in the buffer
// too, so that the piece after cannot join it.
constexpr std::size_t longest_code_point = 4;
// Wider windows, or slices that hold more bytes (a cluster of thousands of
// marks), are read whole as before.
constexpr Wide widest_window = Wide{1} << 20;
constexpr std::size_t most_kept = std::size_t{16} << 20;
// How far past the slice the line's end is looked for: an endless input
// (a device, a pipe that never closes) is cut there rather than read forever,
// and its line drawn as one that goes on.
constexpr std::int64_t most_read_past = std::int64_t{64} << 20;

// A cluster start: an offset of the line and its display column.
struct Mark {
  std::int64_t offset = 0;
  std::int64_t column = 0;
};

// Cluster starts at every column from `from.column` to `last`, a byte each:
// a run of plain text, or one cluster's start.
struct Starts {
  Mark from;
  std::int64_t last = 0;
};

class Slicer {
 public:
  Slicer(Line_reader& reader, std::int64_t start, const Slice_need& need)
      : reader_(reader),
        first_(need.first),
        last_(need.last),
        width_(need.width),
        tab_width_(need.tab_width),
        align_(need.align),
        reach_(need.reach),
        base_(start) {
    older_ = Mark{start, 0};
  }

  std::optional<Line_slice> slice(std::size_t above) {
    if (!reader_.read(base_, read_, above) || !reader_.goes_on()) return std::nullopt;
    buffer_.swap(read_.text);
    if (!walk()) return std::nullopt;
    return finish();
  }

 private:
  // Walks clusters to the slice's end, or the line's; false when it cannot
  // slice.
  bool walk() {
    for (;;) {
      if (buffer_.size() > most_kept) return false;
      const bool more = reader_.goes_on();
      const std::size_t safe =
          more ? buffer_.size() - std::min(buffer_.size(), longest_code_point) : buffer_.size();
      skip_plain(safe);
      Cluster_walk walk(buffer_, tab_width_, at_, column_);
      Cluster c;
      if (!walk.next(c) || (more && c.end > safe)) {
        if (!more) return lit_.has_value();
        read_on();
        continue;
      }
      if (take(c)) return true;
    }
  }

  // Steps over plain text up to the next place that matters.
  void skip_plain(std::size_t safe) {
    std::size_t limit = safe;
    if (!lit_) limit = std::min(limit, byte_of(first_));
    if (lit_ && !stop_) limit = std::min(limit, byte_of(last_));
    if (stop_)
      limit =
          std::min<std::size_t>(limit, at_ + static_cast<std::size_t>(std::clamp<Wide>(
                                                 *stop_ - column_, 0, static_cast<Wide>(safe))));
    if (limit <= at_) return;
    const Mark from{offset_of(at_), column_};
    Cluster_walk walk(buffer_, tab_width_, at_, column_);
    const std::size_t n = walk.skip_plain(limit);
    at_ += n;
    column_ += static_cast<std::int64_t>(n);
    if (!lit_ && n > 0) {
      starts_.push_back({from, column_});
      settle();
    }
  }

  // Takes cluster `c`; true once the slice's end is found.
  bool take(const Cluster& c) {
    if (!lit_) {
      starts_.push_back({{offset_of(c.begin), c.column}, c.column});
      settle();
    }
    at_ = c.end;
    column_ = c.column + c.width;
    if (!lit_ && offset_of(c.end) > first_) lit_ = c.column;
    if (lit_ && !stop_ && offset_of(c.end) > last_) stop_ = Wide{column_} + width_ + 1;
    if (!stop_ || c.column < *stop_) return false;
    to_ = offset_of(c.end);
    return true;
  }

  // Moves the older mark to the last aligned cluster start a window's
  // width and one column before where the walk stands.
  void settle() {
    const Wide most = Wide{column_} - width_ - 1;
    while (!starts_.empty() && starts_.front().from.column <= most) {
      const Starts& run = starts_.front();
      const Wide top = std::min<Wide>(run.last, most);
      const Wide aligned = top - top % align_;
      if (aligned >= run.from.column)
        older_ = {run.from.offset + static_cast<std::int64_t>(aligned - run.from.column),
                  static_cast<std::int64_t>(aligned)};
      if (run.last > most) return;
      starts_.pop_front();
    }
  }

  // Drops what lies before the older mark, and reads the next piece.
  void read_on() {
    const std::size_t keep = byte_of(older_.offset);
    if (keep > 0) {
      buffer_.erase(0, keep);
      base_ += static_cast<std::int64_t>(keep);
      at_ -= keep;
    }
    read_.text.swap(buffer_);
    reader_.read_more(read_, piece);
    read_.text.swap(buffer_);
  }

  // Reads the rest of the line, keeping nothing of it, and cuts the slice.
  std::optional<Line_slice> finish() {
    if (to_ < 0) to_ = offset_of(buffer_.size());
    char last = buffer_.empty() ? '\0' : buffer_.back();
    std::string rest;
    const std::int64_t from_here = offset_of(buffer_.size());
    std::int64_t stop =
        from_here > max_offset - most_read_past ? max_offset : from_here + most_read_past;
    // Enough is known once a byte after the slice and after the reach is in.
    if (reach_ < max_offset) stop = std::min(stop, std::max(reach_, to_) + 1);
    while (reader_.goes_on() && reader_.position() < stop) {
      read_.text.swap(rest);
      read_.text.clear();
      reader_.read_more(read_, piece);
      read_.text.swap(rest);
      if (!rest.empty()) last = rest.back();
    }
    // As the text layout sees the line: without a return before its feed.
    std::int64_t end = reader_.position() - (read_.ended ? 1 : 0);
    if (read_.ended && last == '\r') --end;
    if (first_ >= end) return std::nullopt;
    to_ = std::min(to_, end);
    const std::size_t from = byte_of(older_.offset);
    return Line_slice{buffer_.substr(from, byte_of(to_) - from),
                      older_.offset,
                      older_.column,
                      end - to_,
                      end,
                      read_.ended};
  }

  [[nodiscard]] std::int64_t offset_of(std::size_t byte) const noexcept {
    return base_ + static_cast<std::int64_t>(byte);
  }
  [[nodiscard]] std::size_t byte_of(std::int64_t offset) const noexcept {
    return static_cast<std::size_t>(std::max<std::int64_t>(offset - base_, 0));
  }

  Line_reader& reader_;
  std::int64_t first_;
  std::int64_t last_;
  Wide width_;
  int tab_width_;
  int align_;
  std::int64_t reach_;
  Read_line read_;
  std::string buffer_;  // the line from offset base_
  std::int64_t base_;
  std::size_t at_ = 0;  // the next cluster's start in buffer_
  std::int64_t column_ = 0;
  Mark older_;                 // where the slice starts
  std::deque<Starts> starts_;  // cluster starts not yet a window behind
  std::optional<Wide> lit_;    // the column of the cluster that holds first_
  std::optional<Wide> stop_;   // the slice ends with the first cluster from this column
  std::int64_t to_ = -1;       // the offset where the slice ends
};

}  // namespace

std::optional<Line_slice> slice_line(Line_reader& reader, std::int64_t start,
                                     const Slice_need& need) {
  if (need.width <= 0 || need.width > widest_window || need.first < start || need.last < need.first)
    return std::nullopt;
  return Slicer(reader, start, need).slice(slice_above().load());
}

}  // namespace vantel::detail
