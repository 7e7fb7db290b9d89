// Any bytes as the lines of a page, scanned by the page scanner and by the reference
// scan that takes one whole pass per step: the page text, the blanked addresses and
// every finding (word, repeat or not, line, byte extent, columns, excerpt, order) must
// be the same.
// With image descriptions and tooltips checked, the page text may differ from it only
// in bytes the markup blanked.
#include "fuzzkit/FuzzHome.h"

#include "ReferenceScanner.h"
#include "checking/PageScanner.h"
#include "utilcore/PageText.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

const std::vector<int> kDictionaries{0};

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t end = bytes.find('\n'); end != std::string_view::npos;
       from = end + 1, end = bytes.find('\n', from)) {
    lines.emplace_back(bytes.substr(from, end - from));
  }
  lines.emplace_back(bytes.substr(from));
  return lines;
}

bool SameLocation(const CBadWordsList::SFoundLocation& a, const CBadWordsList::SFoundLocation& b) {
  return a.line == b.line && a.start == b.start && a.end == b.end && a.column == b.column &&
         a.endColumn == b.endColumn && a.context == b.context;
}

void ComparePageText(const std::vector<std::string>& lines) {
  std::vector<std::string> scanned = lines;
  std::vector<std::string> expected = lines;
  FUZZ_REQUIRE_THAT(CPageScanner::MakePageText(scanned), "page text is made to its end");
  CReferenceScanner::MakePageText(expected);
  FUZZ_REQUIRE_THAT(scanned == expected, "the page text equals the reference's");
  for (std::size_t k = 0; k < scanned.size(); ++k) {
    CPageScanner::BlankAddresses(scanned[k]);
    CReferenceScanner::BlankAddresses(expected[k]);
    FUZZ_REQUIRE_THAT(scanned[k] == expected[k], "the blanked addresses equal the reference's");
  }
}

void CompareFindings(const std::vector<std::string>& lines) {
  CPageScanner::Lines() = lines;
  CPageScanner::ClearFindings();
  FUZZ_REQUIRE_THAT(CPageScanner(kDictionaries, {}).ScanFile(), "the scan runs to its end");
  const std::span<CBadWordsList::SFileFindings> found = CPageScanner::Findings();
  const std::vector<CBadWordsList::SFileFindings> expected =
      CReferenceScanner::ScanFile(lines, kDictionaries);
  FUZZ_REQUIRE_THAT(found.size() == expected.size(), "as many words as the reference");
  for (std::size_t k = 0; k < found.size(); ++k) {
    FUZZ_REQUIRE_THAT(found[k].text == expected[k].text &&
                          found[k].duplicate == expected[k].duplicate,
                      "the words in the reference's order");
    const auto& mine = found[k].locations;
    const auto& theirs = expected[k].locations;
    FUZZ_REQUIRE_THAT(mine.size() == theirs.size(), "as many places as the reference");
    for (std::size_t n = 0; n < mine.size(); ++n) {
      FUZZ_REQUIRE_THAT(SameLocation(mine[n], theirs[n]), "each place equals the reference's");
    }
  }
}

// The values of alt and title go back only where their tags were blanked: every other
// byte is as without them, with code samples checked or skipped alike.
void CompareKeptAttributes(const std::vector<std::string>& lines) {
  using ECodeSamples = CPageScanner::ECodeSamples;
  for (const ECodeSamples samples : {ECodeSamples::kChecked, ECodeSamples::kSkipped}) {
    std::vector<std::string> without = lines;
    std::vector<std::string> with = lines;
    CPageScanner::MakePageText(without, {}, samples);
    FUZZ_REQUIRE_THAT(
        CPageScanner::MakePageText(with, {}, samples, CPageScanner::EAttributeText::kChecked),
        "page text with the values kept is made to its end");
    FUZZ_REQUIRE_THAT(with.size() == without.size(), "the values keep the lines");
    for (std::size_t k = 0; k < with.size(); ++k) {
      FUZZ_REQUIRE_THAT(with[k].size() == without[k].size(), "the values keep every offset");
      for (std::size_t at = 0; at < with[k].size(); ++at) {
        // A tag whose value is kept separates the words around it instead of joining
        // them: its joiners, and those of the markup next to it, may become blanks.
        FUZZ_REQUIRE_THAT(with[k][at] == without[k][at] || without[k][at] == ' ' ||
                              without[k][at] == CPageText::kJoiner,
                          "the values fill only blanked or joining bytes");
      }
    }
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  CFuzzHome::Get();
  CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath());
  // The speller's monitor threads must end before the process does.
  std::atexit([] { CSpellChecker::DeleteInstance(); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines =
      SplitLines(std::string_view(reinterpret_cast<const char*>(data), size));
  ComparePageText(lines);
  CompareFindings(lines);
  CompareKeptAttributes(lines);
  return 0;
}
