// SPDX-License-Identifier: MIT
#include "export/sarif_places.hpp"

#include "export/descendants.hpp"
#include "export/edit_groups.hpp"
#include "export/sarif_run.hpp"
#include "input/uri.hpp"
#include "model/place.hpp"
#include "model/span_faults.hpp"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <utility>

namespace vantel::detail {

namespace {

// FNV-1a, 64 bits: stable across runs and builds, unlike std::hash.
std::uint64_t fnv1a(std::string_view text, std::uint64_t hash = 14695981039346656037ULL) {
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  return hash;
}

class Resolver {
 public:
  Resolver(Region_reader& regions, Sarif_places& out) : regions_(regions), out_(out) {}

  std::optional<Sarif_place> place(const Source& source, const Location& location) {
    std::optional<Region> region = regions_.read(source, location);
    if (!region) return std::nullopt;
    return Sarif_place{&source, std::move(*region)};
  }

  // Primary labels as locations, secondary ones as related locations; the
  // line hash from the first primary one's line.
  void labels(const Report& report, const std::string& id) {
    struct Placed {
      const Label* label;
      Sarif_place place;
    };
    std::vector<Placed> placed;
    for (std::size_t k = 0; k < report.labels.size(); ++k) {
      const Label& label = report.labels[k];
      std::optional<Sarif_place> p = place(label.source, label.location);
      if (!p) continue;
      // Checked as the region is read, not once more apart.
      if (p->region.size_if_past)
        out_.notes.push_back(past_end_note(label, k, p->region.span, *p->region.size_if_past));
      if (label.kind == Label_kind::Context) continue;  // it marks nothing
      placed.push_back({&label, std::move(*p)});
    }
    const auto label_of = [](const Placed& p) -> const Label& { return *p.label; };
    const auto first = first_primary(placed.begin(), placed.end(), label_of);
    if (first != placed.end()) {
      // The line is hashed piece by piece: a long one is never held.
      // Hashed piece by piece as if joined by NULs: no string is built.
      const std::string uri = uri_of_name(first->label->source.name);
      std::uint64_t hash = fnv1a(id);
      for (const std::string_view piece :
           {std::string_view(uri), std::string_view(report.message)}) {
        hash = fnv1a(std::string_view("\0", 1), hash);
        hash = fnv1a(piece, hash);
      }
      hash = fnv1a(std::string_view("\0", 1), hash);
      trimmed_line(first->label->source.input, first->place.region.start_line_offset,
                   [&](std::string_view piece) { hash = fnv1a(piece, hash); });
      out_.line_hash = hash;
    }
    for (Placed& p : placed)
      (p.label->kind == Label_kind::Secondary ? out_.related : out_.locations)
          .push_back({std::move(p.place), p.label->message});
  }

  // Each child's labels as related locations, or the report's place when it
  // has none.
  void children(const Report& report) {
    const std::optional<Sarif_place> first =
        out_.locations.empty() ? std::nullopt : std::optional(out_.locations.front().place);
    std::size_t index = 0;
    for (const auto& [child, depth] : nested_descendants(report)) {
      ++index;
      std::string text(child->severity.word());
      text += ": " + child->message;
      bool placed = false;
      for (const Label& label : child->labels) {
        if (label.kind == Label_kind::Context) continue;
        std::optional<Sarif_place> p = place(label.source, label.location);
        if (!p) continue;
        out_.related.push_back({std::move(*p),
                                label.message.empty() ? text : text + ": " + label.message, depth,
                                Sarif_child{index, child, &label}});
        placed = true;
      }
      if (!placed && first)
        out_.related.push_back({*first, text, depth, Sarif_child{index, child, nullptr}});
    }
  }

  void path(const Report& report) {
    for (std::size_t k = 0; k < report.path.size(); ++k) {
      const Path_event& event = report.path[k];
      if (std::optional<Sarif_place> p = place(event.source, event.location))
        out_.steps.push_back(
            {std::move(*p), &event.message, std::max<std::int64_t>(event.depth, 0), k + 1});
    }
  }

  // A fix that cannot be applied is left out, and a note says so.
  void fixes(const Report& report) {
    Span_faults faults = fix_faults(report);
    for (Note& note : faults.notes) out_.notes.push_back(std::move(note));
    for (std::size_t k = 0; k < report.fixes.size(); ++k) {
      if (!faults.fix_applies[k]) continue;
      const Fix& fix = report.fixes[k];
      Sarif_fix f{&fix, {}};
      for (const auto& [source, edits] : edit_groups(fix)) {
        Sarif_change change{source, {}};
        for (const Edit* edit : edits)
          if (std::optional<Sarif_place> p = place(*source, edit->location))
            change.replacements.push_back({std::move(p->region), &edit->replacement});
        if (!change.replacements.empty()) f.changes.push_back(std::move(change));
      }
      out_.fixes.push_back(std::move(f));
    }
  }

  // Keeps the first `most` of `list`, counting what goes.
  template <typename T>
  void cut(std::vector<T>& list, std::size_t most, std::size_t& lost) {
    lost += past(list.size(), most);
    if (list.size() > most)
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(most), list.end());
  }

 private:
  Region_reader& regions_;
  Sarif_places& out_;
};

}  // namespace

Sarif_places sarif_places(const Report& report, const std::string& id, Region_reader& regions) {
  Sarif_places out;
  Resolver resolve(regions, out);
  resolve.labels(report, id);
  resolve.children(report);
  resolve.path(report);
  resolve.fixes(report);
  std::size_t lost = 0;
  resolve.cut(out.locations, max_locations_per_result, lost);
  resolve.cut(out.related, max_locations_per_result, lost);
  if (lost > 0) ++out.cut_lists;
  std::size_t lost_steps = 0;
  resolve.cut(out.steps, max_flow_locations_per_result, lost_steps);
  if (lost_steps > 0) ++out.cut_lists;
  out.cut_locations = lost + lost_steps;
  return out;
}

}  // namespace vantel::detail
