#include "pagelint-check/ReportFormats.h"

#include "pagelint-check/CheckReport.h"
#include "pagelint-check/JsonWriter.h"
#include "pagelint-check/TerminalText.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <ostream>

namespace {

constexpr const char* kUriBase = "SITEROOT";

/// A path as the text format prints it. A colon in it could pass for the one before the
/// line number ("a:1:2: b.html:3:4: word"), so such a path, and one that starts with a
/// quote, is put in double quotes with `"` and `\` inside escaped by a backslash.
void AppendTextPath(std::string& out, std::string_view path) {
  const std::string shown = CTerminalText::Printable(path);
  if (shown.find(':') == std::string::npos && !shown.starts_with('"')) {
    out += shown;
    return;
  }
  out += '"';
  for (const char c : shown) {
    if (c == '"' || c == '\\') {
      out += '\\';
    }
    out += c;
  }
  out += '"';
}

void AppendNumber(std::string& out, int value) {
  std::array<char, 16> digits{};
  const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
  out.append(digits.data(), end);
}

constexpr std::size_t kTextPieceBytes = 64 * 1024;

/// Appends the text format to `out`, handing `out` to `flush` whenever it has grown
/// past a piece (the flush may empty it).
template <typename Flush>
void BuildText(const CCheckReport& report, bool suggest, bool summary, std::string& out,
               Flush flush) {
  // The findings come file by file: a file's printed path is built once.
  std::string path;
  const CCheckReport::Location* pathOf = nullptr;
  for (const CCheckReport::Finding& finding : report.GetFindings()) {
    const CCheckReport::Location& location = *finding.location;
    if (pathOf == nullptr || pathOf->root != location.root ||
        pathOf->fileIndex != location.fileIndex) {
      path.clear();
      AppendTextPath(path, report.DisplayPath(location));
      pathOf = &location;
    }
    out += path;
    out += ':';
    AppendNumber(out, location.line);
    out += ':';
    AppendNumber(out, location.column);
    out += ": ";
    CTerminalText::AppendPrintable(out, finding.word->text);
    if (suggest && !finding.word->suggestions.empty()) {
      out += " (";
      for (std::size_t i = 0; i < finding.word->suggestions.size(); ++i) {
        out += i == 0 ? "" : ", ";
        CTerminalText::AppendPrintable(out, finding.word->suggestions[i]);
      }
      out += ')';
    }
    out += '\n';
    if (out.size() >= kTextPieceBytes) {
      flush(out);
    }
  }
  if (summary) {
    out += CReportFormats::SummaryLine(report);
    out += '\n';
  }
}

/// `"key": {"text": text}`, SARIF's form of a message or snippet.
void WriteTextObject(CJsonWriter& json, std::string_view key, std::string_view text) {
  json.Key(key);
  json.BeginObject();
  json.Member("text", text);
  json.EndObject();
}

void WriteSuggestions(CJsonWriter& json, const CCheckReport::Word& word) {
  json.Key("suggestions");
  json.BeginArray();
  for (const std::string& suggestion : word.suggestions) {
    json.String(suggestion);
  }
  json.EndArray();
}

void WriteSummary(CJsonWriter& json, const CCheckReport& report) {
  json.BeginObject();
  json.MemberInt("files", report.GetFilesChecked());
  json.MemberInt("words", report.GetWordCount());
  json.MemberInt("occurrences", report.GetOccurrenceCount());
  json.Key("seconds");
  json.Fixed(report.GetSeconds(), 3);
  json.EndObject();
}

void WriteRule(CJsonWriter& json) {
  json.BeginObject();
  json.Member("id", CReportFormats::kRuleId);
  json.Member("name", "UnrecognizedWord");
  WriteTextObject(json, "shortDescription", "A word that none of the dictionaries recognizes.");
  json.Key("defaultConfiguration");
  json.BeginObject();
  json.Member("level", "warning");
  json.EndObject();
  json.EndObject();
}

void WriteSarifResult(CJsonWriter& json, const CCheckReport& report, const CCheckReport::Word& word,
                      const CCheckReport::Location& location, bool suggest) {
  json.BeginObject();
  json.Member("ruleId", CReportFormats::kRuleId);
  json.MemberInt("ruleIndex", 0);
  json.Member("level", "warning");
  WriteTextObject(json, "message", "Unrecognized word: " + word.text);
  json.Key("locations");
  json.BeginArray();
  json.BeginObject();
  json.Key("physicalLocation");
  json.BeginObject();
  json.Key("artifactLocation");
  json.BeginObject();
  json.Member("uri", CReportFormats::EncodeUriPath(report.FileOf(location)));
  json.Member("uriBaseId", kUriBase);
  json.EndObject();
  json.Key("region");
  json.BeginObject();
  json.MemberInt("startLine", location.line);
  json.MemberInt("startColumn", location.column);
  json.MemberInt("endColumn", location.endColumn);
  WriteTextObject(json, "snippet", word.text);
  json.EndObject();
  json.Key("contextRegion");
  json.BeginObject();
  json.MemberInt("startLine", location.line);
  WriteTextObject(json, "snippet", location.context);
  json.EndObject();
  json.EndObject();
  json.EndObject();
  json.EndArray();
  if (suggest) {
    json.Key("properties");
    json.BeginObject();
    WriteSuggestions(json, word);
    json.EndObject();
  }
  json.EndObject();
}

void WriteSarifRun(CJsonWriter& json, const CCheckReport& report, int root,
                   const std::vector<CCheckReport::Finding>& findings, bool suggest,
                   std::string_view version) {
  json.BeginObject();
  json.Key("tool");
  json.BeginObject();
  json.Key("driver");
  json.BeginObject();
  json.Member("name", "pagelint-check");
  json.Member("version", version);
  json.Key("rules");
  json.BeginArray();
  WriteRule(json);
  json.EndArray();
  json.EndObject();
  json.EndObject();

  json.Key("originalUriBaseIds");
  json.BeginObject();
  json.Key(kUriBase);
  json.BeginObject();
  json.Member("uri", "file://" + CReportFormats::EncodeUriPath(report.GetRoots()[root].directory));
  json.EndObject();
  json.EndObject();

  json.Key("results");
  json.BeginArray();
  for (const CCheckReport::Finding& finding : findings) {
    if (finding.location->root == root) {
      WriteSarifResult(json, report, *finding.word, *finding.location, suggest);
    }
  }
  json.EndArray();
  json.EndObject();
}

} // namespace

std::string CReportFormats::Text(const CCheckReport& report, bool suggest, bool summary) {
  std::string out;
  BuildText(report, suggest, summary, out, [](std::string&) {});
  return out;
}

void CReportFormats::WriteText(const CCheckReport& report, bool suggest, bool summary,
                               std::ostream& out) {
  std::string piece;
  const auto write = [&out](std::string& text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    text.clear();
  };
  BuildText(report, suggest, summary, piece, write);
  write(piece);
}

std::string CReportFormats::Json(const CCheckReport& report, bool suggest, bool summary) {
  CJsonWriter json;
  BuildJson(json, report, suggest, summary);
  return json.GetText();
}

void CReportFormats::WriteJson(const CCheckReport& report, bool suggest, bool summary,
                               std::ostream& out) {
  CJsonWriter json(out);
  BuildJson(json, report, suggest, summary);
  json.Flush();
}

std::string CReportFormats::Sarif(const CCheckReport& report, bool suggest, bool summary,
                                  std::string_view version) {
  CJsonWriter json;
  BuildSarif(json, report, suggest, summary, version);
  return json.GetText();
}

void CReportFormats::WriteSarif(const CCheckReport& report, bool suggest, bool summary,
                                std::string_view version, std::ostream& out) {
  CJsonWriter json(out);
  BuildSarif(json, report, suggest, summary, version);
  json.Flush();
}

void CReportFormats::BuildJson(CJsonWriter& json, const CCheckReport& report, bool suggest,
                               bool summary) {
  json.BeginObject();
  json.Key("roots");
  json.BeginArray();
  for (const CCheckReport::Root& root : report.GetRoots()) {
    json.String(root.directory);
  }
  json.EndArray();
  json.Key("words");
  json.BeginArray();
  for (const CCheckReport::Word& word : report.GetWords()) {
    json.BeginObject();
    json.Member("word", word.text);
    if (suggest) {
      WriteSuggestions(json, word);
    }
    json.Key("locations");
    json.BeginArray();
    for (const CCheckReport::Location& location : word.locations) {
      json.BeginObject();
      json.Member("file", report.DisplayPath(location));
      json.MemberInt("line", location.line);
      json.MemberInt("column", location.column);
      json.MemberInt("start", location.start);
      json.MemberInt("end", location.end);
      json.Member("context", location.context);
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  if (summary) {
    json.Key("summary");
    WriteSummary(json, report);
  }
  json.EndObject();
}

void CReportFormats::BuildSarif(CJsonWriter& json, const CCheckReport& report, bool suggest,
                                bool summary, std::string_view version) {
  const std::vector<CCheckReport::Finding> findings = report.GetFindings();
  json.BeginObject();
  json.Member("$schema", "https://json.schemastore.org/sarif-2.1.0.json");
  json.Member("version", "2.1.0");
  json.Key("runs");
  json.BeginArray();
  for (int root = 0; root < static_cast<int>(report.GetRoots().size()); ++root) {
    WriteSarifRun(json, report, root, findings, suggest, version);
  }
  json.EndArray();
  if (summary) {
    json.Key("properties");
    WriteSummary(json, report);
  }
  json.EndObject();
}

std::string CReportFormats::SummaryLine(const CCheckReport& report) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", report.GetSeconds());
  return std::to_string(report.GetFilesChecked()) + " files checked, " +
         std::to_string(report.GetWordCount()) + " unrecognized words, " +
         std::to_string(report.GetOccurrenceCount()) + " occurrences, " + seconds + " s";
}

std::string CReportFormats::EncodeUriPath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool keep = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                      (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                      byte == '~' || byte == '/';
    if (keep) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}
