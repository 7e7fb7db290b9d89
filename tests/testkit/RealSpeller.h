#pragma once

// Header only: the tests that include it link the speller; testkit itself does not.
#include "spellcore/SpellChecker.h"
#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"

#include <gtest/gtest.h>

namespace testkit {
/// Opens the application log and starts the real speller on the program folder's
/// built dictionaries, as the program does. Call it with ASSERT_NO_FATAL_FAILURE, so
/// that a failure here ends the set-up that called it.
inline void StartRealSpeller() {
  ASSERT_TRUE(CAppLogger::SetAppName("PagelintTest"));
  CSpellChecker* speller = CSpellChecker::GetInstance();
  ASSERT_NE(speller, nullptr);
  speller->SetAppPath(CDirUtils::GetAppPath());
}
/// Deletes the speller and closes the log, after StartRealSpeller.
inline void StopRealSpeller() {
  CSpellChecker::DeleteInstance();
  CAppLogger::Close();
}
} // namespace testkit
