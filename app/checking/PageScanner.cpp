#include "checking/PageScanner.h"

#include "checking/AttributeTextKeeper.h"
#include "checking/CodeSampleBlanker.h"
#include "checking/InlineElements.h"
#include "checking/LanguageNames.h"
#include "checking/LanguageScan.h"
#include "checking/PageLanguages.h"
#include "checking/RepeatBarriers.h"
#include "checking/RepeatFinder.h"
#include "checking/TagWalk.h"
#include "checking/WordLookupCache.h"

#include "spellcore/SpellChecker.h"
#include "spellcore/SpellLookupScope.h"
#include "utilcore/HTMLUtils.h"
#include "utilcore/InternetUtils.h"
#include "utilcore/PageText.h"
#include "utilcore/StringUtils.h"
#include "utilcore/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

/// One unrecognized word of the line being scanned: where the search for its next
/// occurrence goes on.
struct SOccurrence {
  std::string word;
  std::size_t searchFrom = 0;
};

/// Characters before a byte offset of one line, counted onwards from the last offset
/// asked: the findings of a line mostly come in order, and counting each from the
/// line's start made a long line with many findings quadratic.
class CColumnCounter {
public:
  void Start(const std::string* text) {
    m_text = text;
    m_offset = 0;
    m_count = 0;
  }

  int At(std::size_t offset) {
    if (offset < m_offset) {
      m_offset = 0;
      m_count = 0;
    }
    // Counting from the last offset is only right when it lies on a character's first
    // byte; a damaged sequence may make it not, and then the count starts over.
    if (m_offset != 0 && IsContinuation(m_offset)) {
      m_offset = 0;
      m_count = 0;
    }
    const std::string_view rest = std::string_view(*m_text).substr(m_offset);
    m_count += CStringUtils::CountCharacters(rest, offset - m_offset);
    m_offset = offset;
    return m_count;
  }

private:
  bool IsContinuation(std::size_t offset) const {
    return offset < m_text->size() &&
           (static_cast<unsigned char>((*m_text)[offset]) & 0xC0) == 0x80;
  }

  const std::string* m_text = nullptr;
  std::size_t m_offset = 0;
  int m_count = 0;
};

/// One line's part of a piece of joining markup. A page holds at most 128 MiB, so 32
/// bits hold any line or offset.
struct SJoinerRun {
  std::uint32_t line;
  std::uint32_t begin;
  std::uint32_t end;
};

/// The markup of a page that may join the words around it, in page order. The largest
/// pages hold some 100,000 tags; at 32 bytes a place, this list was a fifth of the fresh
/// memory a check touched. So a place takes 16 bytes, and markup that surely joins
/// nothing is not kept at all.
class CJoiningPlaces {
public:
  /// A piece of markup in 32-bit offsets, as SJoinerRun.
  struct SPlace {
    std::uint32_t line;
    std::uint32_t offset;
    std::uint32_t endLine;
    std::uint32_t endOffset;
  };

  void Clear() {
    m_places.clear();
    m_ordered = true;
    m_lastLine = 0;
    m_lastOffset = 0;
  }

  /// Notes `place`, told while the markup before it is already blanked and it is not.
  void Add(const std::vector<std::string>& lines, const CStringUtils::TagPlace& place) {
    // A second walk over a page with unclear markup starts again from its top.
    if (place.line < m_lastLine || (place.line == m_lastLine && place.offset < m_lastOffset)) {
      m_ordered = false;
    }
    m_lastLine = place.line;
    m_lastOffset = place.offset;
    if (m_ordered && JoinsNothing(lines, place)) {
      return;
    }
    m_places.push_back(
        {static_cast<std::uint32_t>(place.line), static_cast<std::uint32_t>(place.offset),
         static_cast<std::uint32_t>(place.endLine), static_cast<std::uint32_t>(place.endOffset)});
  }

  std::vector<SPlace>& Places() { return m_places; }

private:
  /// Whether FillJoiners would leave `place` blank: a line's start or a blank before it.
  /// A blank may still be one that the markup kept just before will turn into joiners;
  /// any other markup before it is blanked already, and stays so.
  bool JoinsNothing(const std::vector<std::string>& lines,
                    const CStringUtils::TagPlace& place) const {
    if (place.offset == 0) {
      return true;
    }
    const char before = lines[place.line][place.offset - 1];
    if (before != ' ' && before != '\t') {
      return false;
    }
    return m_places.empty() || m_places.back().endLine != place.line ||
           m_places.back().endOffset != place.offset;
  }

  std::vector<SPlace> m_places;
  bool m_ordered = true;
  std::size_t m_lastLine = 0;
  std::size_t m_lastOffset = 0;
};

/// Buffers one scanning thread reuses line after line, so that the scan allocates
/// nothing per word once they have grown.
struct SScanBuffers {
  /// A line's unrecognized words are few, and a short linear search beats hashing;
  /// past this many (a huge line of garbage) they go into a hash map instead, so the
  /// scan stays linear in the line.
  static constexpr std::size_t kLinearOccurrences = 16;
  /// Line buffers up to this size are kept for the next page.
  static constexpr std::size_t kKeptLineBytes = std::size_t{256} << 10;

  std::string copy;
  std::string word;
  CWordLookupCache lookups;
  std::vector<CStringUtils::Span> spans;
  std::vector<SOccurrence> occurrences;
  std::size_t occurrenceCount = 0;
  std::unordered_map<std::string, std::size_t> manyOccurrences;
  std::vector<std::string> addresses;
  /// The markup of the page being made into text that joins the words around it.
  CJoiningPlaces joining;
  std::vector<SJoinerRun> joinerRuns;
  /// The markup of that page that parts words for the repeat test, and the test.
  CRepeatBarriers barriers;
  CRepeatFinder repeats;
  /// The languages of that page's text, and the dictionaries for each.
  CPageLanguages languages;
  CLanguageScan languageScan;
  std::string repeated;
  CColumnCounter columns;
  /// The lines of the file being checked, and copies of those with non-ASCII bytes as
  /// read (markup removal blanks characters, and columns count the characters).
  std::vector<std::string> lines;
  std::vector<std::string> originals;
  std::vector<unsigned char> hasOriginal;
  /// The file's findings by word, in first-found order: recorded in one go after it.
  std::vector<CBadWordsList::SFileFindings> fileWords;
  std::size_t fileWordCount = 0;
  /// fileWords' places by the hash of their text (open addressing; 0 is empty, else the
  /// place + 1), and the slots filled for the current file. Emptied file after file
  /// without freeing anything: a map of strings made and freed a node per word.
  std::vector<std::uint32_t> wordSlots;
  std::vector<std::size_t> usedSlots;

  /// Excerpt strings of earlier files, kept for their capacity: a finding then costs
  /// no allocation of its own once the buffers have grown.
  std::vector<std::string> spareContexts;

  void StartFile() {
    for (std::size_t k = 0; k < fileWordCount; ++k) {
      for (CBadWordsList::SFoundLocation& location : fileWords[k].locations) {
        // Only strings that hold memory are worth keeping (none when excerpts are left
        // out); each kept one is taken by a finding of a later file.
        if (location.context.capacity() > std::string().capacity()) {
          spareContexts.push_back(std::move(location.context));
        }
      }
      fileWords[k].locations.clear();
    }
    fileWordCount = 0;
    for (const std::size_t at : usedSlots) {
      wordSlots[at] = 0;
    }
    usedSlots.clear();
  }

  /// The locations gathered for `text` in the current file.
  std::vector<CBadWordsList::SFoundLocation>& LocationsOf(const std::string& text, int duplicate,
                                                          std::string_view pieces) {
    if ((fileWordCount + 1) * 2 > wordSlots.size()) {
      GrowWordSlots();
    }
    const std::size_t at = SlotOf(text, duplicate);
    if (wordSlots[at] == 0) {
      if (fileWordCount == fileWords.size()) {
        fileWords.emplace_back();
      }
      fileWords[fileWordCount].text.assign(text);
      fileWords[fileWordCount].duplicate = duplicate;
      fileWords[fileWordCount].pieces.assign(pieces);
      wordSlots[at] = static_cast<std::uint32_t>(++fileWordCount);
      usedSlots.push_back(at);
    }
    return fileWords[wordSlots[at] - 1].locations;
  }

  /// The slot that holds `text` with the duplicate flag `duplicate`, or the empty one
  /// where it belongs.
  std::size_t SlotOf(std::string_view text, int duplicate) const {
    const std::size_t mask = wordSlots.size() - 1;
    std::size_t at =
        (std::hash<std::string_view>{}(text) + static_cast<std::size_t>(duplicate)) & mask;
    while (wordSlots[at] != 0 && (fileWords[wordSlots[at] - 1].text != text ||
                                  fileWords[wordSlots[at] - 1].duplicate != duplicate)) {
      at = (at + 1) & mask;
    }
    return at;
  }

  void GrowWordSlots() {
    wordSlots.assign(std::max<std::size_t>(64, wordSlots.size() * 2), 0);
    usedSlots.clear();
    for (std::size_t k = 0; k < fileWordCount; ++k) {
      const std::size_t at = SlotOf(fileWords[k].text, fileWords[k].duplicate);
      wordSlots[at] = static_cast<std::uint32_t>(k + 1);
      usedSlots.push_back(at);
    }
  }

  /// Frees the lines of a large page once it is scanned: kept, they would hold its size
  /// (and that of its copies) for the rest of the check, in memory the findings of the
  /// next pages can use instead.
  void TrimLines() {
    std::size_t bytes = 0;
    for (const std::string& line : lines) {
      bytes += line.capacity();
    }
    if (bytes <= kKeptLineBytes) {
      return;
    }
    std::vector<std::string>().swap(lines);
    std::vector<std::string>().swap(originals);
  }

  void StartLine() {
    occurrenceCount = 0;
    manyOccurrences.clear();
  }

  /// Where the search for the next occurrence of `text` in the line goes on.
  std::size_t& SearchFrom(const std::string& text) {
    if (!manyOccurrences.empty()) {
      return manyOccurrences.try_emplace(text, 0).first->second;
    }
    for (std::size_t k = 0; k < occurrenceCount; ++k) {
      if (occurrences[k].word == text) {
        return occurrences[k].searchFrom;
      }
    }
    if (occurrenceCount == kLinearOccurrences) {
      for (std::size_t k = 0; k < occurrenceCount; ++k) {
        manyOccurrences.emplace(occurrences[k].word, occurrences[k].searchFrom);
      }
      return manyOccurrences.try_emplace(text, 0).first->second;
    }
    if (occurrenceCount == occurrences.size()) {
      occurrences.emplace_back();
    }
    SOccurrence& added = occurrences[occurrenceCount++];
    added.word.assign(text);
    added.searchFrom = 0;
    return added.searchFrom;
  }
};

SScanBuffers& ThreadBuffers() {
  thread_local SScanBuffers buffers;
  return buffers;
}

bool IsAscii(std::string_view text) {
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t chunk = 0;
    std::memcpy(&chunk, text.data() + i, sizeof chunk);
    if ((chunk & 0x8080808080808080ULL) != 0) {
      return false;
    }
  }
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

/// Keeps a copy of each line that holds non-ASCII bytes, before markup removal.
void KeepOriginals(SScanBuffers& buffers) {
  const std::size_t count = buffers.lines.size();
  buffers.hasOriginal.assign(count, 0);
  if (buffers.originals.size() < count) {
    buffers.originals.resize(count);
  }
  for (std::size_t k = 0; k < count; ++k) {
    if (!IsAscii(buffers.lines[k])) {
      buffers.originals[k].assign(buffers.lines[k]);
      buffers.hasOriginal[k] = 1;
    }
  }
}

/// The e-mail and web addresses of `line`, longest first: an e-mail address inside
/// "mailto:x@y.fr" blanked first would leave the rest of the web address unmatched, and
/// "mailto:" would be checked as a word.
void FindAddresses(const std::string& line, std::vector<std::string>& found) {
  found.clear();
  CInternetUtils::ParseEmailAddresses(line, found);
  CInternetUtils::ParseWebSiteAddresses(line, found);
  std::stable_sort(found.begin(), found.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
}

void BlankFound(std::string& line, const std::vector<std::string>& found) {
  for (const std::string& address : found) {
    if (address.empty()) {
      continue;
    }
    for (std::size_t at = line.find(address); at != std::string::npos;
         at = line.find(address, at + address.size())) {
      line.replace(at, address.size(), address.size(), ' ');
    }
  }
}

/// Blanks the tags that decoded references made in one line ("&lt;b&gt;" is shown as a
/// tag's text but is still markup to take out): a "<" before a letter or "/" (a
/// reference's fillers skipped, never the joiners of markup) up to the first ">" after it, when no
/// other "<" comes first. Anything else they made is text, as a browser shows it: "A&lt;B and
/// B&lt;C" hides nothing, however far the next ">" is.
void BlankDecodedTags(std::string& line, std::size_t lineIndex, CRepeatBarriers& barriers) {
  const std::string_view text = line;
  std::size_t at = text.find('<');
  while (at != std::string_view::npos) {
    const std::size_t name = CUtf8::SkipReferenceFillers(text, at + 1);
    const std::size_t nextOpen = text.find('<', at + 1);
    const char c = name < text.size() ? text[name] : '\0';
    const bool opens = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '/';
    // Only up to the next "<": the search stays linear in the line.
    const std::size_t close =
        opens ? text.substr(0, nextOpen).find('>', name) : std::string_view::npos;
    if (close != std::string_view::npos) {
      const std::size_t end = CUtf8::SkipReferenceFillers(text, close + 1);
      std::fill(line.begin() + static_cast<std::ptrdiff_t>(at),
                line.begin() + static_cast<std::ptrdiff_t>(end), ' ');
      barriers.AddSpelledBreak(lineIndex, at, end);
    }
    at = nextOpen;
  }
}

/// Turns the blanks of markup a browser shows no gap for (inline tags, comments) into
/// joiners, so that the letters on either side stay one word, and notes the runs
/// filled. A part with a blank or the line's start before it joins nothing (a joiner
/// joins only two word characters) and stays blank: most inline tags of a page follow a
/// space. The places go in page order, so that each one sees the markup before it as
/// it ends.
void FillJoiners(std::vector<std::string>& lines, std::vector<CJoiningPlaces::SPlace>& places,
                 std::vector<SJoinerRun>& runs) {
  const auto byStart = [](const CJoiningPlaces::SPlace& a, const CJoiningPlaces::SPlace& b) {
    return a.line != b.line ? a.line < b.line : a.offset < b.offset;
  };
  if (!std::is_sorted(places.begin(), places.end(), byStart)) {
    std::sort(places.begin(), places.end(), byStart);
  }
  runs.clear();
  for (const CJoiningPlaces::SPlace& place : places) {
    for (std::uint32_t line = place.line; line <= place.endLine && line < lines.size(); ++line) {
      std::string& text = lines[line];
      const std::uint32_t begin = line == place.line ? place.offset : 0;
      const std::uint32_t end = static_cast<std::uint32_t>(std::min<std::size_t>(
          line == place.endLine ? place.endOffset : text.size(), text.size()));
      if (begin >= end || begin == 0 || text[begin - 1] == ' ' || text[begin - 1] == '\t') {
        continue;
      }
      std::fill(text.begin() + static_cast<std::ptrdiff_t>(begin),
                text.begin() + static_cast<std::ptrdiff_t>(end), CPageText::kJoiner);
      runs.push_back({line, begin, end});
    }
  }
}

/// Whether the tag of `kind` is an SVG start tag that closes its element at once
/// ("<svg/>"): left open, it would leave the rest of the page out of the repeat test.
/// Only the separating kind holds SVG, so the many code tags have no name read.
bool IsEmptySvg(const std::vector<std::string>& page, const CStringUtils::TagPlace& tag,
                CInlineElements::ETag kind) {
  if (kind != CInlineElements::ETag::kSeparatesLeftOut) {
    return false;
  }
  bool closing = false;
  return CStringUtils::EqualsAsciiNoCase(
             CInlineElements::TagNameAt(page[tag.line], tag.offset, closing), "svg") &&
         !closing && CTagWalk::IsSelfClosing(page, tag);
}

/// Adds a location of `text` at [start, end) of the line, with its excerpt (as
/// `excerpts` asks) and columns.
void RecordFinding(SScanBuffers& buffers, CPageScanner::EExcerpts excerpts, const std::string& text,
                   int duplicate, std::string_view pieces, const std::string& line,
                   const std::string* original, int lineIndex, std::size_t start, std::size_t end,
                   std::uint16_t language) {
  std::vector<CBadWordsList::SFoundLocation>& places = buffers.LocationsOf(text, duplicate, pieces);
  CBadWordsList::SFoundLocation& location = places.emplace_back();
  location.line = lineIndex;
  location.start = static_cast<int>(start);
  location.end = static_cast<int>(end);
  location.language = language;
  // Lines are scanned in order and each word's search moves forward, so a page's
  // first place of a word is also its first in the sorted findings.
  if (excerpts == CPageScanner::EExcerpts::kKept ||
      (excerpts == CPageScanner::EExcerpts::kFirstInPage && places.size() == 1)) {
    if (!buffers.spareContexts.empty()) {
      location.context = std::move(buffers.spareContexts.back());
      buffers.spareContexts.pop_back();
      location.context.clear();
    }
    CStringUtils::AppendEllipsisSurroundingWord(location.context, line, location.start,
                                                location.end - location.start, 4);
  }
  if (original != nullptr && location.end <= static_cast<int>(original->size())) {
    location.column = buffers.columns.At(start);
    location.endColumn = buffers.columns.At(end);
  } else {
    // A plain ASCII line: one character per byte.
    location.column = location.start;
    location.endColumn = location.end;
  }
}

} // namespace

CPageScanner::CPageScanner(const std::vector<int>& dictionaryIds, StopCheck stopped,
                           EExcerpts excerpts, ECodeSamples codeSamples,
                           EAttributeText attributeText, ERepeatedWords repeatedWords,
                           CWordShapes wordShapes)
    : m_dictionaryIds(dictionaryIds), m_stopped(std::move(stopped)), m_excerpts(excerpts),
      m_codeSamples(codeSamples), m_attributeText(attributeText), m_repeatedWords(repeatedWords),
      m_wordShapes(wordShapes) {}

std::vector<std::string>& CPageScanner::Lines() {
  return ThreadBuffers().lines;
}

void CPageScanner::ReleaseBuffers() {
  ThreadBuffers() = SScanBuffers();
}

std::span<CBadWordsList::SFileFindings> CPageScanner::Findings() {
  SScanBuffers& buffers = ThreadBuffers();
  return std::span(buffers.fileWords).first(buffers.fileWordCount);
}

void CPageScanner::ClearFindings() {
  ThreadBuffers().StartFile();
  ThreadBuffers().languageScan.ClearUnchecked();
}

std::span<const CLanguageScan::SUnchecked> CPageScanner::UncheckedWords() {
  return ThreadBuffers().languageScan.Unchecked();
}

bool CPageScanner::MakePageText(std::vector<std::string>& lines, const StopCheck& stopped,
                                ECodeSamples codeSamples, EAttributeText attributeText) {
  const bool skipSamples = codeSamples == ECodeSamples::kSkipped;
  const bool keepAttributes = attributeText == EAttributeText::kChecked;
  CCodeSampleBlanker samples;
  CAttributeTextKeeper attributes;
  CJoiningPlaces& joining = ThreadBuffers().joining;
  joining.Clear();
  CRepeatBarriers& barriers = ThreadBuffers().barriers;
  barriers.Clear();
  CPageLanguages& languages = ThreadBuffers().languages;
  languages.Clear();
  const auto onTag = [&](const std::vector<std::string>& page, const CStringUtils::TagPlace& tag) {
    languages.OnTag(page, tag);
    // A code sample's own start tag is not inside it; the tags within it are.
    const bool kept =
        keepAttributes && !(skipSamples && samples.InSample()) && attributes.OnTag(page, tag);
    const bool sample = skipSamples && samples.OnTag(page, tag);
    // A word is never joined into or out of a skipped sample, nor with a value kept
    // inside the tag.
    bool closing = false;
    const CInlineElements::ETag kind = CInlineElements::TagAt(page[tag.line], tag.offset, closing);
    const bool joins = !kept && !sample && CInlineElements::Joins(kind);
    if (joins) {
      joining.Add(page, tag);
    }
    if (!joins || CInlineElements::PartsRepeats(kind)) {
      barriers.AddBreak(tag.line, tag.offset, tag.endLine, tag.endOffset);
    }
    if (CInlineElements::LeavesOutRepeats(kind)) {
      if (closing) {
        barriers.CloseLeftOut(tag.endLine, tag.endOffset);
      } else if (!IsEmptySvg(page, tag, kind)) {
        barriers.OpenLeftOut(tag.line, tag.offset);
      }
    }
  };
  const auto onComment = [&joining](const std::vector<std::string>& page,
                                    const CStringUtils::TagPlace& comment) {
    joining.Add(page, comment);
  };
  CStringUtils::BlankMarkup(lines, onTag, onComment);
  std::vector<SJoinerRun>& runs = ThreadBuffers().joinerRuns;
  FillJoiners(lines, joining.Places(), runs);
  samples.BlankSamples(lines);
  for (std::size_t index = 0; index < lines.size(); ++index) {
    if (stopped && stopped()) {
      return false;
    }
    std::string& line = lines[index];
    if (line.find('&') != std::string::npos) {
      CHTMLUtils::ReplaceHTMLReservedChars(line, false, true);
      BlankDecodedTags(line, index, barriers);
    }
  }
  barriers.Finish(lines.size());
  // Only now, references decoded, are the characters on either side of the markup known.
  for (const SJoinerRun& run : runs) {
    std::string& text = lines[run.line];
    // Markup followed by a blank (most end tags) joins nothing, and is settled here.
    if (run.end >= text.size() || text[run.end] == ' ') {
      std::replace(text.begin() + static_cast<std::ptrdiff_t>(run.begin),
                   text.begin() + static_cast<std::ptrdiff_t>(run.end), CPageText::kJoiner, ' ');
      continue;
    }
    CStringUtils::SettleJoinerRun(text, run.begin, run.end);
  }
  // Back only now: a value is the text of a tooltip, and a "<" decoded in it opens no
  // tag to blank in the page around it.
  attributes.Restore(lines);
  return true;
}

bool CPageScanner::ScanFile() {
  const bool scanned = ScanLines();
  ThreadBuffers().TrimLines();
  return scanned;
}

bool CPageScanner::ScanLines() {
  SScanBuffers& buffers = ThreadBuffers();
  std::vector<std::string>& lines = buffers.lines;
  KeepOriginals(buffers);
  if (!MakePageText(lines, m_stopped, m_codeSamples, m_attributeText)) {
    return false;
  }
  // One reader access for the page's look-ups instead of one per line. It keeps the
  // locking rules: inside it this thread takes only the dictionaries' reader access
  // again (re-entrant, also while a writer waits) and their load mutex, never a writer
  // access and never the bad-word list's lock (the findings are recorded after the
  // file). A dictionary change waits for at most the rest of one page.
  const CSpellLookupScope lookups(CSpellChecker::GetInstance());
  buffers.repeats.StartPage(&lines, &buffers.barriers);
  buffers.languageScan.StartPage(m_dictionaryIds, &buffers.languages);
  for (std::size_t index = 0; index < lines.size(); ++index) {
    if (IsStopped()) {
      return false;
    }
    const std::string* original =
        buffers.hasOriginal[index] != 0 ? &buffers.originals[index] : nullptr;
    ScanHeldLine(lines[index], original, static_cast<int>(index));
  }
  return !IsStopped();
}

bool CPageScanner::ScanLine(const std::string& line, const std::string* original, int lineIndex) {
  if (IsStopped()) {
    return false;
  }
  const CSpellLookupScope lookups(CSpellChecker::GetInstance());
  ThreadBuffers().repeats.StartPage(nullptr, nullptr);
  ThreadBuffers().languageScan.StartPage(m_dictionaryIds, nullptr);
  return ScanHeldLine(line, original, lineIndex);
}

bool CPageScanner::ScanHeldLine(const std::string& line, const std::string* original,
                                int lineIndex) {
  if (CStringUtils::IsEffectivelyEmpty(line)) {
    return true;
  }
  const CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr) {
    return true;
  }
  SScanBuffers& buffers = ThreadBuffers();
  CLanguageScan& languages = buffers.languageScan;
  // Most lines hold no address: they are read where they are, without a copy.
  FindAddresses(line, buffers.addresses);
  const std::string* text = &line;
  if (!buffers.addresses.empty()) {
    buffers.copy.assign(line);
    BlankFound(buffers.copy, buffers.addresses);
    text = &buffers.copy;
  }
  CStringUtils::GetWordSpans(*text, buffers.spans, false);
  buffers.StartLine();
  buffers.columns.Start(original);
  const bool repeats = m_repeatedWords == ERepeatedWords::kReported;
  if (repeats) {
    buffers.repeats.StartLine(line, static_cast<std::size_t>(lineIndex));
  }
  bool found = false;
  buffers.lookups.BeginLine(m_dictionaryIds);
  // A stop is asked for once per line by the caller, and here every so many words: a
  // call for each word cost more than its look-up when the answer was known.
  constexpr std::size_t kTokensBetweenStopChecks = 256;
  std::size_t untilStopCheck = kTokensBetweenStopChecks;
  for (const CStringUtils::Span& span : buffers.spans) {
    if (--untilStopCheck == 0) {
      if (IsStopped()) {
        return false;
      }
      untilStopCheck = kTokensBetweenStopChecks;
    }
    const std::string_view token = std::string_view(*text).substr(span.start, span.length);
    CWordLookupCache* cache = &buffers.lookups;
    std::uint16_t language = CLanguageNames::kNone;
    bool unchecked = false;
    if (languages.IsActive()) {
      const int set = languages.SetAt(static_cast<std::size_t>(lineIndex), span.start);
      language = languages.Language();
      unchecked = set == CLanguageDictionaries::kUnchecked;
      if (unchecked) {
        languages.CountUnchecked(*speller, token, static_cast<std::size_t>(lineIndex));
      } else if (set != 0) {
        cache = &languages.CacheFor(set, static_cast<std::size_t>(lineIndex));
      }
    }
    std::size_t begin = 0;
    std::size_t end = 0;
    if (repeats && buffers.repeats.OnToken(span.start, span.length, begin, end)) {
      buffers.repeated.clear();
      CRepeatFinder::AppendVisible(std::string_view(line).substr(begin, end - begin),
                                   buffers.repeated);
      if (!IsIgnoredRepeat(buffers.repeated)) {
        found = true;
        RecordFinding(buffers, m_excerpts, buffers.repeated, 1, {}, line, original, lineIndex,
                      begin, end, language);
      }
    }
    // Text no active dictionary is for is left unchecked, but still read for repeats.
    if (unchecked) {
      continue;
    }
    const CWordLookupCache::SAnswer answer = cache->LookUp(*speller, token);
    if (answer.outcome != CWordLookupCache::EOutcome::kUnknown) {
      continue;
    }
    // Asked only of unknown words, so the options cost nothing on the known ones.
    if (m_wordShapes.Ignores(answer.word)) {
      continue;
    }
    buffers.word.assign(answer.word);
    // The n-th unrecognized occurrence of a word is its n-th occurrence in the line.
    // The search goes on from the previous one, and never starts before the word's own
    // token: an earlier match could only lie inside another token (looked up as another
    // word), and starting there keeps the scan linear in the line.
    std::size_t& searchFrom = buffers.SearchFrom(buffers.word);
    searchFrom = std::max(searchFrom, span.start);
    CStringUtils::Span match;
    if (!CStringUtils::FindOccurrenceFrom(*text, buffers.word, searchFrom, true, match)) {
      searchFrom = text->size();
      continue;
    }
    searchFrom = match.start + match.length;
    found = true;
    RecordFinding(buffers, m_excerpts, buffers.word, 0, answer.pieces, line, original, lineIndex,
                  match.start, match.start + match.length, language);
  }
  return !found;
}

std::string CPageScanner::IgnoredRepeatForm(std::string_view word) {
  std::string form(word);
  form.push_back(' ');
  form.append(word);
  return form;
}

bool CPageScanner::IsIgnoredRepeat(const std::string& word) const {
  const CSpellChecker* speller = CSpellChecker::GetInstance();
  return speller != nullptr && speller->LookUp(IgnoredRepeatForm(word), m_dictionaryIds);
}

void CPageScanner::BlankAddresses(std::string& line) {
  std::vector<std::string>& found = ThreadBuffers().addresses;
  FindAddresses(line, found);
  BlankFound(line, found);
}
