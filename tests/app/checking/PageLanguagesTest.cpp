#include "checking/PageLanguages.h"
#include "checking/LanguageDictionaries.h"
#include "checking/LanguageNames.h"
#include "checking/LanguageTag.h"
#include "checking/UncheckedLanguages.h"

#include "utilcore/StringUtils.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

/// Each word of the page's text with its language: "word:tag" (or "word:" for none),
/// blank-separated, as the scan would see them.
std::string WordLanguages(const std::vector<std::string>& page) {
  std::vector<std::string> lines = page;
  CPageLanguages languages;
  languages.Clear();
  CStringUtils::BlankMarkup(
      lines, [&languages](const std::vector<std::string>& seen, const CStringUtils::TagPlace& tag) {
        languages.OnTag(seen, tag);
      });
  languages.StartScan();
  std::string out;
  for (std::size_t line = 0; line < lines.size(); ++line) {
    const std::string& text = lines[line];
    for (std::size_t at = 0; at < text.size();) {
      if (text[at] == ' ') {
        ++at;
        continue;
      }
      const std::size_t end = std::min(text.find(' ', at), text.size());
      out += (out.empty() ? "" : " ") + text.substr(at, end - at) + ":" +
             languages.Languages()[languages.LanguageAt(line, at)];
      at = end;
    }
  }
  return out;
}

TEST(PageLanguages, FollowsTheNearestElementWithALanguage) {
  struct Case {
    std::vector<std::string> page;
    std::string expected;
  };
  const Case cases[] = {
      {{"<p>plain</p>"}, "plain:"},
      {{"<html lang=en-gb><body>colour</body></html> after"}, "colour:en-GB after:en-GB"},
      {{"<div lang=de>Haus <span lang=\"fr\">maison</span> Baum</div> out"},
       "Haus:de maison:fr Baum:de out:"},
      // xml:lang outranks lang; the first of two lang attributes holds.
      {{"<p lang=de xml:lang=fr>mot</p><p lang=it lang=es>parola</p>"}, "mot:fr parola:it"},
      // An empty value names no language, even inside one that does.
      {{"<div lang=de>Haus <q lang=\"\">what</q> Baum</div>"}, "Haus:de what: Baum:de"},
      // Unclosed paragraphs and list items end where a browser ends them.
      {{"<div lang=de><p lang=fr>un<p>Haus</div>"}, "un:fr Haus:de"},
      {{"<ul lang=de><li lang=fr>un<li>eins</ul> out"}, "un:fr eins:de out:"},
      {{"<table><tr><td lang=fr>un<td>two</table>"}, "un:fr two:"},
      // An end tag closes what was left open inside it.
      {{"<section lang=de><div lang=fr><b>un</section> out"}, "un:fr out:"},
      // A stray end tag closes nothing.
      {{"<p lang=de>Haus</span> Baum</p>"}, "Haus:de Baum:de"},
      // A void element's language is its attributes' only; the tag spans lines.
      {{"<p lang=de>Haus <img", "lang=fr alt=x> Baum</p>"}, "Haus:de Baum:de"},
      {{"<P LANG=DE-at>Haus</P>"}, "Haus:de-AT"},
      {{"<p lang=' en_us '>color</p>"}, "color:en-US"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WordLanguages(c.page), c.expected) << c.page.front();
  }
}

// The attribute is found wherever it stands in a long tag, after other "g"s, in any
// letter case and also as the tag's last bytes.
TEST(PageLanguages, FindsTheAttributeAnywhereInALongTag) {
  for (const std::string name : {"lang", "LANG", "lAnG"}) {
    for (std::size_t pad = 0; pad < 20; ++pad) {
      const std::string filler = "data-g=\"" + std::string(pad, 'g') + "\" ";
      EXPECT_EQ(WordLanguages({"<p " + filler + name + "=fr>mot</p>"}), "mot:fr") << filler;
      EXPECT_EQ(WordLanguages({"<p " + filler + name + ">mot</p>"}), "mot:") << filler;
      EXPECT_EQ(WordLanguages({"<div lang=de><p " + filler + name + "=\"fr\">mot</p></div>"}),
                "mot:fr")
          << filler;
    }
  }
}

TEST(LanguageTag, CanonicalFormAndMatching) {
  struct Case {
    std::string value;
    std::string canonical;
  };
  const Case cases[] = {{"EN-gb", "en-GB"},   {"de_AT", "de-AT"},    {"zh-hant-tw", "zh-Hant-TW"},
                        {"es-419", "es-419"}, {"  fr ", "fr"},       {"", ""},
                        {"x y", "x y"},       {"Sr-LATN", "sr-Latn"}};
  for (const Case& c : cases) {
    EXPECT_EQ(CLanguageTag::Canonical(c.value), c.canonical) << c.value;
  }
  EXPECT_TRUE(CLanguageTag::Same("en_GB", "en-gb"));
  EXPECT_FALSE(CLanguageTag::Same("en_GB", "en"));
  EXPECT_TRUE(CLanguageTag::SamePrimary("de_DE", "de-AT"));
  EXPECT_FALSE(CLanguageTag::SamePrimary("de_DE", "da"));
  EXPECT_FALSE(CLanguageTag::SamePrimary("", ""));
}

TEST(LanguageDictionaries, ChoosesByTagThenLanguage) {
  // 0 built in (en_US), 5 a word list, 7 en_GB, 8 de_DE, 9 de_AT.
  const CLanguageDictionaries::SDictionary builtIn{0, "en_US", true};
  const CLanguageDictionaries::SDictionary words{5, "", false};
  const CLanguageDictionaries::SDictionary british{7, "en_GB", false};
  const CLanguageDictionaries::SDictionary german{8, "de_DE", false};
  const CLanguageDictionaries::SDictionary austrian{9, "de_AT", false};
  struct Case {
    std::vector<CLanguageDictionaries::SDictionary> active;
    std::string tag;
    std::vector<int> ids; ///< empty: unchecked
  };
  const Case cases[] = {
      {{builtIn, words}, "", {0, 5}},
      {{builtIn, words}, "en", {0, 5}},
      {{builtIn, words}, "en-AU", {0, 5}},
      {{builtIn, words}, "fr", {}},
      {{builtIn, words, british}, "en-GB", {5, 7}},
      // Another English takes "en" from the built-in one, but not "en-US".
      {{builtIn, words, british}, "en", {5, 7}},
      {{builtIn, words, british}, "en-US", {0, 5}},
      {{words, german, austrian}, "de-AT", {5, 9}},
      {{words, german, austrian}, "de-CH", {5, 8, 9}},
      {{words, german, austrian}, "de", {5, 8, 9}},
      {{words, german}, "en", {}},
      {{words}, "en", {}},
  };
  for (const Case& c : cases) {
    CLanguageDictionaries dictionaries(c.active);
    const int set = dictionaries.SetFor(c.tag);
    if (c.ids.empty()) {
      EXPECT_EQ(set, CLanguageDictionaries::kUnchecked) << c.tag;
      continue;
    }
    ASSERT_NE(set, CLanguageDictionaries::kUnchecked) << c.tag;
    EXPECT_EQ(dictionaries.Ids(set), c.ids) << c.tag;
  }
}

TEST(LanguageDictionaries, OneSetPerDistinctChoice) {
  CLanguageDictionaries dictionaries({{0, "en_US", true}, {7, "en_GB", false}});
  EXPECT_EQ(dictionaries.SetFor(""), 0);
  EXPECT_EQ(dictionaries.SetFor("en-GB"), dictionaries.SetFor("en"));
  EXPECT_NE(dictionaries.SetFor("en-GB"), dictionaries.SetFor("en-US"));
  EXPECT_TRUE(dictionaries.IsFor({0, 7}));
}

} // namespace

namespace {

TEST(UncheckedLanguages, SumsPagesAndNamesEachLanguageOnce) {
  CUncheckedLanguages run;
  const std::uint16_t fr = CLanguageNames::Number("fr");
  const std::uint16_t de = CLanguageNames::Number("de");
  const std::vector<CLanguageScan::SUnchecked> first = {{fr, 56}, {de, 2}};
  const std::vector<CLanguageScan::SUnchecked> second = {{fr, 1}};
  run.Add(first);
  run.Add(second);
  const std::vector<CUncheckedLanguages::SLanguage> expected = {{"de", 2}, {"fr", 57}};
  EXPECT_EQ(run.Get(), expected);
  EXPECT_EQ(CUncheckedLanguages::DescribeAll(run.Get()),
            "2 words in de left unchecked: no dictionary for it; "
            "57 words in fr left unchecked: no dictionary for it");
  EXPECT_EQ(CUncheckedLanguages::Describe({"it", 1}),
            "1 word in it left unchecked: no dictionary for it");
  run.Clear();
  EXPECT_TRUE(run.Get().empty());
  EXPECT_EQ(CUncheckedLanguages::DescribeAll({}), "");
}

} // namespace
