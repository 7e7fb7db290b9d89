#pragma once

#include <string>
#include <vector>

/// What one call of pagelint-check asks for, as read from its command line.
class CCheckOptions {
public:
  enum class Format { Text, Json, Sarif, Words };

  std::vector<std::string> roots; ///< folders to check, as given
  std::string projectName;        ///< --project: a saved project to check
  bool listProjects = false;      ///< --list-projects
  bool listDictionaries = false;  ///< --list-dictionaries
  /// --dictionary, in the order given: the folders are checked with these in place of
  /// the built-in dictionary.
  std::vector<std::string> dictionaries;
  /// --files-from: a file listing the pages to check, one a line ("-": standard input).
  std::string filesFrom;
  /// --pages: the arguments after the root (all of them with --project) are pages to
  /// check, read as the lines of --files-from are.
  bool pagesGiven = false;
  std::vector<std::string> pages;
  Format format = Format::Text;
  bool suggest = false;         ///< add the speller's suggestions to each word
  bool summary = false;         ///< add files, words, occurrences and time
  bool skipCode = false;        ///< leave code samples out (a saved project may do so already)
  bool checkAttributes = false; ///< check alt and title values (a saved project may already)
  bool skipRepeats = false;     ///< leave repeated words out (a saved project may already)
  bool ignoreUppercase = false; ///< leave words in capitals unchecked (a saved project may already)
  bool ignoreNumbers = false;   ///< leave words with digits unchecked (a saved project may already)
  int jobs = 0;                 ///< files checked at once; 0 = one per core
  bool help = false;
  bool version = false;

  /// Reads the arguments after the program name. False, with a one-line `error`, when
  /// they are not a valid request; the fields then hold what was read so far.
  bool Parse(const std::vector<std::string>& args, std::string& error);
  /// The jobs to use: `jobs`, or the number of cores when it is 0.
  int EffectiveJobs() const;
  /// Whether only listed pages are checked (--files-from or --pages).
  bool SelectsPages() const { return !filesFrom.empty() || pagesGiven; }

  static std::string Usage();
};
