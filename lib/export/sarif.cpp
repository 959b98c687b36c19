// SPDX-License-Identifier: MIT
#include <vantel/sarif.hpp>

#include "export/descendants.hpp"
#include "export/edit_groups.hpp"
#include "export/fallback_text.hpp"
#include "export/json_lines.hpp"
#include "export/json_text.hpp"
#include "export/report_tags.hpp"
#include "export/sarif_run.hpp"
#include "export/uri_check.hpp"
#include "input/uri.hpp"
#include "model/place.hpp"
#include "model/region.hpp"
#include "support/capture.hpp"
#include "support/message_text.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <ios>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace vantel {

namespace {

using detail::Json;

constexpr const char* base_id = "SRCROOT";

const char* applicability_word(Applicability applicability) {
  switch (applicability) {
    case Applicability::Machine_applicable:
      return "machineApplicable";
    case Applicability::Maybe_incorrect:
      return "maybeIncorrect";
    case Applicability::Has_placeholders:
      return "hasPlaceholders";
    case Applicability::Unspecified:
      break;
  }
  return "unspecified";
}

// A message object; bytes that are not UTF-8 are kept in base64 beside it.
Json message(std::string_view text) {
  Json m = Json::object();
  m["text"] = detail::as_utf8(text);
  if (!detail::is_utf8(text)) m["properties"]["binary"] = detail::base64(text);
  return m;
}

// Members are set one by one: an initializer list would build a pair array
// for each, which costs more than the region itself.
Json region_json(const detail::Region& r) {
  Json region = Json::object();
  region["startLine"] = r.start_line;
  region["startColumn"] = r.start_col;
  region["endLine"] = r.end_line;
  region["endColumn"] = r.end_col;
  region["charOffset"] = r.char_offset;
  region["charLength"] = r.char_length;
  if (!r.has_text) return region;
  Json& snippet = region["snippet"];
  snippet["text"] = detail::as_utf8(r.text);
  if (!detail::is_utf8(r.text)) snippet["binary"] = detail::base64(r.text);
  return region;
}

// FNV-1a, 64 bits: stable across runs and builds, unlike std::hash.
std::uint64_t fnv1a(std::string_view text, std::uint64_t hash = 14695981039346656037ULL) {
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  return hash;
}

std::string hex16(std::uint64_t value) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string out(16, '0');
  for (int k = 15; k >= 0; --k, value >>= 4U)
    out[static_cast<std::size_t>(k)] = digits[value & 15U];
  return out;
}

Json rule_json(const Sarif_rule& rule) {
  Json r = {{"id", detail::as_utf8(rule.id)}};
  if (!rule.short_description.empty()) r["shortDescription"] = message(rule.short_description);
  if (!rule.full_description.empty()) r["fullDescription"] = message(rule.full_description);
  if (!rule.help.empty()) r["help"] = message(rule.help);
  if (!rule.help_uri.empty()) r["helpUri"] = detail::as_utf8(rule.help_uri);
  detail::add_rule_metadata(r, rule);
  return r;
}

}  // namespace

struct Sarif_log::Impl {
  Impl(Sarif_tool t, Sarif_options o)
      : tool(std::move(t)),
        options(std::move(o)),
        regions(options.column_kind == Sarif_column_kind::Unicode_code_points
                    ? Column_unit::Code_points
                    : Column_unit::Utf16,
                true) {
    for (const Sarif_rule& rule : tool.rules) {
      detail::check_rule(rule);
      rule_ids.push_back(rule.id);
    }
  }

  Sarif_tool tool;
  Sarif_options options;
  detail::Region_reader regions;
  std::vector<std::string> rule_ids;                  // the tool's, then codes first met
  std::map<std::string, std::string> first_messages;  // of each rule's first result
  std::map<std::string, std::string> first_urls;      // the first code URL of each rule's results
  std::map<std::string, std::int64_t> seen_hashes;
  // Each result as it is written, indented to its depth in the log: a large
  // log is never held as one tree.
  std::vector<std::string> results;
  std::optional<Sarif_invocation> invocation;
  detail::Left_out left_out;
  bool absolute_files = false;  // code scanning then needs a working folder

  Json artifact_location(const Source& source) {
    const bool relative = !options.base_uri.empty();
    Json a = Json::object();
    a["uri"] = detail::artifact_uri(source, relative);
    if (!relative && detail::is_absolute_artifact(source, relative)) absolute_files = true;
    if (relative && !detail::is_absolute_artifact(source, relative)) a["uriBaseId"] = base_id;
    return a;
  }

  // The physical location of `location` in `source`; none for a lexer
  // position without an offset.
  std::optional<Json> physical(const Source& source, const Location& location,
                               detail::Region* out = nullptr) {
    std::optional<detail::Region> region = regions.read(source.input, location);
    if (!region) return std::nullopt;
    Json p = Json::object();
    p["artifactLocation"] = artifact_location(source);
    p["region"] = region_json(*region);
    if (out != nullptr) *out = std::move(*region);
    return p;
  }

  Json fix_json(const Fix& fix) {
    Json changes = Json::array();
    for (const auto& [source, edits] : detail::edit_groups(fix)) {
      Json replacements = Json::array();
      for (const Edit* edit : edits) {
        std::optional<Json> p = physical(*source, edit->location);
        if (!p) continue;
        replacements.push_back(
            {{"deletedRegion", (*p)["region"]}, {"insertedContent", message(edit->replacement)}});
      }
      if (replacements.empty()) continue;
      changes.push_back({{"artifactLocation", artifact_location(*source)},
                         {"replacements", std::move(replacements)}});
    }
    Json f = {{"description", message(detail::fix_text(fix))},
              {"artifactChanges", std::move(changes)}};
    f["properties"] = {{"applicability", applicability_word(fix.applicability)}};
    return f;
  }

  // `depth` is the child's nesting level, 0 for the report's own labels.
  void add_related(Json& related, Json&& location, std::string_view text, std::size_t depth = 0) {
    Json r = Json::object();
    r["id"] = related.size() + 1;
    r["physicalLocation"] = std::move(location);
    if (!text.empty()) r["message"] = message(text);
    if (depth > 0) r["properties"]["nestingLevel"] = depth;
    related.push_back(std::move(r));
  }

  void add_children(const Report& report, Json& related, const Json* place) {
    for (const auto& [child, depth] : detail::nested_descendants(report)) {
      std::string text(child->severity.word());
      text += ": " + child->message;
      bool placed = false;
      for (const Label& label : child->labels) {
        std::optional<Json> p = physical(label.source, label.location);
        if (!p) continue;
        add_related(related, std::move(*p),
                    label.message.empty() ? text : text + ": " + label.message, depth);
        placed = true;
      }
      if (!placed && place != nullptr) add_related(related, Json(*place), text, depth);
    }
  }

  // Readers require a rule: a report without a code is one of its
  // severity's.
  static std::string rule_id(const Report& report) {
    return report.code.empty() ? std::string(report.severity.word()) : report.code;
  }

  // The report's labels: primary ones as locations, secondary ones as
  // related locations; `line_hash` from the first primary one's line.
  void add_labels(const Report& report, const std::string& id, Json& locations, Json& related,
                  std::optional<std::uint64_t>& line_hash) {
    struct Placed {
      const Label* label;
      Json physical;
      std::int64_t line_start;
    };
    std::vector<Placed> placed;
    for (const Label& label : report.labels) {
      detail::Region region;
      if (std::optional<Json> p = physical(label.source, label.location, &region))
        placed.push_back({&label, std::move(*p), region.start_line_offset});
    }
    const auto label_of = [](const Placed& p) -> const Label& { return *p.label; };
    const auto place = detail::first_primary(placed.begin(), placed.end(), label_of);
    if (place != placed.end()) {
      // The line is hashed piece by piece: a long one is never held.
      std::uint64_t hash = fnv1a(id + '\0' + detail::uri_of_name(place->label->source.name) + '\0' +
                                 report.message + '\0');
      detail::trimmed_line(place->label->source.input, place->line_start,
                           [&](std::string_view piece) { hash = fnv1a(piece, hash); });
      line_hash = hash;
    }
    for (Placed& p : placed) {
      if (p.label->kind == Label_kind::Secondary) {
        add_related(related, std::move(p.physical), p.label->message);
        continue;
      }
      Json l = Json::object();
      l["physicalLocation"] = std::move(p.physical);
      if (!p.label->message.empty()) l["message"] = message(p.label->message);
      locations.push_back(std::move(l));
    }
  }

  // What the host says of rule `id`, if anything.
  std::string_view known_description(const std::string& id) const {
    for (const Sarif_rule& rule : tool.rules)
      if (rule.id == id && !rule.short_description.empty()) return rule.short_description;
    return {};
  }

  // The report's path as one thread flow, its events numbered from 1; none
  // when no event has a location.
  std::optional<Json> code_flow(const Report& report) {
    Json steps = Json::array();
    for (std::size_t k = 0; k < report.path.size(); ++k) {
      const Path_event& event = report.path[k];
      std::optional<Json> p = physical(event.source, event.location);
      if (!p) continue;
      Json step = Json::object();
      step["location"]["physicalLocation"] = std::move(*p);
      if (!event.message.empty()) step["location"]["message"] = message(event.message);
      step["nestingLevel"] = std::max<std::int64_t>(event.depth, 0);
      step["executionOrder"] = k + 1;
      steps.push_back(std::move(step));
    }
    if (steps.empty()) return std::nullopt;
    if (const std::size_t cut = detail::keep_first(steps, detail::max_flow_locations_per_result)) {
      ++left_out.cut_results;
      left_out.locations += cut;
    }
    Json flow = Json::object();
    flow["threadFlows"] = Json::array({Json::object({{"locations", std::move(steps)}})});
    return Json::array({std::move(flow)});
  }

  Json result(const Report& report, std::optional<std::uint64_t>& line_hash) {
    Json r;
    const std::string id = rule_id(report);
    r["ruleId"] = detail::as_utf8(id);
    std::size_t k = 0;
    while (k < rule_ids.size() && rule_ids[k] != id) ++k;
    r["ruleIndex"] = k;  // a new code's rule is added when the result is
    r["level"] = detail::sarif_level(report.severity);
    r["message"] = message(detail::report_text(report, known_description(id)));
    Json locations = Json::array();
    Json related = Json::array();
    add_labels(report, id, locations, related, line_hash);
    const Json* place = locations.empty() ? nullptr : &locations.front()["physicalLocation"];
    add_children(report, related, place);
    const std::size_t cut = detail::keep_first(locations, detail::max_locations_per_result) +
                            detail::keep_first(related, detail::max_locations_per_result);
    if (cut > 0) {
      ++left_out.cut_results;
      left_out.locations += cut;
    }
    r["locations"] = std::move(locations);
    if (!related.empty()) r["relatedLocations"] = std::move(related);
    if (std::optional<Json> flows = code_flow(report)) r["codeFlows"] = std::move(*flows);
    if (!report.fixes.empty()) {
      Json fixes = Json::array();
      for (const Fix& fix : report.fixes) fixes.push_back(fix_json(fix));
      r["fixes"] = std::move(fixes);
    }
    if (!report.notes.empty()) {
      Json notes = Json::array();
      for (const Note& note : report.notes)
        notes.push_back(
            detail::as_utf8(note.kind.empty() ? note.text : note.kind + ": " + note.text));
      r["properties"] = {{"notes", std::move(notes)}};
    }
    if (!report.tags.empty()) r["properties"]["tags"] = detail::sarif_tags(report.tags);
    return r;
  }

  void add(const Report& report) {
    if (results.size() == detail::max_results_per_run) {
      ++left_out.results;
      left_out.kept_results = results.size();
      return;
    }
    std::optional<std::uint64_t> line_hash;
    const bool had_absolute_files = absolute_files;
    Json r;
    try {
      r = result(report, line_hash);
    } catch (...) {
      absolute_files = had_absolute_files;  // the log stays as it was
      throw;
    }
    const std::string id = rule_id(report);
    if (r["ruleIndex"] == rule_ids.size()) rule_ids.push_back(id);
    first_messages.emplace(id, report.message);
    if (!report.code_url.empty()) first_urls.emplace(id, report.code_url);
    if (line_hash) {
      const std::string hash = hex16(*line_hash);
      const std::int64_t occurrence = ++seen_hashes[hash];
      r["partialFingerprints"]["lineHash/v1"] = hash + ":" + std::to_string(occurrence);
    }
    std::string text;
    detail::append_nested(text, r, result_depth);
    results.push_back(std::move(text));
  }

  static constexpr std::size_t result_depth = 4;  // {"runs": [{"results": [here

  Json driver() const {
    Json d = {{"name", tool.name.empty() ? std::string("vantel") : detail::as_utf8(tool.name)}};
    if (!tool.version.empty()) d["version"] = detail::as_utf8(tool.version);
    if (!tool.information_uri.empty()) d["informationUri"] = detail::as_utf8(tool.information_uri);
    Json rules = Json::array();
    for (const std::string& id : rule_ids) {
      Sarif_rule rule;
      rule.id = id;
      for (const Sarif_rule& known : tool.rules)
        if (known.id == id) rule = known;
      // Readers require both descriptions: a rule that lacks them is
      // described by its first result's message.
      const auto first = first_messages.find(id);
      if (rule.short_description.empty() && first != first_messages.end())
        rule.short_description = first->second;
      if (rule.short_description.empty()) rule.short_description = id;
      if (rule.full_description.empty()) rule.full_description = rule.short_description;
      if (rule.help.empty()) rule.help = rule.full_description;
      if (const auto url = first_urls.find(id); rule.help_uri.empty() && url != first_urls.end())
        rule.help_uri = url->second;
      if (!rule.help_uri.empty())
        (void)detail::checked_uri(
            rule.help_uri, "vantel::Sarif_log: help URI of rule " + detail::message_text(id));
      rules.push_back(rule_json(rule));
    }
    if (!rules.empty()) d["rules"] = std::move(rules);
    return d;
  }

  Json log() {
    Json run = {{"tool", {{"driver", driver()}}}};
    // Listed first: an artifact by absolute path asks for a working folder too.
    Json artifacts = Json::array();
    for (const Source& source : options.artifacts)
      artifacts.push_back({{"location", artifact_location(source)}});
    if (invocation || absolute_files || left_out.results > 0 || left_out.cut_results > 0) {
      Sarif_invocation given = invocation.value_or(Sarif_invocation{});
      if (given.working_directory.empty() && absolute_files) given.working_directory = ".";
      run["invocations"] = Json::array({detail::invocation_json(given, left_out)});
    }
    if (!options.base_uri.empty()) {
      const std::string base =
          detail::checked_base_uri(options.base_uri, "vantel::Sarif_log: base URI");
      run["originalUriBaseIds"] = {{base_id, {{"uri", base}}}};
    }
    run["columnKind"] = options.column_kind == Sarif_column_kind::Unicode_code_points
                            ? "unicodeCodePoints"
                            : "utf16CodeUnits";
    if (!artifacts.empty()) run["artifacts"] = std::move(artifacts);
    run["results"] = Json::array();
    return {{"$schema",
             "https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/"
             "sarif-schema-2.1.0.json"},
            {"version", "2.1.0"},
            {"runs", Json::array({std::move(run)})}};
  }
};

Sarif_log::Sarif_log(Sarif_tool tool, Sarif_options options)
    : impl_(std::make_unique<Impl>(std::move(tool), std::move(options))) {}
Sarif_log::Sarif_log(Sarif_log&& other) noexcept = default;
Sarif_log& Sarif_log::operator=(Sarif_log&& other) noexcept = default;
Sarif_log::~Sarif_log() = default;

void Sarif_log::add(const Report& report) {
  if (!impl_) throw std::invalid_argument("vantel::Sarif_log::add: the log was moved from");
  impl_->add(report);
}

void Sarif_log::add(const Report& report, Error& error) noexcept {
  detail::capture(error, [&] { add(report); });
}

void Sarif_log::set_invocation(Sarif_invocation invocation) {
  if (!impl_)
    throw std::invalid_argument("vantel::Sarif_log::set_invocation: the log was moved from");
  impl_->invocation = std::move(invocation);
}

std::size_t Sarif_log::size() const noexcept {
  return impl_ ? impl_->results.size() : 0;
}

void Sarif_log::write(std::ostream& out) const {
  if (impl_) {
    // The results go where the log's empty list of results stands, its
    // last member.
    const std::string log = impl_->log().dump(2);
    const std::size_t list = log.rfind("[]");
    if (impl_->results.empty()) {
      out << log;
    } else {
      const std::string indent(Impl::result_depth * 2, ' ');
      out.write(log.data(), static_cast<std::streamsize>(list));
      out << "[\n";
      for (std::size_t k = 0; k < impl_->results.size(); ++k) {
        if (k > 0) out << ",\n";
        out << indent << impl_->results[k];
      }
      out << "\n" << indent.substr(2) << "]" << std::string_view(log).substr(list + 2);
    }
    out << "\n";
  }
  if (!out) throw std::ios_base::failure("vantel::Sarif_log::write: writing the log failed");
}

void Sarif_log::write(std::ostream& out, Error& error) const noexcept {
  detail::capture(error, [&] { write(out); });
}

std::string Sarif_log::str() const {
  std::ostringstream out;
  write(out);
  return std::move(out).str();
}

}  // namespace vantel
