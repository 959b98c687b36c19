// SPDX-License-Identifier: MIT
#include <vantel/one_line.hpp>

#include "export/descendants.hpp"
#include "model/place.hpp"
#include "model/region.hpp"
#include "model/span_faults.hpp"
#include "support/capture.hpp"

#include <ios>
#include <optional>
#include <ostream>
#include <sstream>
#include <utility>
#include <vector>

namespace vantel {

namespace {

// Line ends would start a line the reader takes for another diagnostic.
void put_flat(std::string& out, std::string_view text) {
  for (const char c : text) out += (c == '\n' || c == '\r') ? ' ' : c;
}

struct Place {
  const std::string* name = nullptr;
  std::int64_t line = 0;
  std::int64_t col = 0;
};

void put_line(std::string& out, const Place* place, std::string_view head, std::string_view text,
              std::string_view more = {}) {
  if (place != nullptr) {
    put_flat(out, *place->name);
    out += ':' + std::to_string(place->line) + ':' + std::to_string(place->col) + ": ";
  }
  put_flat(out, head);
  out += ": ";
  put_flat(out, text);
  if (!more.empty()) {
    out += ": ";
    put_flat(out, more);
  }
  out += '\n';
}

// The report's labels that mark something, each with its place.
std::vector<std::pair<const Label*, Place>> placed_labels(const Report& report,
                                                          detail::Region_reader& regions) {
  std::vector<std::pair<const Label*, Place>> placed;
  for (const Label& label : report.labels) {
    if (label.kind == Label_kind::Context) continue;  // it marks nothing
    if (std::optional<detail::Region> r = regions.read(label.source, label.location))
      placed.push_back({&label, {&label.source.name, r->start_line, r->start_col}});
  }
  return placed;
}

// One report's lines, its children left out; its place, else `fallback`'s,
// is where lines without a location of their own go.
std::optional<Place> put_report(std::string& out, const Report& report,
                                detail::Region_reader& regions,
                                const std::optional<Place>& fallback) {
  std::string head(report.severity.word());
  if (!report.code.empty()) head += "[" + report.code + "]";
  const std::vector<std::pair<const Label*, Place>> placed = placed_labels(report, regions);
  const auto label_of = [](const auto& p) -> const Label& { return *p.first; };
  const auto primary = detail::first_primary(placed.begin(), placed.end(), label_of);
  std::optional<Place> first;
  if (primary != placed.end()) first = primary->second;
  std::string secondary;
  for (const auto& [label, place] : placed) {
    if (label->kind == Label_kind::Secondary)
      put_line(secondary, &place, "note", label->message.empty() ? report.message : label->message);
    else
      put_line(out, &place, head, report.message, label->message);
  }
  if (!first) {
    first = fallback;
    put_line(out, first ? &*first : nullptr, head, report.message);
  }
  out += secondary;
  const detail::Span_faults faults = detail::span_faults(report);
  for (const std::vector<Note>* notes : {&report.notes, &faults.notes})
    for (const Note& note : *notes)
      put_line(out, first ? &*first : nullptr, note.kind.empty() ? "note" : note.kind, note.text);
  return first;
}

}  // namespace

std::string to_one_line(const Report& report) {
  detail::Region_reader regions(Column_unit::Bytes, false);
  std::string out;
  const std::optional<Place> place = put_report(out, report, regions, std::nullopt);
  for (const Report* child : detail::descendants(report)) put_report(out, *child, regions, place);
  return out;
}

std::string to_one_line(const Report& report, Error& error) noexcept {
  std::string out;
  detail::capture(error, [&] { out = to_one_line(report); });
  return out;
}

void write_one_line(std::ostream& out, const Report& report) {
  out << to_one_line(report);
  if (!out) throw std::ios_base::failure("vantel::write_one_line: writing the report failed");
}

void write_one_line(std::ostream& out, const Report& report, Error& error) noexcept {
  detail::capture(error, [&] { write_one_line(out, report); });
}

}  // namespace vantel
