// SPDX-License-Identifier: MIT
#include "fix/spliced_line.hpp"

#include "input/line_reader.hpp"

#include <algorithm>
#include <utility>

namespace vantel::detail {

namespace {

constexpr std::int64_t piece = std::int64_t{1} << 16;

}  // namespace

void read_spliced(Raw_cursor& cursor, const Spliced_line& line, std::int64_t from, std::int64_t to,
                  const std::function<void(std::string_view)>& take) {
  Line_reader reader(cursor);
  std::int64_t at = 0;  // where the run starts in the line
  for (const Line_run& run : line.runs) {
    const std::int64_t a = std::max(from - at, std::int64_t{0});
    const std::int64_t b = std::min(to - at, run.size);
    if (a < b) {
      if (run.from_input)
        read_span(reader, run.start + a, run.start + b, take);
      else
        take(run.text.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a)));
    }
    at += run.size;
  }
}

void read_spliced(Raw_cursor& cursor, const Spliced_line& line,
                  const std::function<void(std::string_view)>& take) {
  read_spliced(cursor, line, 0, line.size, take);
}

std::string text_of(Raw_cursor& cursor, const Spliced_line& line) {
  std::string text;
  read_spliced(cursor, line, [&](std::string_view bytes) { text.append(bytes); });
  return text;
}

bool same_text(Raw_cursor& cursor, const Spliced_line& a, const Spliced_line& b) {
  if (a.size != b.size) return false;
  std::string in_a;
  std::string in_b;
  for (std::int64_t at = 0; at < a.size; at += piece) {
    const std::int64_t to = std::min(a.size, at + piece);
    in_a.clear();
    in_b.clear();
    read_spliced(cursor, a, at, to, [&](std::string_view bytes) { in_a.append(bytes); });
    read_spliced(cursor, b, at, to, [&](std::string_view bytes) { in_b.append(bytes); });
    if (in_a != in_b) return false;
  }
  return true;
}

std::vector<Spliced_line> lines_of(const std::vector<Line_run>& runs,
                                   const std::vector<std::int64_t>& feeds) {
  std::vector<Spliced_line> lines;
  Spliced_line line;
  std::size_t next = 0;  // the next feed
  std::int64_t at = 0;   // where the run starts
  for (const Line_run& run : runs) {
    for (std::int64_t a = 0; a < run.size;) {
      const std::int64_t cut =
          next < feeds.size() ? std::min(feeds[next] - at, run.size) : run.size;
      Line_run part = run;
      part.size = cut - a;
      if (run.from_input)
        part.start += a;
      else
        part.text = run.text.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(cut - a));
      line.runs.push_back(part);
      line.size += part.size;
      a = cut;
      if (next < feeds.size() && at + a == feeds[next]) {
        line.ended = true;
        lines.push_back(std::move(line));
        line = Spliced_line();
        ++next;
      }
    }
    at += run.size;
  }
  if (line.size > 0) lines.push_back(std::move(line));
  return lines;
}

}  // namespace vantel::detail
