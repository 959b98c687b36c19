// SPDX-License-Identifier: MIT
#include "export/sarif_run.hpp"

#include "export/json_text.hpp"
#include "input/uri.hpp"
#include "support/message_text.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string_view>

namespace vantel::detail {

namespace {

bool is_one_of(std::string_view value, std::initializer_list<std::string_view> words) {
  return value.empty() || std::find(words.begin(), words.end(), value) != words.end();
}

// "0.0" to "10.0": digits with at most one point, as code scanning reads it.
bool is_score(std::string_view text) {
  if (text.empty()) return true;
  if (text.find_first_not_of("0123456789.") != std::string_view::npos ||
      std::count(text.begin(), text.end(), '.') > 1 || text.front() == '.' || text.back() == '.')
    return false;
  const double score = std::strtod(std::string(text).c_str(), nullptr);
  return score >= 0.0 && score <= 10.0;
}

Json notification(const std::string& text, const Severity& severity) {
  Json n = Json::object();
  n["message"]["text"] = as_utf8(text);
  n["level"] = sarif_level(severity);
  return n;
}

}  // namespace

const char* sarif_level(const Severity& severity) {
  switch (severity.level()) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    case Severity::Note:
    case Severity::Help:
      return "note";
    case Severity::Custom:
      break;
  }
  return "none";
}

void check_rule(const Sarif_rule& rule) {
  const auto refuse = [&](const char* what, const std::string& value, const char* expected) {
    throw std::invalid_argument("vantel::Sarif_log: rule '" + message_text(rule.id) + "': " + what +
                                " '" + message_text(value) + "': expected " + expected);
  };
  if (!is_one_of(rule.default_level, {"error", "warning", "note", "none"}))
    refuse("default level", rule.default_level, "error, warning, note or none");
  if (!is_one_of(rule.precision, {"very-high", "high", "medium", "low"}))
    refuse("precision", rule.precision, "very-high, high, medium or low");
  if (!is_one_of(rule.problem_severity, {"error", "warning", "recommendation"}))
    refuse("problem severity", rule.problem_severity, "error, warning or recommendation");
  if (!is_score(rule.security_severity))
    refuse("security severity", rule.security_severity, "a score from 0.0 to 10.0");
}

void add_rule_metadata(Json& out, const Sarif_rule& rule) {
  if (!rule.default_level.empty()) out["defaultConfiguration"]["level"] = rule.default_level;
  Json properties = Json::object();
  if (!rule.tags.empty()) {
    Json tags = Json::array();
    for (const std::string& tag : rule.tags) {
      const std::string text = as_utf8(tag);
      if (tags.size() < max_tags_per_rule &&
          std::find(tags.begin(), tags.end(), text) == tags.end())
        tags.push_back(text);
    }
    properties["tags"] = std::move(tags);
  }
  if (!rule.precision.empty()) properties["precision"] = rule.precision;
  if (!rule.problem_severity.empty()) properties["problem.severity"] = rule.problem_severity;
  if (!rule.security_severity.empty()) properties["security-severity"] = rule.security_severity;
  if (!properties.empty()) out["properties"] = std::move(properties);
}

std::size_t keep_first(Json& array, std::size_t count) {
  if (array.size() <= count) return 0;
  const std::size_t dropped = array.size() - count;
  array.erase(array.begin() + static_cast<std::ptrdiff_t>(count), array.end());
  return dropped;
}

Json invocation_json(const Sarif_invocation& given, const Left_out& left_out) {
  Json i = Json::object();
  if (!given.arguments.empty()) {
    Json arguments = Json::array();
    for (const std::string& argument : given.arguments) arguments.push_back(as_utf8(argument));
    i["arguments"] = std::move(arguments);
  }
  if (!given.working_directory.empty()) {
    std::string folder =
        std::filesystem::absolute(given.working_directory).lexically_normal().string();
    if (folder.back() != '/') folder += '/';  // a folder's URI ends with '/'
    i["workingDirectory"]["uri"] = uri_of_name(folder);
  }
  if (!given.start_time_utc.empty()) i["startTimeUtc"] = as_utf8(given.start_time_utc);
  if (!given.end_time_utc.empty()) i["endTimeUtc"] = as_utf8(given.end_time_utc);
  i["executionSuccessful"] = given.execution_successful;
  Json notes = Json::array();
  for (const Sarif_notification& n : given.notifications)
    notes.push_back(notification(n.message, n.severity));
  if (left_out.results > 0)
    notes.push_back(
        notification(std::to_string(left_out.results) + " results left out: a run holds at most " +
                         std::to_string(left_out.kept_results) + ", the first ones added",
                     Severity::Warning));
  if (left_out.cut_results > 0)
    notes.push_back(notification(
        std::to_string(left_out.locations) + " locations left out of " +
            std::to_string(left_out.cut_results) + " results: a result keeps its first " +
            std::to_string(max_locations_per_result) + " locations and related locations",
        Severity::Warning));
  if (!notes.empty()) i["toolExecutionNotifications"] = std::move(notes);
  return i;
}

}  // namespace vantel::detail
