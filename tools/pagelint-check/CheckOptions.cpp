#include "pagelint-check/CheckOptions.h"

#include <charconv>
#include <string_view>
#include <thread>

namespace {

constexpr int kMaxJobs = 256;

bool ParseFormat(std::string_view text, CCheckOptions::Format& format) {
  if (text == "text") {
    format = CCheckOptions::Format::Text;
  } else if (text == "json") {
    format = CCheckOptions::Format::Json;
  } else if (text == "sarif") {
    format = CCheckOptions::Format::Sarif;
  } else if (text == "words") {
    format = CCheckOptions::Format::Words;
  } else {
    return false;
  }
  return true;
}

bool ParseJobs(std::string_view text, int& jobs) {
  int value = 0;
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (status != std::errc() || end != text.data() + text.size() || value < 1 || value > kMaxJobs) {
    return false;
  }
  jobs = value;
  return true;
}

} // namespace

bool CCheckOptions::Parse(const std::vector<std::string>& args, std::string& error) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      roots.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    // "--name=value" and "--name value" are the same request, as are "-jN" and "-j N".
    std::string name = arg;
    std::string value;
    bool hasValue = false;
    if (const std::size_t equals = arg.find('='); arg.starts_with("--") && equals != arg.npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
      hasValue = true;
    } else if (arg.size() > 2 && arg.starts_with("-j")) {
      name = "-j";
      value = arg.substr(2);
      hasValue = true;
    }
    const bool takesValue = name == "--project" || name == "--format" || name == "--jobs" ||
                            name == "-j" || name == "--dictionary" || name == "--files-from";
    if (takesValue && !hasValue) {
      if (i + 1 >= args.size()) {
        error = "option " + name + " needs a value";
        return false;
      }
      value = args[++i];
    } else if (!takesValue && hasValue) {
      error = "option " + name + " takes no value";
      return false;
    }

    if (name == "--project") {
      if (value.empty()) {
        error = "option --project needs a project name";
        return false;
      }
      projectName = value;
    } else if (name == "--format") {
      if (!ParseFormat(value, format)) {
        error = "unknown format '" + value + "' (text, json, sarif or words)";
        return false;
      }
    } else if (name == "--jobs" || name == "-j") {
      if (!ParseJobs(value, jobs)) {
        error = "option " + name + " needs a number from 1 to " + std::to_string(kMaxJobs);
        return false;
      }
    } else if (name == "--dictionary") {
      if (value.empty()) {
        error = "option --dictionary needs a dictionary name";
        return false;
      }
      dictionaries.push_back(value);
    } else if (name == "--files-from") {
      if (value.empty()) {
        error = "option --files-from needs a file name (- for standard input)";
        return false;
      }
      filesFrom = value;
    } else if (name == "--pages") {
      pagesGiven = true;
    } else if (name == "--list-projects") {
      listProjects = true;
    } else if (name == "--list-dictionaries") {
      listDictionaries = true;
    } else if (name == "--suggest") {
      suggest = true;
    } else if (name == "--summary") {
      summary = true;
    } else if (name == "--skip-code") {
      skipCode = true;
    } else if (name == "--check-attributes") {
      checkAttributes = true;
    } else if (name == "--skip-repeats") {
      skipRepeats = true;
    } else if (name == "--ignore-uppercase") {
      ignoreUppercase = true;
    } else if (name == "--ignore-numbers") {
      ignoreNumbers = true;
    } else if (name == "--help" || name == "-h") {
      help = true;
    } else if (name == "--version") {
      version = true;
    } else {
      error = "unknown option " + name;
      return false;
    }
  }
  if (help || version) {
    return true;
  }
  if (pagesGiven) {
    // The root comes first; a saved project names its own.
    const std::size_t first = projectName.empty() && !roots.empty() ? 1 : 0;
    pages.assign(roots.begin() + static_cast<std::ptrdiff_t>(first), roots.end());
    roots.resize(first);
  }

  const int requests = (roots.empty() ? 0 : 1) + (projectName.empty() ? 0 : 1) +
                       (listProjects ? 1 : 0) + (listDictionaries ? 1 : 0);
  if (requests == 0) {
    error = "nothing to check: give a folder, --project NAME, --list-projects or "
            "--list-dictionaries";
    return false;
  }
  if (requests > 1) {
    error = "give either folders, --project NAME, --list-projects or --list-dictionaries, not "
            "several";
    return false;
  }
  if (SelectsPages() && (listProjects || listDictionaries || roots.size() > 1)) {
    error = "options --files-from and --pages go with one folder or --project NAME";
    return false;
  }
  if (format == Format::Words && (suggest || summary)) {
    error = "options --suggest and --summary do not go with --format words (its lines have "
            "three fields)";
    return false;
  }
  if (!dictionaries.empty() && roots.empty()) {
    error = "option --dictionary goes with folders to check (a saved project uses its own "
            "dictionaries)";
    return false;
  }
  return true;
}

int CCheckOptions::EffectiveJobs() const {
  if (jobs > 0) {
    return jobs;
  }
  const unsigned int cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores > kMaxJobs ? kMaxJobs : cores);
}

std::string CCheckOptions::Usage() {
  return "Usage: pagelint-check [options] ROOT...\n"
         "       pagelint-check [options] --project NAME\n"
         "       pagelint-check [options] --files-from FILE (ROOT | --project NAME)\n"
         "       pagelint-check [options] --pages (ROOT | --project NAME) PAGE...\n"
         "       pagelint-check --list-projects\n"
         "       pagelint-check --list-dictionaries\n"
         "\n"
         "Checks the spelling of the web pages below each ROOT folder (with the built-in\n"
         "dictionary and the word lists) or of a saved Pagelint project (with its own\n"
         "dictionaries and filters) and prints each unrecognized word as\n"
         "PATH:LINE:COLUMN: WORD, and each word that repeats the one before it as\n"
         "PATH:LINE:COLUMN: WORD (duplicate).\n"
         "\n"
         "Options:\n"
         "  --project NAME      check the saved project NAME\n"
         "  --list-projects     list the saved projects (name, tab, root folder)\n"
         "  --list-dictionaries list the dictionaries, one per line: name, kind (built-in,\n"
         "                      word list or hunspell) and language (en_GB; empty for a\n"
         "                      word list), separated by tabs\n"
         "  --dictionary NAME   check the folders with the dictionary NAME, a name from\n"
         "                      --list-dictionaries or a language tag such as en_GB, in\n"
         "                      place of the built-in one (the word lists stay); repeat it\n"
         "                      for several\n"
         "  --files-from FILE   check only the pages FILE lists, one path a line (- reads\n"
         "                      standard input); a relative path is taken from the current\n"
         "                      folder when it names a file inside the root there, else\n"
         "                      from the root; a path outside the root is an error\n"
         "  --pages             the arguments after ROOT (or all, with --project) are pages\n"
         "                      to check, read as --files-from reads its lines\n"
         "  --format FORMAT     text (default), json, sarif or words (WORD, tab,\n"
         "                      occurrences, tab, pages: one line per unrecognized word)\n"
         "  --suggest           add each unrecognized word's best suggestions (up to 10)\n"
         "  --summary           add the number of files, words and occurrences and the time\n"
         "  --skip-code         leave the text of code samples (code, pre, kbd, samp, var,\n"
         "                      tt, inline svg) unchecked; a saved project may have this\n"
         "                      on already\n"
         "  --check-attributes  check image descriptions and tooltips too (alt, title,\n"
         "                      aria-label, placeholder, button and meta description\n"
         "                      values); a saved project may have this on already\n"
         "  --skip-repeats      do not report repeated words (\"the the\"); a saved project\n"
         "                      may have them off already\n"
         "  --ignore-uppercase  leave words in capitals (SATA, FIFOs) unchecked; a saved\n"
         "                      project may have this on already\n"
         "  --ignore-numbers    leave words with digits (beta1, utf8) unchecked; a saved\n"
         "                      project may have this on already\n"
         "  -j, --jobs N        check N files at once (default: one per core)\n"
         "  -h, --help          show this help\n"
         "      --version       show the version\n"
         "\n"
         "Exit status: 0 nothing found, 1 unrecognized or repeated words found, 2 error.\n";
}
