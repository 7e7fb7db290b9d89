#pragma once

/// Command ids of the program's menus, bars and buttons; the actions carry them as
/// their data.
namespace CommandIds {
// The edit commands.
constexpr int kEditCopy = 57634;
constexpr int kEditCut = 57635;
constexpr int kEditPaste = 57637;
constexpr int kEditSelectAll = 57642;
constexpr int kEditUndo = 57643;
constexpr int kContextHelp = 57669;
constexpr int kAppExit = 57665;

// Application, help and look-up commands.
constexpr int kUpgradeNotice = 45030;
constexpr int kLibraryInfo = 45031;
constexpr int kSpellCheckWord = 45032;
constexpr int kFindAgain = 45033;
constexpr int kAbout = 45034;
constexpr int kTechSupport = 45036;
constexpr int kHistory = 45038;
constexpr int kHowToCorrect = 45039;
constexpr int kHowToSpellCheck = 45040;
constexpr int kWhereToStart = 45041;
constexpr int kMoreInfo = 45042;
constexpr int kPrivacyPolicy = 45043;
constexpr int kRequestFeature = 45044;
constexpr int kSettings = 45045;
constexpr int kVisitWebSite = 45046;
constexpr int kResearchFirst = 45047;
constexpr int kResearchLast = 45055;
} // namespace CommandIds
