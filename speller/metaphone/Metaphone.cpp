#include "spellcore/Metaphone.h"

#include "utilcore/StringUtils.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace {

constexpr std::size_t kKeyLength = 4;

// Rules look a few bytes ahead of the current position; keeping the length below
// INT_MAX by a margin lets them add to a position without overflow.
constexpr std::size_t kMaxLength = INT_MAX - 16;

// The key codes in the order of their numbers: a is 1, x is 13.
constexpr std::string_view kNumberedCodes = "afhjklmnpstrx";

int LengthOf(const std::string& word) {
  return static_cast<int>(std::min(word.size(), kMaxLength));
}

} // namespace

/// The Double Metaphone rules, one function per letter family. Each takes the position
/// of the letter, appends its codes and returns the position of the next character to
/// code. "No letter" (outside the word, an upper-case or non-ASCII byte) matches none
/// of the letters the rules ask about.
class SPELLCORE_NO_EXPORT Metaphone::CRules {
public:
  explicit CRules(Metaphone& keys)
      : m_keys(keys), m_word(keys.m_word), m_length(keys.m_length), m_last(keys.m_length - 1),
        m_slavoGermanic(keys.IsSlavoGermanic()),
        m_germanicStart(Matches(0, "van") || Matches(0, "von") || Matches(0, "sch")) {}

  int Start();
  int Step(int pos);

private:
  char At(int pos) const { return pos >= 0 && pos < m_length ? m_word[pos] : '\0'; }
  bool Matches(int start, std::string_view text) const { return m_keys.Matches(start, text); }
  bool MatchesAny(int start, std::initializer_list<std::string_view> texts) const;
  bool IsVowel(int pos) const { return m_keys.IsVowel(pos); }
  /// Whether the byte at `pos` is one of `letters`.
  bool IsOneOf(int pos, std::string_view letters) const;
  /// The end of the word, or a space that ends a word inside a name of several words.
  bool IsWordEnd(int pos) const { return pos >= m_length || m_word[pos] == ' '; }
  void Add(char main, char alternate = '\0') { m_keys.AddMetaphoneCharacter(main, alternate); }
  /// The same code for a letter written once or twice.
  int Single(int pos, char code);

  int Vowel(int pos);
  int B(int pos) { return Single(pos, 'p'); }
  int C(int pos);
  int Ch(int pos);
  int DoubleC(int pos);
  bool IsGermanicAch(int pos) const;
  bool IsHardCh(int pos) const;
  int D(int pos);
  int G(int pos);
  int Gh(int pos);
  int Gn(int pos);
  int SoftG(int pos);
  bool IsKOrJ(int pos) const;
  int H(int pos);
  int J(int pos);
  int L(int pos);
  int M(int pos);
  int P(int pos);
  int R(int pos);
  int S(int pos);
  int Sc(int pos);
  int T(int pos);
  int W(int pos);
  int X(int pos);
  int Z(int pos);
  /// ç, ñ, or any other character beyond ASCII, skipped whole.
  int NonAscii(int pos);

  Metaphone& m_keys;
  const std::string& m_word;
  int m_length;
  int m_last;
  bool m_slavoGermanic;
  bool m_germanicStart;
};

bool Metaphone::CRules::MatchesAny(int start, std::initializer_list<std::string_view> texts) const {
  return std::any_of(texts.begin(), texts.end(),
                     [&](std::string_view text) { return Matches(start, text); });
}

bool Metaphone::CRules::IsOneOf(int pos, std::string_view letters) const {
  const char c = At(pos);
  return c != '\0' && letters.find(c) != std::string_view::npos;
}

int Metaphone::CRules::Single(int pos, char code) {
  Add(code);
  return At(pos + 1) == m_word[pos] ? pos + 2 : pos + 1;
}

int Metaphone::CRules::Start() {
  for (std::string_view silent : {"gn", "kn", "pn", "wr", "ps"}) {
    if (CStringUtils::MatchFirstChars(m_word, silent, true)) {
      return 1;
    }
  }
  // An initial x sounds like z, as in "xavier".
  if (At(0) == 'x') {
    Add('s');
    return 1;
  }
  return 0;
}

int Metaphone::CRules::Step(int pos) {
  switch (m_word[pos]) {
  case 'a':
  case 'e':
  case 'i':
  case 'o':
  case 'u':
  case 'y':
    return Vowel(pos);
  case 'b':
    return B(pos);
  case 'c':
    return C(pos);
  case 'd':
    return D(pos);
  case 'f':
    return Single(pos, 'f');
  case 'g':
    return G(pos);
  case 'h':
    return H(pos);
  case 'j':
    return J(pos);
  case 'k':
    return Single(pos, 'k');
  case 'l':
    return L(pos);
  case 'm':
    return M(pos);
  case 'n':
    return Single(pos, 'n');
  case 'p':
    return P(pos);
  case 'q':
    return Single(pos, 'k');
  case 'r':
    return R(pos);
  case 's':
    return S(pos);
  case 't':
    return T(pos);
  case 'v':
    return Single(pos, 'f');
  case 'w':
    return W(pos);
  case 'x':
    return X(pos);
  case 'z':
    return Z(pos);
  default:
    return static_cast<unsigned char>(m_word[pos]) < 0x80 ? pos + 1 : NonAscii(pos);
  }
}

int Metaphone::CRules::Vowel(int pos) {
  if (pos == 0) {
    Add('a');
  }
  return pos + 1;
}

int Metaphone::CRules::C(int pos) {
  if (IsGermanicAch(pos)) {
    Add('k');
    return pos + 2;
  }
  if (pos == 0 && Matches(pos, "caesar")) {
    Add('s');
    return pos + 2;
  }
  // Italian, as in "chianti".
  if (Matches(pos, "chia")) {
    Add('k');
    return pos + 2;
  }
  if (Matches(pos, "ch")) {
    return Ch(pos);
  }
  if (Matches(pos, "cz") && !Matches(pos - 2, "wicz")) {
    Add('s', 'x');
    return pos + 2;
  }
  // "focaccia"
  if (Matches(pos + 1, "cia")) {
    Add('x');
    return pos + 3;
  }
  // Not the cc of "mcclellan".
  if (Matches(pos, "cc") && !(pos == 1 && At(0) == 'm')) {
    return DoubleC(pos);
  }
  if (MatchesAny(pos, {"ck", "cg", "cq"})) {
    Add('k');
    return pos + 2;
  }
  if (MatchesAny(pos, {"ci", "ce", "cy"})) {
    // Italian against English.
    if (MatchesAny(pos, {"cio", "cie", "cia"})) {
      Add('s', 'x');
    } else {
      Add('s');
    }
    return pos + 2;
  }
  Add('k');
  // A name of several words: "mac caffrey", "mac gregor".
  if (MatchesAny(pos + 1, {" c", " q", " g"})) {
    return pos + 3;
  }
  if (IsOneOf(pos + 1, "ckq") && !MatchesAny(pos + 1, {"ce", "ci"})) {
    return pos + 2;
  }
  return pos + 1;
}

// "bacher", "macher", but not "bachi" or "bache".
bool Metaphone::CRules::IsGermanicAch(int pos) const {
  return pos > 1 && !IsVowel(pos - 2) && Matches(pos - 1, "ach") && At(pos + 2) != 'i' &&
         (At(pos + 2) != 'e' || MatchesAny(pos - 2, {"bacher", "macher"}));
}

int Metaphone::CRules::Ch(int pos) {
  // "michael"
  if (pos > 0 && Matches(pos, "chae")) {
    Add('k', 'x');
    return pos + 2;
  }
  // Greek roots: "character", "charisma", "chorus", "chymist", "chemistry".
  if (pos == 0 && MatchesAny(pos + 1, {"harac", "haris", "hor", "hym", "hia", "hem"}) &&
      !Matches(0, "chore")) {
    Add('k');
    return pos + 2;
  }
  // "mchugh": the ch after an initial mc is hard too.
  if (IsHardCh(pos) || Matches(0, "mc")) {
    Add('k');
  } else if (pos == 0) {
    Add('x');
  } else {
    Add('x', 'k');
  }
  return pos + 2;
}

// Germanic, Greek or otherwise a kh sound: "architect" and "orchestra" but not "arch";
// "wachtler", "wechsler" but not "tichner".
bool Metaphone::CRules::IsHardCh(int pos) const {
  return m_germanicStart || MatchesAny(pos - 2, {"orches", "archit", "orchid"}) ||
         IsOneOf(pos + 2, "ts") ||
         ((pos == 0 || IsOneOf(pos - 1, "aoue")) && IsOneOf(pos + 2, "lrnmbhfvw"));
}

int Metaphone::CRules::DoubleC(int pos) {
  // "bellocchio", but not "bacchus".
  if (IsOneOf(pos + 2, "ieh") && !Matches(pos + 2, "hu")) {
    // "accident", "accede", "succeed"; else Italian, as in "bacci", "bertucci".
    if ((pos == 1 && At(0) == 'a') || MatchesAny(pos - 1, {"uccee", "ucces"})) {
      Add('k');
      Add('s');
    } else {
      Add('x');
    }
    return pos + 3;
  }
  Add('k');
  return pos + 2;
}

int Metaphone::CRules::D(int pos) {
  if (Matches(pos, "dg")) {
    // "edge" against "edgar".
    if (IsOneOf(pos + 2, "iey")) {
      Add('j');
      return pos + 3;
    }
    Add('t');
    Add('k');
    return pos + 2;
  }
  Add('t');
  return MatchesAny(pos, {"dt", "dd"}) ? pos + 2 : pos + 1;
}

int Metaphone::CRules::G(int pos) {
  if (At(pos + 1) == 'h') {
    return Gh(pos);
  }
  if (At(pos + 1) == 'n') {
    return Gn(pos);
  }
  // "tagliaro"
  if (Matches(pos + 1, "li") && !m_slavoGermanic) {
    Add('k', ' ');
    Add('l');
    return pos + 2;
  }
  if (IsKOrJ(pos)) {
    Add('k', 'j');
    return pos + 2;
  }
  // Italian, as in "biaggi".
  if (IsOneOf(pos + 1, "eiy") || MatchesAny(pos - 1, {"aggi", "oggi"})) {
    return SoftG(pos);
  }
  Add('k');
  return At(pos + 1) == 'g' ? pos + 2 : pos + 1;
}

int Metaphone::CRules::Gh(int pos) {
  if (pos > 0 && !IsVowel(pos - 1)) {
    Add('k');
    return pos + 2;
  }
  // "ghislane", "ghiradelli"
  if (pos == 0) {
    Add(At(2) == 'i' ? 'j' : 'k');
    return pos + 2;
  }
  // Silent: "hugh", "bough", "broughton".
  if (IsOneOf(pos - 2, "bhd") || IsOneOf(pos - 3, "bhd") || IsOneOf(pos - 4, "bh")) {
    return pos + 2;
  }
  // "laugh", "mclaughlin", "cough", "gough", "rough", "tough"
  if (At(pos - 1) == 'u' && IsOneOf(pos - 3, "cglrt")) {
    Add('f');
  } else if (At(pos - 1) != 'i') {
    Add('k');
  }
  return pos + 2;
}

int Metaphone::CRules::Gn(int pos) {
  if (pos == 1 && IsVowel(0) && !m_slavoGermanic) {
    Add('k', ' ');
    Add('n');
  } else if (!Matches(pos + 2, "ey") && !m_slavoGermanic) {
    // Not "cagney".
    Add('n', 'k');
    Add('\0', 'n');
  } else {
    Add('k');
    Add('n');
  }
  return pos + 2;
}

// -ges-, -gep-, -gel-, -gie- at the start; -ger-, -gy- elsewhere.
bool Metaphone::CRules::IsKOrJ(int pos) const {
  if (pos == 0 && (At(1) == 'y' || MatchesAny(1, {"es", "ep", "eb", "el", "ey", "ib", "il", "in",
                                                  "ie", "ei", "er"}))) {
    return true;
  }
  return (Matches(pos + 1, "er") || At(pos + 1) == 'y') &&
         !MatchesAny(0, {"danger", "ranger", "manger"}) && !IsOneOf(pos - 1, "ei") &&
         !MatchesAny(pos - 1, {"rgy", "ogy"});
}

int Metaphone::CRules::SoftG(int pos) {
  if (m_germanicStart || Matches(pos + 1, "et")) {
    Add('k');
  } else if (Matches(pos + 1, "ier") && IsWordEnd(pos + 4)) {
    // Always soft in a French ending.
    Add('j');
  } else {
    Add('j', 'k');
  }
  return pos + 2;
}

int Metaphone::CRules::H(int pos) {
  // Kept only first or between vowels, and before a vowel.
  if ((pos == 0 || IsVowel(pos - 1)) && IsVowel(pos + 1)) {
    Add('h');
    return pos + 2;
  }
  return pos + 1;
}

int Metaphone::CRules::J(int pos) {
  // Spanish: "jose", "san jacinto".
  if (Matches(pos, "jose") || Matches(0, "san ")) {
    if ((pos == 0 && IsWordEnd(pos + 4)) || Matches(0, "san ")) {
      Add('h');
    } else {
      Add('j', 'h');
    }
    return pos + 1;
  }
  if (pos == 0) {
    // "jankelowicz" sounds like "yankelovich".
    Add('j', 'a');
  } else if (IsVowel(pos - 1) && !m_slavoGermanic && IsOneOf(pos + 1, "ao")) {
    // Spanish, as in "bajador".
    Add('j', 'h');
  } else if (pos == m_last) {
    Add('j', ' ');
  } else if (!IsOneOf(pos + 1, "ltksnmbz") && !IsOneOf(pos - 1, "skl")) {
    Add('j');
  }
  return At(pos + 1) == 'j' ? pos + 2 : pos + 1;
}

int Metaphone::CRules::L(int pos) {
  if (At(pos + 1) != 'l') {
    Add('l');
    return pos + 1;
  }
  // Spanish: "cabrillo", "gallegos".
  const bool spanish =
      (pos == m_length - 3 && MatchesAny(pos - 1, {"illo", "illa", "alle"})) ||
      ((MatchesAny(m_last - 1, {"as", "os"}) || IsOneOf(m_last, "ao")) && Matches(pos - 1, "alle"));
  Add('l', spanish ? ' ' : '\0');
  return pos + 2;
}

int Metaphone::CRules::M(int pos) {
  Add('m');
  // The b of "dumb", "thumb", "plumber" is silent.
  if ((Matches(pos - 1, "umb") && (pos + 1 == m_last || Matches(pos + 2, "er"))) ||
      At(pos + 1) == 'm') {
    return pos + 2;
  }
  return pos + 1;
}

int Metaphone::CRules::P(int pos) {
  if (At(pos + 1) == 'h') {
    Add('f');
    return pos + 2;
  }
  // "campbell", "raspberry"
  Add('p');
  return IsOneOf(pos + 1, "pb") ? pos + 2 : pos + 1;
}

int Metaphone::CRules::R(int pos) {
  // French, as in "rogier", but not "hochmeier".
  if (pos == m_last && !m_slavoGermanic && Matches(pos - 2, "ie") &&
      !MatchesAny(pos - 4, {"me", "ma"})) {
    Add('\0', 'r');
  } else {
    Add('r');
  }
  return At(pos + 1) == 'r' ? pos + 2 : pos + 1;
}

int Metaphone::CRules::S(int pos) {
  // Silent: "island", "isle", "carlisle", "carlysle".
  if (MatchesAny(pos - 1, {"isl", "ysl"})) {
    return pos + 1;
  }
  if (pos == 0 && Matches(pos, "sugar")) {
    Add('x', 's');
    return pos + 1;
  }
  if (Matches(pos, "sh")) {
    // Germanic.
    Add(MatchesAny(pos + 1, {"heim", "hoek", "holm", "holz"}) ? 's' : 'x');
    return pos + 2;
  }
  // Italian and Armenian: "sio", "sia", "sian".
  if (MatchesAny(pos, {"sio", "sia"})) {
    Add('s', m_slavoGermanic ? '\0' : 'x');
    return pos + 3;
  }
  // "smith" matches "schmidt", "snider" matches "schneider"; -sz- is Slavic.
  if ((pos == 0 && IsOneOf(pos + 1, "mnlw")) || At(pos + 1) == 'z') {
    Add('s', 'x');
    return At(pos + 1) == 'z' ? pos + 2 : pos + 1;
  }
  if (Matches(pos, "sc")) {
    return Sc(pos);
  }
  // French, as in "resnais", "artois".
  if (pos == m_last && MatchesAny(pos - 2, {"ai", "oi"})) {
    Add('\0', 's');
  } else {
    Add('s');
  }
  return IsOneOf(pos + 1, "sz") ? pos + 2 : pos + 1;
}

int Metaphone::CRules::Sc(int pos) {
  if (At(pos + 2) != 'h') {
    Add('s');
    if (!IsOneOf(pos + 2, "iey")) {
      Add('k');
    }
    return pos + 3;
  }
  // Dutch, as in "school", "schooner"; "schermerhorn", "schenker".
  if (MatchesAny(pos + 3, {"er", "en"})) {
    Add('x', 's');
    Add('\0', 'k');
  } else if (MatchesAny(pos + 3, {"oo", "uy", "ed", "em"})) {
    Add('s');
    Add('k');
  } else if (pos == 0 && !IsVowel(3) && At(3) != 'w') {
    // "schmidt", "schneider"
    Add('x', 's');
  } else {
    Add('x');
  }
  return pos + 3;
}

int Metaphone::CRules::T(int pos) {
  if (MatchesAny(pos, {"tion", "tia", "tch"})) {
    Add('x');
    return pos + 3;
  }
  if (Matches(pos, "th") || Matches(pos, "tth")) {
    // "thomas", "thames", or Germanic.
    if (MatchesAny(pos + 2, {"om", "am"}) || m_germanicStart) {
      Add('t');
    } else {
      Add('0', 't');
    }
    return pos + 2;
  }
  Add('t');
  return IsOneOf(pos + 1, "td") ? pos + 2 : pos + 1;
}

int Metaphone::CRules::W(int pos) {
  if (Matches(pos, "wr")) {
    Add('r');
    return pos + 2;
  }
  // "wasserman" matches "vasserman"; "womo" matches "uomo".
  if (pos == 0 && IsVowel(1)) {
    Add('a', 'f');
  } else if (pos == 0 && Matches(0, "wh")) {
    Add('a');
  }
  // "arnow" matches "arnoff"; Polish -ewski.
  if ((pos == m_last && IsVowel(pos - 1)) ||
      MatchesAny(pos - 1, {"ewski", "ewsky", "owski", "owsky"}) || Matches(0, "sch")) {
    Add('\0', 'f');
    return pos + 1;
  }
  // Polish, as in "filipowicz".
  if (MatchesAny(pos, {"wicz", "witz"})) {
    Add('t', 'f');
    Add('s', 'x');
    return pos + 4;
  }
  return pos + 1;
}

int Metaphone::CRules::X(int pos) {
  // Silent at the end of French words: "breaux", "lemieux" ("iau" and "eau" end in "au").
  if (pos != m_last || !MatchesAny(pos - 2, {"au", "ou"})) {
    Add('k');
    Add('s');
  }
  return IsOneOf(pos + 1, "cx") ? pos + 2 : pos + 1;
}

int Metaphone::CRules::Z(int pos) {
  // Chinese pinyin, as in "zhao".
  if (At(pos + 1) == 'h') {
    Add('j');
    return pos + 2;
  }
  if (MatchesAny(pos + 1, {"zo", "zi", "za"}) ||
      (m_slavoGermanic && pos > 0 && At(pos - 1) != 't')) {
    Add('s', 't');
    Add('\0', 's');
  } else {
    Add('s');
  }
  return At(pos + 1) == 'z' ? pos + 2 : pos + 1;
}

int Metaphone::CRules::NonAscii(int pos) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(m_word.data());
  int next = pos;
  UChar32 c = 0;
  U8_NEXT(bytes, next, m_length, c);
  // A lone Latin-1 ç (E7) or ñ (F1) byte: followed by no continuation byte, it starts
  // no UTF-8 sequence, so reading it as Latin-1 cannot misread UTF-8 text.
  if (c < 0 && next == pos + 1) {
    c = bytes[pos];
  }
  if (c == 0xE7) {
    Add('s');
  } else if (c == 0xF1) {
    Add('n');
  }
  return next;
}

Metaphone::Metaphone() = default;

Metaphone::Metaphone(const std::string& word) {
  SetWord(word);
}

Metaphone::~Metaphone() = default;
Metaphone::Metaphone(const Metaphone& other) = default;
Metaphone::Metaphone(Metaphone&& other) noexcept = default;
Metaphone& Metaphone::operator=(Metaphone&& other) noexcept = default;

Metaphone& Metaphone::operator=(const Metaphone& other) {
  if (this == &other) {
    return *this;
  }
  m_hasAlternate = other.m_hasAlternate;
  m_length = other.m_length;
  m_primaryKey = other.m_primaryKey;
  m_alternateKey = other.m_alternateKey;
  m_word = other.m_word;
  return *this;
}

bool Metaphone::operator==(const Metaphone& other) const {
  if (m_primaryKey == other.m_primaryKey) {
    return true;
  }
  if (other.m_hasAlternate && m_primaryKey == other.m_alternateKey) {
    return true;
  }
  if (!m_hasAlternate) {
    return false;
  }
  return m_alternateKey == other.m_primaryKey ||
         (other.m_hasAlternate && m_alternateKey == other.m_alternateKey);
}

bool Metaphone::operator!=(const Metaphone& other) const {
  return !(*this == other);
}

void Metaphone::SetWord(const std::string& word) {
  m_hasAlternate = false;
  m_word = word;
  m_length = LengthOf(m_word);
  m_primaryKey.clear();
  m_alternateKey.clear();
  ComputeKeys();
}

unsigned short Metaphone::GetPrimaryKeyValue() const {
  return ConvertKeyToNumber(m_primaryKey);
}

unsigned short Metaphone::GetAlternateKeyValue() const {
  return ConvertKeyToNumber(m_alternateKey);
}

void Metaphone::ComputeKeys() {
  if (m_length == 0) {
    return;
  }
  CRules rules(*this);
  int pos = rules.Start();
  while (pos < m_length &&
         (m_primaryKey.size() < kKeyLength || m_alternateKey.size() < kKeyLength)) {
    pos = rules.Step(pos);
  }
  if (m_primaryKey.size() > kKeyLength) {
    m_primaryKey.resize(kKeyLength);
  }
  if (m_alternateKey.size() > kKeyLength) {
    m_alternateKey.resize(kKeyLength);
  }
}

bool Metaphone::Matches(int start, std::string_view text) const {
  if (start < 0 || start > m_length || text.empty() ||
      text.size() > static_cast<std::size_t>(m_length - start)) {
    return false;
  }
  return m_word.compare(static_cast<std::size_t>(start), text.size(), text) == 0;
}

bool Metaphone::IsVowel(int pos) const {
  if (pos < 0 || pos >= m_length) {
    return false;
  }
  return std::string_view("aeiouy").find(m_word[pos]) != std::string_view::npos;
}

bool Metaphone::IsSlavoGermanic() const {
  // "witz", the fourth sign of such a word, holds a w already.
  const std::string_view word(m_word.data(), static_cast<std::size_t>(m_length));
  return word.find('w') != std::string_view::npos || word.find('k') != std::string_view::npos ||
         word.find("cz") != std::string_view::npos;
}

void Metaphone::AddMetaphoneCharacter(char main, char alternate) {
  if (main != '\0') {
    m_primaryKey.push_back(main);
  }
  if (alternate == '\0') {
    if (main != '\0') {
      m_alternateKey.push_back(main);
    }
    return;
  }
  m_hasAlternate = true;
  if (alternate != ' ') {
    m_alternateKey.push_back(alternate);
  }
}

unsigned short Metaphone::ConvertKeyToNumber(const std::string& key) const {
  unsigned value = 0;
  for (const char c : key) {
    const std::size_t index = kNumberedCodes.find(c);
    const unsigned code = index == std::string_view::npos ? 0 : static_cast<unsigned>(index) + 1;
    value = ((value << 4) | code) & 0xFFFF;
  }
  return static_cast<unsigned short>(value);
}
