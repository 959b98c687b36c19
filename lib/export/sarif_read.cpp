// SPDX-License-Identifier: MIT
#include <vantel/sarif_read.hpp>

#include "export/fallback_text.hpp"
#include "export/sarif_children.hpp"
#include "export/sarif_fields.hpp"
#include "export/sarif_read_place.hpp"
#include "export/sarif_uri.hpp"
#include "support/capture.hpp"

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>

namespace vantel {

namespace {

using detail::element;
using detail::indexed;
using detail::Json_kind;
using detail::Json_value;
using detail::Read_place;
using detail::Sarif_fields;

// The level of a tool's own severity word, as converters of tools without
// SARIF levels keep it in the result's properties (cppcheck's "Severity");
// empty for a word not known.
std::string tool_level(const Json_value& result) {
  const auto properties = result.FindMember("properties");
  if (properties == result.MemberEnd() || !properties->value.IsObject()) return {};
  for (const char* key : {"Severity", "severity"}) {
    const auto word = properties->value.FindMember(key);
    if (word == properties->value.MemberEnd() || !word->value.IsString()) continue;
    const std::string w = Sarif_fields::string_of(word->value);
    if (w == "error") return "error";
    if (w == "warning" || w == "style" || w == "performance" || w == "portability")
      return "warning";
    if (w == "information" || w == "note" || w == "debug") return "note";
  }
  return {};
}

struct Run {
  std::map<std::string, const Json_value*> rules_by_id;
  const Json_value* rules = nullptr;
};

class Reader {
 public:
  Reader(std::string log_name, const Sarif_read_options& options)
      : fields_(std::move(log_name)), options_(options), places_(fields_, options) {}

  std::vector<Report> read(std::string_view text) {
    rapidjson::Document log;
    fields_.parse(text, log);
    if (!log.IsObject()) fields_.refuse("the log", "expected an object");
    const Json_value* version = fields_.member(log, "version", Json_kind::String, "the log");
    if (version == nullptr || Sarif_fields::string_of(*version) != "2.1.0")
      fields_.refuse("version", "expected \"2.1.0\", the only SARIF version read");
    const Json_value* runs = fields_.member(log, "runs", Json_kind::Array, "the log");
    if (runs == nullptr) fields_.refuse("runs", "missing");
    std::vector<Report> reports;
    for (std::size_t k = 0; k < runs->Size(); ++k)
      read_run(element(*runs, k), "runs[" + std::to_string(k) + "]", reports);
    return reports;
  }

 private:
  void read_run(const Json_value& r, const std::string& where, std::vector<Report>& reports) {
    fields_.require(r, Json_kind::Object, where);
    run_ = Run{};
    places_.run = {};
    places_.run.artifacts = fields_.member(r, "artifacts", Json_kind::Array, where);
    places_.run.bases = fields_.member(r, "originalUriBaseIds", Json_kind::Object, where);
    const std::string kind = fields_.text(r, "columnKind", where);
    if (kind == "unicodeCodePoints")
      places_.run.unit = Column_unit::Code_points;
    else if (!kind.empty() && kind != "utf16CodeUnits")
      fields_.refuse(where + ".columnKind", "expected utf16CodeUnits or unicodeCodePoints");
    read_rules(r, where);
    const Json_value* results = fields_.member(r, "results", Json_kind::Array, where);
    if (results == nullptr) return;
    for (std::size_t k = 0; k < results->Size(); ++k)
      if (std::optional<Report> report = result(element(*results, k), indexed(where, "results", k)))
        reports.push_back(std::move(*report));
  }

  void read_rules(const Json_value& r, const std::string& where) {
    const Json_value* tool = fields_.member(r, "tool", Json_kind::Object, where);
    if (tool == nullptr) fields_.refuse(where + ".tool", "missing");
    const Json_value* driver = fields_.member(*tool, "driver", Json_kind::Object, where + ".tool");
    if (driver == nullptr) fields_.refuse(where + ".tool.driver", "missing");
    // The clang-tidy converter writes clang-tidy's byte offsets as character
    // offsets.
    places_.run.char_offsets_in_bytes =
        fields_.text(*driver, "name", where + ".tool.driver") == "Clang-Tidy";
    run_.rules = fields_.member(*driver, "rules", Json_kind::Array, where + ".tool.driver");
    if (run_.rules == nullptr) return;
    for (std::size_t k = 0; k < run_.rules->Size(); ++k) {
      const std::string at = indexed(where + ".tool.driver", "rules", k);
      fields_.require(element(*run_.rules, k), Json_kind::Object, at);
      run_.rules_by_id.emplace(fields_.text(element(*run_.rules, k), "id", at),
                               &element(*run_.rules, k));
    }
  }

  const Json_value* rule_of(const Json_value& r, const std::string& where) const {
    if (const std::optional<std::int64_t> index = fields_.number(r, "ruleIndex", where, -1);
        index && *index >= 0) {
      if (run_.rules == nullptr || static_cast<std::uint64_t>(*index) >= run_.rules->Size())
        fields_.refuse(where + ".ruleIndex", "no such rule in the run");
      return &element(*run_.rules, static_cast<std::size_t>(*index));
    }
    const auto found = run_.rules_by_id.find(fields_.text(r, "ruleId", where));
    return found == run_.rules_by_id.end() ? nullptr : found->second;
  }

  std::string level_of(const Json_value& r, const Json_value* rule,
                       const std::string& where) const {
    std::string level = fields_.text(r, "level", where);
    if (level.empty() && rule != nullptr)
      if (const Json_value* c =
              fields_.member(*rule, "defaultConfiguration", Json_kind::Object, where + ".rule"))
        level = fields_.text(*c, "level", where + ".rule.defaultConfiguration");
    if (level.empty()) level = tool_level(r);
    if (level.empty()) return "warning";
    if (level != "error" && level != "warning" && level != "note" && level != "none")
      fields_.refuse(where + ".level", "expected error, warning, note or none");
    return level;
  }

  bool kept(const std::string& level) const {
    if (options_.levels.empty()) return true;
    for (const std::string& k : options_.levels)
      if (k == level) return true;
    return false;
  }

  // A message's text, or its rule's message string, with its arguments put
  // in for {0}, {1}...
  std::string message_text(const Json_value* m, const Json_value* rule,
                           const std::string& where) const {
    if (m == nullptr) return {};
    fields_.require(*m, Json_kind::Object, where);
    std::string format = fields_.text(*m, "text", where);
    if (format.empty() && rule != nullptr) {
      const std::string id = fields_.text(*m, "id", where);
      if (const Json_value* strings =
              fields_.member(*rule, "messageStrings", Json_kind::Object, where + ".rule"))
        if (const Json_value* s =
                fields_.member(*strings, id.c_str(), Json_kind::Object, where + ".rule"))
          format = fields_.text(*s, "text", where + ".rule.messageStrings");
    }
    std::vector<std::string> arguments;
    if (const Json_value* args = fields_.member(*m, "arguments", Json_kind::Array, where))
      for (std::size_t k = 0; k < args->Size(); ++k) {
        fields_.require(element(*args, k), Json_kind::String, indexed(where, "arguments", k));
        arguments.push_back(Sarif_fields::string_of(element(*args, k)));
      }
    return detail::with_arguments(format, arguments);
  }

  std::optional<Report> result(const Json_value& r, const std::string& where) {
    fields_.require(r, Json_kind::Object, where);
    const Json_value* rule = rule_of(r, where);
    const std::string level = level_of(r, rule, where);
    if (!kept(level)) return std::nullopt;
    Report report;
    std::string id = fields_.text(r, "ruleId", where);
    if (id.empty() && rule != nullptr) id = fields_.text(*rule, "id", where + ".rule");
    // A rule named after the level is a stand-in for no code at all.
    const bool stand_in = id == level || (id == "help" && level == "note");
    report.severity = stand_in          ? Severity::of_word(id)
                      : level == "none" ? Severity(Severity::Note)
                                        : Severity::of_word(level);
    if (!stand_in) report.code = id;
    if (rule != nullptr && !stand_in)
      report.code_url = fields_.text(*rule, "helpUri", where + ".rule");
    report.message = message_text(fields_.member(r, "message", Json_kind::Object, where), rule,
                                  where + ".message");
    add_labels(r, "locations", Label_kind::Primary, report, where, nullptr);
    detail::Child_tree children(report);
    add_labels(r, "relatedLocations", Label_kind::Secondary, report, where, &children);
    add_path(r, report, where);
    add_fixes(r, report, where);
    add_notes(r, report, where);
    return report;
  }

  // Labels of `report`, or of its children where a related location says
  // whose it is and `children` is given.
  void add_labels(const Json_value& r, const char* key, Label_kind kind, Report& report,
                  const std::string& where, detail::Child_tree* children) {
    const Json_value* locations = fields_.member(r, key, Json_kind::Array, where);
    if (locations == nullptr) return;
    for (std::size_t k = 0; k < locations->Size(); ++k) {
      const std::string at = indexed(where, key, k);
      const Json_value& l = element(*locations, k);
      fields_.require(l, Json_kind::Object, at);
      const Json_value* physical = fields_.member(l, "physicalLocation", Json_kind::Object, at);
      if (physical == nullptr) continue;  // a logical location alone has no text to show
      Read_place place = places_.place_of(*physical, at + ".physicalLocation");
      if (children != nullptr && add_to_child(l, place, *children, at)) {
        if (!place.source)
          report.notes.push_back(
              {"note", detail::where_of(place) + ": the file could not be read"});
        continue;
      }
      std::string message = message_text(fields_.member(l, "message", Json_kind::Object, at),
                                         nullptr, at + ".message");
      if (place.source && place.location)
        report.labels.emplace_back(std::move(*place.source), std::move(*place.location),
                                   std::move(message), kind);
      else if (!place.source)
        report.notes.push_back({"note", detail::where_of(place) + ": the file could not be read"});
    }
  }

  // The label of a child, for a related location that names its child.
  bool add_to_child(const Json_value& l, Read_place& place, detail::Child_tree& tree,
                    const std::string& at) const {
    const std::string properties_at = at + ".properties";
    const Json_value* properties = fields_.member(l, "properties", Json_kind::Object, at);
    const Json_value* c = properties == nullptr ? nullptr
                                                : fields_.member(*properties, "child",
                                                                 Json_kind::Object, properties_at);
    if (c == nullptr) return false;
    const std::string c_at = properties_at + ".child";
    const auto index = fields_.number(*c, "index", c_at, 1).value_or(1);
    const auto depth = fields_.number(*properties, "nestingLevel", properties_at, 1).value_or(1);
    bool made = false;
    Report& child =
        tree.child(static_cast<std::size_t>(index), static_cast<std::size_t>(depth), made);
    if (made) {
      child.severity = Severity::of_word(fields_.text(*c, "level", c_at));
      child.code = fields_.text(*c, "code", c_at);
      child.message = fields_.text(*c, "message", c_at);
    }
    const std::string kind = fields_.text(*c, "labelKind", c_at);
    if (!kind.empty() && place.source && place.location)
      child.labels.emplace_back(std::move(*place.source), std::move(*place.location),
                                fields_.text(*c, "labelMessage", c_at),
                                kind == "primary" ? Label_kind::Primary : Label_kind::Secondary);
    return true;
  }

  void add_path(const Json_value& r, Report& report, const std::string& where) {
    const Json_value* flows = fields_.member(r, "codeFlows", Json_kind::Array, where);
    if (flows == nullptr || flows->Empty()) return;
    const std::string flow_at = where + ".codeFlows[0]";
    fields_.require(element(*flows, 0), Json_kind::Object, flow_at);
    const Json_value* threads =
        fields_.member(element(*flows, 0), "threadFlows", Json_kind::Array, flow_at);
    if (threads == nullptr || threads->Empty()) return;
    const std::string thread_at = flow_at + ".threadFlows[0]";
    fields_.require(element(*threads, 0), Json_kind::Object, thread_at);
    const Json_value* steps =
        fields_.member(element(*threads, 0), "locations", Json_kind::Array, thread_at);
    if (steps == nullptr) return;
    for (std::size_t k = 0; k < steps->Size(); ++k) {
      const std::string at = indexed(thread_at, "locations", k);
      fields_.require(element(*steps, k), Json_kind::Object, at);
      const std::int64_t depth =
          fields_.number(element(*steps, k), "nestingLevel", at, 0).value_or(0);
      const Json_value* l = fields_.member(element(*steps, k), "location", Json_kind::Object, at);
      const Json_value* physical =
          l == nullptr
              ? nullptr
              : fields_.member(*l, "physicalLocation", Json_kind::Object, at + ".location");
      if (physical == nullptr) continue;
      Read_place place = places_.place_of(*physical, at + ".location.physicalLocation");
      if (!place.source || !place.location) continue;
      report.path.emplace_back(std::move(*place.source), std::move(*place.location),
                               message_text(fields_.member(*l, "message", Json_kind::Object, at),
                                            nullptr, at + ".message"),
                               depth);
    }
  }

  static Applicability applicability_of(const std::string& word) {
    if (word == "machineApplicable") return Applicability::Machine_applicable;
    if (word == "maybeIncorrect") return Applicability::Maybe_incorrect;
    if (word == "hasPlaceholders") return Applicability::Has_placeholders;
    return Applicability::Unspecified;
  }

  void add_fixes(const Json_value& r, Report& report, const std::string& where) {
    const Json_value* fixes = fields_.member(r, "fixes", Json_kind::Array, where);
    if (fixes == nullptr) return;
    for (std::size_t k = 0; k < fixes->Size(); ++k) {
      const std::string at = indexed(where, "fixes", k);
      fields_.require(element(*fixes, k), Json_kind::Object, at);
      Fix fix;
      fix.message =
          message_text(fields_.member(element(*fixes, k), "description", Json_kind::Object, at),
                       nullptr, at + ".description");
      if (const Json_value* p =
              fields_.member(element(*fixes, k), "properties", Json_kind::Object, at))
        fix.applicability = applicability_of(fields_.text(*p, "applicability", at + ".properties"));
      const Json_value* changes =
          fields_.member(element(*fixes, k), "artifactChanges", Json_kind::Array, at);
      if (changes != nullptr)
        for (std::size_t c = 0; c < changes->Size(); ++c)
          add_edits(element(*changes, c), fix, indexed(at, "artifactChanges", c));
      if (fix.message.empty()) fix.message = detail::fix_text(fix);
      if (!fix.edits.empty()) report.fixes.push_back(std::move(fix));
    }
  }

  void add_edits(const Json_value& change, Fix& fix, const std::string& where) {
    fields_.require(change, Json_kind::Object, where);
    const Json_value* artifact =
        fields_.member(change, "artifactLocation", Json_kind::Object, where);
    if (artifact == nullptr) fields_.refuse(where + ".artifactLocation", "missing");
    const Json_value* replacements =
        fields_.member(change, "replacements", Json_kind::Array, where);
    if (replacements == nullptr) return;
    for (std::size_t k = 0; k < replacements->Size(); ++k) {
      const std::string at = indexed(where, "replacements", k);
      const Json_value& rep = element(*replacements, k);
      fields_.require(rep, Json_kind::Object, at);
      Read_place place =
          places_.place_in(*artifact, fields_.member(rep, "deletedRegion", Json_kind::Object, at),
                           where + ".artifactLocation", at + ".deletedRegion");
      if (!place.source || !place.location) continue;  // its file cannot be shown changed
      std::string inserted;
      if (const Json_value* content = fields_.member(rep, "insertedContent", Json_kind::Object, at))
        inserted = fields_.text(*content, "text", at + ".insertedContent");
      fix.edits.emplace_back(std::move(*place.source), std::move(*place.location),
                             std::move(inserted));
    }
  }

  void add_notes(const Json_value& r, Report& report, const std::string& where) const {
    const Json_value* properties = fields_.member(r, "properties", Json_kind::Object, where);
    const Json_value* notes =
        properties == nullptr
            ? nullptr
            : fields_.member(*properties, "notes", Json_kind::Array, where + ".properties");
    if (notes == nullptr) return;
    for (std::size_t k = 0; k < notes->Size(); ++k) {
      fields_.require(element(*notes, k), Json_kind::String,
                      indexed(where + ".properties", "notes", k));
      const std::string note = Sarif_fields::string_of(element(*notes, k));
      // "kind: text", as notes are written; a note's kind is one word.
      const auto colon = note.find(": ");
      if (colon != std::string::npos && colon > 0 && note.find_first_of(" \t") > colon)
        report.notes.push_back({note.substr(0, colon), note.substr(colon + 2)});
      else
        report.notes.push_back({"", note});
    }
  }
  Sarif_fields fields_;
  const Sarif_read_options& options_;
  detail::Sarif_place_reader places_;
  Run run_;
};

}  // namespace

std::vector<Report> read_sarif(std::string_view log, const std::string& log_name,
                               const Sarif_read_options& options) {
  return Reader(log_name, options).read(log);
}

std::vector<Report> read_sarif(std::string_view log, const std::string& log_name,
                               const Sarif_read_options& options, Error& error) noexcept {
  std::vector<Report> reports;
  detail::capture(error, [&] { reports = read_sarif(log, log_name, options); });
  if (error) reports.clear();
  return reports;
}

}  // namespace vantel
