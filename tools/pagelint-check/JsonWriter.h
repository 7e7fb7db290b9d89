#pragma once

#include <string>
#include <string_view>
#include <vector>

/// Writes indented JSON into a string. Every string is written as valid JSON: control
/// characters are escaped and bytes that are not valid UTF-8 become U+FFFD, so text
/// taken from any web page yields a document every parser accepts.
class CJsonWriter {
public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  /// The name of the next member of the open object.
  void Key(std::string_view name);
  void String(std::string_view text);
  void Int(long long value);
  /// A number with a fixed count of decimals.
  void Fixed(double value, int decimals);
  void Bool(bool value);

  /// Key and value in one call.
  void Member(std::string_view name, std::string_view text) {
    Key(name);
    String(text);
  }
  void MemberInt(std::string_view name, long long value) {
    Key(name);
    Int(value);
  }

  /// The document, ending in a newline once every object and array is closed.
  const std::string& GetText() const { return m_text; }

  /// Appends `text` as the inside of a JSON string (without the quotes).
  static void AppendEscaped(std::string& out, std::string_view text);

private:
  void BeforeValue();
  void Close(char bracket);
  void NewLine();

  std::string m_text;
  std::vector<bool> m_hasItems; ///< per open container: whether it holds an item
  bool m_afterKey = false;
};
