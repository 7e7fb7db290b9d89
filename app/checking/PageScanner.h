#pragma once

#include "checking/BadWordsList.h"
#include "checking/LanguageScan.h"
#include "checking/WordShapes.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

/// Turns the lines of one page into the text a browser shows and gathers the words the
/// dictionaries do not know, each with its line, byte extent, columns and excerpt. The
/// buffers are the calling thread's, reused file after file, so a scanner is cheap to
/// make for each file; findings stay in those buffers until taken with Findings.
class CPageScanner {
public:
  /// True when the scan should end early (a stop was asked, or the run gave up).
  using StopCheck = std::function<bool()>;
  /// Which findings carry the excerpt of their line: a report that never shows them
  /// saves the time and memory of building and holding one for every finding, and the
  /// program, which shows a word's first excerpt in each page, needs only that one.
  enum class EExcerpts { kKept, kLeftOut, kFirstInPage };
  /// Whether the text of code samples (code, pre, kbd, samp, var, tt, inline svg) is
  /// checked like the rest of the page or left out of it.
  enum class ECodeSamples { kChecked, kSkipped };
  /// Whether image descriptions and tooltips (the values of alt on img, area and input,
  /// and of title on any element) are left out with their tags or checked as text.
  enum class EAttributeText { kSkipped, kChecked };
  /// Whether a word that repeats the one before it ("the the") is a finding, recorded
  /// with the duplicate flag beside the unrecognized words.
  enum class ERepeatedWords { kReported, kLeftOut };

  /// `dictionaryIds` must outlive the scanner; an empty `stopped` never stops. An
  /// unrecognized word of a shape `wordShapes` ignores is not a finding; repeats are.
  CPageScanner(const std::vector<int>& dictionaryIds, StopCheck stopped,
               EExcerpts excerpts = EExcerpts::kKept,
               ECodeSamples codeSamples = ECodeSamples::kChecked,
               EAttributeText attributeText = EAttributeText::kSkipped,
               ERepeatedWords repeatedWords = ERepeatedWords::kReported,
               CWordShapes wordShapes = {});

  /// The calling thread's line buffer: the file to scan is read into it.
  static std::vector<std::string>& Lines();
  /// Frees the calling thread's buffers (after running out of memory midway).
  static void ReleaseBuffers();

  /// Scans the lines held by Lines() and gathers their findings, after those of
  /// earlier calls since the last ClearFindings. False when stopped midway.
  bool ScanFile();
  /// Gathers the findings of one line of page text. `original` is the line as read
  /// (columns count its characters), null when it is plain ASCII. True when the line
  /// yielded no finding and the scan was not stopped.
  bool ScanLine(const std::string& line, const std::string* original, int lineIndex);
  /// The findings gathered so far, by word in first-found order.
  static std::span<CBadWordsList::SFileFindings> Findings();
  /// The words of the page (since ClearFindings) left unchecked, by language: text in a
  /// language none of the dictionaries is for.
  static std::span<const CLanguageScan::SUnchecked> UncheckedWords();
  static void ClearFindings();

  /// Turns a file's lines into the text a browser shows, in place and keeping every
  /// byte at its offset: comments, scripts, styles and tags blanked, character
  /// references decoded (fillers after them); with kSkipped the code samples' text is
  /// blanked too. The markup that parts words for the repeat test is noted for the
  /// scan that follows on this thread. False when `stopped` said so midway.
  static bool MakePageText(std::vector<std::string>& lines, const StopCheck& stopped = {},
                           ECodeSamples codeSamples = ECodeSamples::kChecked,
                           EAttributeText attributeText = EAttributeText::kSkipped);
  /// Overwrites every e-mail and web address in `line` with as many blanks.
  static void BlankAddresses(std::string& line);
  /// How the project's ignore dictionary holds a repeated `word`: twice, with a blank
  /// between, which no word of a page can be ("the the").
  static std::string IgnoredRepeatForm(std::string_view word);

private:
  /// ScanFile without freeing the lines of a large page.
  bool ScanLines();
  /// ScanLine inside the caller's CSpellLookupScope.
  bool ScanHeldLine(const std::string& line, const std::string* original, int lineIndex);
  bool IsStopped() const { return m_stopped && m_stopped(); }
  /// Whether the repeated `word` is one the dictionaries hold as ignored.
  bool IsIgnoredRepeat(const std::string& word) const;

  const std::vector<int>& m_dictionaryIds;
  const StopCheck m_stopped;
  const EExcerpts m_excerpts;
  const ECodeSamples m_codeSamples;
  const EAttributeText m_attributeText;
  const ERepeatedWords m_repeatedWords;
  const CWordShapes m_wordShapes;
};
