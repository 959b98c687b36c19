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
#include <string>
#include <string_view>
#include <vector>

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

struct Notification {
  std::string text;
  Severity severity;
};

void write_notification(Json_writer& out, const Notification& n) {
  out.start_object();
  out.key("message");
  out.start_object();
  out.member("text", n.text);
  out.end_object();
  out.member("level", sarif_level(n.severity));
  out.end_object();
}

// The notifications of `given`, then one for each kind of thing left out.
std::vector<Notification> notifications(const Sarif_invocation& given, const Left_out& left_out) {
  std::vector<Notification> notes;
  for (const Sarif_notification& n : given.notifications) notes.push_back({n.message, n.severity});
  if (left_out.results > 0)
    notes.push_back({std::to_string(left_out.results) + " results left out: a run holds at most " +
                         std::to_string(left_out.kept_results) + ", the first ones added",
                     Severity::Warning});
  if (left_out.cut_results > 0)
    notes.push_back(
        {std::to_string(left_out.locations) + " locations left out of " +
             std::to_string(left_out.cut_results) + " results: a result keeps its first " +
             std::to_string(max_locations_per_result) + " locations and related locations",
         Severity::Warning});
  return notes;
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

void write_rule_metadata(Json_writer& out, const Sarif_rule& rule) {
  if (!rule.default_level.empty()) {
    out.key("defaultConfiguration");
    out.start_object();
    out.member("level", rule.default_level);
    out.end_object();
  }
  if (rule.tags.empty() && rule.precision.empty() && rule.problem_severity.empty() &&
      rule.security_severity.empty())
    return;
  out.key("properties");
  out.start_object();
  if (!rule.tags.empty()) {
    std::vector<std::string> tags;
    for (const std::string& tag : rule.tags) {
      std::string text = as_utf8(tag);
      if (tags.size() < max_tags_per_rule &&
          std::find(tags.begin(), tags.end(), text) == tags.end())
        tags.push_back(std::move(text));
    }
    out.key("tags");
    out.start_array();
    for (const std::string& tag : tags) out.string(tag);
    out.end_array();
  }
  if (!rule.precision.empty()) out.member("precision", rule.precision);
  if (!rule.problem_severity.empty()) out.member("problem.severity", rule.problem_severity);
  if (!rule.security_severity.empty()) out.member("security-severity", rule.security_severity);
  out.end_object();
}

void write_invocation(Json_writer& out, const Sarif_invocation& given, const Left_out& left_out) {
  out.start_object();
  if (!given.arguments.empty()) {
    out.key("arguments");
    out.start_array();
    for (const std::string& argument : given.arguments) out.string(argument);
    out.end_array();
  }
  if (!given.working_directory.empty()) {
    std::string folder =
        std::filesystem::absolute(given.working_directory).lexically_normal().string();
    if (folder.back() != '/') folder += '/';  // a folder's URI ends with '/'
    out.key("workingDirectory");
    out.start_object();
    out.member("uri", uri_of_name(folder));
    out.end_object();
  }
  if (!given.start_time_utc.empty()) out.member("startTimeUtc", given.start_time_utc);
  if (!given.end_time_utc.empty()) out.member("endTimeUtc", given.end_time_utc);
  out.key("executionSuccessful");
  out.boolean(given.execution_successful);
  const std::vector<Notification> notes = notifications(given, left_out);
  if (!notes.empty()) {
    out.key("toolExecutionNotifications");
    out.start_array();
    for (const Notification& n : notes) write_notification(out, n);
    out.end_array();
  }
  out.end_object();
}

}  // namespace vantel::detail
