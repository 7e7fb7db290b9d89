#include "spellcore/Metaphone.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>

namespace {

/// Opens the protected members to the tests.
class MetaphoneProbe : public Metaphone {
public:
  MetaphoneProbe() = default;
  explicit MetaphoneProbe(const std::string& word) : Metaphone(word) {}

  /// Keys made code by code, as the rules would make them.
  static MetaphoneProbe Built(std::initializer_list<std::pair<char, char>> codes) {
    MetaphoneProbe probe;
    for (const auto& [main, alternate] : codes) {
      probe.AddMetaphoneCharacter(main, alternate);
    }
    return probe;
  }

  using Metaphone::ConvertKeyToNumber;
  using Metaphone::IsSlavoGermanic;
  using Metaphone::IsVowel;
  using Metaphone::Matches;
};

struct KeyCase {
  const char* word;
  const char* primary;
  const char* alternate;
};

std::ostream& operator<<(std::ostream& out, const KeyCase& c) {
  return out << c.word;
}

class MetaphoneKeys : public testing::TestWithParam<KeyCase> {};

TEST_P(MetaphoneKeys, GivesBothKeys) {
  const KeyCase& c = GetParam();
  const Metaphone metaphone(c.word);
  EXPECT_EQ(metaphone.GetPrimaryKey(), c.primary);
  EXPECT_EQ(metaphone.GetAlternateKey(), c.alternate);
}

// Worked out from the rules; each group exercises one rule family.
const KeyCase kKeyCases[] = {
    // Silent first letters, initial x.
    {"gnome", "nm", "nm"},
    {"knight", "nt", "nt"},
    {"pneumonia", "nmn", "nmn"},
    {"wright", "rt", "rt"},
    {"psychology", "sxlj", "sklk"},
    {"xavier", "sf", "sfr"},
    {"xylophone", "slfn", "slfn"},
    // Initial vowels and h.
    {"aubrey", "apr", "apr"},
    {"island", "alnt", "alnt"},
    {"hugh", "h", "h"},
    // c and ch.
    {"caesar", "ssr", "ssr"},
    {"orchid", "arkt", "arkt"},
    {"character", "krkt", "krkt"},
    {"chemistry", "kmst", "kmst"},
    {"michael", "mkl", "mxl"},
    {"church", "xrx", "xrk"},
    {"bacchus", "pks", "pks"},
    {"mchugh", "mk", "mk"},
    {"bacher", "pkr", "pkr"},
    {"macher", "mkr", "mkr"},
    {"wachtler", "aktl", "fktl"},
    {"tichner", "txnr", "tknr"},
    {"hochmeier", "hkmr", "hkmr"},
    {"much", "mx", "mk"}, // the end of the word is not in the Germanic ch list
    {"accident", "akst", "akst"},
    {"bertucci", "prtx", "prtx"},
    {"focaccia", "fkx", "fkx"},
    {"czerny", "srn", "xrn"},
    {"mac caffrey", "mkfr", "mkfr"},
    {"vanchi", "fnk", "fnk"}, // any word beginning with van, von or sch is Germanic
    // d and g.
    {"edge", "aj", "aj"},
    {"edgar", "atkr", "atkr"},
    {"laugh", "lf", "lf"},
    {"tough", "tf", "tf"},
    {"ghislane", "jln", "jln"},
    {"cagney", "kkn", "kkn"},
    {"agnes", "akns", "ans"},
    {"signal", "snl", "sknl"},
    {"tagliaro", "tklr", "tlr"},
    {"gerber", "krpr", "jrpr"},
    {"danger", "tnjr", "tnkr"},
    {"biaggi", "pj", "pk"},
    {"rogier", "rj", "rjr"},
    {"rogier smith", "rjrs", "rjrs"}, // a space ends a word as the end of the text does
    // j.
    {"jose", "hs", "hs"},
    {"jose maria", "hsmr", "hsmr"},
    {"joseph", "jsf", "hsf"},
    {"san jacinto", "snhs", "snhs"},
    {"jankelowicz", "jnkl", "ankl"},
    {"bajador", "pjtr", "phtr"},
    {"raj", "rj", "r"},
    // l, m, p.
    {"cabrillo", "kprl", "kpr"},
    {"gallegos", "klks", "kks"},
    {"dumb", "tm", "tm"},
    {"campbell", "kmpl", "kmpl"},
    {"raspberry", "rspr", "rspr"},
    // s.
    {"sugar", "xkr", "skr"},
    {"school", "skl", "skl"},
    {"schmidt", "xmt", "smt"},
    {"schneider", "xntr", "sntr"},
    {"smith", "sm0", "xmt"},
    {"snider", "sntr", "xntr"},
    {"schenker", "xnkr", "sknk"},
    {"resnais", "rsn", "rsns"},
    // t.
    {"thomas", "tms", "tms"},
    {"thumb", "0m", "tm"},
    {"von thun", "fntn", "fntn"},
    // w.
    {"filipowicz", "flpt", "flpf"},
    {"arnow", "arn", "arnf"},
    {"arnoff", "arnf", "arnf"},
    {"womo", "am", "fm"},
    {"wasserman", "asrm", "fsrm"},
    {"vasserman", "fsrm", "fsrm"},
    // x and z.
    {"breaux", "pr", "pr"},
    {"zhao", "j", "j"},
    // Beyond ASCII: é is one skipped character; ç and ñ have codes.
    {"l\xC3\xA9vy", "lf", "lf"},
    {"gar\xC3\xA7on", "krsn", "krsn"},
    {"ni\xC3\xB1o", "nn", "nn"},
    {"gar\xE7on", "krsn", "krsn"},
    {"ni\xF1o", "nn", "nn"},
    {"\xE7", "s", "s"},
    // Valid UTF-8 characters that begin with the bytes of Latin-1 ç and ñ.
    {"\xE7\x89\x88m", "m", "m"},
    {"\xF1\x90\x80\x80m", "m", "m"},
    // A broken sequence is skipped, never read as ç.
    {"\xE7\x89m", "m", "m"},
    // Upper case and other characters are skipped.
    {"SMITH", "", ""},
    {"\xC3\x87", "", ""},
    {"Smith", "m0", "mt"},
    {"42-b", "p", "p"},
    {"", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Words, MetaphoneKeys, testing::ValuesIn(kKeyCases));

TEST(Metaphone, KeysStopAtFourCodes) {
  const Metaphone longWord("abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(longWord.GetPrimaryKey(), "apkt");
  EXPECT_EQ(longWord.GetAlternateKey(), "apkt");

  const Metaphone huge(std::string(1 << 20, 't'));
  EXPECT_EQ(huge.GetPrimaryKey(), "tttt");
}

TEST(Metaphone, SkipsALongRunWithoutCodes) {
  const Metaphone shouting(std::string(1 << 20, 'A') + "ab");
  EXPECT_EQ(shouting.GetPrimaryKey(), "p");
}

TEST(Metaphone, DefaultIsEmpty) {
  const Metaphone empty;
  EXPECT_EQ(empty.GetPrimaryKey(), "");
  EXPECT_EQ(empty.GetAlternateKey(), "");
  EXPECT_EQ(empty.GetPrimaryKeyValue(), 0);
  EXPECT_EQ(empty, Metaphone(""));
}

TEST(Metaphone, SetWordDiscardsTheOldKeys) {
  Metaphone metaphone("michael");
  metaphone.SetWord("thomas");
  EXPECT_EQ(metaphone.GetPrimaryKey(), "tms");
  EXPECT_EQ(metaphone.GetAlternateKey(), "tms");
  metaphone.SetWord("");
  EXPECT_EQ(metaphone.GetPrimaryKey(), "");
  EXPECT_EQ(metaphone.GetAlternateKey(), "");
}

TEST(Metaphone, CopiesCarryEveryField) {
  const MetaphoneProbe source("michael");
  MetaphoneProbe copy;
  static_cast<Metaphone&>(copy) = source;
  EXPECT_EQ(copy.GetPrimaryKey(), "mkl");
  EXPECT_EQ(copy.GetAlternateKey(), "mxl");
  EXPECT_TRUE(copy.Matches(0, "michael"));
  EXPECT_FALSE(copy.Matches(0, "michaels"));
  EXPECT_EQ(copy, MetaphoneProbe::Built({{'m', 'q'}, {'x', 'x'}, {'l', 'l'}}))
      << "the alternate flag was not copied";

  Metaphone& alias = copy;
  copy = static_cast<const MetaphoneProbe&>(alias);
  EXPECT_EQ(copy.GetPrimaryKey(), "mkl");
  EXPECT_TRUE(copy.Matches(0, "michael"));

  const Metaphone moved(Metaphone("church"));
  EXPECT_EQ(moved.GetAlternateKey(), "xrk");
}

struct PairingCase {
  const char* name;
  MetaphoneProbe left;
  MetaphoneProbe right;
  bool equal;
};

TEST(Metaphone, EqualWhenAnyPairingOfKeysMatches) {
  using P = MetaphoneProbe;
  const PairingCase cases[] = {
      {"primary to primary", P::Built({{'k', 'x'}}), P::Built({{'k', 'f'}}), true},
      {"primary to other's alternate", P::Built({{'k', '\0'}}), P::Built({{'x', 'k'}}), true},
      {"alternate to other's primary", P::Built({{'x', 'k'}}), P::Built({{'k', '\0'}}), true},
      {"alternate to alternate", P::Built({{'x', 'k'}}), P::Built({{'s', 'k'}}), true},
      {"no pairing", P::Built({{'x', 'k'}}), P::Built({{'s', 'f'}}), false},
      // Only a space for the alternate: the flag is set, the alternate key is shorter.
      {"emptied alternate", P::Built({{'l', ' '}}), P::Built({{'f', 'k'}}), false},
      {"emptied alternates", P::Built({{'l', ' '}}), P::Built({{'k', ' '}}), true},
      {"smith and schmidt", P("smith"), P("schmidt"), true},
      {"arnow and arnoff", P("arnow"), P("arnoff"), true},
      {"wasserman and vasserman", P("wasserman"), P("vasserman"), true},
      {"no alternates, same primary", P("thomas"), P("thames"), true},
      {"no alternates, other primary", P("thomas"), P("dumb"), false},
      {"no alternate against alternates", P("tm"), P("thumb"), true},
      {"different words", P("michael"), P("church"), false},
      {"both empty", P(""), P("SMITH"), true},
  };
  for (const PairingCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.left == c.right, c.equal);
    EXPECT_EQ(c.right == c.left, c.equal);
    EXPECT_EQ(c.left != c.right, !c.equal);
    EXPECT_EQ(c.right != c.left, !c.equal);
  }
}

TEST(Metaphone, AlternateCodeRules) {
  const auto probe = MetaphoneProbe::Built({{'k', '\0'}, {'n', 'k'}, {'\0', 'n'}, {'l', ' '}});
  EXPECT_EQ(probe.GetPrimaryKey(), "knl");
  EXPECT_EQ(probe.GetAlternateKey(), "kkn");
}

TEST(Metaphone, ConvertsKeysToNumbers) {
  const MetaphoneProbe probe;
  const std::pair<const char*, unsigned> cases[] = {
      {"", 0x0000},     {"a", 0x0001},   {"amr", 0x017C},  {"afhj", 0x1234},  {"klmn", 0x5678},
      {"pstr", 0x9ABC}, {"x", 0x000D},   {"strx", 0xABCD}, {"0m", 0x0007},    {"m0", 0x0070},
      {"0", 0x0000},    {"?a?", 0x0010}, {"A", 0x0000},    {"afhjk", 0x2345}, // a fifth code pushes
                                                                              // the first out
  };
  for (const auto& [key, value] : cases) {
    EXPECT_EQ(probe.ConvertKeyToNumber(key), value) << key;
  }
}

TEST(Metaphone, KeysOfFewerThanFourCodesStayBelow0x1000) {
  const MetaphoneProbe probe;
  const std::string codes = "0afhjklmnprstx";
  for (const char a : codes) {
    for (const char b : codes) {
      for (const char c : codes) {
        const std::string key{a, b, c};
        EXPECT_LT(probe.ConvertKeyToNumber(key), 0x1000) << key;
      }
    }
  }
}

TEST(Metaphone, KeyValuesFollowTheKeys) {
  const Metaphone michael("michael");
  EXPECT_EQ(michael.GetPrimaryKeyValue(), 0x0756);   // m k l
  EXPECT_EQ(michael.GetAlternateKeyValue(), 0x07D6); // m x l
  const Metaphone thumb("thumb");
  EXPECT_EQ(thumb.GetPrimaryKeyValue(), 0x0007); // 0 m
  EXPECT_EQ(thumb.GetAlternateKeyValue(), 0x00B7);
}

TEST(Metaphone, MatchesStaysInsideTheWord) {
  const MetaphoneProbe probe("l\xC3\xA9vy");
  EXPECT_TRUE(probe.Matches(0, "l"));
  EXPECT_TRUE(probe.Matches(3, "vy"));
  EXPECT_TRUE(probe.Matches(1, "\xC3\xA9"));
  EXPECT_FALSE(probe.Matches(3, "vyx"));
  EXPECT_FALSE(probe.Matches(5, "y"));
  EXPECT_FALSE(probe.Matches(6, "y"));
  EXPECT_FALSE(probe.Matches(-1, "l"));
  EXPECT_FALSE(probe.Matches(0, ""));
  EXPECT_FALSE(probe.IsVowel(-1));
  EXPECT_FALSE(probe.IsVowel(1));
  EXPECT_TRUE(probe.IsVowel(4));
  EXPECT_FALSE(probe.IsVowel(5));
}

TEST(Metaphone, SlavoGermanicSigns) {
  for (const char* word : {"wagner", "kafka", "czerny", "horowitz"}) {
    EXPECT_TRUE(MetaphoneProbe(word).IsSlavoGermanic()) << word;
  }
  for (const char* word : {"smith", "Wagner", "cezar", ""}) {
    EXPECT_FALSE(MetaphoneProbe(word).IsSlavoGermanic()) << word;
  }
}

} // namespace
