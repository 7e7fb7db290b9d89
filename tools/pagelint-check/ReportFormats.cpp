#include "pagelint-check/ReportFormats.h"

#include "pagelint-check/CheckReport.h"
#include "pagelint-check/HelperTask.h"
#include "pagelint-check/JsonWriter.h"
#include "pagelint-check/TerminalText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <ostream>

namespace {

constexpr const char* kUriBase = "SITEROOT";
/// After a repeated word in the text format: the word is known, the fix is removing it.
constexpr std::string_view kDuplicateMark = " (duplicate)";

bool IsRepeated(const CCheckReport::Finding& finding) {
  return finding.kind == CCheckReport::EKind::kRepeated;
}

/// The suggestions of `word` that are printed: none for a repeated word, whatever was set.
const std::vector<std::string>& PrintedSuggestions(const CCheckReport& report, std::size_t word) {
  static const std::vector<std::string> kNone;
  return report.GetWordKind(word) == CCheckReport::EKind::kRepeated ? kNone
                                                                    : report.GetSuggestions(word);
}

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

/// " (a, b)", or nothing without suggestions.
void AppendTextSuggestions(std::string& out, const std::vector<std::string>& suggestions) {
  if (suggestions.empty()) {
    return;
  }
  out += " (";
  for (std::size_t i = 0; i < suggestions.size(); ++i) {
    out += i == 0 ? "" : ", ";
    CTerminalText::AppendPrintable(out, suggestions[i]);
  }
  out += ')';
}

/// The text format is made block by block, each of this many findings built on its own
/// (its first path made anew), so that two threads can take every other block.
constexpr std::size_t kTextBlockEntries = 4096;

/// Appends the lines of the findings [begin, end) of `entries`, the ByPlace index (asked
/// for once: asking puts the index in order again).
void AppendTextLines(const CCheckReport& report, const std::vector<CCheckReport::Entry>& entries,
                     bool suggest, std::size_t begin, std::size_t end, std::string& out) {
  // The findings come file by file: a file's printed path is built once.
  std::string path;
  int pathOf = -1;
  for (std::size_t k = begin; k < end; ++k) {
    if (k + CCheckReport::kPrefetchAhead < end) {
      CCheckReport::Prefetch(entries[k + CCheckReport::kPrefetchAhead]);
    }
    const CCheckReport::Finding finding = report.At(entries[k]);
    if (finding.file != pathOf) {
      path.clear();
      AppendTextPath(path, report.DisplayPath(finding.file));
      pathOf = finding.file;
    }
    out += path;
    out += ':';
    AppendNumber(out, finding.line);
    out += ':';
    AppendNumber(out, finding.column);
    out += ": ";
    CTerminalText::AppendPrintable(out, finding.word);
    if (IsRepeated(finding)) {
      out += kDuplicateMark;
    } else if (suggest) {
      AppendTextSuggestions(out, report.GetSuggestions(finding.wordIndex));
    }
    out += '\n';
  }
}

/// Writes the text lines of every finding to `out`, the blocks in order. A helper
/// thread builds every other block while this one builds and writes the rest; each
/// block waits for its turn to be written, so at most two are held at once.
void WriteTextLines(const CCheckReport& report, bool suggest, std::ostream& out) {
  const std::vector<CCheckReport::Entry>& entries = report.ByPlace();
  const std::size_t count = entries.size();
  const std::size_t blocks = (count + kTextBlockEntries - 1) / kTextBlockEntries;
  std::mutex mutex;
  std::condition_variable turn;
  std::size_t nextToWrite = 0;
  bool stopped = false;
  const auto writeBlocks = [&](std::size_t first, std::size_t step) {
    std::string text;
    try {
      for (std::size_t block = first; block < blocks; block += step) {
        text.clear();
        AppendTextLines(report, entries, suggest, block * kTextBlockEntries,
                        std::min(count, (block + 1) * kTextBlockEntries), text);
        std::unique_lock lock(mutex);
        turn.wait(lock, [&] { return nextToWrite == block || stopped; });
        if (stopped) {
          return;
        }
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        ++nextToWrite;
        turn.notify_all();
      }
    } catch (...) {
      // The other thread must not wait for a block that never comes.
      {
        const std::lock_guard lock(mutex);
        stopped = true;
      }
      turn.notify_all();
      throw;
    }
  };
  if (blocks < 2) {
    writeBlocks(0, 1);
    return;
  }
  CHelperTask other([&] { writeBlocks(1, 2); });
  if (!other.Started()) {
    writeBlocks(0, 1);
    return;
  }
  writeBlocks(0, 2);
  other.Join();
}

/// `"key": {"text": text}`, SARIF's form of a message or snippet.
void WriteTextObject(CJsonWriter& json, std::string_view key, std::string_view text) {
  json.Key(key);
  json.BeginObject();
  json.Member("text", text);
  json.EndObject();
}

void WriteSuggestions(CJsonWriter& json, const std::vector<std::string>& suggestions) {
  json.Key("suggestions");
  json.BeginArray();
  for (const std::string& suggestion : suggestions) {
    json.String(suggestion);
  }
  json.EndArray();
}

/// The words left unchecked by language, as "uncheckedWords": {"fr": 57}; nothing when
/// every word was checked, so that such reports read as they always did.
void WriteUnchecked(CJsonWriter& json, const CCheckReport& report) {
  if (report.GetUncheckedLanguages().empty()) {
    return;
  }
  json.Key("uncheckedWords");
  json.BeginObject();
  for (const CUncheckedLanguages::SLanguage& language : report.GetUncheckedLanguages()) {
    json.MemberInt(language.tag, static_cast<long long>(language.words));
  }
  json.EndObject();
}

void WriteSummary(CJsonWriter& json, const CCheckReport& report, bool unchecked = false) {
  json.BeginObject();
  json.MemberInt("files", report.GetFilesChecked());
  json.MemberInt("words", report.GetUnrecognizedWordCount());
  // Only when there are any, so that a report without them reads as it always did.
  if (report.GetRepeatedWordCount() > 0) {
    json.MemberInt("repeatedWords", report.GetRepeatedWordCount());
  }
  json.MemberInt("occurrences", report.GetOccurrenceCount());
  json.Key("seconds");
  json.Fixed(report.GetSeconds(), 3);
  if (unchecked) {
    WriteUnchecked(json, report);
  }
  json.EndObject();
}

/// A SARIF rule and what its results say: the word follows `message`.
struct SRule {
  const char* id;
  const char* name;
  const char* description;
  const char* message;
  int index; ///< in the run's rules
};

constexpr SRule kUnrecognizedRule{CReportFormats::kRuleId, "UnrecognizedWord",
                                  "A word that none of the dictionaries recognizes.",
                                  "Unrecognized word: ", 0};
constexpr SRule kRepeatRule{CReportFormats::kRepeatRuleId, "RepeatedWord",
                            "A word that repeats the word right before it.", "Repeated word: ", 1};

const SRule& RuleOf(const CCheckReport::Finding& finding) {
  return IsRepeated(finding) ? kRepeatRule : kUnrecognizedRule;
}

void WriteRule(CJsonWriter& json, const SRule& rule) {
  json.BeginObject();
  json.Member("id", rule.id);
  json.Member("name", rule.name);
  WriteTextObject(json, "shortDescription", rule.description);
  json.Key("defaultConfiguration");
  json.BeginObject();
  json.Member("level", "warning");
  json.EndObject();
  json.EndObject();
}

void WriteSarifResult(CJsonWriter& json, const CCheckReport& report,
                      const CCheckReport::Finding& finding, std::string_view uri, bool suggest,
                      std::string& message) {
  const SRule& rule = RuleOf(finding);
  json.BeginObject();
  json.Member("ruleId", rule.id);
  json.MemberInt("ruleIndex", rule.index);
  json.Member("level", "warning");
  message.assign(rule.message).append(finding.word);
  WriteTextObject(json, "message", message);
  json.Key("locations");
  json.BeginArray();
  json.BeginObject();
  json.Key("physicalLocation");
  json.BeginObject();
  json.Key("artifactLocation");
  json.BeginObject();
  json.Member("uri", uri);
  json.Member("uriBaseId", kUriBase);
  json.EndObject();
  json.Key("region");
  json.BeginObject();
  json.MemberInt("startLine", finding.line);
  json.MemberInt("startColumn", finding.column);
  json.MemberInt("endColumn", finding.endColumn);
  WriteTextObject(json, "snippet", finding.word);
  json.EndObject();
  json.Key("contextRegion");
  json.BeginObject();
  json.MemberInt("startLine", finding.line);
  WriteTextObject(json, "snippet", finding.context);
  json.EndObject();
  json.EndObject();
  json.EndObject();
  json.EndArray();
  if (suggest || !finding.language.empty()) {
    json.Key("properties");
    json.BeginObject();
    if (suggest) {
      WriteSuggestions(json, PrintedSuggestions(report, finding.wordIndex));
    }
    if (!finding.language.empty()) {
      json.Member("language", finding.language);
    }
    json.EndObject();
  }
  json.EndObject();
}

/// The run of `root`, whose findings are those of `findings` from `next` on: `next` is
/// left on the first finding of a later root.
void WriteSarifRun(CJsonWriter& json, const CCheckReport& report, int root,
                   const std::vector<CCheckReport::Entry>& findings, std::size_t& next,
                   bool suggest, std::string_view version) {
  json.BeginObject();
  json.Key("tool");
  json.BeginObject();
  json.Key("driver");
  json.BeginObject();
  json.Member("name", "pagelint-check");
  json.Member("version", version);
  json.Key("rules");
  json.BeginArray();
  WriteRule(json, kUnrecognizedRule);
  // The second rule only when a result uses it: a report without repeated words stays
  // as it always was, byte for byte.
  if (report.GetRepeatedWordCount() > 0) {
    WriteRule(json, kRepeatRule);
  }
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
  // A file's address is encoded once for its findings, which come together.
  std::string uri;
  int uriOf = -1;
  std::string message;
  for (; next < findings.size(); ++next) {
    const CCheckReport::Finding finding = report.At(findings[next]);
    if (finding.root != root) {
      break;
    }
    if (finding.file != uriOf) {
      uri = CReportFormats::EncodeUriPath(report.FileOf(finding.file));
      uriOf = finding.file;
    }
    WriteSarifResult(json, report, finding, uri, suggest, message);
  }
  json.EndArray();
  json.EndObject();
}

} // namespace

std::string CReportFormats::Text(const CCheckReport& report, bool suggest, bool summary) {
  std::string out;
  const std::vector<CCheckReport::Entry>& entries = report.ByPlace();
  AppendTextLines(report, entries, suggest, 0, entries.size(), out);
  if (summary) {
    out += SummaryLine(report);
    out += '\n';
  }
  return out;
}

void CReportFormats::WriteText(const CCheckReport& report, bool suggest, bool summary,
                               std::ostream& out) {
  WriteTextLines(report, suggest, out);
  if (summary) {
    out << SummaryLine(report) << '\n';
  }
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
  const std::vector<CCheckReport::Entry>& findings = report.ByWord();
  std::size_t next = 0;
  std::string path;
  int pathOf = -1;
  for (std::size_t word = 0; word < static_cast<std::size_t>(report.GetWordCount()); ++word) {
    json.BeginObject();
    json.Member("word", report.GetWordText(word));
    // Left out for an unrecognized word, so that reports without repeats stay as they were.
    if (report.GetWordKind(word) == CCheckReport::EKind::kRepeated) {
      json.Key("duplicate");
      json.Bool(true);
    }
    if (suggest) {
      WriteSuggestions(json, PrintedSuggestions(report, word));
    }
    json.Key("locations");
    json.BeginArray();
    for (; next < findings.size() && findings[next].word == word; ++next) {
      const CCheckReport::Finding finding = report.At(findings[next]);
      if (finding.file != pathOf) {
        path = report.DisplayPath(finding.file);
        pathOf = finding.file;
      }
      json.BeginObject();
      json.Member("file", path);
      json.MemberInt("line", finding.line);
      json.MemberInt("column", finding.column);
      json.MemberInt("start", finding.start);
      json.MemberInt("end", finding.end);
      json.Member("context", finding.context);
      if (!finding.language.empty()) {
        json.Member("language", finding.language);
      }
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  WriteUnchecked(json, report);
  if (summary) {
    json.Key("summary");
    WriteSummary(json, report);
  }
  json.EndObject();
}

void CReportFormats::BuildSarif(CJsonWriter& json, const CCheckReport& report, bool suggest,
                                bool summary, std::string_view version) {
  const std::vector<CCheckReport::Entry>& findings = report.ByPlace();
  std::size_t next = 0;
  json.BeginObject();
  json.Member("$schema", "https://json.schemastore.org/sarif-2.1.0.json");
  json.Member("version", "2.1.0");
  json.Key("runs");
  json.BeginArray();
  for (int root = 0; root < static_cast<int>(report.GetRoots().size()); ++root) {
    WriteSarifRun(json, report, root, findings, next, suggest, version);
  }
  json.EndArray();
  if (summary) {
    json.Key("properties");
    WriteSummary(json, report, true);
  } else if (!report.GetUncheckedLanguages().empty()) {
    json.Key("properties");
    json.BeginObject();
    WriteUnchecked(json, report);
    json.EndObject();
  }
  json.EndObject();
}

std::string CReportFormats::SummaryLine(const CCheckReport& report) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", report.GetSeconds());
  std::string line = std::to_string(report.GetFilesChecked()) + " files checked, " +
                     std::to_string(report.GetUnrecognizedWordCount()) + " unrecognized words, ";
  if (report.GetRepeatedWordCount() > 0) {
    line += std::to_string(report.GetRepeatedWordCount()) + " repeated words, ";
  }
  return line + std::to_string(report.GetOccurrenceCount()) + " occurrences, " + seconds + " s";
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
