#include "utilcore/InternetUtils.h"

#include "utilcore/PageText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Addresses = std::vector<std::string>;

/// "~" stands for one page-text filler byte.
std::string Fillers(std::string text) {
  std::replace(text.begin(), text.end(), '~', CPageText::kFiller);
  return text;
}

Addresses WithFillers(Addresses addresses) {
  for (std::string& address : addresses) {
    address = Fillers(address);
  }
  return addresses;
}

struct CAddressCase {
  const char* line; // "~" = filler
  Addresses emails;
  Addresses webs;
};

void PrintTo(const CAddressCase& test, std::ostream* out) {
  *out << '"' << test.line << '"';
}

// clang-format off
const CAddressCase kAddressCases[] = {
    // E-mail addresses in sentences.
    {"Write to jean.dupont@exemple.fr today.", {"jean.dupont@exemple.fr"}, {}},
    {"Contact sales@example.com.", {"sales@example.com"}, {}},
    {"Mail: <anna@example.com>, or (bob@example.org).",
     {"anna@example.com", "bob@example.org"}, {}},
    {"«jean@exemple.fr» ou “marie@exemple.fr”", {"jean@exemple.fr", "marie@exemple.fr"}, {}},
    {"'jean@x.fr' and O'Brien@example.ie", {"jean@x.fr", "O'Brien@example.ie"}, {}},
    {"first_last+tag%1@mail.example.co.uk;", {"first_last+tag%1@mail.example.co.uk"}, {}},
    {"same@a.org and same@a.org", {"same@a.org"}, {}},
    // IDN and UTF-8 around and inside addresses.
    {"anna@müller.de schreibt", {"anna@müller.de"}, {}},
    {"écrivez à josé@exemplo.com.br…", {"josé@exemplo.com.br"}, {}},
    {"Straße:anna@例え.jp", {"anna@例え.jp"}, {}},
    {"see\u00A0x@y.org\u00A0now", {"x@y.org"}, {}},
    // A '@' that is not an address.
    {"Meet @ noon, @home, a@b, a@b.c", {}, {}},
    {"x@192.168.0.1 and user@localhost", {}, {}},
    {"@", {}, {}},
    {"...@...", {}, {}},
    {"a@-b.com a@b-.com", {}, {}},
    // Addresses obfuscated with references keep their fillers (page text of
    // «jean&#64;x.fr» and «j&#46;doe@x.fr»).
    {"jean@~~~~x.fr", {"jean@~~~~x.fr"}, {}},
    {"j.~~~~doe@x.fr", {"j.~~~~doe@x.fr"}, {}},
    {"<~~~jean@x.fr>~~~", {"jean@x.fr"}, {}},
    // An '@' inside a web address belongs to the web address.
    {"mailto:jean@x.fr", {}, {"mailto:jean@x.fr"}},
    {"Note: a:b, then MailTo:ann@x.fr, ftp:/x and :// alone", {}, {"MailTo:ann@x.fr"}},
    {"Write (mailto:jean@x.fr?subject=Hi) or to ann@x.fr", {"ann@x.fr"},
     {"mailto:jean@x.fr?subject=Hi"}},
    {"ftp://user@files.example.com/pub/", {}, {"ftp://user@files.example.com/pub/"}},
    // One address inside another: both are listed.
    {"jean@x.fr (mailto:jean@x.fr)", {"jean@x.fr"}, {"mailto:jean@x.fr"}},
    {"www.a.com and http://www.a.com/x", {}, {"www.a.com", "http://www.a.com/x"}},
    // Web addresses and where they end.
    {"See http://example.com.", {}, {"http://example.com"}},
    {"Visit www.example.com, or https://example.org/a?b=c&d=e!",
     {}, {"www.example.com", "https://example.org/a?b=c&d=e"}},
    {"(see https://en.wikipedia.org/wiki/Foo_(bar))", {}, {"https://en.wikipedia.org/wiki/Foo_(bar)"}},
    {"[www.example.com/x]", {}, {"www.example.com/x"}},
    {"\"http://a.com\" 'http://b.com' <http://c.com>", {}, {"http://a.com", "http://b.com", "http://c.com"}},
    {"“https://example.com/”", {}, {"https://example.com/"}},
    {"HTTP://EXAMPLE.COM/Page and WWW.Example.Org", {}, {"HTTP://EXAMPLE.COM/Page", "WWW.Example.Org"}},
    {"http://müller.de/straße: ok", {}, {"http://müller.de/straße"}},
    {"http://a.com\u00A0next", {}, {"http://a.com"}},
    {"http://a.com/…", {}, {"http://a.com/"}},
    {"url:http://a.com;", {}, {"http://a.com"}},
    {"http://a.com http://a.com", {}, {"http://a.com"}},
    {"go to www.a.org/x; then www.b.org?", {}, {"www.a.org/x", "www.b.org"}},
    {"http://a.com/?a=1&~~~~b=2 done", {}, {"http://a.com/?a=1&~~~~b=2"}},
    {"http://a.com/x\xFF\xFEy", {}, {"http://a.com/x"}},
    // Not web addresses.
    {"awww.example.com xhttp://a.com my.www.site", {}, {}},
    {"http:// example www. mailto: http://.", {}, {}},
    {"Note: at 10:30 we start", {}, {}},
    {"wwwhat www", {}, {}},
    {"", {}, {}},
};
// clang-format on

class AddressTest : public testing::TestWithParam<CAddressCase> {};

TEST_P(AddressTest, FindsEmailAddresses) {
  Addresses found;
  CInternetUtils::ParseEmailAddresses(Fillers(GetParam().line), found);
  EXPECT_EQ(found, WithFillers(GetParam().emails));
}

TEST_P(AddressTest, FindsWebAddresses) {
  Addresses found;
  CInternetUtils::ParseWebSiteAddresses(Fillers(GetParam().line), found);
  EXPECT_EQ(found, WithFillers(GetParam().webs));
}

TEST_P(AddressTest, AddressesAreExactNonOverlappingSubstrings) {
  const std::string line = Fillers(GetParam().line);
  Addresses found;
  CInternetUtils::ParseEmailAddresses(line, found);
  CInternetUtils::ParseWebSiteAddresses(line, found);
  // Blanking every occurrence of each, longest first (a shorter one may stand inside a
  // longer one), leaves none of them.
  std::stable_sort(found.begin(), found.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  std::string blanked = line;
  for (const std::string& address : found) {
    ASSERT_FALSE(address.empty());
    ASSERT_NE(line.find(address), std::string::npos) << address;
    for (auto at = blanked.find(address); at != std::string::npos;
         at = blanked.find(address, at + address.size())) {
      blanked.replace(at, address.size(), address.size(), ' ');
    }
  }
  for (const std::string& address : found) {
    EXPECT_EQ(blanked.find(address), std::string::npos) << address;
  }
  EXPECT_EQ(blanked.size(), line.size());
}

INSTANTIATE_TEST_SUITE_P(Lines, AddressTest, testing::ValuesIn(kAddressCases));

TEST(InternetUtils, AppendsToWhatIsAlreadyFound) {
  Addresses found = {"earlier@x.org"};
  CInternetUtils::ParseEmailAddresses("earlier@x.org later@x.org", found);
  CInternetUtils::ParseWebSiteAddresses("www.x.org", found);
  EXPECT_EQ(found, (Addresses{"earlier@x.org", "earlier@x.org", "later@x.org", "www.x.org"}));
}

TEST(InternetUtils, PathologicalLinesStayLinear) {
  // Each of these would take minutes if a scan restarted at every character.
  const std::string closers = "http://x.org/" + std::string(200000, ')');
  Addresses found;
  CInternetUtils::ParseWebSiteAddresses(closers, found);
  EXPECT_EQ(found, Addresses{"http://x.org/"});

  found.clear();
  CInternetUtils::ParseWebSiteAddresses("http://x.org/" + std::string(200000, '.'), found);
  EXPECT_EQ(found, Addresses{"http://x.org/"});

  std::string ats;
  for (int i = 0; i < 50000; ++i) {
    ats += "ab@cd";
  }
  found.clear();
  CInternetUtils::ParseEmailAddresses(ats, found);
  EXPECT_TRUE(found.empty());

  found.clear();
  const std::string dots = "a@" + std::string(200000, 'b') + ".c";
  CInternetUtils::ParseEmailAddresses(dots + " " + std::string(200000, '@'), found);
  EXPECT_TRUE(found.empty());
}

} // namespace
