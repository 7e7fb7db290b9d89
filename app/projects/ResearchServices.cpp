#include "projects/ResearchServices.h"

#include <algorithm>

namespace {
constexpr std::array<CResearchServices::SService, CResearchServices::kCount> kServices{{
    {45048, "Dictionary.com", false, "https://www.dictionary.com/browse/"},
    {45055, "Oxford Dictionaries", false,
     "https://www.oxfordlearnersdictionaries.com/definition/english/"},
    {45050, "Merriam-Webster", false, "https://www.merriam-webster.com/dictionary/"},
    {45052, "The Free Dictionary", false, "https://www.thefreedictionary.com/"},
    {45051, "Wiktionary", false, "https://en.wiktionary.org/wiki/"},
    {45053, "Wikipedia", false, "https://en.wikipedia.org/wiki/"},
    {45049, "Google", false, "https://www.google.com/#q="},
    {45047, "Answers.com", false, "https://www.answers.com/topic/"},
    {45054, "Howjsay", true, "https://howjsay.com/index.php?word="},
}};

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}
} // namespace

const std::array<CResearchServices::SService, CResearchServices::kCount>& CResearchServices::All() {
  return kServices;
}

const CResearchServices::SService* CResearchServices::Find(int commandId) {
  const auto* found =
      std::find_if(kServices.begin(), kServices.end(),
                   [commandId](const SService& s) { return s.commandId == commandId; });
  return found != kServices.end() ? found : nullptr;
}

std::string CResearchServices::PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size() * 3);
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsUnreserved(c)) {
      encoded += ch;
      continue;
    }
    encoded += '%';
    encoded += kHex[c >> 4U];
    encoded += kHex[c & 0x0FU];
  }
  return encoded;
}

std::string CResearchServices::AddressFor(int commandId, std::string_view word) {
  const SService* service = Find(commandId);
  if (service == nullptr || word.empty()) {
    return {};
  }
  return service->addressPrefix + PercentEncode(word);
}
