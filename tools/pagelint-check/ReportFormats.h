#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

class CCheckReport;
class CJsonWriter;

/// The three ways pagelint-check prints a sorted report.
class CReportFormats {
public:
  /// The rule id under which SARIF lists every unrecognized word.
  static constexpr const char* kRuleId = "unrecognized-word";
  /// The rule id under which SARIF lists every repeated word.
  static constexpr const char* kRepeatRuleId = "repeated-word";

  /// "path:line:column: word" per finding, "path:line:column: word (duplicate)" for a
  /// repeated word; with `suggest` " (a, b)" after an unrecognized word; with `summary`
  /// a last line from SummaryLine. A path holding ':' (or starting with
  /// '"') is put in double quotes; see CTerminalText for what is shown as "?".
  static std::string Text(const CCheckReport& report, bool suggest, bool summary);
  /// Text, written to `out` piece by piece instead of built whole.
  static void WriteText(const CCheckReport& report, bool suggest, bool summary, std::ostream& out);
  /// One object: "words" (each with its locations; a repeated word with "duplicate":
  /// true) and, with `summary`, "summary".
  static std::string Json(const CCheckReport& report, bool suggest, bool summary);
  /// Json, written to `out` piece by piece instead of built whole.
  static void WriteJson(const CCheckReport& report, bool suggest, bool summary, std::ostream& out);
  /// A SARIF 2.1.0 log with one run per root; a repeated word is a result of the rule
  /// kRepeatRuleId, listed second only when the report has one.
  static std::string Sarif(const CCheckReport& report, bool suggest, bool summary,
                           std::string_view version);
  /// Sarif, written to `out` piece by piece instead of built whole.
  static void WriteSarif(const CCheckReport& report, bool suggest, bool summary,
                         std::string_view version, std::ostream& out);

  /// "N files checked, N unrecognized words, N occurrences, S.SS s", with
  /// ", N repeated words" after the unrecognized words when there are any.
  static std::string SummaryLine(const CCheckReport& report);
  /// `path` as a URI reference: every byte but unreserved characters and "/" is
  /// percent-encoded.
  static std::string EncodeUriPath(std::string_view path);

private:
  static void BuildJson(CJsonWriter& json, const CCheckReport& report, bool suggest, bool summary);
  static void BuildSarif(CJsonWriter& json, const CCheckReport& report, bool suggest, bool summary,
                         std::string_view version);
};
