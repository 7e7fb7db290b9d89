#pragma once

/// What stands behind a dictionary id: the program's own compiled English list, a
/// user's word list (custom, ignore, Word or Thunderbird), or a Hunspell dictionary
/// installed on the desktop.
enum class EDictionaryKind { kBuiltIn, kWordList, kHunspell };
