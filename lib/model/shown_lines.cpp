// SPDX-License-Identifier: MIT
// The lines a section shows, why, and the lanes of its labels over several
// lines.
#include "model/resolved_report.hpp"
#include "support/stable_sort.hpp"
#include "support/wide_integer.hpp"

#include <algorithm>

namespace vantel::detail {

namespace {

// Whether the input has line `line`, which lies after every labelled one.
bool has_line(const Section& section, std::int64_t line) {
  Spliced_line text;
  return numbered_line(*section.cursor, line, text);
}

// Up to `before` lines before and `after` lines after each labelled line,
// each line taken once however much the stretches overlap. Lines after the
// last labelled one are asked for one by one, so that no more of the input
// is read than is shown.
void add_context(Section& section, std::int64_t before, std::int64_t after) {
  std::vector<std::int64_t>& lines = section.lines;
  std::int64_t known = lines.back();  // lines up to it exist
  std::int64_t last = max_offset;     // the input's last line, once found
  std::int64_t covered = 0;           // lines up to it are taken
  const std::size_t labelled = lines.size();
  for (std::size_t i = 0; i < labelled; ++i) {
    const std::int64_t line = lines[i];
    const std::int64_t from = std::max({line - before, covered + 1, std::int64_t{1}});
    const std::int64_t to = std::min(line > max_offset - after ? max_offset : line + after, last);
    for (std::int64_t k = from; k <= to; ++k) {
      if (k > known) {
        if (!has_line(section, k)) {
          last = k - 1;
          break;
        }
        known = k;
      }
      if (k != line) lines.push_back(k);
      covered = k;
    }
  }
}

// The lines inside a label over several lines, and the last one of a
// context label, which has no marks: up to `most` inside whole, else the
// first `most - 1` of them, which the "..." row and the last line follow.
void add_body(std::vector<std::int64_t>& lines, const Placed_label& p, std::int64_t most) {
  if (p.context_only()) {
    lines.push_back(p.first_line);
    lines.push_back(p.last_line);
  }
  const std::int64_t inside = p.last_line - p.first_line - 1;
  const std::int64_t shown = inside <= most ? inside : most - 1;
  for (std::int64_t k = 1; k <= shown; ++k) lines.push_back(p.first_line + k);
}

// The lines to show, and where each label opens and closes.
void mark_lines(Section& section, const Line_plan& plan) {
  std::vector<std::int64_t>& lines = section.lines;
  lines.reserve(2 * section.labels.size());
  section.marks.reserve(section.labels.size());
  for (std::size_t k = 0; k < section.labels.size(); ++k) {
    const Placed_label& p = section.labels[k];
    if (p.context_only()) continue;
    lines.push_back(p.first_line);
    lines.push_back(p.last_line);
    section.marks.emplace_back(p.first_line, k);
    if (p.multi_line()) section.marks.emplace_back(p.last_line, k);
  }
  std::sort(section.marks.begin(), section.marks.end());
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  const std::size_t marked = lines.size();
  if (!lines.empty() && (plan.before > 0 || plan.after > 0))
    add_context(section, plan.before, plan.after);
  for (const Placed_label& p : section.labels) add_body(lines, p, plan.body);
  if (lines.size() > marked) {
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  }
  // A single line between two shown ones is shown too: it takes no more
  // room than the "..." row that would stand for it. Those come in order.
  const std::size_t shown = lines.size();
  for (std::size_t i = 1; i < shown; ++i)
    if (lines[i] - lines[i - 1] == 2) lines.push_back(lines[i] - 1);
  std::inplace_merge(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(shown),
                     lines.end());
}

// Each shown line's reason, in one walk down the lines and the marks: past
// the marks above a line, the labels over several lines opened and not yet
// closed run through it.
void give_reasons(Section& section) {
  section.reasons.clear();
  section.reasons.reserve(section.lines.size());
  std::size_t mark = 0;
  std::size_t open = 0;
  for (const std::int64_t line : section.lines) {
    for (; mark < section.marks.size() && section.marks[mark].first < line; ++mark) {
      const Placed_label& p = section.labels[section.marks[mark].second];
      if (!p.multi_line()) continue;
      if (section.marks[mark].first == p.first_line)
        ++open;
      else
        --open;
    }
    if (mark < section.marks.size() && section.marks[mark].first == line)
      section.reasons.push_back(Line_reason::Labelled);
    else
      section.reasons.push_back(open > 0 ? Line_reason::Inside : Line_reason::Context);
  }
}

// A label over several lines takes the leftmost lane free since before its
// first line; outer labels, which open first, run leftmost.
void assign_lanes(Section& section) {
  std::vector<Placed_label*> multi;
  for (Placed_label& p : section.labels)
    if (p.multi_line() && !p.context_only()) multi.push_back(&p);
  stable_sort_range(multi.begin(), multi.end(), [](const Placed_label* a, const Placed_label* b) {
    return a->first_line != b->first_line ? a->first_line < b->first_line
                                          : a->last_line > b->last_line;
  });
  std::vector<std::int64_t> lane_end;  // the last line of each lane's latest label
  for (Placed_label* p : multi) {
    std::size_t lane = 0;
    while (lane < lane_end.size() && lane_end[lane] >= p->first_line) ++lane;
    if (lane == lane_end.size()) lane_end.push_back(0);
    lane_end[lane] = p->last_line;
    p->lane = lane;
  }
  section.lanes = lane_end.size();
}

}  // namespace

void plan_lines(Section& section, const Line_plan& plan) {
  mark_lines(section, plan);
  give_reasons(section);
  assign_lanes(section);
}

}  // namespace vantel::detail
