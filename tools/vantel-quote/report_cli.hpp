// SPDX-License-Identifier: MIT
// vantel-quote's reports: the options that ask for one, labels after the
// locations.
#pragma once

#include <vantel/vantel.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantel_quote {

// What --message and its companions ask for. Without a message the tool
// quotes, as it always has.
struct Report_request {
  std::optional<std::string> message;
  std::string severity = "error";
  std::string code;
  std::string code_url;  // where the code is explained
  std::vector<std::string> notes;
  std::vector<vantel::Report_tag> tags;
  // --event: the report's path, in order.
  std::vector<std::pair<vantel::Location, std::string>> events;
  // One per location: the text after its '=', empty when it has none.
  std::vector<std::string> labels;
  // --fix: the edits of the report's one fix, and --fix-message.
  std::vector<std::pair<vantel::Location, std::string>> fix_edits;
  std::string fix_message;
};

// Splits a location argument at its first '=': the location, and the label
// when there is one.
[[nodiscard]] std::pair<std::string_view, std::optional<std::string_view>> split_label(
    std::string_view arg);

// The fix of --fix and --fix-message in `input`, shown as `name`; none when
// no --fix was given.
[[nodiscard]] std::vector<vantel::Fix> fixes_of(const Report_request& request,
                                                const vantel::Input& input,
                                                const std::string& name);

// The report of `locations` in `input`, shown as `name`: the first location
// is primary, the others secondary; its fix, if any.
[[nodiscard]] vantel::Report report_of(const Report_request& request, const vantel::Input& input,
                                       const std::string& name,
                                       const std::vector<vantel::Location>& locations);

}  // namespace vantel_quote
