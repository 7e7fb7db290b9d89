#pragma once

#include <string>
#include <vector>

/// Finds e-mail and web addresses in a line of page text, so that the words inside
/// them are not spell-checked.
///
/// Both append each address once, exactly as it stands in the line (page-text filler
/// bytes included), in the order found. An address ends at white space, a control
/// character, a quotation mark, '<' or '>'; trailing sentence punctuation (". , ; : ! ?"
/// and a ')' ']' '}' without its opening partner) is not part of it.
class CInternetUtils {
public:
  /// E-mail addresses such as «jean.dupont@exemple.fr» or «anna@müller.de»: a local
  /// part of letters, digits and ". _ % + - '" and a domain of at least two labels whose
  /// last one starts with a letter. An '@' inside a web address («mailto:a@b.org»,
  /// «http://user@host.org/») is left to ParseWebSiteAddresses.
  static void ParseEmailAddresses(const std::string& line, std::vector<std::string>& found);

  /// Web addresses starting with "http://", "https://", "ftp://", "mailto:" or "www."
  /// (any letter case) at the start of a word.
  static void ParseWebSiteAddresses(const std::string& line, std::vector<std::string>& found);
};
