// SPDX-License-Identifier: MIT
#include "export/sarif_result.hpp"

#include "export/fallback_text.hpp"
#include "export/report_tags.hpp"
#include "export/sarif_run.hpp"
#include "input/input_node.hpp"
#include "input/uri.hpp"

namespace vantel::detail {

namespace {

const char* applicability_word(Applicability applicability) {
  switch (applicability) {
    case Applicability::Machine_applicable:
      return "machineApplicable";
    case Applicability::Maybe_incorrect:
      return "maybeIncorrect";
    case Applicability::Has_placeholders:
      return "hasPlaceholders";
    case Applicability::Unspecified:
      break;
  }
  return "unspecified";
}

void write_region(Json_writer& out, const Region& r) {
  out.start_object();
  out.key("startLine");
  out.integer(r.start_line);
  out.key("startColumn");
  out.integer(r.start_col);
  out.key("endLine");
  out.integer(r.end_line);
  out.key("endColumn");
  out.integer(r.end_col);
  // An excerpt's offsets count from its own start, not the file's.
  if (r.file_offsets) {
    out.key("charOffset");
    out.integer(r.char_offset);
    out.key("charLength");
    out.integer(r.char_length);
  }
  if (r.has_text) {
    out.key("snippet");
    out.start_object();
    out.member("text", r.text);
    if (!is_utf8(r.text)) out.member("binary", base64(r.text));
    out.end_object();
  }
  out.end_object();
}

class Result_writer {
 public:
  Result_writer(Json_writer& out, Sarif_artifacts& artifacts) : out_(out), artifacts_(artifacts) {}

  void physical(const Sarif_place& place) {
    out_.key("physicalLocation");
    out_.start_object();
    out_.key("artifactLocation");
    artifacts_.write(out_, *place.source);
    out_.key("region");
    write_region(out_, place.region);
    out_.end_object();
  }

  void locations(const std::vector<Sarif_location>& locations) {
    out_.key("locations");
    out_.start_array();
    for (const Sarif_location& l : locations) {
      out_.start_object();
      physical(l.place);
      if (!l.message.empty()) message(l.message);
      out_.end_object();
    }
    out_.end_array();
  }

  // The child a related location belongs to, in parts.
  void child(const Sarif_child& c) {
    out_.key("child");
    out_.start_object();
    out_.key("index");
    out_.count(c.index);
    out_.member("level", c.report->severity.word());
    if (!c.report->code.empty()) out_.member("code", c.report->code);
    out_.member("message", c.report->message);
    if (c.label != nullptr) {
      out_.member("labelKind", c.label->kind == Label_kind::Primary ? "primary" : "secondary");
      out_.member("labelMessage", c.label->message);
    }
    out_.end_object();
  }

  void related(const std::vector<Sarif_location>& related) {
    out_.key("relatedLocations");
    out_.start_array();
    for (std::size_t k = 0; k < related.size(); ++k) {
      const Sarif_location& l = related[k];
      out_.start_object();
      out_.key("id");
      out_.count(k + 1);
      physical(l.place);
      if (!l.message.empty()) message(l.message);
      if (l.depth > 0) {
        out_.key("properties");
        out_.start_object();
        out_.key("nestingLevel");
        out_.count(l.depth);
        if (l.child) child(*l.child);
        out_.end_object();
      }
      out_.end_object();
    }
    out_.end_array();
  }

  // The path as one thread flow.
  void code_flows(const std::vector<Sarif_step>& steps) {
    out_.key("codeFlows");
    out_.start_array();
    out_.start_object();
    out_.key("threadFlows");
    out_.start_array();
    out_.start_object();
    out_.key("locations");
    out_.start_array();
    for (const Sarif_step& step : steps) {
      out_.start_object();
      out_.key("location");
      out_.start_object();
      physical(step.place);
      if (!step.message->empty()) message(*step.message);
      out_.end_object();
      out_.key("nestingLevel");
      out_.integer(step.depth);
      out_.key("executionOrder");
      out_.count(step.order);
      out_.end_object();
    }
    out_.end_array();
    out_.end_object();
    out_.end_array();
    out_.end_object();
    out_.end_array();
  }

  void fix(const Sarif_fix& fix) {
    out_.start_object();
    out_.key("description");
    write_sarif_message(out_, fix_text(*fix.fix));
    out_.key("artifactChanges");
    out_.start_array();
    for (const Sarif_change& change : fix.changes) {
      out_.start_object();
      out_.key("artifactLocation");
      artifacts_.write(out_, *change.source);
      out_.key("replacements");
      out_.start_array();
      for (const Sarif_replacement& r : change.replacements) {
        out_.start_object();
        out_.key("deletedRegion");
        write_region(out_, r.region);
        out_.key("insertedContent");
        write_sarif_message(out_, *r.text);
        out_.end_object();
      }
      out_.end_array();
      out_.end_object();
    }
    out_.end_array();
    out_.key("properties");
    out_.start_object();
    out_.member("applicability", applicability_word(fix.fix->applicability));
    out_.end_object();
    out_.end_object();
  }

  // Notes, then tags.
  // The report's notes, then those on spans it could not use, then tags.
  void properties(const Report& report, const std::vector<Note>& span_notes) {
    if (report.notes.empty() && span_notes.empty() && report.tags.empty()) return;
    out_.key("properties");
    out_.start_object();
    if (!report.notes.empty() || !span_notes.empty()) {
      out_.key("notes");
      out_.start_array();
      for (const std::vector<Note>* notes : {&report.notes, &span_notes})
        for (const Note& note : *notes)
          out_.string(note.kind.empty() ? note.text : note.kind + ": " + note.text);
      out_.end_array();
    }
    if (!report.tags.empty()) {
      out_.key("tags");
      write_sarif_tags(out_, report.tags);
    }
    out_.end_object();
  }

  void message(std::string_view text) {
    out_.key("message");
    write_sarif_message(out_, text);
  }

 private:
  Json_writer& out_;
  Sarif_artifacts& artifacts_;
};

}  // namespace

void Sarif_artifacts::write(Json_writer& out, const Source& source) {
  const std::string& path = Input_node::file_path_of(source.input);
  if (!known_ || source.name != last_name_ || path != last_path_) {
    last_uri_ = artifact_uri(source, relative);
    last_absolute_ = is_absolute_artifact(source, relative);
    last_name_ = source.name;
    last_path_ = path;
    known_ = true;
  }
  out.start_object();
  out.member("uri", last_uri_);
  if (!relative && last_absolute_) absolute_files = true;
  if (relative && !last_absolute_) out.member("uriBaseId", sarif_base_id);
  out.end_object();
}

void write_sarif_message(Json_writer& out, std::string_view text) {
  out.start_object();
  out.member("text", text);
  if (!is_utf8(text)) {
    out.key("properties");
    out.start_object();
    out.member("binary", base64(text));
    out.end_object();
  }
  out.end_object();
}

void write_sarif_result(Json_writer& out, const Report& report, const Sarif_result_head& head,
                        const Sarif_places& places, Sarif_artifacts& artifacts) {
  Result_writer result(out, artifacts);
  out.start_object();
  out.member("ruleId", head.id);
  out.key("ruleIndex");
  out.count(head.rule_index);
  out.member("level", sarif_level(report.severity));
  result.message(head.message);
  result.locations(places.locations);
  if (!places.related.empty()) result.related(places.related);
  if (!places.steps.empty()) result.code_flows(places.steps);
  if (!places.fixes.empty()) {
    out.key("fixes");
    out.start_array();
    for (const Sarif_fix& fix : places.fixes) result.fix(fix);
    out.end_array();
  }
  result.properties(report, places.notes);
  if (!head.fingerprint.empty()) {
    out.key("partialFingerprints");
    out.start_object();
    out.member("lineHash/v1", head.fingerprint);
    out.end_object();
  }
  out.end_object();
}

}  // namespace vantel::detail
