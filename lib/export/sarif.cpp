// SPDX-License-Identifier: MIT
#include <vantel/sarif.hpp>

#include "export/fallback_text.hpp"
#include "export/json_writer.hpp"
#include "export/sarif_places.hpp"
#include "export/sarif_result.hpp"
#include "export/sarif_run.hpp"
#include "export/uri_check.hpp"
#include "input/uri.hpp"
#include "model/region.hpp"
#include "support/capture.hpp"
#include "support/message_text.hpp"
#include "support/page_storage.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <ios>
#include <limits>
#include <map>
#include <new>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vantel {

namespace {

// "hash:n": the hash in 16 hexadecimal digits, built in place, since every
// result of a log has one.
std::string hash_and_count(std::uint64_t hash, std::int64_t count) {
  static constexpr char digits[] = "0123456789abcdef";
  char text[16 + 1 + 20];
  for (int k = 15; k >= 0; --k, hash >>= 4U) text[k] = digits[hash & 15U];
  text[16] = ':';
  const auto [end, error] = std::to_chars(text + 17, text + sizeof text, count);
  (void)error;  // 20 digits hold any count
  return std::string(text, end);
}

void write_rule(detail::Json_writer& out, const Sarif_rule& rule) {
  out.start_object();
  out.member("id", rule.id);
  const auto text = [&](const char* key, const std::string& value) {
    if (value.empty()) return;
    out.key(key);
    detail::write_sarif_message(out, value);
  };
  text("shortDescription", rule.short_description);
  text("fullDescription", rule.full_description);
  text("help", rule.help);
  if (!rule.help_uri.empty()) out.member("helpUri", rule.help_uri);
  detail::write_rule_metadata(out, rule);
  out.end_object();
}

// Text written once and held until the log is written: on huge pages once
// large, grown without copying what it holds, since a log of many results
// holds megabytes.
class Held_text {
 public:
  // Appends both or neither.
  void append(std::string_view first, std::string_view second) {
    if (first.size() + second.size() > std::numeric_limits<std::size_t>::max() / 2 - size_)
      throw std::bad_alloc();
    const std::size_t size = size_ + first.size() + second.size();
    if (size > storage_.capacity()) storage_.resize(std::max(size, storage_.capacity() * 2), size_);
    if (!first.empty()) std::memcpy(storage_.data() + size_, first.data(), first.size());
    if (!second.empty())
      std::memcpy(storage_.data() + size_ + first.size(), second.data(), second.size());
    size_ = size;
  }
  void write(std::ostream& out) const {
    if (size_ > 0) out.write(storage_.data(), static_cast<std::streamsize>(size_));
  }

 private:
  detail::Page_storage<char> storage_;
  std::size_t size_ = 0;
};

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
    artifacts.relative = !options.base_uri.empty();
  }

  Sarif_tool tool;
  Sarif_options options;
  detail::Region_reader regions;
  std::vector<std::string> rule_ids;                  // the tool's, then codes first met
  std::map<std::string, std::string> first_messages;  // of each rule's first result
  std::map<std::string, std::string> first_urls;      // the first code URL of each rule's results
  std::unordered_map<std::uint64_t, std::int64_t> seen_hashes;  // only counted, never listed
  // The results written so far, each where it stands in the log, with the
  // commas between them: a large log is never held as a tree.
  Held_text results;
  // Where results go instead when the log is streamed.
  std::string* pending = nullptr;
  std::size_t result_count = 0;
  detail::Json_writer writer;
  std::optional<Sarif_invocation> invocation;
  detail::Left_out left_out;
  detail::Sarif_artifacts artifacts;

  static constexpr std::size_t result_depth = 4;  // {"runs": [{"results": [here

  // What closes a list of `count` results.
  static std::string list_end(std::size_t count) {
    return count == 0 ? "]" : "\n" + std::string(result_depth * 2 - 2, ' ') + ']';
  }

  // Readers require a rule: a report without a code is one of its
  // severity's.
  static std::string rule_id(const Report& report) {
    return report.code.empty() ? std::string(report.severity.word()) : report.code;
  }

  // What the host says of rule `id`, if anything.
  std::string_view known_description(const std::string& id) const {
    for (const Sarif_rule& rule : tool.rules)
      if (rule.id == id && !rule.short_description.empty()) return rule.short_description;
    return {};
  }

  // "hash:n" for the n-th result whose line hashes to `line_hash`.
  std::string fingerprint(const std::optional<std::uint64_t>& line_hash) const {
    if (!line_hash) return {};
    const auto seen = seen_hashes.find(*line_hash);
    return hash_and_count(*line_hash, (seen == seen_hashes.end() ? 0 : seen->second) + 1);
  }

  void add(const Report& report) {
    if (result_count == detail::max_results_per_run) {
      ++left_out.results;
      left_out.kept_results = result_count;
      return;
    }
    detail::Sarif_result_head head;
    head.id = rule_id(report);
    const detail::Sarif_places places = detail::sarif_places(report, head.id, regions);
    head.rule_index = 0;
    while (head.rule_index < rule_ids.size() && rule_ids[head.rule_index] != head.id)
      ++head.rule_index;  // a new code's rule is added with its first result
    head.message = detail::report_text(report, known_description(head.id));
    head.fingerprint = fingerprint(places.line_hash);
    const bool had_absolute_files = artifacts.absolute_files;
    const std::size_t pending_size = pending != nullptr ? pending->size() : 0;
    try {
      writer.restart(result_depth);
      detail::write_sarif_result(writer, report, head, places, artifacts);
      const std::string_view comma = result_count > 0 ? "," : "";
      if (pending != nullptr)
        pending->append(comma).append(writer.text());
      else
        results.append(comma, writer.text());
    } catch (...) {
      artifacts.absolute_files = had_absolute_files;  // the log stays as it was
      if (pending != nullptr) pending->resize(pending_size);
      throw;
    }
    ++result_count;
    if (places.line_hash) ++seen_hashes[*places.line_hash];
    if (head.rule_index == rule_ids.size()) rule_ids.push_back(head.id);
    // Only a rule's first result is kept: try_emplace copies nothing after it.
    first_messages.try_emplace(head.id, report.message);
    if (!report.code_url.empty()) first_urls.try_emplace(head.id, report.code_url);
    if (places.cut_lists > 0) {
      left_out.cut_results += places.cut_lists;
      left_out.locations += places.cut_locations;
    }
  }

  // The rule as written: what the host says of it, with descriptions that
  // readers require filled in.
  Sarif_rule described(const std::string& id) const {
    Sarif_rule rule;
    rule.id = id;
    for (const Sarif_rule& known : tool.rules)
      if (known.id == id) rule = known;
    const auto first = first_messages.find(id);
    if (rule.short_description.empty() && first != first_messages.end())
      rule.short_description = first->second;
    if (rule.short_description.empty()) rule.short_description = id;
    if (rule.full_description.empty()) rule.full_description = rule.short_description;
    if (rule.help.empty()) rule.help = rule.full_description;
    if (const auto url = first_urls.find(id); rule.help_uri.empty() && url != first_urls.end())
      rule.help_uri = url->second;
    if (!rule.help_uri.empty())
      (void)detail::checked_uri(rule.help_uri,
                                "vantel::Sarif_log: help URI of rule " + detail::message_text(id));
    return rule;
  }

  void write_driver(detail::Json_writer& out) const {
    out.start_object();
    out.member("name", tool.name.empty() ? std::string_view("vantel") : tool.name);
    if (!tool.version.empty()) out.member("version", tool.version);
    if (!tool.information_uri.empty()) out.member("informationUri", tool.information_uri);
    if (!rule_ids.empty()) {
      out.key("rules");
      out.start_array();
      for (const std::string& id : rule_ids) write_rule(out, described(id));
      out.end_array();
    }
    out.end_object();
  }

  // Whether an artifact, listed or in a result, is named by absolute path.
  bool absolute_files() const {
    if (artifacts.absolute_files) return true;
    if (artifacts.relative) return false;
    for (const Source& source : options.artifacts)
      if (detail::is_absolute_artifact(source, false)) return true;
    return false;
  }

  void write_invocations(detail::Json_writer& out) const {
    const bool absolute = absolute_files();
    if (!invocation && !absolute && left_out.results == 0 && left_out.cut_results == 0) return;
    Sarif_invocation given = invocation.value_or(Sarif_invocation{});
    if (given.working_directory.empty() && absolute) given.working_directory = ".";
    out.key("invocations");
    out.start_array();
    detail::write_invocation(out, given, left_out);
    out.end_array();
  }

  // The run with an empty list of results, first or last.
  void write_run(detail::Json_writer& out, bool results_first) {
    out.start_object();
    if (results_first) empty_results(out);
    out.key("tool");
    out.start_object();
    out.key("driver");
    write_driver(out);
    out.end_object();
    write_invocations(out);
    if (!options.base_uri.empty()) {
      out.key("originalUriBaseIds");
      out.start_object();
      out.key(detail::sarif_base_id);
      out.start_object();
      out.member("uri", detail::checked_base_uri(options.base_uri, "vantel::Sarif_log: base URI"));
      out.end_object();
      out.end_object();
    }
    out.member("columnKind", options.column_kind == Sarif_column_kind::Unicode_code_points
                                 ? "unicodeCodePoints"
                                 : "utf16CodeUnits");
    if (!options.artifacts.empty()) {
      out.key("artifacts");
      out.start_array();
      for (const Source& source : options.artifacts) {
        out.start_object();
        out.key("location");
        detail::Sarif_artifacts(artifacts).write(out, source);
        out.end_object();
      }
      out.end_array();
    }
    if (!results_first) empty_results(out);
    out.end_object();
  }

  static void empty_results(detail::Json_writer& out) {
    out.key("results");
    out.start_array();
    out.end_array();
  }

  // The log with an empty list of results, its run's first or last member.
  std::string log(bool results_first) {
    detail::Json_writer out;
    out.restart(0);
    out.start_object();
    out.member("$schema",
               "https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/"
               "sarif-schema-2.1.0.json");
    out.member("version", "2.1.0");
    out.key("runs");
    out.start_array();
    write_run(out, results_first);
    out.end_array();
    out.end_object();
    return std::string(out.text());
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
  return impl_ ? impl_->result_count : 0;
}

void Sarif_log::write(std::ostream& out) const {
  if (impl_) {
    // The results go where the log's empty list of results stands, its
    // last member.
    const std::string log = impl_->log(false);
    const std::size_t list = log.rfind("[]");
    out.write(log.data(), static_cast<std::streamsize>(list));
    out << '[';
    impl_->results.write(out);
    out << Impl::list_end(impl_->result_count) << std::string_view(log).substr(list + 2) << '\n';
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

struct Sarif_stream::Impl {
  Impl(std::ostream& o, Sarif_tool tool, Sarif_options options)
      : log(std::move(tool), std::move(options)), out(o) {
    log.impl_->pending = &pending;
    // Everything before the results is known now: they are the run's first
    // member.
    const std::string text = log.impl_->log(true);
    pending.assign(text, 0, text.find("[]")).push_back('[');
  }

  static constexpr std::size_t piece = std::size_t{64} * 1024;

  void flush(const char* who) {
    out.write(pending.data(), static_cast<std::streamsize>(pending.size()));
    pending.clear();
    if (!out)
      throw std::ios_base::failure(std::string("vantel::Sarif_stream::") + who +
                                   ": writing the log failed");
  }
  // `impl`, which `who` may write to: neither moved from nor finished.
  static Impl& open(const std::unique_ptr<Impl>& impl, const char* who) {
    const std::string name = std::string("vantel::Sarif_stream::") + who;
    if (!impl) throw std::invalid_argument(name + ": the log was moved from");
    if (impl->finished) throw std::logic_error(name + ": the log was finished");
    return *impl;
  }

  Sarif_log log;
  std::ostream& out;
  std::string pending;
  bool finished = false;
};

Sarif_stream::Sarif_stream(std::ostream& out, Sarif_tool tool, Sarif_options options)
    : impl_(std::make_unique<Impl>(out, std::move(tool), std::move(options))) {}
Sarif_stream::Sarif_stream(Sarif_stream&& other) noexcept = default;
Sarif_stream& Sarif_stream::operator=(Sarif_stream&& other) noexcept = default;
Sarif_stream::~Sarif_stream() = default;

void Sarif_stream::add(const Report& report) {
  Impl& impl = Impl::open(impl_, "add");
  impl.log.add(report);
  if (impl.pending.size() >= Impl::piece) impl.flush("add");
}

void Sarif_stream::add(const Report& report, Error& error) noexcept {
  detail::capture(error, [&] { add(report); });
}

void Sarif_stream::set_invocation(Sarif_invocation invocation) {
  Impl::open(impl_, "set_invocation").log.set_invocation(std::move(invocation));
}

std::size_t Sarif_stream::size() const noexcept {
  return impl_ ? impl_->log.size() : 0;
}

void Sarif_stream::finish() {
  Impl& impl = Impl::open(impl_, "finish");
  const std::string text = impl.log.impl_->log(true);
  impl.finished = true;
  impl.pending.append(Sarif_log::Impl::list_end(impl.log.size()))
      .append(std::string_view(text).substr(text.find("[]") + 2))
      .push_back('\n');
  impl.flush("finish");
  impl.out.flush();
  if (!impl.out)
    throw std::ios_base::failure("vantel::Sarif_stream::finish: writing the log failed");
}

void Sarif_stream::finish(Error& error) noexcept {
  detail::capture(error, [&] { finish(); });
}

}  // namespace vantel
