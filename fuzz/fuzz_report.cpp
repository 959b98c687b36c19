// SPDX-License-Identifier: MIT
// Draws reports of fuzzer-chosen texts, labels, messages and options, and
// checks that only documented failures escape, that every tag opens and
// closes within one row, that no control byte but the line feed reaches the
// output and no line feed of a text is drawn escaped, that the rows of text stay within the maximum
// width, that drawing again gives the same bytes, and that a stream that throws at any byte leaves
// no tag of the report's open inside the caller's, that lines sliced for their windows draw as
// lines read whole, and that a label drawn alone shows its first highlighted cluster with its
// markers under it, however narrow the window. The options are those that came before Layout, which
// reach the same drawing. Reports grow fixes and children: apply must agree
// with a plain model of the edits, a fix that cannot be applied is left out
// with a note while the report still draws (its labels first, as without
// it), and a fix of one edit inside one line must draw that line as the
// model patches it. Every label that marks anything is visible: marked, or
// named in a note when it reaches past the end of its input. The exported formats fail together and
// write well-formed output, the same for file inputs as for strings, on a
// file's first reading as on its second.
#include <vantel/vantel.hpp>
#include "full_buf.hpp"
#include "fuzz_check.hpp"
#include "helpers.hpp"

#include "draw/line_slice.hpp"
#include "text/cluster_walk.hpp"

#include <fuzzer/FuzzedDataProvider.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <ios>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace {

using vantel::Input;
using vantel::Label;
using vantel::Position;

struct Drawn {
  std::string out;
  int depth = 0;
  bool balanced = true;
};

Drawn draw(const vantel::Report& report, const vantel::Layout& options) {
  Drawn d;
  std::ostringstream out;
  vantel::Formatter f(out);
  vantel::Stag_functions functions;
  functions.print_open_stag = [&](const vantel::Stag&) {
    // A tag opens only where nothing else is open.
    if (d.depth != 0) d.balanced = false;
    ++d.depth;
  };
  functions.print_close_stag = [&](const vantel::Stag&) {
    if (--d.depth != 0) d.balanced = false;
  };
  f.set_stag_functions(std::move(functions));
  f.set_print_tags(true);
  const auto failure = fuzz::outcome([&] { vantel::pp_report(f, report, options); });
  CHECK(failure != fuzz::Failure::overflow);
  if (failure == fuzz::Failure::out_of_range) CHECK(out.str().empty());
  d.out = out.str();
  return d;
}

std::int64_t position(FuzzedDataProvider& d, std::int64_t size) {
  switch (d.ConsumeIntegralInRange(0, 9)) {
    case 0:
      return -1;
    case 1:
      return d.ConsumeIntegral<std::int64_t>();
    default:
      return d.ConsumeIntegralInRange<std::int64_t>(-2, size + 4);
  }
}

// The offsets of a label of one line that covers at least one byte of its
// text: [start, end) within the line that starts at `line_start`, whose text
// is `line`. False for any other label.
struct One_line_label {
  std::string_view line;
  std::size_t start = 0;  // in the line
};

bool one_line_label(const std::string& text, std::int64_t start, std::int64_t end,
                    One_line_label& out) {
  const auto size = static_cast<std::int64_t>(text.size());
  if (start < 0 || start >= end || end > size) return false;
  const std::size_t from = text.rfind('\n', static_cast<std::size_t>(start) - (start > 0 ? 1 : 0));
  std::size_t line_start = from == std::string::npos ? 0 : from + 1;
  if (start == 0 || text[static_cast<std::size_t>(start) - 1] == '\n')
    line_start = static_cast<std::size_t>(start);
  std::size_t line_end = text.find('\n', line_start);
  if (line_end == std::string::npos) line_end = text.size();
  if (static_cast<std::size_t>(end) > line_end) return false;
  std::string_view line(text.data() + line_start, line_end - line_start);
  if (line_end < text.size() && !line.empty() && line.back() == '\r') line.remove_suffix(1);
  out.line = line;
  out.start = static_cast<std::size_t>(start) - line_start;
  return out.start < line.size();
}

// Whether a report of one label, drawn as `out`, shows the cluster that holds
// its first byte on its text row, with markers under every cell of it and no
// cut marker before them.
bool shows_first_cluster(const One_line_label& label, const std::string& out, int tab_width,
                         char marker) {
  vantel::detail::Cluster_walk walk(label.line, tab_width);
  vantel::detail::Cluster first;
  while (walk.next(first) && first.end <= label.start) {
  }
  const std::string_view shown = first.shown(label.line);
  std::istringstream rows(out);
  std::string row;
  std::string under;
  // The text row is the first one with a line number.
  while (std::getline(rows, row)) {
    const std::size_t bar = row.find(" | ");
    if (bar != std::string::npos && bar > 0 && row[bar - 1] >= '0' && row[bar - 1] <= '9') break;
  }
  if (!std::getline(rows, under)) return false;
  const std::size_t bar = row.find(" | ") + 3;
  if (under.size() <= bar) return false;
  const std::size_t lit = under.find(marker, bar);
  if (lit == std::string::npos || under.find_first_not_of(' ', bar) != lit) return false;
  const auto column = static_cast<std::int64_t>(lit - bar);
  // The text row's cells: every piece of it is printable, tabs expanded.
  const std::string content = row.substr(bar);
  vantel::detail::Cluster_walk cells(content, tab_width);
  vantel::detail::Cluster c;
  std::size_t byte = 0;
  while (cells.next(c) && c.column < column) byte = c.end;
  if (cells.column() < column || content.compare(byte, shown.size(), shown) != 0) return false;
  std::int64_t width = 0;
  for (std::size_t k = lit; k < under.size() && under[k] == marker; ++k) ++width;
  return width >= first.width;
}

// SARIF and the one-line format resolve every label: both fail or neither
// does; LSP JSON, which resolves secondary labels only as the related
// information of primary ones, fails only where they fail. What they write is well-formed: JSON
// that a strict parser (which checks UTF-8 too) takes, ranges that do not end before they start,
// and one-line output made of whole, non-empty lines.
void check_exports(const vantel::Report& report) {
  std::string lsp;
  std::string lines;
  std::string sarif;
  vantel::Sarif_log log({"fuzz", {}, {}, {}});
  const fuzz::Failure a = fuzz::outcome([&] { lsp = vantel::to_lsp_json(report); });
  const fuzz::Failure b = fuzz::outcome([&] { lines = vantel::to_one_line(report); });
  const fuzz::Failure c = fuzz::outcome([&] {
    log.add(report);
    sarif = log.str();
  });
  CHECK(b == c && (a == fuzz::Failure::none || a == b));
  if (b != fuzz::Failure::none) {
    CHECK(log.size() == 0);
    return;
  }
  CHECK(nlohmann::json::accept(sarif));
  CHECK(nlohmann::json::accept(lsp));
  for (const auto& d : nlohmann::json::parse(lsp)) {
    const auto& start = d["range"]["start"];
    const auto& end = d["range"]["end"];
    CHECK(start["line"] < end["line"] ||
          (start["line"] == end["line"] && start["character"] <= end["character"]));
    CHECK(start["character"] >= 0);
  }
  CHECK(lines.empty() || lines.back() == '\n');
  CHECK(lines.find("\n\n") == std::string::npos && (lines.empty() || lines.front() != '\n'));
}

// Every export of `report`, or the kind of its failure.
struct Exported {
  std::string lsp;
  std::string lines;
  std::string sarif;
  fuzz::Failure failure = fuzz::Failure::none;
  friend bool operator==(const Exported& a, const Exported& b) {
    return a.lsp == b.lsp && a.lines == b.lines && a.sarif == b.sarif && a.failure == b.failure;
  }
};

// Under a base URI, a file input is named by its shown name, as a text is.
Exported export_all(const vantel::Report& report) {
  const char* const base = "file:///src/";
  Exported e;
  e.failure = fuzz::outcome([&] {
    vantel::Lsp_options lsp;
    lsp.base_uri = base;
    e.lsp = vantel::to_lsp_json(report, lsp);
    e.lines = vantel::to_one_line(report);
    vantel::Sarif_log log({"fuzz", {}, {}, {}},
                          {vantel::Sarif_column_kind::Utf16_code_units, base});
    log.add(report);
    e.sarif = log.str();
  });
  return e;
}

// `report` with every source read from `to[k]` where it read `from[k]`.
void swap_inputs(vantel::Report& report, const Input (&from)[2], const Input (&to)[2]) {
  const auto swap = [&](vantel::Source& s) {
    for (int k = 0; k < 2; ++k)
      if (s.input.same_as(from[k])) {
        s.input = to[k];
        return;
      }
  };
  for (Label& label : report.labels) swap(label.source);
  for (vantel::Fix& fix : report.fixes)
    for (vantel::Edit& edit : fix.edits) swap(edit.source);
  for (vantel::Report& child : report.children) swap_inputs(child, from, to);
}

// The exports agree whatever kind of input holds the text and however often
// it was read: a string input, and file inputs fresh for their first call.
void check_exports_agree(const vantel::Report& report, const std::string (&texts)[2],
                         const Input (&inputs)[2]) {
  const Exported expected = export_all(report);
  const test::Temp_file files[2] = {test::Temp_file(texts[0]), test::Temp_file(texts[1])};
  const Input on_file[2] = {Input::file(files[0].path()), Input::file(files[1].path())};
  vantel::Report from_files = report;
  swap_inputs(from_files, inputs, on_file);
  CHECK(export_all(from_files) == expected);
  CHECK(export_all(from_files) == expected);
}

struct Model_edit {
  std::int64_t start;
  std::int64_t end;
  std::string text;
};

// Whether two edits of one input conflict: their bytes overlap, one inserts
// inside the other, or both insert at one place.
bool conflict(const Model_edit& a, const Model_edit& b) {
  if (std::max(a.start, b.start) < std::min(a.end, b.end)) return true;
  if (a.start == a.end && b.start == b.end) return a.start == b.start;
  if (a.start == a.end) return b.start < a.start && a.start < b.end;
  if (b.start == b.end) return a.start < b.start && b.start < a.end;
  return false;
}

// The text that `edits` leave of `text`, or none when they are not sound.
std::optional<std::string> model_apply(const std::string& text, std::vector<Model_edit> edits) {
  for (std::size_t i = 0; i < edits.size(); ++i) {
    const Model_edit& e = edits[i];
    if (e.start < 0 || e.end < e.start || e.end > static_cast<std::int64_t>(text.size()))
      return std::nullopt;
    for (std::size_t j = 0; j < i; ++j)
      if (conflict(edits[j], e)) return std::nullopt;
  }
  // An insertion at the start of a replacement goes before it.
  std::sort(edits.begin(), edits.end(), [](const Model_edit& a, const Model_edit& b) {
    return std::make_pair(a.start, a.end) < std::make_pair(b.start, b.end);
  });
  std::string out;
  std::size_t at = 0;
  for (const Model_edit& e : edits) {
    out.append(text, at, static_cast<std::size_t>(e.start) - at);
    out += e.text;
    at = static_cast<std::size_t>(e.end);
  }
  out.append(text, at, std::string::npos);
  return out;
}

// A line as the text layout shows it.
std::string shown(const std::string& line, int tab_width) {
  std::string out;
  vantel::detail::Cluster_walk walk(line, tab_width);
  vantel::detail::Cluster cluster;
  while (walk.next(cluster)) out += cluster.shown(line);
  return out;
}

// Line `number` (from 1) of `text`, as a report draws it.
std::string line_of(const std::string& text, std::int64_t number) {
  std::size_t from = 0;
  for (std::int64_t n = 1; n < number; ++n) from = text.find('\n', from) + 1;
  const std::size_t lf = text.find('\n', from);
  std::string line = text.substr(from, lf == std::string::npos ? std::string::npos : lf - from);
  if (lf != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// Fixes of fuzzer-chosen edits of both inputs; `model` gets every fix's
// edits, by input.
std::vector<vantel::Fix> make_fixes(FuzzedDataProvider& d, const std::string (&texts)[2],
                                    const Input (&inputs)[2],
                                    std::vector<std::vector<Model_edit>> (&model)[2]) {
  std::vector<vantel::Fix> fixes;
  const int count = d.ConsumeIntegralInRange(0, 3);
  for (int f = 0; f < count; ++f) {
    vantel::Fix& fix = fixes.emplace_back();
    fix.message = d.ConsumeRandomLengthString(12);
    model[0].emplace_back();
    model[1].emplace_back();
    const int edits = d.ConsumeIntegralInRange(1, 3);
    for (int k = 0; k < edits; ++k) {
      const int which = d.ConsumeIntegralInRange(0, 1);
      const auto size = static_cast<std::int64_t>(texts[which].size());
      const std::int64_t start = d.ConsumeIntegralInRange<std::int64_t>(0, size + 1);
      const std::int64_t end = start + d.ConsumeIntegralInRange<std::int64_t>(-1, 6);
      std::string text = d.ConsumeRandomLengthString(8);
      model[which].back().push_back({start, end, text});
      fix.edits.emplace_back(vantel::Source(inputs[which], which == 0 ? "a" : "b"),
                             vantel::Location{Position::of_offset(start), Position::of_offset(end)},
                             std::move(text));
    }
  }
  return fixes;
}

// apply against the model, for every fix at once.
void check_apply(const std::string& text, const Input& input, const std::vector<vantel::Fix>& fixes,
                 const std::vector<std::vector<Model_edit>>& model) {
  std::vector<Model_edit> all;
  for (const auto& edits : model) all.insert(all.end(), edits.begin(), edits.end());
  const std::optional<std::string> expected = model_apply(text, all);
  vantel::Error error;
  const std::string got = vantel::apply(input, fixes, error);
  if (expected) {
    CHECK(!error && got == *expected);
  } else {
    CHECK(error.code == std::errc::invalid_argument ||
          error.code == std::errc::result_out_of_range);
  }
}

// A fix of one edit inside one line of input a, which only writes: the
// drawn report holds that line as the model patches it.
void check_after_line(const vantel::Report& report, const std::string& text,
                      const std::vector<std::vector<Model_edit>>& model) {
  if (report.fixes.size() != 1 || model.size() != 1 || model[0].size() != 1 ||
      report.fixes[0].edits.size() != 1)
    return;
  const Model_edit& e = model[0][0];
  const std::optional<std::string> patched = model_apply(text, {e});
  // The line must be one of the text's, and change.
  const auto size = static_cast<std::int64_t>(text.size());
  if (e.start == size && (text.empty() || text.back() == '\n')) return;
  if (!patched || *patched == text || e.text.empty() || e.text.find('\n') != std::string::npos ||
      std::count(text.begin() + e.start, text.begin() + e.end, '\n') != 0)
    return;
  const std::int64_t number = 1 + std::count(text.begin(), text.begin() + e.start, '\n');
  std::ostringstream out;
  vantel::Formatter f(out);
  if (fuzz::outcome([&] { vantel::pp_report(f, report); }) != fuzz::Failure::none) return;
  const std::string row_text = shown(line_of(*patched, number), vantel::default_tab_width);
  const std::string row = std::to_string(number) + " |" + (row_text.empty() ? "" : " " + row_text);
  std::istringstream rows(out.str());
  bool found = false;
  for (std::string line; std::getline(rows, line) && !found;)
    found = line.size() >= row.size() &&
            line.compare(line.size() - row.size(), row.size(), row) == 0 &&
            line.find_first_not_of(' ') == line.size() - row.size();
  CHECK(found);
}

// Whether drawing `report` fails before printing anything, with
// invalid_argument (or, where `out_of_range_too`, out_of_range).
bool fails_unprinted(const vantel::Report& report, const vantel::Layout& options,
                     bool out_of_range_too) {
  std::ostringstream out;
  vantel::Formatter f(out);
  bool thrown = false;
  try {
    vantel::pp_report(f, report, options);
  } catch (const std::invalid_argument&) {
    thrown = true;
  } catch (const std::out_of_range&) {
    thrown = out_of_range_too;
  }
  return thrown && out.str().empty();
}

// A fix that cannot be applied costs the report nothing: it draws, says so,
// and when no fix can be applied (and no child follows) draws first what it
// draws without them.
void check_fixes_left_out(const vantel::Report& report, const vantel::Layout& layout,
                          bool all_unsound) {
  vantel::Layout options = layout;
  options.width = 0;  // so that the note's words are never wrapped apart
  const Drawn with = draw(report, options);
  if (with.out.empty()) return;  // a label outside its input, which fails
  if (with.out.find("left out, as it cannot be applied") == std::string::npos)
    std::fprintf(stderr, "no note of a fix left out:\n%s", with.out.c_str());
  CHECK(with.out.find("left out, as it cannot be applied") != std::string::npos);
  if (!all_unsound || !report.children.empty()) return;  // children come after the notes
  vantel::Report without = report;
  without.fixes.clear();
  const std::string plain = draw(without, options).out;
  CHECK(with.out.compare(0, plain.size(), plain) == 0);
}

// A label of offsets: its text's size, and whether it reaches past its end.
struct Label_reach {
  bool offsets = false;  // both positions are offsets with a place
  bool past_end = false;
};

template <class Offsets>
std::vector<Label_reach> offsets_of(const std::vector<Offsets>& offsets,
                                    const std::string (&texts)[2]) {
  std::vector<Label_reach> reach;
  for (const Offsets& at : offsets) {
    const auto size = static_cast<std::int64_t>(texts[at.which].size());
    const bool placed = at.start != -1 && at.end != -1;
    reach.push_back({placed, placed && std::max(at.start, at.end) > size});
  }
  return reach;
}

// Every label that marks anything is visible: drawn alone, its marker is
// under the text, or a note names it past the end of its input.
void check_labels_visible(const vantel::Report& report, const std::vector<Label_reach>& reach,
                          const vantel::Layout& options) {
  for (std::size_t k = 0; k < reach.size(); ++k) {
    const Label& label = report.labels[k];
    if (!reach[k].offsets || label.kind == vantel::Label_kind::Context) continue;
    vantel::Report alone;
    alone.message = "m";
    alone.labels = {Label(label.source, label.location, "", label.kind)};
    if (reach[k].past_end) {
      vantel::Layout wide = options;
      wide.width = 0;  // so that the note's words are never wrapped apart
      CHECK(draw(alone, wide).out.find("= note: label 1: bytes ") != std::string::npos);
      continue;
    }
    const std::string out = draw(alone, options).out;
    const char marker = label.kind == vantel::Label_kind::Primary ? '^' : '-';
    bool marked = false;
    std::istringstream rows(out);
    for (std::string row; std::getline(rows, row) && !marked;) {
      const std::size_t bar = row.find_first_not_of(' ');
      marked =
          bar != std::string::npos && row[bar] == '|' && row.find(marker, bar) != std::string::npos;
    }
    CHECK(marked);
  }
}

// Severity words, codes and note kinds are words: drawn on one row, escaped.
bool words_hold_line_feed(const vantel::Report& report) {
  std::vector<const vantel::Report*> pending{&report};
  while (!pending.empty()) {
    const vantel::Report* r = pending.back();
    pending.pop_back();
    if (r->severity.word().find('\n') != std::string_view::npos ||
        r->code.find('\n') != std::string::npos)
      return true;
    for (const vantel::Note& note : r->notes)
      if (note.kind.find('\n') != std::string::npos) return true;
    for (const vantel::Report& child : r->children) pending.push_back(&child);
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider d(data, size);
  const std::string texts[2] = {d.ConsumeRandomLengthString(2048),
                                d.ConsumeRandomLengthString(512)};
  const Input inputs[2] = {Input::string(texts[0]), Input::string(texts[1])};

  vantel::Report report;
  report.severity = vantel::Severity::of_word(d.ConsumeRandomLengthString(12));
  report.code = d.ConsumeRandomLengthString(8);
  report.message = d.ConsumeRandomLengthString(40);
  const int labels = d.ConsumeIntegralInRange(0, d.ConsumeBool() ? 40 : 6);
  // Each label's input and offsets, when both of its positions are offsets.
  struct Offsets {
    int which;
    std::int64_t start;
    std::int64_t end;
  };
  std::vector<Offsets> offsets;
  for (int i = 0; i < labels; ++i) {
    const int which = d.ConsumeIntegralInRange(0, 1);
    const auto length = static_cast<std::int64_t>(texts[which].size());
    Offsets at{which, position(d, length), position(d, length)};
    Position start = Position::of_offset(at.start);
    const Position end = Position::of_offset(at.end);
    if (d.ConsumeIntegralInRange(0, 5) == 0) {
      const std::int64_t line = d.ConsumeIntegralInRange<std::int64_t>(-1, 40);
      start = Position::of_line_col(line, d.ConsumeIntegralInRange<std::int64_t>(-2, 80));
      at.start = -1;
    }
    offsets.push_back(at);
    report.labels.emplace_back(inputs[which], which == 0 ? "a" : "b\x1b",
                               vantel::Location{start, end}, d.ConsumeRandomLengthString(24),
                               static_cast<vantel::Label_kind>(d.ConsumeIntegralInRange(0, 2)));
  }
  const int notes = d.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < notes; ++i)
    report.notes.push_back({d.ConsumeRandomLengthString(6), d.ConsumeRandomLengthString(40)});

  vantel::Layout options;
  options.tab_width = d.ConsumeIntegralInRange(0, 65);
  options.width = d.ConsumeBool() ? 0 : d.ConsumeIntegralInRange<std::int64_t>(-1, 100);
  const bool valid = options.tab_width >= 1 && options.tab_width <= 64 && options.width >= 0;

  std::vector<std::vector<Model_edit>> model[2];
  report.fixes = make_fixes(d, texts, inputs, model);
  check_apply(texts[0], inputs[0], report.fixes, model[0]);
  check_apply(texts[1], inputs[1], report.fixes, model[1]);
  bool fixes_sound = true;
  bool fixes_unsound = !report.fixes.empty();  // every one of them
  for (std::size_t f = 0; f < report.fixes.size(); ++f) {
    bool sound = true;
    for (int which = 0; which < 2; ++which)
      sound = sound && model_apply(texts[which], model[which][f]);
    fixes_sound = fixes_sound && sound;
    fixes_unsound = fixes_unsound && !sound;
  }
  if (valid && fixes_sound && model[1].size() == 1 && model[1][0].empty())
    check_after_line(report, texts[0], model[0]);
  // Children of their own, with labels in either input and children of theirs.
  const int children = d.ConsumeIntegralInRange(0, 3);
  for (int c = 0; c < children; ++c) {
    vantel::Report& child = d.ConsumeBool() || report.children.empty()
                                ? report.children.emplace_back()
                                : report.children.back().children.emplace_back();
    child.severity = vantel::Severity::of_word(d.ConsumeRandomLengthString(8));
    child.message = d.ConsumeRandomLengthString(20);
    const int which = d.ConsumeIntegralInRange(0, 1);
    const auto length = static_cast<std::int64_t>(texts[which].size());
    if (d.ConsumeBool())
      child.labels.emplace_back(inputs[which], "c",
                                vantel::Location{Position::of_offset(position(d, length)),
                                                 Position::of_offset(position(d, length))},
                                d.ConsumeRandomLengthString(12));
  }
  if (!valid) {
    // A report that fails, fails before anything is printed.
    CHECK(fails_unprinted(report, options, false));
    return 0;
  }
  if (!fixes_sound) check_fixes_left_out(report, options, fixes_unsound);
  check_labels_visible(report, offsets_of(offsets, texts), options);

  check_exports(report);
  check_exports_agree(report, texts, inputs);
  // The same report with a path: events in either input, at any depth, and
  // more of them than are drawn.
  vantel::Report with_path = report;
  const int events = d.ConsumeIntegralInRange(0, d.ConsumeBool() ? 120 : 4);
  for (int e = 0; e < events; ++e) {
    const int which = d.ConsumeIntegralInRange(0, 1);
    const auto length = static_cast<std::int64_t>(texts[which].size());
    with_path.path.emplace_back(vantel::Source(inputs[which], which == 0 ? "a" : "b"),
                                vantel::Location{Position::of_offset(position(d, length)),
                                                 Position::of_offset(position(d, length))},
                                d.ConsumeRandomLengthString(12),
                                d.ConsumeIntegralInRange<std::int64_t>(-2, 1000));
  }
  check_exports(with_path);
  CHECK(draw(with_path, options).balanced);
  const Drawn first = draw(report, options);
  CHECK(first.balanced && first.depth == 0);
  const Drawn second = draw(report, options);
  CHECK(second.out == first.out);
  // Lines sliced for their windows, as long ones are, draw as read whole.
  {
    std::atomic<std::size_t>& above = vantel::detail::slice_above();
    const std::size_t usual = above.exchange(0);
    const Drawn sliced = draw(report, options);
    above.store(usual);
    if (sliced.out != first.out)
      std::fprintf(stderr, "read whole:\n%s--\nsliced:\n%s--\n", first.out.c_str(),
                   sliced.out.c_str());
    CHECK(sliced.out == first.out);
  }

  // Line feeds end rows, tags never span one, and nothing else below 0x20
  // (nor DEL) is written: everything is escaped.
  for (const char c : first.out) {
    const auto byte = static_cast<unsigned char>(c);
    CHECK(byte == '\n' || (byte >= 0x20 && byte != 0x7F));
  }
  CHECK(first.out.empty() || first.out.back() == '\n');
  // A line feed in any text starts a row of its own: none is drawn escaped,
  // unless the input spells the escape itself.
  // Notes on bad spans quote a label's or a fix's message on their one
  // row, escaped as names are.
  const std::string_view spelled(reinterpret_cast<const char*>(data), size);
  // Narrow widths wrap those notes anywhere between words, so look for them
  // with the blanks taken out.
  std::string unbroken;
  for (const char c : first.out)
    if (c != ' ' && c != '\n') unbroken += c;
  const bool quotes = unbroken.find("reachpasttheend") != std::string::npos ||
                      unbroken.find("cannotbeapplied") != std::string::npos;
  if (spelled.find("<0x0A>") == std::string_view::npos && !quotes && !words_hold_line_feed(report))
    CHECK(first.out.find("<0x0A>") == std::string::npos);

  // A row of text: "N | ", at most the margin's lanes, a marker a side and
  // the window, which is at most max_width wide.
  if (options.width > 0) {
    std::istringstream rows(first.out);
    for (std::string row; std::getline(rows, row);) {
      const std::size_t digits = row.find_first_not_of(' ');
      const std::size_t bar = row.find_first_not_of("0123456789", digits);
      if (digits == std::string::npos || bar == std::string::npos || bar == digits ||
          row.compare(bar, 3, " | ") != 0)
        continue;
      const std::string rest = row.substr(bar + 3);
      vantel::detail::Cluster_walk walk(rest, options.tab_width);
      vantel::detail::Cluster cluster;
      while (walk.next(cluster)) {
      }
      // A window is wider only to hold one cluster: at most "<U+10FFFF>", or
      // a tab.
      const std::int64_t window = std::max<std::int64_t>({options.width, 10, options.tab_width});
      if (walk.column() > window + 2 + labels + 1)
        std::fprintf(stderr, "max_width %lld, row:\n%s\nin:\n%s",
                     static_cast<long long>(options.width), row.c_str(), first.out.c_str());
      CHECK(walk.column() <= window + 2 + labels + 1);
    }
  }

  // However narrow the window, a label drawn alone shows its first
  // highlighted cluster, with its markers.
  for (std::size_t k = 0; k < offsets.size(); ++k) {
    One_line_label one;
    if (!one_line_label(texts[offsets[k].which], offsets[k].start, offsets[k].end, one)) continue;
    vantel::Report alone;
    alone.message = "m";
    alone.labels = {report.labels[k]};
    const Drawn drawn = draw(alone, options);
    if (report.labels[k].kind == vantel::Label_kind::Context) continue;
    const bool primary = report.labels[k].kind == vantel::Label_kind::Primary;
    if (!shows_first_cluster(one, drawn.out, options.tab_width, primary ? '^' : '-'))
      std::fprintf(stderr, "label %zu, max_width %lld:\n%s", k,
                   static_cast<long long>(options.width), drawn.out.c_str());
    CHECK(shows_first_cluster(one, drawn.out, options.tab_width, primary ? '^' : '-'));
  }

  // A stream that stops taking bytes halfway: once it has failed, the report
  // opens no more tags, a sign that it stopped drawing rather than drawing
  // into nothing.
  {
    test::Full_buf full(static_cast<std::streamsize>(first.out.size() / 2));
    std::ostream refusing(&full);
    vantel::Formatter g(refusing);
    int late = 0;
    vantel::Stag_functions counting;
    counting.print_open_stag = [&](const vantel::Stag&) { late += refusing.bad() ? 1 : 0; };
    g.set_stag_functions(std::move(counting));
    g.set_print_tags(true);
    if (fuzz::outcome([&] { vantel::pp_report(g, report, options); }) == fuzz::Failure::none)
      CHECK(late == 0);
  }

  // A stream that throws after some bytes: the caller's tag is the only one
  // left open, and the failure is the stream's.
  test::Full_buf buf(static_cast<std::streamsize>(first.out.size() / 2));
  std::ostream out(&buf);
  out.exceptions(std::ios_base::badbit);
  vantel::Formatter f(out);
  int depth = 0;
  vantel::Stag_functions functions;
  functions.print_open_stag = [&depth](const vantel::Stag&) { ++depth; };
  functions.print_close_stag = [&depth](const vantel::Stag&) { --depth; };
  f.set_stag_functions(std::move(functions));
  f.set_print_tags(true);
  const vantel::Stag host{"host"};
  f.open_stag(host);
  bool failed = false;
  bool outside = false;  // a position outside the input, found before drawing
  try {
    vantel::pp_report(f, report, options);
  } catch (const std::ios_base::failure&) {
    failed = true;
  } catch (const std::out_of_range&) {
    outside = true;
  }
  CHECK(depth == 1);
  if (!outside) CHECK(failed == (buf.taken.size() < first.out.size()));
  return 0;
}
