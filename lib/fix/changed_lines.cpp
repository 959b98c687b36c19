// SPDX-License-Identifier: MIT
#include "fix/changed_lines.hpp"

#include "input/line_reader.hpp"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace vantel::detail {

namespace {

// Takes the lines that are the same at both ends off a change.
void trim(Raw_cursor& cursor, Changed_lines& change) {
  std::vector<Spliced_line>& old = change.removed;
  std::vector<Spliced_line>& now = change.added;
  std::size_t front = 0;
  while (front < old.size() && front < now.size() && same_text(cursor, old[front], now[front]))
    ++front;
  std::size_t back = 0;
  while (back < old.size() - front && back < now.size() - front &&
         same_text(cursor, old[old.size() - 1 - back], now[now.size() - 1 - back]))
    ++back;
  old.erase(old.end() - static_cast<std::ptrdiff_t>(back), old.end());
  now.erase(now.end() - static_cast<std::ptrdiff_t>(back), now.end());
  old.erase(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(front));
  now.erase(now.begin(), now.begin() + static_cast<std::ptrdiff_t>(front));
  change.old_line += static_cast<std::int64_t>(front);
  change.new_line += static_cast<std::int64_t>(front);
}

struct Block {
  std::int64_t first_line;
  std::int64_t last_line;
  std::size_t begin;  // edits [begin, end)
  std::size_t end;
};

// The edits in blocks of lines: edits that share a line share a block.
std::vector<Block> blocks_of(Raw_cursor& cursor, const std::vector<Placed_edit>& edits) {
  std::vector<Block> blocks;
  for (std::size_t k = 0; k < edits.size(); ++k) {
    const Placed_edit& e = edits[k];
    const std::int64_t first = cursor.line_col_of_offset(e.start).first;
    const std::int64_t last = e.end > e.start ? cursor.line_col_of_offset(e.end - 1).first : first;
    if (!blocks.empty() && first <= blocks.back().last_line) {
      blocks.back().last_line = std::max(blocks.back().last_line, last);
      blocks.back().end = k + 1;
    } else {
      blocks.push_back({first, last, k, k + 1});
    }
  }
  return blocks;
}

// The old line that starts at `start`, measured a piece at a time: empty
// past the input's end.
Spliced_line old_line_at(Raw_cursor& cursor, std::int64_t start) {
  constexpr std::size_t piece = std::size_t{1} << 16;
  Line_reader reader(cursor);
  Spliced_line line;
  Read_line read;
  if (!reader.read(start, read, piece)) return line;
  for (;;) {
    line.size += static_cast<std::int64_t>(read.text.size());
    if (!reader.goes_on()) break;
    read.text.clear();
    reader.read_more(read, piece);
  }
  line.ended = read.ended;
  if (line.ended) ++line.size;
  if (line.size > 0) line.runs.push_back({true, start, line.size, {}});
  return line;
}

// The block's old lines; `end` is then the offset after them.
std::vector<Spliced_line> old_lines(Raw_cursor& cursor, const Block& block, std::int64_t& end) {
  std::vector<Spliced_line> lines;
  end = cursor.find_line_offset(block.first_line);
  for (std::int64_t n = block.first_line; n <= block.last_line; ++n) {
    Spliced_line line = old_line_at(cursor, end);
    if (line.size == 0) break;
    end += line.size;
    const bool ended = line.ended;
    lines.push_back(std::move(line));
    if (!ended) break;
  }
  return lines;
}

// The offsets just after the line feeds of the new text `runs`: those of
// the old lines that its runs of the input hold, and those of the edits'.
std::vector<std::int64_t> feeds_of(const std::vector<Line_run>& runs,
                                   const std::vector<Spliced_line>& old) {
  std::vector<std::int64_t> feeds;
  std::size_t k = 0;    // the next old line whose feed may be in a run
  std::int64_t at = 0;  // where the run starts in the new text
  for (const Line_run& run : runs) {
    if (run.from_input) {
      for (; k < old.size(); ++k) {
        const std::int64_t after = old[k].runs.front().start + old[k].size;
        if (after > run.start + run.size) break;
        if (old[k].ended && after > run.start) feeds.push_back(at + after - run.start);
      }
    } else {
      for (std::size_t lf = run.text.find('\n'); lf != std::string_view::npos;
           lf = run.text.find('\n', lf + 1))
        feeds.push_back(at + static_cast<std::int64_t>(lf) + 1);
    }
    at += run.size;
  }
  return feeds;
}

Changed_lines change_of(Raw_cursor& cursor, const Edits_of_input& in, const Block& block) {
  Changed_lines change;
  std::int64_t end = 0;
  change.removed = old_lines(cursor, block, end);
  std::vector<Line_run> runs;
  std::int64_t size = 0;  // of the new text so far
  std::int64_t at = change.removed.empty() ? end : change.removed.front().runs.front().start;
  const auto keep = [&](std::int64_t to) {
    if (to > at) runs.push_back({true, at, to - at, {}});
    size += std::max<std::int64_t>(to - at, 0);
  };
  for (std::size_t k = block.begin; k < block.end; ++k) {
    const Placed_edit& e = in.edits[k];
    if (e.end > end) check_within(in, end);
    keep(e.start);
    const auto written = static_cast<std::size_t>(size);
    change.written.push_back(
        {written, written + e.text.size(), static_cast<std::size_t>(e.end - e.start)});
    if (!e.text.empty())
      runs.push_back({false, 0, static_cast<std::int64_t>(e.text.size()), e.text});
    size += static_cast<std::int64_t>(e.text.size());
    at = e.end;
  }
  keep(end);
  change.old_line = block.first_line;
  change.added = lines_of(runs, feeds_of(runs, change.removed));
  change.one_line = change.removed.size() == 1 && change.added.size() == 1 &&
                    change.removed.front().ended == change.added.front().ended;
  return change;
}

// Whether the change leaves its last line without the line feed that ended
// it, so that the next old line joins it.
bool takes_final_feed(const Changed_lines& change) {
  return !change.added.empty() && !change.added.back().ended && !change.removed.empty() &&
         change.removed.back().ended;
}

// Whether the change leaves its lines as they were.
bool changes_nothing(Raw_cursor& cursor, const Changed_lines& change) {
  if (change.removed.size() != change.added.size()) return false;
  for (std::size_t k = 0; k < change.removed.size(); ++k)
    if (!same_text(cursor, change.removed[k], change.added[k])) return false;
  return true;
}

// The change of blocks[b], grown by the old lines that its edits join to it,
// as diff writes a line feed taken away: the old lines, then the joined one,
// never a line without its line feed in the middle of the text. `b` moves
// past the blocks that the joined lines take in.
Changed_lines joined_change(Raw_cursor& cursor, const Edits_of_input& edits,
                            const std::vector<Block>& blocks, std::size_t& b) {
  Block block = blocks[b];
  Changed_lines change = change_of(cursor, edits, block);
  while (takes_final_feed(change)) {
    ++block.last_line;
    for (; b + 1 < blocks.size() && blocks[b + 1].first_line <= block.last_line; ++b) {
      block.last_line = std::max(block.last_line, blocks[b + 1].last_line);
      block.end = blocks[b + 1].end;
    }
    Changed_lines joined = change_of(cursor, edits, block);
    if (joined.removed.size() == change.removed.size()) break;  // no line after it
    change = std::move(joined);
  }
  return change;
}

}  // namespace

bool numbered_line(Raw_cursor& cursor, std::int64_t line, Spliced_line& out) {
  std::int64_t start = 0;
  try {
    start = cursor.find_line_offset(line);
  } catch (const std::out_of_range&) {
    return false;  // past the last line
  }
  out = old_line_at(cursor, start);
  return out.size > 0;
}

std::vector<Changed_lines> changed_lines(Raw_cursor& cursor, const Edits_of_input& edits) {
  std::vector<Changed_lines> changes;
  std::int64_t shift = 0;  // lines added less lines removed, so far
  const std::vector<Block> blocks = blocks_of(cursor, edits.edits);
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    Changed_lines change = joined_change(cursor, edits, blocks, b);
    change.new_line = change.old_line + shift;
    shift += static_cast<std::int64_t>(change.added.size()) -
             static_cast<std::int64_t>(change.removed.size());
    if (!change.one_line) {
      change.written.clear();
      trim(cursor, change);
    }
    if (!changes_nothing(cursor, change)) changes.push_back(std::move(change));
  }
  return changes;
}

}  // namespace vantel::detail
