#include "testkit/FileBytes.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testkit {

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + path);
  }
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + path);
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string DataPath(const std::string& relative) {
  return std::string(PAGELINT_TEST_DATA_DIR) + "/" + relative;
}

} // namespace testkit
