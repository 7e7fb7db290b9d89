#include "projects/CommandPrompts.h"

#include "projects/CommandIds.h"

#include "projects/Doc.h"

#include <array>
#include <utility>

namespace {
constexpr int kProjectButtonLast = 45095;

using Prompt = std::pair<int, const char*>;

constexpr std::array kPrompts{
    Prompt{CommandIds::kAbout, "Display information about Pagelint\nAbout Pagelint"},
    Prompt{CommandIds::kMoreInfo, "Display additional documentation about Pagelint\nDisplay "
                                  "Pagelint Documentation Center"},
    Prompt{CommandIds::kPrivacyPolicy, "Display information about what Pagelint does with "
                                       "private information\nDisplays Pagelint's Privacy Policy"},
    Prompt{CommandIds::kRequestFeature,
           "e-mail your request for a new feature for Pagelint\nRequest a New Feature"},
    Prompt{CommandIds::kTechSupport, "Create an e-mail addressed to Corvane Software's technical "
                                     "support\nPagelint Technical Support"},
    Prompt{CommandIds::kVisitWebSite,
           "Visit Corvane Software's web site\nVisit Corvane Software Web Site"},
    Prompt{CommandIds::kSettings, "Configure some miscellaneous settings affecting how Pagelint "
                                  "acts\nPagelint Settings"},
    Prompt{CommandIds::kHistory, "Display the version history of the application"},
    Prompt{CommandIds::kHowToCorrect, "Provide information about how to correct typos"},
    Prompt{CommandIds::kHowToSpellCheck, "Provide information about how spell checking works"},
    Prompt{CommandIds::kWhereToStart, "Provide information about how to add a web site project"},
    Prompt{CommandIds::kUpgradeNotice, "Upgraded\nPagelint Has Been Upgraded!"},
    Prompt{CommandIds::kSpellCheckWord, "Spell check one or more words\nSpell Check a Word"},
    Prompt{CommandIds::kFindAgain, "Attempt to find the same text again\nFind Again"},
    Prompt{CommandIds::kAppExit, "Quit Pagelint\nExit"},
    Prompt{CDoc::ID_PROJECT_REMOVE,
           "Remove the currently selected project from Pagelint\nRemove Project"},
    Prompt{CDoc::ID_PROJECT_ADD, "Add a web site project\nAdd Web Site Project"},
    Prompt{CDoc::ID_PROJECT_SETTINGS,
           "View/set information about the selected web site project\nView Project Settings"},
    Prompt{CDoc::ID_PROJECT_CHECK_AGAIN, "Spell-check project files again\nSpell-check Again"},
};

constexpr const char* kDictionaryPrompt = "View/modify this custom dictionary";
constexpr const char* kProjectPrompt = "View this web site project";
} // namespace

std::string CCommandPrompts::Get(int id) {
  if (id >= CDoc::ID_DICTIONARY_FIRST && id <= CDoc::ID_DICTIONARY_LAST) {
    return kDictionaryPrompt;
  }
  if (id >= CDoc::ID_PROJECT_BUTTON_FIRST && id <= kProjectButtonLast) {
    return kProjectPrompt;
  }
  for (const auto& [promptId, text] : kPrompts) {
    if (promptId == id) {
      return text;
    }
  }
  return {};
}

std::string CCommandPrompts::StatusText(int id) {
  const std::string prompt = Get(id);
  return prompt.substr(0, prompt.find('\n'));
}

std::string CCommandPrompts::ToolTip(int id) {
  const std::string prompt = Get(id);
  const std::size_t newline = prompt.find('\n');
  return newline == std::string::npos ? std::string() : prompt.substr(newline + 1);
}
