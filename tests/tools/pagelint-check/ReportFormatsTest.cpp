#include "pagelint-check/ReportFormats.h"
#include "pagelint-check/JsonWriter.h"

#include "pagelint-check/CheckReport.h"

#include "CheckTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

namespace {

/// Two words in two files of one root, the second word with a suggestion.
CCheckReport SmallReport() {
  CCheckReport report;
  report.AddRoot("site", "/w/my site/");
  const std::string first = "A teh caf\xC3\xA9 teh";
  const std::string second = "\tQuux";
  report.AddFinding("teh", 0, "/w/my site/b.html", &first, 0, 12, 15, "...teh");
  report.AddFinding("teh", 0, "/w/my site/b.html", &first, 0, 2, 5, "A teh...");
  report.AddFinding("Quux", 0, "/w/my site/a b.html", &second, 2, 1, 5, "Quux");
  report.Sort();
  report.SetSuggestions(0, {"Quad"});
  report.AddFilesChecked(3);
  report.SetSeconds(1.5);
  return report;
}

/// "to the the sea", "A teh teh day" (an unrecognized "teh" twice, then repeated) and
/// "In in the end" on three lines, every word with a suggestion set: a repeated word
/// must show none.
CCheckReport RepeatsReport() {
  using Kind = CCheckReport::EKind;
  CCheckReport report;
  report.AddRoot("site", "/w/site/");
  report.AddFinding("the", 0, "/w/site/a.html", 0, 7, 10, 7, 10, "to the the sea", Kind::kRepeated);
  report.AddFinding("teh", 0, "/w/site/a.html", 1, 2, 5, 2, 5, "A teh teh day");
  report.AddFinding("teh", 0, "/w/site/a.html", 1, 6, 9, 6, 9, "A teh teh day", Kind::kRepeated);
  report.AddFinding("teh", 0, "/w/site/a.html", 1, 6, 9, 6, 9, "A teh teh day");
  report.AddFinding("in", 0, "/w/site/a.html", 2, 3, 5, 3, 5, "In in the end", Kind::kRepeated);
  report.Sort();
  for (std::size_t k = 0; k < static_cast<std::size_t>(report.GetWordCount()); ++k) {
    report.SetSuggestions(k, {"the"});
  }
  report.AddFilesChecked(1);
  report.SetSeconds(0.25);
  return report;
}

// A repeated word is marked in each format and shows no suggestions, even when some
// were set; each SARIF result names its rule by id and by its index in the run's rules.
TEST(ReportFormats, RepeatedWordsAreMarkedInEveryFormat) {
  const CCheckReport report = RepeatsReport();
  EXPECT_EQ(CReportFormats::Text(report, true, true),
            "a.html:1:8: the (duplicate)\n"
            "a.html:2:3: teh (the)\n"
            "a.html:2:7: teh (the)\n"
            "a.html:2:7: teh (duplicate)\n"
            "a.html:3:4: in (duplicate)\n"
            "1 files checked, 1 unrecognized words, 3 repeated words, 5 occurrences, 0.25 s\n");
  const std::string json = CReportFormats::Json(report, true, false);
  EXPECT_NE(json.find("\"word\": \"in\",\n      \"duplicate\": true,\n      \"suggestions\": []"),
            std::string::npos)
      << json;
  EXPECT_EQ(checktest::Python(CReportFormats::Sarif(report, true, false, "1"), R"(
import json, sys
run = json.load(open(sys.argv[1]))['runs'][0]
rules = run['tool']['driver']['rules']
for rule in rules:
    print(rule['id'], rule['name'], rule['shortDescription']['text'])
for r in run['results']:
    print(rules[r['ruleIndex']]['id'] == r['ruleId'], r['message']['text'],
          r['properties']['suggestions'])
)"),
            "unrecognized-word UnrecognizedWord A word that none of the dictionaries recognizes.\n"
            "repeated-word RepeatedWord A word that repeats the word right before it.\n"
            "True Repeated word: the []\n"
            "True Unrecognized word: teh ['the']\n"
            "True Unrecognized word: teh ['the']\n"
            "True Repeated word: teh []\n"
            "True Repeated word: in []\n");
}

TEST(ReportFormats, TextListsEveryFindingInPathOrder) {
  const CCheckReport report = SmallReport();
  EXPECT_EQ(CReportFormats::Text(report, false, false), "a b.html:3:2: Quux\n"
                                                        "b.html:1:3: teh\n"
                                                        "b.html:1:12: teh\n");
  EXPECT_EQ(CReportFormats::Text(report, true, true),
            "a b.html:3:2: Quux (Quad)\n"
            "b.html:1:3: teh\n"
            "b.html:1:12: teh\n"
            "3 files checked, 2 unrecognized words, 3 occurrences, 1.50 s\n");
}

// What a page or a file name may hold must not disturb the terminal or pass for a
// location: each case is one file (below the root "/s/") and one word.
TEST(ReportFormats, TextNeutralisesPathsAndWords) {
  struct Case {
    std::string file;
    std::string word;
    std::string line;
  };
  const Case cases[] = {
      {"a\nb.html", "t\x1b[2Jeh", "a?b.html:1:1: t?[2Jeh\n"},
      {"a.html",
       "t\xE2\x80\xAE"
       "eh",
       "a.html:1:1: t?eh\n"},
      {"a\xC2\x9B.html",
       "t\xE2\x80\xA8"
       "eh",
       "a?.html:1:1: t?eh\n"},
      {"x.html:1:1: fake.html", "teh", "\"x.html:1:1: fake.html\":1:1: teh\n"},
      {"a:b.html", "teh", "\"a:b.html\":1:1: teh\n"},
      {R"("q\".html)", "teh",
       R"("\"q\\\".html":1:1: teh)"
       "\n"},
      {"in\"side.html", "teh", "in\"side.html:1:1: teh\n"},
  };
  for (const Case& c : cases) {
    CCheckReport report;
    report.AddRoot("s", "/s/");
    report.AddFinding(c.word, 0, "/s/" + c.file, nullptr, 0, 0, 3, "");
    report.Sort();
    EXPECT_EQ(CReportFormats::Text(report, false, false), c.line) << c.file;
  }
}

// Written piece by piece, each format is the same as built whole, across many files of
// two roots (each path printed as its own), control characters and known columns.
TEST(ReportFormats, WrittenReportsEqualBuiltReports) {
  CCheckReport report;
  report.AddRoot("one", "/s/1/");
  report.AddRoot("two/", "/s/2/");
  for (int k = 0; k < 5000; ++k) {
    const std::string file = "/s/" + std::to_string(1 + k % 2) + "/f" + std::to_string(k % 13) +
                             (k % 5 == 0 ? "\t.html" : ".html");
    report.AddFinding(k % 7 == 0 ? "t\x7F" : "teh", k % 2, file, k, 3, 6, 2, 5, "");
  }
  report.Sort();
  for (const bool summary : {false, true}) {
    std::ostringstream written;
    CReportFormats::WriteText(report, false, summary, written);
    const std::string built = CReportFormats::Text(report, false, summary);
    EXPECT_GT(built.size(), 64U * 1024);
    EXPECT_EQ(written.str(), built);
    EXPECT_NE(built.find("one/f0?.html:1:3: t?\n"), std::string::npos);
    EXPECT_NE(built.find("two/f1.html:2:3: teh\n"), std::string::npos);
  }
  for (const bool summary : {false, true}) {
    std::ostringstream json;
    std::ostringstream sarif;
    CReportFormats::WriteJson(report, true, summary, json);
    CReportFormats::WriteSarif(report, true, summary, "1", sarif);
    const std::string builtJson = CReportFormats::Json(report, true, summary);
    EXPECT_GT(builtJson.size(), 2 * CJsonWriter::kPieceBytes);
    EXPECT_EQ(json.str(), builtJson);
    EXPECT_EQ(sarif.str(), CReportFormats::Sarif(report, true, summary, "1"));
  }
}

// The text is built in blocks of 4,096 findings, every other one on a second thread:
// around the edges of those blocks, what is written is still what is built.
TEST(ReportFormats, WrittenTextEqualsBuiltTextAtBlockEdges) {
  for (const int count : {4095, 4096, 4097, 8192, 12289}) {
    SCOPED_TRACE(count);
    CCheckReport report;
    report.AddRoot("s", "/s/");
    // File after file, as a check records them: each finding goes at the end of its
    // word's places, and a sanitizer build stays fast.
    for (int k = 0; k < count; ++k) {
      report.AddFinding("teh", 0, "/s/f" + std::to_string(k * 7 / count) + ".html", k, 3, 6, 2, 5,
                        "");
    }
    report.Sort();
    std::ostringstream written;
    CReportFormats::WriteText(report, false, true, written);
    const std::string built = CReportFormats::Text(report, false, true);
    EXPECT_EQ(std::count(built.begin(), built.end(), '\n'), count + 1);
    EXPECT_EQ(written.str(), built);
  }
}

TEST(ReportFormats, EmptyReportsAreValidInEveryFormat) {
  CCheckReport report;
  report.AddRoot("s", "/s/");
  EXPECT_EQ(CReportFormats::Text(report, false, false), "");
  EXPECT_EQ(CReportFormats::Json(report, false, false),
            "{\n  \"roots\": [\n    \"/s/\"\n  ],\n  \"words\": []\n}\n");
  EXPECT_EQ(checktest::Python(CReportFormats::Sarif(report, false, false, "1.0"),
                              "import json,sys; d=json.load(open(sys.argv[1]));"
                              "print(len(d['runs']), len(d['runs'][0]['results']))"),
            "1 0\n");
}

TEST(ReportFormats, JsonLayout) {
  EXPECT_EQ(CReportFormats::Json(SmallReport(), true, true),
            R"({
  "roots": [
    "/w/my site/"
  ],
  "words": [
    {
      "word": "Quux",
      "suggestions": [
        "Quad"
      ],
      "locations": [
        {
          "file": "a b.html",
          "line": 3,
          "column": 2,
          "start": 1,
          "end": 5,
          "context": "Quux"
        }
      ]
    },
    {
      "word": "teh",
      "suggestions": [],
      "locations": [
        {
          "file": "b.html",
          "line": 1,
          "column": 3,
          "start": 2,
          "end": 5,
          "context": "A teh..."
        },
        {
          "file": "b.html",
          "line": 1,
          "column": 12,
          "start": 12,
          "end": 15,
          "context": "...teh"
        }
      ]
    }
  ],
  "summary": {
    "files": 3,
    "words": 2,
    "occurrences": 3,
    "seconds": 1.500
  }
}
)");
}

TEST(ReportFormats, SarifNamesTheRuleAndLocatesEachResult) {
  const std::string sarif = CReportFormats::Sarif(SmallReport(), true, true, "0.1.0");
  const std::string printed = checktest::Python(sarif, R"(
import json, sys
d = json.load(open(sys.argv[1]))
print(d['version'], len(d['runs']))
run = d['runs'][0]
driver = run['tool']['driver']
print(driver['name'], driver['version'], [r['id'] for r in driver['rules']])
print(run['originalUriBaseIds']['SITEROOT']['uri'])
for r in run['results']:
    loc = r['locations'][0]['physicalLocation']
    reg = loc['region']
    print(r['ruleId'], r['level'], r['message']['text'], loc['artifactLocation']['uri'],
          loc['artifactLocation']['uriBaseId'], reg['startLine'], reg['startColumn'],
          reg['endColumn'], reg['snippet']['text'],
          loc['contextRegion']['snippet']['text'], r['properties']['suggestions'])
print(d['properties']['occurrences'])
)");
  EXPECT_EQ(printed,
            "2.1.0 1\n"
            "pagelint-check 0.1.0 ['unrecognized-word']\n"
            "file:///w/my%20site/\n"
            "unrecognized-word warning Unrecognized word: Quux a%20b.html SITEROOT 3 2 6 Quux "
            "Quux ['Quad']\n"
            "unrecognized-word warning Unrecognized word: teh b.html SITEROOT 1 3 6 teh A teh... "
            "[]\n"
            "unrecognized-word warning Unrecognized word: teh b.html SITEROOT 1 12 15 teh ...teh "
            "[]\n"
            "3\n");
}

TEST(ReportFormats, SarifHasOneRunPerRoot) {
  CCheckReport report;
  report.AddRoot("one", "/w/one/");
  report.AddRoot("two", "/w/two/");
  report.AddFinding("teh", 1, "/w/two/x.html", nullptr, 0, 0, 3, "");
  report.AddFinding("teh", 0, "/w/one/y.html", nullptr, 0, 0, 3, "");
  report.Sort();
  EXPECT_EQ(checktest::Python(CReportFormats::Sarif(report, false, false, "1"), R"(
import json, sys
d = json.load(open(sys.argv[1]))
for run in d['runs']:
    print(run['originalUriBaseIds']['SITEROOT']['uri'],
          [r['locations'][0]['physicalLocation']['artifactLocation']['uri'] for r in run['results']])
)"),
            "file:///w/one/ ['y.html']\nfile:///w/two/ ['x.html']\n");
}

TEST(ReportFormats, EveryByteSurvivesAsValidJson) {
  // Every control character, quotes, backslashes, damaged UTF-8, line separators, a C1
  // control and a bidirectional override.
  std::string nasty;
  for (int c = 0; c < 0x20; ++c) {
    nasty += static_cast<char>(c);
  }
  nasty +=
      "\"\\/\x7F caf\xC3\xA9 \xC3 \xFF\xFE \xE2\x80\xA8 \xF0\x9F\x98\x80 \xC2\x85\xE2\x80\xAE end";
  CCheckReport report;
  report.AddRoot(nasty, "/w/" + nasty + "/");
  report.AddFinding(nasty, 0, "/w/" + nasty + "/" + nasty, nullptr, 0, 0, 3, nasty);
  report.Sort();
  report.SetSuggestions(0, {nasty});
  const std::string expected =
      "\\u0000\\u0001\\u0002\\u0003\\u0004\\u0005\\u0006\\u0007\\u0008\\t\\n\\u000b\\u000c\\r"
      "\\u000e\\u000f\\u0010\\u0011\\u0012\\u0013\\u0014\\u0015\\u0016\\u0017\\u0018\\u0019"
      "\\u001a\\u001b\\u001c\\u001d\\u001e\\u001f\\\"\\\\/\\u007f caf\xC3\xA9 \\ufffd "
      "\\ufffd\\ufffd \\u2028 \xF0\x9F\x98\x80 \\u0085\\u202e end";
  std::string escaped;
  CJsonWriter::AppendEscaped(escaped, nasty);
  EXPECT_EQ(escaped, expected);

  // Python decodes what was written back to the text with U+FFFD for damaged bytes.
  const std::string script = R"(
import json, sys
d = json.load(open(sys.argv[1], encoding='utf-8'))
words = d['words'] if 'words' in d else None
if words is not None:
    w = words[0]
    texts = [w['word'], w['suggestions'][0], w['locations'][0]['context']]
else:
    r = d['runs'][0]['results'][0]
    texts = [r['message']['text'][len('Unrecognized word: '):],
             r['locations'][0]['physicalLocation']['contextRegion']['snippet']['text']]
print(all(t == texts[0] for t in texts), [hex(ord(c)) for c in texts[0][32:40]])
)";
  const std::string printed =
      "True ['0x22', '0x5c', '0x2f', '0x7f', '0x20', '0x63', '0x61', '0x66']\n";
  EXPECT_EQ(checktest::Python(CReportFormats::Json(report, true, false), script), printed);
  EXPECT_EQ(checktest::Python(CReportFormats::Sarif(report, true, false, "1"), script), printed);
}

TEST(ReportFormats, EncodeUriPath) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a/b-c_d.e~f.html", "a/b-c_d.e~f.html"},
      {"my page#1?.html", "my%20page%231%3F.html"},
      {"caf\xC3\xA9/100%.htm", "caf%C3%A9/100%25.htm"},
      {"a:b;c@d", "a%3Ab%3Bc%40d"},
      {"", ""},
  };
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(CReportFormats::EncodeUriPath(path), expected) << path;
  }
}

TEST(JsonWriter, NestsAndSeparates) {
  CJsonWriter json;
  json.BeginArray();
  json.Int(-3);
  json.Bool(true);
  json.BeginObject();
  json.EndObject();
  json.BeginArray();
  json.EndArray();
  json.Fixed(0.25, 2);
  json.EndArray();
  EXPECT_EQ(json.GetText(), "[\n  -3,\n  true,\n  {},\n  [],\n  0.25\n]\n");
}

} // namespace
