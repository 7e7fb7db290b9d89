#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

/// Writes indented JSON into a string, or through it into a stream. Every string is
/// written as valid JSON: control characters are escaped and bytes that are not valid
/// UTF-8 become U+FFFD, so text taken from any web page yields a document every parser
/// accepts.
class CJsonWriter {
public:
  /// Text that is kept until it is handed to the stream.
  static constexpr std::size_t kPieceBytes = 64 * 1024;

  /// Builds the document in memory (GetText).
  CJsonWriter() = default;
  /// Hands the document to `sink` piece by piece: a report of millions of findings
  /// never has to fit in memory as text. Flush writes what is left.
  explicit CJsonWriter(std::ostream& sink) : m_sink(&sink) {}

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

  /// The document, ending in a newline once every object and array is closed; with a
  /// stream, only what was not handed to it yet.
  const std::string& GetText() const { return m_text; }
  /// Writes the text held to the stream, if any.
  void Flush();

  /// Appends `text` as the inside of a JSON string (without the quotes).
  static void AppendEscaped(std::string& out, std::string_view text);

private:
  void BeforeValue();
  void Close(char bracket);
  void NewLine();

  std::ostream* m_sink = nullptr;
  std::string m_text;
  std::vector<bool> m_hasItems; ///< per open container: whether it holds an item
  bool m_afterKey = false;
};
