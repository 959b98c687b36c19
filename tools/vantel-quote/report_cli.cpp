// SPDX-License-Identifier: MIT
#include "vantel-quote/report_cli.hpp"

namespace vantel_quote {

std::pair<std::string_view, std::optional<std::string_view>> split_label(std::string_view arg) {
  const std::size_t equals = arg.find('=');
  if (equals == std::string_view::npos) return {arg, std::nullopt};
  return {arg.substr(0, equals), arg.substr(equals + 1)};
}

std::vector<vantel::Fix> fixes_of(const Report_request& request, const vantel::Input& input,
                                  const std::string& name) {
  if (request.fix_edits.empty()) return {};
  vantel::Fix fix;
  fix.message = request.fix_message;
  const vantel::Source source(input, name);
  for (const auto& [location, text] : request.fix_edits)
    fix.edits.emplace_back(source, location, text);
  return {fix};
}

vantel::Report report_of(const Report_request& request, const vantel::Input& input,
                         const std::string& name, const std::vector<vantel::Location>& locations) {
  vantel::Report report;
  report.severity = vantel::Severity::of_word(request.severity);
  report.code = request.code;
  report.code_url = request.code_url;
  report.message = request.message.value_or(std::string());
  const vantel::Source source(input, name);
  for (std::size_t k = 0; k < locations.size(); ++k) {
    std::string label = k < request.labels.size() ? request.labels[k] : std::string();
    report.labels.push_back(k == 0
                                ? vantel::Label::primary(source, locations[k], std::move(label))
                                : vantel::Label::secondary(source, locations[k], std::move(label)));
  }
  for (const std::string& note : request.notes) report.notes.push_back({"note", note});
  report.fixes = fixes_of(request, input, name);
  report.tags = request.tags;
  for (const auto& [location, text] : request.events)
    report.path.emplace_back(source, location, text);
  return report;
}

}  // namespace vantel_quote
