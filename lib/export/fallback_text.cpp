// SPDX-License-Identifier: MIT
#include "export/fallback_text.hpp"

namespace vantel::detail {

std::string report_text(const Report& report, std::string_view rule_text) {
  if (!report.message.empty()) return report.message;
  if (!rule_text.empty()) return std::string(rule_text);
  std::string text(report.severity.word());
  if (!report.code.empty()) text += " " + report.code;
  return text;
}

std::string fix_text(const Fix& fix) {
  return fix.message.empty() ? std::string("Apply the suggested edits") : fix.message;
}

}  // namespace vantel::detail
