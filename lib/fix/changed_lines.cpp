// SPDX-License-Identifier: MIT
#include "fix/changed_lines.hpp"

#include <algorithm>
#include <stdexcept>

namespace vantel::detail {

namespace {

// The lines of `text`, each with its line feed.
std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t lf = text.find('\n', from);
    const std::size_t to = lf == std::string::npos ? text.size() : lf + 1;
    lines.push_back(text.substr(from, to - from));
    from = to;
  }
  return lines;
}

// Takes the lines that are the same at both ends off a change.
void trim(Changed_lines& change) {
  std::vector<std::string>& old = change.removed;
  std::vector<std::string>& now = change.added;
  std::size_t front = 0;
  while (front < old.size() && front < now.size() && old[front] == now[front]) ++front;
  std::size_t back = 0;
  while (back < old.size() - front && back < now.size() - front &&
         old[old.size() - 1 - back] == now[now.size() - 1 - back])
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

// The block's old text, and its first offset.
std::string old_text(Raw_cursor& cursor, Line_reader& reader, const Block& block,
                     std::int64_t& start) {
  start = cursor.find_line_offset(block.first_line);
  std::string text;
  Read_line line;
  bool more = reader.read(start, line);
  for (std::int64_t n = block.first_line; more; ++n) {
    text += line.text;
    if (line.ended) text += '\n';
    if (n == block.last_line) break;
    more = reader.next(line);
  }
  return text;
}

Changed_lines change_of(Raw_cursor& cursor, Line_reader& reader, const Edits_of_input& in,
                        const Block& block) {
  std::int64_t start = 0;
  const std::string old = old_text(cursor, reader, block, start);
  std::string now;
  Changed_lines change;
  std::size_t at = 0;
  for (std::size_t k = block.begin; k < block.end; ++k) {
    const Placed_edit& e = in.edits[k];
    if (e.end - start > static_cast<std::int64_t>(old.size()))
      check_within(in, start + static_cast<std::int64_t>(old.size()));
    const auto from = static_cast<std::size_t>(e.start - start);
    now.append(old, at, from - at);
    change.written.push_back({now.size(), now.size() + e.text.size(), e.end > e.start});
    now += e.text;
    at = static_cast<std::size_t>(e.end - start);
  }
  now.append(old, at, std::string::npos);
  change.old_line = block.first_line;
  change.removed = split_lines(old);
  change.added = split_lines(now);
  change.one_line = change.removed.size() == 1 && change.added.size() == 1 &&
                    (old.back() == '\n') == (now.back() == '\n');
  return change;
}

// Whether the change leaves its last line without the line feed that ended
// it, so that the next old line joins it.
bool takes_final_feed(const Changed_lines& change) {
  return !change.added.empty() && change.added.back().back() != '\n' && !change.removed.empty() &&
         change.removed.back().back() == '\n';
}

// The change of blocks[b], grown by the old lines that its edits join to it,
// as diff writes a line feed taken away: the old lines, then the joined one,
// never a line without its line feed in the middle of the text. `b` moves
// past the blocks that the joined lines take in.
Changed_lines joined_change(Raw_cursor& cursor, Line_reader& reader, const Edits_of_input& edits,
                            const std::vector<Block>& blocks, std::size_t& b) {
  Block block = blocks[b];
  Changed_lines change = change_of(cursor, reader, edits, block);
  while (takes_final_feed(change)) {
    ++block.last_line;
    for (; b + 1 < blocks.size() && blocks[b + 1].first_line <= block.last_line; ++b) {
      block.last_line = std::max(block.last_line, blocks[b + 1].last_line);
      block.end = blocks[b + 1].end;
    }
    Changed_lines joined = change_of(cursor, reader, edits, block);
    if (joined.removed.size() == change.removed.size()) break;  // no line after it
    change = std::move(joined);
  }
  return change;
}

}  // namespace

bool read_numbered_line(Raw_cursor& cursor, Line_reader& reader, std::int64_t line,
                        std::string& out) {
  std::int64_t start = 0;
  try {
    start = cursor.find_line_offset(line);
  } catch (const std::out_of_range&) {
    return false;  // past the last line
  }
  Read_line read;
  if (!reader.read(start, read) || (read.text.empty() && !read.ended)) return false;
  out = std::move(read.text);
  if (read.ended) out += '\n';
  return true;
}

std::vector<Changed_lines> changed_lines(Raw_cursor& cursor, const Edits_of_input& edits) {
  std::vector<Changed_lines> changes;
  Line_reader reader(cursor);
  std::int64_t shift = 0;  // lines added less lines removed, so far
  const std::vector<Block> blocks = blocks_of(cursor, edits.edits);
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    Changed_lines change = joined_change(cursor, reader, edits, blocks, b);
    change.new_line = change.old_line + shift;
    shift += static_cast<std::int64_t>(change.added.size()) -
             static_cast<std::int64_t>(change.removed.size());
    if (!change.one_line) {
      change.written.clear();
      trim(change);
    }
    changes.push_back(std::move(change));
  }
  return changes;
}

}  // namespace vantel::detail
