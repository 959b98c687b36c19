// SPDX-License-Identifier: MIT
// Writes the sample reports in every format, with their files, into the
// folder given, for the real readers to check: SARIF logs for the
// validator, LSP diagnostics with the byte ranges they must slice to, and
// one-line diagnostics for Vim's quickfix list.
#include "../export_samples.hpp"
#include "../html_samples.hpp"

#include <vantel/vantel.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void put_range(std::ostream& out, char kind, const vantel::Source& source,
               const vantel::Location& where) {
  out << kind << '\t' << source.name << '\t'
      << vantel::Position::to_offset(source.input, where.first) << '\t'
      << vantel::Position::to_offset(source.input, where.second) << '\n';
}

// What each Diagnostic of to_lsp_json must hold, in its order: its range
// (D), its related ranges (R, or P for one at the diagnostic's own), and the
// ranges its fixes edit (F).
void put_expected(std::ostream& out, const vantel::Report& report) {
  for (const vantel::Label& primary : report.labels) {
    if (primary.kind != vantel::Label_kind::Primary) continue;
    put_range(out, 'D', primary.source, primary.location);
    for (const vantel::Label& label : report.labels)
      if (label.kind == vantel::Label_kind::Secondary)
        put_range(out, 'R', label.source, label.location);
    std::vector<const vantel::Report*> pending;
    for (auto it = report.children.rbegin(); it != report.children.rend(); ++it)
      pending.push_back(&*it);
    while (!pending.empty()) {
      const vantel::Report* child = pending.back();
      pending.pop_back();
      for (const vantel::Label& label : child->labels)
        put_range(out, 'R', label.source, label.location);
      if (child->labels.empty()) out << "P\n";
      for (auto it = child->children.rbegin(); it != child->children.rend(); ++it)
        pending.push_back(&*it);
    }
    for (const vantel::Path_event& event : report.path)
      put_range(out, 'R', event.source, event.location);
    for (const vantel::Fix& fix : report.fixes)
      for (const vantel::Edit& edit : fix.edits) put_range(out, 'F', edit.source, edit.location);
  }
}

void write_sarif(const fs::path& file, const std::vector<vantel::Report>& reports,
                 vantel::Sarif_column_kind kind) {
  vantel::Sarif_log log({"calc", "1.0", "https://calc.example/", {test::sample_rule()}},
                        {kind, "file:///src/"});
  for (const vantel::Report& report : reports) log.add(report);
  std::ofstream out(file, std::ios::binary);
  log.write(out);
}

// The same log streamed: its results before the rest of its run.
void stream_sarif(const fs::path& file, const std::vector<vantel::Report>& reports) {
  std::ofstream out(file, std::ios::binary);
  vantel::Sarif_stream log(out, {"calc", "1.0", "https://calc.example/", {test::sample_rule()}},
                           {vantel::Sarif_column_kind::Utf16_code_units, "file:///src/"});
  for (const vantel::Report& report : reports) log.add(report);
  log.finish();
}

// The engine's data formats for the same reports, sorted: one SARIF run, and
// LSP diagnostics grouped by file.
void write_engine_samples(const fs::path& dir) {
  vantel::Sources registry;
  std::vector<vantel::Source> sources;
  for (const test::Sample_file& f : test::sample_files())
    sources.push_back(registry.add_view(f.name, f.text));
  for (auto format : {vantel::Diagnostics_format::Sarif, vantel::Diagnostics_format::Lsp}) {
    vantel::Diagnostics_options options;
    options.format = format;
    options.order = vantel::Diagnostics_order::Sorted;
    options.sarif_tool = {"calc", "1.0", "https://calc.example/", {}};
    options.sarif.base_uri = "file:///src/";
    const bool sarif = format == vantel::Diagnostics_format::Sarif;
    std::ofstream out(dir / (sarif ? "engine.sarif" : "engine.lsp.json"), std::ios::binary);
    vantel::Diagnostics engine(out, registry, options);
    for (vantel::Report& report : test::sample_reports(sources[0], sources[1]))
      engine.report(std::move(report));
    (void)engine.finish();
  }
}

// A page per sample and one of them all, for the browser, and the text that
// each page's marks must stand under, in order: "page\tshown\tshown...".
void write_html_samples(const fs::path& dir) {
  fs::create_directories(dir / "html");
  std::ofstream expect(dir / "html" / "pages.expect", std::ios::binary);
  std::vector<vantel::Report> all;
  std::string all_shown;
  for (const test::Html_sample& s : test::html_samples()) {
    all.push_back(test::html_report(s));
    std::ofstream page(dir / "html" / (std::string(s.name) + ".html"), std::ios::binary);
    vantel::write_html(page, {all.back()}, test::html_layout());
    expect << s.name << ".html\t" << s.shown << '\n';
    all_shown += std::string("\t") + s.shown;
  }
  std::ofstream page(dir / "html" / "all.html", std::ios::binary);
  vantel::write_html(page, all, test::html_layout());
  expect << "all.html" << all_shown << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: write_samples FOLDER\n";
    return 2;
  }
  const fs::path dir = argv[1];
  std::vector<vantel::Source> sources;
  for (const test::Sample_file& f : test::sample_files()) {
    fs::create_directories((dir / f.name).parent_path());
    std::ofstream(dir / f.name, std::ios::binary) << f.text;
    sources.emplace_back(vantel::Input::file((dir / f.name).string()), f.name);
  }
  const std::vector<vantel::Report> reports = test::sample_reports(sources[0], sources[1]);
  write_sarif(dir / "samples.sarif", reports, vantel::Sarif_column_kind::Utf16_code_units);
  write_sarif(dir / "samples-code-points.sarif", reports,
              vantel::Sarif_column_kind::Unicode_code_points);
  stream_sarif(dir / "samples-stream.sarif", reports);
  // Past code scanning's limits: 30,000 results, one of 1,200 locations.
  std::vector<vantel::Report> many(30000, reports[1]);
  for (int k = 0; k < 1200; ++k) many[0].labels.push_back(reports[1].labels[0]);
  write_sarif(dir / "samples-limits.sarif", many, vantel::Sarif_column_kind::Utf16_code_units);
  std::ofstream(dir / "samples.lsp.json", std::ios::binary) << vantel::to_lsp_json(reports);
  std::ofstream expected(dir / "samples.lsp.expect", std::ios::binary);
  std::ofstream short_lines(dir / "samples.short", std::ios::binary);
  for (const vantel::Report& report : reports) {
    put_expected(expected, report);
    vantel::write_one_line(short_lines, report);
  }
  write_engine_samples(dir);
  write_html_samples(dir);
  return expected && short_lines ? 0 : 1;
}
