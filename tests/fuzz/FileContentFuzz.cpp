// Any bytes as a text file: reading and writing the unchanged lines back must give the
// very same bytes, on disk and in memory, and an edited line must read back as written.
// A binary file reads as nothing and is never written.
#include "fuzzkit/FuzzHome.h"

#include "utilcore/FileUtils.h"
#include "utilcore/TextFileCodec.h"
#include "utilcore/TextFileFormat.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using EEncoding = CTextFileFormat::EEncoding;

bool IsUtf16(EEncoding encoding) {
  return encoding == EEncoding::Utf16LE || encoding == EEncoding::Utf16BE ||
         encoding == EEncoding::Utf16LENoBom || encoding == EEncoding::Utf16BENoBom;
}

// A binary file gives no lines and is never overwritten with text.
void CheckBinary(std::string_view bytes, const std::string& path) {
  std::vector<std::string> decoded;
  CTextFileFormat format;
  CTextFileCodec::Decode(bytes, decoded, format);
  FUZZ_REQUIRE_THAT(format.encoding == EEncoding::Binary && decoded.empty(),
                    "only a binary file fails to be read, and it decodes to nothing");
  FUZZ_REQUIRE_THAT(!CFileUtils::WriteFileContent(path, std::vector<std::string>{"text"}),
                    "a binary file is not written");
  FUZZ_REQUIRE_THAT(CFuzzHome::ReadBytes(path) == bytes, "a binary file keeps its bytes");
}

void CheckInMemory(std::string_view bytes, const std::vector<std::string>& lines,
                   const CTextFileFormat& format) {
  std::vector<std::string> decoded;
  CTextFileFormat decodedFormat;
  CTextFileCodec::Decode(bytes, decoded, decodedFormat);
  FUZZ_REQUIRE_THAT(decoded == lines, "Decode gives the lines ReadFileContent gives");
  FUZZ_REQUIRE_THAT(decodedFormat.encoding == format.encoding &&
                        decodedFormat.endings == format.endings,
                    "Decode gives the format ReadFileContent gives");
  FUZZ_REQUIRE_THAT(decoded.size() == format.endings.size(), "one ending per line");

  std::string again;
  std::string error;
  FUZZ_REQUIRE_THAT(CTextFileCodec::Reencode(lines, bytes, again, error),
                    "Reencode of unchanged lines");
  FUZZ_REQUIRE_THAT(again == bytes, "Reencode of unchanged lines gives the same bytes");

  // Encoding by the format alone may only lose what decoding lost (damaged UTF-16).
  std::string encoded;
  if (CTextFileCodec::Encode(lines, format, encoded, error)) {
    FUZZ_REQUIRE_THAT(IsUtf16(format.encoding) || encoded == bytes,
                      "Encode in the file's own format gives the same bytes");
    std::vector<std::string> reread;
    CTextFileFormat rereadFormat;
    CTextFileCodec::Decode(encoded, reread, rereadFormat);
    FUZZ_REQUIRE_THAT(reread == lines, "what Encode wrote decodes to the same lines");
  } else {
    FUZZ_REQUIRE_THAT(IsUtf16(format.encoding), "only damaged UTF-16 may fail to encode unchanged");
  }
}

// An edited last line: every other line keeps its bytes, and all decode as written.
void CheckEdit(std::string_view bytes, std::vector<std::string> lines) {
  if (lines.empty()) {
    return;
  }
  lines.back().append("\xC3\xA9 edit");
  std::string edited;
  std::string error;
  FUZZ_REQUIRE_THAT(CTextFileCodec::Reencode(lines, bytes, edited, error),
                    "Reencode of an edited line");
  std::vector<std::string> reread;
  CTextFileFormat format;
  CTextFileCodec::Decode(edited, reread, format);
  FUZZ_REQUIRE_THAT(reread == lines, "an edited file decodes to the edited lines");
}

void CheckOnDisk(std::string_view bytes, const std::vector<std::string>& lines,
                 const CTextFileFormat& format) {
  const std::string path = CFuzzHome::Get().Folder("work") + "page.txt";
  FUZZ_REQUIRE_THAT(CFileUtils::WriteFileContent(path, lines),
                    "WriteFileContent of unchanged lines");
  FUZZ_REQUIRE_THAT(CFuzzHome::ReadBytes(path) == bytes,
                    "the file keeps its bytes when nothing changed");

  const std::string copy = CFuzzHome::Get().Folder("work") + "copy.txt";
  CFuzzHome::WriteBytes(copy, "");
  if (!CFileUtils::WriteFileContent(copy, lines, false, &format)) {
    FUZZ_REQUIRE_THAT(IsUtf16(format.encoding), "only damaged UTF-16 may fail to be written");
    return;
  }
  std::vector<std::string> reread;
  FUZZ_REQUIRE_THAT(CFileUtils::ReadFileContent(copy, reread), "reading the written copy");
  FUZZ_REQUIRE_THAT(reread == lines, "the copy reads back as the lines written");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  CFuzzHome::Get();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = CFuzzHome::Get().Folder("work") + "page.txt";
  CFuzzHome::WriteBytes(path, bytes);

  std::vector<std::string> lines;
  CTextFileFormat format;
  if (!CFileUtils::ReadFileContent(path, lines, false, &format)) {
    FUZZ_REQUIRE_THAT(errno == EILSEQ && lines.empty(), "ReadFileContent");
    CheckBinary(bytes, path);
    return 0;
  }
  CheckInMemory(bytes, lines, format);
  CheckEdit(bytes, lines);
  CheckOnDisk(bytes, lines, format);
  return 0;
}
