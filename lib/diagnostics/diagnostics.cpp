// SPDX-License-Identifier: MIT
#include "export/json_writer.hpp"
#include "model/place.hpp"

#include <vantel/diagnostics.hpp>
#include <vantel/one_line.hpp>
#include <vantel/position.hpp>
#include <vantel/styles.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <unordered_set>
#include <utility>

namespace vantel {
namespace {

// A taken report as it will be written, with where it sorts.
struct Entry {
  std::string name;              // the source of its first primary label
  std::int64_t offset = -1;      // that label's start; -1 without one
  std::string text;              // what is written (Sarif: its one-line form)
  std::optional<Report> report;  // Sarif: added to the log by finish()
  bool error = false;
};

bool contains(const std::vector<std::string>& codes, const std::string& code) {
  return !code.empty() && std::find(codes.begin(), codes.end(), code) != codes.end();
}

const Label* place_of(const Report& report) {
  const auto& labels = report.labels;
  const auto place = detail::place_among(labels.begin(), labels.end(),
                                         [](const Label& label) -> const Label& { return label; });
  return place != labels.end() ? &*place : nullptr;
}

}  // namespace

struct Diagnostics::Impl {
  Impl(std::ostream& o, Sources s, Diagnostics_options opts)
      : out(o), sources(std::move(s)), options(std::move(opts)) {
    terminal = options.terminal ? *options.terminal : terminal_for(out);
  }

  std::ostream& out;
  Sources sources;
  Diagnostics_options options;
  Terminal terminal;
  mutable std::mutex mutex;
  std::unordered_set<std::string> seen;
  std::vector<Entry> pending;
  std::array<std::size_t, Severity::Custom + 1> counts{};
  std::size_t written_errors = 0;
  std::size_t held_errors = 0;
  std::size_t held_others = 0;
  bool finished = false;
  int status = 0;

  [[nodiscard]] bool streamed() const {
    return options.order == Diagnostics_order::As_reported &&
           (options.format == Diagnostics_format::Drawn ||
            options.format == Diagnostics_format::One_line);
  }

  // Draws into a stream kept for the thread and emptied for each report:
  // making a stream (its locale) cost as much as drawing a short report. A
  // report drawn while the thread draws another (an input's callback
  // reporting) gets a stream of its own.
  std::string drawn(const Report& report) const {
    thread_local std::ostringstream kept;
    thread_local bool busy = false;
    std::optional<std::ostringstream> own;
    std::ostringstream& text = busy ? own.emplace() : kept;
    struct Lease {
      bool& taken;
      bool was;
      ~Lease() { taken = was; }
    } lease{busy, busy};
    busy = true;
    text.str(std::string());
    text.clear();
    Formatter formatter(text);
    if (terminal.color) setup_tags(formatter, terminal.styles);
    pp_report(formatter, report, terminal.layout);
    return text.str();
  }

  // Resolves and renders in the caller's thread: only counting and writing
  // take the lock.
  Entry entry_of(Report report) const {
    Entry entry;
    entry.error = report.severity.level() == Severity::Error;
    const Label* label = options.order == Diagnostics_order::Sorted ? place_of(report) : nullptr;
    if (label != nullptr) {
      entry.name = label->source.name;
      Error ignored;
      entry.offset = Position::to_offset(label->source.input, label->location.first, ignored);
    }
    switch (options.format) {
      case Diagnostics_format::Drawn:
        entry.text = drawn(report);
        break;
      case Diagnostics_format::One_line:
        entry.text = to_one_line(report);
        break;
      case Diagnostics_format::Lsp:
        entry.text = to_lsp_json(report, options.lsp);
        break;
      case Diagnostics_format::Sarif:
        entry.text = to_one_line(report);
        entry.report = std::move(report);
        break;
    }
    return entry;
  }

  // Drawn and one-line output, held back once the error limit is reached.
  void write(bool error, const std::string& text) {
    if (options.error_limit != 0 && written_errors >= options.error_limit) {
      ++(error ? held_errors : held_others);
      return;
    }
    written_errors += error ? 1 : 0;
    out << text;
  }

  void write_held_note() {
    if (held_errors == 0 && held_others == 0) return;
    const auto plural = [](std::size_t n) { return n == 1 ? "" : "s"; };
    out << "note: stopped after " << options.error_limit << " error" << plural(options.error_limit)
        << ": " << held_errors << " more error" << plural(held_errors) << " and " << held_others
        << " other report" << plural(held_others) << " not shown\n";
  }

  void write_sarif() {
    Sarif_options sarif = options.sarif;
    if (sarif.artifacts.empty()) sarif.artifacts = sources.all();
    Sarif_log log(options.sarif_tool, std::move(sarif));
    for (const Entry& entry : pending) log.add(*entry.report);
    log.write(out);
  }

  // One {"uri", "diagnostics"} per file, files by URI, each file's
  // diagnostics in the order taken.
  void write_lsp() {
    std::vector<rapidjson::Document> parsed(pending.size());
    std::map<std::string, std::vector<const rapidjson::Value*>> files;
    for (std::size_t k = 0; k < pending.size(); ++k) {
      parsed[k].Parse(pending[k].text.data(), pending[k].text.size());
      for (const rapidjson::Value& diagnostic : parsed[k].GetArray()) {
        const rapidjson::Value& uri = diagnostic["data"]["uri"];
        files[std::string(uri.GetString(), uri.GetStringLength())].push_back(&diagnostic);
      }
    }
    detail::Json_writer all;
    all.restart(0);
    all.start_array();
    for (const auto& [uri, diagnostics] : files) {
      all.start_object();
      all.member("uri", uri);
      all.key("diagnostics");
      all.start_array();
      for (const rapidjson::Value* diagnostic : diagnostics) all.value(*diagnostic);
      all.end_array();
      all.end_object();
    }
    all.end_array();
    out << all.text() << '\n';
  }

  void write_pending() {
    if (options.order == Diagnostics_order::Sorted)
      std::sort(pending.begin(), pending.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.name, a.offset, a.text) < std::tie(b.name, b.offset, b.text);
      });
    switch (options.format) {
      case Diagnostics_format::Sarif:
        write_sarif();
        break;
      case Diagnostics_format::Lsp:
        write_lsp();
        break;
      default:
        for (const Entry& entry : pending) write(entry.error, entry.text);
    }
    pending.clear();
  }
};

Diagnostics::Diagnostics(std::ostream& out, Sources sources, Diagnostics_options options)
    : impl_(std::make_unique<Impl>(out, std::move(sources), std::move(options))) {}

Diagnostics::~Diagnostics() = default;

void Diagnostics::report(Report report) {
  const Diagnostics_options& options = impl_->options;
  const bool dropped = contains(options.disabled_codes, report.code);
  if (!dropped && report.severity.level() == Severity::Warning &&
      (options.warnings_as_errors || contains(options.warnings_as_errors_codes, report.code)))
    report.severity = Severity::Error;
  const Severity::Level level = report.severity.level();
  std::optional<Entry> entry;
  if (!dropped) entry = impl_->entry_of(std::move(report));
  const std::lock_guard<std::mutex> lock(impl_->mutex);
  if (impl_->finished) throw std::logic_error("a report after the diagnostics were finished");
  if (!entry) return;
  // The set keeps the one copy of each text; what is written now is read there.
  const auto [kept, is_new] = impl_->seen.insert(std::move(entry->text));
  if (!is_new) return;
  ++impl_->counts[level];
  if (impl_->streamed()) {
    impl_->write(entry->error, *kept);
  } else {
    entry->text = *kept;
    impl_->pending.push_back(std::move(*entry));
  }
}

std::size_t Diagnostics::count(Severity::Level level) const {
  const std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->counts[level];
}

int Diagnostics::finish() {
  const std::lock_guard<std::mutex> lock(impl_->mutex);
  if (impl_->finished) return impl_->status;
  impl_->finished = true;
  impl_->write_pending();
  impl_->write_held_note();
  impl_->status = impl_->counts[Severity::Error] > 0 ? 1 : 0;
  impl_->out.flush();
  if (!impl_->out) throw std::ios_base::failure("diagnostics: writing the output failed");
  return impl_->status;
}

}  // namespace vantel
