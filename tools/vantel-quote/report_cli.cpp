#include "vantel-quote/report_cli.hpp"

namespace vantel_quote {

namespace {

const char* colour_of_severity(const std::string& word) {
  if (word == "error") return "\x1b[1;31m";
  if (word == "warning") return "\x1b[1;33m";
  if (word == "note") return "\x1b[1;32m";
  if (word == "help") return "\x1b[1;36m";
  return "\x1b[1m";
}

}  // namespace

std::pair<std::string_view, std::optional<std::string_view>> split_label(std::string_view arg) {
  const std::size_t equals = arg.find('=');
  if (equals == std::string_view::npos) return {arg, std::nullopt};
  return {arg.substr(0, equals), arg.substr(equals + 1)};
}

vantel::Report report_of(const Report_request& request, const vantel::Input& input,
                         const std::string& name, const std::vector<vantel::Location>& locations) {
  vantel::Report report;
  report.severity = request.severity;
  report.code = request.code;
  report.message = request.message.value_or(std::string());
  for (std::size_t k = 0; k < locations.size(); ++k)
    report.labels.emplace_back(
        input, name, locations[k], k < request.labels.size() ? request.labels[k] : std::string(),
        k == 0 ? vantel::Label_kind::Primary : vantel::Label_kind::Secondary);
  for (const std::string& note : request.notes) report.notes.push_back({"note", note});
  return report;
}

void colour_report_tags(vantel::Formatter& formatter, const std::string& severity) {
  vantel::Stag_functions functions = formatter.stag_functions();
  const char* const primary = colour_of_severity(severity);
  const auto open = [primary, previous = functions.mark_open_stag](const vantel::Stag& tag) {
    if (const auto* s = dynamic_cast<const vantel::Report_severity_tag*>(&tag))
      return std::string(colour_of_severity(s->severity()));
    if (&tag == &vantel::Report_primary_tag) return std::string(primary);
    if (&tag == &vantel::Report_secondary_tag || &tag == &vantel::Report_margin_tag)
      return std::string("\x1b[1;34m");
    if (&tag == &vantel::Report_message_tag) return std::string("\x1b[1m");
    return previous ? previous(tag) : std::string();
  };
  const auto close = [previous = functions.mark_close_stag](const vantel::Stag& tag) {
    if (dynamic_cast<const vantel::Report_severity_tag*>(&tag) != nullptr ||
        &tag == &vantel::Report_primary_tag || &tag == &vantel::Report_secondary_tag ||
        &tag == &vantel::Report_margin_tag || &tag == &vantel::Report_message_tag)
      return std::string("\x1b[0m");
    return previous ? previous(tag) : std::string();
  };
  functions.mark_open_stag = open;
  functions.mark_close_stag = close;
  formatter.set_stag_functions(std::move(functions));
  formatter.set_mark_tags(true);
}

}  // namespace vantel_quote
